#include "catalogueconnexion.h"
#include "chaineconnexion.h"
#include "connexion.h"
#include "demande.h"
#include "jointures.h"
#include "standin.h"

#include <QtTest>
#include <memory>

// The completion catalogue over a connection, end to end through the ODBC
// driver against the stand-in's demo database.
class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void tablesEtVues();
    void prefixe_data();
    void prefixe();
    void repliSurTout_data();
    void repliSurTout();
    void colonnes_data();
    void colonnes();
    void prefixeDeColonne();
    void modeSysteme();
    void connexionDejaOuverteRouverte();
    void motDePasseFaux();
    void requeteInvalide();
    void noms_data();
    void noms();
    void conditionsDesCles_data();
    void conditionsDesCles();

private:
    ResultatProposition Propose(const QString &sTexte, bool bSysteme = false,
                                const QString &sPWD = QStringLiteral("Mirabel4"), int lCaret = -1);
    QStringList Noms(const ResultatProposition &resultat) const;
    int NombreDeColonnes(const QString &sTable);

    std::unique_ptr<StandIn> m_standIn;
    std::unique_ptr<StandIn> m_standIn2019;
    Connexion m_cn;
    QStringList m_tousLesNoms;
};

void TestCatalogue::initTestCase()
{
    Connexion::SetLoginTimeoutForTests(5);
    Connexion::SetCommandTimeoutForTests(10);
    m_standIn = std::make_unique<StandIn>();
    QVERIFY2(m_standIn->isRunning(), qPrintable(m_standIn->output()));
    m_tousLesNoms = Noms(Propose(QStringLiteral("SELECT * FROM ")));
    // Today's servers: schemas, collations, and the login in TLS.
    StandIn::Options options;
    options.profil = QStringLiteral("2019");
    options.chiffrement = QStringLiteral("connexion");
    m_standIn2019 = std::make_unique<StandIn>(options);
    QVERIFY2(m_standIn2019->isRunning(), qPrintable(m_standIn2019->output()));
}

void TestCatalogue::cleanupTestCase()
{
    try {
        if (m_cn.State() == 1)
            m_cn.Close();
    } catch (...) {
    }
    m_standIn.reset();
    m_standIn2019.reset();
}

// The caret is at the end of the text unless lCaret says otherwise.
ResultatProposition TestCatalogue::Propose(const QString &sTexte, bool bSysteme,
                                           const QString &sPWD, int lCaret)
{
    const QString sChaine = ChaineConnexion(m_standIn->serverName(), QStringLiteral("Ventes"), sPWD,
                                            QStringLiteral("Brenlor"));
    CatalogueConnexion catalogue(m_cn, sChaine);
    return DemandeProposition(catalogue, sTexte, lCaret < 0 ? int(sTexte.size()) : lCaret, bSysteme,
                              GenreDemande::Raccourci)
        .resultat;
}

QStringList TestCatalogue::Noms(const ResultatProposition &resultat) const
{
    QStringList noms;
    for (const LigneProposition &ligne : resultat.lignes)
        noms << ligne.Affichage();
    return noms;
}

// Column count read through another path: the table's own rows.
int TestCatalogue::NombreDeColonnes(const QString &sTable)
{
    Connexion cn;
    cn.Open(ChaineConnexion(m_standIn->serverName(), QStringLiteral("Ventes"),
                            QStringLiteral("Mirabel4"), QStringLiteral("Brenlor")));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM ") + sTable, &cn, 0, 1, -1);
    const int lNombre = rs.FieldCount();
    rs.Close();
    cn.Close();
    return lNombre;
}

