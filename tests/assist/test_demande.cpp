// One proposal request on a catalogue that answers from a table: which
// queries run, the fall-back, and what the popup is told to do.
#include "demande.h"

#include <QtTest>

namespace {

// Answers each query by its first words: the filtered one ("...LIKE N'x%'")
// and the unfiltered one; records every query it was asked.
class CatalogueFactice : public SourceCatalogue
{
public:
    bool bOuvre = true;
    std::optional<QVector<LigneProposition>> filtrees;
    std::optional<QVector<LigneProposition>> toutes;
    QStringList requetes;

    bool Ouvre() override { return bOuvre; }
    std::optional<QVector<LigneProposition>> Lignes(const QString &sRequete) override
    {
        requetes << sRequete;
        return sRequete.contains(QLatin1String("LIKE")) ? filtrees : toutes;
    }
    int VersionMajeure() override { return 8; }
};

QVector<LigneProposition> Lignes(const QStringList &noms)
{
    QVector<LigneProposition> lignes;
    for (const QString &n : noms)
        lignes.append({n, QStringLiteral("U"), QString()});
    return lignes;
}

using Reponse = std::optional<QStringList>;

} // namespace

Q_DECLARE_METATYPE(Reponse)
Q_DECLARE_METATYPE(ActionPopup)
Q_DECLARE_METATYPE(GenreDemande)

class TestDemande : public QObject
{
    Q_OBJECT
private slots:
    void demande_data();
    void demande();
    void rienDansUnLitteral();
    void modeSysteme_data();
    void modeSysteme();
    void selection_data();
    void selection();
    void motTermine_data();
    void motTermine();
};

