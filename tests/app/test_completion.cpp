// Completion end to end: the editor's keys, the request, the popup and the
// insertion, against the stand-in's Ventes through the real ODBC driver. Keys
// go where the window system would send them: to the list while the popup
// shows, to the editor otherwise.
#include "fenetretest.h"
#include "chaineconnexion.h"
#include "connexion.h"
#include "editeurriche.h"
#include "fenetres.h"
#include "frmlistemotscles.h"
#include "imagelist.h"
#include "insertion.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QTimer>

namespace {
struct Nom {
    QString sNom;
    QString sCle;
    bool operator==(const Nom &o) const { return sNom == o.sNom && sCle == o.sCle; }
};
}
Q_DECLARE_METATYPE(Nom)
namespace QTest {
template <> inline char *toString(const QList<Nom> &noms)
{
    QStringList s;
    for (const Nom &n : noms)
        s << n.sNom + QLatin1Char('/') + n.sCle;
    return qstrdup(qPrintable(s.join(QLatin1String(", "))));
}
}

class TestCompletion : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void ctrlEspaceListeTablesEtVues();
    void listeSousLeCurseur();
    void prefixeRestreint();
    void aucuneCorrespondanceRetombeSurTout();
    void colonnesApresUnPoint();
    void correspondanceUniqueInseree();
    void correspondanceUniqueEgaleAuPrefixe();
    void modeSystemeEtBase();
    void baseUniqueInsereeAvecDbo();
    void pointDansLeModeRetenu();
    void retourArriereDansLaListe();
    void echapCacheEtRendLActivation();
    void echapDansLEditeur();
    void toucheSimpleListeVisible();
    void demandePendantUneDemande();
    void motDePasseFaux();
    void serveurFige_data();
    void serveurFige();
    void selectionGenerale_data();
    void selectionGenerale();
    void exemples_data();
    void exemples();
    void requetesTapees_data();
    void requetesTapees();
    void scriptDeclareTapeEtAnnule();

private:
    QList<Nom> Serveur(const QString &sRequete);
    QList<Nom> Liste() const;
    QStringList Noms() const;
    void Ecrit(const QString &sTexte);
    void Touche(Qt::Key touche, Qt::KeyboardModifiers modificateurs = Qt::NoModifier);
    void Tape(const QString &sScript);
    QString TexteEtCaret() const;
    frmListeMotsCles *Popup() const { return m_fenetre->ListeMotsCles; }

    std::unique_ptr<StandIn> m_standIn;
    std::unique_ptr<frmBrenlor> m_fenetre;
};

void TestCompletion::initTestCase()
{
    m_standIn = std::make_unique<StandIn>();
    QVERIFY2(m_standIn->isRunning(), qPrintable(m_standIn->output()));
}

void TestCompletion::init()
{
    InstalleCapture();
    m_fenetre = OuvreFenetre(*m_standIn);
    QCOMPARE(m_fenetre->cboBase->Text(), QStringLiteral("Ventes"));
    QVERIFY(m_fenetre->txtRequete->isEnabled());
    QVERIFY(Popup());
    QVERIFY(!Popup()->isVisible());
}

void TestCompletion::cleanup()
{
    FermeFenetre(m_fenetre);
}

// Names and icon keys as the server lists them (the oracle the list is checked against).
QList<Nom> TestCompletion::Serveur(const QString &sRequete)
{
    Connexion cn;
    cn.Open(ChaineConnexion(m_standIn->serverName(), QStringLiteral("Ventes"), QStringLiteral("Mirabel4"),
                            QStringLiteral("Brenlor")));
    Recordset rs;
    rs.Open(sRequete, &cn, 0, 1);
    QList<Nom> noms;
    // A third column is the owner, shown before names outside dbo.
    while (rs.State() == 1 && !rs.Eof()) {
        const QString sProprietaire = rs.FieldCount() > 2 ? rs.Fields(2) : QString();
        const bool bAutre = !sProprietaire.isEmpty() && sProprietaire != QLatin1String("dbo");
        noms.append({(bAutre ? sProprietaire + QLatin1Char('.') : QString()) + rs.Fields(0), rs.Fields(1).trimmed()});
        rs.MoveNext();
    }
    return noms;
}

QList<Nom> TestCompletion::Liste() const
{
    QList<Nom> noms;
    const QStringList cles = ImageList::Cles();
    for (int i = 0; i < Popup()->Nombre(); ++i)
        noms.append({Popup()->TexteElement(i), cles.value(Popup()->IconeElement(i) - 1)});
    return noms;
}

QStringList TestCompletion::Noms() const
{
    QStringList noms;
    for (int i = 0; i < Popup()->Nombre(); ++i)
        noms << Popup()->TexteElement(i);
    return noms;
}

