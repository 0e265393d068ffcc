#include "lecturescript.h"
#include "lexique.h"

#include <QSet>

namespace {

// Words that end a table reference: no alias can be one of them.
bool EstMotDeClause(const QString &sMot)
{
    static const QSet<QString> mots{
        QStringLiteral("where"), QStringLiteral("on"), QStringLiteral("join"), QStringLiteral("inner"),
        QStringLiteral("left"), QStringLiteral("right"), QStringLiteral("full"), QStringLiteral("cross"),
        QStringLiteral("outer"), QStringLiteral("apply"), QStringLiteral("group"), QStringLiteral("order"),
        QStringLiteral("having"), QStringLiteral("union"), QStringLiteral("except"), QStringLiteral("intersect"),
        QStringLiteral("select"), QStringLiteral("set"), QStringLiteral("with"), QStringLiteral("option"),
        QStringLiteral("for"), QStringLiteral("into"), QStringLiteral("values"), QStringLiteral("output"),
        QStringLiteral("from"), QStringLiteral("go"), QStringLiteral("begin"), QStringLiteral("end"),
        QStringLiteral("if"), QStringLiteral("else"), QStringLiteral("while"), QStringLiteral("return"),
        QStringLiteral("declare"), QStringLiteral("exec"), QStringLiteral("execute"), QStringLiteral("insert"),
        QStringLiteral("update"), QStringLiteral("delete"), QStringLiteral("pivot"), QStringLiteral("unpivot"),
        QStringLiteral("tablesample"), QStringLiteral("when"), QStringLiteral("then")};
    return mots.contains(sMot.toLower());
}

// Words that start a statement: a DECLARE list ends before them.
bool EstDebutDInstruction(const QString &sMot)
{
    static const QSet<QString> mots{
        QStringLiteral("select"), QStringLiteral("set"), QStringLiteral("insert"), QStringLiteral("update"),
        QStringLiteral("delete"), QStringLiteral("declare"), QStringLiteral("if"), QStringLiteral("while"),
        QStringLiteral("begin"), QStringLiteral("end"), QStringLiteral("exec"), QStringLiteral("execute"),
        QStringLiteral("print"), QStringLiteral("return"), QStringLiteral("with"), QStringLiteral("create"),
        QStringLiteral("alter"), QStringLiteral("drop"), QStringLiteral("truncate"), QStringLiteral("merge"),
        QStringLiteral("open"), QStringLiteral("fetch"), QStringLiteral("close"), QStringLiteral("deallocate"),
        QStringLiteral("raiserror"), QStringLiteral("throw"), QStringLiteral("else")};
    return mots.contains(sMot.toLower());
}

// Words after which a SELECT list ends.
bool FinitLaListe(const QString &sMot)
{
    static const QSet<QString> mots{
        QStringLiteral("from"), QStringLiteral("into"), QStringLiteral("where"), QStringLiteral("group"),
        QStringLiteral("order"), QStringLiteral("having"), QStringLiteral("union"), QStringLiteral("except"),
        QStringLiteral("intersect"), QStringLiteral("option"), QStringLiteral("for")};
    return mots.contains(sMot.toLower());
}

// Items of a column list that define no column.
bool EstContrainte(const QString &sMot)
{
    static const QSet<QString> mots{
        QStringLiteral("constraint"), QStringLiteral("primary"), QStringLiteral("unique"), QStringLiteral("foreign"),
        QStringLiteral("check"), QStringLiteral("index"), QStringLiteral("period")};
    return mots.contains(sMot.toLower());
}

bool EgalSansCasse(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The significant pieces of one batch (no blanks, no comments), with the
// closing parenthesis of each opening one.
class Pieces
{
public:
    Pieces(const QString &sTexte, const QVector<Jeton> &jetons) : t(sTexte), p(jetons), n(int(jetons.size()))
    {
        ap.fill(-1, n);
        QVector<int> ouvertes;
        for (int i = 0; i < n; ++i) {
            if (Sym(i, '('))
                ouvertes.append(i);
            else if (Sym(i, ')') && !ouvertes.isEmpty())
                ap[ouvertes.takeLast()] = i;
        }
    }

    bool Mot(int i, const char *sMot) const
    {
        return i >= 0 && i < n && p.at(i).genre == GenreJeton::Nom
            && QStringView(t).mid(p.at(i).lDebut, p.at(i).lFin - p.at(i).lDebut)
                       .compare(QLatin1String(sMot), Qt::CaseInsensitive) == 0;
    }
    bool Sym(int i, char ch) const
    {
        return i >= 0 && i < n && p.at(i).genre == GenreJeton::Autre && t.at(p.at(i).lDebut) == QLatin1Char(ch);
    }
    // A name on its own: a word, a [bracketed] or "quoted" name.
    bool Nom(int i) const
    {
        return i >= 0 && i < n && p.at(i).genre != GenreJeton::Point && EstPieceDeNom(p.at(i).genre);
    }
    bool Mot(int i) const { return i >= 0 && i < n && p.at(i).genre == GenreJeton::Nom; }
    QString NomA(int i) const { return NomDuJeton(t, p.at(i)); }
    bool Commence(int i, QChar ch) const { return Mot(i) && t.at(p.at(i).lDebut) == ch; }
    // The closing parenthesis of the one at i, or the limit when it is not closed there.
    int Fermante(int i, int lLimite) const { return ap.at(i) >= 0 && ap.at(i) < lLimite ? ap.at(i) : lLimite; }
    // The end of the dotted name starting at i: its parts touch each other.
    int FinNomPointe(int i, int lLimite) const
    {
        const int lDebut = i;
        while (i < lLimite && EstPieceDeNom(p.at(i).genre) && (i == lDebut || p.at(i).lDebut == p.at(i - 1).lFin))
            ++i;
        return i;
    }
    QString Texte(int i, int j) const { return t.mid(p.at(i).lDebut, p.at(j - 1).lFin - p.at(i).lDebut); }
    bool EstAlias(int i) const { return Nom(i) && (p.at(i).genre != GenreJeton::Nom || !EstMotDeClause(NomA(i))); }

    const QString &t;
    const QVector<Jeton> &p;
    const int n;
    QVector<int> ap;
};

// The name an item of a SELECT list gives its column: "x AS a", "x a",
// "a = x", "t.a", "a"; none for an expression without a name.
QString NomDeLElement(const Pieces &P, int s, int e, bool &bEtoile)
{
    if (e <= s)
        return QString();
    if (P.Sym(e - 1, '*')) {
        bEtoile = true;
        return QString();
    }
    if (e - s >= 3 && P.Nom(s) && P.Sym(s + 1, '=') && !P.Commence(s, QLatin1Char('@')))
        return P.NomA(s);
    const int k = e - 1;
    if (!P.Nom(k))
        return QString();
    const QString sNom = P.NomA(k);
    if (P.p.at(k).genre == GenreJeton::Nom) {
        const QChar c0 = sNom.at(0);
        if (c0.isDigit() || c0 == QLatin1Char('@') || EgalSansCasse(sNom, QStringLiteral("null"))
            || (EgalSansCasse(sNom, QStringLiteral("end")) && !P.Mot(k - 1, "as")))
            return QString();
    }
    return sNom;
}

// After SELECT at i: ALL, DISTINCT, TOP n [PERCENT] [WITH TIES].
int DebutDeLaListe(const Pieces &P, int i, int lLimite)
{
    ++i;
    if (P.Mot(i, "all") || P.Mot(i, "distinct"))
        ++i;
    if (P.Mot(i, "top")) {
        ++i;
        i = P.Sym(i, '(') ? P.Fermante(i, lLimite) + 1 : i + 1;
        if (P.Mot(i, "percent"))
            ++i;
        if (P.Mot(i, "with") && P.Mot(i + 1, "ties"))
            i += 2;
    }
    return i;
}

// Reads the list of the SELECT at i; returns where it stops (FROM, INTO...).
int ListeDuSelect(const Pieces &P, int i, int lLimite, QStringList &colonnes, bool &bEtoile)
{
    int k = DebutDeLaListe(P, i, lLimite);
    int lDebutElement = k;
    for (; k < lLimite; ++k) {
        if (P.Sym(k, '(')) {
            k = P.Fermante(k, lLimite);
            continue;
        }
        const bool bFin = P.Sym(k, ')') || P.Sym(k, ';') || (P.Mot(k) && FinitLaListe(P.NomA(k)));
        if (bFin || P.Sym(k, ',')) {
            const QString sNom = NomDeLElement(P, lDebutElement, k, bEtoile);
            if (!sNom.isEmpty())
                colonnes << sNom;
            lDebutElement = k + 1;
            if (bFin)
                return k;
        }
    }
    const QString sNom = NomDeLElement(P, lDebutElement, qMin(k, lLimite), bEtoile);
    if (!sNom.isEmpty())
        colonnes << sNom;
    return lLimite;
}

// The columns of the first SELECT of a body (of a CTE or a derived table).
QStringList ColonnesDuPremierSelect(const Pieces &P, int i, int lLimite)
{
    QStringList colonnes;
    for (; i < lLimite; ++i) {
        if (P.Mot(i, "select")) {
            bool bEtoile = false;
            ListeDuSelect(P, i, lLimite, colonnes, bEtoile);
            break;
        }
    }
    return colonnes;
}

// The first name of each comma-separated item between i and the limit:
// a column list "(a, b)" or a table definition "(id int, total money, PRIMARY KEY (id))".
QStringList PremiersNoms(const Pieces &P, int i, int lLimite)
{
    QStringList noms;
    bool bDebutElement = true;
    for (; i < lLimite; ++i) {
        if (P.Sym(i, '(')) {
            i = P.Fermante(i, lLimite);
            continue;
        }
        if (P.Sym(i, ',')) {
            bDebutElement = true;
            continue;
        }
        if (bDebutElement && P.Nom(i) && !(P.Mot(i) && EstContrainte(P.NomA(i))))
            noms << P.NomA(i);
        bDebutElement = false;
    }
    return noms;
}

// The piece that starts the statement after the one whose keyword is at k
// (SELECT, INSERT, UPDATE, DELETE, MERGE), or the limit: the words that go
// on with a statement (UNION SELECT, INSERT ... SELECT, UPDATE ... SET,
// MERGE ... THEN UPDATE, CASE ... ELSE ... END, OFFSET ... FETCH) do not
// start one.
int FinDeLaPrincipale(const Pieces &P, int k, int lLimite)
{
    if (!P.Mot(k, "select") && !P.Mot(k, "insert") && !P.Mot(k, "update") && !P.Mot(k, "delete")
        && !P.Mot(k, "merge"))
        return lLimite;
    const bool bInsert = P.Mot(k, "insert");
    const bool bModifie = P.Mot(k, "update") || P.Mot(k, "merge");
    for (int i = k + 1; i < lLimite; ++i) {
        if (P.Sym(i, '(')) {
            i = P.Fermante(i, lLimite);
            continue;
        }
        if (!P.Mot(i) || !EstDebutDInstruction(P.NomA(i)) || P.Mot(i, "end") || P.Mot(i, "else")
            || P.Mot(i - 1, "then"))
            continue;
        const bool bSuite = (P.Mot(i, "select") && (bInsert || P.Mot(i - 1, "union") || P.Mot(i - 1, "all")
                                                    || P.Mot(i - 1, "except") || P.Mot(i - 1, "intersect")))
            || (P.Mot(i, "set") && bModifie) || ((P.Mot(i, "exec") || P.Mot(i, "execute")) && bInsert)
            || (P.Mot(i, "with") && (P.Sym(i + 1, '(') || P.Mot(i + 1, "ties")))
            || (P.Mot(i, "fetch") && (P.Mot(i - 1, "rows") || P.Mot(i - 1, "row")));
        if (!bSuite)
            return i;
    }
    return lLimite;
}

class LecteurLot
{
public:
    LecteurLot(const Pieces &pieces, int lCaret) : P(pieces), c(lCaret) {}

    void LitReferences(int i0, int i1, InstructionScript &ins) const;
    void LitCtes(int i0, int i1, InstructionScript &ins) const;
    void LitTemporaires(int i0, int i1, QVector<TableDuScript> &temporaires) const;
    void LitVariables(int i0, int i1, QVector<TableDuScript> &variables) const;

private:
    bool AvantCaret(int i) const { return i < P.n && P.p.at(i).lDebut < c; }
    void LitParametres(int i, int i1, QVector<TableDuScript> &variables) const;
    int LitDeclare(int i, int i1, QVector<TableDuScript> &variables) const;

    const Pieces &P;
    const int c;
};

void LecteurLot::LitReferences(int i0, int i1, InstructionScript &ins) const
{
    bool bListeFrom = false;
    for (int i = i0; i < i1;) {
        const bool bOuvre = P.Mot(i, "from") || P.Mot(i, "join") || P.Mot(i, "into") || P.Mot(i, "using")
            || P.Mot(i, "update") || P.Mot(i, "apply") || (P.Mot(i, "delete") && !P.Mot(i + 1, "from"));
        const bool bSuite = bListeFrom && P.Sym(i, ',');
        if (!bOuvre && !bSuite) {
            if (P.Mot(i) && EstMotDeClause(P.NomA(i)))
                bListeFrom = false;
            ++i;
            continue;
        }
        ++i;
        if (P.Sym(i, '(')) {
            // A derived table: its alias follows the parenthesis; what is
            // inside is read on, for its own references.
            const int f = P.Fermante(i, i1);
            int k = P.Mot(f + 1, "as") ? f + 2 : f + 1;
            if (f < i1 && k < i1 && P.EstAlias(k)) {
                TableDuScript derivee;
                derivee.sNom = P.NomA(k);
                derivee.colonnes = P.Sym(k + 1, '(') ? PremiersNoms(P, k + 2, P.Fermante(k + 1, i1))
                                                     : ColonnesDuPremierSelect(P, i + 1, f);
                ins.derivees << derivee;
            }
            bListeFrom = false;
            continue;
        }
        const int lFin = P.FinNomPointe(i, i1);
        if (lFin == i) {
            bListeFrom = false;
            continue;
        }
        ReferenceScript ref;
        ref.sObjet = P.Texte(i, lFin);
        i = lFin;
        if (P.Mot(i, "as"))
            ++i;
        if (i < i1 && P.EstAlias(i))
            ref.sAlias = P.NomA(i++);
        ins.references << ref;
        bListeFrom = true;
    }
}

void LecteurLot::LitCtes(int i0, int i1, InstructionScript &ins) const
{
    for (int i = i0; i < i1; ++i) {
        if (!P.Mot(i, "with") || !P.Nom(i + 1))
            continue;
        const bool bListe = P.Sym(i + 2, '(');
        if (!P.Mot(bListe ? P.Fermante(i + 2, i1) + 1 : i + 2, "as"))
            continue;
        int k = i + 1;
        const qsizetype lAvant = ins.ctes.size();
        int lApres = i1;
        while (P.Nom(k)) {
            TableDuScript cte;
            cte.sNom = P.NomA(k++);
            QStringList explicites;
            if (P.Sym(k, '(')) {
                const int f = P.Fermante(k, i1);
                explicites = PremiersNoms(P, k + 1, f);
                k = f + 1;
            }
            if (!P.Mot(k, "as") || !P.Sym(k + 1, '('))
                break;
            const int f = P.Fermante(k + 1, i1);
            cte.colonnes = explicites.isEmpty() ? ColonnesDuPremierSelect(P, k + 2, f) : explicites;
            ins.ctes << cte;
            lApres = f + 1;
            if (!P.Sym(f + 1, ','))
                break;
            k = f + 2;
        }
        // Statements need no semicolon between them: past the statement the
        // CTEs serve, the caret no longer sees them.
        const int lSuivante = FinDeLaPrincipale(P, lApres, i1);
        if (lSuivante < i1 && P.p.at(lSuivante).lDebut < c)
            ins.ctes.resize(lAvant);
        i = k;
    }
}

void LecteurLot::LitTemporaires(int i0, int i1, QVector<TableDuScript> &temporaires) const
{
    for (int i = i0; i < i1 && AvantCaret(i); ++i) {
        if (P.Mot(i, "create") && P.Mot(i + 1, "table") && P.Commence(i + 2, QLatin1Char('#'))) {
            TableDuScript table;
            table.sNom = P.NomA(i + 2);
            if (P.Sym(i + 3, '('))
                table.colonnes = PremiersNoms(P, i + 4, P.Fermante(i + 3, i1));
            temporaires << table;
        } else if (P.Mot(i, "select")) {
            TableDuScript table;
            bool bEtoile = false;
            const int k = ListeDuSelect(P, i, i1, table.colonnes, bEtoile);
            if (!P.Mot(k, "into") || !P.Commence(k + 1, QLatin1Char('#')))
                continue;
            table.sNom = P.NomA(k + 1);
            // A "SELECT *" takes the columns of its source, which the catalogue knows.
            if (bEtoile && P.Mot(k + 2, "from") && P.Nom(k + 3))
                table.sSource = P.Texte(k + 3, P.FinNomPointe(k + 3, i1));
            temporaires << table;
        }
    }
}

// "CREATE [OR ALTER] PROC[EDURE] | FUNCTION name [(] @a type, @b type ..."
void LecteurLot::LitParametres(int i, int i1, QVector<TableDuScript> &variables) const
{
    int k = i + 1;
    if (P.Mot(k, "or") && P.Mot(k + 1, "alter"))
        k += 2;
    if (!P.Mot(k, "proc") && !P.Mot(k, "procedure") && !P.Mot(k, "function"))
        return;
    k = P.FinNomPointe(k + 1, i1);
    bool bDebutElement = true;
    for (; k < i1 && AvantCaret(k); ++k) {
        if (P.Mot(k, "as") && P.Commence(k - 1, QLatin1Char('@')))
            continue;  // "@a AS int": the type follows
        if (P.Mot(k, "as") || P.Mot(k, "returns"))
            return;
        if (P.Sym(k, '(') || P.Sym(k, ',')) {
            bDebutElement = true;
            continue;
        }
        if (bDebutElement && P.Commence(k, QLatin1Char('@')))
            variables << TableDuScript{P.NomA(k), {}, {}};
        bDebutElement = false;
    }
}

// "DECLARE @a int = 1, @t TABLE (x int), @c CURSOR FOR ..."; returns where it ends.
int LecteurLot::LitDeclare(int i, int i1, QVector<TableDuScript> &variables) const
{
    int k = i + 1;
    while (k < i1 && P.Commence(k, QLatin1Char('@'))) {
        TableDuScript variable;
        const bool bAvant = AvantCaret(k);
        variable.sNom = P.NomA(k++);
        if (P.Mot(k, "as"))
            ++k;
        if (P.Mot(k, "table") && P.Sym(k + 1, '(')) {
            const int f = P.Fermante(k + 1, i1);
            variable.colonnes = PremiersNoms(P, k + 2, f);
            k = f + 1;
        }
        if (bAvant)
            variables << variable;
        // The type and the value, up to the next variable of the list.
        while (k < i1 && !P.Sym(k, ',') && !P.Sym(k, ';') && !(P.Mot(k) && EstDebutDInstruction(P.NomA(k))))
            k = P.Sym(k, '(') ? P.Fermante(k, i1) + 1 : k + 1;
        if (!P.Sym(k, ','))
            break;
        ++k;
    }
    return k;
}

void LecteurLot::LitVariables(int i0, int i1, QVector<TableDuScript> &variables) const
{
    for (int i = i0; i < i1 && AvantCaret(i); ++i) {
        if (P.Mot(i, "declare"))
            i = LitDeclare(i, i1, variables) - 1;
        else if (P.Mot(i, "create") || (P.Mot(i, "alter") && !P.Mot(i - 1, "or")))
            LitParametres(i, i1, variables);
    }
}

// GO alone on its line, a repeat count or a comment aside, from the piece
// after it; lFinLigne is where that line ends (its line break included).
bool RestDeLigneGo(const QString &sTexte, int lPosition, int &lFinLigne)
{
    LecteurSql lecteur(sTexte, lPosition);
    Jeton j;
    lFinLigne = int(sTexte.size());
    while (lecteur.Suivant(j)) {
        if (j.genre == GenreJeton::Blanc) {
            if (QStringView(sTexte).mid(j.lDebut, j.lFin - j.lDebut).contains(QLatin1Char('\n'))) {
                lFinLigne = j.lFin;
                return true;
            }
            continue;
        }
        if (j.genre == GenreJeton::Commentaire)
            continue;
        if (j.genre == GenreJeton::Nom && sTexte.at(j.lDebut).isDigit())
            continue;
        return false;
    }
    return true;
}

bool EstGo(const QString &sTexte, const Jeton &j)
{
    return j.lFin - j.lDebut == 2 && j.genre == GenreJeton::Nom
        && QStringView(sTexte).mid(j.lDebut, 2).compare(QLatin1String("go"), Qt::CaseInsensitive) == 0;
}

void LitLotDuCaret(const QString &sTexte, const QVector<Jeton> &jetons, LectureScript &lecture, int c)
{
    const Pieces P(sTexte, jetons);
    const LecteurLot lot(P, c);
    int i0 = 0;
    for (int i = 0; i <= P.n; ++i) {
        if (i < P.n && !P.Sym(i, ';'))
            continue;
        InstructionScript ins;
        ins.lDebut = i0 == 0 ? lecture.lDebutLot : P.p.at(i0 - 1).lFin;
        ins.lFin = i < P.n ? P.p.at(i).lDebut : lecture.lFinLot;
        lot.LitReferences(i0, i, ins);
        lot.LitCtes(i0, i, ins);
        lot.LitTemporaires(i0, i, lecture.temporaires);
        lot.LitVariables(i0, i, lecture.variables);
        if (lecture.iCourante < 0 && ins.lDebut <= c && c <= ins.lFin)
            lecture.iCourante = int(lecture.instructions.size());
        lecture.instructions << ins;
        i0 = i + 1;
    }
}

void LitLotAnterieur(const QString &sTexte, const QVector<Jeton> &jetons, LectureScript &lecture, int c)
{
    const Pieces P(sTexte, jetons);
    LecteurLot(P, c).LitTemporaires(0, P.n, lecture.temporaires);
}

const TableDuScript *Cherche(const QVector<TableDuScript> &tables, const QString &sNom, bool bAvecColonnes = false)
{
    // The latest one made wins, as it does on the server.
    for (auto it = tables.crbegin(); it != tables.crend(); ++it) {
        if (EgalSansCasse(it->sNom, sNom) && (!bAvecColonnes || !it->colonnes.isEmpty()))
            return &*it;
    }
    return nullptr;
}

} // namespace

const InstructionScript &LectureScript::Courante() const
{
    static const InstructionScript aucune;
    return iCourante >= 0 && iCourante < instructions.size() ? instructions.at(iCourante) : aucune;
}

QString LectureScript::ObjetDeLAlias(const QString &sAlias) const
{
    if (sAlias.isEmpty())
        return QString();
    for (const ReferenceScript &ref : Courante().references) {
        if (!ref.sAlias.isEmpty() && EgalSansCasse(ref.sAlias, sAlias))
            return ref.sObjet;
    }
    return QString();
}

const TableDuScript *LectureScript::TableNommee(const QString &sNom) const
{
    if (sNom.isEmpty())
        return nullptr;
    const InstructionScript &ins = Courante();
    for (const QVector<TableDuScript> *tables : {&ins.derivees, &ins.ctes, &temporaires}) {
        if (const TableDuScript *table = Cherche(*tables, sNom))
            return table;
    }
    if (const TableDuScript *table = Cherche(variables, sNom, true))
        return table;
    // An alias of a CTE, a temporary table or a table variable.
    const QString sObjet = ObjetDeLAlias(sNom);
    const MotCurseur mot = MotAuCurseur(sObjet, int(sObjet.size()));
    if (sObjet.isEmpty() || mot.bAvecPoint())
        return nullptr;
    const QString sCible = NomDeLaPartie(sObjet);
    if (EgalSansCasse(sCible, sNom))
        return nullptr;
    for (const QVector<TableDuScript> *tables : {&ins.ctes, &temporaires}) {
        if (const TableDuScript *table = Cherche(*tables, sCible))
            return table;
    }
    return Cherche(variables, sCible, true);
}

namespace {

// The remembered batches hold when the text up to the end of their last GO
// line is unchanged and the caret is past it.
bool MemoireValable(const MemoireScript &memoire, const QString &sTexte, int c)
{
    const int n = memoire.lFinLigneGo;
    return n >= 0 && c >= n && n <= sTexte.size() && n <= memoire.sTexte.size()
        && QStringView(sTexte).left(n) == QStringView(memoire.sTexte).left(n);
}

} // namespace

LectureScript LitScript(const QString &sTexte, int lCaret, MemoireScript *memoire)
{
    LectureScript lecture;
    SuiviMot suivi(sTexte, lCaret);
    const int c = suivi.Caret();
    lecture.lFinLot = int(sTexte.size());
    int lDepart = 0;
    // The last GO line that ends before the caret, and what was made before it.
    int lFinLigneGo = -1;
    int lReprise = 0;
    QVector<TableDuScript> temporairesAvant;
    const bool bMemoireValable = memoire && MemoireValable(*memoire, sTexte, c);
    if (bMemoireValable) {
        lDepart = lReprise = memoire->lReprise;
        lFinLigneGo = memoire->lFinLigneGo;
        lecture.lDebutLot = lDepart;
        lecture.temporaires = temporairesAvant = memoire->temporaires;
    }
    QVector<Jeton> lot;
    lot.reserve(256);
    bool bDebutDeLigne = lDepart == 0;
    LecteurSql lecteur(sTexte, lDepart);
    Jeton j;
    while (lecteur.Suivant(j)) {
        suivi.Lit(j);
        if (j.genre == GenreJeton::Blanc) {
            bDebutDeLigne = QStringView(sTexte).mid(j.lDebut, j.lFin - j.lDebut).contains(QLatin1Char('\n'));
            continue;
        }
        if (j.genre == GenreJeton::Commentaire) {
            bDebutDeLigne = false;
            continue;
        }
        int lFinLigne = 0;
        if (bDebutDeLigne && EstGo(sTexte, j) && RestDeLigneGo(sTexte, j.lFin, lFinLigne)) {
            if (j.lDebut >= c) {
                lecture.lFinLot = j.lDebut;
                break;
            }
            LitLotAnterieur(sTexte, lot, lecture, c);
            lot.clear();
            lecture.lDebutLot = j.lFin;
            if (lFinLigne <= c) {
                lFinLigneGo = lFinLigne;
                lReprise = j.lFin;
                temporairesAvant = lecture.temporaires;
            }
            bDebutDeLigne = false;
            continue;
        }
        bDebutDeLigne = false;
        lot.append(j);
    }
    lecture.mot = suivi.Mot();
    // The memory keeps its own copy of the text it stands for, taken only
    // when its batches change: the editor's text is not held, and each edit
    // of it stays one edit.
    if (memoire && !(bMemoireValable && lFinLigneGo == memoire->lFinLigneGo)) {
        memoire->sTexte = lFinLigneGo > 0 ? sTexte.left(lFinLigneGo) : QString();
        memoire->lFinLigneGo = lFinLigneGo;
        memoire->lReprise = lReprise;
        memoire->temporaires = temporairesAvant;
    }
    LitLotDuCaret(sTexte, lot, lecture, c);
    return lecture;
}
