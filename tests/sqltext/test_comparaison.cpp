// The comparison of the two editors: the common prefix and the stretch that shows the difference.

#include "comparaison.h"

#include <QRandomGenerator>
#include <QTest>

class TestComparaison : public QObject {
    Q_OBJECT

private slots:
    void positionDifference_data()
    {
        QTest::addColumn<QString>("texte1");
        QTest::addColumn<QString>("texte2");
        QTest::addColumn<long>("attendu");
        QTest::newRow("casse_seule_aucune_difference") << QStringLiteral("SELECT a") << QStringLiteral("select A") << -1L;
        QTest::newRow("deux_vides") << QString() << QString() << -1L;
        QTest::newRow("accents_majuscules") << QStringLiteral("ÉTÉ") << QStringLiteral("été") << -1L;
        QTest::newRow("premiers_caracteres_differents") << QStringLiteral("abc") << QStringLiteral("xbc") << 0L;
        QTest::newRow("premier_vide") << QString() << QStringLiteral("abc") << 0L;
        QTest::newRow("second_prolonge_le_premier") << QStringLiteral("abc") << QStringLiteral("abcdef") << 3L;
        QTest::newRow("premier_prolonge_le_second") << QStringLiteral("abcdef") << QStringLiteral("ABC") << 3L;
        QTest::newRow("difference_au_dernier") << QStringLiteral("abcdefgh") << QStringLiteral("abcdefgX") << 7L;
        QTest::newRow("difference_au_milieu") << QStringLiteral("abcdefgh") << QStringLiteral("abcXefgh") << 3L;
        QTest::newRow("un_caractere") << QStringLiteral("a") << QStringLiteral("b") << 0L;
    }
    void positionDifference()
    {
        QFETCH(QString, texte1);
        QFETCH(QString, texte2);
        QFETCH(long, attendu);
        QCOMPARE(PositionDifference(texte1, texte2), attendu);
        QCOMPARE(PositionDifference(texte2, texte1), attendu);
    }

    void positionDifferenceToujoursExacte()
    {
        // Every length of common part and of tails, against a character-by-character count.
        QRandomGenerator alea(31);
        for (int i = 0; i < 3000; ++i) {
            const int commun = int(alea.bounded(0, 300));
            QString base;
            for (int k = 0; k < commun; ++k)
                base += QChar(u'a' + alea.bounded(3));
            QString a = base;
            QString b = base.toUpper();
            const int q1 = int(alea.bounded(0, 4));
            const int q2 = int(alea.bounded(0, 4));
            for (int k = 0; k < q1; ++k)
                a += QChar(u'x' + alea.bounded(2));
            for (int k = 0; k < q2; ++k)
                b += QChar(u'y' + alea.bounded(2));
            const QString la = a.toLower();
            const QString lb = b.toLower();
            long attendu = 0;
            while (attendu < la.size() && attendu < lb.size() && la[attendu] == lb[attendu])
                ++attendu;
            if (la == lb)
                attendu = -1;
            QCOMPARE(PositionDifference(a, b), attendu);
        }
    }

    void etendueDifference_data()
    {
        QTest::addColumn<QString>("reste1");
        QTest::addColumn<QString>("reste2");
        QTest::addColumn<int>("editeur");
        QTest::addColumn<long>("longueur");
        QTest::newRow("premier_vide_second_editeur") << QString() << QStringLiteral("abcd") << 2 << 3L;
        QTest::newRow("queue_de_k_caracteres") << QString() << QStringLiteral("xyz") << 2 << 2L;
        QTest::newRow("caractere_remplace") << QStringLiteral("Xbcde") << QStringLiteral("Ybcde") << 2 << 4L;
        QTest::newRow("caractere_remplace_par_blanc") << QStringLiteral(" bcde") << QStringLiteral("Ybcde") << 1 << 4L;
        QTest::newRow("remplace_par_tabulation") << QStringLiteral("\tbcde") << QStringLiteral("Ybcde") << 1 << 4L;
        QTest::newRow("caractere_insere_dans_le_second") << QStringLiteral("bcde") << QStringLiteral("Zbcde") << 1 << 1L;
        QTest::newRow("caractere_insere_dans_le_premier") << QStringLiteral("Zbcde") << QStringLiteral("bcde") << 2 << 1L;
        QTest::newRow("casse_ignoree") << QStringLiteral("Zbcde") << QStringLiteral("BCDE") << 2 << 1L;
        QTest::newRow("second_vide") << QStringLiteral("abc") << QString() << 1 << 2L;
    }
    void etendueDifference()
    {
        QFETCH(QString, reste1);
        QFETCH(QString, reste2);
        QFETCH(int, editeur);
        QFETCH(long, longueur);
        const EtendueDiff e = EtendueDifference(reste1, reste2);
        QCOMPARE(e.iEditeur, editeur);
        QCOMPARE(e.lLongueur, longueur);
    }
};

QTEST_APPLESS_MAIN(TestComparaison)
#include "test_comparaison.moc"
