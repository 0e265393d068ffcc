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
