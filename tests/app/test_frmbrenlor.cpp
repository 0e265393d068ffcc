// The main window against the SQL Server stand-in: start-up with and without
// saved settings, the connection check and its two states, the Enter keys,
// the saving of "Base", the layout, the icon-set switch, the exit, discovery.
#include "comboimages.h"
#include "editeurriche.h"
#include "form2.h"
#include "frmbrenlor.h"
#include "frmlistemotscles.h"
#include "imagelist.h"

#include "capturemessages.h"
#include "configprivee.h"
#include "decouvertetest.h"
#include "connexion.h"
#include "parametres.h"
#include "standin.h"

#include "twips.h"

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

const QString kEchec =
    QStringLiteral("Serveur non trouvé ou mot de passe invalide ou aucune base de données.");

QString Lit(const QString &cle)
{
    return GetSetting(frmBrenlor::NomApplication(), QStringLiteral("General"), cle, QStringLiteral("*"));
}

void Ecrit(const QString &cle, const QString &valeur)
{
    SaveSetting(frmBrenlor::NomApplication(), QStringLiteral("General"), cle, valeur);
}

QString Fichier()
{
    return FichierParametres(frmBrenlor::NomApplication());
}

// The window resized so that its client area, under the menu bar, has that size.
void TailleClient(frmBrenlor *f, double dLargeur, double dHauteur)
{
    f->resize(TwipsEnPixels(f, dLargeur), TwipsEnPixels(f, dHauteur) + f->menuBar()->height());
}

QStringList Entrees(const ComboImages *c)
{
    QStringList textes;
    for (int i = 0; i < c->Count(); ++i)
        textes << c->itemText(i);
    return textes;
}

} // namespace

class TestFrmBrenlor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void controlesDeLaFenetre_data();
    void controlesDeLaFenetre();
    void ordreDeTabulation();
    void policeDesEditeurs();
    void form2();

    void premierLancement();
    void motDePasseEtoileCommeAbsent();
    void reglagesIllisiblesPasUnEchecDeConnexion();
    void restaurationComplete();
    void chaineDeConnexionExacte();
    void serveurMemoriseNonListe();
    void baseDisparue();
    void aucuneBaseEnregistree();
    void echecMessageEtEtatInutilisable();
    void entreeDansTxtPWD();
    void entreeSansAppuiIgnoree();
    void entreeDansCboServeur();
    void verificationSurServeurFige_data();
    void verificationSurServeurFige();
    void serveurVideApresSucces_data();
    void serveurVideApresSucces();
    void listeBasesServeurBlanc();
    void changeDeCboBase();
    void txtPWDSelectionneTout();

    void listeServeurs_data();
    void listeServeurs();
    void decouverteContreLeStandIn();

    void disposition();
    void deuxClicsSurLaSurface();
    void sortieFermeCnServeur();

private:
    std::unique_ptr<frmBrenlor> Fenetre(const QStringList &serveurs = {});
    std::unique_ptr<frmBrenlor> FenetreConnectee();
    std::unique_ptr<frmBrenlor> FenetreConnectee(const StandIn &standIn);

    std::unique_ptr<StandIn> m_standIn;
    QList<MessageCapture> &m_messages = MessagesCaptures();
};

void TestFrmBrenlor::initTestCase()
{
    QVERIFY(kConfigPrivee);
    Connexion::SetLoginTimeoutForTests(3);
    m_standIn = std::make_unique<StandIn>();
    QVERIFY2(m_standIn->isRunning(), qPrintable(m_standIn->output()));
    InstalleCapture();
}

void TestFrmBrenlor::init()
{
    QFile::remove(Fichier());
    m_messages.clear();
}

void TestFrmBrenlor::cleanup()
{
    QCOMPARE(ilsIconesCourantes, nullptr);
}

std::unique_ptr<frmBrenlor> TestFrmBrenlor::Fenetre(const QStringList &serveurs)
{
    return std::make_unique<frmBrenlor>(DecouverteDe(serveurs));
}

std::unique_ptr<frmBrenlor> TestFrmBrenlor::FenetreConnectee()
{
    return FenetreConnectee(*m_standIn);
}

