// Reading the statement around the caret: aliases of the FROM clause, and
// the queries a dotted word is tried with.
#include "alias.h"
#include "tentatives.h"

#include <QtTest>

class TestAlias : public QObject
{
    Q_OBJECT
private slots:
    void alias_data();
    void alias();
    void tentatives_data();
    void tentatives();
};

// A caret marked "|" in the text; the alias looked for.
void TestAlias::alias_data()
{
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QString>("alias");
    QTest::addColumn<QString>("objet");

    QTest::newRow("FROM x a") << "SELECT c.| FROM clients c" << "c" << "clients";
    QTest::newRow("FROM x AS a") << "SELECT c.| FROM clients AS c" << "c" << "clients";
    QTest::newRow("alias defined before the caret") << "SELECT * FROM clients c WHERE c.|" << "c" << "clients";
    QTest::newRow("letter case aside") << "SELECT C.| FROM clients c" << "C" << "clients";
    QTest::newRow("JOIN with a bracketed name")
        << "SELECT l.| FROM commandes o JOIN [lignes de commande] l ON l.commande_id = o.id" << "l"
        << "[lignes de commande]";
    QTest::newRow("the first table of a join") << "SELECT o.| FROM commandes o JOIN clients c ON 1=1" << "o" << "commandes";
    QTest::newRow("three-part name") << "SELECT c.| FROM Ventes.dbo.clients c" << "c" << "Ventes.dbo.clients";
    QTest::newRow("comma list after FROM") << "SELECT p.| FROM clients c, produits p" << "p" << "produits";
    QTest::newRow("UPDATE alias SET ... FROM")
        << "UPDATE c SET c.| = 1 FROM clients c WHERE c.id = 2" << "c" << "clients";
    QTest::newRow("DELETE alias FROM") << "DELETE c FROM clients c WHERE c.|" << "c" << "clients";
    QTest::newRow("MERGE INTO and USING")
        << "MERGE INTO clients AS cible USING clients_archives AS src ON cible.id = src.|" << "src"
        << "clients_archives";
    QTest::newRow("bracketed alias") << "SELECT [c].| FROM clients [c]" << "c" << "clients";
    QTest::newRow("a clause word is no alias") << "SELECT where.| FROM clients WHERE 1=1" << "where" << "";
    QTest::newRow("a table without alias") << "SELECT clients.| FROM clients" << "clients" << "";
    QTest::newRow("other statement after a semicolon")
        << "SELECT c.|; SELECT * FROM clients c" << "c" << "";
    QTest::newRow("other statement before a semicolon")
        << "SELECT * FROM clients c; SELECT c.|" << "c" << "";
    QTest::newRow("other batch after GO")
        << "SELECT c.|\r\nGO\r\nSELECT * FROM clients c" << "c" << "";
    QTest::newRow("GO with a count ends the batch too")
        << "SELECT * FROM clients c\r\nGO 2\r\nSELECT c.|" << "c" << "";
    QTest::newRow("GO inside a name does not end it")
        << "SELECT c.| FROM clients c\r\nWHERE GOAL = 1" << "c" << "clients";
    QTest::newRow("FROM inside a literal is not read")
        << "SELECT c.|, 'FROM produits c' FROM clients c" << "c" << "clients";
    QTest::newRow("FROM inside a comment is not read")
        << "SELECT c.| -- FROM produits c\r\nFROM clients c" << "c" << "clients";
    QTest::newRow("alias of a subquery's table")
        << "SELECT * FROM (SELECT x.| FROM produits x) t" << "x" << "produits";
    QTest::newRow("no such alias") << "SELECT z.| FROM clients c" << "z" << "";
}

void TestAlias::alias()
{
    QFETCH(QString, texte);
    QFETCH(QString, alias);
    QFETCH(QString, objet);
    const int lCaret = int(texte.indexOf(QLatin1Char('|')));
    texte.remove(lCaret, 1);
    QCOMPARE(ObjetDeLAlias(texte, lCaret, alias), objet);
}

