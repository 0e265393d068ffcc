#include "frmbrenlor.h"

#include "boitemessage.h"
#include "comboimages.h"
#include "comparaison.h"
#include "controleurcompletion.h"
#include "editeurriche.h"
#include "formateur.h"
#include "frmlistemotscles.h"
#include "imagelist.h"
#include "reglages.h"
#include "retourligne.h"
#include "retraitjournal.h"
#include "suivitouches.h"
#include "twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTimer>

namespace {

const QString kMessageEchec =
    QStringLiteral("Serveur non trouvé ou mot de passe invalide ou aucune base de données.");
const QString kDefaut = QStringLiteral("*");

// Designed client area, in twips.
constexpr double kLargeurClient = 11085;
constexpr double kHauteurClient = 6285;

} // namespace

frmBrenlor::frmBrenlor(const OptionsDecouverte &decouverte, QWidget *parent)
    : QMainWindow(parent), m_decouverte(decouverte)
{
    setWindowTitle(QStringLiteral("Brenlor"));
    setWindowIcon(QIcon(QStringLiteral(":/icones/brenlor.png")));
    m_policeMesure = font();
    CreeControles(this);
    Relie();
    resize(TwipsEnPixels(this, kLargeurClient), TwipsEnPixels(this, kHauteurClient));
}

frmBrenlor::~frmBrenlor()
{
    if (ilsIconesCourantes)
        ChangeIcones(nullptr);
    delete ListeMotsCles;
    ListeMotsCles = nullptr;
}

void frmBrenlor::Relie()
{
    connect(btnLancer, &QPushButton::clicked, this, [this] { btnLancer_Click(); });
    connect(btnFormater, &QPushButton::clicked, this, [this] { btnFormater_Click(); });
    connect(btnComparer, &QPushButton::clicked, this, [this] { btnComparer_Click(); });
    connect(chkLimiteADroite, &QCheckBox::clicked, this, [this] { chkLimiteADroite_Click(); });
    connect(cboBase, &ComboImages::TexteModifieParUtilisateur, this,
            [this] { Reglages::Enregistre(QStringLiteral("Base"), cboBase->Text()); });
    // Only an Enter that went down here: the one that closed a message box
    // must not start the check again.
    const auto entree = [this](int KeyCode, int) {
        if (KeyCode == 13)
            VerifieConnexion(cboServeur->Text(), txtPWD->text());
    };
    cboServeur->KeyUp = entree;
    (new SuiviTouches(txtPWD, entree))->Surveille(txtPWD);
    txtPWD->installEventFilter(this);
    txtRequete->KeyDown = [this](int &KeyCode, int Shift) { txtRequete_KeyDown(KeyCode, Shift); };
    txtRequete->KeyPress = [this](int KeyAscii) { txtRequete_KeyPress(KeyAscii); };
    auto *retrait = new RetraitJournal(this, {txtResultat, grdResultat}, [this] { return m_testEnCours; });
    retrait->Surveille({txtRequete, txtRequete2});
}

void frmBrenlor::Form_Load()
{
    if (!ListeMotsCles) {
        ListeMotsCles = new frmListeMotsCles(this);
        new ControleurCompletion(ListeMotsCles, txtRequete, [this] { AfficheProposition(0, GenreDemande::Frappe); });
    }
    ChangeIcones(ListeMotsCles->ilsIcones2005);

    ListeSQLServers(true);

    const QString serveur = Reglages::Lit(QStringLiteral("ServeurSQL"));
    // A name that discovery did not list (typed by the user in an earlier
    // run) is kept as the picker's text, so the check runs with it.
    if (serveur != kDefaut && !cboServeur->SelectionneCle(serveur))
        cboServeur->SetText(serveur);

    txtPWD->setFocus();
    show();
    QApplication::processEvents();

    const QString pwd = Reglages::Lit(QStringLiteral("PWD"));
    txtPWD->setText(pwd != kDefaut ? pwd : QStringLiteral("Mirabel4"));

    VerifieConnexion(cboServeur->Text(), txtPWD->text());
    chkLimiteADroite_Click();
    InitialiseMotsCles(TableMotsCles);
}

QString frmBrenlor::NomMachineLocale()
{
    return NomOrdinateur();
}

void frmBrenlor::ListeSQLServers(bool bInclureLocal)
{
    cboServeur->Clear();
    OptionsDecouverte options = m_decouverte;
    options.bRechercheReseau = Reglages::Lit(QStringLiteral("RechercheReseau"), QStringLiteral("0")) == QLatin1String("1");
    const int image = ImageList::IndexCourant(QStringLiteral("serveurs"));
    // A name already listed (the local server under two names, say) is
    // skipped and the listing goes on.
    for (const QString &nom : NomsAfficheables(ServeursDecouverts(options), bInclureLocal, NomMachineLocale()))
        cboServeur->AjouteEntree(nom, nom, image, QStringLiteral("serveurs"));
}

void frmBrenlor::ListeBasesDeDonnees(const QString &sNomServeur, const QString &sPWD)
{
    const QStringList bases = m_serveur.ListeBasesDeDonnees(sNomServeur, sPWD);
    if (sNomServeur.trimmed().isEmpty())
        return;
    cboBase->Clear();
    const int image = ImageList::IndexCourant(QStringLiteral("bases"));
    for (const QString &nom : bases)
        cboBase->AjouteEntree(nom, nom, image, QStringLiteral("bases"));
}