std::unique_ptr<frmBrenlor> TestFrmBrenlor::FenetreConnectee(const StandIn &standIn)
{
    Ecrit("ServeurSQL", standIn.serverName());
    Ecrit("PWD", "Mirabel4");
    Ecrit("Base", "Ventes");
    auto f = Fenetre({standIn.serverName()});
    f->Form_Load();
    return f;
}

void TestFrmBrenlor::controlesDeLaFenetre_data()
{
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<bool>("actif");
    QTest::newRow("btnLancer") << "btnLancer" << "Tester" << QRect(120, 120, 1695, 360) << false;
    QTest::newRow("btnFormater") << "btnFormater" << "Formater" << QRect(120, 480, 1695, 360) << false;
    QTest::newRow("btnComparer") << "btnComparer" << "Chercher différence" << QRect(120, 840, 1695, 360) << true;
    QTest::newRow("cboServeur") << "cboServeur" << "" << QRect(2040, 120, 3015, 330) << true;
    QTest::newRow("txtPWD") << "txtPWD" << "" << QRect(2040, 480, 3015, 285) << true;
    QTest::newRow("cboBase") << "cboBase" << "" << QRect(2040, 840, 3015, 330) << true;
    QTest::newRow("chkLimiteADroite") << "chkLimiteADroite" << "Retour à la ligne automatique"
                                      << QRect(5160, 120, 2895, 255) << false;
    QTest::newRow("txtResultat") << "txtResultat" << "" << QRect(120, 2640, 2175, 1215) << true;
    QTest::newRow("grdResultat") << "grdResultat" << "" << QRect(2400, 2640, 6135, 1215) << true;
}

void TestFrmBrenlor::controlesDeLaFenetre()
{
    QFETCH(QString, nom);
    QFETCH(QString, texte);
    QFETCH(QRect, twips);
    QFETCH(bool, actif);
    auto f = Fenetre();
    QCOMPARE(f->windowTitle(), QStringLiteral("Brenlor"));
    QWidget *w = f->findChild<QWidget *>(nom);
    QVERIFY2(w, qPrintable(nom));
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        QCOMPARE(b->text(), texte);
    if (auto *c = qobject_cast<ComboImages *>(w)) {
        QCOMPARE(c->Count(), 0);
        QCOMPARE(c->Text(), QString());
    }
    QCOMPARE(w->isEnabled(), actif);
    const QRectF g = GeometrieTwips(w);
    // Pixels are whole: a position may move by up to half a pixel's twips.
    const double tolerance = 1440.0 / f->logicalDpiX() / 2 + 0.01;
    QVERIFY2(qAbs(g.left() - twips.left()) <= tolerance && qAbs(g.top() - twips.top()) <= tolerance
                 && qAbs(g.width() - twips.width()) <= tolerance
                 && qAbs(g.height() - twips.height()) <= tolerance,
             qPrintable(QStringLiteral("%1: %2,%3 %4x%5").arg(nom).arg(g.left()).arg(g.top())
                            .arg(g.width()).arg(g.height())));
    QCOMPARE(f->txtPWD->toolTip(), QStringLiteral("Mot de passe 'sa'"));
    QCOMPARE(f->txtPWD->echoMode(), QLineEdit::Password);
    QVERIFY(!f->chkLimiteADroite->isChecked());
}

void TestFrmBrenlor::ordreDeTabulation()
{
    auto f = Fenetre();
    const QList<QWidget *> attendu = {f->txtPWD,     f->txtRequete,       f->btnLancer,
                                      f->txtResultat, f->btnFormater,      f->chkLimiteADroite,
                                      f->cboBase,    f->cboServeur,       f->txtRequete2,
                                      f->btnComparer};
    QWidget *w = f->txtPWD;
    for (int i = 1; i < attendu.size(); ++i) {
        do {
            w = w->nextInFocusChain();
        } while (w->focusPolicy() == Qt::NoFocus || !attendu.contains(w));
        QVERIFY2(w == attendu.at(i), qPrintable(QStringLiteral("position %1: %2").arg(i).arg(w->objectName())));
    }
}

