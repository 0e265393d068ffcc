// The formatter on written examples: layout, sub-queries, the 1023-character lines, and the
// parts of a query that are kept as written (literals, comments, quoted names, variables).
// ⏎ stands for CR LF and ⇥ for TAB in the tables.

#include "blocsselect.h"
#include "formateur.h"
#include "formatreference.h"
#include "motscles.h"
#include "textedecoupe.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

QString T(const char* s)
{
    QString r = QString::fromUtf8(s);
    r.replace(QStringLiteral("⏎"), QStringLiteral("\r\n"));
    r.replace(QStringLiteral("⇥"), QStringLiteral("\t"));
    return r;
}

TableauMotsCles TableStandard()
{
    TableauMotsCles t;
    InitialiseMotsCles(t);
    return t;
}

} // namespace

class TestFormatSQL : public QObject {
    Q_OBJECT

private slots:
    void exemples_data()
    {
        QTest::addColumn<QString>("entree");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("texte_vide") << QString() << QString();
        QTest::newRow("sans_mot_cle_espaces_replies") << T("  abc   def  ⏎") << T("abc def");
        QTest::newRow("cinq_espaces_donnent_deux") << T("a     b") << T("a  b");
        QTest::newRow("huit_espaces_donnent_deux") << T("a        b") << T("a  b");
        QTest::newRow("requete_avec_sous_requete")
            << T("select a, b from t where x = 1 and y in (select c from u) order by a desc")
            << T("SELECT a, b ⏎FROM t ⏎WHERE x = 1 ⏎AND y in ( ⏎⇥SELECT c ⏎⇥FROM u⏎) ⏎ORDER BY a DESC");
        QTest::newRow("outer_retire") << T("a left outer join b") << T("a ⏎LEFT JOIN b");
        QTest::newRow("outer_retire_toute_casse") << T("a left OuTeR join b") << T("a ⏎LEFT JOIN b");
        QTest::newRow("union_bloc_indente")
            << T("select a from t union all select b from u")
            << T("SELECT a ⏎FROM t ⏎UNION ALL ⏎⇥SELECT b ⏎⇥FROM u");
        QTest::newRow("table_derivee")
            << T("select a from (select b from u) as x where c = 1")
            << T("SELECT a ⏎FROM ( ⏎⇥SELECT b ⏎⇥FROM u⏎) AS x ⏎WHERE c = 1");
        QTest::newRow("paire_complete_puis_ouverte")
            << T("select count(*) from t where x in (select a from u)")
            << T("SELECT count(*⏎) ⏎FROM t ⏎WHERE x in ( ⏎⇥SELECT a ⏎⇥FROM u⏎)");
        QTest::newRow("trois_niveaux")
            << T("select a from t where x in (select b from u where y in (select c from v))")
            << T("SELECT a ⏎FROM t ⏎WHERE x in ( ⏎SELECT b ⏎FROM u ⏎WHERE y in ( ⏎⇥SELECT c ⏎⇥FROM v⏎))");
        QTest::newRow("update_garde_son_premier_mot")
            << T("update t set a = 1 where b = 2") << T("UPDATE t ⏎SET a = 1 ⏎WHERE b = 2");
        QTest::newRow("go_select_go")
            << T("go ⏎select * from t ⏎go") << T("GO ⏎⇥SELECT * ⏎⇥FROM t ⏎⇥GO");
        QTest::newRow("fonction_collee_parenthese") << T("sum(qty)") << T("SUM(qty)");
        QTest::newRow("type_colle_virgule") << T("x int,") << T("x INT,");
        QTest::newRow("point_et_souligne_protegent") << T("t.order my_from") << T("t.order my_from");
        QTest::newRow("cr_avant_crlf_final") << T("abc\r⏎") << T("abc\r");
        QTest::newRow("tabulation_intacte") << T("a\tfrom\tb") << T("a\t ⏎FROM \tb");
        QTest::newRow("lf_seul_devient_espace") << T("select a\nfrom t") << T("SELECT a ⏎FROM t");
        QTest::newRow("mot_cle_majuscule_deja") << T("SELECT A FROM T") << T("SELECT A ⏎FROM T");
    }

    void exemples()
    {
        QFETCH(QString, entree);
        QFETCH(QString, attendu);
        const TableauMotsCles table = TableStandard();
        // The step-by-step reference must agree with the written example too.
        QCOMPARE(FormatSQLReference(entree, false, table), attendu);
        QCOMPARE(FormatSQL(entree, false, table), attendu);
    }

