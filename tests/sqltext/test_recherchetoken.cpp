// The small shared helpers: bounds, larger/smaller, largest of a list, the smaller non-zero
// position, and the backward search for separators.

#include "recherchetoken.h"

#include <QTest>

#include <stdexcept>

class TestRechercheToken : public QObject {
    Q_OBJECT

private slots:
    void plusPetitNonNul_data()
    {
        QTest::addColumn<long>("a");
        QTest::addColumn<long>("b");
        QTest::addColumn<long>("attendu");
        QTest::newRow("deux_absents") << 0L << 0L << 0L;
        QTest::newRow("premier_absent") << 0L << 3L << 3L;
        QTest::newRow("second_absent") << 3L << 0L << 3L;
        QTest::newRow("plus_petit_des_deux") << 2L << 3L << 2L;
        QTest::newRow("plus_petit_second") << 7L << 5L << 5L;
        QTest::newRow("negatif_compte") << -1L << 0L << -1L;
    }
    void plusPetitNonNul()
    {
        QFETCH(long, a);
        QFETCH(long, b);
        QFETCH(long, attendu);
        QCOMPARE(PlusPetitNonNul(a, b), attendu);
    }

    void plusGrandPlusPetit_data()
    {
        QTest::addColumn<long>("a");
        QTest::addColumn<long>("b");
        QTest::addColumn<long>("grand");
        QTest::addColumn<long>("petit");
        QTest::newRow("egaux") << 4L << 4L << 4L << 4L;
        QTest::newRow("croissants") << 2L << 9L << 9L << 2L;
        QTest::newRow("decroissants") << 9L << -2L << 9L << -2L;
    }
    void plusGrandPlusPetit()
    {
        QFETCH(long, a);
        QFETCH(long, b);
        QFETCH(long, grand);
        QFETCH(long, petit);
        QCOMPARE(PlusGrand(a, b), grand);
        QCOMPARE(PlusPetit(a, b), petit);
    }

    void plusGrandDuTableau_data()
    {
        QTest::addColumn<QVector<double>>("valeurs");
        QTest::addColumn<long>("attendu");
        QTest::newRow("tous_negatifs") << QVector<double>{-3, -1} << 0L;
        QTest::newRow("zero_cinq_deux") << QVector<double>{0, 5, 2} << 5L;
        QTest::newRow("liste_vide") << QVector<double>{} << 0L;
        QTest::newRow("demi_vers_pair_bas") << QVector<double>{2.5} << 2L;
        QTest::newRow("demi_vers_pair_haut") << QVector<double>{3.5} << 4L;
        QTest::newRow("arrondi_au_plus_proche") << QVector<double>{1.6, 0.4} << 2L;
    }
    void plusGrandDuTableau()
    {
        QFETCH(QVector<double>, valeurs);
        QFETCH(long, attendu);
        QCOMPARE(PlusGrandDuTableau(valeurs), attendu);
    }

    void plusGrandDuTableauHorsEntier()
    {
        QVERIFY_THROWS_EXCEPTION(std::exception, PlusGrandDuTableau({1e12}));
    }

    void chercheListeArriere_data()
    {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<long>("debut");
        QTest::addColumn<QStringList>("tokens");
        QTest::addColumn<long>("attendu");
        const QStringList pointEspace{QStringLiteral("."), QStringLiteral(" ")};
        QTest::newRow("le_plus_loin_des_plus_proches") << QStringLiteral("ab.de fg") << 8L << pointEspace << 3L;
        QTest::newRow("debut_egal_longueur") << QStringLiteral("ab.de fg") << 8L << QStringList{QStringLiteral(" ")} << 6L;
        QTest::newRow("tout_le_texte") << QStringLiteral("ab.de fg") << -1L << QStringList{QStringLiteral(" ")} << 6L;
        QTest::newRow("debut_un_premier_caractere") << QStringLiteral(".abc") << 1L << pointEspace << 1L;
        QTest::newRow("debut_un_ne_voit_pas_plus_loin") << QStringLiteral("a.bc") << 1L << pointEspace << 0L;
        QTest::newRow("avant_le_debut_seulement") << QStringLiteral("a b c") << 3L << QStringList{QStringLiteral(" ")} << 2L;
        QTest::newRow("debut_au_dela_du_texte") << QStringLiteral("a b") << 9L << pointEspace << 0L;
        QTest::newRow("texte_vide") << QString() << -1L << pointEspace << 0L;
        QTest::newRow("aucun_token") << QStringLiteral("abc") << -1L << pointEspace << 0L;
        QTest::newRow("casse_exacte") << QStringLiteral("aXb") << -1L << QStringList{QStringLiteral("x")} << 0L;
    }
    void chercheListeArriere()
    {
        QFETCH(QString, texte);
        QFETCH(long, debut);
        QFETCH(QStringList, tokens);
        QFETCH(long, attendu);
        QCOMPARE(ChercheListeArriere(texte, debut, tokens), attendu);
    }

    void chercheListeArriereDebutInvalide_data()
    {
        QTest::addColumn<long>("debut");
        QTest::newRow("zero") << 0L;
        QTest::newRow("moins_deux") << -2L;
    }
    void chercheListeArriereDebutInvalide()
    {
        QFETCH(long, debut);
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                 ChercheListeArriere(QStringLiteral("a b"), debut, {QStringLiteral(" ")}));
    }

    void borneSuperieure()
    {
        QCOMPARE(BorneSuperieure(QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}), 2);
        QCOMPARE(BorneSuperieure(std::optional<QStringList>()), 0);
        QCOMPARE(BorneSuperieure(std::optional<QStringList>(QStringList())), -1);
        QCOMPARE(BorneSuperieure(QStringList()), -1);
    }
};

QTEST_APPLESS_MAIN(TestRechercheToken)
#include "test_recherchetoken.moc"
