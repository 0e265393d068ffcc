// One reading of a script around the caret: statements, references, CTEs,
// derived tables, temporary tables across batches, variables per batch.
#include "lecturescript.h"

#include <QtTest>

namespace {

QString Tables(const QVector<TableDuScript> &tables)
{
    QStringList s;
    for (const TableDuScript &t : tables)
        s << t.sNom + (t.colonnes.isEmpty() ? QString() : QLatin1Char('(') + t.colonnes.join(QLatin1Char(',')) + QLatin1Char(')'))
                + (t.sSource.isEmpty() ? QString() : QStringLiteral("<-") + t.sSource);
    return s.join(QLatin1Char(' '));
}

// What the reading says of one thing, as one line.
QString Decrit(const LectureScript &l, const QString &sChamp, const QString &sTexte)
{
    if (sChamp == QLatin1String("refs")) {
        QStringList s;
        for (const ReferenceScript &r : l.Courante().references)
            s << (r.sAlias.isEmpty() ? r.sObjet : r.sObjet + QLatin1Char(' ') + r.sAlias);
        return s.join(QLatin1Char(','));
    }
    if (sChamp == QLatin1String("ctes"))
        return Tables(l.Courante().ctes);
    if (sChamp == QLatin1String("derivees"))
        return Tables(l.Courante().derivees);
    if (sChamp == QLatin1String("temp"))
        return Tables(l.temporaires);
    if (sChamp == QLatin1String("vars"))
        return Tables(l.variables);
    if (sChamp == QLatin1String("instruction"))
        return sTexte.mid(l.Courante().lDebut, l.Courante().lFin - l.Courante().lDebut).trimmed();
    if (sChamp == QLatin1String("lot"))
        return sTexte.mid(l.lDebutLot, l.lFinLot - l.lDebutLot).trimmed();
    if (sChamp.startsWith(QLatin1String("table:"))) {
        const TableDuScript *t = l.TableNommee(sChamp.mid(6));
        return t ? Tables({*t}) : QStringLiteral("-");
    }
    return QStringLiteral("?");
}

} // namespace

class TestLectureScript : public QObject
{
    Q_OBJECT
private slots:
    void lecture_data();
    void lecture();
    void memoire_data();
    void memoire();
};

