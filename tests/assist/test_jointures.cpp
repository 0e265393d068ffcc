// Join conditions from foreign keys: where a condition is asked for, and how
// the keys of the catalogue are written as conditions.
#include "jointures.h"
#include "jointurescript.h"
#include "insertion.h"
#include "lecturescript.h"
#include "motcurseur.h"

#include <QtTest>

Q_DECLARE_METATYPE(QVector<TableDeJointure>)

namespace {
// "commandes o|clients c|#t x*": objects and aliases; a trailing "*" marks a table of the script.
QVector<TableDeJointure> Tables(const QString &sListe)
{
    QVector<TableDeJointure> tables;
    for (QString sTable : sListe.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        TableDeJointure t;
        t.bDuScript = sTable.endsWith(QLatin1Char('*'));
        if (t.bDuScript)
            sTable.chop(1);
        const int lBlanc = int(sTable.lastIndexOf(QLatin1Char(' ')));
        const bool bAlias = lBlanc > 0 && !sTable.endsWith(QLatin1Char(']'));
        t.sObjet = bAlias ? sTable.left(lBlanc) : sTable;
        t.sAlias = bAlias ? sTable.mid(lBlanc + 1) : QString();
        tables.append(t);
    }
    return tables;
}

// Rows as the catalogue query gives them: "constraint keyno referencing referenced fkcol refcol".
QVector<LigneProposition> Lignes(const QStringList &rangees)
{
    QVector<LigneProposition> lignes;
    for (const QString &r : rangees) {
        const QStringList c = r.split(QLatin1Char(' '));
        lignes.append({c.at(4), c.mid(0, 4).join(QLatin1Char(' ')), c.at(5)});
    }
    return lignes;
}
}

class TestJointures : public QObject
{
    Q_OBJECT
private slots:
    void jointureAuCurseur_data();
    void jointureAuCurseur();
    void conditions_data();
    void conditions();
    void requeteSansTableACles();
    void requeteParBase();
    void indexDeLaJointure();
    void jointureDeLaLecture_data();
    void jointureDeLaLecture();
    void plageDeLaCondition();
};

void TestJointures::jointureAuCurseur_data()
{
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QString>("objet"); // "-" when no condition is asked for
    QTest::addColumn<QString>("alias");

    const QString debut = QStringLiteral("SELECT * FROM commandes o ");
    QTest::newRow("after ON") << debut + "JOIN clients c ON |" << "clients" << "c";
    QTest::newRow("after ON and a prefix") << debut + "JOIN clients c ON c|" << "clients" << "c";
    QTest::newRow("AS alias, lower case on") << debut + "LEFT OUTER JOIN clients AS c on |" << "clients" << "c";
    QTest::newRow("no alias, brackets kept") << debut + "JOIN [lignes de commande] ON |" << "[lignes de commande]" << "";
    QTest::newRow("three-part name") << debut + "JOIN Ventes.Compta.factures f ON |" << "Ventes.Compta.factures"
                                     << "f";
    QTest::newRow("a comment between ON and the caret") << debut + "JOIN clients c ON /* k */ |" << "clients" << "c";
    QTest::newRow("lines between") << debut + "\n  JOIN clients c\n  ON\n    |" << "clients" << "c";
    QTest::newRow("ON inside a string") << "SELECT 'x JOIN clients c ON |'" << "-" << "";
    QTest::newRow("ON inside a comment") << debut + "-- JOIN clients c ON |" << "-" << "";
    QTest::newRow("caret in a comment after ON") << debut + "JOIN clients c ON -- |" << "-" << "";
    QTest::newRow("after WHERE") << debut + "WHERE |" << "-" << "";
    QTest::newRow("WHERE after the condition")
        << debut + "JOIN clients c ON c.id = o.client_id WHERE |" << "-" << "";
    QTest::newRow("a dotted prefix is a column") << debut + "JOIN clients c ON c.|" << "-" << "";
    QTest::newRow("caret on ON itself") << debut + "JOIN clients c ON|" << "-" << "";
    QTest::newRow("ON of SET") << "SET NOCOUNT ON |" << "-" << "";
    QTest::newRow("ON of CREATE INDEX") << "CREATE INDEX ix ON |" << "-" << "";
}

