// The catalogue queries of the completion and the database list, and the
// T-SQL the stand-in accepts, through unixODBC and the FreeTDS driver.
#include "odbcdirect.h"
#include "standin.h"

#include <QtTest>

using namespace odbcdirect;

namespace {
// The catalogue queries exactly as the completion assembles them.
const QString serveurs = QStringLiteral("SELECT srvname AS name, 'serveurs' AS Col FROM master.dbo.sysservers ");
const QString bases = QStringLiteral("SELECT name, 'bases' AS Col FROM master.dbo.sysdatabases ");

QString objets(bool bSysteme)
{
    return QStringLiteral("SELECT name, type AS Col FROM sysobjects WHERE type IN (%1) ")
        .arg(bSysteme ? QStringLiteral("'S'") : QStringLiteral("'U','V'"));
}

QString colonnes(const QString &sObjet)
{
    return QStringLiteral("SELECT name, 'colonnes' AS Col FROM syscolumns WHERE ID = OBJECT_ID('%1') ").arg(sObjet);
}

QString requete(int lTypes, const QString &sObjet, const QString *prefixe)
{
    auto filtre = [&](const QString &ouvre) {
        return prefixe ? ouvre + *prefixe + QStringLiteral("%' ") : QString();
    };
    if (lTypes == 8)
        return objets(false) + filtre(QStringLiteral("AND name LIKE '")) + QStringLiteral("ORDER BY name");
    if (lTypes == 4)
        return colonnes(sObjet) + filtre(QStringLiteral("AND name LIKE '")) + QStringLiteral("ORDER BY name");
    return serveurs + filtre(QStringLiteral("WHERE srvname LIKE '")) + QStringLiteral(" UNION ALL ") + bases
           + filtre(QStringLiteral("WHERE name LIKE '")) + QStringLiteral(" UNION ALL ") + objets(true)
           + filtre(QStringLiteral("AND name LIKE '")) + QStringLiteral("ORDER BY name");
}

bool enOrdreSansCasse(const QStringList &noms)
{
    for (int i = 1; i < noms.size(); ++i)
        if (noms.at(i - 1).compare(noms.at(i), Qt::CaseInsensitive) > 0)
            return false;
    return true;
}
}

class TestStandinCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_standin = std::make_unique<StandIn>();
        QVERIFY2(m_standin->isRunning(), qPrintable(m_standin->output()));
        QVERIFY(m_ventes.ouvre(chaine(m_standin->port(), QStringLiteral("Mirabel4"), QStringLiteral("Ventes"))).bOk);
        QVERIFY(m_master.ouvre(chaine(m_standin->port(), QStringLiteral("Mirabel4"), QStringLiteral("master"))).bOk);
    }

    void exactQueryTexts()
    {
        // The texts above must be the very ones the completion sends, double blanks included.
        const QString prefixe = QStringLiteral("ma");
        QCOMPARE(requete(11, QString(), &prefixe),
                 QStringLiteral("SELECT srvname AS name, 'serveurs' AS Col FROM master.dbo.sysservers WHERE srvname "
                                "LIKE 'ma%'  UNION ALL SELECT name, 'bases' AS Col FROM master.dbo.sysdatabases WHERE "
                                "name LIKE 'ma%'  UNION ALL SELECT name, type AS Col FROM sysobjects WHERE type IN "
                                "('S') AND name LIKE 'ma%' ORDER BY name"));
        QCOMPARE(requete(8, QString(), nullptr),
                 QStringLiteral("SELECT name, type AS Col FROM sysobjects WHERE type IN ('U','V') ORDER BY name"));
    }

    void userObjects_data()
    {
        QTest::addColumn<QString>("prefixe");
        QTest::addColumn<bool>("filtre");
        QTest::addColumn<QStringList>("noms");
        QTest::addColumn<QStringList>("types");
        // factures and reglements belong to the owner Compta: sysobjects lists every owner's objects.
        const QStringList tous{"clients", "clients_archives", "Clients_Été", "commandes", "factures",
                               "lignes de commande", "produits", "reglements", "vue_ventes"};
        QTest::newRow("unfiltered: tables and view in name order")
            << "" << false << tous << QStringList{"U ", "U ", "U ", "U ", "U ", "U ", "U ", "U ", "V "};
        QTest::newRow("prefix cl: three tables") << "cl" << true
                                                 << QStringList{"clients", "clients_archives", "Clients_Été"}
                                                 << QStringList{"U ", "U ", "U "};
        QTest::newRow("prefix in upper case") << "CL" << true
                                              << QStringList{"clients", "clients_archives", "Clients_Été"}
                                              << QStringList{"U ", "U ", "U "};
        QTest::newRow("non-ASCII prefix in another case") << "CLIENTS_É" << true << QStringList{"Clients_Été"}
                                                          << QStringList{"U "};
        QTest::newRow("name with blanks") << "lignes d" << true << QStringList{"lignes de commande"}
                                          << QStringList{"U "};
        QTest::newRow("view") << "vue" << true << QStringList{"vue_ventes"} << QStringList{"V "};
        QTest::newRow("no match") << "zz" << true << QStringList() << QStringList();
        QTest::newRow("LIKE class") << "[pv]" << true << QStringList{"produits", "vue_ventes"}
                                    << QStringList{"U ", "V "};
    }

    void userObjects()
    {
        QFETCH(QString, prefixe);
        QFETCH(bool, filtre);
        QFETCH(QStringList, noms);
        QFETCH(QStringList, types);
        const Resultat r = m_ventes.execute(requete(8, QString(), filtre ? &prefixe : nullptr));
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        QCOMPARE(r.colonnes, (QStringList{"name", "Col"}));
        QCOMPARE(premiereColonne(r), noms);
        QStringList typesLus;
        for (const QStringList &ligne : r.lignes)
            typesLus << ligne.value(1);
        QCOMPARE(typesLus, types);
        QCOMPARE(r.lLignesTouchees, SQLLEN(noms.size()));
    }

    void columns_data()
    {
        QTest::addColumn<QString>("objet");
        QTest::addColumn<QString>("prefixe");
        QTest::addColumn<QStringList>("noms");
        const QStringList clients{"date_creation", "email", "id", "nom", "pays", "ville"};
        QTest::newRow("plain name") << "clients" << "" << clients;
        QTest::newRow("name in upper case") << "CLIENTS" << "" << clients;
        QTest::newRow("dbo. prefix") << "dbo.clients" << "" << clients;
        QTest::newRow("three-part name") << "Ventes.dbo.clients" << "" << clients;
        QTest::newRow("bracketed name with blanks") << "[lignes de commande]" << ""
                                                    << QStringList{"commande_id", "prix_unitaire", "produit_id", "quantite"};
        QTest::newRow("non-ASCII table and column") << "clients_été" << "" << QStringList{"id", "nom", "séjour", "ville"};
        QTest::newRow("table of another owner") << "Compta.factures" << ""
                                                << QStringList{"client_id", "date_facture", "id", "montant"};
        QTest::newRow("another owner's table, unqualified") << "factures" << "" << QStringList();
        QTest::newRow("filtered") << "clients" << "n" << QStringList{"nom"};
        QTest::newRow("filtered, nothing") << "clients" << "na" << QStringList();
        QTest::newRow("view columns") << "vue_ventes" << "pr"
                                      << QStringList{"prix_unitaire", "produit"};
        QTest::newRow("unknown object") << "inconnu" << "" << QStringList();
    }

    void columns()
    {
        QFETCH(QString, objet);
        QFETCH(QString, prefixe);
        QFETCH(QStringList, noms);
        const Resultat r = m_ventes.execute(requete(4, objet, prefixe.isEmpty() ? nullptr : &prefixe));
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        QCOMPARE(premiereColonne(r), noms);
        for (const QStringList &ligne : r.lignes)
            QCOMPARE(ligne.value(1), QStringLiteral("colonnes"));
    }

    void systemMode_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("prefixe");
        QTest::addColumn<QStringList>("attendus");
        QTest::addColumn<int>("nombre");
        QTest::newRow("unfiltered in Ventes: server, 5 databases, 19 system tables")
            << "Ventes" << "" << QStringList{"master", "msdb", "sysobjects", "syscolumns", "sysindexes"} << 25;
        QTest::newRow("prefix ma") << "Ventes" << "ma" << QStringList{"master"} << 1;
        QTest::newRow("prefix sysc") << "Ventes" << "sysc" << QStringList{"syscolumns", "syscomments"} << 2;
        QTest::newRow("prefix sysd in master") << "master" << "sysd"
                                               << QStringList{"sysdatabases", "sysdepends", "sysdevices"} << 3;
        QTest::newRow("prefix V: database Ventes") << "Ventes" << "Ven" << QStringList{"Ventes"} << 1;
    }

    void systemMode()
    {
        QFETCH(QString, base);
        QFETCH(QString, prefixe);
        QFETCH(QStringList, attendus);
        QFETCH(int, nombre);
        Connexion &cn = base == QLatin1String("master") ? m_master : m_ventes;
        const Resultat r = cn.execute(requete(11, QString(), prefixe.isEmpty() ? nullptr : &prefixe));
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        const QStringList noms = premiereColonne(r);
        QCOMPARE(noms.size(), nombre);
        QVERIFY2(enOrdreSansCasse(noms), qPrintable(noms.join(QLatin1Char(','))));
        for (const QString &attendu : attendus)
            QVERIFY2(noms.contains(attendu), qPrintable(attendu));
        int lServeurs = 0;
        for (const QStringList &ligne : r.lignes) {
            const QString col = ligne.value(1);
            QVERIFY2(col == QLatin1String("serveurs") || col == QLatin1String("bases") || col == QLatin1String("S "),
                     qPrintable(col));
            if (col == QLatin1String("serveurs"))
                ++lServeurs;
        }
        QCOMPARE(lServeurs, prefixe.isEmpty() ? 1 : 0);
    }

    void ownServerIsListed()
    {
        const Resultat r = m_ventes.execute(QStringLiteral("SELECT srvname, srvid FROM master.dbo.sysservers"));
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        QCOMPARE(r.lignes.size(), 1);
        QVERIFY(!r.lignes.at(0).at(0).isEmpty());
        QCOMPARE(r.lignes.at(0).at(1), QStringLiteral("0"));
        const Resultat nom = m_ventes.execute(QStringLiteral("SELECT @@SERVERNAME"));
        QCOMPARE(nom.lignes.value(0).value(0), r.lignes.at(0).at(0));
    }

    void catalogueEntries_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QString>("type");
        QTest::newRow("procedure") << "ps_liste_clients" << "P ";
        QTest::newRow("function") << "fn_total_commande" << "FN";
        QTest::newRow("trigger") << "tr_commandes_statut" << "TR";
        QTest::newRow("view") << "vue_ventes" << "V ";
        QTest::newRow("system table") << "sysindexes" << "S ";
        QTest::newRow("name in another case") << "CLIENTS" << "U ";
    }

    void catalogueEntries()
    {
        QFETCH(QString, nom);
        QFETCH(QString, type);
        const Resultat r = m_ventes.execute(QStringLiteral("SELECT type, xtype FROM sysobjects WHERE name = '%1'").arg(nom));
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        QCOMPARE(r.lignes.size(), 1);
        QCOMPARE(r.lignes.at(0).at(0), type);
        QCOMPARE(r.lignes.at(0).at(1), type);
    }

    void errors_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("message");
        QTest::newRow("misspelt keyword") << "SELEC name FROM clients" << 102 << "Incorrect syntax near 'SELEC'.";
        QTest::newRow("unknown table") << "SELECT * FROM nulle_part" << 208 << "Invalid object name 'nulle_part'.";
        QTest::newRow("unknown table, dbo.") << "SELECT * FROM dbo.nulle_part" << 208 << "Invalid object name 'nulle_part'.";
        QTest::newRow("unknown column") << "SELECT inconnue FROM clients" << 207 << "Invalid column name 'inconnue'.";
        QTest::newRow("quote in the prefix") << "SELECT name FROM sysobjects WHERE name LIKE 'l'a%' ORDER BY name"
                                             << 102 << "Incorrect syntax near 'a'.";
        QTest::newRow("unclosed string") << "SELECT name FROM sysobjects WHERE name LIKE 'cl%" << 105
                                         << "Unclosed quotation mark after the character string 'cl%'.";
        QTest::newRow("stored procedure") << "EXEC sp_who" << 2812 << "Could not find stored procedure 'sp_who'.";
        QTest::newRow("unknown database") << "SELECT * FROM Nulle.dbo.sysobjects" << 911 << "'Nulle'";
        QTest::newRow("another owner's table, unqualified") << "SELECT * FROM factures" << 208
                                                           << "Invalid object name 'factures'.";
        QTest::newRow("no sys schema before 2005") << "SELECT name FROM sys.objects" << 208
                                                   << "Invalid object name 'sys.objects'.";
        QTest::newRow("no SCHEMA_NAME before 2005") << "SELECT SCHEMA_NAME(1)" << 195 << "SCHEMA_NAME";
    }

    void errors()
    {
        QFETCH(QString, sql);
        QFETCH(int, numero);
        QFETCH(QString, message);
        const Resultat r = m_ventes.execute(sql);
        QVERIFY(!r.bOk);
        QCOMPARE(r.lNatif, numero);
        QVERIFY2(r.sMessage.contains(message), qPrintable(r.sMessage));
        // The connection stays usable after an error.
        QVERIFY(m_ventes.execute(QStringLiteral("SELECT 1")).bOk);
    }

    void columnTypes()
    {
        const Resultat r = m_ventes.execute(QStringLiteral(
            "SELECT TOP 1 c.id, c.nom, c.date_creation, p.prix, count(*) AS n FROM clients c, produits p "
            "WHERE p.id = 1 GROUP BY c.id, c.nom, c.date_creation, p.prix ORDER BY c.id"));
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        QCOMPARE(r.typesSql.value(0), SQLSMALLINT(SQL_INTEGER));
        QCOMPARE(r.typesSql.value(1), SQLSMALLINT(SQL_WVARCHAR));
        QCOMPARE(r.typesSql.value(2), SQLSMALLINT(SQL_TYPE_TIMESTAMP));
        QCOMPARE(r.typesSql.value(3), SQLSMALLINT(SQL_DOUBLE));
        QCOMPARE(r.typesSql.value(4), SQLSMALLINT(SQL_INTEGER));
        QCOMPARE(r.lignes.size(), 1);
        QCOMPARE(r.lignes.at(0).at(0), QStringLiteral("1"));
        QVERIFY2(r.lignes.at(0).at(2).startsWith(QLatin1String("2004-")), qPrintable(r.lignes.at(0).at(2)));
    }

    void topAndOrder()
    {
        const Resultat r = m_ventes.execute(QStringLiteral("SELECT TOP 5 id FROM commandes ORDER BY id DESC"));
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        QCOMPARE(premiereColonne(r), (QStringList{"120", "119", "118", "117", "116"}));
    }

    void threePartNamesFromMaster()
    {
        const Resultat r = m_master.execute(QStringLiteral("SELECT count(*) FROM Ventes.dbo.clients"));
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        const Resultat s = m_master.execute(QStringLiteral("SELECT count(*) FROM Ventes..[lignes de commande]"));
        QVERIFY2(s.bOk, qPrintable(s.sMessage));
        QCOMPARE(r.lignes.value(0).value(0), m_ventes.execute(QStringLiteral("SELECT count(*) FROM clients")).lignes.value(0).value(0));
        QVERIFY(s.lignes.value(0).value(0).toInt() > 0);
    }

    void dataChangesCountRows()
    {
        QVERIFY(m_ventes.execute(QStringLiteral("CREATE TABLE essai_comptes (id int NOT NULL PRIMARY KEY, v int)")).bOk);
        const Resultat ins = m_ventes.execute(QStringLiteral("INSERT INTO essai_comptes (id, v) VALUES (1, 10), (2, 20), (3, 30)"));
        QVERIFY2(ins.bOk, qPrintable(ins.sMessage));
        QCOMPARE(ins.lLignesTouchees, SQLLEN(3));
        const Resultat maj = m_ventes.execute(QStringLiteral("UPDATE dbo.essai_comptes SET v = v + 1 WHERE id >= 2"));
        QCOMPARE(maj.lLignesTouchees, SQLLEN(2));
        const Resultat sup = m_ventes.execute(QStringLiteral("DELETE FROM [essai_comptes] WHERE id = 1"));
        QCOMPARE(sup.lLignesTouchees, SQLLEN(1));
        QCOMPARE(premiereColonne(m_ventes.execute(QStringLiteral("SELECT v FROM essai_comptes ORDER BY id"))),
                 (QStringList{"21", "31"}));
        QVERIFY(m_ventes.execute(QStringLiteral("DROP TABLE essai_comptes")).bOk);
    }

    void createAndDropKeepCatalogue()
    {
        const Resultat cree = m_ventes.execute(QStringLiteral(
            "CREATE TABLE [Données Été] (id int IDENTITY(1,1) PRIMARY KEY, libellé nvarchar(30) NOT NULL, "
            "prix money, créé datetime DEFAULT GETDATE(), client int REFERENCES clients)"));
        QVERIFY2(cree.bOk, qPrintable(cree.sMessage));
        // A key without its referenced columns points at the primary key (colid 1 of clients).
        const QString cles = QStringLiteral("SELECT count(*) FROM sysforeignkeys WHERE rkeyid = OBJECT_ID('clients') "
                                            "AND rkey = 1");
        QCOMPARE(premiereColonne(m_ventes.execute(cles)), QStringList{"3"});
        const Resultat objet = m_ventes.execute(QStringLiteral("SELECT type FROM sysobjects WHERE name = 'données été'"));
        QCOMPARE(premiereColonne(objet), QStringList{"U "});
        const Resultat cols = m_ventes.execute(QStringLiteral(
            "SELECT name, xtype, length FROM syscolumns WHERE id = OBJECT_ID('[Données Été]') ORDER BY colid"));
        QCOMPARE(premiereColonne(cols), (QStringList{"id", "libellé", "prix", "créé", "client"}));
        QCOMPARE(cols.lignes.value(0).value(1), QStringLiteral("56"));
        QCOMPARE(cols.lignes.value(1).value(1), QStringLiteral("231"));
        QCOMPARE(cols.lignes.value(1).value(2), QStringLiteral("60"));
        const QString texte = QStringLiteral("Crème brûlée « ✓ » Ωmega");
        QVERIFY(m_ventes.execute(QStringLiteral("INSERT INTO [Données Été] (libellé, prix) VALUES (N'%1', 4.5)").arg(texte)).bOk);
        const Resultat lu = m_ventes.execute(QStringLiteral("SELECT id, libellé FROM [DONNÉES ÉTÉ] WHERE libellé = N'%1'").arg(texte.toUpper()));
        QVERIFY2(lu.bOk, qPrintable(lu.sMessage));
        QCOMPARE(lu.lignes.size(), 1);
        QCOMPARE(lu.lignes.at(0).at(0), QStringLiteral("1"));
        QCOMPARE(lu.lignes.at(0).at(1), texte);
        const QString prefixe = QStringLiteral("donn");
        QCOMPARE(premiereColonne(m_ventes.execute(requete(8, QString(), &prefixe))), QStringList{"Données Été"});
        QVERIFY(m_ventes.execute(QStringLiteral("DROP TABLE [Données Été]")).bOk);
        QCOMPARE(premiereColonne(m_ventes.execute(cles)), QStringList{"2"});
        QCOMPARE(m_ventes.execute(QStringLiteral("SELECT count(*) FROM sysobjects WHERE name = 'Données Été'")).lignes.value(0).value(0),
                 QStringLiteral("0"));
        QCOMPARE(m_ventes.execute(QStringLiteral("SELECT count(*) FROM syscolumns WHERE name = 'libellé'")).lignes.value(0).value(0),
                 QStringLiteral("0"));
    }

    void owners_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("lignes");
        QTest::newRow("objects with their owner")
            << "SELECT name, USER_NAME(uid) AS Proprietaire FROM sysobjects WHERE type IN ('U','V') AND name LIKE N'%s' "
               "ORDER BY name"
            << QStringList{"clients|dbo", "clients_archives|dbo", "commandes|dbo", "factures|Compta", "produits|dbo",
                           "reglements|Compta", "vue_ventes|dbo"};
        QTest::newRow("tables of one owner")
            << "SELECT name FROM sysobjects WHERE type IN ('U','V') AND uid = USER_ID(N'Compta') ORDER BY name"
            << QStringList{"factures", "reglements"};
        QTest::newRow("tables of one owner of another database")
            << "SELECT name FROM [Ventes].dbo.sysobjects WHERE type IN ('U','V') AND uid IN (SELECT uid FROM "
               "[Ventes].dbo.sysusers WHERE name = N'Compta') ORDER BY name"
            << QStringList{"factures", "reglements"};
        QTest::newRow("user names and ids")
            << "SELECT USER_NAME(5), USER_ID(N'Compta'), USER_NAME(1), USER_ID(N'nobody')"
            << QStringList{"Compta|5|dbo|<NULL>"};
        QTest::newRow("owner.table and db.owner.table")
            << "SELECT count(*) FROM Compta.factures f JOIN Ventes.Compta.reglements r ON r.facture_id = f.id"
            << QStringList{"20"};
        QTest::newRow("foreign keys: sysforeignkeys, two-column key in key order")
            << "SELECT OBJECT_NAME(k.fkeyid), f.name, OBJECT_NAME(k.rkeyid), r.name, k.keyno FROM sysforeignkeys k "
               "JOIN syscolumns f ON f.id = k.fkeyid AND f.colid = k.fkey JOIN syscolumns r ON r.id = k.rkeyid "
               "AND r.colid = k.rkey ORDER BY 1, k.constid, k.keyno"
            << QStringList{"commandes|client_id|clients|id|1", "factures|client_id|clients|id|1",
                           "lignes de commande|commande_id|commandes|id|1",
                           "lignes de commande|produit_id|produits|id|1", "reglements|facture_id|factures|id|1",
                           "reglements|client_id|factures|client_id|2"};
        QTest::newRow("foreign keys: constraints in sysobjects under their table's owner")
            << "SELECT OBJECT_NAME(parent_obj), USER_NAME(uid) FROM sysobjects WHERE type = 'F' ORDER BY 1"
            << QStringList{"commandes|dbo", "factures|Compta", "lignes de commande|dbo", "lignes de commande|dbo",
                           "reglements|Compta"};
        QTest::newRow("foreign keys: the two-column key holds for the rows")
            << "SELECT count(*) FROM Compta.reglements r JOIN Compta.factures f ON f.id = r.facture_id "
               "AND f.client_id = r.client_id"
            << QStringList{"20"};
        QTest::newRow("system union with COLLATE DATABASE_DEFAULT")
            << "SELECT srvname COLLATE DATABASE_DEFAULT AS name, 'serveurs' AS Col, N'' AS Proprietaire FROM "
               "master.dbo.sysservers WHERE srvname LIKE N'ma%'  UNION ALL SELECT name COLLATE DATABASE_DEFAULT, "
               "'bases' AS Col, N'' FROM master.dbo.sysdatabases WHERE name LIKE N'ma%'  UNION ALL SELECT name, type "
               "AS Col, N'' FROM sysobjects WHERE type IN ('S') AND name LIKE N'sysc%' ORDER BY name"
            << QStringList{"master|bases|", "syscolumns|S |", "syscomments|S |"};
        QTest::newRow("the server's version") << "SELECT CAST(SERVERPROPERTY('ProductVersion') AS nvarchar(128))"
                                              << QStringList{"8.00.2039"};
    }

    void owners()
    {
        QFETCH(QString, sql);
        QFETCH(QStringList, lignes);
        const Resultat r = m_ventes.execute(sql);
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        QStringList lues;
        for (const QStringList &ligne : r.lignes)
            lues << ligne.join(QLatin1Char('|'));
        QCOMPARE(lues, lignes);
    }

    void versionFromLoginAck()
    {
        // The driver's SQL_DBMS_VER comes from the LOGINACK.
        QCOMPARE(m_ventes.info(SQL_DBMS_VER), QStringLiteral("08.00.2039"));
    }

    void storedTablesMatchCatalogue()
    {
        // Every user table listed in sysobjects answers a SELECT, with the columns syscolumns lists.
        const Resultat tables = m_ventes.execute(QStringLiteral(
            "SELECT USER_NAME(uid), name FROM sysobjects WHERE type = 'U' ORDER BY name"));
        QVERIFY(tables.lignes.size() >= 8);
        for (const QStringList &ligne : tables.lignes) {
            const QString proprietaire = ligne.value(0);
            const QString nom = ligne.value(1);
            const QString table = proprietaire + QLatin1Char('.') + nom;
            const Resultat cols = m_ventes.execute(QStringLiteral(
                "SELECT name FROM syscolumns WHERE id = OBJECT_ID('[%1].[%2]') ORDER BY colid").arg(proprietaire, nom));
            const Resultat vide = m_ventes.execute(QStringLiteral("SELECT * FROM [%1].[%2] WHERE 1 = 0").arg(proprietaire, nom));
            QVERIFY2(vide.bOk, qPrintable(table + vide.sMessage));
            QVERIFY(!cols.lignes.isEmpty());
            QCOMPARE(vide.colonnes, premiereColonne(cols));
        }
    }

private:
    std::unique_ptr<StandIn> m_standin;
    Connexion m_ventes;
    Connexion m_master;
};

QTEST_GUILESS_MAIN(TestStandinCatalogue)
#include "test_standin_catalogue.moc"
