// The formatter on written examples: layout, sub-queries, the 1023-character lines, and the
// parts of a query that are kept as written (literals, comments, quoted names, variables).
// ⏎ stands for CR LF and ⇥ for TAB in the tables.

#include "blocsselect.h"
#include "formateur.h"
#include "formatreference.h"
#include "motscles.h"
#include "textedecoupe.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>

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

// One token of a script, as SQL Server reads it: a name (dotted parts included), a literal, a
// comment, a bracketed or quoted name, or one other character.
struct Jeton {
    QString sTexte;
    int iLigneDebut = 0;
    int iLigneFin = 0;
    bool bNom = false;
    bool bCommentaire = false;
};

bool EstCaractereDeNom(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c.isSurrogate() || c == u'_' || c == u'@' || c == u'#'
        || c == u'$' || c == u'.';
}

// End (exclusive) of a part closed by cFin from i on, a doubled cFin standing for itself.
qsizetype FinDelimitee(const QString& s, qsizetype i, QChar cFin)
{
    for (i = s.indexOf(cFin, i); i >= 0; i = s.indexOf(cFin, i + 2))
        if (i + 1 >= s.size() || s.at(i + 1) != cFin)
            return i + 1;
    return s.size();
}

qsizetype FinCommentaireBloc(const QString& s, qsizetype i)
{
    int iProfondeur = 0;
    for (qsizetype f = i; f + 1 < s.size(); ++f) {
        if (s.at(f) == u'/' && s.at(f + 1) == u'*') {
            ++iProfondeur;
            ++f;
        } else if (s.at(f) == u'*' && s.at(f + 1) == u'/') {
            ++f;
            if (--iProfondeur == 0)
                return f + 1;
        }
    }
    return s.size();
}

qsizetype FinJeton(const QString& s, qsizetype i, Jeton& j)
{
    const QChar c = s.at(i);
    const QChar d = i + 1 < s.size() ? s.at(i + 1) : QChar();
    if (c == u'-' && d == u'-') {
        j.bCommentaire = true;
        qsizetype f = i;
        while (f < s.size() && s.at(f) != u'\r' && s.at(f) != u'\n')
            ++f;
        return f;
    }
    if (c == u'/' && d == u'*') {
        j.bCommentaire = true;
        return FinCommentaireBloc(s, i);
    }
    if (c == u'\'')
        return FinDelimitee(s, i + 1, u'\'');
    if ((c == u'N' || c == u'n') && d == u'\'')
        return FinDelimitee(s, i + 2, u'\'');
    if (c == u'[')
        return FinDelimitee(s, i + 1, u']');
    if (c == u'"')
        return FinDelimitee(s, i + 1, u'"');
    if (!EstCaractereDeNom(c))
        return i + 1;
    j.bNom = true;
    qsizetype f = i;
    while (f < s.size() && EstCaractereDeNom(s.at(f)))
        ++f;
    return f;
}

QList<Jeton> Jetons(const QString& s)
{
    QList<Jeton> jetons;
    int iLigne = 1;
    for (qsizetype i = 0; i < s.size();) {
        if (s.at(i).isSpace()) {
            iLigne += s.at(i) == u'\n' ? 1 : 0;
            ++i;
            continue;
        }
        Jeton j;
        const qsizetype f = FinJeton(s, i, j);
        j.sTexte = s.mid(i, f - i);
        j.iLigneDebut = iLigne;
        iLigne += int(j.sTexte.count(u'\n'));
        j.iLigneFin = iLigne;
        jetons << j;
        i = f;
    }
    return jetons;
}

QString Visible(QString s)
{
    s.replace(QStringLiteral("\r\n"), QStringLiteral("⏎"));
    s.replace(QStringLiteral("\r"), QStringLiteral("<CR>"));
    s.replace(QStringLiteral("\n"), QStringLiteral("<LF>"));
    s.replace(QStringLiteral("\t"), QStringLiteral("⇥"));
    return s;
}

bool EstMotCle(const Jeton& j, const TableauMotsCles& table, bool bSupprime)
{
    return j.bNom && std::any_of(table.begin(), table.end(), [&](const MotCle& m) {
        return m.Supprime == bSupprime && j.sTexte.compare(m.Mot, Qt::CaseInsensitive) == 0;
    });
}