void TestCompletion::Ecrit(const QString &sTexte)
{
    m_fenetre->txtRequete->SetText(sTexte);
    m_fenetre->txtRequete->SetSelStart(sTexte.size());
    m_fenetre->txtRequete->setFocus();
}

void TestCompletion::Touche(Qt::Key touche, Qt::KeyboardModifiers modificateurs)
{
    QTest::keyClick(m_fenetre->txtRequete, touche, modificateurs);
}

// Types a script key by key. Plain characters are typed as they are ("\r"
// is Enter, "\t" Tab); "{^ }" is Ctrl+Space, "{BS}" Backspace, "{ESC}" Escape,
// "{choix:NAME}" selects NAME in the list and presses Enter.
void TestCompletion::Tape(const QString &sScript)
{
    for (int i = 0; i < sScript.size(); ++i) {
        QWidget *cible = Popup()->isVisible() ? static_cast<QWidget *>(Popup()->liv) : m_fenetre->txtRequete;
        const QChar ch = sScript.at(i);
        if (ch == QLatin1Char('{')) {
            const int lFin = sScript.indexOf(QLatin1Char('}'), i);
            const QString sCode = sScript.mid(i + 1, lFin - i - 1);
            i = lFin;
            if (sCode == QLatin1String("^ ")) {
                QTest::keyClick(cible, Qt::Key_Space, Qt::ControlModifier);
            } else if (sCode == QLatin1String("BS")) {
                QTest::keyClick(cible, Qt::Key_Backspace);
            } else if (sCode == QLatin1String("^Z")) {
                QTest::keyClick(cible, Qt::Key_Z, Qt::ControlModifier);
            } else if (sCode == QLatin1String("ESC")) {
                QTest::keyClick(cible, Qt::Key_Escape);
            } else if (sCode.startsWith(QLatin1String("choix:"))) {
                const int lRang = Noms().indexOf(sCode.mid(6));
                QVERIFY2(Popup()->isVisible() && lRang >= 0, qPrintable(sCode + QLatin1String(" not listed")));
                Popup()->SetSelection(lRang);
                QTest::keyClick(Popup()->liv, Qt::Key_Return);
            }
            continue;
        }
        Qt::Key touche = Qt::Key(ch.toUpper().unicode());
        QString sTexte(ch);
        if (ch == QLatin1Char('\r'))
            touche = Qt::Key_Return;
        else if (ch == QLatin1Char('\t'))
            touche = Qt::Key_Tab;
        QKeyEvent appui(QEvent::KeyPress, touche, Qt::NoModifier, sTexte);
        QKeyEvent relache(QEvent::KeyRelease, touche, Qt::NoModifier, sTexte);
        QApplication::sendEvent(cible, &appui);
        QApplication::sendEvent(cible, &relache);
    }
}

// The editor's text with "|" where the caret is.
QString TestCompletion::TexteEtCaret() const
{
    QString sTexte = m_fenetre->txtRequete->Text();
    return sTexte.insert(m_fenetre->txtRequete->SelStart(), QLatin1Char('|'));
}

void TestCompletion::ctrlEspaceListeTablesEtVues()
{
    Ecrit(QStringLiteral("SELECT * FROM "));
    Touche(Qt::Key_Space, Qt::ControlModifier);
    QVERIFY(Popup()->isVisible());
    const QList<Nom> attendus =
        Serveur(QStringLiteral("SELECT name, type, USER_NAME(uid) FROM sysobjects WHERE type IN ('U','V') ORDER BY name"));
    QVERIFY(attendus.size() > 2);
    QCOMPARE(Liste(), attendus);
    bool bVue = false;
    for (const Nom &n : attendus)
        bVue = bVue || n.sCle == QLatin1String("V");
    QVERIFY2(bVue, "the demo database holds a view");
    // The key was consumed: no blank was typed, user mode remembered.
    QCOMPARE(m_fenetre->txtRequete->Text(), QStringLiteral("SELECT * FROM "));
    QCOMPARE(m_fenetre->LlDernierShift, 2);
    QCOMPARE(Popup()->Selection(), 0);
    // Showing the popup gave it the keyboard.
    QCOMPARE(FenetreActive(), Popup());
    QVERIFY(Popup()->liv->hasFocus());
}

void TestCompletion::listeSousLeCurseur()
{
    Ecrit(QStringLiteral("SELECT *\r\nFROM "));
    Touche(Qt::Key_Space, Qt::ControlModifier);
    QVERIFY(Popup()->isVisible());
    const QRect caret = m_fenetre->txtRequete->CaretRect();
    const QPoint sous = m_fenetre->txtRequete->viewport()->mapToGlobal(caret.bottomLeft());
    QVERIFY2(qAbs(Popup()->x() - sous.x()) <= 2 && qAbs(Popup()->y() - sous.y()) <= 3,
             qPrintable(QStringLiteral("popup at %1,%2, caret bottom at %3,%4")
                            .arg(Popup()->x()).arg(Popup()->y()).arg(sous.x()).arg(sous.y())));
}

