#pragma once
#include <QWidget>

class QListWidget;
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

    QListWidget *liv = nullptr;
    QTimer *tmr = nullptr;
    ImageList *ilsIcones2000 = nullptr;
    ImageList *ilsIcones2005 = nullptr;

    /// Rebinds the list's small icons to another set (or none), keeping each item's key.
    void SetImageList(ImageList *imageList);
    /// Writes a typed character, a Backspace (code 8) or a chosen name into the query editor.
    void InsereTexte(const QString &sTexte, bool bKeyPress);

private:
    frmBrenlor *m_principal;
};