// A caret marked "|" in the text; what is read about it.
void TestLectureScript::lecture_data()
{
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QString>("champ");
    QTest::addColumn<QString>("attendu");

    QTest::newRow("statement bounded by semicolons")
        << "SELECT 1; SELECT c.| FROM clients c; SELECT 2" << "instruction" << "SELECT c. FROM clients c";
    QTest::newRow("batch bounded by GO lines")
        << "SELECT 1\r\nGO\r\nSELECT |\r\nGO 3\r\nSELECT 2" << "lot" << "SELECT";
    QTest::newRow("references: FROM, JOIN, comma list, aliases")
        << "SELECT | FROM clients c, produits p, [lignes de commande] JOIN commandes AS o ON 1=1" << "refs"
        << "clients c,produits p,[lignes de commande],commandes o";
    QTest::newRow("references: UPDATE and DELETE")
        << "UPDATE clients SET nom = 1; DELETE commandes WHERE |" << "refs" << "commandes";
    QTest::newRow("CTE columns from its SELECT list")
        << "WITH r AS (SELECT client_id, COUNT(*) AS n, MAX(c.total) total, x = 1 FROM commandes c GROUP BY client_id) "
           "SELECT r.| FROM r"
        << "ctes" << "r(client_id,n,total,x)";
    QTest::newRow("CTE columns listed, and a second CTE")
        << "WITH r (a, b) AS (SELECT 1, 2), s AS (SELECT DISTINCT TOP (5) t.nom FROM t) SELECT |" << "ctes"
        << "r(a,b) s(nom)";
    QTest::newRow("CTE after a statement without semicolon")
        << "DECLARE @x int\r\nWITH r AS (SELECT id FROM t) SELECT |" << "ctes" << "r(id)";
    QTest::newRow("CTE of another statement is not seen")
        << "WITH r AS (SELECT id FROM t) SELECT * FROM r; SELECT |" << "ctes" << "";
    QTest::newRow("CTE of the statement before, without semicolon")
        << "WITH r AS (SELECT id FROM t) SELECT * FROM r\r\nSELECT |" << "ctes" << "";
    QTest::newRow("CTE through UNION, CASE and a sub-query")
        << "WITH r AS (SELECT id FROM t) SELECT CASE WHEN x = 1 THEN 2 ELSE 3 END FROM r WHERE id IN (SELECT 1) "
           "UNION ALL SELECT |"
        << "ctes" << "r(id)";
    QTest::newRow("CTE of INSERT ... SELECT and UPDATE ... SET")
        << "WITH r AS (SELECT id FROM t) INSERT INTO x SELECT id FROM r;\r\n"
           "WITH s AS (SELECT id FROM t) UPDATE x SET a = s.| FROM s"
        << "ctes" << "s(id)";
    QTest::newRow("derived table with alias and columns")
        << "SELECT d.| FROM (SELECT nom AS client, ville FROM clients) d" << "derivees" << "d(client,ville)";
    QTest::newRow("derived table with a column list")
        << "SELECT | FROM (SELECT 1, 2) AS d (a, b) JOIN (SELECT x FROM y) e ON 1=1" << "derivees"
        << "d(a,b) e(x)";
    QTest::newRow("temporary table created, any batch before the caret")
        << "CREATE TABLE #o (id int, total money NOT NULL, PRIMARY KEY (id))\r\nGO\r\nSELECT |" << "temp"
        << "#o(id,total)";
    QTest::newRow("temporary table by SELECT INTO")
        << "SELECT id, nom AS n INTO #c FROM clients\r\nGO\r\nSELECT |" << "temp" << "#c(id,n)";
    QTest::newRow("SELECT * INTO takes its source")
        << "SELECT * INTO #p FROM dbo.produits WHERE 1=1; SELECT |" << "temp" << "#p<-dbo.produits";
    QTest::newRow("temporary table after the caret is not made yet")
        << "SELECT |\r\nGO\r\nCREATE TABLE #o (id int)" << "temp" << "";
    QTest::newRow("literals and comments are not read")
        << "PRINT 'CREATE TABLE #a (x int)' -- CREATE TABLE #b (y int)\r\n/* SELECT 1 AS z INTO #c */ SELECT |"
        << "temp" << "";
    QTest::newRow("variables and a table variable, earlier in the batch")
        << "DECLARE @a int = 1, @b varchar(10), @t TABLE (x int, y int)\r\nSELECT @a, @b\r\nDECLARE @c AS date\r\nSELECT |"
        << "vars" << "@a @b @t(x,y) @c";
    QTest::newRow("variables of another batch are not seen")
        << "DECLARE @a int\r\nGO\r\nDECLARE @b int SELECT |" << "vars" << "@b";
    QTest::newRow("variables declared after the caret are not seen")
        << "DECLARE @a int SELECT | DECLARE @b int" << "vars" << "@a";
    QTest::newRow("parameters of a procedure being written")
        << "CREATE PROCEDURE dbo.p @debut date, @fin AS date = NULL AS\r\nDECLARE @n int\r\nSELECT |" << "vars"
        << "@debut @fin @n";
    QTest::newRow("parameters of a function")
        << "CREATE OR ALTER FUNCTION f (@x int, @y int = @@SPID) RETURNS int AS BEGIN RETURN | END" << "vars"
        << "@x @y";
    QTest::newRow("alias of a CTE")
        << "WITH r AS (SELECT a FROM t) SELECT z.| FROM r z" << "table:z" << "r(a)";
    QTest::newRow("alias of a temporary table")
        << "CREATE TABLE #o (id int)\r\nSELECT o.| FROM #o AS o" << "table:o" << "#o(id)";
    QTest::newRow("a table variable and its alias")
        << "DECLARE @t TABLE (x int)\r\nSELECT v.| FROM @t v" << "table:v" << "@t(x)";
    QTest::newRow("the latest temporary table of a name wins")
        << "CREATE TABLE #o (a int)\r\nGO\r\nDROP TABLE #o\r\nCREATE TABLE #o (b int)\r\nSELECT #o.|" << "table:#o"
        << "#o(b)";
    QTest::newRow("an alias of a catalogue table is no script table")
        << "SELECT c.| FROM clients c" << "table:c" << "-";
}

