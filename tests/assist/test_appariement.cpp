// The bracket beside the caret and its partner, literals and comments left out.
#include "appariement.h"

#include <QTest>

class TestAppariement : public QObject
{
    Q_OBJECT

private slots:
    void partenaire_data();
    void partenaire();
};

void TestAppariement::partenaire_data()
{
    // "|" is the caret; the offsets count without it.
    QTest::addColumn<QString>("texte");
    QTest::addColumn<int>("etatDebut");
    QTest::addColumn<int>("crochet");
    QTest::addColumn<int>("partenaire");
    const int commentaire = CodeEtat(EtatLecture{GenreJeton::Commentaire, 1});
    QTest::newRow("apres le caret d abord") << "|(a (b) c)" << 0 << 0 << 8;
    QTest::newRow("avant le caret ensuite") << "(a (b) c)|" << 0 << 8 << 0;
    QTest::newRow("ouvrante avant le caret") << "f(|a)" << 0 << 1 << 3;
    QTest::newRow("imbriquees") << "((|a) b)" << 0 << 1 << 3;
    QTest::newRow("sur plusieurs lignes") << "(\r\n a,\r\n b\r\n)|" << 0 << 12 << 0;
    QTest::newRow("dans une chaine ignoree") << "x = ')' + (|" << 0 << 10 << -1;
    QTest::newRow("dans un commentaire ignoree") << "/* ( */ (a)|" << 0 << 10 << 8;
    QTest::newRow("commentaire de ligne") << "-- (\n)|" << 0 << 5 << -1;
    QTest::newRow("nom encadre") << "[a]]b]|" << 0 << 5 << 0;
    QTest::newRow("nom encadre ouvert") << "|[abc" << 0 << 0 << -1;
    QTest::newRow("crochet seul") << "a ]|" << 0 << 2 << -1;
    QTest::newRow("rien a cote") << "a |b (c)" << 0 << -1 << -1;
    QTest::newRow("dans une chaine au caret") << "'(|)'" << 0 << -1 << -1;
    QTest::newRow("depuis un commentaire ouvert") << "( */ (x)|" << commentaire << 7 << 5;
}

void TestAppariement::partenaire()
{
    QFETCH(QString, texte);
    QFETCH(int, etatDebut);
    QFETCH(int, crochet);
    QFETCH(int, partenaire);
    const int lCaret = int(texte.indexOf(QLatin1Char('|')));
    texte.remove(lCaret, 1);
    const Appariement a = ApparieCrochet(texte, lCaret, EtatDuCode(etatDebut));
    QCOMPARE(a.lCrochet, crochet);
    QCOMPARE(a.lPartenaire, partenaire);
}

QTEST_APPLESS_MAIN(TestAppariement)
#include "test_appariement.moc"
