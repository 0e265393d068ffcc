#include "frmbrenlor.h"
#include "twips.h"

#include "boitemessage.h"
#include "chaineconnexion.h"
#include "comboimages.h"
#include "comparaison.h"
#include "connexion.h"
#include "editeurriche.h"
#include "erreurado.h"
#include "formateur.h"
#include "frmlistemotscles.h"
#include "imagelist.h"
#include "parametres.h"
#include "retourligne.h"
#include "retraitjournal.h"
#include "suivitouches.h"

#include <QApplication>
#include <QAbstractButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QFrame>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

namespace {

const QString kMessageEchec =
    QStringLiteral("Serveur non trouvé ou mot de passe invalide ou aucune base de données.");
const QString kRequeteBases = QStringLiteral("SELECT name FROM sysdatabases ORDER BY name");
const QString kSection = QStringLiteral("General");
const QString kDefaut = QStringLiteral("*");

// Designed client area and the editors' fixed top, in twips.
constexpr double kLargeurClient = 11085;
constexpr double kHauteurClient = 6285;
constexpr double kHautRequete = 1320;
constexpr double kHauteurSta = 285;
constexpr double kEcartEditeurs = 50;

void AjustePoliceALaLargeur(QAbstractButton *bouton)
{
    QFont police = bouton->font();
    while (bouton->sizeHint().width() > bouton->width() && police.pointSizeF() > 6.5) {
        police.setPointSizeF(police.pointSizeF() - 0.5);
        bouton->setFont(police);
    }
}

// Image index of an icon key in the current set; 0 when there is no set or
// no such key.
int IndexIcone(const QString &sCle)
{
    try {
        if (ilsIconesCourantes)
            return ilsIconesCourantes->Index(sCle);
    } catch (const std::exception &) {
    }
    return 0;
}

// Restores the pointer however the formatting ends.
struct CurseurSablier {
    CurseurSablier() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CurseurSablier() { QApplication::restoreOverrideCursor(); }
};

} // namespace

frmBrenlor::frmBrenlor(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Brenlor"));
    setWindowIcon(QIcon(QStringLiteral(":/icones/brenlor.png")));
    m_policeMesure = font();
    CreeControles();
    OrdreTabulation();
    Relie();
    resize(Pixels(kLargeurClient), Pixels(kHauteurClient));
}

frmBrenlor::~frmBrenlor()
{
    if (ilsIconesCourantes)
        ChangeIcones(nullptr);
    // The popup (a tool window, child of this one) goes first, while the
    // fields it reaches through the main window still exist.
    delete ListeMotsCles;
    ListeMotsCles = nullptr;
}

int frmBrenlor::Pixels(double dTwips) const
{
    return TwipsEnPixels(this, dTwips);
}

double frmBrenlor::Twips(int lPixels) const
{
    return PixelsEnTwips(this, lPixels);
}

QRectF frmBrenlor::GeometrieTwips(const QWidget *controle) const
{
    const QPoint origine = controle->mapTo(this, QPoint(0, 0));
    return QRectF(Twips(origine.x()), Twips(origine.y()), Twips(controle->width()),
                  Twips(controle->height()));
}

QFont frmBrenlor::PoliceEditeurs()
{
    const QString famille = QFontDatabase::families().contains(QStringLiteral("Courier New"))
                                ? QStringLiteral("Courier New")
                                : QStringLiteral("Liberation Mono");
    QFont police(famille);
    police.setStyleHint(QFont::Monospace);
    police.setPointSizeF(9.75);
    return police;
}