void TestLectureScript::lecture()
{
    QFETCH(QString, texte);
    QFETCH(QString, champ);
    QFETCH(QString, attendu);
    const int lCaret = int(texte.indexOf(QLatin1Char('|')));
    texte.remove(lCaret, 1);
    QCOMPARE(Decrit(LitScript(texte, lCaret), champ, texte), attendu);
}

// A reading that starts from the batches it remembers finds what a reading
// of the whole text finds.
void TestLectureScript::memoire_data()
{
    QTest::addColumn<QString>("avant");
    QTest::addColumn<QString>("apres");
    QTest::addColumn<bool>("reprise");  // the second reading starts after the remembered batches
    const QString sDebut = QStringLiteral("CREATE TABLE #a (x int)\r\nGO\r\nSELECT * INTO #b FROM t\r\nGO\r\n");
    QTest::newRow("edited after the remembered batches")
        << sDebut + "DECLARE @v int SELECT |" << sDebut + "DECLARE @v int SELECT #|" << true;
    QTest::newRow("edited before them")
        << sDebut + "SELECT |" << "CREATE TABLE #c (y int)\r\nGO\r\nSELECT * INTO #b FROM t\r\nGO\r\nSELECT |" << false;
    QTest::newRow("the GO line is no longer one")
        << sDebut + "SELECT |" << QString(sDebut).replace("GO\r\nSELECT *", "GO x\r\nSELECT *") + "SELECT |" << false;
    QTest::newRow("caret back in an earlier batch")
        << sDebut + "SELECT |" << "CREATE TABLE #a (x int)\r\nGO\r\nSELECT |* INTO #b FROM t\r\nGO\r\n" << false;
}

void TestLectureScript::memoire()
{
    QFETCH(QString, avant);
    QFETCH(QString, apres);
    QFETCH(bool, reprise);
    MemoireScript memoire;
    const int lCaretAvant = int(avant.indexOf(QLatin1Char('|')));
    LitScript(avant.remove(lCaretAvant, 1), lCaretAvant, &memoire);
    const int lCaret = int(apres.indexOf(QLatin1Char('|')));
    apres.remove(lCaret, 1);
    // The first reading remembered its batches up to the last GO line before the caret.
    QVERIFY(memoire.lFinLigneGo > 0);
    QCOMPARE(memoire.sTexte, avant.left(memoire.lFinLigneGo));
    const bool bReprise = apres.startsWith(memoire.sTexte) && lCaret >= memoire.lFinLigneGo;
    const LectureScript avec = LitScript(apres, lCaret, &memoire);
    const LectureScript sans = LitScript(apres, lCaret);
    QCOMPARE(bReprise, reprise);
    QCOMPARE(Tables(avec.temporaires), Tables(sans.temporaires));
    QCOMPARE(Tables(avec.variables), Tables(sans.variables));
    QCOMPARE(avec.lDebutLot, sans.lDebutLot);
    QCOMPARE(avec.mot.lDebut, sans.mot.lDebut);
    QCOMPARE(avec.mot.parties, sans.mot.parties);
}

QTEST_APPLESS_MAIN(TestLectureScript)
#include "test_lecturescript.moc"
