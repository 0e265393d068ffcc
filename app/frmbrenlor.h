#pragma once
#include <QFont>
#include <QMainWindow>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "decouverte.h"
#include "motscles.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QWidget;
class ComboImages;
class Connexion;
class EditeurRiche;
class ImageList;
class frmListeMotsCles;

/// The working window: connection pickers, the two query editors, the command
/// buttons, the test-run log and the status bar. Shared state of the program
/// lives here as fields, with the names the rest of the code uses.
class frmBrenlor : public QMainWindow
{
    Q_OBJECT
public:
    explicit frmBrenlor(QWidget *parent = nullptr);
    ~frmBrenlor() override;

    /// The start-up sequence (discovery, saved settings, connection check...).
    void Form_Load();

    // --- controls ----------------------------------------------------------
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
    frmListeMotsCles *ListeMotsCles = nullptr;  ///< the completion popup, loaded hidden

    // --- shared state ------------------------------------------------------
    std::unique_ptr<Connexion> cnServeur;
    TableauMotsCles TableMotsCles;
    int LlDernierShift = 0;
    bool bPropositionEnCours = false;

    // --- connection and pickers -------------------------------------------
    void ListeSQLServers(bool bInclureLocal);
    static QString NomMachineLocale();
    void ListeBasesDeDonnees(const QString &sNomServeur, const QString &sPWD);
    void VerifieConnexion(const QString &sServeur, const QString &sPWD);
    void ChangeIcones(ImageList *imageList);
    void ChangeImageListCombo(ComboImages *combo, ImageList *imageList);
    /// The application title used in connection strings and message boxes.
    static QString TitreApplication();
    /// The settings' application name: the executable's base name.
    static QString NomApplication();

    /// Where discovery looks (tests point it at a stand-in); the network is
    /// asked only when the setting "RechercheReseau" is "1".
    OptionsDecouverte OptionsRecherche;
    /// The connection string of the last database listing, as handed to cnServeur.
    QString DerniereChaineListe() const { return m_derniereChaine; }
    /// When set, replaces discovery as the source of server names.
    std::function<QStringList()> SourceServeurs;

    // --- measuring font (shared by popup placement, test run, word wrap) ---
    QFont PoliceMesure() const { return m_policeMesure; }
    void SetPoliceMesure(const QFont &font) { m_policeMesure = font; }
    /// Width and height of a text in the measuring font, in twips.
    double TextWidth(const QString &sTexte) const;
    double TextHeight(const QString &sTexte) const;
    /// Outer geometry of the window and size of its client area, in twips.
    double TwipsLeft() const;
    double TwipsTop() const;
    double TwipsWidth() const;
    double TwipsHeight() const;
    double ScaleWidth() const;
    double ScaleHeight() const;

    // --- text tools ---------------------------------------------------------
    void btnFormater_Click();
    void btnComparer_Click();
    void chkLimiteADroite_Click();

    // --- completion (afficheproposition.cpp, positionneliste.cpp, touchesrequete.cpp)
    void AfficheProposition(int lSysteme);
    void PositionneListe();
    void txtRequete_KeyDown(int &KeyCode, int Shift);
    void txtRequete_KeyPress(int KeyAscii);

    // --- test run (lancertest.cpp) ------------------------------------------
    void btnLancer_Click();
    void AjouteResultat(const QString &sTexte);
    bool TestEnCours() const { return m_testEnCours; }

    /// Twips to pixels and back, at the screen's logical resolution.
    int Pixels(double dTwips) const;
    double Twips(int lPixels) const;
    /// Geometry of a control in twips, relative to the client area.
    QRectF GeometrieTwips(const QWidget *controle) const;
    /// The editors' font: Courier New 9.75 pt, Liberation Mono where it is absent.
    static QFont PoliceEditeurs();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *objet, QEvent *event) override;

private:
    void CreeControles();
    void OrdreTabulation();
    void Relie();
    void DisposeEditeurs();
    void txtPWD_KeyUp(int KeyCode, int Shift);
    void cboServeur_KeyUp(int KeyCode, int Shift);
    void cboBase_Change();
    QWidget *m_surface = nullptr;
    QString m_derniereChaine;
    QFont m_policeMesure;
    bool m_testEnCours = false;
};
