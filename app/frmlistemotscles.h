#pragma once
#include <QHash>
#include <QSet>
#include <QString>
#include <QVector>
#include <QWidget>

#include "proposition.h"

class QListWidget;
class QListWidgetItem;
class QTimer;
class ImageList;
class frmBrenlor;

/// The completion popup: a window without title bar holding the proposal list
/// `liv`, the two icon sets and the timer `tmr` that hides it again.
class frmListeMotsCles : public QWidget
{
    Q_OBJECT
public:
    explicit frmListeMotsCles(frmBrenlor *principal);
    ~frmListeMotsCles() override;

    /// Item data role holding the 1-based small-icon index of a proposal.
    static constexpr int RoleIcone = Qt::UserRole + 1;

    QListWidget *liv = nullptr;
    QTimer *tmr = nullptr;
    ImageList *ilsIcones2000 = nullptr;
    ImageList *ilsIcones2005 = nullptr;

    /// Rebinds the list's small icons to another set (or none), keeping each item's key.
    void SetImageList(ImageList *imageList);
    /// Writes a typed character, a Backspace (code 8) or a chosen name into the query editor.
    void InsereTexte(const QString &sTexte, bool bKeyPress);

    /// Empties the list.
    void VideListe();
    /// Adds a proposal whose key and text are sNom, with the small icon of
    /// sCleIcone in the current set; false (nothing added) when the key is
    /// already listed or the icon key is unknown.
    bool AjouteProposition(const QString &sNom, const QString &sCleIcone);
    /// Sizes the rows to the list's first-column rule once the list is filled.
    void TermineRemplissage();
    /// Replaces the list by the rows, as VideListe, AjouteProposition for each
    /// row and TermineRemplissage do, but tells the view once instead of once
    /// per row. Returns the number of items listed.
    int RemplitListe(const QVector<LigneProposition> &lignes);
    /// Small-icon index of an item (0 for none).
    static int IconeElement(const QListWidgetItem *item);

    /// Window-system handlers, public so that the main window and tests reach them.
    void Form_KeyDown(int &KeyCode, int Shift);
    void Form_KeyPress(int KeyAscii);
    void liv_Click();
    void tmr_Timer();

protected:
    bool eventFilter(QObject *objet, QEvent *evenement) override;
    void changeEvent(QEvent *evenement) override;
    void resizeEvent(QResizeEvent *evenement) override;

private:
    void AppliqueLargeurColonne();
    /// 1-based small-icon index of a catalogue key in the current set; 0 when unknown.
    int IndexIcone(const QString &sCleIcone);

    frmBrenlor *m_principal;
    ImageList *m_imageList = nullptr;
    QSet<QString> m_cles;  ///< keys of the listed items, folded to lower case
    // Icon indexes by catalogue key, for the set they were read from: a list of
    // thousands of rows holds only a handful of kinds.
    const ImageList *m_jeuIndexes = nullptr;
    QHash<QString, int> m_indexes;
    bool m_activationDemandee = false;
    int m_lToursSansActivation = 0;
};
