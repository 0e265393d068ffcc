#pragma once
#include <QFont>

class QCheckBox;
class QLineEdit;
class QMainWindow;
class QPushButton;
class QStatusBar;
class QWidget;
class ComboImages;
class EditeurRiche;

/// The controls of the main window, made and laid out at their designed
/// places (in twips, at the screen's resolution), in their tab order.
struct ControlesBrenlor {
    QPushButton *btnLancer = nullptr;
    QPushButton *btnFormater = nullptr;
    QPushButton *btnComparer = nullptr;
    ComboImages *cboServeur = nullptr;
    QLineEdit *txtPWD = nullptr;
    ComboImages *cboBase = nullptr;
    QCheckBox *chkLimiteADroite = nullptr;
    EditeurRiche *txtRequete = nullptr;
    EditeurRiche *txtRequete2 = nullptr;
    EditeurRiche *txtResultat = nullptr;
    QWidget *grdResultat = nullptr;
    QStatusBar *sta = nullptr;

    /// Makes every control on a new client area of the window.
    void CreeControles(QMainWindow *fenetre);
    /// Shares the client area below the editors' top between the two editors,
    /// the status bar under them; a window too small leaves them as they were.
    void DisposeEditeurs();
    /// The client area the controls stand on.
    QWidget *Surface() const { return m_surface; }

    /// The editors' font: Courier New 9.75 pt, Liberation Mono where it is absent.
    static QFont PoliceEditeurs();

private:
    void OrdreTabulation();
    QWidget *m_surface = nullptr;
};