void TestJointures::jointureAuCurseur()
{
    QFETCH(QString, texte);
    QFETCH(QString, objet);
    QFETCH(QString, alias);
    const int lCaret = int(texte.indexOf(QLatin1Char('|')));
    texte.remove(lCaret, 1);
    const auto table = JointureAuCurseur(texte, lCaret);
    QCOMPARE(table.has_value(), objet != QLatin1String("-"));
    if (table) {
        QCOMPARE(table->sObjet, objet);
        QCOMPARE(table->sAlias, alias);
    }
}

void TestJointures::conditions_data()
{
    QTest::addColumn<QString>("tables");
    QTest::addColumn<int>("jointe");
    QTest::addColumn<QStringList>("lignes");
    QTest::addColumn<QStringList>("conditions");

    const QStringList commandesClients{"7 1 0 1 client_id id"};
    QTest::newRow("referenced table joined") << "commandes o|clients c" << 1 << commandesClients
                                             << QStringList{"c.id = o.client_id"};
    QTest::newRow("referencing table joined") << "clients c|commandes o" << 1 << QStringList{"7 1 1 0 client_id id"}
                                              << QStringList{"o.client_id = c.id"};
    QTest::newRow("no alias: the name as written, brackets kept")
        << "commandes|[lignes de commande]" << 1 << QStringList{"9 1 1 0 commande_id id"}
        << QStringList{"[lignes de commande].commande_id = commandes.id"};
    QTest::newRow("schema-qualified name without alias")
        << "Compta.factures|clients c" << 1 << QStringList{"4 1 0 1 client_id id"}
        << QStringList{"c.id = Compta.factures.client_id"};
    QTest::newRow("two-column key in key order, rows in any order")
        << "Compta.factures f|Compta.reglements r" << 1
        << QStringList{"5 2 1 0 client_id client_id", "5 1 1 0 facture_id id"}
        << QStringList{"r.facture_id = f.id AND r.client_id = f.client_id"};
    QTest::newRow("both directions, earlier tables in order")
        << "commandes o|produits p|[lignes de commande] l" << 2
        << QStringList{"9 1 2 0 commande_id id", "11 1 2 1 produit_id id"}
        << QStringList{"l.commande_id = o.id", "l.produit_id = p.id"};
    QTest::newRow("keys between other tables give nothing")
        << "commandes o|clients c|produits p" << 2 << commandesClients << QStringList{};
    QTest::newRow("only tables named before the joined one")
        << "commandes o|clients c|[lignes de commande] l" << 1
        << QStringList{"7 1 0 1 client_id id", "9 1 2 0 commande_id id"} << QStringList{"c.id = o.client_id"};
    QTest::newRow("column names that need brackets") << "a|b" << 1 << QStringList{"3 1 1 0 prix.ht id"}
                                                     << QStringList{"b.[prix.ht] = a.id"};
    QTest::newRow("self-join: both pairings")
        << "employes e|employes m" << 1 << QStringList{"2 1 0 1 chef_id id", "2 1 1 0 chef_id id", "2 1 0 0 chef_id id"}
        << QStringList{"m.id = e.chef_id", "m.chef_id = e.id"};
    QTest::newRow("table of the script: no condition") << "cte o*|clients c" << 1 << commandesClients
                                                        << QStringList{};
    QTest::newRow("joined table of the script: no condition") << "commandes o|x c*" << 1 << commandesClients
                                                               << QStringList{};
}

void TestJointures::conditions()
{
    QFETCH(QString, tables);
    QFETCH(int, jointe);
    QFETCH(QStringList, lignes);
    QFETCH(QStringList, conditions);
    QCOMPARE(ConditionsDeJointure(Tables(tables), jointe, ClesDesLignes(Lignes(lignes))), conditions);
}

void TestJointures::requeteSansTableACles()
{
    // Temporary tables, table variables, tables of the script: nothing to ask the server.
    QVERIFY(RequeteClesEtrangeres(Tables("#t a|@v b|cte c*"), 15).isEmpty());
    QVERIFY(!RequeteClesEtrangeres(Tables("#t a|clients c"), 8).isEmpty());
}

