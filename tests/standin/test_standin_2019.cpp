// The 2019 profile of the stand-in: schemas, the sys catalogue views, internal
// base tables, per-database collations and code pages, through unixODBC and
// the FreeTDS driver.
#include "odbcdirect.h"
#include "standin.h"

#include <QtTest>

using namespace odbcdirect;

namespace {
// The system-mode union as the completion sends it from 2005 on, and with the
// third piece of SQL Server 2000 (sysobjects type 'S'), in each case with or
// without COLLATE DATABASE_DEFAULT.
QString unionSysteme(const QString &sPrefixe, bool bCollate, bool bVuesSysteme)
{
    const QString collate = bCollate ? QStringLiteral(" COLLATE DATABASE_DEFAULT") : QString();
    const QString troisieme = bVuesSysteme
        ? QStringLiteral("SELECT name%1, 'S' AS Col, SCHEMA_NAME(schema_id) FROM sys.system_views WHERE name LIKE N'%2%'")
        : QStringLiteral("SELECT name, type AS Col, N''%1 FROM sysobjects WHERE type IN ('S') AND name LIKE N'%2%'");
    return QStringLiteral("SELECT srvname%1 AS name, 'serveurs' AS Col, N'' AS Proprietaire FROM master.dbo.sysservers "
                          "WHERE srvname LIKE N'%2%'  UNION ALL SELECT name%1, 'bases' AS Col, N'' FROM "
                          "master.dbo.sysdatabases WHERE name LIKE N'%2%'  UNION ALL ")
               .arg(collate, sPrefixe)
           + troisieme.arg(bVuesSysteme ? collate : QString(), sPrefixe) + QStringLiteral(" ORDER BY name");
}

QString colonnes(const QString &sCatalogue, const QString &sObjet)
{
    return QStringLiteral("SELECT name, 'colonnes' AS Col FROM %1 WHERE id = OBJECT_ID(N'%2') ORDER BY name")
        .arg(sCatalogue, sObjet);
}

QStringList lignesDe(const Resultat &r)
{
    QStringList l;
    for (const QStringList &ligne : r.lignes)
        l << ligne.join(QLatin1Char('|'));
    return l;
}
}