void TestCatalogue::tablesEtVues()
{
    const ResultatProposition resultat = Propose(QStringLiteral("SELECT * FROM "));
    QVERIFY(resultat.bLignes);
    QCOMPARE(resultat.lRecordCount, long(resultat.lignes.size()));

    const QStringList tables{QStringLiteral("clients"), QStringLiteral("clients_archives"),
                             QStringLiteral("produits"),
                             QStringLiteral("commandes"), QStringLiteral("lignes de commande"),
                             QStringLiteral("Clients_Été"), QStringLiteral("Compta.factures"),
                             QStringLiteral("Compta.reglements")};
    int lVues = 0;
    for (const LigneProposition &ligne : resultat.lignes) {
        QVERIFY2(ligne.sCleIcone == QLatin1String("U") || ligne.sCleIcone == QLatin1String("V"),
                 qPrintable(ligne.sNom + QLatin1Char('=') + ligne.sCleIcone));
        if (tables.contains(ligne.sNom))
            QCOMPARE(ligne.sCleIcone, QStringLiteral("U"));
        if (ligne.sCleIcone == QLatin1String("V"))
            ++lVues;
    }
    for (const QString &sTable : tables)
        QVERIFY2(Noms(resultat).contains(sTable), qPrintable(sTable));
    QVERIFY(lVues >= 1);
    QCOMPARE(resultat.lignes.size(), tables.size() + lVues);

    // In name order, as the server collates (letter case aside).
    for (int i = 1; i < resultat.lignes.size(); ++i)
        QVERIFY(resultat.lignes[i - 1].sNom.compare(resultat.lignes[i].sNom, Qt::CaseInsensitive) <= 0);
}

void TestCatalogue::prefixe_data()
{
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QStringList>("attendus");

    QTest::newRow("prefix narrows, letter case aside")
        << "SELECT * FROM cl"
        << QStringList{QStringLiteral("clients"), QStringLiteral("clients_archives"),
                       QStringLiteral("Clients_Été")};
    QTest::newRow("underscore in the prefix")
        << "SELECT * FROM clients_a" << QStringList{QStringLiteral("clients_archives")};
    QTest::newRow("view with its own icon")
        << "SELECT * FROM vue" << QStringList{QStringLiteral("vue_ventes")};
    QTest::newRow("accented prefix")
        << "SELECT * FROM Clients_É" << QStringList{QStringLiteral("Clients_Été")};
    QTest::newRow("open bracket with a blank inside")
        << "SELECT * FROM x,[lignes de" << QStringList{QStringLiteral("lignes de commande")};
    QTest::newRow("single match")
        << "SELECT * FROM prod" << QStringList{QStringLiteral("produits")};
}

void TestCatalogue::prefixe()
{
    QFETCH(QString, texte);
    QFETCH(QStringList, attendus);
    const ResultatProposition resultat = Propose(texte);
    QVERIFY(resultat.bLignes);
    QCOMPARE(Noms(resultat), attendus);
    QCOMPARE(resultat.lRecordCount, long(attendus.size()));
    for (const LigneProposition &ligne : resultat.lignes)
        QCOMPARE(ligne.sCleIcone, ligne.sNom.startsWith(QLatin1String("vue")) ? QStringLiteral("V")
                                                                               : QStringLiteral("U"));
}

void TestCatalogue::repliSurTout_data()
{
    QTest::addColumn<QString>("texte");

    QTest::newRow("no table starts with the prefix") << "SELECT * FROM zz";
    QTest::newRow("quote in the prefix") << "SELECT * FROM [o'b";
    QTest::newRow("quote that would end the literal") << "SELECT * FROM [x'OR'1'='1";
    QTest::newRow("percent matches only itself") << "SELECT * FROM %";
    QTest::newRow("underscore matches only itself") << "SELECT * FROM c_";
    QTest::newRow("open bracket matches only itself") << "SELECT * FROM \"[c";
}

void TestCatalogue::repliSurTout()
{
    QFETCH(QString, texte);
    const ResultatProposition resultat = Propose(texte);
    QVERIFY(resultat.bLignes);
    QVERIFY(!m_tousLesNoms.isEmpty());
    QCOMPARE(Noms(resultat), m_tousLesNoms);
    QCOMPARE(resultat.lRecordCount, long(m_tousLesNoms.size()));
}