void TestJointures::requeteParBase()
{
    // One query; a table of another database is read in that database's own catalogue.
    const QString s2019 = RequeteClesEtrangeres(Tables("commandes o|Autre.dbo.t x|Autre..u y"), 15);
    QCOMPARE(s2019.count(QStringLiteral("[Autre].sys.foreign_key_columns")), 1);
    QCOMPARE(s2019.count(QStringLiteral(" sys.foreign_key_columns")), 1);
    QVERIFY(s2019.contains(QStringLiteral("SELECT 1 AS n, OBJECT_ID(N'Autre.dbo.t') AS id UNION ALL SELECT 2, "
                                          "OBJECT_ID(N'Autre..u')")));
    const QString s2000 = RequeteClesEtrangeres(Tables("commandes o|Autre.dbo.t x"), 8);
    QVERIFY(s2000.contains(QStringLiteral("[Autre].dbo.sysforeignkeys")));
    QVERIFY(!s2000.contains(QStringLiteral("sys.")));
}

void TestJointures::indexDeLaJointure()
{
    const QVector<TableDeJointure> tables = Tables("commandes o|clients c|commandes o2");
    QCOMPARE(IndexDeLaJointure(tables, {"COMMANDES", "O2", false}), 2);
    QCOMPARE(IndexDeLaJointure(tables, {"commandes", "o", false}), 0);
    QCOMPARE(IndexDeLaJointure(tables, {"clients", "", false}), -1);
}

// The statement's tables as the script's reading gives them, the joined one as written.
void TestJointures::jointureDeLaLecture_data()
{
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QString>("tables"); // "-" when no join stands at the caret
    QTest::addColumn<int>("jointe");

    QTest::newRow("aliases") << "SELECT * FROM commandes o JOIN clients c ON |" << "commandes o|clients c" << 1;
    QTest::newRow("the joined alias as written, brackets kept")
        << "SELECT * FROM commandes o JOIN clients [c] ON |" << "commandes o|clients [c]" << 1;
    QTest::newRow("the caret's statement only")
        << "SELECT * FROM produits p;\r\nSELECT * FROM commandes o JOIN clients c ON |" << "commandes o|clients c" << 1;
    QTest::newRow("a CTE is the script's")
        << "WITH r AS (SELECT 1 AS id) SELECT * FROM r JOIN clients c ON |" << "r*|clients c" << 1;
    QTest::newRow("a temporary table of an earlier batch is the script's")
        << "CREATE TABLE #t (id int)\r\nGO\r\nSELECT * FROM #t x JOIN clients c ON |" << "#t x*|clients c" << 1;
    QTest::newRow("after WHERE") << "SELECT * FROM commandes o JOIN clients c ON 1 = 1 WHERE |" << "-" << -1;
}

void TestJointures::jointureDeLaLecture()
{
    QFETCH(QString, texte);
    QFETCH(QString, tables);
    QFETCH(int, jointe);
    const int lCaret = int(texte.indexOf(QLatin1Char('|')));
    texte.remove(lCaret, 1);
    const auto jointure = JointureDeLaLecture(LitScript(texte, lCaret), texte);
    QCOMPARE(jointure.has_value(), tables != QLatin1String("-"));
    if (!jointure)
        return;
    QStringList lues;
    for (const TableDeJointure &t : jointure->tables)
        lues << t.sObjet + (t.sAlias.isEmpty() ? QString() : QLatin1Char(' ') + t.sAlias)
                    + (t.bDuScript ? QStringLiteral("*") : QString());
    QCOMPARE(lues.join(QLatin1Char('|')), tables);
    QCOMPARE(jointure->iJointe, jointe);
}

void TestJointures::plageDeLaCondition()
{
    // The condition replaces the typed prefix and the rest of the word, written as it is.
    const QString texte = QStringLiteral("SELECT * FROM commandes o JOIN clients c ON cx WHERE 1 = 1");
    const int lCaret = int(texte.indexOf(QStringLiteral("cx"))) + 1;
    const Plage plage = PlageDeLaCondition(MotAuCurseur(texte, lCaret), QStringLiteral("c.id = o.client_id"));
    QCOMPARE(QString(texte).replace(plage.lDebut, plage.lLongueur, plage.sTexte),
             QStringLiteral("SELECT * FROM commandes o JOIN clients c ON c.id = o.client_id WHERE 1 = 1"));
}

QTEST_APPLESS_MAIN(TestJointures)
#include "test_jointures.moc"
