#include "insertion.h"

#include <QtTest>

class TestInsertion : public QObject
{
    Q_OBJECT

private slots:
    void insere_data();
    void insere();
    void texteDuChoix_data();
    void texteDuChoix();
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

    // Typed characters go in at the caret and take nothing away.
    QTest::newRow("typed letter after blank")
        << "SELECT * FROM " << 14 << "c" << true << false << true << "SELECT * FROM c" << 15;
    QTest::newRow("typed letter before a blank keeps it")
        << "SELECT * FROM cl WHERE x" << 16 << "i" << true << false << true
        << "SELECT * FROM cli WHERE x" << 17;
    QTest::newRow("typed dot is not bracketed")
        << "SELECT t" << 8 << "." << true << false << true << "SELECT t." << 9;
    QTest::newRow("database flag ignored for typed characters")
        << "SELECT " << 7 << "m" << true << true << true << "SELECT m" << 8;
    QTest::newRow("double blank after the word stays")
        << "SELECT * FROM cl  WHERE" << 16 << "i" << true << false << true
        << "SELECT * FROM cli  WHERE" << 17;
    QTest::newRow("typed inside a word keeps its rest")
        << "SELECT * FROM clents" << 16 << "i" << true << false << true << "SELECT * FROM clients" << 17;
    QTest::newRow("letter typed at the start of a line")
        << "x\r\ncl" << 3 << "a" << true << false << true << "x\r\nacl" << 4;
    QTest::newRow("typed at caret 0 keeps the text")
        << "SELECT x" << 0 << "a" << true << false << true << "aSELECT x" << 1;

    // A chosen name takes the place of the typed prefix and the rest of the word.
    QTest::newRow("chosen name after blank")
        << "SELECT * FROM " << 14 << "clients" << false << false << true
        << "SELECT * FROM clients" << 21;
    QTest::newRow("chosen name replaces the typed prefix")
        << "SELECT * FROM cl" << 16 << "clients" << false << false << true << "SELECT * FROM clients" << 21;
    QTest::newRow("text after the word stays")
        << "SELECT * FROM cl WHERE x = 1" << 16 << "clients" << false << false << true
        << "SELECT * FROM clients WHERE x = 1" << 21;
    QTest::newRow("comma before the word is no boundary of the choice")
        << "SELECT a, b FROM cl" << 19 << "clients" << false << false << true << "SELECT a, b FROM clients" << 24;
    QTest::newRow("after a dot only the part after it")
        << "SELECT clients." << 15 << "nom" << false << false << true << "SELECT clients.nom" << 18;
    QTest::newRow("column prefix with text after")
        << "SELECT clients.na FROM clients" << 17 << "nom" << false << false << true
        << "SELECT clients.nom FROM clients" << 18;
    QTest::newRow("after a bracketed name with blanks")
        << "SELECT [lignes de commande]." << 28 << "quantite" << false << false << true
        << "SELECT [lignes de commande].quantite" << 36;
    QTest::newRow("caret inside a word replaces all of it")
        << "SELECT * FROM clXYZ WHERE" << 16 << "clients" << false << false << true
        << "SELECT * FROM clients WHERE" << 21;
    QTest::newRow("open bracket is part of the replaced word")
        << "SELECT * FROM [lig" << 18 << "lignes de commande" << false << false << true
        << "SELECT * FROM [lignes de commande]" << 34;
    QTest::newRow("rest of an open bracketed name replaced too")
        << "SELECT * FROM [lig de]x" << 18 << "lignes de commande" << false << false << true
        << "SELECT * FROM [lignes de commande]x" << 34;
    QTest::newRow("word after a tab")
        << "SELECT *\r\nFROM\r\n\tcl" << 19 << "clients" << false << false << true
        << "SELECT *\r\nFROM\r\n\tclients" << 24;
    QTest::newRow("word after a parenthesis")
        << "SELECT COUNT(t.id" << 17 << "idx" << false << false << true << "SELECT COUNT(t.idx" << 18;
    QTest::newRow("line break after the word stays")
        << "x.cl\r\nWHERE y" << 4 << "clients" << false << false << true
        << "x.clients\r\nWHERE y" << 9;
    QTest::newRow("single word")
        << "cl" << 2 << "clients" << false << false << true << "clients" << 7;
    QTest::newRow("empty text")
        << "" << 0 << "clients" << false << false << true << "clients" << 7;
    QTest::newRow("database gets .dbo.")
        << "SELECT * FROM ma" << 16 << "master" << false << true << true
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
    QTest::newRow("a typed @ stays, not doubled")
        << "SELECT @cu" << 10 << "@cutoff" << false << false << true << "SELECT @cutoff" << 14;
    QTest::newRow("a typed # stays")
        << "SELECT * FROM #" << 15 << "#o" << false << false << true << "SELECT * FROM #o" << 16;
    QTest::newRow("a typed bracket stays around a plain name")
        << "SELECT * FROM [cl" << 17 << "clients" << false << false << true << "SELECT * FROM [clients]" << 23;
    QTest::newRow("a typed quote stays around a column")
        << "SELECT r.\"n" << 11 << "nom" << false << false << true << "SELECT r.\"nom\"" << 14;
    QTest::newRow("closing bracket inside a bracketed name doubled")
        << "SELECT * FROM " << 14 << "a]b c" << false << false << true
        << "SELECT * FROM [a]]b c]" << 22;

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

void TestInsertion::texteDuChoix_data()
{
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QString>("proprietaire");
    QTest::addColumn<bool>("base");
    QTest::addColumn<QString>("attendu");
    QTest::newRow("plain name") << "clients" << "" << false << "clients";
    QTest::newRow("owner and name") << "factures" << "Compta" << false << "Compta.factures";
    QTest::newRow("each part bracketed on its own")
        << "lignes de commande" << "Mon schema" << false << "[Mon schema].[lignes de commande]";
    QTest::newRow("database") << "Ventes" << "" << true << "Ventes.dbo.";
}

void TestInsertion::texteDuChoix()
{
    QFETCH(QString, nom);
    QFETCH(QString, proprietaire);
    QFETCH(bool, base);
    QFETCH(QString, attendu);
    QCOMPARE(TexteDuChoix(nom, proprietaire, base), attendu);
}

QTEST_APPLESS_MAIN(TestInsertion)
#include "test_insertion.moc"
