// The benchmark database Grande: its fixed naming and its size.
#include "odbcdirect.h"
#include "standin.h"

#include <QtTest>

using namespace odbcdirect;

class TestStandinLarge : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        StandIn::Options options;
        options.seedLarge = QStringLiteral("300,5000");
        m_standin = std::make_unique<StandIn>(options);
        QVERIFY2(m_standin->isRunning(), qPrintable(m_standin->output()));
        QVERIFY(m_grande.ouvre(chaine(m_standin->port(), QStringLiteral("Mirabel4"), QStringLiteral("Grande"))).bOk);
    }

    void shape_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("attendu");
        QTest::newRow("tables") << "SELECT count(*) FROM sysobjects WHERE type = 'U'" << QStringList{"300"};
        QTest::newRow("columns in all")
            << "SELECT count(*) FROM syscolumns c, sysobjects o WHERE c.id = o.id AND o.type = 'U'" << QStringList{"5000"};
        QTest::newRow("large500 has 500 columns")
            << "SELECT count(*), min(name), max(name) FROM syscolumns WHERE id = OBJECT_ID('large500')"
            << QStringList{"500", "col001", "col500"};
        QTest::newRow("prefix cible matches 50")
            << "SELECT count(*), min(name), max(name) FROM sysobjects WHERE type IN ('U','V') AND name LIKE 'cible%'"
            << QStringList{"50", "cible_01", "cible_50"};
        QTest::newRow("the rest are t00001...")
            << "SELECT count(*), min(name), max(name) FROM sysobjects WHERE name LIKE 't0%'"
            << QStringList{"249", "t00001", "t00249"};
        QTest::newRow("every table has a key to the next, the last to the first")
            << "SELECT count(*), count(DISTINCT k.rkeyid), min(OBJECT_NAME(k.rkeyid)) FROM sysforeignkeys k JOIN "
               "sysobjects o ON o.id = k.constid AND o.parent_obj = k.fkeyid AND o.type = 'F' WHERE k.fkey = 1 "
               "AND k.rkey = 1 AND k.keyno = 1 AND (k.rkeyid = k.fkeyid + 1 OR OBJECT_NAME(k.rkeyid) = 'large500')"
            << QStringList{"300", "300", "cible_01"};
    }

    void shape()
    {
        QFETCH(QString, sql);
        QFETCH(QStringList, attendu);
        const Resultat r = m_grande.execute(sql);
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        QCOMPARE(r.lignes.value(0), attendu);
    }

    void filteredCompletionQuery()
    {
        const Resultat r = m_grande.execute(QStringLiteral(
            "SELECT name, type AS Col FROM sysobjects WHERE type IN ('U','V') AND name LIKE 'CIBLE_0%' ORDER BY name"));
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        QStringList attendu;
        for (int i = 1; i <= 9; ++i)
            attendu << QStringLiteral("cible_0%1").arg(i);
        QCOMPARE(premiereColonne(r), attendu);
    }

    // The completion's unfiltered list of tables and views, whole and in
    // name order, in the server's default packets and in the largest ones.
    void wholeCompletionList_data()
    {
        QTest::addColumn<QString>("options");
        QTest::newRow("default packets") << "";
        QTest::newRow("32767-byte packets") << ";PacketSize=32767";
    }

    void wholeCompletionList()
    {
        QFETCH(QString, options);
        Connexion cn;
        const Resultat o = cn.ouvre(chaine(m_standin->port(), QStringLiteral("Mirabel4"), QStringLiteral("Grande")) + options);
        QVERIFY2(o.bOk, qPrintable(o.sMessage));
        const Resultat r = cn.execute(QStringLiteral(
            "SELECT name, type AS Col, USER_NAME(uid) AS Proprietaire FROM sysobjects WHERE type IN ('U','V') ORDER BY name"));
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        QCOMPARE(r.lignes.size(), 300);
        const QStringList noms = premiereColonne(r);
        QCOMPARE(noms.first(), QStringLiteral("cible_01"));
        QCOMPARE(noms.last(), QStringLiteral("t00249"));
        QStringList tries = noms;
        tries.sort(Qt::CaseInsensitive);
        QCOMPARE(noms, tries);
        for (const QStringList &ligne : r.lignes)
            QCOMPARE(ligne.value(2), QStringLiteral("dbo"));
    }

private:
    std::unique_ptr<StandIn> m_standin;
    Connexion m_grande;
};

QTEST_GUILESS_MAIN(TestStandinLarge)
#include "test_standin_large.moc"
