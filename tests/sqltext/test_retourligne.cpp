// The two fixed sets of margins and scroll bars of the word-wrap box.

#include "retourligne.h"

#include <QTest>

class TestRetourLigne : public QObject {
    Q_OBJECT

private slots:
    void reglages_data()
    {
        QTest::addColumn<bool>("coche");
        QTest::addColumn<double>("largeurW");
        QTest::addColumn<double>("marge1");
        QTest::addColumn<double>("marge2");
        QTest::addColumn<int>("barres1");
        QTest::addColumn<int>("barres2");
        QTest::newRow("coche_marges_fixes") << true << 123456.0 << 66000.0 << 0.0 << 3 << 3;
        QTest::newRow("non_coche_largeur_des_w") << false << 4423680.0 << 4423680.0 << 4423680.0 << 2 << 2;
        QTest::newRow("non_coche_autre_largeur") << false << 777.5 << 777.5 << 777.5 << 2 << 2;
    }
    void reglages()
    {
        QFETCH(bool, coche);
        QFETCH(double, largeurW);
        QFETCH(double, marge1);
        QFETCH(double, marge2);
        QFETCH(int, barres1);
        QFETCH(int, barres2);
        const ReglagesRetourLigne r = ReglagesLimiteADroite(coche, largeurW);
        QCOMPARE(r.dMargeRequete, marge1);
        QCOMPARE(r.dMargeRequete2, marge2);
        QCOMPARE(r.iBarresRequete, barres1);
        QCOMPARE(r.iBarresRequete2, barres2);
    }
};

QTEST_APPLESS_MAIN(TestRetourLigne)
#include "test_retourligne.moc"