void TestCompletion::prefixeRestreint()
{
    Ecrit(QStringLiteral("SELECT * FROM c"));
    Touche(Qt::Key_Space, Qt::ControlModifier);
    QVERIFY(Popup()->isVisible());
    const QList<Nom> attendus = Serveur(
        QStringLiteral("SELECT name, type FROM sysobjects WHERE type IN ('U','V') AND name LIKE 'c%' ORDER BY name"));
    QVERIFY(attendus.size() >= 2);
    QCOMPARE(Liste(), attendus);
    QVERIFY(Liste().size() < Serveur(QStringLiteral("SELECT name, type FROM sysobjects WHERE type IN ('U','V')")).size());
}

void TestCompletion::aucuneCorrespondanceRetombeSurTout()
{
    Ecrit(QStringLiteral("SELECT * FROM zz"));
    Touche(Qt::Key_Space, Qt::ControlModifier);
    QVERIFY(Popup()->isVisible());
    QCOMPARE(Liste(), Serveur(QStringLiteral("SELECT name, type, USER_NAME(uid) FROM sysobjects WHERE type IN ('U','V') ORDER BY name")));
    QCOMPARE(m_fenetre->txtRequete->Text(), QStringLiteral("SELECT * FROM zz"));
}

void TestCompletion::colonnesApresUnPoint()
{
    Ecrit(QStringLiteral("SELECT clients."));
    Touche(Qt::Key_Space, Qt::ControlModifier);
    QVERIFY(Popup()->isVisible());
    const QList<Nom> attendus = Serveur(QStringLiteral(
        "SELECT name, 'colonnes' FROM syscolumns WHERE id = OBJECT_ID('clients') ORDER BY name"));
    QVERIFY(attendus.size() > 1);
    QCOMPARE(Liste(), attendus);
}

void TestCompletion::correspondanceUniqueInseree()
{
    // A prefix that only one table or view has.
    const QList<Nom> tous = Serveur(QStringLiteral("SELECT name, type FROM sysobjects WHERE type IN ('U','V')"));
    QString sNom, sPrefixe;
    for (const Nom &n : tous) {
        const QString p = n.sNom.left(3);
        int l = 0;
        for (const Nom &m : tous)
            l += m.sNom.startsWith(p, Qt::CaseInsensitive) ? 1 : 0;
        if (l == 1 && n.sNom.size() > 3 && !n.sNom.contains(QLatin1Char(' '))) {
            sNom = n.sNom;
            sPrefixe = p;
            break;
        }
    }
    QVERIFY2(!sNom.isEmpty(), "a table with a prefix of its own");
    Ecrit(QStringLiteral("SELECT * FROM ") + sPrefixe);
    Touche(Qt::Key_Space, Qt::ControlModifier);
    QCOMPARE(TexteEtCaret(), QStringLiteral("SELECT * FROM ") + sNom + QLatin1Char('|'));
    QVERIFY(!Popup()->isVisible());
    QVERIFY(Popup()->tmr->isActive());
    QVERIFY(!m_fenetre->bPropositionEnCours);
}

void TestCompletion::correspondanceUniqueEgaleAuPrefixe()
{
    Ecrit(QStringLiteral("SELECT * FROM produits"));
    Touche(Qt::Key_Space, Qt::ControlModifier);
    QCOMPARE(m_fenetre->txtRequete->Text(), QStringLiteral("SELECT * FROM produits"));
    QVERIFY(!Popup()->isVisible());
    QVERIFY(Popup()->tmr->isActive());
    QCOMPARE(Liste(), (QList<Nom>{{QStringLiteral("produits"), QStringLiteral("U")}}));
}