void TestFrmBrenlor::policeDesEditeurs()
{
    auto f = Fenetre();
    for (EditeurRiche *e : {f->txtRequete, f->txtRequete2}) {
        QCOMPARE(e->font().pointSizeF(), 9.75);
        const QString famille = QFontInfo(e->font()).family();
        QVERIFY2(famille == QLatin1String("Courier New") || famille == QLatin1String("Liberation Mono"),
                 qPrintable(famille));
        QVERIFY(QFontInfo(e->font()).fixedPitch());
    }
}

void TestFrmBrenlor::form2()
{
    Form2 f;
    QCOMPARE(f.fraRetoursLigne->title(), QStringLiteral("Retour à la ligne"));
    QCOMPARE(f.chkRLselect->text(), QStringLiteral("SELECT"));
    for (QCheckBox *c : {f.Check1, f.Check2, f.Check3, f.Check4}) {
        QCOMPARE(c->text(), QStringLiteral("FROM"));
        QCOMPARE(c->parentWidget(), f.fraRetoursLigne);
    }
    QVERIFY(!f.isVisible());
}

void TestFrmBrenlor::premierLancement()
{
    auto f = Fenetre();
    f->Form_Load();
    QCOMPARE(f->cboServeur->currentIndex(), -1);
    QCOMPARE(f->cboServeur->Text(), QString());
    QCOMPARE(f->txtPWD->text(), QStringLiteral("Mirabel4"));
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.at(0).sTexte, kEchec);
    QCOMPARE(m_messages.at(0).icone, IconeMessage::Erreur);
    QCOMPARE(m_messages.at(0).sTitre, QStringLiteral("Brenlor"));
    for (QWidget *w : QList<QWidget *>{f->cboBase, f->txtRequete, f->txtRequete2, f->btnFormater,
                                       f->chkLimiteADroite, f->btnLancer})
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(f->btnComparer->isEnabled());
    QCOMPARE(f->cboBase->Count(), 0);
    QCOMPARE(Lit("ServeurSQL"), QStringLiteral("*"));
    QCOMPARE(Lit("PWD"), QStringLiteral("*"));
    QCOMPARE(ilsIconesCourantes, f->ListeMotsCles->ilsIcones2005);
    QVERIFY(!f->ListeMotsCles->isVisible());
    QVERIFY(!f->TableMotsCles.empty());
    f.reset();
}

void TestFrmBrenlor::motDePasseEtoileCommeAbsent()
{
    Ecrit("PWD", "*");
    auto f = Fenetre();
    f->Form_Load();
    QCOMPARE(f->txtPWD->text(), QStringLiteral("Mirabel4"));
}

void TestFrmBrenlor::reglagesIllisiblesPasUnEchecDeConnexion()
{
    // Start-up on a damaged settings file: the status bar names it, the
    // check that fails for want of a server shows no login message.
    QDir().mkpath(QFileInfo(Fichier()).absolutePath());
    QFile f(Fichier());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("[General]\nPWD=\0\x01", 17));
    f.close();
    const QString sEtat = SecuriseParametres(frmBrenlor::NomApplication());
    QVERIFY(sEtat.contains(QStringLiteral("n'est pas un fichier de réglages")));
    auto fen = Fenetre();
    fen->bEchecSilencieux = true;
    fen->Form_Load();
    QVERIFY(m_messages.isEmpty());
    QVERIFY(!fen->txtRequete->isEnabled());
    // Enter afterwards is the user's own attempt: reported as usual.
    fen->bEchecSilencieux = false;
    QTest::keyClick(fen->txtPWD, Qt::Key_Return);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.at(0).sTexte, kEchec);
}

