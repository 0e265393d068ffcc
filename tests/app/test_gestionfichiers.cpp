// The editors as script files in a real window: a file from the command line
// edited and saved with Ctrl+S, the question on closing with each answer, a
// save that fails, the recovery copy after a crash, a character the file's
// encoding lacks, a file changed on disk, a file dropped on an editor.
#include "fenetretest.h"

#include "connexion.h"
#include "copiessecours.h"
#include "editeurriche.h"
#include "gestionfichiers.h"

#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QUrl>

namespace {

QByteArray Utf16LE(const QString &s)
{
    QByteArray o;
    for (const QChar c : s)
        o += char(c.unicode() & 0xFF), o += char(c.unicode() >> 8);
    return o;
}

void Ecrit(const QString &sChemin, const QByteArray &octets)
{
    QFile f(sChemin);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(octets);
}

QByteArray Lit(const QString &sChemin)
{
    QFile f(sChemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool EstModifie(const EditeurRiche *e)
{
    return e->document()->isModified();
}

// A drag entering the editor's top-left corner and dropped there, as the
// window system delivers it. True when the drop was accepted.
bool Depose(EditeurRiche *e, const QMimeData *mime)
{
    const QPoint p(1, 1);
    QDragEnterEvent entree(p, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(e->viewport(), &entree);
    QDropEvent depot(p, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(e->viewport(), &depot);
    return depot.isAccepted();
}

// Clicks a button of the next modal question box, by its caption, once it shows.
void RepondraAuDialogue(const QString &sBouton, QString *sQuestion)
{
    QTimer::singleShot(50, [sBouton, sQuestion] {
        auto *boite = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!boite)
            return;
        *sQuestion = boite->text();
        for (QAbstractButton *b : boite->buttons()) {
            if (b->text() == sBouton)
                b->click();
        }
    });
}

} // namespace

class TestGestionFichiers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void ligneDeCommandeEditionCtrlS_data();
    void ligneDeCommandeEditionCtrlS();
    void fermetureAvecTexteNonEnregistre_data();
    void fermetureAvecTexteNonEnregistre();
    void grandFichierSansAnnulationNiModification();
    void enregistrementImpossible();
    void fichiersRefuses_data();
    void fichiersRefuses();
    void caractereHorsEncodage_data();
    void caractereHorsEncodage();
    void copieDeSecoursApresArretBrutal();
    void changeSurLeDisque();
    void fichierDepose();
    void editeurCourantEtFichiersRecents();

private:
    QString Chemin(const QString &sNom) const { return m_dossier.filePath(sNom); }
    std::unique_ptr<frmBrenlor> Fenetre(const QStringList &fichiers = {});

    std::unique_ptr<StandIn> m_standIn;
    std::unique_ptr<frmBrenlor> m_fenetre;
    QTemporaryDir m_dossier;
    QList<MessageCapture> &m_messages = MessagesCaptures();
};

void TestGestionFichiers::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    Connexion::SetLoginTimeoutForTests(3);
    m_standIn = std::make_unique<StandIn>();
    QVERIFY2(m_standIn->isRunning(), qPrintable(m_standIn->output()));
}

void TestGestionFichiers::init()
{
    QDir(CopiesSecours::DossierParDefaut()).removeRecursively();
    InstalleCapture();
}

void TestGestionFichiers::cleanup()
{
    FermeFenetre(m_fenetre);
}

std::unique_ptr<frmBrenlor> TestGestionFichiers::Fenetre(const QStringList &fichiers)
{
    auto f = OuvreFenetre(*m_standIn);
    f->Fichiers->Demarre(fichiers);
    return f;
}

void TestGestionFichiers::ligneDeCommandeEditionCtrlS_data()
{
    const QString texte = QStringLiteral("SELECT 'été'\r\nFROM t\r\n");
    QTest::addColumn<QByteArray>("avant");
    QTest::addColumn<QByteArray>("apres");
    QTest::newRow("UTF-8 CR LF") << texte.toUtf8() << (texte + "X;").toUtf8();
    QTest::newRow("UTF-16 LE marque") << "\xFF\xFE" + Utf16LE(texte) << "\xFF\xFE" + Utf16LE(texte + "X;");
    QTest::newRow("Windows-1252 LF") << QByteArray("SELECT '\xe9t\xe9'\nFROM t\n")
                                     << QByteArray("SELECT '\xe9t\xe9'\nFROM t\nX;");
}

void TestGestionFichiers::ligneDeCommandeEditionCtrlS()
{
    QFETCH(QByteArray, avant);
    QFETCH(QByteArray, apres);
    Ecrit(Chemin("a.sql"), avant);
    Ecrit(Chemin("b.sql"), "SELECT 2");
    m_fenetre = Fenetre({Chemin("a.sql"), Chemin("b.sql")});
    frmBrenlor *f = m_fenetre.get();
    QVERIFY(QTest::qWaitForWindowActive(f));
    QCOMPARE(f->txtRequete->Text(), QStringLiteral("SELECT 'été'\r\nFROM t\r\n"));
    QCOMPARE(f->txtRequete2->Text(), QStringLiteral("SELECT 2"));
    QCOMPARE(f->windowTitle(), QStringLiteral("a.sql — Brenlor"));
    QVERIFY(!EstModifie(f->txtRequete));

    f->txtRequete->setFocus();
    QTest::keyClick(f->txtRequete, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(f->txtRequete, QStringLiteral("X;"));
    QCOMPARE(f->windowTitle(), QStringLiteral("a.sql* — Brenlor"));
    QTest::keyClick(f->txtRequete, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(Lit(Chemin("a.sql")), apres);
    QCOMPARE(f->windowTitle(), QStringLiteral("a.sql — Brenlor"));
    QVERIFY(!EstModifie(f->txtRequete));
    QCOMPARE(Lit(Chemin("b.sql")), QByteArray("SELECT 2"));
    QCOMPARE(f->Fichiers->FichiersRecents().mid(0, 2), (QStringList{Chemin("a.sql"), Chemin("b.sql")}));
    QVERIFY(m_messages.isEmpty());
}

void TestGestionFichiers::fermetureAvecTexteNonEnregistre_data()
{
    QTest::addColumn<QString>("bouton");
    QTest::addColumn<bool>("bFermee");
    QTest::addColumn<QByteArray>("fichier");
    QTest::newRow("Oui enregistre puis ferme") << "Oui" << true << QByteArray("SELECT 1X");
    QTest::newRow("Non ferme sans enregistrer") << "Non" << true << QByteArray("SELECT 1");
    QTest::newRow("Annuler laisse la fenetre") << "Annuler" << false << QByteArray("SELECT 1");
}

void TestGestionFichiers::fermetureAvecTexteNonEnregistre()
{
    QFETCH(QString, bouton);
    QFETCH(bool, bFermee);
    QFETCH(QByteArray, fichier);
    Ecrit(Chemin("c.sql"), "SELECT 1");
    m_fenetre = Fenetre({Chemin("c.sql")});
    frmBrenlor *f = m_fenetre.get();
    f->txtRequete->SetSelStart(8);
    QTest::keyClicks(f->txtRequete, QStringLiteral("X"));
    f->Fichiers->EcritCopiesSecours();
    const QString copie = f->Fichiers->Copies().FichierCopie(1);
    QVERIFY(QFileInfo::exists(copie));

    // The real dialog, answered by its own buttons.
    InstalleReponsesQuestions({});
    QString sQuestion;
    RepondraAuDialogue(bouton, &sQuestion);
    QCOMPARE(f->close(), bFermee);
    QCOMPARE(sQuestion, QStringLiteral("Enregistrer les modifications de c.sql ?"));
    QCOMPARE(f->isVisible(), !bFermee);
    QCOMPARE(Lit(Chemin("c.sql")), fichier);
    QCOMPARE(f->txtRequete->Text(), QStringLiteral("SELECT 1X"));
    QCOMPARE(EstModifie(f->txtRequete), bouton != QLatin1String("Oui"));
    // A window that closed normally leaves no copy behind.
    QCOMPARE(QFileInfo::exists(copie), !bFermee);
}

// A large script is written into the editor part by part after the first
// screenful: all along it is unmodified with nothing to undo, and a new text
// replaces it whole, even before the last part was written.
void TestGestionFichiers::grandFichierSansAnnulationNiModification()
{
    QByteArray octets;
    for (int i = 0; i < 3000; ++i)
        octets += "SELECT " + QByteArray::number(i) + " FROM t\r\n";
    Ecrit(Chemin("grand.sql"), octets);
    m_fenetre = Fenetre({Chemin("grand.sql")});
    frmBrenlor *f = m_fenetre.get();
    QVERIFY(!EstModifie(f->txtRequete));
    f->Fichiers->Nouveau();
    QTest::qWait(20);
    QCOMPARE(f->txtRequete->Text(), QString());

    QVERIFY(f->Fichiers->Ouvre(1, Chemin("grand.sql")));
    QVERIFY(!EstModifie(f->txtRequete));
    QCOMPARE(f->txtRequete->Text(), QString::fromLatin1(octets));
    QVERIFY(!EstModifie(f->txtRequete));
    QVERIFY(!f->txtRequete->document()->isUndoAvailable());
    QCOMPARE(f->windowTitle(), QStringLiteral("grand.sql — Brenlor"));
}

void TestGestionFichiers::enregistrementImpossible()
{
    Ecrit(Chemin("d.sql"), "SELECT 1");
    Ecrit(Chemin("pas-un-dossier"), "x");
    m_fenetre = Fenetre({Chemin("d.sql")});
    frmBrenlor *f = m_fenetre.get();
    f->txtRequete->SetText(QStringLiteral("SELECT 2"));
    // The tests run as root, whom rights do not stop: a folder that cannot exist.
    QVERIFY(!f->Fichiers->EnregistreSous(1, Chemin("pas-un-dossier/d.sql")));
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages.at(0).sTexte.startsWith(QStringLiteral("Impossible d'enregistrer ")), qPrintable(m_messages.at(0).sTexte));
    QVERIFY(m_messages.at(0).sTexte.contains(QStringLiteral("n'est pas un dossier")));
    QCOMPARE(m_messages.at(0).icone, IconeMessage::Erreur);
    QCOMPARE(f->txtRequete->Text(), QStringLiteral("SELECT 2"));
    QVERIFY(EstModifie(f->txtRequete));
    QCOMPARE(f->Fichiers->Chemin(1), Chemin("d.sql"));
    QCOMPARE(f->windowTitle(), QStringLiteral("d.sql* — Brenlor"));
    QCOMPARE(Lit(Chemin("d.sql")), QByteArray("SELECT 1"));
}

void TestGestionFichiers::fichiersRefuses_data()
{
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QString>("message");
    QTest::newRow("absent") << "absent.sql" << "Impossible d'ouvrir %1 : le fichier n'existe pas.";
    QTest::newRow("binaire") << "binaire.sql" << "%1 n'est pas un script texte.";
}

void TestGestionFichiers::fichiersRefuses()
{
    QFETCH(QString, nom);
    QFETCH(QString, message);
    Ecrit(Chemin("binaire.sql"), QByteArray("SELECT\0\x01", 8));
    // A missing or bad file on the command line: a message, then the window as usual.
    m_fenetre = Fenetre({Chemin(nom)});
    frmBrenlor *f = m_fenetre.get();
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.at(0).sTexte, message.arg(Chemin(nom)));
    QCOMPARE(f->windowTitle(), QStringLiteral("Brenlor"));
    QVERIFY(f->txtRequete->isEnabled());
    // Nor does opening one into an editor lose its text.
    f->txtRequete->SetText(QStringLiteral("SELECT 3"));
    ReponseCapturee() = ReponseQuestion::Non;
    QVERIFY(!f->Fichiers->Ouvre(1, Chemin(nom)));
    QCOMPARE(f->txtRequete->Text(), QStringLiteral("SELECT 3"));
}

void TestGestionFichiers::caractereHorsEncodage_data()
{
    QTest::addColumn<int>("reponse");
    QTest::addColumn<QByteArray>("fichier");
    QTest::newRow("Oui: en UTF-8") << int(ReponseQuestion::Oui) << QByteArray("-- \xce\xa0\xce\xb1 \xc3\xa9t\xc3\xa9\r\n");
    QTest::newRow("Non: rien d'ecrit") << int(ReponseQuestion::Non) << QByteArray("-- \xe9t\xe9\r\n");
}

void TestGestionFichiers::caractereHorsEncodage()
{
    QFETCH(int, reponse);
    QFETCH(QByteArray, fichier);
    Ecrit(Chemin("e.sql"), "-- \xe9t\xe9\r\n");
    m_fenetre = Fenetre({Chemin("e.sql")});
    frmBrenlor *f = m_fenetre.get();
    QCOMPARE(f->Fichiers->Forme(1).encodage, FormeScript::Windows1252);
    f->txtRequete->SetSelStart(3);
    f->txtRequete->textCursor().insertText(QStringLiteral("Πα "));
    ReponseCapturee() = ReponseQuestion(reponse);
    QCOMPARE(f->Fichiers->Enregistrer(), reponse == int(ReponseQuestion::Oui));
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.at(0).icone, IconeMessage::Question);
    QVERIFY(m_messages.at(0).sTexte.contains(QStringLiteral("Windows-1252")));
    QCOMPARE(Lit(Chemin("e.sql")), fichier);
    QCOMPARE(EstModifie(f->txtRequete), reponse != int(ReponseQuestion::Oui));
}