// The filtered query of each attempt, in order, for a caret at "|" (or at the
// end); version 8 is SQL Server 2000, 15 is 2019.
void TestAlias::tentatives_data()
{
    QTest::addColumn<QString>("texte");
    QTest::addColumn<int>("version");
    QTest::addColumn<QStringList>("filtrees");

    const QString sColonnes = QStringLiteral(
        "SELECT name, 'colonnes' AS Col FROM syscolumns WHERE id = OBJECT_ID(N'%1') AND name LIKE N'%2%' ORDER BY name");
    const QString sSchema2000 = QStringLiteral(
        "SELECT name, type AS Col, N'' AS Proprietaire FROM sysobjects WHERE type IN ('U','V') AND uid = USER_ID(N'%1') "
        "AND name LIKE N'%2%' ORDER BY name");
    const QString sSchema2005 = QString(sSchema2000).replace(QLatin1String("USER_ID"), QLatin1String("SCHEMA_ID"));

    QTest::newRow("object mode: the plain query only")
        << "SELECT * FROM cl" << 8
        << QStringList{"SELECT name, type AS Col, USER_NAME(uid) AS Proprietaire FROM sysobjects WHERE type IN ('U','V') "
                       "AND name LIKE N'cl%' ORDER BY name"};
    QTest::newRow("a table: its columns, then a schema of that name")
        << "SELECT clients.n" << 8 << QStringList{sColonnes.arg("clients", "n"), sSchema2000.arg("clients", "n")};
    QTest::newRow("an alias first, as the server reads it")
        << "SELECT c.n| FROM clients c" << 8
        << QStringList{sColonnes.arg("clients", "n"), sColonnes.arg("c", "n"), sSchema2000.arg("c", "n")};
    QTest::newRow("a schema on 2005")
        << "SELECT * FROM Compta.f" << 15 << QStringList{sColonnes.arg("Compta", "f"), sSchema2005.arg("Compta", "f")};
    QTest::newRow("owner-qualified object, then database and schema")
        << "SELECT dbo.clients." << 8
        << QStringList{sColonnes.arg("dbo.clients", ""),
                       "SELECT name, type AS Col, N'' AS Proprietaire FROM [dbo].dbo.sysobjects WHERE type IN ('U','V') "
                       "AND uid IN (SELECT uid FROM [dbo].dbo.sysusers WHERE name = N'clients') AND name LIKE N'%' ORDER BY name"};
    QTest::newRow("database and schema on 2005")
        << "SELECT * FROM Ventes.dbo.c" << 15
        << QStringList{sColonnes.arg("Ventes.dbo", "c"),
                       "SELECT name, type AS Col, N'' AS Proprietaire FROM [Ventes].dbo.sysobjects WHERE type IN ('U','V') "
                       "AND uid IN (SELECT schema_id FROM [Ventes].sys.schemas WHERE name = N'dbo') AND name LIKE N'c%' "
                       "ORDER BY name"};
    QTest::newRow("database and default schema")
        << "SELECT * FROM Ventes..c" << 8
        << QStringList{"SELECT name, type AS Col, N'' AS Proprietaire FROM [Ventes].dbo.sysobjects WHERE type IN ('U','V') "
                       "AND uid IN (SELECT uid FROM [Ventes].dbo.sysusers WHERE name = N'dbo') AND name LIKE N'c%' "
                       "ORDER BY name"};
    QTest::newRow("object of another database")
        << "SELECT master.dbo.sysobjects.n" << 8
        << QStringList{"SELECT name, 'colonnes' AS Col FROM [master].dbo.syscolumns WHERE id = "
                       "OBJECT_ID(N'master.dbo.sysobjects') AND name LIKE N'n%' ORDER BY name"};
    QTest::newRow("alias of an object of another database")
        << "SELECT c.| FROM [Ma base].dbo.clients c" << 8
        << QStringList{"SELECT name, 'colonnes' AS Col FROM [Ma base].dbo.syscolumns WHERE id = "
                       "OBJECT_ID(N'[Ma base].dbo.clients') AND name LIKE N'%' ORDER BY name",
                       sColonnes.arg("c", ""), sSchema2000.arg("c", "")};
    QTest::newRow("quotes doubled everywhere")
        << "SELECT [o'b]..[x'y" << 8
        << QStringList{"SELECT name, type AS Col, N'' AS Proprietaire FROM [o'b].dbo.sysobjects WHERE type IN ('U','V') "
                       "AND uid IN (SELECT uid FROM [o'b].dbo.sysusers WHERE name = N'dbo') AND name LIKE N'x''y%' "
                       "ORDER BY name"};
    QTest::newRow("four parts: nothing to try") << "SELECT a.b.c.d.e" << 8 << QStringList{};
}

void TestAlias::tentatives()
{
    QFETCH(QString, texte);
    QFETCH(int, version);
    QFETCH(QStringList, filtrees);
    int lCaret = int(texte.indexOf(QLatin1Char('|')));
    if (lCaret < 0)
        lCaret = int(texte.size());
    else
        texte.remove(lCaret, 1);
    const Contexte contexte = AnalyseContexte(texte, lCaret, false);
    QStringList vues;
    for (const Requetes &r : Tentatives(contexte, false, version, texte, lCaret))
        vues << r.sRequeteFiltree;
    QCOMPARE(vues, filtrees);
}

QTEST_APPLESS_MAIN(TestAlias)
#include "test_alias.moc"