void TestFrmBrenlor::restaurationComplete()
{
    auto f = FenetreConnectee();
    QVERIFY2(m_messages.isEmpty(), m_messages.isEmpty() ? "" : qPrintable(m_messages.at(0).sTexte));
    QCOMPARE(f->cboServeur->currentIndex(), 0);
    QCOMPARE(f->cboServeur->Text(), m_standIn->serverName().toUpper());
    QCOMPARE(f->txtPWD->text(), QStringLiteral("Mirabel4"));
    QCOMPARE(Entrees(f->cboBase), (QStringList{"master", "model", "msdb", "tempdb", "Ventes"}));
    QCOMPARE(f->cboBase->Text(), QStringLiteral("Ventes"));
    for (int i = 0; i < f->cboBase->Count(); ++i) {
        QCOMPARE(f->cboBase->Cle(i), f->cboBase->itemText(i));
        QCOMPARE(f->cboBase->Tag(i), QStringLiteral("bases"));
        QCOMPARE(f->cboBase->Image(i), 2);
    }
    for (QWidget *w : QList<QWidget *>{f->cboBase, f->txtRequete, f->txtRequete2, f->btnFormater,
                                       f->chkLimiteADroite, f->btnLancer})
        QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
    QCOMPARE(f->Serveur().cnServeur->State(), 1);
    QTRY_VERIFY(f->txtRequete->hasFocus());
    QCOMPARE(Lit("ServeurSQL"), m_standIn->serverName().toUpper());
    QCOMPARE(Lit("PWD"), QStringLiteral("Mirabel4"));
    QCOMPARE(Lit("Base"), QStringLiteral("Ventes"));
}

void TestFrmBrenlor::chaineDeConnexionExacte()
{
    auto f = FenetreConnectee();
    QCOMPARE(f->Serveur().ChaineConnexion(QStringLiteral("master")),
             QStringLiteral("Provider=MSDataShape; Data Provider=SQLOLEDB; Data Source=%1; "
                            "Initial Catalog =master; UID=sa; PWD=Mirabel4;Application Name=Brenlor")
                 .arg(m_standIn->serverName().toUpper()));
    f->VerifieConnexion(QStringLiteral("SRV1"), QString());
    QCOMPARE(f->Serveur().ChaineConnexion(QStringLiteral("master")),
             QStringLiteral("Provider=MSDataShape; Data Provider=SQLOLEDB; Data Source=SRV1; "
                            "Initial Catalog =master; UID=sa; PWD=;Application Name=Brenlor"));
}

void TestFrmBrenlor::serveurMemoriseNonListe()
{
    // A server typed in an earlier run, not found by discovery, is kept.
    Ecrit("ServeurSQL", m_standIn->serverName());
    Ecrit("PWD", "Mirabel4");
    auto f = Fenetre({"AUTRE"});
    f->Form_Load();
    QCOMPARE(f->cboServeur->Count(), 1);
    QCOMPARE(f->cboServeur->currentIndex(), -1);
    QCOMPARE(f->cboServeur->Text(), m_standIn->serverName());
    QVERIFY(m_messages.isEmpty());
    QVERIFY(f->txtRequete->isEnabled());
}

void TestFrmBrenlor::baseDisparue()
{
    Ecrit("ServeurSQL", m_standIn->serverName());
    Ecrit("PWD", "Mirabel4");
    Ecrit("Base", "Disparue");
    auto f = Fenetre({m_standIn->serverName()});
    f->Form_Load();
    QCOMPARE(f->cboBase->currentIndex(), 0);
    QCOMPARE(f->cboBase->Text(), QStringLiteral("master"));
    QCOMPARE(Lit("Base"), QStringLiteral("master"));
    QVERIFY(m_messages.isEmpty());
}

void TestFrmBrenlor::aucuneBaseEnregistree()
{
    Ecrit("ServeurSQL", m_standIn->serverName());
    Ecrit("PWD", "Mirabel4");
    auto f = Fenetre({m_standIn->serverName()});
    f->Form_Load();
    QCOMPARE(f->cboBase->Count(), 5);
    QCOMPARE(f->cboBase->currentIndex(), -1);
    QCOMPARE(Lit("Base"), QString());
    // A saved base looked up whatever its case.
    Ecrit("Base", "VENTES");
    f->VerifieConnexion(f->cboServeur->Text(), f->txtPWD->text());
    QCOMPARE(f->cboBase->Text(), QStringLiteral("Ventes"));
}