void TestGestionFichiers::copieDeSecoursApresArretBrutal()
{
    Ecrit(Chemin("f.sql"), "SELECT 1");
    m_fenetre = Fenetre({Chemin("f.sql")});
    m_fenetre->txtRequete->SetText(QStringLiteral("SELECT 'à garder'"));
    m_fenetre->Fichiers->EcritCopiesSecours();
    const QString copie = m_fenetre->Fichiers->Copies().FichierCopie(1);
    QCOMPARE(QFileInfo(copie).permissions() & ~(QFile::ReadUser | QFile::WriteUser),
             QFile::ReadOwner | QFile::WriteOwner);
    QVERIFY(Lit(copie).endsWith("SELECT 'à garder'"));

    // A process that ended without removing its copy: a killed Brenlor.
    QProcess p;
    p.start(QStringLiteral("true"), {});
    QVERIFY(p.waitForFinished());
    const QString orpheline = QFileInfo(copie).absolutePath() + QStringLiteral("/brenlor-%1-1.secours").arg(p.processId());
    QVERIFY(QFile::rename(copie, orpheline));
    FermeFenetre(m_fenetre);

    ReponseCapturee() = ReponseQuestion::Oui;
    m_fenetre = Fenetre();
    frmBrenlor *f = m_fenetre.get();
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.at(0).icone, IconeMessage::Question);
    QVERIFY(m_messages.at(0).sTexte.contains(QDir::toNativeSeparators(Chemin("f.sql"))));
    QCOMPARE(f->txtRequete->Text(), QStringLiteral("SELECT 'à garder'"));
    QVERIFY(EstModifie(f->txtRequete));
    QCOMPARE(f->Fichiers->Chemin(1), Chemin("f.sql"));
    QVERIFY(!QFileInfo::exists(orpheline));
    // Still unsaved: this run keeps its own copy until the text is saved.
    const QString nouvelle = f->Fichiers->Copies().FichierCopie(1);
    QVERIFY(QFileInfo::exists(nouvelle));
    QVERIFY(f->Fichiers->Enregistrer());
    QCOMPARE(Lit(Chemin("f.sql")), QByteArray("SELECT 'à garder'"));
    QVERIFY(!QFileInfo::exists(nouvelle));
}