// Scripts as they are written for SQL Server: batches, procedures, DDL, dynamic SQL, names
// with accents and digits, names that hold keywords.
const char* const ScriptProcedure = R"sql(USE Ventes2024
GO
IF OBJECT_ID(N'dbo.usp_RésuméCommandes', N'P') IS NOT NULL
    DROP PROCEDURE dbo.usp_RésuméCommandes
GO
CREATE PROCEDURE dbo.usp_RésuméCommandes
    @DateDébut date,
    @IsColumnstoreOrdered bit = 0
AS
BEGIN
    SET NOCOUNT ON;
    DECLARE @RowsForSorting int = 0, @Année2024 int;
    IF @IsColumnstoreOrdered = 1
    BEGIN
        SELECT c.CustOrdersOrders, c.SortOrder, c.is_date_correlation_on, RowsForSorting
        FROM dbo.Clients AS c
        WHERE c.Créé >= @DateDébut OR c.FromDate IS NULL or IsColumnstoreOrdered = 1
        ORDER BY c.SortOrder DESC;
    END
    ELSE
        SELECT TOP (10) Leçon, Garçon, col1from, Année2024 FROM dbo.Élèves ORDER BY Leçon;
    RETURN @RowsForSorting;
END
GO
EXEC dbo.usp_RésuméCommandes @DateDébut = '20240101'
GO 2
PRINT 'fait'
)sql";

const char* const ScriptDDL = R"sql(CREATE TABLE dbo.Commande (
    CommandeId int IDENTITY(1,1) NOT NULL PRIMARY KEY,
    SortOrder nvarchar(256) NOT NULL,
    is_date_correlation_on bit NOT NULL DEFAULT (0),
    [Order Details] nvarchar(max) NULL,
    Montant$ decimal(12,2) NULL,
    EndDate datetime NULL
) ON [PRIMARY]
GO
CREATE NONCLUSTERED INDEX IX_Commande_SortOrder ON dbo.Commande (SortOrder) INCLUDE (EndDate)
GO
ALTER TABLE dbo.Commande ADD CONSTRAINT CK_Commande_Montant CHECK (Montant$ >= 0)
GO -- fin du DDL
)sql";

