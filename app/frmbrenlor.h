#pragma once
#include <QFont>
#include <QMainWindow>
#include <QString>

#include "controlesbrenlor.h"
#include "decouverte.h"
#include "lecturescript.h"
#include "motscles.h"
#include "proposition.h"
#include "reglages.h"
#include "serveurcourant.h"
#include "textesuivi.h"

class ComboImages;
class ImageList;
class frmListeMotsCles;
struct Demande;

/// The working window: connection pickers, the two query editors, the command
/// buttons, the test-run log and the status bar. It wires the controls to the
/// server it works with, the completion popup and the text tools.
class frmBrenlor : public QMainWindow, public ControlesBrenlor
{
    Q_OBJECT
public:
    /// Discovery looks where the options say (a real run takes the defaults).
    explicit frmBrenlor(const OptionsDecouverte &decouverte = OptionsDecouverte(), QWidget *parent = nullptr);
    ~frmBrenlor() override;

    /// The start-up sequence (discovery, saved settings, connection check...).
    void Form_Load();

    frmListeMotsCles *ListeMotsCles = nullptr;  ///< the completion popup, loaded hidden

    // --- shared state ------------------------------------------------------
    /// The server of the pickers, with the shared connection cnServeur.
    ServeurCourant &Serveur() { return m_serveur; }
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
    static QString TitreApplication() { return ServeurCourant::TitreApplication(); }
    /// The settings' application name: the executable's base name.
    static QString NomApplication() { return Reglages::NomApplication(); }

    // --- measuring font (shared by popup placement, test run, word wrap) ---
    QFont PoliceMesure() const { return m_policeMesure; }
    void SetPoliceMesure(const QFont &font) { m_policeMesure = font; }
    /// Width and height of a text in the measuring font, in twips.
    double TextWidth(const QString &sTexte) const;
    double TextHeight(const QString &sTexte) const;

    // --- text tools ---------------------------------------------------------
    void btnFormater_Click();
    void btnComparer_Click();
    void chkLimiteADroite_Click();

    // --- completion (afficheproposition.cpp, touchesrequete.cpp) -------------
    void AfficheProposition(int lSysteme, GenreDemande genre = GenreDemande::Raccourci);
    void PositionneListe();
    void txtRequete_KeyDown(int &KeyCode, int Shift);
    void txtRequete_KeyPress(int KeyAscii);

    // --- test run (lancertest.cpp) ------------------------------------------
    void btnLancer_Click();
    void AjouteResultat(const QString &sTexte);
    bool TestEnCours() const { return m_testEnCours; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *objet, QEvent *event) override;

private:
    void Relie();
    void AppliqueDemande(const Demande &demande);
    void DesigneServeur();
    void RendUtilisable(bool bUtilisable);

    OptionsDecouverte m_decouverte;
    ServeurCourant m_serveur;
    TexteSuivi m_texteRequete;      ///< the text of txtRequete as completion reads it
    MemoireScript m_memoireScript;  ///< the batches of txtRequete already read by completion
    QFont m_policeMesure;
    bool m_testEnCours = false;
};