void frmBrenlor::CreeControles()
{
    m_surface = new QWidget(this);
    m_surface->setObjectName(QStringLiteral("surface"));
    setCentralWidget(m_surface);

    auto place = [this](QWidget *w, const char *nom, double l, double t, double wd, double h) {
        w->setObjectName(QLatin1String(nom));
        w->setGeometry(Pixels(l), Pixels(t), Pixels(wd), Pixels(h));
    };

    btnLancer = new QPushButton(QStringLiteral("Tester"), m_surface);
    place(btnLancer, "btnLancer", 120, 120, 1695, 360);
    btnLancer->setEnabled(false);

    btnFormater = new QPushButton(QStringLiteral("Formater"), m_surface);
    place(btnFormater, "btnFormater", 120, 480, 1695, 360);
    btnFormater->setEnabled(false);

    btnComparer = new QPushButton(QStringLiteral("Chercher différence"), m_surface);
    place(btnComparer, "btnComparer", 120, 840, 1695, 360);

    cboServeur = new ComboImages(m_surface);
    place(cboServeur, "cboServeur", 2040, 120, 3015, 330);

    txtPWD = new QLineEdit(m_surface);
    place(txtPWD, "txtPWD", 2040, 480, 3015, 285);
    txtPWD->setEchoMode(QLineEdit::Password);
    txtPWD->setToolTip(QStringLiteral("Mot de passe 'sa'"));
    // The box shows "*" for every character, as the original did.
    txtPWD->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));

    cboBase = new ComboImages(m_surface);
    place(cboBase, "cboBase", 2040, 840, 3015, 330);

    chkLimiteADroite = new QCheckBox(QStringLiteral("Retour à la ligne automatique"), m_surface);
    place(chkLimiteADroite, "chkLimiteADroite", 5160, 120, 2895, 255);
    chkLimiteADroite->setChecked(false);
    chkLimiteADroite->setEnabled(false);

    // Created before the editors so that these, laid over them, stay on top.
    txtResultat = new EditeurRiche(m_surface);
    place(txtResultat, "txtResultat", 120, 2640, 2175, 1215);
    txtResultat->setLineWrapMode(QTextEdit::NoWrap);
    txtResultat->SetScrollBars(3);

    auto *grd = new QFrame(m_surface);
    grd->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    grdResultat = grd;
    place(grdResultat, "grdResultat", 2400, 2640, 6135, 1215);

    const QFont policeEditeurs = PoliceEditeurs();
    txtRequete = new EditeurRiche(m_surface);
    place(txtRequete, "txtRequete", 2760, 1320, 3615, 1215);
    txtRequete->setFont(policeEditeurs);

    txtRequete2 = new EditeurRiche(m_surface);
    place(txtRequete2, "txtRequete2", 6480, 1320, 3615, 1215);
    txtRequete2->setFont(policeEditeurs);

    // The designed widths were made for a narrow dialog font; a caption that
    // does not fit gets a slightly smaller one rather than being cut.
    for (QAbstractButton *b : QList<QAbstractButton *>{btnLancer, btnFormater, btnComparer, chkLimiteADroite})
        AjustePoliceALaLargeur(b);

    sta = new QStatusBar(this);
    sta->setObjectName(QStringLiteral("sta"));
    sta->setFixedHeight(Pixels(kHauteurSta));
    setStatusBar(sta);
}

void frmBrenlor::OrdreTabulation()
{
    // Tab indexes 0 to 11; the picture box and the status bar take no focus.
    grdResultat->setFocusPolicy(Qt::NoFocus);
    sta->setFocusPolicy(Qt::NoFocus);
    const QList<QWidget *> ordre = {txtPWD,      txtRequete, btnLancer,  txtResultat,
                                    btnFormater, chkLimiteADroite,       cboBase,
                                    cboServeur,  txtRequete2, btnComparer};
    for (int i = 1; i < ordre.size(); ++i)
        setTabOrder(ordre.at(i - 1), ordre.at(i));
}

void frmBrenlor::Relie()
{
    connect(btnLancer, &QPushButton::clicked, this, [this] { btnLancer_Click(); });
    connect(btnFormater, &QPushButton::clicked, this, [this] { btnFormater_Click(); });
    connect(btnComparer, &QPushButton::clicked, this, [this] { btnComparer_Click(); });
    connect(chkLimiteADroite, &QCheckBox::clicked, this, [this] { chkLimiteADroite_Click(); });
    connect(cboBase, &ComboImages::TexteModifieParUtilisateur, this, [this] { cboBase_Change(); });
    cboServeur->KeyUp = [this](int KeyCode, int Shift) { cboServeur_KeyUp(KeyCode, Shift); };
    txtPWD->installEventFilter(this);
    // Only an Enter that went down here: the one that closed a message box
    // must not start the check again.
    auto *suiviPwd = new SuiviTouches(txtPWD, [this](int KeyCode, int Shift) { txtPWD_KeyUp(KeyCode, Shift); });
    suiviPwd->Surveille(txtPWD);
    txtRequete->KeyDown = [this](int &KeyCode, int Shift) { txtRequete_KeyDown(KeyCode, Shift); };
    txtRequete->KeyPress = [this](int KeyAscii) { txtRequete_KeyPress(KeyAscii); };
    auto *retrait = new RetraitJournal(this, {txtResultat, grdResultat}, [this] { return m_testEnCours; });
    retrait->Surveille({txtRequete, txtRequete2});
}

