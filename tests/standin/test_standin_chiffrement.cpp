// Logging in to the stand-in through each pre-login encryption answer, with
// FreeTDS asking for encryption, requiring it or refusing it.
#include "odbcdirect.h"
#include "standin.h"

#include <QtTest>

using namespace odbcdirect;

class TestStandinChiffrement : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        for (const char *mode : {"non", "connexion", "requis"}) {
            StandIn::Options options;
            options.profil = QStringLiteral("2019");
            options.chiffrement = QLatin1String(mode);
            auto standin = std::make_shared<StandIn>(options);
            QVERIFY2(standin->isRunning(), qPrintable(standin->output()));
            m_standins.insert(QLatin1String(mode), standin);
        }
    }

    void login_data()
    {
        QTest::addColumn<QString>("serveur");
        QTest::addColumn<QString>("client");   // FreeTDS's Encryption: request (its default), require, off
        QTest::addColumn<bool>("accepte");
        QTest::addColumn<QString>("tls");      // the stand-in's line once the handshake is over
        QTest::newRow("not supported, client asks") << "non" << "request" << true << "";
        QTest::newRow("not supported, client requires") << "non" << "require" << false << "";
        QTest::newRow("login only, client asks") << "connexion" << "request" << true << "tls login only";
        QTest::newRow("login only, client requires: whole session") << "connexion" << "require" << true
                                                                    << "tls whole session";
        QTest::newRow("login only, client refuses") << "connexion" << "off" << true << "";
        QTest::newRow("required, client asks") << "requis" << "request" << true << "tls whole session";
        QTest::newRow("required, client requires") << "requis" << "require" << true << "tls whole session";
        QTest::newRow("required, client refuses") << "requis" << "off" << false << "";
    }

    void login()
    {
        QFETCH(QString, serveur);
        QFETCH(QString, client);
        QFETCH(bool, accepte);
        QFETCH(QString, tls);
        StandIn &standin = *m_standins.value(serveur);
        const int lTlsAvant = standin.outputLines(QStringLiteral("tls ")).size();
        const int lOkAvant = standin.outputLines(QStringLiteral("login ok")).size();
        Connexion cn;
        const Resultat r = cn.ouvre(chaine(standin.port(), QStringLiteral("Mirabel4"), QStringLiteral("Ventes"))
                                    + QStringLiteral(";Encryption=") + client);
        QCOMPARE(r.bOk, accepte);
        QTRY_COMPARE(standin.outputLines(QStringLiteral("login ok")).size(), lOkAvant + (accepte ? 1 : 0));
        const QStringList lignesTls = standin.outputLines(QStringLiteral("tls ")).mid(lTlsAvant);
        QCOMPARE(lignesTls, tls.isEmpty() ? QStringList() : QStringList{tls});
        if (!accepte)
            return;
        // Many packets each way after the login, in clear or inside TLS as negotiated.
        const QString sLong = QString(3000, QLatin1Char('x'));
        const Resultat echo = cn.execute(QStringLiteral("SELECT N'%1'").arg(sLong));
        QVERIFY2(echo.bOk, qPrintable(echo.sMessage));
        QCOMPARE(echo.lignes.value(0).value(0), sLong);
        const Resultat compte = cn.execute(QStringLiteral("SELECT count(*) FROM syscolumns"));
        const Resultat colonnes = cn.execute(QStringLiteral("SELECT name, id, colid FROM syscolumns"));
        QVERIFY2(colonnes.bOk, qPrintable(colonnes.sMessage));
        QVERIFY(colonnes.lignes.size() > 200);
        QCOMPARE(QString::number(colonnes.lignes.size()), compte.lignes.value(0).value(0));
    }

    void catalogueQueriesInsideTls()
    {
        Connexion cn;
        QVERIFY(cn.ouvre(chaine(m_standins.value(QStringLiteral("requis"))->port(), QStringLiteral("Mirabel4"),
                                QStringLiteral("Ventes"))).bOk);
        const Resultat bases = cn.execute(QStringLiteral("SELECT name FROM sysdatabases ORDER BY name"));
        QCOMPARE(premiereColonne(bases), (QStringList{"Entrepot", "master", "model", "msdb", "tempdb", "Ventes"}));
        QCOMPARE(cn.info(SQL_DBMS_VER), QStringLiteral("15.00.2000"));
    }

private:
    QHash<QString, std::shared_ptr<StandIn>> m_standins;
};

QTEST_GUILESS_MAIN(TestStandinChiffrement)
#include "test_standin_chiffrement.moc"