void TestFrmBrenlor::echecMessageEtEtatInutilisable()
{
    auto f = FenetreConnectee();
    QVERIFY(f->txtRequete->isEnabled());
    f->txtPWD->setText(QStringLiteral("mauvais"));
    f->VerifieConnexion(f->cboServeur->Text(), f->txtPWD->text());
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.at(0).sTexte, kEchec);
    QCOMPARE(m_messages.at(0).icone, IconeMessage::Erreur);
    QCOMPARE(f->cboBase->Count(), 0);
    for (QWidget *w : QList<QWidget *>{f->cboBase, f->txtRequete, f->txtRequete2, f->btnFormater,
                                       f->chkLimiteADroite, f->btnLancer})
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    QCOMPARE(Lit("PWD"), QStringLiteral("Mirabel4"));
    QCOMPARE(Lit("Base"), QStringLiteral("Ventes"));
    QVERIFY(f->Serveur().cnServeur->State() != 1);
}

void TestFrmBrenlor::entreeDansTxtPWD()
{
    auto f = FenetreConnectee();
    f->txtPWD->setText(QStringLiteral("mauvais"));
    QTest::keyClick(f->txtPWD, Qt::Key_Return);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(!f->txtRequete->isEnabled());
    f->txtPWD->setText(QStringLiteral("Mirabel4"));
    QTest::keyClick(f->txtPWD, Qt::Key_A);
    QCOMPARE(m_messages.size(), 1);
    QTest::keyClick(f->txtPWD, Qt::Key_Backspace);
    QTest::keyClick(f->txtPWD, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(f->txtRequete->isEnabled());
    QCOMPARE(f->cboBase->Text(), QStringLiteral("Ventes"));
}

void TestFrmBrenlor::entreeSansAppuiIgnoree()
{
    // The release of an Enter pressed elsewhere (on the message box that
    // reported a failure) does not start another check.
    auto f = Fenetre();
    f->Form_Load();
    QCOMPARE(m_messages.size(), 1);
    QTest::keyRelease(f->txtPWD, Qt::Key_Return);
    QTest::keyRelease(f->cboServeur, Qt::Key_Return);
    QCOMPARE(m_messages.size(), 1);
}

void TestFrmBrenlor::entreeDansCboServeur()
{
    auto f = Fenetre();
    f->Form_Load();
    QCOMPARE(m_messages.size(), 1);
    f->cboServeur->setFocus();
    QTest::keyClicks(f->cboServeur, m_standIn->serverName());
    QCOMPARE(f->cboServeur->Text(), m_standIn->serverName());
    QTest::keyClick(f->cboServeur, Qt::Key_Return);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(f->cboServeur->Count(), 0);
    QCOMPARE(f->cboBase->Count(), 5);
    QVERIFY(f->txtRequete->isEnabled());
    QCOMPARE(Lit("ServeurSQL"), m_standIn->serverName());
    QCOMPARE(Lit("PWD"), QStringLiteral("Mirabel4"));
}

void TestFrmBrenlor::verificationSurServeurFige_data()
{
    // Start-up lists the databases (the server's first request); Enter then
    // checks the pooled session before the listing.
    QTest::addColumn<int>("gelApres"); // requests answered before the server hangs
    QTest::newRow("session en reserve puis login") << 1;
    QTest::newRow("liste des bases") << 2;
}

void TestFrmBrenlor::verificationSurServeurFige()
{
    // Enter in the password box gives a hung server one login timeout and a
    // second more, however long the command timeout (30 s here).
    QFETCH(int, gelApres);
    StandIn::Options options;
    options.extraArguments << QStringLiteral("--gel-apres") << QString::number(gelApres);
    StandIn fige(options);
    QVERIFY2(fige.isRunning(), qPrintable(fige.output()));
    auto f = FenetreConnectee(fige);
    QVERIFY(f->txtRequete->isEnabled());
    QElapsedTimer chrono;
    chrono.start();
    QTest::keyClick(f->txtPWD, Qt::Key_Return);
    const qint64 lDuree = chrono.elapsed();
    QVERIFY2(lDuree < Connexion::LoginTimeout() * 1000 + 1000, qPrintable(QString::number(lDuree)));
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.at(0).sTexte, kEchec);
    QVERIFY(!f->txtRequete->isEnabled());

    // Once the server answers again, so does the check, Brenlor still running.
    QVERIFY(fige.restart(QStringList()));
    QTest::keyClick(f->txtPWD, Qt::Key_Return);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(f->txtRequete->isEnabled());
    QCOMPARE(f->cboBase->Count(), 5);
}