QString frmBrenlor::TitreApplication()
{
    return QStringLiteral("Brenlor");
}

QString frmBrenlor::NomApplication()
{
    const QString chemin = QCoreApplication::applicationFilePath();
    if (!chemin.isEmpty())
        return QFileInfo(chemin).completeBaseName();
    return QCoreApplication::applicationName();
}

// --- start-up ----------------------------------------------------------------

void frmBrenlor::Form_Load()
{
    if (!ListeMotsCles)
        ListeMotsCles = new frmListeMotsCles(this);
    ChangeIcones(ListeMotsCles->ilsIcones2005);

    ListeSQLServers(true);

    const QString serveur = GetSetting(NomApplication(), kSection, QStringLiteral("ServeurSQL"), kDefaut);
    // A name that discovery did not list (typed by the user in an earlier
    // run) is kept as the picker's text, so the check runs with it.
    if (serveur != kDefaut && !cboServeur->SelectionneCle(serveur))
        cboServeur->SetText(serveur);

    txtPWD->setFocus();
    show();
    QApplication::processEvents();

    const QString pwd = GetSetting(NomApplication(), kSection, QStringLiteral("PWD"), kDefaut);
    txtPWD->setText(pwd != kDefaut ? pwd : QStringLiteral("Mirabel4"));

    VerifieConnexion(cboServeur->Text(), txtPWD->text());
    chkLimiteADroite_Click();
    InitialiseMotsCles(TableMotsCles);
}

// --- discovery ---------------------------------------------------------------

QString frmBrenlor::NomMachineLocale()
{
    return NomOrdinateur();
}

void frmBrenlor::ListeSQLServers(bool bInclureLocal)
{
    cboServeur->Clear();
    QStringList noms;
    if (SourceServeurs) {
        noms = SourceServeurs();
    } else {
        OptionsDecouverte options = OptionsRecherche;
        options.bRechercheReseau =
            GetSetting(NomApplication(), kSection, QStringLiteral("RechercheReseau"), QStringLiteral("0"))
            == QLatin1String("1");
        noms = ServeursDecouverts(options);
    }
    const int image = IndexIcone(QStringLiteral("serveurs"));
    for (const QString &s : noms) {
        QString nom;
        if (!s.startsWith(QLatin1Char('(')))
            nom = s.toUpper();
        else if (bInclureLocal)
            nom = NomMachineLocale();
        if (nom.trimmed().isEmpty())
            continue;
        // A name already listed (the local server under two names, say) is
        // skipped and the listing goes on.
        cboServeur->AjouteEntree(nom, nom, image, QStringLiteral("serveurs"));
    }
}

// --- database list and connection check -------------------------------------

void frmBrenlor::ListeBasesDeDonnees(const QString &sNomServeur, const QString &sPWD)
{
    if (!cnServeur)
        cnServeur = std::make_unique<Connexion>();
    try {
        if (cnServeur->State() == 1)
            cnServeur->Close();
    } catch (const std::exception &) {
    }
    if (sNomServeur.trimmed().isEmpty())
        return;

    m_derniereChaine = ChaineConnexion(sNomServeur, QStringLiteral("master"), sPWD, TitreApplication());
    try {
        cnServeur->Open(m_derniereChaine, QString(), QString(), -1);
    } catch (const std::exception &) {
    }
    cboBase->Clear();
    if (cnServeur->State() != 1)
        return;

    Recordset rs;
    try {
        rs.Open(kRequeteBases, cnServeur.get(), 0, 1, -1);
    } catch (const std::exception &) {
    }
    if (rs.State() != 1)
        return;

    const int image = IndexIcone(QStringLiteral("bases"));
    // A recordset failing in the middle ends the loop: no step can be skipped
    // past a broken end-of-data test or move.
    for (;;) {
        try {
            if (rs.Eof())
                break;
        } catch (const std::exception &) {
            break;
        }
        try {
            const QString nom = rs.Fields(0);
            cboBase->AjouteEntree(nom, nom, image, QStringLiteral("bases"));
        } catch (const std::exception &) {
        }
        try {
            rs.MoveNext();
        } catch (const std::exception &) {
            break;
        }
    }
    try {
        rs.Close();
    } catch (const std::exception &) {
    }
}