void TestDemande::demande_data()
{
    QTest::addColumn<QString>("texte");
    QTest::addColumn<GenreDemande>("genre");
    QTest::addColumn<bool>("ouvre");
    QTest::addColumn<Reponse>("filtrees");
    QTest::addColumn<Reponse>("toutes");
    QTest::addColumn<ActionPopup>("action");
    QTest::addColumn<int>("requetes");
    QTest::addColumn<QStringList>("noms");

    const auto R = [](const QStringList &l) { return Reponse(l); };
    const Reponse echec;
    const GenreDemande raccourci = GenreDemande::Raccourci;
    const GenreDemande frappe = GenreDemande::Frappe;
    QTest::newRow("several names are shown")
        << "FROM cl" << raccourci << true << R({"clients", "clients_archives"}) << R({"x"})
        << ActionPopup::Montrer << 1 << QStringList{"clients", "clients_archives"};
    QTest::newRow("a shortcut falls back to every name")
        << "FROM zz" << raccourci << true << R({}) << R({"a", "b"}) << ActionPopup::Montrer << 2
        << QStringList{"a", "b"};
    QTest::newRow("typing does not fall back: the list hides")
        << "FROM zz" << frappe << true << R({}) << R({"a", "b"}) << ActionPopup::Cacher << 1 << QStringList{};
    QTest::newRow("typing shows a single name without writing it")
        << "FROM pro" << frappe << true << R({"produits"}) << R({"a"}) << ActionPopup::Montrer << 1
        << QStringList{"produits"};
    QTest::newRow("a shortcut writes a single name")
        << "FROM pro" << raccourci << true << R({"produits"}) << R({"a"}) << ActionPopup::Inserer << 1
        << QStringList{"produits"};
    QTest::newRow("a single name equal to the prefix only closes")
        << "FROM produits" << raccourci << true << R({"produits"}) << R({"a"}) << ActionPopup::Fermer << 1
        << QStringList{"produits"};
    QTest::newRow("a single name differing in case is written")
        << "FROM PRODUITS" << raccourci << true << R({"produits"}) << R({"a"}) << ActionPopup::Inserer << 1
        << QStringList{"produits"};
    QTest::newRow("no session: nothing runs, the list hides")
        << "FROM cl" << raccourci << false << R({"clients"}) << R({"a"}) << ActionPopup::Cacher << 0
        << QStringList{};
    QTest::newRow("a failing filtered query ends the request")
        << "FROM cl" << raccourci << true << echec << R({"a"}) << ActionPopup::Cacher << 1 << QStringList{};
    QTest::newRow("a failing fall-back ends it too")
        << "FROM zz" << raccourci << true << R({}) << echec << ActionPopup::Cacher << 2 << QStringList{};
    QTest::newRow("nothing at all")
        << "FROM zz" << raccourci << true << R({}) << R({}) << ActionPopup::Cacher << 2 << QStringList{};
    QTest::newRow("CTE columns from the text alone")
        << "WITH r AS (SELECT client_id, COUNT(*) AS n FROM commandes GROUP BY client_id) SELECT r." << raccourci
        << true << R({"x"}) << R({"y"}) << ActionPopup::Montrer << 0 << QStringList{"client_id", "n"};
    QTest::newRow("CTE column list, the one typed only closes")
        << "WITH r (a, b) AS (SELECT 1, 2) SELECT r.b" << raccourci << true << R({"x"}) << R({"y"})
        << ActionPopup::Fermer << 0 << QStringList{"b"};
    QTest::newRow("derived table columns")
        << "SELECT * FROM (SELECT nom AS client, ville FROM clients) d WHERE d." << raccourci << true << R({"x"})
        << R({"y"}) << ActionPopup::Montrer << 0 << QStringList{"client", "ville"};
    QTest::newRow("a temporary table of an earlier batch after #")
        << "CREATE TABLE #o (id int)\r\nGO\r\nSELECT * FROM #" << raccourci << true << R({"x"}) << R({"y"})
        << ActionPopup::Inserer << 0 << QStringList{"#o"};
    QTest::newRow("columns of a temporary table through its alias")
        << "SELECT id, total INTO #o FROM x\r\nSELECT * FROM #o o WHERE o.t" << raccourci << true << R({"x"})
        << R({"y"}) << ActionPopup::Inserer << 0 << QStringList{"total"};
    QTest::newRow("variables after @")
        << "DECLARE @cutoff date, @n int\r\nSELECT @" << raccourci << true << R({"x"}) << R({"y"})
        << ActionPopup::Montrer << 0 << QStringList{"@cutoff", "@n"};
    QTest::newRow("typing narrows the variables")
        << "DECLARE @cutoff date, @n int\r\nSELECT @cu" << frappe << true << R({"x"}) << R({"y"})
        << ActionPopup::Montrer << 0 << QStringList{"@cutoff"};
    QTest::newRow("columns of a table variable")
        << "DECLARE @t TABLE (x int, y int)\r\nSELECT @t." << raccourci << true << R({"a"}) << R({"b"})
        << ActionPopup::Montrer << 0 << QStringList{"x", "y"};
    QTest::newRow("variables of another batch are not proposed")
        << "DECLARE @a int\r\nGO\r\nSELECT @" << raccourci << true << R({"x"}) << R({"y"}) << ActionPopup::Cacher
        << 0 << QStringList{};
    QTest::newRow("a CTE and a table of the same name: the script's wins")
        << "WITH produits AS (SELECT 1 AS a) SELECT * FROM pro" << raccourci << true << R({"produits", "promos"})
        << R({"y"}) << ActionPopup::Montrer << 1 << QStringList{"produits", "promos"};
    QTest::newRow("script names join the fall-back")
        << "WITH r AS (SELECT 1 AS a) SELECT * FROM zz" << raccourci << true << R({}) << R({"a", "b"})
        << ActionPopup::Montrer << 2 << QStringList{"r", "a", "b"};
    QTest::newRow("SELECT * INTO asks the catalogue for its source's columns")
        << "SELECT * INTO #p FROM produits\r\nSELECT #p." << raccourci << true << R({"id", "nom"}) << R({"y"})
        << ActionPopup::Montrer << 1 << QStringList{"id", "nom"};
    QTest::newRow("after the ON of a join, a failing key query leaves the columns alone")
        << "SELECT * FROM commandes o JOIN clients c ON " << raccourci << true << R({"id", "nom"}) << echec
        << ActionPopup::Montrer << 2 << QStringList{"id", "nom"};
    QTest::newRow("no session: the script's names still come")
        << "WITH r AS (SELECT 1 AS a) SELECT * FROM " << raccourci << false << R({"x"}) << R({"y"})
        << ActionPopup::Inserer << 0 << QStringList{"r"};
}

void TestDemande::demande()
{
    QFETCH(QString, texte);
    QFETCH(GenreDemande, genre);
    QFETCH(bool, ouvre);
    QFETCH(Reponse, filtrees);
    QFETCH(Reponse, toutes);
    QFETCH(ActionPopup, action);
    QFETCH(int, requetes);
    QFETCH(QStringList, noms);

    CatalogueFactice catalogue;
    catalogue.bOuvre = ouvre;
    if (filtrees)
        catalogue.filtrees = Lignes(*filtrees);
    if (toutes)
        catalogue.toutes = Lignes(*toutes);
    const Demande d = DemandeProposition(catalogue, texte, int(texte.size()), false, genre);
    QCOMPARE(d.action, action);
    QCOMPARE(catalogue.requetes.size(), requetes);
    QStringList vus;
    for (const LigneProposition &l : d.resultat.lignes)
        vus << l.sNom;
    QCOMPARE(vus, noms);
    QCOMPARE(d.resultat.lRecordCount, long(noms.size()));
    if (requetes > 0)
        QVERIFY2(catalogue.requetes.first().contains(QLatin1String("LIKE")), "the filtered query runs first");
}

