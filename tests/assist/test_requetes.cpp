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
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("requete");
    QTest::addColumn<QString>("filtree");

    const QString T8 = "SELECT name, type AS Col, USER_NAME(uid) AS Proprietaire FROM sysobjects WHERE type IN ('U','V') ";
    const QString T9 = "SELECT name, type AS Col, SCHEMA_NAME(uid) AS Proprietaire FROM sysobjects WHERE type IN ('U','V') ";
    const QString C = "SELECT name, 'colonnes' AS Col FROM syscolumns WHERE id = OBJECT_ID(N'%1') ";
    const QString S1 = "SELECT srvname COLLATE DATABASE_DEFAULT AS name, 'serveurs' AS Col, N'' AS Proprietaire FROM master.dbo.sysservers ";
    const QString S2 = "SELECT name COLLATE DATABASE_DEFAULT, 'bases' AS Col, N'' FROM master.dbo.sysdatabases ";
    const QString S8 = "SELECT name COLLATE DATABASE_DEFAULT, type AS Col, N'' FROM sysobjects WHERE type IN ('S') ";
    const QString S9 = "SELECT name COLLATE DATABASE_DEFAULT, 'S' AS Col, SCHEMA_NAME(schema_id) COLLATE DATABASE_DEFAULT FROM sys.system_views ";
    const QString U = " UNION ALL ";
    const QString O = "ORDER BY name";

    QTest::newRow("tables and views with their owner, prefix as a Unicode literal")
        << 8 << "" << "cl" << false << 8 << T8 + O << T8 + "AND name LIKE N'cl%' " + O;
    QTest::newRow("owners are schemas from 2005 on")
        << 8 << "" << "cl" << false << 15 << T9 + O << T9 + "AND name LIKE N'cl%' " + O;
    QTest::newRow("an unknown version is taken as 2000")
        << 8 << "" << "" << false << 0 << T8 + O << T8 + "AND name LIKE N'%' " + O;
    QTest::newRow("non-Latin prefix kept as typed")
        << 8 << "" << "Προ" << false << 15 << T9 + O << T9 + "AND name LIKE N'Προ%' " + O;
    QTest::newRow("columns of an object, id as the column is named")
        << 4 << "clients" << "na" << false << 8 << C.arg("clients") + O
        << C.arg("clients") + "AND name LIKE N'na%' " + O;
    QTest::newRow("columns of a bracketed object")
        << 4 << "[order details]" << "qu" << false << 15 << C.arg("[order details]") + O
        << C.arg("[order details]") + "AND name LIKE N'qu%' " + O;
    QTest::newRow("columns in system mode are the same")
        << 4 << "t" << "" << true << 8 << C.arg("t") + O << C.arg("t") + "AND name LIKE N'%' " + O;
    QTest::newRow("system kinds on 2000: system tables, names under one collation")
        << 11 << "" << "ma" << true << 8 << S1 + U + S2 + U + S8 + O
        << S1 + "WHERE srvname LIKE N'ma%' " + U + S2 + "WHERE name LIKE N'ma%' " + U + S8 + "AND name LIKE N'ma%' " + O;
    QTest::newRow("system kinds from 2005 on: system views")
        << 11 << "" << "ma" << true << 15 << S1 + U + S2 + U + S9 + O
        << S1 + "WHERE srvname LIKE N'ma%' " + U + S2 + "WHERE name LIKE N'ma%' " + U + S9 + "WHERE name LIKE N'ma%' " + O;
    QTest::newRow("quote in prefix is doubled")
        << 8 << "" << "o'b" << false << 8 << T8 + O << T8 + "AND name LIKE N'o''b%' " + O;
    QTest::newRow("quote cannot end the literal early")
        << 8 << "" << "x' OR 1=1 --" << false << 8 << T8 + O << T8 + "AND name LIKE N'x'' OR 1=1 --%' " + O;
    QTest::newRow("quote in object and prefix are doubled")
        << 4 << "o'brien" << "n'a" << false << 8 << C.arg("o''brien") + O << C.arg("o''brien") + "AND name LIKE N'n''a%' " + O;
    QTest::newRow("quote in system kinds prefix doubled in every piece")
        << 11 << "" << "'" << true << 8 << S1 + U + S2 + U + S8 + O
        << S1 + "WHERE srvname LIKE N'''%' " + U + S2 + "WHERE name LIKE N'''%' " + U + S8 + "AND name LIKE N'''%' " + O;
    QTest::newRow("wildcards in prefix match literally")
        << 8 << "" << "a_b%c[d" << false << 8 << T8 + O << T8 + "AND name LIKE N'a[_]b[%]c[[]d%' " + O;
    QTest::newRow("closing bracket and other characters unchanged")
        << 8 << "" << "a]b-c*" << false << 8 << T8 + O << T8 + "AND name LIKE N'a]b-c*%' " + O;
    QTest::newRow("wildcards in the object name left alone")
        << 4 << "t_1" << "" << false << 8 << C.arg("t_1") + O << C.arg("t_1") + "AND name LIKE N'%' " + O;
    QTest::newRow("no kind gives no query") << 0 << "" << "x" << false << 8 << "" << "";
}

void TestRequetes::textes()
{
    QFETCH(int, types);
    QFETCH(QString, objet);
    QFETCH(QString, prefixe);
    QFETCH(bool, systeme);
    QFETCH(int, version);
    QFETCH(QString, requete);
    QFETCH(QString, filtree);

    Contexte contexte;
    contexte.lTypes = types;
    contexte.sObjet = objet;
    contexte.sPrefixe = prefixe;
    const Requetes r = ConstruitRequetes(contexte, systeme, version);
    QCOMPARE(r.sRequete, requete);
    QCOMPARE(r.sRequeteFiltree, filtree);
}

QTEST_APPLESS_MAIN(TestRequetes)
#include "test_requetes.moc"
