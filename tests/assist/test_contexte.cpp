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

    QTest::newRow("table prefix after FROM")
        << "SELECT * FROM cl" << -1 << false << 8 << "" << "cl";
    QTest::newRow("blank before caret gives empty prefix")
        << "SELECT * FROM " << -1 << false << 8 << "" << "";
    QTest::newRow("comma farther back than blank starts prefix")
        << "SELECT a, b FROM cl" << -1 << false << 8 << "" << " b FROM cl";
    QTest::newRow("blanks after caret give empty prefix")
        << "SELECT * FROM cl WHERE x = 1" << 16 << false << 8 << "" << "";
    QTest::newRow("dot at end lists columns, prefix from last blank")
        << "SELECT clients." << -1 << false << 4 << "clients" << "clients.";
    QTest::newRow("column prefix between dot and next blank")
        << "SELECT clients.na FROM clients" << 17 << false << 4 << "clients" << "na";
    QTest::newRow("parenthesis bounds the object name")
        << "SELECT COUNT(t.id" << -1 << false << 4 << "t" << "COUNT(t.id";
    QTest::newRow("bracketed object name kept whole")
        << "SELECT [order details].qu" << -1 << false << 4 << "[order details]"
        << "details].qu";
    QTest::newRow("system mode gives the system kinds")
        << "SELECT * FROM " << -1 << true << 11 << "" << "";
    QTest::newRow("system mode dot context still columns")
        << "SELECT clients." << -1 << true << 4 << "clients" << "clients.";
    QTest::newRow("empty text") << "" << 0 << false << 8 << "" << "";
    QTest::newRow("empty text system mode") << "" << 0 << true << 11 << "" << "";
    QTest::newRow("caret at 0 of a dotted text")
        << "SELECT t.cl" << 0 << false << 8 << "" << "";
    QTest::newRow("caret at 0 system mode")
        << "SELECT * FROM cl" << 0 << true << 11 << "" << "";
    QTest::newRow("comma without blank")
        << "SELECT a,b" << -1 << false << 8 << "" << "a,b";
    QTest::newRow("comma bounds the object name")
        << "SELECT t.a,t." << -1 << false << 4 << "t" << "t.a,t.";
    QTest::newRow("open parenthesis alone is object mode")
        << "SELECT COUNT(" << -1 << false << 8 << "" << "COUNT(";
    QTest::newRow("line break before caret with blank on its line")
        << "SELECT *\r\nFROM cl" << -1 << false << 8 << "" << "cl";
    QTest::newRow("line break before caret is not a separator")
        << "SELECT *\r\nFROM\r\ncl" << -1 << false << 8 << "" << "*\r\nFROM\r\ncl";
    QTest::newRow("line break after caret, blank farther still")
        << "SELECT * FROM cl\r\nWHERE x" << 16 << false << 8 << "" << "";
    QTest::newRow("line break after caret ends column prefix")
        << "SELECT t.na\r\n" << 11 << false << 4 << "t" << "na";
    QTest::newRow("farthest end of word after caret is taken")
        << "SELECT t.na\r\nFROM t" << 11 << false << 4 << "t" << "na\r\nFROM";
    QTest::newRow("bracket after the dot leaves the object empty")
        << "SELECT [a b].[c" << -1 << false << 4 << "[" << "b].[c";
    QTest::newRow("bracketed name with a blank")
        << "SELECT [a b].c" << -1 << false << 4 << "[a b]" << "b].c";
    QTest::newRow("dot followed by blank gives empty column prefix")
        << "SELECT t. FROM x" << 9 << false << 4 << "t" << "";
    QTest::newRow("caret inside a word takes the word to the end")
        << "SELECT * FROM clients" << 16 << false << 8 << "" << "clients";
    QTest::newRow("schema before the dot is the object")
        << "SELECT * FROM dbo.cl" << -1 << false << 4 << "dbo" << "dbo.cl";
    QTest::newRow("quote kept as typed")
        << "SELECT * FROM o'b" << -1 << false << 8 << "" << "o'b";
}

void TestContexte::analyse()
{
    QFETCH(QString, texte);
    QFETCH(int, caret);
    QFETCH(bool, systeme);
    QFETCH(int, types);
    QFETCH(QString, objet);
    QFETCH(QString, prefixe);

    const Contexte contexte = AnalyseContexte(texte, caret < 0 ? texte.size() : caret, systeme);
    QCOMPARE(contexte.lTypes, long(types));
    QCOMPARE(contexte.sObjet, objet);
    QCOMPARE(contexte.sPrefixe, prefixe);
}

void TestContexte::caretAuDelaDuTexte()
{
    // A caret past the end reads as a caret at the end.
    const Contexte contexte = AnalyseContexte(QStringLiteral("SELECT t.c"), 50, false);
    QCOMPARE(contexte.lTypes, 4L);
    QCOMPARE(contexte.sObjet, QStringLiteral("t"));
    QCOMPARE(contexte.sPrefixe, QStringLiteral("t.c"));
}

QTEST_APPLESS_MAIN(TestContexte)
#include "test_contexte.moc"