    void formaterDeuxFoisNestPasNeutre()
    {
        const TableauMotsCles table = TableStandard();
        const QString une = FormatSQL(T("select a from t union all select b from u"), false, table);
        const QString deux = FormatSQL(une, false, table);
        QVERIFY(deux != une);
        QVERIFY(deux.contains(QStringLiteral("\t\t")) || deux.contains(QStringLiteral("\t \r\n\t")));
        QCOMPARE(deux, FormatSQLReference(une, false, table));
    }

    void garderOuter()
    {
        const TableauMotsCles table = TableStandard();
        QCOMPARE(FormatSQL(T("a left outer join b"), true, table), T("a ⏎LEFT outer JOIN b"));
    }

    void sansTableTexteInchange()
    {
        const QString s = T("select a from t");
        QCOMPARE(FormatSQL(s, false, TableauMotsCles()), s);
    }

    void motVideTexteInchange()
    {
        // A word the replacement could never get past: the formatter gives the text back.
        TableauMotsCles table;
        AjouteMotCle(table, QStringLiteral("   "), true, false, true);
        const QString s = T("select a from t");
        QCOMPARE(FormatSQL(s, false, table), s);
    }

    void protection_data()
    {
        QTest::addColumn<QString>("entree");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("commentaire_ligne_garde_son_saut")
            << T("select a -- note⏎, b from t") << T("SELECT a -- note⏎, b ⏎FROM t");
        QTest::newRow("commentaire_ligne_puis_mot_cle_sans_ligne_vide")
            << T("select a -- from⏎from t") << T("SELECT a -- from ⏎FROM t");
        QTest::newRow("deux_commentaires_ligne")
            << T("where a = 1 -- c1⏎-- c2⏎and b = 2") << T("WHERE a = 1 -- c1⏎-- c2 ⏎AND b = 2");
        QTest::newRow("commentaire_ligne_en_fin") << T("select a -- fin") << T("SELECT a -- fin");
        QTest::newRow("commentaire_ligne_lf_seul") << T("select a -- x\n, b") << T("SELECT a -- x⏎, b");
        QTest::newRow("commentaire_avant_parenthese")
            << T("select a from (select b -- c⏎) as x")
            << T("SELECT a ⏎FROM ( ⏎⇥SELECT b -- c ⏎) AS x");
        QTest::newRow("commentaire_dans_bloc_indente")
            << T("select a from t union select b -- c⏎, d from u")
            << T("SELECT a ⏎FROM t ⏎UNION ⏎⇥SELECT b -- c⏎⇥, d ⏎⇥FROM u");
        QTest::newRow("litteral_garde_mot_cle") << T("select 'from x' from t") << T("SELECT 'from x' ⏎FROM t");
        QTest::newRow("litteral_apostrophe_doublee")
            << T("select 'it''s  from' from t") << T("SELECT 'it''s  from' ⏎FROM t");
        QTest::newRow("litteral_unicode") << T("select N'and  or' from t") << T("SELECT N'and  or' ⏎FROM t");
        QTest::newRow("litteral_saut_de_ligne") << T("select 'a⏎ from' from t") << T("SELECT 'a⏎ from' ⏎FROM t");
        QTest::newRow("litteral_colle_egal") << T("select x='from' from t") << T("SELECT x='from' ⏎FROM t");
        QTest::newRow("litteral_espace_egal") << T("select x= 'from' from t") << T("SELECT x= 'from' ⏎FROM t");
        QTest::newRow("litteral_colle_mots_cles") << T("select'x'from t") << T("SELECT 'x' ⏎FROM t");
        QTest::newRow("litteral_non_termine") << T("select 'abc from t") << T("SELECT 'abc from t");
        QTest::newRow("litteral_non_termine_crlf_final") << T("select 'abc from t⏎") << T("SELECT 'abc from t⏎");
        QTest::newRow("commentaire_bloc_imbrique")
            << T("select a /* from /* where */ and */ from t") << T("SELECT a /* from /* where */ and */ ⏎FROM t");
        QTest::newRow("commentaire_bloc_non_termine") << T("select a /* from t") << T("SELECT a /* from t");
        QTest::newRow("nom_entre_crochets") << T("select [order  by] from t") << T("SELECT [order  by] ⏎FROM t");
        QTest::newRow("crochet_double") << T("select [a]]from] from t") << T("SELECT [a]]from] ⏎FROM t");
        QTest::newRow("nom_entre_guillemets") << T("select \"a  from\" from t") << T("SELECT \"a  from\" ⏎FROM t");
        QTest::newRow("variable_mot_cle") << T("select @from from t") << T("SELECT @from ⏎FROM t");
        QTest::newRow("variable_systeme") << T("select @@rowcount") << T("SELECT @@rowcount");
        QTest::newRow("table_temporaire") << T("select a from #order") << T("SELECT a ⏎FROM #order");
        QTest::newRow("table_temporaire_globale") << T("insert into ##t select 1") << T("INSERT INTO ##t ⏎⇥SELECT 1");
        QTest::newRow("diese_dans_un_nom") << T("select col#from") << T("SELECT col# ⏎FROM");
        QTest::newRow("tabulation_dans_litteral") << T("select '\ta\t' from t") << T("SELECT '\ta\t' ⏎FROM t");
        QTest::newRow("parentheses_dans_litteral")
            << T("select a from t union select '(' from u")
            << T("SELECT a ⏎FROM t ⏎UNION ⏎⇥SELECT '(' ⏎⇥FROM u");
        QTest::newRow("marqueur_deja_present") << QString(T("select a\xee\x80\x80 from t")) << QString(T("SELECT a\xee\x80\x80 ⏎FROM t"));
    }