void frmBrenlor::VerifieConnexion(const QString &sServeur, const QString &sPWD)
{
    ListeBasesDeDonnees(sServeur, sPWD);
    // No server named: whatever an earlier check listed does not belong to it.
    if (sServeur.trimmed().isEmpty())
        cboBase->Clear();

    const bool bUtilisable = cboBase->Count() > 0;
    cboBase->setEnabled(bUtilisable);
    if (bUtilisable) {
        const QString base = Reglages::Lit(QStringLiteral("Base"));
        if (base != kDefaut) {
            cboBase->SelectionneCle(base);
            if (cboBase->Count() > 0 && cboBase->currentIndex() < 0)
                cboBase->Selectionne(0);
        } else {
            cboBase->EffaceSelection();
        }
        Reglages::Enregistre(QStringLiteral("ServeurSQL"), sServeur);
        Reglages::Enregistre(QStringLiteral("PWD"), sPWD);
        Reglages::Enregistre(QStringLiteral("Base"), cboBase->Text());
    } else {
        AfficheMessage(this, kMessageEchec, IconeMessage::Erreur, TitreApplication());
    }
    RendUtilisable(bUtilisable);
}

void frmBrenlor::RendUtilisable(bool bUtilisable)
{
    for (QWidget *w : QList<QWidget *>{txtRequete, txtRequete2, btnFormater, chkLimiteADroite})
        w->setEnabled(bUtilisable);
    // The test run must be reachable; its own run disables the button meanwhile.
    if (!TestEnCours())
        btnLancer->setEnabled(bUtilisable);
    if (txtRequete->isEnabled())
        txtRequete->setFocus();
}

void frmBrenlor::DesigneServeur()
{
    m_serveur.Designe(cboServeur->currentText(), cboBase->currentText(), txtPWD->text());
}

bool frmBrenlor::eventFilter(QObject *objet, QEvent *event)
{
    // After the click that gave the focus, which would place the caret.
    if (objet == txtPWD && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, txtPWD, [this] { txtPWD->selectAll(); });
    return QMainWindow::eventFilter(objet, event);
}

void frmBrenlor::ChangeIcones(ImageList *imageList)
{
    ilsIconesCourantes = imageList;
    if (ListeMotsCles)
        ListeMotsCles->SetImageList(imageList);
    ChangeImageListCombo(cboServeur, imageList);
    ChangeImageListCombo(cboBase, imageList);
}

void frmBrenlor::ChangeImageListCombo(ComboImages *combo, ImageList *imageList)
{
    combo->ChangeImageList(imageList);
}

void frmBrenlor::mousePressEvent(QMouseEvent *event)
{
    const QPoint p = Surface()->mapFrom(this, event->position().toPoint());
    const bool bSurSurface = Surface()->rect().contains(p) && !Surface()->childAt(p);
    if (event->button() != Qt::LeftButton || !bSurSurface) {
        QMainWindow::mousePressEvent(event);
        return;
    }
    ChangeIcones(ilsIconesCourantes == ImageList::Icones2000() ? ImageList::Icones2005() : ImageList::Icones2000());
    event->accept();
}

void frmBrenlor::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    DisposeEditeurs();
}

void frmBrenlor::closeEvent(QCloseEvent *event)
{
    ChangeIcones(nullptr);
    m_serveur.Ferme();
    if (ListeMotsCles)
        ListeMotsCles->hide();
    event->accept();
    QCoreApplication::quit();
}

double frmBrenlor::TextWidth(const QString &sTexte) const
{
    return LargeurTexteTwips(this, m_policeMesure, sTexte);
}

double frmBrenlor::TextHeight(const QString &sTexte) const
{
    return HauteurTexteTwips(this, m_policeMesure, sTexte);
}

void frmBrenlor::btnFormater_Click()
{
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        // The pointer comes back however the formatting ends.
        const auto sablier = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        for (EditeurRiche *editeur : {txtRequete, txtRequete2}) {
            const QString avant = editeur->Text();
            const QString apres = FormatSQL(avant, false, TableMotsCles);
            // An unchanged text would only leave an empty step to undo.
            if (apres != avant)
                editeur->SetText(apres);
        }
    }
    txtRequete->setFocus();
}

void frmBrenlor::btnComparer_Click()
{
    const SelectionDifference d = SelectionDeDifference(txtRequete->Text(), txtRequete2->Text());
    txtRequete->SetSelStart(int(d.lDebut));
    txtRequete2->SetSelStart(int(d.lDebut));
    txtRequete->SetSelLength(int(d.lLongueur1));
    txtRequete2->SetSelLength(int(d.lLongueur2));
    if (d.bAucune)
        AfficheMessage(this, QStringLiteral("Aucune différence."), IconeMessage::Information, TitreApplication());
    else
        (d.iEditeur == 1 ? txtRequete : txtRequete2)->setFocus();
}

void frmBrenlor::chkLimiteADroite_Click()
{
    const bool coche = chkLimiteADroite->checkState() != Qt::Unchecked;
    const ReglagesRetourLigne r = ReglagesLimiteADroite(coche, TextWidth(QString(32767, QLatin1Char('W'))));
    txtRequete->SetRightMargin(r.dMargeRequete);
    txtRequete2->SetRightMargin(r.dMargeRequete2);
    txtRequete->SetScrollBars(r.iBarresRequete);
    txtRequete2->SetScrollBars(r.iBarresRequete2);
}