void TestGestionFichiers::changeSurLeDisque()
{
    Ecrit(Chemin("g.sql"), "SELECT 1");
    Ecrit(Chemin("h.sql"), "SELECT 1");
    m_fenetre = Fenetre({Chemin("g.sql"), Chemin("h.sql")});
    frmBrenlor *f = m_fenetre.get();
    f->txtRequete2->SetText(QStringLiteral("SELECT 'modifié ici'"));
    Ecrit(Chemin("g.sql"), "SELECT 22");
    Ecrit(Chemin("h.sql"), "SELECT 22");
    ReponseCapturee() = ReponseQuestion::Non;
    QEvent activation(QEvent::WindowActivate);
    QApplication::sendEvent(f, &activation);
    // The unmodified editor reloads and says so; the other one asks first.
    QTRY_COMPARE(f->txtRequete->Text(), QStringLiteral("SELECT 22"));
    QVERIFY(f->sta->currentMessage().contains(QStringLiteral("g.sql")));
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(m_messages.at(0).sTexte.startsWith(QStringLiteral("h.sql a été modifié sur le disque")));
    QCOMPARE(f->txtRequete2->Text(), QStringLiteral("SELECT 'modifié ici'"));
    // Asked once per change.
    QApplication::sendEvent(f, &activation);
    QTest::qWait(20);
    QCOMPARE(m_messages.size(), 1);
}

