#include "catalogueconnexion.h"
#include "chaineconnexion.h"
#include "connexion.h"
#include "demande.h"
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

private:
    ResultatProposition Propose(const QString &sTexte, bool bSysteme = false,
                                const QString &sPWD = QStringLiteral("Mirabel4"), int lCaret = -1);
    QStringList Noms(const ResultatProposition &resultat) const;
    int NombreDeColonnes(const QString &sTable);

    std::unique_ptr<StandIn> m_standIn;
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
}

void TestCatalogue::cleanupTestCase()
{
    try {
        if (m_cn.State() == 1)
            m_cn.Close();
    } catch (...) {
    }
    m_standIn.reset();
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
        noms << ligne.sNom;
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
                             QStringLiteral("Clients_Été"), QStringLiteral("factures"),
                             QStringLiteral("reglements")};
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

QTEST_GUILESS_MAIN(TestCatalogue)
#include "test_catalogue.moc"