class TestStandin2019 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        StandIn::Options options;
        options.profil = QStringLiteral("2019");
        m_standin = std::make_unique<StandIn>(options);
        QVERIFY2(m_standin->isRunning(), qPrintable(m_standin->output()));
        for (const char *base : {"master", "Ventes", "Entrepot"}) {
            auto cn = std::make_shared<Connexion>();
            const Resultat r = cn->ouvre(chaine(m_standin->port(), QStringLiteral("Mirabel4"), QLatin1String(base)));
            QVERIFY2(r.bOk, qPrintable(r.sMessage));
            m_connexions.insert(QLatin1String(base), cn);
        }
    }

    void version()
    {
        Connexion &cn = *m_connexions.value(QStringLiteral("Ventes"));
        QCOMPARE(cn.info(SQL_DBMS_VER), QStringLiteral("15.00.2000"));
        const Resultat r = cn.execute(QStringLiteral("SELECT CAST(SERVERPROPERTY('ProductVersion') AS nvarchar(128)), "
                                                     "SERVERPROPERTY('Collation'), @@VERSION"));
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        QCOMPARE(r.lignes.value(0).value(0), QStringLiteral("15.0.2000.5"));
        QCOMPARE(r.lignes.value(0).value(1), QStringLiteral("SQL_Latin1_General_CP1_CI_AS"));
        QVERIFY2(r.lignes.value(0).value(2).startsWith(QLatin1String("Microsoft SQL Server 2019 (RTM) - 15.0.2000.5")),
                 qPrintable(r.lignes.value(0).value(2)));
    }

    void catalogue_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("lignes");

        // Schemas: the same name in two of them, each with its own columns.
        QTest::newRow("objects with their schema")
            << "Ventes" << "SELECT name, type AS Col, SCHEMA_NAME(uid) AS Proprietaire FROM sysobjects WHERE type IN "
                          "('U','V') AND name LIKE N'cl%' ORDER BY name, Proprietaire"
            << QStringList{"clients|U |Compta", "clients|U |dbo", "clients_archives|U |dbo", "Clients_Été|U |dbo"};
        QTest::newRow("tables of one schema")
            << "Ventes" << "SELECT name FROM sysobjects WHERE type IN ('U','V') AND uid = SCHEMA_ID(N'Compta') ORDER BY name"
            << QStringList{"clients", "factures", "reglements"};
        QTest::newRow("tables of one schema of another database")
            << "master" << "SELECT name FROM [Ventes].dbo.sysobjects WHERE type IN ('U','V') AND uid IN (SELECT "
                          "schema_id FROM [Ventes].sys.schemas WHERE name = N'dbo') AND name LIKE N'cl%' ORDER BY name"
            << QStringList{"clients", "clients_archives", "Clients_Été"};
        QTest::newRow("no user Compta: USER_NAME of a schema id")
            << "Ventes" << "SELECT USER_NAME(5), USER_ID(N'Compta'), SCHEMA_NAME(5), SCHEMA_ID(N'sys')"
            << QStringList{"<NULL>|<NULL>|Compta|4"};
        const QStringList clients{"date_creation|colonnes", "email|colonnes", "id|colonnes", "nom|colonnes",
                                  "pays|colonnes", "ville|colonnes"};
        QTest::newRow("columns: unqualified") << "Ventes" << colonnes("syscolumns", "clients") << clients;
        QTest::newRow("columns: schema.table")
            << "Ventes" << colonnes("syscolumns", "Compta.clients")
            << QStringList{"id|colonnes", "raison_sociale|colonnes", "solde|colonnes"};
        QTest::newRow("columns: bracketed name") << "Ventes" << colonnes("syscolumns", "[lignes de commande]")
                                                 << QStringList{"commande_id|colonnes", "prix_unitaire|colonnes",
                                                                "produit_id|colonnes", "quantite|colonnes"};
        QTest::newRow("columns: db.dbo.table") << "Ventes" << colonnes("syscolumns", "Ventes.dbo.clients") << clients;
        QTest::newRow("columns: db..table") << "Ventes" << colonnes("syscolumns", "Ventes..clients") << clients;
        QTest::newRow("columns: of another database")
            << "master" << colonnes("[Ventes].dbo.syscolumns", "Ventes.Compta.clients")
            << QStringList{"id|colonnes", "raison_sociale|colonnes", "solde|colonnes"};
        QTest::newRow("columns: of a compatibility view of master")
            << "Ventes" << "SELECT name FROM master.dbo.syscolumns WHERE id = OBJECT_ID(N'master.dbo.sysobjects') AND "
                          "name LIKE N'x%' ORDER BY name"
            << QStringList{"xtype"};
        QTest::newRow("columns: non-Latin table") << "Ventes" << colonnes("syscolumns", "Προϊόντα")
                                                  << QStringList{"κωδικός|colonnes", "όνομα|colonnes", "τιμή|colonnes"};
        QTest::newRow("schema.table in FROM, named by its table")
            << "Ventes" << "SELECT clients.raison_sociale FROM Compta.clients WHERE clients.id = 2"
            << QStringList{"Petit SARL"};
        QTest::newRow("db.schema.table joined to dbo")
            << "master" << "SELECT count(*) FROM Ventes.Compta.factures f JOIN Ventes.dbo.clients c ON c.id = f.client_id"
            << QStringList{"30"};

        // The sys schema: catalogue views and compatibility views.
        QTest::newRow("sys.objects with sys.schemas")
            << "Ventes" << "SELECT o.name, s.name FROM sys.objects o JOIN sys.schemas s ON s.schema_id = o.schema_id "
                          "WHERE o.type = 'U' AND o.name LIKE N'c%' ORDER BY o.name, s.name"
            << QStringList{"clients|Compta", "clients|dbo", "clients_archives|dbo", "Clients_Été|dbo", "commandes|dbo"};
        QTest::newRow("sys.columns") << "Ventes" << "SELECT name FROM sys.columns WHERE object_id = OBJECT_ID(N'produits') "
                                                    "ORDER BY column_id"
                                     << QStringList{"id", "nom", "categorie", "prix", "stock"};
        QTest::newRow("sys.databases and their collations")
            << "Ventes" << "SELECT name, collation_name FROM sys.databases WHERE name IN (N'master', N'Ventes', "
                          "N'Entrepot') ORDER BY name"
            << QStringList{"Entrepot|Latin1_General_CS_AS", "master|SQL_Latin1_General_CP1_CI_AS", "Ventes|French_CI_AS"};
        QTest::newRow("sys.foreign_key_columns: two-column key of a schema")
            << "Ventes" << "SELECT SCHEMA_NAME(p.schema_id), p.name, cp.name, r.name, cr.name, k.constraint_column_id "
                          "FROM sys.foreign_key_columns k JOIN sys.objects p ON p.object_id = k.parent_object_id "
                          "JOIN sys.columns cp ON cp.object_id = k.parent_object_id AND cp.column_id = k.parent_column_id "
                          "JOIN sys.objects r ON r.object_id = k.referenced_object_id JOIN sys.columns cr ON "
                          "cr.object_id = k.referenced_object_id AND cr.column_id = k.referenced_column_id "
                          "WHERE p.name = N'reglements' ORDER BY k.constraint_column_id"
            << QStringList{"Compta|reglements|facture_id|factures|id|1",
                           "Compta|reglements|client_id|factures|client_id|2"};
        QTest::newRow("sys.foreign_keys")
            << "Ventes" << "SELECT OBJECT_NAME(parent_object_id), OBJECT_NAME(referenced_object_id), type_desc "
                          "FROM sys.foreign_keys ORDER BY 1, 2"
            << QStringList{"commandes|clients|FOREIGN_KEY_CONSTRAINT", "factures|clients|FOREIGN_KEY_CONSTRAINT",
                           "lignes de commande|commandes|FOREIGN_KEY_CONSTRAINT",
                           "lignes de commande|produits|FOREIGN_KEY_CONSTRAINT",
                           "reglements|factures|FOREIGN_KEY_CONSTRAINT"};
        QTest::newRow("sys.foreign_key_columns of another database")
            << "master" << "SELECT count(*) FROM Ventes.sys.foreign_key_columns" << QStringList{"6"};
        QTest::newRow("sys.system_views: schema sys")
            << "Ventes" << "SELECT name, SCHEMA_NAME(schema_id) FROM sys.system_views WHERE name LIKE N'sysc%' ORDER BY name"
            << QStringList{"syscharsets|sys", "syscolumns|sys", "syscomments|sys", "sysconfigures|sys"};
        QTest::newRow("compatibility view as sys.x") << "Ventes" << "SELECT count(*) FROM sys.sysobjects WHERE name = N'clients'"
                                                    << QStringList{"2"};
        QTest::newRow("compatibility view as dbo.x") << "Ventes" << "SELECT name FROM dbo.sysusers WHERE uid = 4"
                                                    << QStringList{"sys"};
        QTest::newRow("compatibility view as db..x") << "master" << "SELECT name FROM Ventes..sysusers WHERE uid = 1"
                                                    << QStringList{"dbo"};
        QTest::newRow("server's view from a user database")
            << "Ventes" << "SELECT name FROM Ventes.dbo.sysdatabases WHERE name LIKE N'E%'" << QStringList{"Entrepot"};
        QTest::newRow("compatibility views are not in sysobjects")
            << "Ventes" << "SELECT name FROM sysobjects WHERE name IN (N'sysobjects', N'syscolumns')" << QStringList();
        QTest::newRow("sysobjects type S: internal base tables")
            << "Ventes" << "SELECT name, SCHEMA_NAME(uid) FROM sysobjects WHERE type IN ('S') AND name LIKE N'sysr%' "
                          "ORDER BY name"
            << QStringList{"sysremsvcbinds|sys", "sysrowsetrefs|sys", "sysrowsets|sys", "sysrscols|sys", "sysrts|sys"};
        QTest::newRow("object ids of system views and base tables")
            << "Ventes" << "SELECT CASE WHEN OBJECT_ID(N'sys.objects') < 0 THEN 1 ELSE 0 END, "
                          "CASE WHEN OBJECT_ID(N'dbo.sysobjects') = OBJECT_ID(N'sys.sysobjects') THEN 1 ELSE 0 END, "
                          "OBJECT_ID(N'sysschobjs'), OBJECT_NAME(34)"
            << QStringList{"1|1|34|sysschobjs"};

        // System mode: the union of master's names and the current database's.
        QTest::newRow("system union from 2005 on")
            << "Ventes" << unionSysteme("ma", true, true) << QStringList{"master|bases|"};
        QTest::newRow("system union, system views")
            << "Ventes" << unionSysteme("sysf", true, true)
            << QStringList{"sysfilegroups|S|sys", "sysfiles|S|sys", "sysforeignkeys|S|sys", "sysfulltextcatalogs|S|sys"};
        QTest::newRow("system union of SQL Server 2000's form, with COLLATE")
            << "Ventes" << unionSysteme("sysr", true, false)
            << QStringList{"sysremsvcbinds|S |", "sysrowsetrefs|S |", "sysrowsets|S |", "sysrscols|S |", "sysrts|S |"};
        QTest::newRow("same collations need no COLLATE")
            << "master" << unionSysteme("ma", false, false) << QStringList{"master|bases|"};
        QTest::newRow("COLLATE with a collation name")
            << "Ventes" << "SELECT name COLLATE Latin1_General_CS_AS FROM master.dbo.sysdatabases WHERE name LIKE N'm%' "
                          "UNION ALL SELECT name FROM sysobjects WHERE name = N'produits' ORDER BY 1"
            << QStringList{"master", "model", "msdb", "produits"};

        // Code pages: '...' literals pass through Windows-1252, N'...' ones do not.
        QTest::newRow("Greek in a '...' literal") << "Ventes" << "SELECT name FROM sysobjects WHERE name LIKE 'Προ%'"
                                                  << QStringList();
        QTest::newRow("Greek in an N'...' literal") << "Ventes" << "SELECT name FROM sysobjects WHERE name LIKE N'Προ%'"
                                                    << QStringList{"Προϊόντα"};
        QTest::newRow("literal converted, characters of the code page kept")
            << "Ventes" << "SELECT 'Προϊόντα', 'crème brûlée €', N'Προϊόντα'"
            << QStringList{"????????|crème brûlée €|Προϊόντα"};
        QTest::newRow("Greek data") << "Ventes" << "SELECT όνομα FROM Προϊόντα WHERE κωδικός = 2" << QStringList{"Φέτα"};

        // A case-sensitive database: names, comparisons and order follow letter case.
        QTest::newRow("case-sensitive: exact column name")
            << "Entrepot" << colonnes("syscolumns", "articles")
            << QStringList{"id|colonnes", "libelle|colonnes", "Quantite|colonnes", "Reference|colonnes"};
        QTest::newRow("case-sensitive: object name in another case")
            << "Entrepot" << colonnes("syscolumns", "ARTICLES") << QStringList();
        QTest::newRow("case-sensitive: LIKE") << "Entrepot" << "SELECT libelle FROM articles WHERE libelle LIKE N'vis%'"
                                              << QStringList{"vis à bois"};
        QTest::newRow("case-sensitive: equality")
            << "Entrepot" << "SELECT id FROM articles WHERE libelle IN (N'VIS PLATE', N'vis plate')" << QStringList{"3"};
        QTest::newRow("case-sensitive: order, lower case first")
            << "Entrepot" << "SELECT Allee FROM emplacements ORDER BY Allee, id" << QStringList{"A", "A", "b", "B"};
        QTest::newRow("case-sensitive: order of names")
            << "Entrepot" << "SELECT libelle FROM articles ORDER BY libelle"
            << QStringList{"écrou", "vis à bois", "Vis à métaux", "VIS PLATE"};
        QTest::newRow("case-insensitive database beside it")
            << "Ventes" << "SELECT count(*) FROM sysobjects WHERE name = N'CLIENTS'" << QStringList{"2"};
    }

    void catalogue()
    {
        QFETCH(QString, base);
        QFETCH(QString, sql);
        QFETCH(QStringList, lignes);
        const Resultat r = m_connexions.value(base)->execute(sql);
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        QCOMPARE(lignesDe(r), lignes);
    }

    void errors_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("message");
        QTest::newRow("internal base table") << "Ventes" << "SELECT * FROM sysschobjs" << 208
                                             << "Invalid object name 'sysschobjs'.";
        QTest::newRow("internal base table as sys.x") << "master" << "SELECT name FROM sys.sysrowsets" << 208
                                                      << "Invalid object name 'sys.sysrowsets'.";
        QTest::newRow("table of a schema, unqualified") << "Ventes" << "SELECT * FROM factures" << 208
                                                        << "Invalid object name 'factures'.";
        QTest::newRow("unknown schema") << "Ventes" << "SELECT * FROM Paie.clients" << 208
                                        << "Invalid object name 'Paie.clients'.";
        QTest::newRow("collation conflict in the system union")
            << "Ventes" << unionSysteme("ma", false, false) << 468
            << "Cannot resolve the collation conflict between \"SQL_Latin1_General_CP1_CI_AS\" and \"French_CI_AS\" in "
               "the UNION ALL operation.";
        QTest::newRow("collation conflict with the system views")
            << "Ventes" << unionSysteme("ma", false, true) << 468 << "\"French_CI_AS\" in the UNION ALL operation.";
        QTest::newRow("collation conflict, case-sensitive database")
            << "Entrepot" << "SELECT name FROM sysobjects UNION SELECT name FROM master.dbo.sysdatabases" << 468
            << "between \"Latin1_General_CS_AS\" and \"SQL_Latin1_General_CP1_CI_AS\" in the UNION operation.";
        QTest::newRow("unknown collation") << "Ventes" << "SELECT name COLLATE Klingon_CI_AS FROM sysobjects" << 448
                                           << "Invalid collation 'Klingon_CI_AS'.";
        QTest::newRow("case-sensitive: ID for id")
            << "Entrepot" << "SELECT name, 'colonnes' AS Col FROM syscolumns WHERE ID = OBJECT_ID('articles') ORDER BY name"
            << 207 << "Invalid column name 'ID'.";
        QTest::newRow("case-sensitive: table in another case") << "Entrepot" << "SELECT * FROM Articles" << 208
                                                               << "Invalid object name 'Articles'.";
        QTest::newRow("case-sensitive: column in another case") << "Entrepot" << "SELECT allee FROM emplacements" << 207
                                                                << "Invalid column name 'allee'.";
    }

    void errors()
    {
        QFETCH(QString, base);
        QFETCH(QString, sql);
        QFETCH(int, numero);
        QFETCH(QString, message);
        Connexion &cn = *m_connexions.value(base);
        const Resultat r = cn.execute(sql);
        QVERIFY(!r.bOk);
        QCOMPARE(r.lNatif, numero);
        QVERIFY2(r.sMessage.contains(message), qPrintable(r.sMessage));
        QVERIFY(cn.execute(QStringLiteral("SELECT 1")).bOk);
    }

    void createdTablesTakeTheDatabaseCollation()
    {
        Connexion &cn = *m_connexions.value(QStringLiteral("Entrepot"));
        QVERIFY(cn.execute(QStringLiteral("CREATE TABLE essai_casse (id int NOT NULL PRIMARY KEY, code nvarchar(10))")).bOk);
        QVERIFY(cn.execute(QStringLiteral("INSERT INTO essai_casse VALUES (1, N'abc'), (2, N'ABC')")).bOk);
        const Resultat r = cn.execute(QStringLiteral("SELECT id FROM essai_casse WHERE code = N'abc'"));
        QCOMPARE(premiereColonne(r), QStringList{"1"});
        const Resultat c = cn.execute(QStringLiteral("SELECT collation FROM syscolumns WHERE id = OBJECT_ID(N'essai_casse') "
                                                     "AND name = N'code'"));
        QCOMPARE(premiereColonne(c), QStringList{"Latin1_General_CS_AS"});
        QVERIFY(cn.execute(QStringLiteral("DROP TABLE essai_casse")).bOk);
    }

    void tableCreatedInASchema()
    {
        Connexion &cn = *m_connexions.value(QStringLiteral("Ventes"));
        QVERIFY(cn.execute(QStringLiteral("CREATE TABLE Compta.essai_schema (id int NOT NULL PRIMARY KEY, libelle nvarchar(20))")).bOk);
        QVERIFY(cn.execute(QStringLiteral("INSERT INTO Compta.essai_schema VALUES (1, N'un')")).bOk);
        const Resultat o = cn.execute(QStringLiteral("SELECT SCHEMA_NAME(uid) FROM sysobjects WHERE name = N'essai_schema'"));
        QCOMPARE(premiereColonne(o), QStringList{"Compta"});
        QCOMPARE(premiereColonne(cn.execute(colonnes("syscolumns", "Compta.essai_schema"))),
                 (QStringList{"id", "libelle"}));
        QVERIFY(cn.execute(QStringLiteral("DROP TABLE Compta.essai_schema")).bOk);
        QCOMPARE(premiereColonne(cn.execute(QStringLiteral("SELECT count(*) FROM sysobjects WHERE name = N'essai_schema'"))),
                 QStringList{"0"});
    }

private:
    std::unique_ptr<StandIn> m_standin;
    QHash<QString, std::shared_ptr<Connexion>> m_connexions;
};

QTEST_GUILESS_MAIN(TestStandin2019)
#include "test_standin_2019.moc"
