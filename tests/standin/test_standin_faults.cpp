// The stand-in's fault switches and timeouts, seen through the ODBC driver.
#include "odbcdirect.h"
#include "standin.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace odbcdirect;

class TestStandinFaults : public QObject
{
    Q_OBJECT

private slots:
    void queryTimeoutDuringWaitforKeepsConnection()
    {
        StandIn standin;
        QVERIFY2(standin.isRunning(), qPrintable(standin.output()));
        Connexion cn;
        QVERIFY(cn.ouvre(chaine(standin.port(), QStringLiteral("Mirabel4"), QStringLiteral("Ventes"))).bOk);
        const Resultat attente = cn.execute(QStringLiteral("WAITFOR DELAY '00:00:10'"), 1);
        QVERIFY(!attente.bOk);
        QCOMPARE(attente.sEtat, QStringLiteral("HYT00"));
        // The attention was answered: the same connection runs the next statement.
        const Resultat r = cn.execute(QStringLiteral("SELECT count(*) FROM produits"));
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        QVERIFY(r.lignes.value(0).value(0).toInt() > 0);
    }

    void delayedBatches()
    {
        StandIn::Options options;
        options.extraArguments = {QStringLiteral("--delay-ms"), QStringLiteral("2500")};
        StandIn standin(options);
        QVERIFY2(standin.isRunning(), qPrintable(standin.output()));
        Connexion cn;
        QElapsedTimer chrono;
        chrono.start();
        QVERIFY(cn.ouvre(chaine(standin.port(), QStringLiteral("Mirabel4"), QStringLiteral("Ventes"))).bOk);
        QVERIFY2(chrono.elapsed() < 2000, "the login itself is not delayed");
        const Resultat expire = cn.execute(QStringLiteral("SELECT 1"), 1);
        QVERIFY(!expire.bOk);
        QCOMPARE(expire.sEtat, QStringLiteral("HYT00"));
        chrono.restart();
        const Resultat r = cn.execute(QStringLiteral("SELECT name FROM sysobjects WHERE name = 'clients'"));
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        QVERIFY(chrono.elapsed() >= 2400);
        QCOMPARE(premiereColonne(r), QStringList{"clients"});
    }

    void droppedInTheMiddleOfAResult_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("coupe");
        QTest::addColumn<int>("lignes");
        QTest::newRow("longer result is cut") << "SELECT id FROM commandes ORDER BY id" << true << 10;
        QTest::newRow("result of exactly N rows is whole") << "SELECT TOP 10 id FROM commandes" << false << 10;
        QTest::newRow("shorter result is whole") << "SELECT TOP 3 id FROM commandes" << false << 3;
    }

    void droppedInTheMiddleOfAResult()
    {
        QFETCH(QString, sql);
        QFETCH(bool, coupe);
        QFETCH(int, lignes);
        StandIn::Options options;
        options.extraArguments = {QStringLiteral("--drop-after-rows"), QStringLiteral("10")};
        StandIn standin(options);
        QVERIFY2(standin.isRunning(), qPrintable(standin.output()));
        Connexion cn;
        QVERIFY(cn.ouvre(chaine(standin.port(), QStringLiteral("Mirabel4"), QStringLiteral("Ventes"))).bOk);
        const Resultat r = cn.execute(sql);
        QCOMPARE(r.bOk, !coupe);
        if (coupe) {
            QVERIFY(r.lignes.size() <= lignes);
            // FreeTDS reports the lost link as "Unexpected EOF from the server" (01000), then 08S01.
            QVERIFY2(r.sEtat.startsWith(QLatin1String("08")) || r.sMessage.contains(QLatin1String("Unexpected EOF")),
                     qPrintable(r.sEtat + r.sMessage));
        } else {
            QCOMPARE(r.lignes.size(), lignes);
        }
        // The server itself lives on.
        Connexion autre;
        QVERIFY(autre.ouvre(chaine(standin.port(), QStringLiteral("Mirabel4"), QStringLiteral("Ventes"))).bOk);
        QVERIFY(autre.execute(QStringLiteral("SELECT 1")).bOk);
    }
};

QTEST_GUILESS_MAIN(TestStandinFaults)
#include "test_standin_faults.moc"
