#include "formatjournal.h"

#include <QtTest>
#include <cmath>
#include <limits>

class TestFormatJournal : public QObject
{
    Q_OBJECT
private slots:
    void secondes_data();
    void secondes();
    void ligneTemps();
    void hexa_data();
    void hexa();
    void blancs_data();
    void blancs();
    void entreeErreur_data();
    void entreeErreur();
};

void TestFormatJournal::secondes_data()
{
    QTest::addColumn<float>("secondes");
    QTest::addColumn<QString>("langue");
    QTest::addColumn<QString>("attendu");

    QTest::newRow("zero has no separator") << 0.0f << "en_US" << "0";
    QTest::newRow("whole number has no separator") << 3.0f << "fr_FR" << "3";
    QTest::newRow("half with a point in English") << 0.5f << "en_US" << "0.5";
    QTest::newRow("half with a comma in French") << 0.5f << "fr_FR" << "0,5";
    QTest::newRow("half with a comma in German") << 0.5f << "de_DE" << "0,5";
    QTest::newRow("no trailing zeros") << 1.25f << "en_US" << "1.25";
    QTest::newRow("seven significant digits at most") << 0.123456789f << "en_US" << "0.1234568";
    QTest::newRow("single precision rounding of a tenth") << 0.1f << "en_US" << "0.1";
    QTest::newRow("milliseconds") << 0.015625f << "fr_FR" << "0,015625";
    QTest::newRow("no thousands separator") << 12345.5f << "en_US" << "12345.5";
    QTest::newRow("no thousands separator in French") << 1234567.0f << "fr_FR" << "1234567";
    QTest::newRow("very small value in exponent form") << 0.0000125f << "fr_FR" << "1,25E-05";
    QTest::newRow("negative value keeps its sign") << -0.5f << "en_US" << "-0.5";
}

void TestFormatJournal::secondes()
{
    QFETCH(float, secondes);
    QFETCH(QString, langue);
    QFETCH(QString, attendu);
    QCOMPARE(TexteSecondes(secondes, QLocale(langue)), attendu);
}

void TestFormatJournal::ligneTemps()
{
    QCOMPARE(LigneTemps(0.25f, QLocale(QStringLiteral("fr_FR"))),
             QStringLiteral("\tTemps opération :0,25 seconde(s)"));
    QCOMPARE(LigneTemps(2.0f, QLocale::c()), QStringLiteral("\tTemps opération :2 seconde(s)"));
}

void TestFormatJournal::hexa_data()
{
    QTest::addColumn<int>("nombre");
    QTest::addColumn<QString>("attendu");

    QTest::newRow("minus one is eight F") << -1 << "FFFFFFFF";
    QTest::newRow("zero") << 0 << "0";
    QTest::newRow("small number without leading zeros") << 91 << "5B";
    QTest::newRow("upper case letters") << 3704 << "E78";
    QTest::newRow("large negative provider error") << -2147217871 << "80040E31";
    QTest::newRow("unspecified failure") << -2147467259 << "80004005";
    QTest::newRow("lowest 32-bit value") << std::numeric_limits<int>::min() << "80000000";
    QTest::newRow("highest 32-bit value") << std::numeric_limits<int>::max() << "7FFFFFFF";
}

void TestFormatJournal::hexa()
{
    QFETCH(int, nombre);
    QFETCH(QString, attendu);
    QCOMPARE(HexaErreur(nombre), attendu);
}

void TestFormatJournal::blancs_data()
{
    QTest::addColumn<double>("largeur");
    QTest::addColumn<int>("attendu");

    QTest::newRow("exact multiple of nine") << 900.0 << 100;
    QTest::newRow("below half rounds down") << 904.0 << 100;
    QTest::newRow("above half rounds up") << 905.0 << 101;
    QTest::newRow("half goes to even neighbour down") << 940.5 << 104;   // 104.5
    QTest::newRow("half goes to even neighbour up") << 931.5 << 104;     // 103.5
    QTest::newRow("half of a quarter-pixel width") << 4.5 << 0;          // 0.5
    QTest::newRow("one and a half") << 13.5 << 2;
    QTest::newRow("no width") << 0.0 << 0;
    QTest::newRow("not a number") << std::nan("") << 0;
}

void TestFormatJournal::blancs()
{
    QFETCH(double, largeur);
    QFETCH(int, attendu);
    QCOMPARE(NombreBlancs(largeur), attendu);
}

void TestFormatJournal::entreeErreur_data()
{
    QTest::addColumn<int>("nombre");
    QTest::addColumn<QString>("description");
    QTest::addColumn<int>("blancs");
    QTest::addColumn<QString>("attendu");

    QTest::newRow("minus one")
        << -1 << "Échec" << 3 << "\tErreur : -1 (&HFFFFFFFF); \r\n\t   Échec";
    QTest::newRow("large negative number")
        << -2147217843 << "Login failed for user 'sa'." << 0
        << "\tErreur : -2147217843 (&H80040E4D); \r\n\tLogin failed for user 'sa'.";
    QTest::newRow("positive number")
        << 3704 << "Closed." << 1 << "\tErreur : 3704 (&HE78); \r\n\t Closed.";
}

void TestFormatJournal::entreeErreur()
{
    QFETCH(int, nombre);
    QFETCH(QString, description);
    QFETCH(int, blancs);
    QFETCH(QString, attendu);
    QCOMPARE(EntreeErreur(nombre, description, blancs), attendu);
}

QTEST_APPLESS_MAIN(TestFormatJournal)
#include "test_testrun_format.moc"
