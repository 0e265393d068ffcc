#include "placement.h"

#include <QtTest>

class TestPlacement : public QObject
{
    Q_OBJECT

private slots:
    void debutLigne_data();
    void debutLigne();
    void dansEcran_data();
    void dansEcran();
    void coinEstime();
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

void TestPlacement::dansEcran_data()
{
    QTest::addColumn<QPoint>("coin");
    QTest::addColumn<QPoint>("attendu");
    // A 300 x 200 popup, lines 16 high, on a 1000 x 800 screen at (0, 0).
    QTest::newRow("room enough: unchanged") << QPoint(100, 100) << QPoint(100, 100);
    QTest::newRow("past the right edge: moved left") << QPoint(900, 100) << QPoint(700, 100);
    QTest::newRow("no room below: above the caret's line") << QPoint(100, 700) << QPoint(100, 484);
    QTest::newRow("both") << QPoint(950, 750) << QPoint(700, 534);
    QTest::newRow("never left of or above the screen") << QPoint(-20, -5) << QPoint(0, 0);
}

void TestPlacement::dansEcran()
{
    QFETCH(QPoint, coin);
    QFETCH(QPoint, attendu);
    QCOMPARE(DansEcran(coin, QSize(300, 200), 16, QRect(0, 0, 1000, 800)), attendu);
    // Without a known screen the corner stays.
    QCOMPARE(DansEcran(coin, QSize(300, 200), 16, QRect()), coin);
}

void TestPlacement::coinEstime()
{
    // Caret after five characters of the third line.
    MesuresCaret m;
    m.dHauteurLigne = 225;
    m.lLigne = 2;
    m.dLargeurDebut = 600;
    m.origineFenetre = QPointF(1500, 3000);
    m.origineEditeur = QPointF(0, 1320);
    m.bordures = QSizeF(60, 405);
    QCOMPARE(CoinEstimeTwips(m), QPointF(600 + 1500 + 0 + 60, 225 * 3 + 3000 + 1320 + 405));
}

QTEST_APPLESS_MAIN(TestPlacement)
#include "test_placement.moc"
