// The whole-word replacement of one keyword, on written cases; each is also checked against
// the step-by-step reference.

#include "formatreference.h"
#include "remplacemotentier.h"

#include <QTest>

class TestRemplaceMotEntier : public QObject {
    Q_OBJECT

private slots:
    void cas_data()
    {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("mot");
        QTest::addColumn<QString>("remplacement");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("motif_absent_texte_inchange")
            << QStringLiteral("select a from person") << QStringLiteral("on") << QStringLiteral("X") << 1
            << QStringLiteral("select a from person");
        QTest::newRow("occurrence_collee_rejetee_puis_libre_remplacee")
            << QStringLiteral(" person on x ") << QStringLiteral("on") << QStringLiteral(" ON ") << 1
            << QStringLiteral(" person  ON  x ");
        QTest::newRow("point_avant_jamais") << QStringLiteral(" t.order order ") << QStringLiteral("order")
                                            << QStringLiteral("<O>") << 1 << QStringLiteral(" t.order <O> ");
        QTest::newRow("souligne_avant_jamais") << QStringLiteral(" my_from x ") << QStringLiteral("from")
                                               << QStringLiteral("<F>") << 1 << QStringLiteral(" my_from x ");
        QTest::newRow("arobase_diese_dollar_collent")
            << QStringLiteral(" @from #from $from from$ ") << QStringLiteral("from") << QStringLiteral("<F>") << 1
            << QStringLiteral(" @from #from $from from$ ");
        QTest::newRow("crochet_parenthese_tab_chiffre_colle")
            << QStringLiteral(" [from (from 1from\tfrom ") << QStringLiteral("from") << QStringLiteral("F") << 1
            << QStringLiteral(" [F (F 1from\tF ");
        QTest::newRow("casses_melangees") << QStringLiteral(" From FROM from fRoM ") << QStringLiteral("from")
                                          << QStringLiteral("F") << 1 << QStringLiteral("FFFF ");
        QTest::newRow("mode_exact_ignore_autre_casse") << QStringLiteral(" From from ") << QStringLiteral("from")
                                                       << QStringLiteral("F") << 0 << QStringLiteral(" FromF ");
        QTest::newRow("espaces_avant_coupes_deux_apres_un_garde")
            << QStringLiteral(" a  from b ") << QStringLiteral("from") << QStringLiteral(" FROM ") << 1
            << QStringLiteral(" a FROM  b ");
        QTest::newRow("deux_espaces_apres_un_retire")
            << QStringLiteral(" a from  b ") << QStringLiteral("from") << QStringLiteral(" FROM ") << 1
            << QStringLiteral(" a FROM  b ");
        QTest::newRow("texte_commence_par_le_mot") << QStringLiteral("select a") << QStringLiteral("select")
                                                   << QStringLiteral("X") << 1 << QStringLiteral("X a");
        QTest::newRow("texte_vide") << QString() << QStringLiteral("select") << QStringLiteral("X") << 1 << QString();
        QTest::newRow("mot_en_fin_de_texte_laisse") << QStringLiteral("a from") << QStringLiteral("from")
                                                    << QStringLiteral("X") << 1 << QStringLiteral("a from");
        QTest::newRow("rejet_copie_un_caractere_de_plus")
            << QStringLiteral(" xonon on ") << QStringLiteral("on") << QStringLiteral("#") << 1
            << QStringLiteral(" xonon# ");
        QTest::newRow("rejet_suivi_du_mot_sans_espace_insere")
            << QStringLiteral(" xordor or ") << QStringLiteral("or") << QStringLiteral("#") << 1
            << QStringLiteral(" xordor # ");
        QTest::newRow("mot_deux_fois_dans_un_nom")
            << QStringLiteral(" RowsForSorting or ") << QStringLiteral("or") << QStringLiteral("#") << 1
            << QStringLiteral(" RowsForSorting# ");
        QTest::newRow("rejet_au_debut_sans_espace")
            << QStringLiteral("fromx from ") << QStringLiteral("from") << QStringLiteral("F") << 1
            << QStringLiteral("fromxF ");
        QTest::newRow("tabulations_pas_coupees") << QStringLiteral(" a\t from ") << QStringLiteral("from")
                                                 << QStringLiteral("|") << 1 << QStringLiteral(" a\t| ");
        QTest::newRow("lettres_accentuees_collent")
            << QStringLiteral(" éfrom fromé ") << QStringLiteral("from") << QStringLiteral("|") << 1
            << QStringLiteral(" éfrom fromé ");
        QTest::newRow("marque_combinante_colle")
            << QStringLiteral(" Lec\u0327on on ") << QStringLiteral("on") << QStringLiteral("|") << 1
            << QStringLiteral(" Lec\u0327on | ");
    }

    void cas()
    {
        QFETCH(QString, texte);
        QFETCH(QString, mot);
        QFETCH(QString, remplacement);
        QFETCH(int, mode);
        QFETCH(QString, attendu);
        const QString cadre = u'%' + mot + u'%';
        QCOMPARE(RemplaceMotEntierReference(texte, cadre, remplacement, mode), attendu);
        QCOMPARE(RemplaceMotEntier(texte, cadre, remplacement, mode), attendu);
    }

    void motifCommeLeRuntime_data()
    {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("motif");
        QTest::addColumn<bool>("attendu");
        QTest::newRow("mot_libre") << QStringLiteral(" A FROM B") << QStringLiteral("*[!A-Z]FROM[!A-Z]*") << true;
        QTest::newRow("mot_en_fin") << QStringLiteral(" A FROM") << QStringLiteral("*[!A-Z]FROM[!A-Z]*") << false;
        QTest::newRow("point_compte_non_lettre") << QStringLiteral("T.FROM.") << QStringLiteral("*[!A-Z]FROM[!A-Z]*") << true;
        QTest::newRow("colle_lettre") << QStringLiteral(" XFROM ") << QStringLiteral("*[!A-Z]FROM[!A-Z]*") << false;
    }
    void motifCommeLeRuntime()
    {
        QFETCH(QString, texte);
        QFETCH(QString, motif);
        QFETCH(bool, attendu);
        QCOMPARE(CommeReference(texte, motif), attendu);
    }
};

QTEST_APPLESS_MAIN(TestRemplaceMotEntier)
#include "test_remplacemotentier.moc"