void TestFrmBrenlor::serveurVideApresSucces_data()
{
    QTest::addColumn<QString>("serveur");
    QTest::newRow("vide") << QString();
    QTest::newRow("blancs") << QStringLiteral("   ");
}

void TestFrmBrenlor::serveurVideApresSucces()
{
    QFETCH(QString, serveur);
    auto f = FenetreConnectee();
    f->cboServeur->SetText(serveur);
    f->VerifieConnexion(f->cboServeur->Text(), f->txtPWD->text());
    QCOMPARE(f->cboBase->Count(), 0);
    QVERIFY(!f->cboBase->isEnabled());
    QVERIFY(!f->txtRequete->isEnabled());
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.at(0).sTexte, kEchec);
    QCOMPARE(Lit("ServeurSQL"), m_standIn->serverName().toUpper());
    QCOMPARE(Lit("Base"), QStringLiteral("Ventes"));
}

void TestFrmBrenlor::listeBasesServeurBlanc()
{
    // The listing itself keeps the picker for a blank name and leaves the
    // connection closed; the check is what empties the picker.
    auto f = FenetreConnectee();
    QCOMPARE(f->Serveur().cnServeur->State(), 1);
    f->ListeBasesDeDonnees(QStringLiteral("  "), QStringLiteral("Mirabel4"));
    QCOMPARE(f->cboBase->Count(), 5);
    QVERIFY(f->Serveur().cnServeur->State() != 1);
}

void TestFrmBrenlor::changeDeCboBase()
{
    Ecrit("Base", "model");
    Ecrit("ServeurSQL", m_standIn->serverName());
    Ecrit("PWD", "Mirabel4");
    auto f = Fenetre({m_standIn->serverName()});
    f->Form_Load();
    // Clearing and refilling during the check did not overwrite "model".
    QCOMPARE(f->cboBase->Text(), QStringLiteral("model"));
    QCOMPARE(Lit("Base"), QStringLiteral("model"));
    f->VerifieConnexion(f->cboServeur->Text(), f->txtPWD->text());
    QCOMPARE(f->cboBase->Text(), QStringLiteral("model"));

    // The user's choice from the list, by keyboard.
    f->cboBase->setFocus();
    QTest::keyClick(f->cboBase, Qt::Key_Down);
    QCOMPARE(f->cboBase->Text(), QStringLiteral("msdb"));
    QCOMPARE(Lit("Base"), QStringLiteral("msdb"));

    // The user's typing, one save per change.
    f->cboBase->lineEdit()->selectAll();
    QTest::keyClicks(f->cboBase->lineEdit(), QStringLiteral("Ven"));
    QCOMPARE(Lit("Base"), QStringLiteral("Ven"));

    // Changes from code save nothing.
    f->cboBase->Selectionne(0);
    f->cboBase->Clear();
    QCOMPARE(Lit("Base"), QStringLiteral("Ven"));
}

void TestFrmBrenlor::txtPWDSelectionneTout()
{
    auto f = Fenetre();
    f->Form_Load();
    f->txtPWD->setText(QStringLiteral("secret"));
    f->btnComparer->setFocus();
    f->txtPWD->setFocus(Qt::MouseFocusReason);
    QTRY_COMPARE(f->txtPWD->selectedText(), QStringLiteral("secret"));
}

void TestFrmBrenlor::listeServeurs_data()
{
    const QString pc = frmBrenlor::NomMachineLocale();
    QTest::addColumn<QStringList>("noms");
    QTest::addColumn<bool>("local");
    QTest::addColumn<QStringList>("attendu");
    QTest::newRow("local sous le nom de la machine")
        << QStringList{"(local)", "SRV1", "srv2\\inst"} << true << QStringList{pc, "SRV1", "SRV2\\INST"};
    QTest::newRow("local exclu") << QStringList{"(local)", "SRV1", "srv2\\inst"} << false
                                 << QStringList{"SRV1", "SRV2\\INST"};
    QTest::newRow("doublon saute, la liste continue")
        << QStringList{"(local)", pc.toLower(), "SRV3"} << true << QStringList{pc, "SRV3"};
    QTest::newRow("doublons en casse") << QStringList{"srv1", "SRV1", "Srv1", "b"} << true
                                       << QStringList{"SRV1", "B"};
    QTest::newRow("liste vide") << QStringList{} << true << QStringList{};
}