    void protection()
    {
        QFETCH(QString, entree);
        QFETCH(QString, attendu);
        QCOMPARE(FormatSQL(entree, false, TableStandard()), attendu);
    }

    void protectionCommeUnSeulCaractere()
    {
        // Away from line comments, a protected part lays out exactly like one character that is
        // neither a space nor a letter: compare with the reference on the text where each part
        // is that one character, then put the parts back.
        const TableauMotsCles table = TableStandard();
        const QStringList parts = {QStringLiteral("'a  from\r\nb'"), QStringLiteral("[order by]"),
                                   QStringLiteral("@select"), QStringLiteral("#t"), QStringLiteral("N'x''y'"),
                                   QStringLiteral("/* on /* and */ or */"), QStringLiteral("\"where\"")};
        const QStringList mots = {QStringLiteral("select"), QStringLiteral("from"), QStringLiteral("a"),
                                  QStringLiteral("where"), QStringLiteral("("), QStringLiteral(")"),
                                  QStringLiteral("="), QStringLiteral("and"), QStringLiteral("t.x"),
                                  QStringLiteral("union"), QStringLiteral("  "), QStringLiteral("\r\n")};
        QRandomGenerator alea(515);
        for (int i = 0; i < 400; ++i) {
            QString texte;
            QString gabarit;
            QStringList misesDansLordre;
            const int n = int(alea.bounded(1, 25));
            for (int k = 0; k < n; ++k) {
                if (alea.bounded(4) == 0) {
                    const QString p = parts[alea.bounded(int(parts.size()))];
                    // "N'", "@" and "#" right after a name belong to that name.
                    if (!texte.isEmpty() && texte.back().isLetterOrNumber()) {
                        texte += u' ';
                        gabarit += u' ';
                    }
                    texte += p;
                    gabarit += QStringLiteral("§");
                    misesDansLordre << p;
                    if (p.startsWith(u'@') || p.startsWith(u'#')) {
                        texte += u' '; // a name would run on into the next word
                        gabarit += u' ';
                    }
                } else {
                    const QString m = mots[alea.bounded(int(mots.size()))];
                    texte += m;
                    gabarit += m;
                }
                if (alea.bounded(2)) {
                    texte += u' ';
                    gabarit += u' ';
                }
            }
            QString attendu = FormatSQLReference(gabarit, false, table);
            for (const QString& p : misesDansLordre)
                attendu.replace(attendu.indexOf(QStringLiteral("§")), 1, p);
            QCOMPARE(FormatSQL(texte, false, table), attendu);
        }
    }

    void lignesDe1023_data()
    {
        QTest::addColumn<int>("pleines");
        QTest::addColumn<int>("paires");
        QTest::addColumn<bool>("decoupe");
        QTest::newRow("une_sur_dix_pas_decoupe") << 1 << 10 << false;
        QTest::newRow("deux_sur_dix_decoupe") << 2 << 10 << true;
        QTest::newRow("une_sur_neuf_decoupe") << 1 << 9 << true;
        QTest::newRow("aucune_ligne_pleine") << 0 << 3 << false;
    }

