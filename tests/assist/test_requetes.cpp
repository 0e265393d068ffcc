#include "requetes.h"

#include <QtTest>

class TestRequetes : public QObject
{
    Q_OBJECT

private slots:
    void textes_data();
    void textes();
};

void TestRequetes::textes_data()
{
    QTest::addColumn<int>("types");
    QTest::addColumn<QString>("objet");
    QTest::addColumn<QString>("prefixe");
    QTest::addColumn<bool>("systeme");
    QTest::addColumn<QString>("requete");
    QTest::addColumn<QString>("filtree");

    QTest::newRow("tables and views with prefix")
        << 8 << "" << "cl" << false
        << "SELECT name, type AS Col FROM sysobjects WHERE type IN ('U','V') ORDER BY name"
        << "SELECT name, type AS Col FROM sysobjects WHERE type IN ('U','V') AND name LIKE 'cl%' ORDER BY name";
    QTest::newRow("tables and views without prefix")
        << 8 << "" << "" << false
        << "SELECT name, type AS Col FROM sysobjects WHERE type IN ('U','V') ORDER BY name"
        << "SELECT name, type AS Col FROM sysobjects WHERE type IN ('U','V') AND name LIKE '%' ORDER BY name";
    QTest::newRow("columns of an object with prefix")
        << 4 << "clients" << "na" << false
        << "SELECT name, 'colonnes' AS Col FROM syscolumns WHERE ID = OBJECT_ID('clients') ORDER BY name"
        << "SELECT name, 'colonnes' AS Col FROM syscolumns WHERE ID = OBJECT_ID('clients') AND name LIKE 'na%' ORDER BY name";
    QTest::newRow("columns of a bracketed object")
        << 4 << "[order details]" << "qu" << false
        << "SELECT name, 'colonnes' AS Col FROM syscolumns WHERE ID = OBJECT_ID('[order details]') ORDER BY name"
        << "SELECT name, 'colonnes' AS Col FROM syscolumns WHERE ID = OBJECT_ID('[order details]') AND name LIKE 'qu%' ORDER BY name";
    QTest::newRow("columns in system mode are the same")
        << 4 << "t" << "" << true
        << "SELECT name, 'colonnes' AS Col FROM syscolumns WHERE ID = OBJECT_ID('t') ORDER BY name"
        << "SELECT name, 'colonnes' AS Col FROM syscolumns WHERE ID = OBJECT_ID('t') AND name LIKE '%' ORDER BY name";
    QTest::newRow("system kinds with prefix, two blanks before UNION ALL")
        << 11 << "" << "ma" << true
        << "SELECT srvname AS name, 'serveurs' AS Col FROM master.dbo.sysservers  UNION ALL SELECT name, 'bases' AS Col FROM master.dbo.sysdatabases  UNION ALL SELECT name, type AS Col FROM sysobjects WHERE type IN ('S') ORDER BY name"
        << "SELECT srvname AS name, 'serveurs' AS Col FROM master.dbo.sysservers WHERE srvname LIKE 'ma%'  UNION ALL SELECT name, 'bases' AS Col FROM master.dbo.sysdatabases WHERE name LIKE 'ma%'  UNION ALL SELECT name, type AS Col FROM sysobjects WHERE type IN ('S') AND name LIKE 'ma%' ORDER BY name";
    QTest::newRow("system kinds without prefix")
        << 11 << "" << "" << true
        << "SELECT srvname AS name, 'serveurs' AS Col FROM master.dbo.sysservers  UNION ALL SELECT name, 'bases' AS Col FROM master.dbo.sysdatabases  UNION ALL SELECT name, type AS Col FROM sysobjects WHERE type IN ('S') ORDER BY name"
        << "SELECT srvname AS name, 'serveurs' AS Col FROM master.dbo.sysservers WHERE srvname LIKE '%'  UNION ALL SELECT name, 'bases' AS Col FROM master.dbo.sysdatabases WHERE name LIKE '%'  UNION ALL SELECT name, type AS Col FROM sysobjects WHERE type IN ('S') AND name LIKE '%' ORDER BY name";
    QTest::newRow("quote in prefix is doubled")
        << 8 << "" << "o'b" << false
        << "SELECT name, type AS Col FROM sysobjects WHERE type IN ('U','V') ORDER BY name"
        << "SELECT name, type AS Col FROM sysobjects WHERE type IN ('U','V') AND name LIKE 'o''b%' ORDER BY name";
    QTest::newRow("quote cannot end the literal early")
        << 8 << "" << "x' OR 1=1 --" << false
        << "SELECT name, type AS Col FROM sysobjects WHERE type IN ('U','V') ORDER BY name"
        << "SELECT name, type AS Col FROM sysobjects WHERE type IN ('U','V') AND name LIKE 'x'' OR 1=1 --%' ORDER BY name";
    QTest::newRow("quote in object and prefix are doubled")
        << 4 << "o'brien" << "n'a" << false
        << "SELECT name, 'colonnes' AS Col FROM syscolumns WHERE ID = OBJECT_ID('o''brien') ORDER BY name"
        << "SELECT name, 'colonnes' AS Col FROM syscolumns WHERE ID = OBJECT_ID('o''brien') AND name LIKE 'n''a%' ORDER BY name";
    QTest::newRow("quote in system kinds prefix doubled in every piece")
        << 11 << "" << "'" << true
        << "SELECT srvname AS name, 'serveurs' AS Col FROM master.dbo.sysservers  UNION ALL SELECT name, 'bases' AS Col FROM master.dbo.sysdatabases  UNION ALL SELECT name, type AS Col FROM sysobjects WHERE type IN ('S') ORDER BY name"
        << "SELECT srvname AS name, 'serveurs' AS Col FROM master.dbo.sysservers WHERE srvname LIKE '''%'  UNION ALL SELECT name, 'bases' AS Col FROM master.dbo.sysdatabases WHERE name LIKE '''%'  UNION ALL SELECT name, type AS Col FROM sysobjects WHERE type IN ('S') AND name LIKE '''%' ORDER BY name";
    QTest::newRow("wildcards in prefix match literally")
        << 8 << "" << "a_b%c[d" << false
        << "SELECT name, type AS Col FROM sysobjects WHERE type IN ('U','V') ORDER BY name"
        << "SELECT name, type AS Col FROM sysobjects WHERE type IN ('U','V') AND name LIKE 'a[_]b[%]c[[]d%' ORDER BY name";
    QTest::newRow("quote and wildcard together")
        << 4 << "t" << "x'_" << false
        << "SELECT name, 'colonnes' AS Col FROM syscolumns WHERE ID = OBJECT_ID('t') ORDER BY name"
        << "SELECT name, 'colonnes' AS Col FROM syscolumns WHERE ID = OBJECT_ID('t') AND name LIKE 'x''[_]%' ORDER BY name";
    QTest::newRow("closing bracket and other characters unchanged")
        << 8 << "" << "a]b-c*" << false
        << "SELECT name, type AS Col FROM sysobjects WHERE type IN ('U','V') ORDER BY name"
        << "SELECT name, type AS Col FROM sysobjects WHERE type IN ('U','V') AND name LIKE 'a]b-c*%' ORDER BY name";
    QTest::newRow("wildcards in the object name left alone")
        << 4 << "t_1" << "" << false
        << "SELECT name, 'colonnes' AS Col FROM syscolumns WHERE ID = OBJECT_ID('t_1') ORDER BY name"
        << "SELECT name, 'colonnes' AS Col FROM syscolumns WHERE ID = OBJECT_ID('t_1') AND name LIKE '%' ORDER BY name";
    QTest::newRow("no kind gives no query") << 0 << "" << "x" << false << "" << "";
}

void TestRequetes::textes()
{
    QFETCH(int, types);
    QFETCH(QString, objet);
    QFETCH(QString, prefixe);
    QFETCH(bool, systeme);
    QFETCH(QString, requete);
    QFETCH(QString, filtree);

    Contexte contexte;
    contexte.lTypes = types;
    contexte.sObjet = objet;
    contexte.sPrefixe = prefixe;
    const Requetes r = ConstruitRequetes(contexte, systeme);
    QCOMPARE(r.sRequete, requete);
    QCOMPARE(r.sRequeteFiltree, filtree);
}

QTEST_APPLESS_MAIN(TestRequetes)
#include "test_requetes.moc"