void TestFrmBrenlor::listeServeurs()
{
    QFETCH(QStringList, noms);
    QFETCH(bool, local);
    QFETCH(QStringList, attendu);
    auto f = Fenetre(noms);
    f->ChangeIcones(ImageList::Icones2005());
    f->cboServeur->AjouteEntree(QStringLiteral("ANCIEN"), QStringLiteral("ANCIEN"), 1, QStringLiteral("serveurs"));
    f->ListeSQLServers(local);
    QCOMPARE(Entrees(f->cboServeur), attendu);
    for (int i = 0; i < f->cboServeur->Count(); ++i) {
        QCOMPARE(f->cboServeur->Cle(i), attendu.at(i));
        QCOMPARE(f->cboServeur->Tag(i), QStringLiteral("serveurs"));
        QCOMPARE(f->cboServeur->Image(i), ImageList::Icones2005()->Index(QStringLiteral("serveurs")));
    }
    QVERIFY(m_messages.isEmpty());
    f->ChangeIcones(nullptr);
}

void TestFrmBrenlor::decouverteContreLeStandIn()
{
    StandIn::Options o;
    o.ssrp = true;
    o.instance = QStringLiteral("VENTES2");
    StandIn nommee(o);
    QVERIFY2(nommee.isRunning(), qPrintable(nommee.output()));
    o.instance.clear();
    StandIn parDefaut(o);
    QVERIFY2(parDefaut.isRunning(), qPrintable(parDefaut.output()));

    QTemporaryDir dossier;
    QFile conf(dossier.filePath(QStringLiteral("freetds.conf")));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write(QStringLiteral("[global]\n\ttds version = 7.4\n[demo]\n\thost = 127.0.0.1\n\tport = %1\n")
                   .arg(parDefaut.port()).toUtf8());
    conf.close();

    const QString pc = frmBrenlor::NomMachineLocale();
    for (StandIn *s : {&parDefaut, &nommee}) {
        OptionsDecouverte options;
        options.sFichierFreeTds = conf.fileName();
        options.lPortSsrp = quint16(s->ssrpPort());
        options.lPortTcp = 0;
        auto f = std::make_unique<frmBrenlor>(options);
        f->ChangeIcones(ImageList::Icones2000());
        f->ListeSQLServers(true);
        const QStringList attendu = s == &parDefaut ? QStringList{"DEMO", pc}
                                                    : QStringList{"DEMO", pc + "\\VENTES2"};
        QCOMPARE(Entrees(f->cboServeur), attendu);
        QCOMPARE(f->cboServeur->Image(0), ImageList::Icones2000()->Index(QStringLiteral("serveurs")));
        f->ChangeIcones(nullptr);
    }
}

void TestFrmBrenlor::disposition()
{
    auto f = FenetreConnectee();
    TailleClient(f.get(), 11085, 6285);
    QTest::qWait(20);
    QVERIFY(f->menuBar()->isVisible());
    QCOMPARE(f->sta->height(), TwipsEnPixels(f.get(), 285));
    const double px = 1440.0 / f->logicalDpiX();
    QCOMPARE(CadreFenetreTwips(f.get()).dScaleHeight, PixelsEnTwips(f.get(), TwipsEnPixels(f.get(), 6285)));
    const QRectF r1 = GeometrieTwips(f->txtRequete);
    const QRectF r2 = GeometrieTwips(f->txtRequete2);
    QCOMPARE(f->txtRequete->geometry(), QRect(0, TwipsEnPixels(f.get(), 1320), TwipsEnPixels(f.get(), 11085), TwipsEnPixels(f.get(), 2340)));
    QVERIFY(qAbs(r1.height() - 2340) <= px / 2);
    QCOMPARE(f->txtRequete2->x(), 0);
    QCOMPARE(f->txtRequete2->y(), TwipsEnPixels(f.get(), r1.top() + r1.height() + 50));
    QVERIFY(qAbs(r2.top() - 3710) <= px / 2 + 0.01);
    QVERIFY(qAbs(r2.height() - 2290) <= px + 0.01);
    QCOMPARE(f->txtRequete2->width(), TwipsEnPixels(f.get(), 11085));
    // Editors end at the status bar, 50 twips apart.
    QVERIFY(qAbs(r2.top() + r2.height() - (CadreFenetreTwips(f.get()).dScaleHeight - 285)) <= px + 0.01);

    // Taller window: the two editors share the space equally.
    TailleClient(f.get(), 11085, 9285);
    QTest::qWait(20);
    QVERIFY(qAbs(GeometrieTwips(f->txtRequete).height() - 3840) <= px);
    // Too small: the editors keep their geometry instead of a negative height.
    const QRect avant = f->txtRequete->geometry();
    f->resize(TwipsEnPixels(f.get(), 3000), TwipsEnPixels(f.get(), 1000));
    QTest::qWait(20);
    if (f->height() < TwipsEnPixels(f.get(), 1320 + 285))
        QCOMPARE(f->txtRequete->height(), avant.height());
    // Nothing else moves.
    QCOMPARE(f->btnComparer->geometry().topLeft(), QPoint(TwipsEnPixels(f.get(), 120), TwipsEnPixels(f.get(), 840)));
    // Measured from the client area, under the menu bar.
    QVERIFY(qAbs(GeometrieTwips(f->btnComparer).top() - 840) <= px / 2 + 0.01);
}