void TestCatalogue::colonnes_data()
{
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QString>("table");

    QTest::newRow("columns of clients") << "SELECT clients." << "clients";
    QTest::newRow("columns of a bracketed name")
        << "SELECT [lignes de commande]." << "[lignes de commande]";
    QTest::newRow("quote in the object name") << "SELECT [o'b]." << "";
}

void TestCatalogue::colonnes()
{
    QFETCH(QString, texte);
    QFETCH(QString, table);
    const ResultatProposition resultat = Propose(texte);
    if (table.isEmpty()) {
        // No such object: nothing to propose, and nothing thrown.
        QVERIFY(!resultat.bLignes);
        QCOMPARE(resultat.lRecordCount, 0L);
        return;
    }
    QVERIFY(resultat.bLignes);
    QCOMPARE(resultat.lignes.size(), NombreDeColonnes(table));
    for (const LigneProposition &ligne : resultat.lignes) {
        QCOMPARE(ligne.sCleIcone, QStringLiteral("colonnes"));
        QVERIFY(!ligne.sNom.isEmpty());
    }

    // A column prefix followed by a blank narrows the same list.
    const QString sPremiere = resultat.lignes.first().sNom;
    const QString sAvecPrefixe = texte + sPremiere;
    const ResultatProposition filtre =
        Propose(sAvecPrefixe + QStringLiteral(" FROM x"), false, QStringLiteral("Mirabel4"),
                sAvecPrefixe.size());
    QVERIFY(filtre.bLignes);
    QVERIFY(filtre.lignes.size() <= resultat.lignes.size());
    QVERIFY(Noms(filtre).contains(sPremiere));
    for (const LigneProposition &ligne : filtre.lignes)
        QVERIFY(ligne.sNom.startsWith(sPremiere, Qt::CaseInsensitive));
}

void TestCatalogue::prefixeDeColonne()
{
    const QString sTexte = QStringLiteral("SELECT clients.n FROM clients");
    const ResultatProposition resultat = Propose(sTexte, false, QStringLiteral("Mirabel4"), 16);
    QCOMPARE(Noms(resultat), QStringList{QStringLiteral("nom")});
    QCOMPARE(resultat.lignes.first().sCleIcone, QStringLiteral("colonnes"));
    QCOMPARE(resultat.lRecordCount, 1L);
}

void TestCatalogue::modeSysteme()
{
    const ResultatProposition resultat = Propose(QStringLiteral("SELECT * FROM ma"), true);
    QVERIFY(resultat.bLignes);
    bool bMaster = false;
    for (const LigneProposition &ligne : resultat.lignes) {
        QVERIFY2(ligne.sNom.startsWith(QLatin1String("ma"), Qt::CaseInsensitive), qPrintable(ligne.sNom));
        QVERIFY(ligne.sCleIcone == QLatin1String("serveurs") || ligne.sCleIcone == QLatin1String("bases")
                || ligne.sCleIcone == QLatin1String("S"));
        if (ligne.sNom == QLatin1String("master"))
            bMaster = ligne.sCleIcone == QLatin1String("bases");
    }
    QVERIFY(bMaster);
}

void TestCatalogue::connexionDejaOuverteRouverte()
{
    // The shared connection is left open by a request and reopened by the next.
    Propose(QStringLiteral("SELECT * FROM cl"));
    QCOMPARE(m_cn.State(), 1);
    const ResultatProposition resultat = Propose(QStringLiteral("SELECT * FROM prod"));
    QCOMPARE(m_cn.State(), 1);
    QCOMPARE(Noms(resultat), QStringList{QStringLiteral("produits")});
}