void TestCompletion::modeSystemeEtBase()
{
    Ecrit(QStringLiteral("SELECT * FROM m"));
    Touche(Qt::Key_Space, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(m_fenetre->LlDernierShift, 1);
    QVERIFY(Popup()->isVisible());
    const QList<Nom> liste = Liste();
    for (const char *base : {"master", "model", "msdb"})
        QVERIFY(liste.contains(Nom{QLatin1String(base), QStringLiteral("bases")}));
    for (const Nom &n : liste) {
        QVERIFY2(n.sNom.startsWith(QStringLiteral("m"), Qt::CaseInsensitive), qPrintable(n.sNom));
        QVERIFY(n.sCle == QLatin1String("serveurs") || n.sCle == QLatin1String("bases") || n.sCle == QLatin1String("S"));
    }
    // Choosing the database writes it with ".dbo." in place of the typed word.
    Tape(QStringLiteral("{choix:master}"));
    QCOMPARE(TexteEtCaret(), QStringLiteral("SELECT * FROM master.dbo.|"));
    QVERIFY(!Popup()->isVisible());
    QVERIFY(Popup()->tmr->isActive());
}

void TestCompletion::baseUniqueInsereeAvecDbo()
{
    Ecrit(QStringLiteral("SELECT * FROM ma"));
    Touche(Qt::Key_Space, Qt::ShiftModifier);
    QCOMPARE(m_fenetre->LlDernierShift, 1);
    QCOMPARE(Liste(), (QList<Nom>{{QStringLiteral("master"), QStringLiteral("bases")}}));
    QCOMPARE(TexteEtCaret(), QStringLiteral("SELECT * FROM master.dbo.|"));
    QVERIFY(!Popup()->isVisible());
}

void TestCompletion::pointDansLeModeRetenu()
{
    // After a system-mode shortcut a typed dot asks in system mode too; the
    // columns of an object are listed whatever the mode.
    Ecrit(QStringLiteral("SELECT * FROM "));
    Touche(Qt::Key_Space, Qt::ShiftModifier);
    Tape(QStringLiteral("{ESC}"));
    Ecrit(QStringLiteral("SELECT * FROM sysobjects"));
    Tape(QStringLiteral("."));
    QCOMPARE(TexteEtCaret(), QStringLiteral("SELECT * FROM sysobjects.|"));
    QCOMPARE(m_fenetre->LlDernierShift, 1);
    QVERIFY(Popup()->isVisible());
    QCOMPARE(Liste(), Serveur(QStringLiteral(
        "SELECT name, 'colonnes' FROM syscolumns WHERE id = OBJECT_ID('sysobjects') ORDER BY name")));
}

void TestCompletion::retourArriereDansLaListe()
{
    Ecrit(QStringLiteral("SELECT * FROM cl"));
    Touche(Qt::Key_Space, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(m_fenetre->LlDernierShift, 2);
    QVERIFY(Popup()->isVisible());
    Tape(QStringLiteral("{BS}"));
    QCOMPARE(TexteEtCaret(), QStringLiteral("SELECT * FROM c|"));
    QCOMPARE(Liste(), Serveur(QStringLiteral(
        "SELECT name, type FROM sysobjects WHERE type IN ('U','V') AND name LIKE 'c%' ORDER BY name")));
}

void TestCompletion::echapCacheEtRendLActivation()
{
    Ecrit(QStringLiteral("SELECT * FROM "));
    Touche(Qt::Key_Space, Qt::ControlModifier);
    QVERIFY(Popup()->isVisible());
    QTest::keyClick(Popup()->liv, Qt::Key_Escape);
    QVERIFY(!Popup()->isVisible());
    QVERIFY(Popup()->tmr->isActive());
    QTRY_VERIFY_WITH_TIMEOUT(FenetreActive() == m_fenetre.get(), 2000);
    QTRY_VERIFY_WITH_TIMEOUT(!Popup()->tmr->isActive(), 2000);
    QCOMPARE(m_fenetre->txtRequete->Text(), QStringLiteral("SELECT * FROM "));
}

void TestCompletion::echapDansLEditeur()
{
    Ecrit(QStringLiteral("SELECT * FROM "));
    Touche(Qt::Key_Escape);  // popup hidden: nothing happens
    QVERIFY(!Popup()->isVisible());
    Touche(Qt::Key_Space, Qt::ControlModifier);
    QVERIFY(Popup()->isVisible());
    Touche(Qt::Key_Escape);
    QVERIFY(!Popup()->isVisible());
    QCOMPARE(m_fenetre->txtRequete->Text(), QStringLiteral("SELECT * FROM "));
}

void TestCompletion::toucheSimpleListeVisible()
{
    Ecrit(QStringLiteral("SELECT * FROM "));
    Touche(Qt::Key_Space, Qt::ShiftModifier);
    QCOMPARE(m_fenetre->LlDernierShift, 1);
    QVERIFY(Popup()->isVisible());
    // A name character typed in the editor while the popup shows narrows the
    // list in user mode, once the editor has written it.
    Touche(Qt::Key_C);
    QCOMPARE(m_fenetre->LlDernierShift, 2);
    QCOMPARE(m_fenetre->txtRequete->Text(), QStringLiteral("SELECT * FROM c"));
    QCOMPARE(Liste(), Serveur(QStringLiteral(
        "SELECT name, type FROM sysobjects WHERE type IN ('U','V') AND name LIKE 'c%' ORDER BY name")));
    // Anything that ends the word closes it.
    Touche(Qt::Key_Comma);
    QCOMPARE(m_fenetre->txtRequete->Text(), QStringLiteral("SELECT * FROM c,"));
    QVERIFY(!Popup()->isVisible());
}

void TestCompletion::demandePendantUneDemande()
{
    Ecrit(QStringLiteral("SELECT * FROM "));
    m_fenetre->bPropositionEnCours = true;
    Touche(Qt::Key_Space, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(!Popup()->isVisible());
    QCOMPARE(Popup()->Nombre(), 0);
    QCOMPARE(m_fenetre->LlDernierShift, 0);
    QVERIFY(m_fenetre->bPropositionEnCours);
    m_fenetre->bPropositionEnCours = false;
    Touche(Qt::Key_Space, Qt::ControlModifier);
    QVERIFY(Popup()->isVisible());
}

void TestCompletion::motDePasseFaux()
{
    Ecrit(QStringLiteral("SELECT * FROM "));
    Touche(Qt::Key_Space, Qt::ControlModifier);
    const QList<Nom> avant = Liste();
    QVERIFY(!avant.isEmpty());
    m_fenetre->txtPWD->setText(QStringLiteral("mauvais"));
    // The request fails: no list stays on screen, nothing is written.
    Touche(Qt::Key_Space, Qt::ControlModifier);
    QVERIFY(!Popup()->isVisible());
    Ecrit(QStringLiteral("SELECT * FROM c"));
    Touche(Qt::Key_Space, Qt::ControlModifier);
    QVERIFY(!Popup()->isVisible());
    QCOMPARE(TexteEtCaret(), QStringLiteral("SELECT * FROM c|"));
    QVERIFY(MessagesCaptures().isEmpty());
    QVERIFY(!m_fenetre->bPropositionEnCours);
}

void TestCompletion::serveurFige_data()
{
    // The window's start-up lists the databases (the server's first request);
    // a first Ctrl+Space on «cl» reads one filtered query; the next one then
    // checks the pooled session, and runs its filtered query, then for «zz»
    // the unfiltered one.
    QTest::addColumn<int>("gelApres"); // requests answered before the server hangs
    QTest::addColumn<QString>("avant"); // asked first, while the server answers ("": nothing)
    QTest::addColumn<QString>("texte"); // asked of the hung server
    QTest::newRow("login") << 1 << QString() << QStringLiteral("SELECT * FROM cl");
    QTest::newRow("session en reserve puis login") << 2 << QStringLiteral("SELECT * FROM cl")
                                                   << QStringLiteral("SELECT * FROM cl");
    QTest::newRow("requete filtree") << 3 << QStringLiteral("SELECT * FROM cl") << QStringLiteral("SELECT * FROM cl");
    QTest::newRow("requete non filtree") << 4 << QStringLiteral("SELECT * FROM cl")
                                         << QStringLiteral("SELECT * FROM zz");
}

void TestCompletion::serveurFige()
{
    // With the usual timeouts (15 s login, 30 s command), whatever waits on
    // the hung server: a request gives up within three seconds, silently.
    QFETCH(int, gelApres);
    QFETCH(QString, avant);
    QFETCH(QString, texte);
    StandIn::Options options;
    options.extraArguments << QStringLiteral("--gel-apres") << QString::number(gelApres);
    StandIn fige(options);
    QVERIFY2(fige.isRunning(), qPrintable(fige.output()));
    FermeFenetre(m_fenetre);
    m_fenetre = OuvreFenetre(fige);
    QVERIFY(m_fenetre->txtRequete->isEnabled());
    if (!avant.isEmpty()) {
        Ecrit(avant);
        Touche(Qt::Key_Space, Qt::ControlModifier);
        QVERIFY(Popup()->isVisible());
        Tape(QStringLiteral("{ESC}"));
        QVERIFY(!Popup()->isVisible());
    }
    Ecrit(texte);
    QElapsedTimer chrono;
    chrono.start();
    Touche(Qt::Key_Space, Qt::ControlModifier);
    const qint64 lDuree = chrono.elapsed();
    QVERIFY2(lDuree < 3000, qPrintable(QString::number(lDuree)));
    QVERIFY(!Popup()->isVisible());
    QCOMPARE(TexteEtCaret(), texte + QLatin1Char('|'));
    QVERIFY(MessagesCaptures().isEmpty());
    QVERIFY(!m_fenetre->bPropositionEnCours);

    // Once the server answers again, so does completion, Brenlor still running.
    QVERIFY(fige.restart(QStringList()));
    Touche(Qt::Key_Space, Qt::ControlModifier);
    QVERIFY(Popup()->isVisible());
    QVERIFY(Popup()->Nombre() >= 3);
}

void TestCompletion::selectionGenerale_data()
{
    QTest::addColumn<int>("modificateurs");
    QTest::addColumn<QString>("texte");
    QTest::addColumn<int>("selection");
    const QString s = QStringLiteral("SELECT 1\r\nFROM t");
    QTest::newRow("Ctrl+A selects all") << int(Qt::ControlModifier) << s << int(s.size());
    QTest::newRow("Ctrl+Shift+A selects all") << int(Qt::ControlModifier | Qt::ShiftModifier) << s << int(s.size());
    QTest::newRow("Shift+A types a capital A") << int(Qt::ShiftModifier) << s + QStringLiteral("A") << 0;
}

void TestCompletion::selectionGenerale()
{
    QFETCH(int, modificateurs);
    QFETCH(QString, texte);
    QFETCH(int, selection);
    Ecrit(QStringLiteral("SELECT 1\r\nFROM t"));
    QTest::keyClick(m_fenetre->txtRequete, 'A', Qt::KeyboardModifiers(modificateurs));
    QCOMPARE(m_fenetre->txtRequete->Text(), texte);
    QCOMPARE(m_fenetre->txtRequete->SelLength(), selection);
    if (selection > 0)
        QCOMPARE(m_fenetre->txtRequete->SelStart(), 0);
}

// Each row: the editor's text with "|" at the caret, the keys typed, the text
// and caret afterwards, whether the popup shows, and what it lists ("*" for
// anything; the names of the list otherwise).
void TestCompletion::exemples_data()
{
    QTest::addColumn<QString>("avant");
    QTest::addColumn<QString>("touches");
    QTest::addColumn<QString>("apres");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<QStringList>("liste");
    const QStringList tout{QStringLiteral("*")};
    const QStringList colonnesClients{"date_creation", "email", "id", "nom", "pays", "ville"};

    QTest::newRow("chosen table replaces the prefix")
        << "SELECT * FROM cl|" << "{^ }{choix:clients}" << "SELECT * FROM clients|" << false << tout;
    QTest::newRow("text after the word stays")
        << "SELECT * FROM cl| WHERE x = 1" << "{^ }{choix:clients}" << "SELECT * FROM clients| WHERE x = 1"
        << false << tout;
    QTest::newRow("comma before the word")
        << "SELECT a, b FROM cl|" << "{^ }{choix:clients}" << "SELECT a, b FROM clients|" << false << tout;
    QTest::newRow("every column after the dot")
        << "SELECT clients.|" << "{^ }" << "SELECT clients.|" << true << colonnesClients;
    QTest::newRow("chosen column after the dot")
        << "SELECT clients.|" << "{^ }{choix:nom}" << "SELECT clients.nom|" << false << tout;
    QTest::newRow("column prefix with text after")
        << "SELECT clients.na| FROM clients" << "{^ }{choix:nom}" << "SELECT clients.nom| FROM clients"
        << false << tout;
    QTest::newRow("columns of a bracketed name")
        << "SELECT [lignes de commande].|" << "{^ }{choix:quantite}"
        << "SELECT [lignes de commande].quantite|" << false << tout;
    QTest::newRow("word after line breaks and a tab")
        << "SELECT *\r\nFROM\r\n\tcl|" << "{^ }" << "SELECT *\r\nFROM\r\n\tcl|" << true
        << QStringList{"clients", "clients_archives", "Clients_Été"};
    QTest::newRow("a typed dot lists the columns")
        << "SELECT * FROM clients|" << "." << "SELECT * FROM clients.|" << true << colonnesClients;
    QTest::newRow("a dot after no object: no popup, keys to the editor")
        << "SELECT c|" << ".nom" << "SELECT c.nom|" << false << tout;
    QTest::newRow("typing narrows the list, Enter chooses")
        << "SELECT * FROM |" << "{^ }pro" << "SELECT * FROM pro|" << true << QStringList{"produits"};
    QTest::newRow("typed then chosen")
        << "SELECT * FROM |" << "{^ }pro\r" << "SELECT * FROM produits|" << false << tout;
    QTest::newRow("nothing matches: the popup hides, the text stays")
        << "SELECT * FROM |" << "{^ }#t" << "SELECT * FROM #t|" << false << tout;
    QTest::newRow("a comma closes the list and is written")
        << "SELECT clients|" << ".nom," << "SELECT clients.nom,|" << false << tout;
    QTest::newRow("Enter after a finished word is a line break")
        << "SELECT clients|" << ".ville\r" << "SELECT clients.ville\r\n|" << false << tout;
    QTest::newRow("Space after a finished word is a blank")
        << "SELECT clients|" << ".ville " << "SELECT clients.ville |" << false << tout;
    QTest::newRow("Space chooses and writes a blank")
        << "SELECT clients|" << ".vi " << "SELECT clients.ville |" << false << tout;
    QTest::newRow("the name equal to the prefix is selected")
        << "SELECT * FROM clients|" << "{^ }" << "SELECT * FROM clients|" << true
        << QStringList{"clients", "clients_archives", "Clients_Été"};
    QTest::newRow("columns after an alias defined later")
        << "SELECT c.| FROM clients c" << "{^ }" << "SELECT c.| FROM clients c" << true << colonnesClients;
    QTest::newRow("a typed dot after an alias")
        << "SELECT * FROM clients AS c WHERE c|" << ".vi\r" << "SELECT * FROM clients AS c WHERE c.ville|" << false
        << tout;
    QTest::newRow("a table of another owner is written with it")
        << "SELECT * FROM fa|" << "{^ }" << "SELECT * FROM Compta.factures|" << false << tout;
    QTest::newRow("a typed dot after an owner lists its tables")
        << "SELECT * FROM Compta|" << "." << "SELECT * FROM Compta.|" << true << QStringList{"factures", "reglements"};
    QTest::newRow("tables of a database and its default schema")
        << "SELECT * FROM Ventes..pro|" << "{^ }" << "SELECT * FROM Ventes..produits|" << false << tout;
    QTest::newRow("a dot inside a literal is only a dot")
        << "PRINT 'fin|" << ". Suite'" << "PRINT 'fin. Suite'|" << false << tout;
    QTest::newRow("a single match after an owner is written at once")
        << "SELECT * FROM dbo.pro|" << "{^ }" << "SELECT * FROM dbo.produits|" << false << tout;
    QTest::newRow("columns of a CTE, from the text")
        << "WITH r AS (SELECT client_id, COUNT(*) AS n FROM commandes GROUP BY client_id) SELECT r.|" << "{^ }"
        << "WITH r AS (SELECT client_id, COUNT(*) AS n FROM commandes GROUP BY client_id) SELECT r.|" << true
        << QStringList{"client_id", "n"};
    QTest::newRow("columns of a derived table")
        << "SELECT d.| FROM (SELECT nom AS client, ville FROM clients) d" << "{^ }"
        << "SELECT d.| FROM (SELECT nom AS client, ville FROM clients) d" << true << QStringList{"client", "ville"};
    QTest::newRow("a temporary table of an earlier batch after #")
        << "CREATE TABLE #o (id int, total money)\r\nGO\r\nSELECT * FROM #|" << "{^ }"
        << "CREATE TABLE #o (id int, total money)\r\nGO\r\nSELECT * FROM #o|" << false << tout;
    QTest::newRow("SELECT * INTO: the source's columns from the server")
        << "SELECT * INTO #p FROM produits\r\nSELECT #p.|" << "{^ }" << "SELECT * INTO #p FROM produits\r\nSELECT #p.|"
        << true << QStringList{"categorie", "id", "nom", "prix", "stock"};
    QTest::newRow("a variable keeps the typed @")
        << "DECLARE @cutoff date, @n int\r\nSELECT @cu|" << "{^ }" << "DECLARE @cutoff date, @n int\r\nSELECT @cutoff|"
        << false << tout;
    QTest::newRow("typing @ with the list open turns it to the variables")
        << "DECLARE @cutoff date\r\nSELECT |" << "{^ }@c" << "DECLARE @cutoff date\r\nSELECT @c|" << true
        << QStringList{"@cutoff"};
    QTest::newRow("a typed bracket stays")
        << "SELECT * FROM [produ|" << "{^ }" << "SELECT * FROM [produits]|" << false << tout;
    QTest::newRow("no shortcut inside a comment")
        << "SELECT 1 -- cl|" << "{^ }" << "SELECT 1 -- cl|" << false << tout;
    // After the ON of a join: the conditions the foreign keys give, then the joined table's columns.
    QTest::newRow("join: the key's condition first, then the columns")
        << "SELECT * FROM commandes o JOIN clients c ON |" << "{^ }"
        << "SELECT * FROM commandes o JOIN clients c ON |" << true
        << QStringList{"c.id = o.client_id"} + colonnesClients;
    QTest::newRow("join: Enter writes the condition and closes")
        << "SELECT * FROM commandes o JOIN clients c ON |" << "{^ }\r"
        << "SELECT * FROM commandes o JOIN clients c ON c.id = o.client_id|" << false << tout;
    QTest::newRow("join: in place of a prefix, bracketed table")
        << "SELECT * FROM commandes o\r\nJOIN [lignes de commande] l ON l|" << "{^ }\r"
        << "SELECT * FROM commandes o\r\nJOIN [lignes de commande] l ON l.commande_id = o.id|" << false << tout;
    QTest::newRow("join: two-column key in the second schema")
        << "SELECT * FROM Compta.factures f JOIN Compta.reglements r ON |" << "{^ }{choix:r.facture_id = f.id AND r.client_id = f.client_id}"
        << "SELECT * FROM Compta.factures f JOIN Compta.reglements r ON r.facture_id = f.id AND r.client_id = f.client_id|"
        << false << tout;
    QTest::newRow("join: no condition after WHERE")
        << "SELECT * FROM commandes o JOIN clients c ON c.id = o.client_id WHERE c|" << "{^ }"
        << "SELECT * FROM commandes o JOIN clients c ON c.id = o.client_id WHERE c|" << true
        << QStringList{"clients", "clients_archives", "Clients_Été", "commandes"};
}

void TestCompletion::exemples()
{
    QFETCH(QString, avant);
    QFETCH(QString, touches);
    QFETCH(QString, apres);
    QFETCH(bool, visible);
    QFETCH(QStringList, liste);
    const int lCaret = avant.indexOf(QLatin1Char('|'));
    m_fenetre->txtRequete->SetText(avant.left(lCaret) + avant.mid(lCaret + 1));
    m_fenetre->txtRequete->SetSelStart(lCaret);
    m_fenetre->txtRequete->setFocus();
    Tape(touches);
    QCOMPARE(TexteEtCaret(), apres);
    QCOMPARE(Popup()->isVisible(), visible);
    if (visible && liste != QStringList{QStringLiteral("*")}) {
        QCOMPARE(Noms(), liste);
        QCOMPARE(Popup()->Selection(), 0);
    }
}

// Ordinary queries typed in full, key by key, with no shortcut: whatever the
// popup does on the way, the text ends exactly as typed.
void TestCompletion::requetesTapees_data()
{
    QTest::addColumn<QString>("requete");
    QTest::newRow("columns after table names")
        << "SELECT clients.nom, clients.ville FROM clients WHERE clients.id = 1";
    QTest::newRow("aliases, line breaks and tabs")
        << "SELECT c.nom, c.ville\r\nFROM clients c\r\nWHERE c.id = 1\r\n\tAND c.pays = 'FR'";
    QTest::newRow("literals and comments holding dots")
        << "SELECT produits.nom, produits.prix -- voir produits.stock\r\nFROM produits\r\n"
           "WHERE produits.categorie = 'a.b' /* et produits.id */ ORDER BY produits.nom";
    QTest::newRow("bracketed names")
        << "SELECT [lignes de commande].quantite FROM [lignes de commande] WHERE [lignes de commande].prix_unitaire > 2";
    QTest::newRow("accents, owner and parentheses")
        << "SELECT COUNT(dbo.Clients_Été.séjour) FROM dbo.Clients_Été GROUP BY Clients_Été.ville";
}

void TestCompletion::requetesTapees()
{
    QFETCH(QString, requete);
    Ecrit(QString());
    QString sScript = requete;
    sScript.replace(QLatin1String("\r\n"), QLatin1String("\r"));
    Tape(sScript);
    QCOMPARE(m_fenetre->txtRequete->Text(), requete);
    QCOMPARE(m_fenetre->txtRequete->SelStart(), int(requete.size()));
}

// A script that declares its own names, typed key by key, a name chosen from
// each of their lists: the text is what was typed and chosen, and Ctrl+Z after
// a choice takes back that name alone.
void TestCompletion::scriptDeclareTapeEtAnnule()
{
    Ecrit(QString());
    Tape(QStringLiteral("CREATE TABLE #o (id int, total money)\rDECLARE @cutoff date, @n int\r"
                        "WITH r AS (SELECT client_id, COUNT(*) AS n FROM commandes GROUP BY client_id)\r"
                        "SELECT r.{choix:client_id}, #o.{choix:total}\rFROM r CROSS JOIN #{^ }\r"
                        "WHERE r.n > @{^ }{choix:@n} AND r.client_id < @"));
    const QString sAvant = QStringLiteral(
        "CREATE TABLE #o (id int, total money)\r\nDECLARE @cutoff date, @n int\r\n"
        "WITH r AS (SELECT client_id, COUNT(*) AS n FROM commandes GROUP BY client_id)\r\n"
        "SELECT r.client_id, #o.total\r\nFROM r CROSS JOIN #o\r\nWHERE r.n > @n AND r.client_id < @");
    QCOMPARE(TexteEtCaret(), sAvant + QLatin1Char('|'));
    Tape(QStringLiteral("{^ }"));
    QVERIFY(Popup()->isVisible());
    QCOMPARE(Noms(), (QStringList{"@cutoff", "@n"}));
    Tape(QStringLiteral("{choix:@cutoff}"));
    QCOMPARE(TexteEtCaret(), sAvant + QStringLiteral("cutoff|"));
    QVERIFY(!Popup()->isVisible());
    Tape(QStringLiteral("{^Z}"));
    QCOMPARE(TexteEtCaret(), sAvant + QLatin1Char('|'));
}

BRENLOR_TEST_FENETRE_MAIN(TestCompletion)
#include "test_completion.moc"