void TestFrmBrenlor::deuxClicsSurLaSurface()
{
    auto f = FenetreConnectee();
    QVERIFY(QTest::qWaitForWindowExposed(f.get()));
    ImageList *ils2000 = f->ListeMotsCles->ilsIcones2000;
    ImageList *ils2005 = f->ListeMotsCles->ilsIcones2005;
    QCOMPARE(ilsIconesCourantes, ils2005);
    QWidget *surface = f->Surface();
    const QPoint vide(TwipsEnPixels(f.get(), 9000), TwipsEnPixels(f.get(), 300));
    QVERIFY(!surface->childAt(vide));
    auto verifie = [&](ImageList *attendu) {
        QCOMPARE(ilsIconesCourantes, attendu);
        for (ComboImages *c : {f->cboServeur, f->cboBase}) {
            QCOMPARE(c->ImageListe(), attendu);
            for (int i = 0; i < c->Count(); ++i) {
                const QIcon voulu = attendu->Icone(attendu->Index(c->Tag(i)));
                QCOMPARE(c->itemIcon(i).pixmap(16).toImage(), voulu.pixmap(16).toImage());
            }
        }
    };
    QTest::mouseClick(surface, Qt::LeftButton, {}, vide);
    verifie(ils2000);
    // The two sets really differ in their pictures.
    QVERIFY(ils2000->Icone(2).pixmap(16).toImage() != ils2005->Icone(2).pixmap(16).toImage());
    // A click on a control is not a click on the surface.
    QTest::mouseClick(f->btnComparer, Qt::LeftButton);
    QCOMPARE(ilsIconesCourantes, ils2000);
    m_messages.clear();
    QTest::mouseClick(surface, Qt::LeftButton, {}, vide);
    verifie(ils2005);
}

void TestFrmBrenlor::sortieFermeCnServeur()
{
    auto f = FenetreConnectee();
    QCOMPARE(f->Serveur().cnServeur->State(), 1);
    QFile fichier(Fichier());
    QVERIFY(fichier.open(QIODevice::ReadOnly));
    const QByteArray avant = fichier.readAll();
    fichier.close();
    const QDateTime dateAvant = QFileInfo(Fichier()).lastModified();
    QTest::qWait(20);
    QVERIFY(f->close());
    QCOMPARE(f->Serveur().cnServeur.get(), nullptr);
    QCOMPARE(ilsIconesCourantes, nullptr);
    QCOMPARE(f->cboServeur->ImageListe(), nullptr);
    QCOMPARE(f->cboBase->ImageListe(), nullptr);
    QVERIFY(fichier.open(QIODevice::ReadOnly));
    QCOMPARE(fichier.readAll(), avant);
    QCOMPARE(QFileInfo(Fichier()).lastModified(), dateAvant);
}

QTEST_MAIN(TestFrmBrenlor)
#include "test_frmbrenlor.moc"
