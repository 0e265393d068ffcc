// How the stand-in reads T-SQL: collation, LIKE, prepared statements, cursors
// it refuses, and statements freed before their rows were read.
#include "odbcdirect.h"
#include "standin.h"

#include <QtTest>

using namespace odbcdirect;

class TestStandinDialecte : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_standin = std::make_unique<StandIn>();
        QVERIFY2(m_standin->isRunning(), qPrintable(m_standin->output()));
        QVERIFY(m_cn.ouvre(chaine(m_standin->port(), QStringLiteral("Mirabel4"), QStringLiteral("Ventes"))).bOk);
        QVERIFY(m_cn.execute(QStringLiteral("CREATE TABLE mots (id int NOT NULL PRIMARY KEY, mot nvarchar(40), code char(4))")).bOk);
        const QStringList mots{"abc", "ABD", "Été", "été", "ete", "a_b", "a%b", "zèbre", "Zoo", "b"};
        for (int i = 0; i < mots.size(); ++i)
            QVERIFY(m_cn.execute(QStringLiteral("INSERT INTO mots VALUES (%1, N'%2', 'C%1')").arg(i + 1).arg(mots.at(i))).bOk);
    }

    void likeAndEquality_data()
    {
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QStringList>("mots");
        QTest::newRow("prefix, any case") << "mot LIKE 'ab%'" << QStringList{"abc", "ABD"};
        QTest::newRow("accented prefix in upper case") << "mot LIKE 'ÉT%'" << QStringList{"Été", "été"};
        QTest::newRow("accents still count") << "mot LIKE 'ete'" << QStringList{"ete"};
        QTest::newRow("underscore is one character") << "mot LIKE 'a_b'" << QStringList{"a_b", "a%b"};
        QTest::newRow("bracketed underscore is literal") << "mot LIKE 'a[_]b'" << QStringList{"a_b"};
        QTest::newRow("range class") << "mot LIKE '[x-z]%'" << QStringList{"zèbre", "Zoo"};
        // É sorts after e, so it is outside [a-e], as under SQL Server's Latin collations.
        QTest::newRow("negated class") << "mot LIKE '[^a-e]%'" << QStringList{"Été", "été", "zèbre", "Zoo"};
        QTest::newRow("suffix") << "mot LIKE '%bre'" << QStringList{"zèbre"};
        QTest::newRow("ESCAPE") << "mot LIKE 'a!%b' ESCAPE '!'" << QStringList{"a%b"};
        QTest::newRow("equality ignores case") << "mot = 'ZOO'" << QStringList{"Zoo"};
        QTest::newRow("equality ignores case of accented letters") << "mot = 'ÉTÉ'" << QStringList{"Été", "été"};
        QTest::newRow("trailing blanks ignored") << "mot = 'b   '" << QStringList{"b"};
        QTest::newRow("IN ignores case") << "mot IN ('ABC', 'zoo')" << QStringList{"abc", "Zoo"};
        QTest::newRow("NOT LIKE") << "mot NOT LIKE '%e%' AND mot NOT LIKE '%a%'" << QStringList{"Été", "été", "Zoo", "b"};
    }

    void likeAndEquality()
    {
        QFETCH(QString, condition);
        QFETCH(QStringList, mots);
        const Resultat r = m_cn.execute(QStringLiteral("SELECT mot FROM mots WHERE %1 ORDER BY id").arg(condition));
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        QCOMPARE(premiereColonne(r), mots);
    }

    void orderIgnoresCaseAndSortsAccentsWithTheirLetter()
    {
        const Resultat r = m_cn.execute(QStringLiteral("SELECT mot FROM mots WHERE mot LIKE '[abz]%' ORDER BY mot"));
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        QCOMPARE(premiereColonne(r), (QStringList{"a%b", "a_b", "abc", "ABD", "b", "zèbre", "Zoo"}));
    }

    void preparedStatementsWithParameters()
    {
        const Resultat r = m_cn.executePrepare(QStringLiteral("SELECT mot FROM mots WHERE id >= ? AND id <= ? ORDER BY id"),
                                              {2, 4});
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        QCOMPARE(premiereColonne(r), (QStringList{"ABD", "Été", "été"}));
        const Resultat vide = m_cn.executePrepare(QStringLiteral("SELECT mot FROM mots WHERE id = ?"), {99});
        QVERIFY2(vide.bOk, qPrintable(vide.sMessage));
        QVERIFY(vide.lignes.isEmpty());
        const Resultat erreur = m_cn.executePrepare(QStringLiteral("SELECT mot FROM absente WHERE id = ?"), {1});
        QVERIFY(!erreur.bOk);
        QCOMPARE(erreur.lNatif, 208);
        QVERIFY(m_cn.execute(QStringLiteral("SELECT 1")).bOk);
    }

    void serverCursorsAreRefusedClearly()
    {
        const Resultat r = m_cn.executeCurseur(QStringLiteral("SELECT mot FROM mots"), SQL_CURSOR_KEYSET_DRIVEN);
        QVERIFY(!r.bOk);
        QVERIFY2(r.sMessage.contains(QLatin1String("SQL batch")), qPrintable(r.sMessage));
        QVERIFY(m_cn.execute(QStringLiteral("SELECT 1")).bOk);
    }

    void statementFreedBeforeItsRows()
    {
        // Freeing a statement with unread rows sends an attention; the next statement must still run.
        for (int i = 0; i < 3; ++i) {
            const Resultat partiel = m_cn.execute(QStringLiteral("SELECT commande_id FROM [lignes de commande]"), 0, 2);
            QVERIFY2(partiel.bOk, qPrintable(partiel.sMessage));
            QCOMPARE(partiel.lignes.size(), 2);
            const Resultat suivant = m_cn.execute(QStringLiteral("SELECT count(*) FROM mots"));
            QVERIFY2(suivant.bOk, qPrintable(suivant.sMessage));
            QCOMPARE(suivant.lignes.value(0).value(0), QStringLiteral("10"));
        }
    }

    void batchOfSeveralStatements()
    {
        const Resultat r = m_cn.execute(QStringLiteral(
            "SET NOCOUNT ON\nGO\nUPDATE mots SET code = 'X' WHERE id = 1; SELECT code FROM mots WHERE id = 1"));
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        Connexion autre;
        QVERIFY(autre.ouvre(chaine(m_standin->port(), QStringLiteral("Mirabel4"), QStringLiteral("Ventes"))).bOk);
        QCOMPARE(premiereColonne(autre.execute(QStringLiteral("SELECT code FROM mots WHERE id = 1"))), QStringList{"X"});
    }

private:
    std::unique_ptr<StandIn> m_standin;
    Connexion m_cn;
};

QTEST_GUILESS_MAIN(TestStandinDialecte)
#include "test_standin_dialecte.moc"
