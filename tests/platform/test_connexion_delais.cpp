// Login and command timeouts: a stalled server or a slow statement gives up
// with an error instead of blocking for ever, and the session stays usable
// after a command timeout. On a hung server a timeout means what it says:
// the statement or the login ends within a second of it, whatever the driver
// would do with the cancel, and the session is dropped.
#include "chaineconnexion.h"
#include "codeserreurs.h"
#include "connexion.h"
#include "numeroleve.h"
#include "poolconnexions.h"
#include "standin.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QtTest>

namespace {
const QString kTitre = QStringLiteral("Brenlor");
}

class TestConnexionDelais : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void delaisParDefaut();
    void delaiDeCommande_data();
    void delaiDeCommande();
    void instructionSurServeurFige();
    void delaiDeConnexionServeurMuet_data();
    void delaiDeConnexionServeurMuet();

private:
    std::unique_ptr<StandIn> m_lent;
};

void TestConnexionDelais::initTestCase()
{
    StandIn::Options options;
    options.extraArguments << QStringLiteral("--delay-ms") << QStringLiteral("3000");
    m_lent = std::make_unique<StandIn>(options);
    QVERIFY2(m_lent->isRunning(), qPrintable(m_lent->output()));
}

void TestConnexionDelais::cleanupTestCase()
{
    PoolConnexions::Vide();
    Connexion::SetLoginTimeoutForTests(15);
    Connexion::SetCommandTimeoutForTests(30);
}

void TestConnexionDelais::delaisParDefaut()
{
    QCOMPARE(Connexion::LoginTimeout(), 15);
    QCOMPARE(Connexion::CommandTimeout(), 30);
}

void TestConnexionDelais::delaiDeCommande_data()
{
    QTest::addColumn<QString>("requete");
    QTest::addColumn<bool>("serveurLent");
    QTest::newRow("waitfor sur un serveur rapide") << "WAITFOR DELAY '00:00:05'" << false;
    QTest::newRow("select sur un serveur qui tarde") << "SELECT name FROM sysdatabases ORDER BY name" << true;
}

void TestConnexionDelais::delaiDeCommande()
{
    QFETCH(QString, requete);
    QFETCH(bool, serveurLent);
    std::unique_ptr<StandIn> rapide;
    StandIn *serveur = m_lent.get();
    if (!serveurLent) {
        rapide = std::make_unique<StandIn>();
        QVERIFY2(rapide->isRunning(), qPrintable(rapide->output()));
        serveur = rapide.get();
    }
    Connexion::SetLoginTimeoutForTests(10);
    Connexion::SetCommandTimeoutForTests(1);
    Connexion cn;
    cn.Open(ChaineConnexion(serveur->serverName(), QStringLiteral("master"), QStringLiteral("Mirabel4"), kTitre));
    Recordset rs;
    QElapsedTimer chrono;
    chrono.start();
    QString sDescription;
    const int lNumero = NumeroLeve([&] { rs.Open(requete, &cn, 0, 1, -1); }, &sDescription);
    const qint64 lDuree = chrono.elapsed();
    QCOMPARE(lNumero, int(CodesErreurs::DelaiDepasse));
    QVERIFY2(sDescription.contains(QLatin1String("imeout")), qPrintable(sDescription));
    QCOMPARE(rs.State(), 0);
    // Gave up on its own timeout, well before the server would have answered.
    QVERIFY2(lDuree < 2900, qPrintable(QString::number(lDuree)));

    // The session survives the cancelled statement.
    Connexion::SetCommandTimeoutForTests(10);
    QCOMPARE(cn.State(), 1);
    rs.Open(QStringLiteral("SELECT name FROM sysdatabases ORDER BY name"), &cn, 0, 1, -1);
    QCOMPARE(rs.Fields(0), QStringLiteral("master"));
}

void TestConnexionDelais::instructionSurServeurFige()
{
    // The server answers one statement, then nothing: the driver would wait
    // out the command timeout, then as long again for the cancel.
    StandIn::Options options;
    options.extraArguments << QStringLiteral("--gel-apres") << QStringLiteral("1");
    StandIn fige(options);
    QVERIFY2(fige.isRunning(), qPrintable(fige.output()));
    PoolConnexions::Vide();
    Connexion::SetLoginTimeoutForTests(5);
    Connexion::SetCommandTimeoutForTests(2);
    Connexion cn;
    cn.Open(ChaineConnexion(fige.serverName(), QStringLiteral("master"), QStringLiteral("Mirabel4"), kTitre));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT name FROM sysdatabases ORDER BY name"), &cn, 0, 1, -1);
    QCOMPARE(rs.RecordCount(), 5L);
    rs.Close();

    QElapsedTimer chrono;
    chrono.start();
    const int lNumero =
        NumeroLeve([&] { rs.Open(QStringLiteral("SELECT name FROM sysdatabases ORDER BY name"), &cn, 0, 1, -1); });
    const qint64 lDuree = chrono.elapsed();
    QCOMPARE(lNumero, int(CodesErreurs::DelaiDepasse));
    QCOMPARE(rs.State(), 0);
    QVERIFY2(lDuree < Connexion::CommandTimeout() * 1000 + 1000, qPrintable(QString::number(lDuree)));

    // The session is dropped, at once: the next user of the string logs in afresh.
    chrono.restart();
    cn.Close();
    QVERIFY2(chrono.elapsed() < 1000, qPrintable(QString::number(chrono.elapsed())));
    QCOMPARE(PoolConnexions::Taille(), 0);
}

void TestConnexionDelais::delaiDeConnexionServeurMuet_data()
{
    QTest::addColumn<QStringList>("gel"); // empty: a bare listener instead of the stand-in
    QTest::newRow("ecouteur muet") << QStringList();
    QTest::newRow("remplacant fige des le depart") << QStringList{"--gel-apres", "0"};
}

void TestConnexionDelais::delaiDeConnexionServeurMuet()
{
    // Both accept the TCP connection (the kernel completes it) and never answer.
    QFETCH(QStringList, gel);
    QTcpServer muet;
    std::unique_ptr<StandIn> fige;
    QString sServeur;
    if (gel.isEmpty()) {
        QVERIFY(muet.listen(QHostAddress::LocalHost, 0));
        sServeur = QStringLiteral("127.0.0.1,%1").arg(muet.serverPort());
    } else {
        StandIn::Options options;
        options.extraArguments = gel;
        fige = std::make_unique<StandIn>(options);
        QVERIFY2(fige->isRunning(), qPrintable(fige->output()));
        sServeur = fige->serverName();
    }
    Connexion::SetLoginTimeoutForTests(1);
    Connexion cn;
    QElapsedTimer chrono;
    chrono.start();
    const int lNumero = NumeroLeve(
        [&] { cn.Open(ChaineConnexion(sServeur, QStringLiteral("master"), QStringLiteral("Mirabel4"), kTitre)); });
    const qint64 lDuree = chrono.elapsed();
    QCOMPARE(lNumero, int(CodesErreurs::EchecNonSpecifie));
    QCOMPARE(cn.State(), 0);
    QVERIFY2(lDuree < Connexion::LoginTimeout() * 1000 + 1000, qPrintable(QString::number(lDuree)));
}

QTEST_GUILESS_MAIN(TestConnexionDelais)
#include "test_connexion_delais.moc"
