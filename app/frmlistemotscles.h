#pragma once
#include <QPoint>
#include <QString>
#include <QVector>
#include <QWidget>

#include "sourcecatalogue.h"

class QListView;
class QTimer;
class ImageList;
class ModelePropositions;

/// The completion popup: a window without title bar holding the proposal list
/// `liv`, the two icon sets and the timer `tmr` that gives the activation back
/// to the window that owns it. It only shows: the names chosen and the keys
/// typed in it are reported through signals, and its owner writes them into
/// the editor. After a typed name character, dot or Backspace it asks for the
/// list again through FrappeEcrite.
class frmListeMotsCles : public QWidget
{
    Q_OBJECT
public:
    explicit frmListeMotsCles(QWidget *proprietaire);
    ~frmListeMotsCles() override;

    QListView *liv = nullptr;
    QTimer *tmr = nullptr;
    ImageList *ilsIcones2000 = nullptr;
    ImageList *ilsIcones2005 = nullptr;

    /// Rebinds the list's small icons to another set (or none), keeping each row's index.
    void SetImageList(ImageList *imageList);

    /// Replaces the list by the rows (the first of equal names wins; a row
    /// whose icon key is unknown is left out); returns the number listed.
    int RemplitListe(const QVector<LigneProposition> &lignes);
    /// Selects the proposal named as the prefix (ignoring case), or else the first.
    void SelectionneProposition(const QString &sPrefixe);
    /// Shows the list with its top-left corner there, and gives it the keyboard.
    void MontreEn(const QPoint &coin);
    /// Hides the list at once, the owner active again, and lets the timer
    /// make sure the activation stays there.
    void Ferme();

    /// Number of listed proposals; the text, name and small-icon index of one.
    int Nombre() const;
    QString TexteElement(int lRang) const;
    /// The name of a proposal without its owner ("" for no such row).
    QString NomElement(int lRang) const;
    int IconeElement(int lRang) const;
    /// The selected row, -1 for none.
    int Selection() const;
    void SetSelection(int lRang);

    /// Reports a typed character, a Backspace (code 8) or a chosen name (the
    /// selected proposal's text) to be written into the editor.
    void InsereTexte(const QString &sTexte, bool bKeyPress);
    /// Writes the proposal of that row, then the key typed after it, and closes.
    void Choisit(int lRang, const QString &sApres);
    /// Writes a typed key and closes.
    void EcritTouche(const QString &sTouche);

    /// Window-system handlers, public so that the main window and tests reach them.
    void Form_KeyDown(int &KeyCode, int Shift);
    void Form_KeyPress(int KeyAscii);
    void liv_Click();
    void tmr_Timer();

signals:
    /// A name character, a dot or a Backspace was written: the list is to follow it.
    void FrappeEcrite();
    /// A typed character or a Backspace (code 8) to write at the caret.
    void ToucheAEcrire(const QString &sTouche);
    /// A chosen name to write in place of the word at the caret, with its
    /// owner ("" for none); bBase for a database.
    void NomAEcrire(const QString &sNom, const QString &sProprietaire, bool bBase);
    /// A chosen join condition to write as it is in place of the word at the caret.
    void ConditionAEcrire(const QString &sCondition);
    /// Enter ("\r\n") or Space with a proposal selected: choosing it, or typing
    /// the key when the word is already that name, is the owner's call.
    void ToucheDeChoix(const QString &sTouche);

protected:
    bool eventFilter(QObject *objet, QEvent *evenement) override;
    void changeEvent(QEvent *evenement) override;
    void resizeEvent(QResizeEvent *evenement) override;

private:
    void AppliqueLargeurColonne();

    QWidget *m_proprietaire;
    ModelePropositions *m_modele = nullptr;
    ImageList *m_imageList = nullptr;
    bool m_activationDemandee = false;
    int m_lToursSansActivation = 0;
};
