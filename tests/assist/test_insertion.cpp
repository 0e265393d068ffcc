#include "insertion.h"

#include <QtTest>

class TestInsertion : public QObject
{
    Q_OBJECT

private slots:
    void insere_data();
    void insere();
};

static const QString kBackspace = QString(QChar(8));

void TestInsertion::insere_data()
{
    QTest::addColumn<QString>("texte");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("insere");
    QTest::addColumn<bool>("keyPress");
    QTest::addColumn<bool>("base");
    QTest::addColumn<bool>("appliquee");
    QTest::addColumn<QString>("attendu");
    QTest::addColumn<int>("caretAttendu");

    // Typed characters.
    QTest::newRow("typed letter after blank")
        << "SELECT * FROM " << 14 << "c" << true << false << true << "SELECT * FROM c" << 15;
    QTest::newRow("typed letter drops the blank and puts it back")
        << "SELECT * FROM cl WHERE x" << 16 << "i" << true << false << true
        << "SELECT * FROM cli WHERE x" << 17;
    QTest::newRow("typed dot is not bracketed")
        << "SELECT t" << 8 << "." << true << false << true << "SELECT t." << 9;
    QTest::newRow("database flag ignored for typed characters")
        << "SELECT " << 7 << "m" << true << true << true << "SELECT m" << 8;
    QTest::newRow("double blank after the word keeps one")
        << "SELECT * FROM cl  WHERE" << 16 << "i" << true << false << true
        << "SELECT * FROM cli WHERE" << 17;

    // Chosen names.
    QTest::newRow("chosen name after blank")
        << "SELECT * FROM " << 14 << "clients" << false << false << true
        << "SELECT * FROM clients" << 21;
    QTest::newRow("chosen name goes in front of the typed word")
        << "SELECT * FROM cl" << 16 << "clients" << false << false << true
        << "SELECT * FROM clients cl" << 21;
    QTest::newRow("chosen name at farther blank than dot")
        << "SELECT * FROM x.cl" << 18 << "clients" << false << false << true
        << "SELECT * FROM clients x.cl" << 21;
    QTest::newRow("chosen name after the only dot replaces the rest")
        << "x.cl" << 4 << "clients" << false << false << true << "x.clients" << 9;
    QTest::newRow("database gets .dbo.")
        << "SELECT * FROM " << 14 << "master" << false << true << true
        << "SELECT * FROM master.dbo." << 25;
    QTest::newRow("database with blank bracketed then .dbo.")
        << "SELECT * FROM " << 14 << "my base" << false << true << true
        << "SELECT * FROM [my base].dbo." << 28;
    QTest::newRow("server with backslash bracketed")
        << "SELECT * FROM " << 14 << "HOST\\INST" << false << false << true
        << "SELECT * FROM [HOST\\INST]" << 25;
    QTest::newRow("name with dot bracketed")
        << "SELECT * FROM " << 14 << "a.b" << false << false << true
        << "SELECT * FROM [a.b]" << 19;
    QTest::newRow("closing bracket inside a bracketed name doubled")
        << "SELECT * FROM " << 14 << "a]b c" << false << false << true
        << "SELECT * FROM [a]]b c]" << 22;

    // Mends.
    QTest::newRow("one-letter word not glued to the chosen name")
        << "SELECT * FROM c x" << 15 << "clients" << false << false << true
        << "SELECT * FROM clients c x" << 21;
    QTest::newRow("line break ends the word of a typed letter")
        << "SELECT * FROM cl\r\nWHERE x = 1" << 16 << "i" << true << false << true
        << "SELECT * FROM cli\r\nWHERE x = 1" << 17;
    QTest::newRow("line break ends the word of a chosen name")
        << "x.cl\r\nWHERE y" << 4 << "clients" << false << false << true
        << "x.clients\r\nWHERE y" << 9;
    QTest::newRow("tab ends the word and stays")
        << "SELECT cl\tFROM t" << 9 << "i" << true << false << true << "SELECT cli\tFROM t" << 10;
    QTest::newRow("letter typed at the start of a line")
        << "x\r\ncl" << 3 << "a" << true << false << true << "x\r\na cl" << 4;
    QTest::newRow("insertion point 0 replaces only the first word")
        << "cl FROM x" << 2 << "clients" << false << false << true << "clients FROM x" << 7;
    QTest::newRow("insertion point 0 stops at a line break")
        << "cl\r\nFROM x" << 2 << "clients" << false << false << true
        << "clients\r\nFROM x" << 7;
    QTest::newRow("insertion point 0 with a single word")
        << "cl" << 2 << "clients" << false << false << true << "clients" << 7;
    QTest::newRow("insertion point 0 in an empty text")
        << "" << 0 << "clients" << false << false << true << "clients" << 7;
    QTest::newRow("typed at caret 0 replaces the word at the caret")
        << "SELECT x" << 0 << "a" << true << false << true << "a x" << 1;

    // Backspace.
    QTest::newRow("backspace at end of word")
        << "SELECT * FROM cli" << 17 << kBackspace << true << false << true
        << "SELECT * FROM cl" << 16;
    QTest::newRow("backspace at caret 0 changes nothing")
        << "SELECT" << 0 << kBackspace << true << false << false << "SELECT" << 0;
    QTest::newRow("backspace on a one-letter word deletes it")
        << "SELECT * FROM c" << 15 << kBackspace << true << false << true
        << "SELECT * FROM " << 14;
    QTest::newRow("backspace after first letter of a word")
        << "SELECT * FROM cli" << 15 << kBackspace << true << false << true
        << "SELECT * FROM li" << 14;
    QTest::newRow("backspace removes a whole line break")
        << "SELECT *\r\nFROM" << 10 << kBackspace << true << false << true << "SELECT *FROM" << 8;
    QTest::newRow("backspace of the blank before the caret")
        << "SELECT * FROM " << 14 << kBackspace << true << false << true << "SELECT * FROM" << 13;
}

void TestInsertion::insere()
{
    QFETCH(QString, texte);
    QFETCH(int, caret);
    QFETCH(QString, insere);
    QFETCH(bool, keyPress);
    QFETCH(bool, base);
    QFETCH(bool, appliquee);
    QFETCH(QString, attendu);
    QFETCH(int, caretAttendu);

    const Insertion resultat = CalculeInsertion(texte, caret, insere, keyPress, base);
    QCOMPARE(resultat.bAppliquee, appliquee);
    QCOMPARE(resultat.sTexte, attendu);
    QCOMPARE(resultat.lSelStart, caretAttendu);
}

QTEST_APPLESS_MAIN(TestInsertion)
#include "test_insertion.moc"
