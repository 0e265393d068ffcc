// Pooling of sessions: reuse without a new login (counted at the stand-in),
// keys, silent replacement of dead sessions, the idle limit, sessions that
// must not be handed out again, and sessions that do not answer in time.
#include "chaineconnexion.h"
#include "codeserreurs.h"
#include "connexion.h"
#include "numeroleve.h"
#include "poolconnexions.h"
#include "standin.h"

#include <QElapsedTimer>
#include <QtTest>

namespace {

const QString kTitre = QStringLiteral("Brenlor");

// Logins the server saw. The helper only holds what the event loop has read
// from the stand-in's output so far, hence the short wait first.
int Connexions(const StandIn &s)
{
    QTest::qWait(100);
    return int(s.outputLines(QStringLiteral("login ok")).size());
}

QString PremiereBase(Connexion &cn)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT name FROM sysdatabases ORDER BY name"), &cn, 0, 1, -1);
    return rs.Fields(0);
}

} // namespace

class TestPool : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void reutiliseLaSessionDeLaMemeChaine_data();
    void reutiliseLaSessionDeLaMemeChaine();
    void remplaceUneSessionMorteApresRedemarrage();
    void remplaceUneSessionCoupeeEnPleinResultat();
    void fermeLesSessionsInactives();
    void fermeLesSessionsInactivesSansAppel();
    void neGardePasUneSessionAyantChangeDeBase();
    void neGardePasUneSessionAuxReglagesChanges_data();
    void neGardePasUneSessionAuxReglagesChanges();
    void neRendPasUneSessionLaisseeEnTransaction();
    void remplaceUneSessionTropLente();
    void ecarteUneSessionFigee();

private:
    QString Chaine(const StandIn &s, const QString &sBase = QStringLiteral("master"),
                   const QString &sMotDePasse = QStringLiteral("Mirabel4")) const
    {
        return ChaineConnexion(s.serverName(), sBase, sMotDePasse, kTitre);
    }
};

void TestPool::init()
{
    PoolConnexions::Vide();
    PoolConnexions::SetDelaiInactivitePourTests(60000);
    Connexion::SetLoginTimeoutForTests(5);
    Connexion::SetCommandTimeoutForTests(10);
}

void TestPool::cleanup()
{
    PoolConnexions::Vide();
    PoolConnexions::SetDelaiInactivitePourTests(60000);
}

void TestPool::reutiliseLaSessionDeLaMemeChaine_data()
{
    QTest::addColumn<QStringList>("bases");     // one Open/Close per entry
    QTest::addColumn<int>("connexions");        // logins seen by the server
    QTest::newRow("meme chaine cinq fois") << QStringList{"master", "master", "master", "master", "master"} << 1;
    QTest::newRow("deux bases alternees") << QStringList{"master", "Ventes", "master", "Ventes"} << 2;
    QTest::newRow("chaque base une fois") << QStringList{"master", "Ventes", "msdb"} << 3;
}

void TestPool::reutiliseLaSessionDeLaMemeChaine()
{
    QFETCH(QStringList, bases);
    QFETCH(int, connexions);
    StandIn s;
    QVERIFY2(s.isRunning(), qPrintable(s.output()));
    Connexion cn;
    for (const QString &sBase : bases) {
        cn.Open(Chaine(s, sBase), QString(), QString(), -1);
        QCOMPARE(PremiereBase(cn), QStringLiteral("master"));
        cn.Close();
    }
    QCOMPARE(Connexions(s), connexions);
    QCOMPARE(PoolConnexions::Taille(), connexions);
}

void TestPool::remplaceUneSessionMorteApresRedemarrage()
{
    StandIn s;
    QVERIFY2(s.isRunning(), qPrintable(s.output()));
    Connexion cn;
    cn.Open(Chaine(s));
    cn.Close();
    QCOMPARE(PoolConnexions::Taille(), 1);
    QCOMPARE(Connexions(s), 1);
    QVERIFY(s.restart());
    cn.Open(Chaine(s));
    QCOMPARE(cn.State(), 1);
    QCOMPARE(PremiereBase(cn), QStringLiteral("master"));
    QCOMPARE(Connexions(s), 2);
}