void TestCatalogue::motDePasseFaux()
{
    ResultatProposition resultat;
    resultat = Propose(QStringLiteral("SELECT * FROM "), false, QStringLiteral("mauvais"));
    QVERIFY(!resultat.bLignes);
    QCOMPARE(resultat.lRecordCount, 0L);
    QVERIFY(resultat.lignes.isEmpty());
    QCOMPARE(m_cn.State(), 0);

    // The connection is usable again with the right password.
    QVERIFY(Propose(QStringLiteral("SELECT * FROM ")).bLignes);
}

void TestCatalogue::requeteInvalide()
{
    Requetes r;
    r.sRequeteFiltree = QStringLiteral("SELECT name FROM pas_de_table_ici");
    r.sRequete = QStringLiteral("SELECT name, type AS Col FROM sysobjects WHERE type IN ('U','V') ORDER BY name");
    const QString sChaine = ChaineConnexion(m_standIn->serverName(), QStringLiteral("Ventes"),
                                            QStringLiteral("Mirabel4"), QStringLiteral("Brenlor"));
    CatalogueConnexion catalogue(m_cn, sChaine);
    QVERIFY(catalogue.Ouvre());
    // A filtered query that fails to open ends the request: no fall-back.
    const ResultatProposition resultat = ExecuteProposition(catalogue, {r});
    QVERIFY(!resultat.bLignes);
    QCOMPARE(resultat.lRecordCount, 0L);

    // An unfiltered query that fails after an empty filtered one: no rows.
    r.sRequeteFiltree = QStringLiteral("SELECT name, type AS Col FROM sysobjects WHERE name = 'zzz'");
    r.sRequete = QStringLiteral("SELECT FROM WHERE");
    const ResultatProposition repli = ExecuteProposition(catalogue, {r});
    QVERIFY(!repli.bLignes);
    QCOMPARE(repli.lRecordCount, 0L);
}