void frmBrenlor::VerifieConnexion(const QString &sServeur, const QString &sPWD)
{
    ListeBasesDeDonnees(sServeur, sPWD);
    // No server named: whatever an earlier check listed does not belong to it.
    if (sServeur.trimmed().isEmpty())
        cboBase->Clear();

    const bool utilisable = cboBase->Count() > 0;
    cboBase->setEnabled(utilisable);
    if (utilisable) {
        const QString base = GetSetting(NomApplication(), kSection, QStringLiteral("Base"), kDefaut);
        if (base != kDefaut) {
            cboBase->SelectionneCle(base);
            if (cboBase->Count() > 0 && cboBase->currentIndex() < 0)
                cboBase->Selectionne(0);
        } else {
            cboBase->EffaceSelection();
        }
        SaveSetting(NomApplication(), kSection, QStringLiteral("ServeurSQL"), sServeur);
        SaveSetting(NomApplication(), kSection, QStringLiteral("PWD"), sPWD);
        SaveSetting(NomApplication(), kSection, QStringLiteral("Base"), cboBase->Text());
    } else {
        AfficheMessage(this, kMessageEchec, IconeMessage::Erreur, TitreApplication());
    }
    txtRequete->setEnabled(utilisable);
    txtRequete2->setEnabled(utilisable);
    btnFormater->setEnabled(utilisable);
    chkLimiteADroite->setEnabled(utilisable);
    // The test run must be reachable; its own run disables the button meanwhile.
    if (!TestEnCours())
        btnLancer->setEnabled(utilisable);
    if (txtRequete->isEnabled())
        txtRequete->setFocus();
}

void frmBrenlor::txtPWD_KeyUp(int KeyCode, int)
{
    if (KeyCode == 13)
        VerifieConnexion(cboServeur->Text(), txtPWD->text());
}

void frmBrenlor::cboServeur_KeyUp(int KeyCode, int)
{
    if (KeyCode == 13)
        VerifieConnexion(cboServeur->Text(), txtPWD->text());
}

void frmBrenlor::cboBase_Change()
{
    SaveSetting(NomApplication(), kSection, QStringLiteral("Base"), cboBase->Text());
}

bool frmBrenlor::eventFilter(QObject *objet, QEvent *event)
{
    // After the click that gave the focus, which would place the caret.
    if (objet == txtPWD && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, txtPWD, [this] { txtPWD->selectAll(); });
    return QMainWindow::eventFilter(objet, event);
}

// --- icon sets -----------------------------------------------------------------

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
    const QStringList tags = combo->Tags();
    combo->SetImageList(imageList);
    if (combo->Count() == 0 || !imageList)
        return;
    for (int i = 0; i < tags.size(); ++i) {
        try {
            combo->SetImage(i, imageList->Index(tags.at(i)));
        } catch (const std::exception &) {
        }
    }
}

void frmBrenlor::mousePressEvent(QMouseEvent *event)
{
    const QPoint p = m_surface->mapFrom(this, event->position().toPoint());
    const bool surSurface = m_surface->rect().contains(p) && !m_surface->childAt(p);
    if (event->button() != Qt::LeftButton || !surSurface) {
        QMainWindow::mousePressEvent(event);
        return;
    }
    ImageList *jeu2000 = ListeMotsCles ? ListeMotsCles->ilsIcones2000 : ImageList::Icones2000();
    ImageList *jeu2005 = ListeMotsCles ? ListeMotsCles->ilsIcones2005 : ImageList::Icones2005();
    ChangeIcones(ilsIconesCourantes == jeu2000 ? jeu2005 : jeu2000);
    event->accept();
}

// --- layout and exit -----------------------------------------------------------

void frmBrenlor::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    DisposeEditeurs();
}