void TestPool::remplaceUneSessionCoupeeEnPleinResultat()
{
    StandIn::Options options;
    options.extraArguments << QStringLiteral("--drop-after-rows") << QStringLiteral("20");
    StandIn s(options);
    QVERIFY2(s.isRunning(), qPrintable(s.output()));
    Connexion cn;
    cn.Open(Chaine(s, QStringLiteral("Ventes")));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT id FROM clients ORDER BY id"), &cn, 0, 1, -1);
    // Opening reads only the first row: the break further on does not show yet.
    QCOMPARE(rs.State(), 1);
    QCOMPARE(rs.Fields(0), QStringLiteral("1"));
    int lLignes = 0;
    QString sDescription;
    const int lNumero = NumeroLeve(
        [&] {
            while (!rs.Eof()) {
                ++lLignes;
                rs.MoveNext();
            }
        },
        &sDescription);
    QCOMPARE(lNumero, int(CodesErreurs::EchecNonSpecifie));
    QVERIFY(!sDescription.isEmpty());
    QVERIFY2(lLignes < 60, qPrintable(QString::number(lLignes)));
    // A row loop ends after the failure instead of spinning on it.
    QVERIFY(rs.Eof());
    QCOMPARE(rs.RecordCount(), long(lLignes));
    rs.Close();
    cn.Close();
    QCOMPARE(PoolConnexions::Taille(), 0);

    cn.Open(Chaine(s, QStringLiteral("Ventes")));
    rs.Open(QStringLiteral("SELECT COUNT(*) FROM clients"), &cn, 0, 1, -1);
    QCOMPARE(rs.Fields(0), QStringLiteral("60"));
    QCOMPARE(Connexions(s), 2);
}

void TestPool::fermeLesSessionsInactives()
{
    StandIn s;
    QVERIFY2(s.isRunning(), qPrintable(s.output()));
    PoolConnexions::SetDelaiInactivitePourTests(200);
    Connexion cn;
    cn.Open(Chaine(s));
    cn.Close();
    cn.Open(Chaine(s));
    cn.Close();
    QCOMPARE(Connexions(s), 1);
    QTest::qSleep(400);
    cn.Open(Chaine(s));
    QCOMPARE(Connexions(s), 2);
}

void TestPool::fermeLesSessionsInactivesSansAppel()
{
    StandIn s;
    QVERIFY2(s.isRunning(), qPrintable(s.output()));
    PoolConnexions::SetDelaiInactivitePourTests(200);
    Connexion cn;
    cn.Open(Chaine(s));
    cn.Close();
    QCOMPARE(PoolConnexions::Taille(), 1);
    // With an event loop running, nobody has to open anything for the idle
    // session to be logged off.
    QTRY_COMPARE_WITH_TIMEOUT(PoolConnexions::Taille(), 0, 3000);
}

void TestPool::neGardePasUneSessionAyantChangeDeBase()
{
    StandIn s;
    QVERIFY2(s.isRunning(), qPrintable(s.output()));
    Connexion cn;
    cn.Open(Chaine(s, QStringLiteral("master")));
    Recordset rs;
    rs.Open(QStringLiteral("USE Ventes"), &cn, 0, 1, -1);
    rs.Open(QStringLiteral("SELECT COUNT(*) FROM clients"), &cn, 0, 1, -1);
    QCOMPARE(rs.Fields(0), QStringLiteral("60"));
    cn.Close();
    QCOMPARE(PoolConnexions::Taille(), 0);
    cn.Open(Chaine(s, QStringLiteral("master")));
    const int lNumero = NumeroLeve([&] { rs.Open(QStringLiteral("SELECT COUNT(*) FROM clients"), &cn, 0, 1, -1); });
    QCOMPARE(lNumero, int(CodesErreurs::ObjetInexistant));
    QCOMPARE(Connexions(s), 2);
}

void TestPool::neGardePasUneSessionAuxReglagesChanges_data()
{
    QTest::addColumn<QString>("sInstruction");
    QTest::addColumn<int>("lSessionsGardees");
    QTest::newRow("SET ROWCOUNT") << QStringLiteral("SET ROWCOUNT 1") << 0;
    QTest::newRow("set nocount, lower case") << QStringLiteral("set nocount on") << 0;
    QTest::newRow("SET after a line break") << QStringLiteral("SELECT 1\r\nSET ROWCOUNT 2") << 0;
    QTest::newRow("SET in a literal") << QStringLiteral("SELECT 'SET ROWCOUNT 1'") << 1;
    QTest::newRow("SET in a comment") << QStringLiteral("SELECT 1 -- SET ROWCOUNT 1") << 1;
    QTest::newRow("a name holding SET") << QStringLiteral("SELECT 1 AS SETTINGS") << 1;
}