void TestDemande::rienDansUnLitteral()
{
    CatalogueFactice catalogue;
    catalogue.filtrees = Lignes({"a", "b"});
    const QString sTexte = QStringLiteral("PRINT 'fin.");
    const Demande d = DemandeProposition(catalogue, sTexte, int(sTexte.size()), false, GenreDemande::Raccourci);
    QCOMPARE(d.action, ActionPopup::Rien);
    QVERIFY(catalogue.requetes.isEmpty());
}

void TestDemande::modeSysteme_data()
{
    QTest::addColumn<int>("systeme");
    QTest::addColumn<int>("retenu");
    QTest::addColumn<bool>("attendu");
    QTest::addColumn<int>("retenuApres");
    QTest::newRow("0 before any shortcut is user mode") << 0 << 0 << false << 0;
    QTest::newRow("0 after a system shortcut") << 0 << 1 << true << 1;
    QTest::newRow("0 after a user shortcut") << 0 << 2 << false << 2;
    QTest::newRow("1 asks and remembers system mode") << 1 << 2 << true << 1;
    QTest::newRow("2 asks and remembers user mode") << 2 << 1 << false << 2;
}

void TestDemande::modeSysteme()
{
    QFETCH(int, systeme);
    QFETCH(int, retenu);
    QFETCH(bool, attendu);
    QFETCH(int, retenuApres);
    QCOMPARE(ModeSysteme(systeme, retenu), attendu);
    QCOMPARE(retenu, retenuApres);
}

void TestDemande::selection_data()
{
    QTest::addColumn<QStringList>("noms");
    QTest::addColumn<QString>("prefixe");
    QTest::addColumn<int>("rang");
    QTest::newRow("the name equal to the prefix") << QStringList{"a_b", "ab", "abc"} << "ab" << 1;
    QTest::newRow("letter case aside") << QStringList{"x", "Clients"} << "clients" << 1;
    QTest::newRow("otherwise the first") << QStringList{"clients", "clients_archives"} << "cl" << 0;
    QTest::newRow("empty prefix") << QStringList{"a", "b"} << "" << 0;
}

void TestDemande::selection()
{
    QFETCH(QStringList, noms);
    QFETCH(QString, prefixe);
    QFETCH(int, rang);
    QCOMPARE(IndexSelection(noms, prefixe), rang);
    QVector<LigneProposition> lignes;
    for (const QString &sNom : noms)
        lignes.append({sNom, QStringLiteral("U"), QStringLiteral("Compta")});
    QCOMPARE(IndexSelection(lignes, prefixe), rang);
}

void TestDemande::motTermine_data()
{
    QTest::addColumn<QString>("texte");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("nom");
    QTest::addColumn<bool>("termine");
    QTest::newRow("the word is the name") << "SELECT clients.ville" << -1 << "ville" << true;
    QTest::newRow("letter case aside") << "SELECT Clients.VILLE" << -1 << "ville" << true;
    QTest::newRow("a prefix of the name") << "SELECT clients.vi" << -1 << "ville" << false;
    QTest::newRow("the rest of the word counts") << "SELECT clients.vi FROM x" << 16 << "v" << false;
    QTest::newRow("caret inside the finished word") << "SELECT clients.vi FROM x" << 16 << "vi" << true;
    QTest::newRow("a bracketed word") << "FROM [lignes de commande]" << -1 << "lignes de commande" << true;
    QTest::newRow("nothing typed yet") << "SELECT clients." << -1 << "ville" << false;
    QTest::newRow("inside a literal") << "PRINT 'ville" << -1 << "ville" << false;
}

void TestDemande::motTermine()
{
    QFETCH(QString, texte);
    QFETCH(int, caret);
    QFETCH(QString, nom);
    QFETCH(bool, termine);
    QCOMPARE(MotTermine(texte, caret < 0 ? int(texte.size()) : caret, nom), termine);
}

QTEST_APPLESS_MAIN(TestDemande)
#include "test_demande.moc"