    void lignesDe1023()
    {
        QFETCH(int, pleines);
        QFETCH(int, paires);
        QFETCH(bool, decoupe);
        // paires CR LF pairs, the text ending with one: paires lines plus an empty last one.
        QStringList lignes;
        for (int i = 0; i < paires; ++i)
            lignes << (i < pleines ? QString(1022, u'x') + u'y' : QStringLiteral("select a"));
        const QString s = lignes.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
        QCOMPARE(EstTexteDecoupe(s), decoupe);
        const QString r = FormatSQL(s, false, TableStandard());
        QCOMPARE(r, FormatSQLReference(s, false, TableStandard()));
        // Joined lines glue "y" to the next "select": it is no longer a keyword.
        QCOMPARE(r.contains(QStringLiteral("yselect a")), decoupe);
    }

    void lignesDe1023AvantLaProtection()
    {
        // A literal cut by the fixed-width lines is joined again before it is protected.
        const QString debut = QStringLiteral("select '") + QString(1015, u'a');
        QCOMPARE(debut.size(), 1023);
        const QString s = debut + QStringLiteral("\r\nb' from t\r\n");
        QCOMPARE(FormatSQL(s, false, TableStandard()),
                 QStringLiteral("SELECT '") + QString(1015, u'a') + QStringLiteral("b' \r\nFROM t"));
    }

    void estTexteDecoupeSansSautEchoue()
    {
        bool bErreur = false;
        try {
            EstTexteDecoupe(QStringLiteral("abc"));
        } catch (const std::exception&) {
            bErreur = true;
        }
        QVERIFY(bErreur);
    }

    void chercheParentheses_data()
    {
        QTest::addColumn<QString>("bloc");
        QTest::addColumn<long>("ouvrante");
        QTest::addColumn<long>("fermante");
        QTest::newRow("sans_parenthese") << QStringLiteral("SELECT a") << 1L << 1L;
        QTest::newRow("parenthese_fermante_seule") << QStringLiteral("SELECT b FROM u) AS x") << 0L << 16L;
        QTest::newRow("paire_puis_ouverte") << QStringLiteral("SELECT count(*) FROM t WHERE x in (") << 0L << 15L;
        QTest::newRow("paire_complete") << QStringLiteral("SELECT f(x)") << 9L << 11L;
        QTest::newRow("ouverte_seule") << QStringLiteral("SELECT a in (") << 13L << 0L;
        QTest::newRow("premier_caractere_ignore") << QStringLiteral(")a") << 1L << 1L;
        QTest::newRow("paire_puis_ouverte_revient_a_la_premiere") << QStringLiteral("SELECT (a) b (") << 0L << 10L;
        QTest::newRow("deux_fermantes") << QStringLiteral("SELECT c FROM v))") << 0L << 16L;
    }

    void chercheParentheses()
    {
        QFETCH(QString, bloc);
        QFETCH(long, ouvrante);
        QFETCH(long, fermante);
        long o = -5;
        long f = -5;
        ChercheParentheses(bloc, o, f);
        QCOMPARE(o, ouvrante);
        QCOMPARE(f, fermante);
    }

    void insereChaine_data()
    {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<long>("position");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("au_debut") << QStringLiteral("abc") << 1L << QStringLiteral("XYabc");
        QTest::newRow("au_milieu") << QStringLiteral("abc") << 3L << QStringLiteral("abXYc");
        QTest::newRow("apres_la_fin") << QStringLiteral("abc") << 4L << QStringLiteral("abcXY");
        QTest::newRow("loin_apres_la_fin") << QStringLiteral("abc") << 9L << QStringLiteral("abcXY");
    }

    void insereChaine()
    {
        QFETCH(QString, texte);
        QFETCH(long, position);
        QFETCH(QString, attendu);
        InsereChaine(texte, QStringLiteral("XY"), position);
        QCOMPARE(texte, attendu);
    }

    void indenteBloc_data()
    {
        QTest::addColumn<QString>("bloc");
        QTest::addColumn<long>("fermante");
        QTest::addColumn<long>("ouvrante");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("tout_le_bloc") << T("SELECT a ⏎FROM t") << 1L << 1L << T("⇥SELECT a ⏎⇥FROM t");
        QTest::newRow("avant_la_parenthese") << T("SELECT b ⏎FROM u⏎) AS x") << 16L << 0L
                                             << T("⇥SELECT b ⏎⇥FROM u⏎) AS x");
        QTest::newRow("bloc_vide") << QString() << 1L << 1L << QString();
    }

    void indenteBloc()
    {
        QFETCH(QString, bloc);
        QFETCH(long, fermante);
        QFETCH(long, ouvrante);
        QFETCH(QString, attendu);
        IndenteBloc(bloc, fermante, ouvrante);
        QCOMPARE(bloc, attendu);
    }
};

QTEST_APPLESS_MAIN(TestFormatSQL)
#include "test_formatsql.moc"
