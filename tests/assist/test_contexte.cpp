#include "contexte.h"

#include <QtTest>

class TestContexte : public QObject
{
    Q_OBJECT

private slots:
    void analyse_data();
    void analyse();
    void caretAuDelaDuTexte();
};

// A caret of -1 in the table stands for "at the end of the text".
void TestContexte::analyse_data()
{
    QTest::addColumn<QString>("texte");
    QTest::addColumn<int>("caret");
    QTest::addColumn<bool>("systeme");
    QTest::addColumn<int>("types");
    QTest::addColumn<QString>("objet");
    QTest::addColumn<QString>("prefixe");
    QTest::addColumn<bool>("litteral");

    QTest::newRow("table prefix after FROM")
        << "SELECT * FROM cl" << -1 << false << 8 << "" << "cl" << false;
    QTest::newRow("blank before caret gives empty prefix")
        << "SELECT * FROM " << -1 << false << 8 << "" << "" << false;
    QTest::newRow("comma farther back does not reach the prefix")
        << "SELECT a, b FROM cl" << -1 << false << 8 << "" << "cl" << false;
    QTest::newRow("text after the caret does not empty the prefix")
        << "SELECT * FROM cl WHERE x = 1" << 16 << false << 8 << "" << "cl" << false;
    QTest::newRow("dot at end lists every column")
        << "SELECT clients." << -1 << false << 4 << "clients" << "" << false;
    QTest::newRow("column prefix between dot and caret")
        << "SELECT clients.na FROM clients" << 17 << false << 4 << "clients" << "na" << false;
    QTest::newRow("parenthesis bounds the object name")
        << "SELECT COUNT(t.id" << -1 << false << 4 << "t" << "id" << false;
    QTest::newRow("bracketed object name kept whole")
        << "SELECT [order details].qu" << -1 << false << 4 << "[order details]" << "qu" << false;
    QTest::newRow("dot inside brackets is part of the name")
        << "SELECT [a.b].c" << -1 << false << 4 << "[a.b]" << "c" << false;
    QTest::newRow("quoted object name")
        << "SELECT \"order details\".q" << -1 << false << 4 << "\"order details\"" << "q" << false;
    QTest::newRow("owner before the dot is the object")
        << "SELECT * FROM dbo.cl" << -1 << false << 4 << "dbo" << "cl" << false;
    QTest::newRow("owner-qualified object")
        << "SELECT dbo.clients." << -1 << false << 4 << "dbo.clients" << "" << false;
    QTest::newRow("three-part object")
        << "SELECT Ventes.dbo.clients.n" << -1 << false << 4 << "Ventes.dbo.clients" << "n" << false;
    QTest::newRow("database and default owner")
        << "SELECT * FROM Ventes..c" << -1 << false << 4 << "Ventes." << "c" << false;
    QTest::newRow("alias before the dot")
        << "SELECT c.nom, c." << -1 << false << 4 << "c" << "" << false;
    QTest::newRow("open bracket is not part of the filter")
        << "SELECT * FROM [lig" << -1 << false << 8 << "" << "lig" << false;
    QTest::newRow("open bracket with a blank after the dot")
        << "SELECT [lignes de commande].[qua nt" << -1 << false << 4 << "[lignes de commande]" << "qua nt" << false;
    QTest::newRow("complete bracketed name filters on its inside")
        << "SELECT * FROM [a]]b]" << -1 << false << 8 << "" << "a]b" << false;
    QTest::newRow("system mode gives the system kinds")
        << "SELECT * FROM " << -1 << true << 11 << "" << "" << false;
    QTest::newRow("system mode dot context still columns")
        << "SELECT clients." << -1 << true << 4 << "clients" << "" << false;
    QTest::newRow("empty text") << "" << 0 << false << 8 << "" << "" << false;
    QTest::newRow("empty text system mode") << "" << 0 << true << 11 << "" << "" << false;
    QTest::newRow("caret at 0 of a dotted text")
        << "SELECT t.cl" << 0 << false << 8 << "" << "" << false;
    QTest::newRow("comma without blank")
        << "SELECT a,b" << -1 << false << 8 << "" << "b" << false;
    QTest::newRow("open parenthesis alone is object mode")
        << "SELECT COUNT(" << -1 << false << 8 << "" << "" << false;
    QTest::newRow("line breaks and a tab before the word")
        << "SELECT *\r\nFROM\r\n\tcl" << -1 << false << 8 << "" << "cl" << false;
    QTest::newRow("lone line feed separates too")
        << "SELECT *\nFROM\ncl" << -1 << false << 8 << "" << "cl" << false;
    QTest::newRow("caret inside a word takes the part before it")
        << "SELECT * FROM clients" << 16 << false << 8 << "" << "cl" << false;
    QTest::newRow("accented letters and digits are name characters")
        << "SELECT * FROM Clients_Été2" << -1 << false << 8 << "" << "Clients_Été2" << false;
    QTest::newRow("temporary table and variable characters")
        << "SELECT * FROM #t" << -1 << false << 8 << "" << "#t" << false;
    QTest::newRow("operator separates")
        << "WHERE a.x=b.y" << -1 << false << 4 << "b" << "y" << false;
    QTest::newRow("quote ends the word")
        << "SELECT * FROM o'b" << -1 << false << 8 << "" << "" << true;
    QTest::newRow("inside a string literal")
        << "PRINT 'fin. Suite" << -1 << false << 8 << "" << "" << true;
    QTest::newRow("after a closed string literal")
        << "SELECT 'a.b', t." << -1 << false << 4 << "t" << "" << false;
    QTest::newRow("doubled quote stays in the literal")
        << "SELECT 'l''a.b" << -1 << false << 8 << "" << "" << true;
    QTest::newRow("N literal")
        << "SELECT N'x.y" << -1 << false << 8 << "" << "" << true;
    QTest::newRow("inside a line comment")
        << "SELECT 1 -- voir clients." << -1 << false << 8 << "" << "" << true;
    QTest::newRow("after a line comment, next line")
        << "SELECT 1 -- note\r\nFROM cl" << -1 << false << 8 << "" << "cl" << false;
    QTest::newRow("inside a nested block comment")
        << "/* a /* b */ c." << -1 << false << 8 << "" << "" << true;
    QTest::newRow("after a block comment")
        << "/* a.b */ t." << -1 << false << 4 << "t" << "" << false;
    QTest::newRow("quote inside brackets is part of the name")
        << "SELECT [o'b].c" << -1 << false << 4 << "[o'b]" << "c" << false;
}

void TestContexte::analyse()
{
    QFETCH(QString, texte);
    QFETCH(int, caret);
    QFETCH(bool, systeme);
    QFETCH(int, types);
    QFETCH(QString, objet);
    QFETCH(QString, prefixe);
    QFETCH(bool, litteral);

    const Contexte contexte = AnalyseContexte(texte, caret < 0 ? texte.size() : caret, systeme);
    QCOMPARE(contexte.lTypes, long(types));
    QCOMPARE(contexte.sObjet, objet);
    QCOMPARE(contexte.sPrefixe, prefixe);
    QCOMPARE(contexte.bDansLitteral, litteral);
}

void TestContexte::caretAuDelaDuTexte()
{
    // A caret past the end reads as a caret at the end.
    const Contexte contexte = AnalyseContexte(QStringLiteral("SELECT t.c"), 50, false);
    QCOMPARE(contexte.lTypes, 4L);
    QCOMPARE(contexte.sObjet, QStringLiteral("t"));
    QCOMPARE(contexte.sPrefixe, QStringLiteral("c"));
}

QTEST_APPLESS_MAIN(TestContexte)
#include "test_contexte.moc"