void frmBrenlor::DisposeEditeurs()
{
    const double W = ScaleWidth();
    const double H = ScaleHeight();
    const double S = Twips(sta->height());
    const double T = GeometrieTwips(txtRequete).top();

    // A window too small for the editors leaves them where they were.
    const double H1 = (H - T - S) / 2;
    if (H1 >= 0)
        txtRequete->setGeometry(0, Pixels(T), Pixels(W), Pixels(H1));

    const QRectF lu = GeometrieTwips(txtRequete);
    const double H2 = H - lu.top() - lu.height() - S - kEcartEditeurs;
    if (H2 >= 0)
        txtRequete2->setGeometry(0, Pixels(lu.top() + lu.height() + kEcartEditeurs), Pixels(W),
                                 Pixels(H2));
}

void frmBrenlor::closeEvent(QCloseEvent *event)
{
    ChangeIcones(nullptr);
    if (cnServeur) {
        try {
            if (cnServeur->State() == 1)
                cnServeur->Close();
        } catch (const std::exception &) {
        }
        cnServeur.reset();
    }
    if (ListeMotsCles)
        ListeMotsCles->hide();
    event->accept();
    QCoreApplication::quit();
}

// --- measuring font --------------------------------------------------------------

double frmBrenlor::TextWidth(const QString &sTexte) const
{
    const QFontMetricsF fm(m_policeMesure, this);
    double largeur = 0;
    for (const QString &ligne : QString(sTexte).replace(QLatin1String("\r\n"), QLatin1String("\n"))
                                     .split(QLatin1Char('\n')))
        largeur = qMax(largeur, fm.horizontalAdvance(ligne));
    return largeur * 1440.0 / logicalDpiX();
}

double frmBrenlor::TextHeight(const QString &sTexte) const
{
    const QFontMetricsF fm(m_policeMesure, this);
    const int lignes = int(QString(sTexte).replace(QLatin1String("\r\n"), QLatin1String("\n"))
                               .count(QLatin1Char('\n'))) + 1;
    return fm.height() * lignes * 1440.0 / logicalDpiY();
}

double frmBrenlor::TwipsLeft() const { return Twips(frameGeometry().left()); }
double frmBrenlor::TwipsTop() const { return Twips(frameGeometry().top()); }
double frmBrenlor::TwipsWidth() const { return Twips(frameGeometry().width()); }
double frmBrenlor::TwipsHeight() const { return Twips(frameGeometry().height()); }
double frmBrenlor::ScaleWidth() const { return Twips(width()); }
double frmBrenlor::ScaleHeight() const { return Twips(height()); }

// --- text tools ---------------------------------------------------------------------

void frmBrenlor::btnFormater_Click()
{
    {
        const CurseurSablier sablier;
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
    const QString texte1 = txtRequete->Text();
    const QString texte2 = txtRequete2->Text();
    const long p = PositionDifference(texte1, texte2);
    if (p < 0) {
        txtRequete->SetSelStart(0);
        txtRequete2->SetSelStart(0);
        txtRequete->SetSelLength(0);
        txtRequete2->SetSelLength(0);
        AfficheMessage(this, QStringLiteral("Aucune différence."), IconeMessage::Information,
                       TitreApplication());
        return;
    }
    txtRequete->SetSelStart(int(p));
    txtRequete2->SetSelStart(int(p));
    const EtendueDiff etendue = EtendueDifference(texte1.mid(int(p)), texte2.mid(int(p)));
    if (etendue.iEditeur == 1) {
        txtRequete->SetSelLength(int(etendue.lLongueur));
        txtRequete2->SetSelLength(0);
        txtRequete->setFocus();
    } else {
        txtRequete->SetSelLength(0);
        txtRequete2->SetSelLength(int(etendue.lLongueur));
        txtRequete2->setFocus();
    }
}

void frmBrenlor::chkLimiteADroite_Click()
{
    const bool coche = chkLimiteADroite->checkState() != Qt::Unchecked;
    const double largeurW = TextWidth(QString(32767, QLatin1Char('W')));
    const ReglagesRetourLigne r = ReglagesLimiteADroite(coche, largeurW);
    txtRequete->SetRightMargin(r.dMargeRequete);
    txtRequete2->SetRightMargin(r.dMargeRequete2);
    txtRequete->SetScrollBars(r.iBarresRequete);
    txtRequete2->SetScrollBars(r.iBarresRequete2);
}
