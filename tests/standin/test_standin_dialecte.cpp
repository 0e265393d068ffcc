// How the stand-in reads T-SQL: collation, LIKE, prepared statements, cursors
// it refuses, statements freed before their rows were read, and batches as a
// server runs them (statements without semicolons, SET options, transactions,
// string +, TOP, the common functions, error numbers).
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
        QVERIFY(m_cn.execute(QStringLiteral("CREATE TABLE bornes (id int NOT NULL PRIMARY KEY, n int CHECK (n > 0))")).bOk);
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

    void batchesAsAServerRunsThem_data()
    {
        QTest::addColumn<QString>("lot");
        QTest::addColumn<QStringList>("resultats"); // first column of each result, or "#count"
        QTest::newRow("statements on their own lines") << "SELECT 1\nSELECT 2" << QStringList{"1", "2"};
        QTest::newRow("statements on one line") << "SELECT 1 SELECT 2" << QStringList{"1", "2"};
        QTest::newRow("SET before a SELECT") << "SET NOCOUNT ON SELECT 7" << QStringList{"7"};
        QTest::newRow("UNION SELECT continues")
            << "SELECT id FROM mots WHERE id < 3 UNION SELECT 5 ORDER BY 1" << QStringList{"1,2,5"};
        QTest::newRow("INSERT ... SELECT is one statement")
            << "CREATE TABLE copie (id int) INSERT INTO copie SELECT id FROM mots WHERE id < 3 "
               "SELECT count(*) FROM copie DROP TABLE copie"
            << QStringList{"#2", "2"};
        QTest::newRow("sub-query does not cut")
            << "SELECT mot FROM mots WHERE id = (SELECT max(id) FROM mots) SELECT 3" << QStringList{"b", "3"};
        QTest::newRow("TOP in a sub-query")
            << "SELECT id FROM mots WHERE id IN (SELECT TOP 2 id FROM mots ORDER BY id DESC) ORDER BY id"
            << QStringList{"9,10"};
        QTest::newRow("TOP in each UNION branch")
            << "SELECT TOP 2 id FROM mots UNION ALL SELECT TOP 1 id FROM mots ORDER BY 1" << QStringList{"1,1,2"};
        QTest::newRow("branches in parentheses")
            << "(SELECT TOP 1 id FROM mots ORDER BY id DESC) UNION ALL (SELECT TOP 1 id FROM mots ORDER BY id)"
            << QStringList{"10,1"};
    }

    void batchesAsAServerRunsThem()
    {
        QFETCH(QString, lot);
        QFETCH(QStringList, resultats);
        Connexion cn;
        QVERIFY(cn.ouvre(chaine(m_standin->port(), QStringLiteral("Mirabel4"), QStringLiteral("Ventes"))).bOk);
        const Resultat r = cn.executeLot(lot);
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        QCOMPARE(r.resultats, resultats);
    }

    void messagesAndResultsInOrder_data()
    {
        QTest::addColumn<QString>("lot");
        // Results as in resultats, messages "!number@line text"; the driver gives
        // a statement that sent a message but no rows as a result without count (#-1).
        QTest::addColumn<QStringList>("suite");
        QTest::newRow("PRINT between results")
            << "PRINT 'avant'\nSELECT 1\nPRINT 'entre'\nSELECT 2 SELECT 3"
            << QStringList{"!0@1 avant", "#-1", "1", "!0@3 entre", "#-1", "2", "3"};
        QTest::newRow("RAISERROR up to severity 10 is a message, with its arguments")
            << "RAISERROR('n=%d, s=%s, [%5s] %%', 10, 1, 42, N'été', 'ab') SELECT 1"
            << QStringList{"!50000@1 n=42, s=été, [   ab] %", "#-1", "1"};
        QTest::newRow("RAISERROR above 10 is an error and the batch goes on")
            << "SELECT 1\nRAISERROR(N'échec %d', 16, 2, 7)\nSELECT 2"
            << QStringList{"1", "!50000@2 échec 7", "2"};
        QTest::newRow("error line counted from the batch start")
            << "-- en-tête\n\nSELECT 1\nSELECT *\n  FROM absente"
            << QStringList{"1", "!208@4 Invalid object name 'absente'."};
        QTest::newRow("line after a string over two lines")
            << "SELECT 'a\nb' SELECT 2\nSELECT 1 FROM absente"
            << QStringList{"a\nb", "2", "!208@3 Invalid object name 'absente'."};
        QTest::newRow("counts unless NOCOUNT")
            << "UPDATE mots SET code = code WHERE id < 3\nSET NOCOUNT ON\nUPDATE mots SET code = code WHERE id < 3\nPRINT 'fin'"
            << QStringList{"#2", "!0@4 fin", "#-1"};
    }

    void messagesAndResultsInOrder()
    {
        QFETCH(QString, lot);
        QFETCH(QStringList, suite);
        Connexion cn;
        QVERIFY(cn.ouvre(chaine(m_standin->port(), QStringLiteral("Mirabel4"), QStringLiteral("Ventes"))).bOk);
        // Joined, so that a failure shows the whole sequence.
        QCOMPARE(cn.executeLot(lot).suite.join(QLatin1String(" | ")), suite.join(QLatin1String(" | ")));
    }

    void setOptionsLastForTheSession()
    {
        Connexion cn;
        QVERIFY(cn.ouvre(chaine(m_standin->port(), QStringLiteral("Mirabel4"), QStringLiteral("Ventes"))).bOk);
        const QString sMiseAJour = QStringLiteral("UPDATE mots SET code = code WHERE id < 3 SELECT 1");
        QCOMPARE(cn.executeLot(sMiseAJour).resultats, (QStringList{"#2", "1"}));
        QVERIFY(cn.execute(QStringLiteral("SET NOCOUNT ON")).bOk);
        QCOMPARE(cn.executeLot(sMiseAJour).resultats, QStringList{"1"});
        QVERIFY(cn.execute(QStringLiteral("SET NOCOUNT OFF")).bOk);
        QCOMPARE(cn.executeLot(sMiseAJour).resultats, (QStringList{"#2", "1"}));
        QVERIFY(cn.execute(QStringLiteral("SET ROWCOUNT 3")).bOk);
        QCOMPARE(cn.executeLot(QStringLiteral("SELECT id FROM mots ORDER BY id")).resultats, QStringList{"1,2,3"});
        QVERIFY(cn.execute(QStringLiteral("SET ROWCOUNT 0")).bOk);
        QCOMPARE(cn.execute(QStringLiteral("SELECT id FROM mots")).lignes.size(), 10);
    }

    void trancountFollowsTransactions()
    {
        Connexion cn;
        QVERIFY(cn.ouvre(chaine(m_standin->port(), QStringLiteral("Mirabel4"), QStringLiteral("Ventes"))).bOk);
        const QStringList etapes{"SELECT @@TRANCOUNT", "BEGIN TRAN SELECT @@TRANCOUNT",
                                 "BEGIN TRANSACTION SELECT @@TRANCOUNT",
                                 "UPDATE mots SET code = 'T' WHERE id = 3 COMMIT SELECT @@TRANCOUNT",
                                 "ROLLBACK SELECT @@TRANCOUNT"};
        QStringList vus;
        for (const QString &sEtape : etapes) {
            const QStringList resultats = cn.executeLot(sEtape).resultats;
            vus << (resultats.isEmpty() ? QStringLiteral("(none)") : resultats.last());
        }
        QCOMPARE(vus, (QStringList{"0", "1", "2", "1", "0"}));
        // The outer ROLLBACK undid the update made inside the inner transaction.
        QCOMPARE(premiereColonne(cn.execute(QStringLiteral("SELECT code FROM mots WHERE id = 3"))), QStringList{"C3"});
    }

    void commonFunctionsAndStringPlus_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("valeur");
        QTest::newRow("+ of strings") << "'a' + 'b'" << "ab";
        QTest::newRow("+ of a column and a string") << "mot + '!' FROM mots WHERE id = 1" << "abc!";
        QTest::newRow("+ of numbers, * first") << "1 + 2 * 3 - 1" << "6";
        QTest::newRow("+ of a numeric string and a number") << "'1' + 1" << "2";
        QTest::newRow("CAST to varchar in a +") << "'n° ' + CAST(12 AS varchar(5))" << "n° 12";
        QTest::newRow("CAST to int cuts") << "CAST(2.7 AS int)" << "2";
        QTest::newRow("CONVERT with a style")
            << "CONVERT(varchar(10), CONVERT(datetime, '2024-03-05 10:20:30'), 103)" << "05/03/2024";
        QTest::newRow("CONVERT to int") << "CONVERT(int, '42') + 1" << "43";
        QTest::newRow("CONVERT cuts to the length") << "CONVERT(varchar(3), 'abcdef')" << "abc";
        QTest::newRow("CHARINDEX ignores case") << "CHARINDEX('b', 'ABC')" << "2";
        QTest::newRow("CHARINDEX from a position") << "CHARINDEX('a', 'banana', 3)" << "4";
        QTest::newRow("LEN ignores trailing blanks") << "LEN('ab  ')" << "2";
        QTest::newRow("DATALENGTH of varchar") << "DATALENGTH('abc')" << "3";
        QTest::newRow("DATALENGTH of nvarchar") << "DATALENGTH(N'abc')" << "6";
        QTest::newRow("LEFT, not a join") << "LEFT(mot, 2) FROM mots m LEFT JOIN bornes b ON b.id = m.id WHERE m.id = 1" << "ab";
        QTest::newRow("YEAR of a date") << "YEAR(CONVERT(datetime, '20240305')) + 1" << "2025";
        QTest::newRow("ISNULL") << "ISNULL(NULL, 'z')" << "z";
        QTest::newRow("COALESCE") << "COALESCE(NULL, NULL, 3)" << "3";
        QTest::newRow("GETDATE") << "LEN(CONVERT(varchar(30), GETDATE(), 120))" << "19";
        QTest::newRow("OBJECT_ID") << "CASE WHEN OBJECT_ID('mots') > 0 THEN 'oui' END" << "oui";
        QTest::newRow("USER_NAME") << "USER_NAME(1)" << "dbo";
        QTest::newRow("SERVERPROPERTY") << "SERVERPROPERTY('ProductVersion')" << "8.00.2039";
        QTest::newRow("DATEADD of seconds, read as a datetime") << "DATEADD(second, 90, '2020-01-01')" << "2020-01-01 00:01:30.000";
        QTest::newRow("DATEADD of a month keeps to the month's end") << "DATEADD(mm, 1, '2020-01-31')" << "2020-02-29 00:00:00.000";
        QTest::newRow("DATEADD backwards over midnight") << "DATEADD(hour, -1, '2020-03-01')" << "2020-02-29 23:00:00.000";
        QTest::newRow("GENERATE_SERIES") << "sum(value) FROM GENERATE_SERIES(1, 100)" << "5050";
        QTest::newRow("GENERATE_SERIES downwards") << "count(*) FROM GENERATE_SERIES(10, 1)" << "10";
        QTest::newRow("GENERATE_SERIES with a step") << "max(value) FROM GENERATE_SERIES(0, 100, 7)" << "98";
        QTest::newRow("GENERATE_SERIES with a step the wrong way") << "count(*) FROM GENERATE_SERIES(1, 10, -1)" << "0";
        QTest::newRow("TOP in a scalar sub-query") << "(SELECT TOP 1 mot FROM mots ORDER BY id DESC)" << "b";
    }

    void commonFunctionsAndStringPlus()
    {
        QFETCH(QString, expression);
        QFETCH(QString, valeur);
        const Resultat r = m_cn.execute(QStringLiteral("SELECT ") + expression);
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        QCOMPARE(premiereColonne(r), QStringList{valeur});
    }

    void generatedRowsHaveTheirTypes()
    {
        const Resultat r = m_cn.execute(QStringLiteral(
            "SELECT TOP 2 value, CONVERT(nvarchar(40), value * 7), DATEADD(second, value, '2020-01-01') "
            "FROM GENERATE_SERIES(1000000, 1)"));
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        QCOMPARE(r.typesSql, (QVector<SQLSMALLINT>{SQL_INTEGER, SQL_WVARCHAR, SQL_TYPE_TIMESTAMP}));
        QCOMPARE(r.lignes, (QVector<QStringList>{{"1000000", "7000000", "2020-01-12 13:46:40.000"},
                                                 {"999999", "6999993", "2020-01-12 13:46:39.000"}}));
    }

    void longValuesKeepAllTheirCharacters_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("longueur");
        QTest::addColumn<QString>("fin");
        QTest::newRow("CONVERT to nvarchar(max)") << "SELECT CONVERT(nvarchar(max), REPLICATE(N'é', 70000)) + N'!'" << 70001 << "é!";
        QTest::newRow("nvarchar(max) column") << "SELECT t FROM longs WHERE id = 1" << 40000 << "zz";
        QTest::newRow("NULL in an nvarchar(max) column") << "SELECT t FROM longs WHERE id = 2" << 6 << "<NULL>";
        QTest::newRow("varbinary(max), read as hexadecimal")
            << "SELECT CONVERT(varbinary(max), REPLICATE('ab', 5000))" << 20000 << "6162";
        QTest::newRow("short text stays bounded") << "SELECT REPLICATE('ab', 3)" << 6 << "ab";
    }

    void longValuesKeepAllTheirCharacters()
    {
        QFETCH(QString, sql);
        QFETCH(int, longueur);
        QFETCH(QString, fin);
        if (!m_cn.execute(QStringLiteral("SELECT count(*) FROM longs")).bOk) {
            QVERIFY(m_cn.execute(QStringLiteral("CREATE TABLE longs (id int, t nvarchar(max))")).bOk);
            QVERIFY(m_cn.execute(QStringLiteral("INSERT INTO longs VALUES (1, REPLICATE('z', 40000)), (2, NULL)")).bOk);
        }
        const QString sValeur = m_cn.valeurEntiere(sql);
        QCOMPARE(sValeur.size(), longueur);
        QVERIFY2(sValeur.endsWith(fin), qPrintable(sValeur.right(10)));
    }

    void errorNumbers_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("natif");
        QTest::newRow("CHECK constraint") << "INSERT INTO bornes VALUES (1, -1)" << 547;
        QTest::newRow("primary key") << "INSERT INTO mots VALUES (1, N'x', 'C')" << 2627;
        QTest::newRow("NOT NULL") << "INSERT INTO bornes VALUES (NULL, 1)" << 515;
        QTest::newRow("COMMIT without BEGIN") << "COMMIT" << 3902;
        QTest::newRow("ROLLBACK without BEGIN") << "ROLLBACK TRANSACTION" << 3903;
        QTest::newRow("conversion of a string") << "SELECT CONVERT(int, 'x')" << 245;
        QTest::newRow("+ of a word and a number") << "SELECT 'a' + 1" << 245;
        QTest::newRow("wrong number of arguments") << "SELECT ISNULL(1)" << 174;
        QTest::newRow("unknown type") << "SELECT CAST(1 AS entier)" << 243;
    }

    void errorNumbers()
    {
        QFETCH(QString, sql);
        QFETCH(int, natif);
        const Resultat r = m_cn.execute(sql);
        QVERIFY(!r.bOk);
        QCOMPARE(r.lNatif, natif);
    }

private:
    std::unique_ptr<StandIn> m_standin;
    Connexion m_cn;
};

QTEST_GUILESS_MAIN(TestStandinDialecte)
#include "test_standin_dialecte.moc"
