#include "decoupagelots.h"

#include <QtTest>

class TestDecoupageLots : public QObject
{
    Q_OBJECT
private slots:
    void decoupe_data();
    void decoupe();
    void compteFautif_data();
    void compteFautif();
};

// Each batch written as "line:count:text", the text with its line breaks.
static QStringList Decrit(const DecoupageLots &d)
{
    QStringList lots;
    for (const Lot &lot : d.lots)
        lots << QStringLiteral("%1:%2:%3").arg(lot.lLigneDebut).arg(lot.lRepetitions).arg(lot.sTexte);
    return lots;
}

void TestDecoupageLots::decoupe_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("lots");
    QTest::newRow("sans GO, un lot") << "SELECT 1" << QStringList{"1:1:SELECT 1"};
    QTest::newRow("point-virgule ne coupe pas")
        << "DECLARE @a int; SET @a = 1;\nSELECT @a;" << QStringList{"1:1:DECLARE @a int; SET @a = 1;\nSELECT @a;"};
    QTest::newRow("GO en minuscules entre blancs, CR LF")
        << "SELECT 1\r\n  go  \r\nSELECT 2" << QStringList{"1:1:SELECT 1\r\n", "3:1:SELECT 2"};
    QTest::newRow("GO n et commentaire")
        << "PRINT 'x'\nGO 3 -- trois fois\nPRINT 'y'\nGo--fin" << QStringList{"1:3:PRINT 'x'\n", "3:1:PRINT 'y'\n"};
    QTest::newRow("GO dans une chaîne sur plusieurs lignes")
        << "SELECT 'a\nGO\nb'\nGO\nSELECT 2" << QStringList{"1:1:SELECT 'a\nGO\nb'\n", "5:1:SELECT 2"};
    QTest::newRow("GO dans un commentaire imbriqué")
        << "/* x /* y */\nGO\n*/ SELECT 1\nGO" << QStringList{"1:1:/* x /* y */\nGO\n*/ SELECT 1\n"};
    QTest::newRow("apostrophe dans un commentaire de ligne ne l'ouvre pas")
        << "SELECT 1 -- l'ami\nGO\nSELECT 2" << QStringList{"1:1:SELECT 1 -- l'ami\n", "3:1:SELECT 2"};
    QTest::newRow("nom entre crochets")
        << "SELECT 1 AS [a\nGO\n]\nGO" << QStringList{"1:1:SELECT 1 AS [a\nGO\n]\n"};
    QTest::newRow("GOTO et GO; ne coupent pas")
        << "GOTO fin\nGO;\nfin:" << QStringList{"1:1:GOTO fin\nGO;\nfin:"};
    QTest::newRow("lots vides et commentaires seuls omis")
        << "GO\n-- rien\n/* non plus */\nGO\n\nSELECT 3\nGO\n" << QStringList{"5:1:\nSELECT 3\n"};
    QTest::newRow("code après un commentaire de bloc sur deux lignes")
        << "/* a\nb */ SELECT 4\nGO\n-- x\n" << QStringList{"1:1:/* a\nb */ SELECT 4\n"};
    QTest::newRow("texte vide") << "" << QStringList{};
}

void TestDecoupageLots::decoupe()
{
    QFETCH(QString, script);
    QFETCH(QStringList, lots);
    const DecoupageLots d = DecoupeLots(script);
    QVERIFY2(d.sErreur.isEmpty(), qPrintable(d.sErreur));
    QCOMPARE(Decrit(d), lots);
}

void TestDecoupageLots::compteFautif_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("ligne");
    QTest::newRow("GO 0") << "SELECT 1\nGO 0" << 2;
    QTest::newRow("GO -1") << "SELECT 1\nGO\nSELECT 2\nGO -1" << 4;
    QTest::newRow("au-delà de 2147483647") << "SELECT 1\nGO 2147483648" << 2;
    QTest::newRow("pas un nombre") << "GO deux" << 1;
}

void TestDecoupageLots::compteFautif()
{
    QFETCH(QString, script);
    QFETCH(int, ligne);
    const DecoupageLots d = DecoupeLots(script);
    QVERIFY(d.lots.isEmpty());
    QCOMPARE(d.lLigneErreur, ligne);
    QVERIFY(d.sErreur.contains(QString::number(ligne)));
    // The largest count is still a count.
    QCOMPARE(DecoupeLots(QStringLiteral("SELECT 1\nGO 2147483647")).lots.value(0).lRepetitions, 2147483647);
}

QTEST_APPLESS_MAIN(TestDecoupageLots)
#include "test_decoupagelots.moc"