// A Tester run shares its connection string with completion: a session left
// with other options would cut or change the next catalogue query.
void TestPool::neGardePasUneSessionAuxReglagesChanges()
{
    QFETCH(QString, sInstruction);
    QFETCH(int, lSessionsGardees);
    StandIn s;
    QVERIFY2(s.isRunning(), qPrintable(s.output()));
    Connexion cn;
    cn.Open(Chaine(s, QStringLiteral("Ventes")));
    {
        Recordset rs;
        rs.Open(sInstruction, &cn, 0, 1, -1);
    }
    cn.Close();
    QCOMPARE(PoolConnexions::Taille(), lSessionsGardees);
    cn.Open(Chaine(s, QStringLiteral("Ventes")));
    // Every database, not the one row SET ROWCOUNT 1 would leave.
    QCOMPARE(PremiereBase(cn), QStringLiteral("master"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT name FROM sysdatabases ORDER BY name"), &cn, 0, 1, -1);
    QVERIFY(rs.RecordCount() > 1);
    rs.Close();
    cn.Close();
    QCOMPARE(Connexions(s), 2 - lSessionsGardees);
    // The session that only read goes back to the pool.
    QCOMPARE(PoolConnexions::Taille(), 1);
}

void TestPool::neRendPasUneSessionLaisseeEnTransaction()
{
    StandIn s;
    QVERIFY2(s.isRunning(), qPrintable(s.output()));
    Connexion cn;
    cn.Open(Chaine(s, QStringLiteral("Ventes")));
    Recordset rs;
    rs.Open(QStringLiteral("BEGIN TRAN"), &cn, 0, 1, -1);
    rs.Open(QStringLiteral("DELETE FROM clients WHERE id = 1"), &cn, 0, 1, -1);
    cn.Close();
    QCOMPARE(PoolConnexions::Taille(), 1);
    // The next user must neither inherit the open transaction nor wait on its locks.
    cn.Open(Chaine(s, QStringLiteral("Ventes")));
    rs.Open(QStringLiteral("SELECT @@TRANCOUNT"), &cn, 0, 1, -1);
    QCOMPARE(rs.Fields(0), QStringLiteral("0"));
    rs.Close();
    QCOMPARE(Connexions(s), 2);
    rs.Open(QStringLiteral("SELECT COUNT(*) FROM clients WHERE id = 1"), &cn, 0, 1, -1);
    QCOMPARE(rs.Fields(0), QStringLiteral("1"));
}

void TestPool::remplaceUneSessionTropLente()
{
    // The pooled session would answer its check after five seconds: a fresh
    // login (which the server does not delay) serves instead.
    StandIn::Options options;
    options.extraArguments << QStringLiteral("--delay-ms") << QStringLiteral("5000");
    StandIn s(options);
    QVERIFY2(s.isRunning(), qPrintable(s.output()));
    Connexion cn;
    cn.Open(Chaine(s));
    cn.Close();
    QCOMPARE(PoolConnexions::Taille(), 1);
    QElapsedTimer chrono;
    chrono.start();
    cn.Open(Chaine(s));
    const qint64 lDuree = chrono.elapsed();
    QCOMPARE(cn.State(), 1);
    QVERIFY2(lDuree < 2000, qPrintable(QString::number(lDuree)));
    QCOMPARE(Connexions(s), 2);
    cn.Close();
    QCOMPARE(PoolConnexions::Taille(), 1);
}

void TestPool::ecarteUneSessionFigee()
{
    // One statement answered, then the server hangs: the pooled session's
    // check gives up within a second (whatever the command timeout), the
    // fresh login within its own timeout, and the session is not kept.
    StandIn::Options options;
    options.extraArguments << QStringLiteral("--gel-apres") << QStringLiteral("1");
    StandIn s(options);
    QVERIFY2(s.isRunning(), qPrintable(s.output()));
    Connexion::SetLoginTimeoutForTests(2);
    Connexion cn;
    cn.Open(Chaine(s));
    {
        // Read to the end: closing a statement with rows left asks the hung
        // server to acknowledge a cancel, which would cost the session already.
        Recordset rs;
        rs.Open(QStringLiteral("SELECT name FROM sysdatabases ORDER BY name"), &cn, 0, 1, -1);
        QCOMPARE(rs.RecordCount(), 5L);
    }
    cn.Close();
    QCOMPARE(PoolConnexions::Taille(), 1);
    QElapsedTimer chrono;
    chrono.start();
    const int lNumero = NumeroLeve([&] { cn.Open(Chaine(s)); });
    const qint64 lDuree = chrono.elapsed();
    QCOMPARE(lNumero, int(CodesErreurs::EchecNonSpecifie));
    QCOMPARE(cn.State(), 0);
    QVERIFY2(lDuree < Connexion::LoginTimeout() * 1000 + 1000, qPrintable(QString::number(lDuree)));
    QCOMPARE(PoolConnexions::Taille(), 0);

    // Once the server answers again, the same string works again.
    QVERIFY(s.restart(QStringList()));
    cn.Open(Chaine(s));
    QCOMPARE(PremiereBase(cn), QStringLiteral("master"));
}

QTEST_GUILESS_MAIN(TestPool)
#include "test_pool.moc"