const char* const ScriptDynamique = R"sql(DECLARE @sql nvarchar(max), @Table sysname = N'Commande';
SET @sql = N'SELECT COUNT(*) FROM dbo.' + QUOTENAME(@Table) + N' WHERE SortOrder <> '''' OR EndDate IS NULL';
EXEC sp_executesql @sql;
SET @sql = 'UPDATE t SET a = 1 -- pas un commentaire
WHERE b = 2';
PRINT @sql;
GO
ALTER DATABASE CURRENT SET RECOVERY SIMPLE
)sql";

const char* const ScriptRequetes = R"sql(WITH Dernières AS (
    SELECT o.ClientId, MAX(o.DateCommande) AS DernièreDate
    FROM dbo.Commandes AS o
    GROUP BY o.ClientId
)
SELECT c.Nom,
       CASE WHEN d.DernièreDate IS NULL THEN 'jamais' ELSE CONVERT(varchar(10), d.DernièreDate, 103) END AS Statut,
       x.Total
FROM dbo.Clients AS c
LEFT OUTER JOIN Dernières AS d ON d.ClientId = c.ClientId
OUTER APPLY (SELECT SUM(l.Qté * l.PrixUnitaire) AS Total FROM dbo.Lignes AS l WHERE l.ClientId = c.ClientId) AS x
FULL outer JOIN dbo.Archives AS a ON a.ClientId = c.ClientId
CROSS APPLY dbo.fn_Remises(c.ClientId) AS r;
GO
MERGE dbo.Stock AS cible
USING (SELECT ProduitId, Qté FROM dbo.Réception) AS source ON cible.ProduitId = source.ProduitId
WHEN MATCHED AND source.Qté = 0 THEN DELETE
WHEN MATCHED THEN UPDATE SET cible.Qté = cible.Qté + source.Qté
WHEN NOT MATCHED BY TARGET THEN INSERT (ProduitId, Qté) VALUES (source.ProduitId, source.Qté);
GO
)sql";

const char* const ScriptDeclencheur = R"sql(/* Journal des modifications
   -- ne pas supprimer /* imbriqué */ */
CREATE TRIGGER trg_Commande_Maj ON dbo.Commande AFTER UPDATE AS
BEGIN
    IF UPDATE(SortOrder) AND NOT EXISTS (SELECT 1 FROM inserted WHERE SortOrder IS NULL)
        INSERT INTO #journal (Id, Quand) SELECT CommandeId, GETDATE() FROM inserted;
    DECLARE @from int = 1, @select varchar(20) = 'x';
END
GO
CREATE FUNCTION dbo.fn_Remises (@ClientId int) RETURNS TABLE AS RETURN
    (SELECT TOP 1 Taux FROM dbo.Remises WHERE ClientId = @ClientId ORDER BY Début DESC)
GO
)sql";

// Texts made of what the layout treats differently: keywords in any case, names, literals,
// comments, bracketed names, variables, GO with a count or a comment, sub-queries, OUTER
// before JOIN, and every kind of blank between them, line breaks with indentation included.
class GenerateurScripts {
public:
    explicit GenerateurScripts(quint32 graine) : m_alea(graine) {}

    QString Texte(const TableauMotsCles& table)
    {
        QString s;
        const int n = int(m_alea.bounded(1, 40));
        for (int i = 0; i < n; ++i)
            s += Morceau(table) + Blancs();
        return s;
    }

private:
    template <size_t N>
    const char* Parmi(const char* const (&choix)[N])
    {
        return choix[m_alea.bounded(int(N))];
    }

    QString Casse(QString mot)
    {
        if (m_alea.bounded(3) == 0)
            return mot.toUpper();
        return mot;
    }

    QString Morceau(const TableauMotsCles& table)
    {
        static const char* const noms[] = {"a", "t.x", "RowsForSorting", "Leçon", "col1from", "x.on", "my_from",
                                           "1", "42"};
        static const char* const signes[] = {"(", ")", ",", "=", "*", ";", "(*)", "+"};
        static const char* const proteges[] = {"'from  x'", "N'a⏎b'", "[order by]", "\"where\"", "@from", "#t",
                                               "-- c", "-- from  ", "/* and⏎or */", "/* x */"};
        static const char* const phrases[] = {"go 5", "go⇥3", "go -- fin", "go /* x */", "go 2 -- deux", "go 5x",
                                              "left outer join", "outer apply", "left outer⇥join",
                                              "(select a from u where b in (select c from v))",
                                              "select a from t union all select b from u", "count(*)"};
        const int choix = int(m_alea.bounded(100));
        if (choix < 40)
            return Casse(table[m_alea.bounded(int(table.size()))].Mot);
        if (choix < 60)
            return QString::fromUtf8(Parmi(noms));
        if (choix < 72)
            return QString::fromUtf8(Parmi(signes));
        if (choix < 86)
            return T(Parmi(proteges));
        return Casse(T(Parmi(phrases)));
    }

    QString Blancs()
    {
        static const char* const blancs[] = {"", " ", " ", "   ", "      ", "⇥", " ⇥ ", "⏎", "⏎⇥", "⏎  ", "⏎⇥⇥ ",
                                             "\n", "\n⇥", " ⏎", "⇥⏎", "\r", "⏎⏎"};
        return T(Parmi(blancs));
    }

    QRandomGenerator m_alea;
};

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
        QTest::newRow("cinq_espaces_donnent_un") << T("a     b") << T("a b");
        QTest::newRow("huit_espaces_donnent_un") << T("a        b") << T("a b");
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
        QTest::newRow("nom_avec_deux_fois_le_mot_cle")
            << T("select RowsForSorting from t where a = 1 or b = 2")
            << T("SELECT RowsForSorting ⏎FROM t ⏎WHERE a = 1 ⏎OR b = 2");
        QTest::newRow("noms_jamais_coupes")
            << T("select IsColumnstoreOrdered, CustOrdersOrders from t where a = 1 or b = 2")
            << T("SELECT IsColumnstoreOrdered, CustOrdersOrders ⏎FROM t ⏎WHERE a = 1 ⏎OR b = 2");
        QTest::newRow("nom_puis_type_puis_or")
            << T("create table t (SortOrder nvarchar(256), x int) on grp go select a from t where b = 1 or c = 2")
            << T("CREATE table t (SortOrder NVARCHAR(256), x INT) ⏎ON grp ⏎GO ⏎⇥SELECT a ⏎⇥FROM t ⏎⇥WHERE b = 1 ⏎"
                 "⇥OR c = 2");
        QTest::newRow("nom_finissant_par_on")
            << T("update t set is_date_correlation_on = 1 where a = 1 or b = 2")
            << T("UPDATE t ⏎SET is_date_correlation_on = 1 ⏎WHERE a = 1 ⏎OR b = 2");
        QTest::newRow("lettres_accentuees_collent") << T("select Leçon, Garçon from t on x")
            << T("SELECT Leçon, Garçon ⏎FROM t ⏎ON x");
        QTest::newRow("chiffre_colle") << T("select col1from from t") << T("SELECT col1from ⏎FROM t");
        QTest::newRow("dollar_colle") << T("select a$from, b from t") << T("SELECT a$from, b ⏎FROM t");
        QTest::newRow("outer_apply_garde") << T("select a from t outer apply f(t.x) as g")
            << T("SELECT a ⏎FROM t outer apply f(t.x) AS g");
        QTest::newRow("full_outer_join_espaces") << T("a full OUTER    join b") << T("a ⏎FULL JOIN b");
        QTest::newRow("outer_sans_join_garde") << T("a left outer x join b") << T("a ⏎LEFT outer x JOIN b");
        QTest::newRow("go_puis_instruction") << T("go⏎alter procedure p as return 0")
            << T("GO ⏎alter ⏎PROCEDURE p AS ⏎RETURN 0");
        QTest::newRow("go_compte_garde_sa_ligne") << T("exec p⏎go 5⏎exec q") << T("exec p ⏎GO 5 ⏎exec q");
        QTest::newRow("go_au_milieu") << T("select 1 go exec p go") << T("SELECT 1 ⏎GO ⏎exec p ⏎GO");
        QTest::newRow("go_compte_colle") << T("go 5x") << T("GO ⏎5x");
        QTest::newRow("go_tabulation_compte") << T("exec p⏎go⇥5⏎exec q") << T("exec p ⏎GO ⇥5 ⏎exec q");
        QTest::newRow("go_tabulation_compte_deja_formate")
            << T("exec p ⏎GO ⇥5 ⏎exec q") << T("exec p ⏎GO ⇥5 ⏎exec q");
        QTest::newRow("go_tabulation_instruction") << T("go⇥exec p") << T("GO ⏎⇥exec p");
        QTest::newRow("go_compte_parenthese") << T("go 5)") << T("GO 5 ⏎)");
        QTest::newRow("go_dans_bloc_indente_instruction_tabulee") << T("select 1 union select 2 go⇥exec p")
            << T("SELECT 1 ⏎UNION ⏎⇥SELECT 2 ⏎⇥GO ⏎⇥exec p");
        QTest::newRow("outer_outer_join") << T("a left outer outer join b") << T("a ⏎LEFT JOIN b");
        QTest::newRow("outer_tabulation_join") << T("select a from t left outer⇥join u on 1=1")
            << T("SELECT a ⏎FROM t ⏎LEFT JOIN u ⏎ON 1=1");
        QTest::newRow("outer_join_ligne_suivante_indentee") << T("select a from t left outer⏎⇥join u on 1=1")
            << T("SELECT a ⏎FROM t ⏎LEFT JOIN u ⏎ON 1=1");
        QTest::newRow("outer_join_blancs_melanges") << T("a right outer 	⏎  	join b") << T("a ⏎RIGHT JOIN b");
        QTest::newRow("sous_requete_deux_fois")
            << T("select a, b from t where a = 1 and b in (select c from u where d = 2) order by a")
            << T("SELECT a, b ⏎FROM t ⏎WHERE a = 1 ⏎AND b in ( ⏎⇥SELECT c ⏎⇥FROM u ⏎⇥WHERE d = 2⏎) ⏎ORDER BY a");
        QTest::newRow("sous_requete_deja_formatee")
            << T("SELECT a, b ⏎FROM t ⏎WHERE a = 1 ⏎AND b in ( ⏎⇥SELECT c ⏎⇥FROM u ⏎⇥WHERE d = 2⏎) ⏎ORDER BY a")
            << T("SELECT a, b ⏎FROM t ⏎WHERE a = 1 ⏎AND b in ( ⏎⇥SELECT c ⏎⇥FROM u ⏎⇥WHERE d = 2⏎) ⏎ORDER BY a");
        QTest::newRow("union_deja_formatee")
            << T("SELECT a ⏎FROM t ⏎UNION ALL ⏎⇥SELECT b ⏎⇥FROM u") << T("SELECT a ⏎FROM t ⏎UNION ALL ⏎⇥SELECT b ⏎⇥FROM u");
        QTest::newRow("indentation_avant_mot_de_ligne") << T("select a⏎⇥from t⏎  ⇥where b = 1")
            << T("SELECT a ⏎FROM t ⏎WHERE b = 1");
        QTest::newRow("indentation_avant_autre_mot_gardee") << T("select a,⏎⇥b from t") << T("SELECT a, ⇥b ⏎FROM t");
        QTest::newRow("parenthese_apres_espace") << T("select a from (select b from u )") 
            << T("SELECT a ⏎FROM ( ⏎⇥SELECT b ⏎⇥FROM u⏎)");
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


    void scriptsReels_data()
    {
        QTest::addColumn<QString>("script");
        QTest::newRow("procedure") << QString::fromUtf8(ScriptProcedure);
        QTest::newRow("ddl") << QString::fromUtf8(ScriptDDL);
        QTest::newRow("sql_dynamique") << QString::fromUtf8(ScriptDynamique);
        QTest::newRow("cte_merge_case_apply") << QString::fromUtf8(ScriptRequetes);
        QTest::newRow("declencheur_fonction") << QString::fromUtf8(ScriptDeclencheur);
    }

    // Whitespace aside, the layout leaves every token as it was, save the case of keywords and
    // an OUTER dropped before JOIN; and every GO ends up alone on its line, but for its repeat
    // count and comments.
    void scriptsReels()
    {
        QFETCH(QString, script);
        const TableauMotsCles table = TableStandard();
        const QString entree = QString(script).replace(u'\n', QStringLiteral("\r\n"));
        const QString sortie = FormatSQL(entree, false, table);
        const QList<Jeton> avant = Jetons(entree);
        const QList<Jeton> apres = Jetons(sortie);

        qsizetype k = 0;
        for (qsizetype i = 0; i < avant.size(); ++i) {
            const Jeton& a = avant[i];
            const QString sAttendu = EstMotCle(a, table, false) ? a.sTexte.toUpper() : a.sTexte;
            if (k < apres.size() && apres[k].sTexte == sAttendu) {
                ++k;
                continue;
            }
            const bool bOuterAvantJoin = EstMotCle(a, table, true) && i + 1 < avant.size()
                && avant[i + 1].sTexte.compare(QLatin1String("join"), Qt::CaseInsensitive) == 0;
            QVERIFY2(bOuterAvantJoin, qPrintable(QStringLiteral("« %1 » (jeton %2) devenu « %3 »")
                                                     .arg(a.sTexte).arg(i)
                                                     .arg(k < apres.size() ? apres[k].sTexte : QString())));
        }
        QCOMPARE(k, apres.size());

        static const QRegularExpression compte(QStringLiteral("^[0-9]+$"));
        qsizetype nGo = 0;
        for (qsizetype g = 0; g < apres.size(); ++g) {
            if (!apres[g].bNom || apres[g].sTexte != QLatin1String("GO"))
                continue;
            ++nGo;
            const int iLigne = apres[g].iLigneDebut;
            QVERIFY2(g == 0 || apres[g - 1].iLigneFin < iLigne, qPrintable(QString::number(iLigne)));
            qsizetype m = g + 1;
            if (m < apres.size() && apres[m].iLigneDebut == iLigne && compte.match(apres[m].sTexte).hasMatch())
                ++m;
            while (m < apres.size() && apres[m].iLigneDebut == iLigne && apres[m].bCommentaire)
                ++m;
            QVERIFY2(m == apres.size() || apres[m].iLigneDebut > iLigne, qPrintable(QString::number(iLigne)));
        }
        QCOMPARE(nGo, std::count_if(avant.begin(), avant.end(), [](const Jeton& j) {
                     return j.bNom && j.sTexte.compare(QLatin1String("go"), Qt::CaseInsensitive) == 0;
                 }));
    }

    // A second press changes nothing: what the formatter wrote lays out as itself.
    void formaterDeuxFoisEstNeutre()
    {
        const TableauMotsCles table = TableStandard();
        QStringList textes;
        for (const char* script : {ScriptProcedure, ScriptDDL, ScriptDynamique, ScriptRequetes, ScriptDeclencheur})
            textes << QString::fromUtf8(script).replace(u'\n', QStringLiteral("\r\n"));
        GenerateurScripts gen(2026);
        for (int i = 0; i < 1000; ++i)
            textes << gen.Texte(table);
        for (const QString& texte : textes) {
            const QString une = FormatSQL(texte, false, table);
            const QString deux = FormatSQL(une, false, table);
            if (deux != une)
                QFAIL(qPrintable(QStringLiteral("entrée:\n%1\nune fois:\n%2\ndeux fois:\n%3")
                                     .arg(Visible(texte), Visible(une), Visible(deux))));
        }
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
            << T("SELECT a ⏎FROM ( ⏎⇥SELECT b -- c⏎) AS x");
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
        QTest::newRow("diese_dans_un_nom") << T("select col#from") << T("SELECT col#from");
        QTest::newRow("tabulation_dans_litteral") << T("select '\ta\t' from t") << T("SELECT '\ta\t' ⏎FROM t");
        QTest::newRow("parentheses_dans_litteral")
            << T("select a from t union select '(' from u")
            << T("SELECT a ⏎FROM t ⏎UNION ⏎⇥SELECT '(' ⏎⇥FROM u");
        QTest::newRow("go_commentaire_garde_sa_ligne") << T("go -- fin⏎exec p") << T("GO -- fin⏎exec p");
        QTest::newRow("go_commentaire_bloc") << T("go /* x */ exec p") << T("GO /* x */ ⏎exec p");
        QTest::newRow("go_commentaire_bloc_garde_sa_ligne") << T("exec p go /* fin */ exec q")
            << T("exec p ⏎GO /* fin */ ⏎exec q");
        QTest::newRow("go_compte_tabulation_commentaires") << T("go⇥3⇥/* a */ /* b */⇥-- c⏎exec q")
            << T("GO ⇥3⇥/* a */ /* b */⇥-- c⏎exec q");
        QTest::newRow("go_commentaire_ligne_puis_select") << T("select 1⏎GO -- fin⏎select 2")
            << T("SELECT 1 ⏎GO -- fin ⏎⇥SELECT 2");
        QTest::newRow("go_commentaire_ligne_deja_formate") << T("SELECT 1 ⏎GO -- fin ⏎⇥SELECT 2")
            << T("SELECT 1 ⏎GO -- fin ⏎⇥SELECT 2");
        QTest::newRow("outer_commentaire_join_garde") << T("select a from t left outer /* c */ join u")
            << T("SELECT a ⏎FROM t ⏎LEFT outer /* c */ JOIN u");
        QTest::newRow("outer_commentaire_ligne_join_garde") << T("a left outer -- c⏎join u")
            << T("a ⏎LEFT outer -- c⏎JOIN u");
        QTest::newRow("commentaire_blancs_en_fin_de_ligne") << T("select a -- c  ⏎from t")
            << T("SELECT a -- c ⏎FROM t");
        QTest::newRow("commentaire_tabulation_en_fin_de_ligne") << T("select a -- c  ⇥⏎from t")
            << T("SELECT a -- c ⇥ ⏎FROM t");
        QTest::newRow("commentaire_dans_bloc_deja_formate")
            << T("SELECT a ⏎FROM t ⏎UNION ⏎⇥SELECT b -- c⏎⇥, d ⏎⇥FROM u")
            << T("SELECT a ⏎FROM t ⏎UNION ⏎⇥SELECT b -- c⏎⇥, d ⏎⇥FROM u");
        QTest::newRow("go_compte_commentaire") << T("exec p go 2 -- deux fois⏎exec q")
            << T("exec p ⏎GO 2 -- deux fois⏎exec q");
        QTest::newRow("marqueur_deja_present") << QString(T("select a\xee\x80\x80 from t"))
            << QString(T("SELECT a\xee\x80\x80 ⏎FROM t"));
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
        QTest::newRow("ligne_deja_indentee") << T("SELECT 1 ⏎GO ⏎⇥exec p") << 1L << 1L
                                             << T("⇥SELECT 1 ⏎⇥GO ⏎⇥exec p");
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
