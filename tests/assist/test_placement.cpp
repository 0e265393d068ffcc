#include "placement.h"

#include <QtTest>

class TestPlacement : public QObject
{
    Q_OBJECT

private slots:
    void debutLigne_data();
    void debutLigne();
};

void TestPlacement::debutLigne_data()
{
    QTest::addColumn<QString>("texte");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("debut");

    QTest::newRow("empty text") << "" << 0 << 1;
    QTest::newRow("caret 0 of a text") << "SELECT\r\nFROM" << 0 << 1;
    QTest::newRow("first line") << "SELECT * FROM" << 5 << 1;
    QTest::newRow("start of second line") << "SELECT\r\nFROM" << 8 << 9;
    QTest::newRow("inside second line") << "SELECT\r\nFROM" << 12 << 9;
    QTest::newRow("caret between CR and LF still first line") << "SELECT\r\nFROM" << 7 << 1;
    QTest::newRow("start of third line") << "a\r\nb\r\nc" << 6 << 7;
    QTest::newRow("end of third line") << "a\r\nb\r\ncd" << 8 << 7;
    QTest::newRow("lone LF is not a line break") << "a\nb" << 3 << 1;
}

void TestPlacement::debutLigne()
{
    QFETCH(QString, texte);
    QFETCH(int, caret);
    QFETCH(int, debut);
    QCOMPARE(DebutLigne(texte, caret), long(debut));
}

QTEST_APPLESS_MAIN(TestPlacement)
#include "test_placement.moc"