// What a request proposes on each profile, from a database, for a text
// whose caret is at "|" (or at the end). "attendus" are all the names, or,
// behind a leading "~", some of them; "absents" must not be proposed.
void TestCatalogue::noms_data()
{
    QTest::addColumn<QString>("profil");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("texte");
    QTest::addColumn<bool>("systeme");
    QTest::addColumn<QStringList>("attendus");
    QTest::addColumn<QStringList>("absents");
    const QStringList colonnesClients{"date_creation", "email", "id", "nom", "pays", "ville"};
    const QStringList colonnesFactures{"client_id", "date_facture", "id", "montant"};

    for (const char *profil : {"2000", "2019"}) {
        const QString p = QLatin1String(profil);
        QTest::addRow("%s: a table of another owner comes with it", profil)
            << p << "Ventes" << "SELECT * FROM fa" << false << QStringList{"Compta.factures"} << QStringList{};
        QTest::addRow("%s: columns after an alias", profil)
            << p << "Ventes" << "SELECT c.| FROM clients c" << false << colonnesClients << QStringList{};
        QTest::addRow("%s: columns after an alias of another owner's table", profil)
            << p << "Ventes" << "SELECT f.| FROM Compta.factures AS f" << false << colonnesFactures << QStringList{};
        QTest::addRow("%s: the tables of an owner", profil)
            << p << "Ventes" << "SELECT * FROM Compta.r" << false << QStringList{"reglements"} << QStringList{};
        QTest::addRow("%s: columns of an owner's table", profil)
            << p << "Ventes" << "SELECT Compta.factures.m" << false << QStringList{"montant"} << QStringList{};
        QTest::addRow("%s: tables of a database and schema", profil)
            << p << "master" << "SELECT * FROM Ventes.dbo.cl" << false
            << QStringList{"clients", "clients_archives", "Clients_Été"} << QStringList{};
        QTest::addRow("%s: tables of a database, default schema", profil)
            << p << "master" << "SELECT * FROM Ventes..pro" << false << QStringList{"produits"} << QStringList{};
        QTest::addRow("%s: columns of an object of another database", profil)
            << p << "Ventes" << "SELECT master.dbo.sysdatabases.na" << false << QStringList{"name"} << QStringList{};
        QTest::addRow("%s: columns after an alias of another database's table", profil)
            << p << "master" << "SELECT c.vi| FROM Ventes.dbo.clients c" << false << QStringList{"ville"}
            << QStringList{};
        QTest::addRow("%s: a database that does not exist: nothing", profil)
            << p << "Ventes" << "SELECT * FROM Nulle..c" << false << QStringList{} << QStringList{};
        QTest::addRow("%s: the system union from a database of its own collation", profil)
            << p << "Ventes" << "SELECT * FROM ma" << true << QStringList{"~", "master"} << QStringList{};
    }
    QTest::newRow("2019: same-name tables in two schemas both listed")
        << "2019" << "Ventes" << "SELECT * FROM clients" << false
        << QStringList{"clients", "Compta.clients", "clients_archives", "Clients_Été"} << QStringList{};
    QTest::newRow("2019: columns of the other schema's table of that name")
        << "2019" << "Ventes" << "SELECT Compta.clients." << false << QStringList{"id", "raison_sociale", "solde"}
        << QStringList{};
    QTest::newRow("2019: system mode proposes the views a user can query")
        << "2019" << "Ventes" << "SELECT * FROM sysob" << true << QStringList{"sys.sysobjects"}
        << QStringList{"sysobjects"};
    QTest::newRow("2019: no internal base table")
        << "2019" << "Ventes" << "SELECT * FROM sysschobj" << true << QStringList{"~"} << QStringList{"sysschobjs", "sys.sysschobjs"};
    QTest::newRow("2000: system mode proposes the system tables")
        << "2000" << "Ventes" << "SELECT * FROM sysob" << true << QStringList{"sysobjects"} << QStringList{};
    QTest::newRow("2019: a Greek table name")
        << "2019" << "Ventes" << "SELECT * FROM Προ" << false << QStringList{"Προϊόντα"} << QStringList{};
    QTest::newRow("2019: the columns of a Greek table")
        << "2019" << "Ventes" << "SELECT Προϊόντα.ό" << false << QStringList{"όνομα"} << QStringList{};
    QTest::newRow("2019: columns in a case-sensitive database")
        << "2019" << "Entrepot" << "SELECT articles.R" << false << QStringList{"Reference"} << QStringList{};
}

void TestCatalogue::noms()
{
    QFETCH(QString, profil);
    QFETCH(QString, base);
    QFETCH(QString, texte);
    QFETCH(bool, systeme);
    QFETCH(QStringList, attendus);
    QFETCH(QStringList, absents);
    const StandIn &standIn = profil == QLatin1String("2019") ? *m_standIn2019 : *m_standIn;
    int lCaret = int(texte.indexOf(QLatin1Char('|')));
    if (lCaret < 0)
        lCaret = int(texte.size());
    else
        texte.remove(lCaret, 1);
    Connexion cn;
    CatalogueConnexion catalogue(cn, ChaineConnexion(standIn.serverName(), base, QStringLiteral("Mirabel4"),
                                                     QStringLiteral("Brenlor")));
    const QStringList noms = Noms(DemandeProposition(catalogue, texte, lCaret, systeme, GenreDemande::Raccourci).resultat);
    QCOMPARE(catalogue.VersionMajeure(), profil == QLatin1String("2019") ? 15 : 8);
    if (attendus.value(0) == QLatin1String("~")) {
        for (const QString &sNom : attendus.mid(1))
            QVERIFY2(noms.contains(sNom), qPrintable(sNom + QLatin1String(" not in ") + noms.join(QLatin1Char(','))));
    } else {
        QCOMPARE(noms, attendus);
    }
    for (const QString &sNom : absents)
        QVERIFY2(!noms.contains(sNom), qPrintable(sNom));
    if (cn.State() == 1)
        cn.Close();
}