void TestGestionFichiers::fichierDepose()
{
    Ecrit(Chemin("i.sql"), "SELECT 'déposé'");
    m_fenetre = Fenetre();
    frmBrenlor *f = m_fenetre.get();
    QMimeData fichier;
    fichier.setUrls({QUrl::fromLocalFile(Chemin("i.sql"))});
    QVERIFY(Depose(f->txtRequete2, &fichier));
    QTRY_COMPARE(f->txtRequete2->Text(), QStringLiteral("SELECT 'déposé'"));
    QCOMPARE(f->Fichiers->Chemin(2), Chemin("i.sql"));
    QCOMPARE(f->windowTitle(), QStringLiteral("Brenlor"));

    // Dropped text is still text, written where it falls.
    QMimeData texte;
    texte.setText(QStringLiteral("-- j.sql\n"));
    QVERIFY(Depose(f->txtRequete2, &texte));
    QCOMPARE(f->txtRequete2->Text(), QStringLiteral("-- j.sql\r\nSELECT 'déposé'"));
    QCOMPARE(f->Fichiers->Chemin(2), Chemin("i.sql"));
}

void TestGestionFichiers::editeurCourantEtFichiersRecents()
{
    for (int i = 0; i < 12; ++i)
        Ecrit(Chemin(QStringLiteral("r%1.sql").arg(i)), QByteArray("SELECT ") + QByteArray::number(i));
    m_fenetre = Fenetre({Chemin("r0.sql")});
    frmBrenlor *f = m_fenetre.get();
    QVERIFY(QTest::qWaitForWindowActive(f));
    // The commands follow the editor that last had the focus.
    f->txtRequete2->setFocus();
    QTRY_COMPARE(f->Fichiers->EditeurCourant(), 2);
    for (int i = 1; i < 12; ++i)
        QVERIFY(f->Fichiers->Ouvre(2, Chemin(QStringLiteral("r%1.sql").arg(i))));
    QTest::keyClicks(f->txtRequete2, QStringLiteral("X"));
    ReponseCapturee() = ReponseQuestion::Annuler;
    QTest::keyClick(f->txtRequete2, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.at(0).sTexte, QStringLiteral("Enregistrer les modifications de r11.sql ?"));
    QCOMPARE(f->txtRequete2->Text(), QStringLiteral("XSELECT 11"));
    ReponseCapturee() = ReponseQuestion::Non;
    QTest::keyClick(f->txtRequete2, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(f->txtRequete2->Text(), QString());
    QCOMPARE(f->Fichiers->Chemin(2), QString());
    QCOMPARE(f->txtRequete->Text(), QStringLiteral("SELECT 0"));

    // The last ten, newest first; the menu opens one into the current editor.
    const QStringList recents = f->Fichiers->FichiersRecents();
    QCOMPARE(recents.size(), 10);
    QCOMPARE(recents.first(), Chemin("r11.sql"));
    QCOMPARE(recents.last(), Chemin("r2.sql"));
    QMenu *menu = nullptr;
    for (QAction *a : f->Fichiers->MenuFichier()->actions()) {
        if (a->menu())
            menu = a->menu();
    }
    QVERIFY(menu);
    QMetaObject::invokeMethod(menu, "aboutToShow");
    QCOMPARE(menu->actions().size(), 10);
    menu->actions().at(3)->trigger();
    QCOMPARE(f->txtRequete2->Text(), QStringLiteral("SELECT 8"));
}

BRENLOR_TEST_FENETRE_MAIN(TestGestionFichiers)
#include "test_gestionfichiers.moc"
