// Logging in to the stand-in through unixODBC and the FreeTDS driver.
#include "odbcdirect.h"
#include "standin.h"

#include <QtTest>
#include <atomic>
#include <thread>

using namespace odbcdirect;

class TestStandinLogin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_standin = std::make_unique<StandIn>();
        QVERIFY2(m_standin->isRunning(), qPrintable(m_standin->output()));
    }

    void login_data()
    {
        QTest::addColumn<QString>("motDePasse");
        QTest::addColumn<QString>("base");
        QTest::addColumn<bool>("accepte");
        QTest::addColumn<int>("erreur");
        QTest::addColumn<QString>("message");
        QTest::newRow("good password on master") << "Mirabel4" << "master" << true << 0 << "";
        QTest::newRow("good password on Ventes") << "Mirabel4" << "Ventes" << true << 0 << "";
        QTest::newRow("database name in another case") << "Mirabel4" << "VENTES" << true << 0 << "";
        QTest::newRow("wrong password") << "mirabel4" << "master" << false << 18456
                                        << "Login failed for user 'sa'.";
        QTest::newRow("empty password") << "" << "master" << false << 18456 << "Login failed for user 'sa'.";
        QTest::newRow("unknown database") << "Mirabel4" << "Inconnue" << false << 4060
                                          << "Cannot open database \"Inconnue\" requested by the login.";
    }

    void login()
    {
        QFETCH(QString, motDePasse);
        QFETCH(QString, base);
        QFETCH(bool, accepte);
        QFETCH(int, erreur);
        QFETCH(QString, message);
        const int lOkAvant = m_standin->outputLines(QStringLiteral("login ok")).size();
        const int lEchecsAvant = m_standin->outputLines(QStringLiteral("login failed")).size();
        Connexion cn;
        const Resultat r = cn.ouvre(chaine(m_standin->port(), motDePasse, base));
        QCOMPARE(r.bOk, accepte);
        if (!accepte) {
            QVERIFY2(r.natifs.contains(erreur), qPrintable(r.sMessage));
            QVERIFY2(r.sMessage.contains(message), qPrintable(r.sMessage));
        } else {
            const Resultat nom = cn.execute(QStringLiteral("SELECT db_name()"));
            QVERIFY2(nom.bOk, qPrintable(nom.sMessage));
            QCOMPARE(nom.lignes.value(0).value(0).toLower(), base.toLower());
        }
        QTRY_COMPARE(m_standin->outputLines(QStringLiteral("login ok")).size(), lOkAvant + (accepte ? 1 : 0));
        QTRY_COMPARE(m_standin->outputLines(QStringLiteral("login failed")).size(), lEchecsAvant + (accepte ? 0 : 1));
    }

    void databaseListInNameOrder()
    {
        Connexion cn;
        QVERIFY(cn.ouvre(chaine(m_standin->port(), QStringLiteral("Mirabel4"), QStringLiteral("master"))).bOk);
        const Resultat r = cn.execute(QStringLiteral("SELECT name FROM sysdatabases ORDER BY name"));
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        QCOMPARE(premiereColonne(r), (QStringList{"master", "model", "msdb", "tempdb", "Ventes"}));
        QCOMPARE(r.colonnes, QStringList{"name"});
        QCOMPARE(r.typesSql.value(0), SQLSMALLINT(SQL_WVARCHAR));
    }

    void useChangesDatabase()
    {
        Connexion cn;
        QVERIFY(cn.ouvre(chaine(m_standin->port(), QStringLiteral("Mirabel4"), QStringLiteral("master"))).bOk);
        QVERIFY(cn.execute(QStringLiteral("SELECT count(*) FROM clients")).lNatif == 208);
        const Resultat use = cn.execute(QStringLiteral("USE Ventes"));
        QVERIFY2(use.bOk, qPrintable(use.sMessage));
        const Resultat r = cn.execute(QStringLiteral("SELECT count(*) FROM clients"));
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        QVERIFY(r.lignes.value(0).value(0).toInt() > 0);
        QCOMPARE(cn.execute(QStringLiteral("USE Inconnue")).lNatif, 911);
    }

    void setStatementsAreAccepted()
    {
        Connexion cn;
        QVERIFY(cn.ouvre(chaine(m_standin->port(), QStringLiteral("Mirabel4"), QStringLiteral("Ventes"))).bOk);
        const Resultat r = cn.execute(QStringLiteral("SET NOCOUNT ON; SET TEXTSIZE 2147483647; SELECT 1"));
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
    }

    void sixteenClientsAtOnce()
    {
        const int lClients = 16;
        std::atomic<int> reussis{0};
        std::vector<std::thread> fils;
        const int lPort = m_standin->port();
        for (int i = 0; i < lClients; ++i) {
            fils.emplace_back([&reussis, lPort, i]() {
                Connexion cn;
                if (!cn.ouvre(chaine(lPort, QStringLiteral("Mirabel4"), QStringLiteral("Ventes"))).bOk)
                    return;
                // Hold every connection open at the same time with a short wait.
                const Resultat attente = cn.execute(QStringLiteral("WAITFOR DELAY '00:00:00.500'"));
                const Resultat r = cn.execute(QStringLiteral("SELECT id FROM clients WHERE id = %1").arg(i + 1));
                if (attente.bOk && r.bOk && r.lignes.value(0).value(0).toInt() == i + 1)
                    ++reussis;
            });
        }
        for (std::thread &f : fils)
            f.join();
        QCOMPARE(reussis.load(), lClients);
    }

    void restartWithSameSeedKeepsData()
    {
        StandIn::Options options;
        options.seedDemo = false;
        options.extraArguments = {QStringLiteral("--seed"), QStringLiteral("demo")};
        StandIn standin(options);
        QVERIFY2(standin.isRunning(), qPrintable(standin.output()));
        auto compte = [&standin](const QString &sql) {
            Connexion cn;
            if (!cn.ouvre(chaine(standin.port(), QStringLiteral("Mirabel4"), QStringLiteral("Ventes"))).bOk)
                return -1;
            return cn.execute(sql).lignes.value(0).value(0).toInt();
        };
        const int lClients = compte(QStringLiteral("SELECT count(*) FROM clients"));
        const int lObjets = compte(QStringLiteral("SELECT count(*) FROM sysobjects"));
        const int lBases = compte(QStringLiteral("SELECT count(*) FROM master.dbo.sysdatabases"));
        QVERIFY(lClients > 0);
        QCOMPARE(lBases, 5);
        // A file indexed under an older order of the collation is reindexed at start.
        QCOMPARE(compte(QStringLiteral("PRAGMA user_version")), 2);
        compte(QStringLiteral("PRAGMA user_version = 1"));
        QCOMPARE(compte(QStringLiteral("PRAGMA user_version")), 1);
        QVERIFY(standin.restart());
        QCOMPARE(compte(QStringLiteral("PRAGMA user_version")), 2);
        QCOMPARE(compte(QStringLiteral("SELECT count(*) FROM sysobjects WHERE name = 'CLIENTS_ÉTÉ'")), 1);
        QCOMPARE(compte(QStringLiteral("SELECT count(*) FROM clients")), lClients);
        QCOMPARE(compte(QStringLiteral("SELECT count(*) FROM sysobjects")), lObjets);
        QCOMPARE(compte(QStringLiteral("SELECT count(*) FROM master.dbo.sysdatabases")), lBases);
    }

private:
    std::unique_ptr<StandIn> m_standin;
};

QTEST_GUILESS_MAIN(TestStandinLogin)
#include "test_standin_login.moc"