// The keys between the tables of a statement, read in one query on each
// server generation, written as join conditions.
void TestCatalogue::conditionsDesCles_data()
{
    QTest::addColumn<QString>("profil");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("tables");  // "object alias|object alias..." the last one just joined
    QTest::addColumn<int>("version");     // 0: the server's own
    QTest::addColumn<QString>("prefixe");
    QTest::addColumn<QStringList>("conditions");
    for (const char *profil : {"2000", "2019"}) {
        const QString p = QLatin1String(profil);
        const QByteArray n = p.toLatin1() + ": ";
        QTest::newRow(n + "orders to customers") << p << "Ventes" << "commandes o|clients c" << 0 << ""
                                                 << QStringList{"c.id = o.client_id"};
        QTest::newRow(n + "order lines, bracketed, to orders and products")
            << p << "Ventes" << "commandes o|produits p|[lignes de commande] l" << 0 << ""
            << QStringList{"l.commande_id = o.id", "l.produit_id = p.id"};
        QTest::newRow(n + "two-column key in the second schema")
            << p << "Ventes" << "Compta.factures f|Compta.reglements r" << 0 << ""
            << QStringList{"r.facture_id = f.id AND r.client_id = f.client_id"};
        QTest::newRow(n + "three-part names from another database, no alias")
            << p << "master" << "Ventes.Compta.reglements|Ventes.Compta.factures" << 0 << ""
            << QStringList{"Ventes.Compta.factures.id = Ventes.Compta.reglements.facture_id AND "
                           "Ventes.Compta.factures.client_id = Ventes.Compta.reglements.client_id"};
        QTest::newRow(n + "a temporary table has no keys") << p << "Ventes" << "#commandes o|clients c" << 0 << ""
                                                           << QStringList{};
    }
    QTest::newRow("a prefix keeps the conditions that start with it, ignoring case")
        << "2019" << "Ventes" << "commandes o|produits p|[lignes de commande] l" << 0 << "L"
        << QStringList{"l.commande_id = o.id", "l.produit_id = p.id"};
    QTest::newRow("a prefix of another name gives none")
        << "2019" << "Ventes" << "commandes o|produits p|[lignes de commande] l" << 0 << "p" << QStringList{};
    QTest::newRow("a query the server refuses gives nothing")
        << "2000" << "Ventes" << "commandes o|clients c" << 15 << "" << QStringList{};
}

void TestCatalogue::conditionsDesCles()
{
    QFETCH(QString, profil);
    QFETCH(QString, base);
    QFETCH(QString, tables);
    QFETCH(int, version);
    QFETCH(QString, prefixe);
    QFETCH(QStringList, conditions);
    QVector<TableDeJointure> liste;
    for (const QString &sTable : tables.split(QLatin1Char('|'))) {
        const int lBlanc = int(sTable.lastIndexOf(QLatin1Char(' ')));
        const bool bAlias = lBlanc > 0 && !sTable.endsWith(QLatin1Char(']'));
        liste.append({bAlias ? sTable.left(lBlanc) : sTable, bAlias ? sTable.mid(lBlanc + 1) : QString(), false});
    }
    StandIn &standIn = profil == QLatin1String("2019") ? *m_standIn2019 : *m_standIn;
    CatalogueConnexion catalogue(m_cn, ChaineConnexion(standIn.serverName(), base, QStringLiteral("Mirabel4"),
                                                       QStringLiteral("Brenlor")));
    QVERIFY(catalogue.Ouvre());
    const QVector<LigneProposition> lignes = PropositionsDeJointure(
        catalogue, liste, int(liste.size()) - 1, version ? version : catalogue.VersionMajeure(), prefixe);
    QStringList lues;
    for (const LigneProposition &ligne : lignes) {
        QCOMPARE(ligne.sCleIcone, CleIconeJointure());
        lues << ligne.Affichage();
    }
    QCOMPARE(lues, conditions);
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "test_catalogue.moc"
