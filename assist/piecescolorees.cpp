#include "piecescolorees.h"

#include "motscles.h"

#include <algorithm>

namespace {

// The reserved words of Transact-SQL, beside the formatter's own keyword table.
const char *const kMotsReserves[] = {
    "add", "all", "alter", "and", "any", "as", "asc", "authorization", "backup", "begin", "between", "break",
    "browse", "bulk", "by", "cascade", "case", "check", "checkpoint", "close", "clustered", "coalesce",
    "collate", "column", "commit", "compute", "constraint", "contains", "containstable", "continue", "convert",
    "create", "cross", "current", "current_date", "current_time", "current_timestamp", "current_user", "cursor",
    "database", "dbcc", "deallocate", "declare", "default", "delete", "deny", "desc", "disk", "distinct",
    "distributed", "double", "drop", "dump", "else", "end", "errlvl", "escape", "except", "exec", "execute",
    "exists", "exit", "external", "fetch", "file", "fillfactor", "for", "foreign", "freetext", "freetexttable",
    "from", "full", "function", "goto", "grant", "group", "having", "holdlock", "identity", "identity_insert",
    "identitycol", "if", "in", "index", "inner", "insert", "intersect", "into", "is", "join", "key", "kill",
    "left", "like", "lineno", "load", "merge", "national", "nocheck", "nonclustered", "not", "null", "nullif",
    "of", "off", "offsets", "on", "open", "opendatasource", "openquery", "openrowset", "openxml", "option", "or",
    "order", "outer", "over", "percent", "pivot", "plan", "precision", "primary", "print", "proc", "procedure",
    "public", "raiserror", "read", "readtext", "reconfigure", "references", "replication", "restore",
    "restrict", "return", "revert", "revoke", "right", "rollback", "rowcount", "rowguidcol", "rule", "save",
    "schema", "securityaudit", "select", "semantickeyphrasetable", "semanticsimilaritydetailstable",
    "semanticsimilaritytable", "session_user", "set", "setuser", "shutdown", "some", "statistics",
    "system_user", "table", "tablesample", "textsize", "then", "to", "top", "tran", "transaction", "trigger",
    "truncate", "try_convert", "tsequal", "union", "unique", "unpivot", "update", "updatetext", "use", "user",
    "values", "varying", "view", "waitfor", "when", "where", "while", "with", "within", "writetext",
};

bool AvantSansCasse(const QString &a, const QString &b)
{
    return QStringView(a).compare(QStringView(b), Qt::CaseInsensitive) < 0;
}

// Sorted once, without regard to case, for a look-up that allocates nothing.
const std::vector<QString> &MotsColores()
{
    static const std::vector<QString> mots = [] {
        std::vector<QString> v;
        TableauMotsCles table;
        InitialiseMotsCles(table);
        for (const MotCle &m : table)
            v.push_back(m.Mot);
        for (const char *mot : kMotsReserves)
            v.push_back(QString::fromLatin1(mot));
        std::sort(v.begin(), v.end(), AvantSansCasse);
        v.erase(std::unique(v.begin(), v.end(),
                            [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }),
                v.end());
        return v;
    }();
    return mots;
}

QStringView Piece(const QString &s, const Jeton &j)
{
    return QStringView(s).mid(j.lDebut, j.lFin - j.lDebut);
}

bool EstChiffre(QChar ch)
{
    return ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
}

// GO alone at the start of a line read from nothing open: blanks, a repeat
// count and a line comment may stand beside it.
bool EstLigneGo(const QString &sLigne, const std::vector<Jeton> &jetons, size_t iGo)
{
    const Jeton &go = jetons.at(iGo);
    if (go.genre != GenreJeton::Nom || Piece(sLigne, go).compare(QLatin1String("go"), Qt::CaseInsensitive) != 0)
        return false;
    for (size_t k = 0; k < jetons.size(); ++k) {
        const Jeton &j = jetons.at(k);
        if (k == iGo || j.genre == GenreJeton::Blanc)
            continue;
        if (k < iGo)
            return false;
        const bool bCompte = j.genre == GenreJeton::Nom && EstChiffre(sLigne.at(j.lDebut));
        const bool bCommentaireLigne = j.genre == GenreJeton::Commentaire && sLigne.at(j.lDebut) == QLatin1Char('-');
        if (!bCompte && !bCommentaireLigne)
            return false;
    }
    return true;
}

// A number piece written right after another one (12 . 5, 1e + 5) extends it.
void AjoutePiece(std::vector<PieceColoree> &pieces, int lDebut, int lFin, GenreCouleur genre)
{
    if (genre == GenreCouleur::Nombre && !pieces.empty()) {
        PieceColoree &derniere = pieces.back();
        if (derniere.genre == GenreCouleur::Nombre && derniere.lDebut + derniere.lLongueur == lDebut) {
            derniere.lLongueur = lFin - derniere.lDebut;
            return;
        }
    }
    pieces.push_back(PieceColoree{lDebut, lFin - lDebut, genre});
}

// The colour of a piece, false for a piece that keeps the text's own colour.
bool CouleurDuJeton(const QString &sLigne, const std::vector<Jeton> &jetons, size_t i,
                    const PieceColoree *pDerniere, GenreCouleur &genre)
{
    const Jeton &j = jetons.at(i);
    const QChar premier = sLigne.at(j.lDebut);
    switch (j.genre) {
    case GenreJeton::Chaine: genre = GenreCouleur::Chaine; return true;
    case GenreJeton::Commentaire: genre = GenreCouleur::Commentaire; return true;
    case GenreJeton::Crochet:
    case GenreJeton::Guillemet: genre = GenreCouleur::NomEncadre; return true;
    case GenreJeton::Nom: {
        const bool bPrefixeN = (premier == QLatin1Char('N') || premier == QLatin1Char('n')) && j.lFin - j.lDebut == 1
            && i + 1 < jetons.size() && jetons.at(i + 1).genre == GenreJeton::Chaine;
        if (bPrefixeN)
            genre = GenreCouleur::Chaine;
        else if (EstChiffre(premier))
            genre = GenreCouleur::Nombre;
        else if (premier == QLatin1Char('@'))
            genre = GenreCouleur::Variable;
        else if (premier == QLatin1Char('#'))
            genre = GenreCouleur::Temporaire;
        else if (EstMotReserve(Piece(sLigne, j)))
            genre = GenreCouleur::MotCle;
        else
            return false;
        return true;
    }
    case GenreJeton::Point:
    case GenreJeton::Autre: {
        // The sign of an exponent or a decimal point inside a number.
        const bool bDansNombre = pDerniere && pDerniere->genre == GenreCouleur::Nombre
            && pDerniere->lDebut + pDerniere->lLongueur == j.lDebut && i + 1 < jetons.size()
            && jetons.at(i + 1).lDebut == j.lFin && EstChiffre(sLigne.at(jetons.at(i + 1).lDebut))
            && (j.genre == GenreJeton::Point
                || ((premier == QLatin1Char('+') || premier == QLatin1Char('-'))
                    && sLigne.at(j.lDebut - 1).toLower() == QLatin1Char('e')));
        genre = GenreCouleur::Nombre;
        return bDansNombre;
    }
    default: return false;
    }
}

} // namespace

bool EstMotReserve(QStringView sMot)
{
    if (sMot.isEmpty() || sMot.size() > 40)
        return false;
    const std::vector<QString> &mots = MotsColores();
    const auto it = std::lower_bound(mots.begin(), mots.end(), sMot, [](const QString &a, QStringView b) {
        return QStringView(a).compare(b, Qt::CaseInsensitive) < 0;
    });
    return it != mots.end() && QStringView(*it).compare(sMot, Qt::CaseInsensitive) == 0;
}

EtatLecture ColoreLigne(const QString &sLigne, const EtatLecture &etatDebut, std::vector<PieceColoree> *pieces)
{
    LecteurSql lecteur(sLigne, etatDebut);
    Jeton j;
    if (!pieces) {
        while (lecteur.Suivant(j)) {
        }
        return lecteur.EtatFinal();
    }
    std::vector<Jeton> jetons;
    while (lecteur.Suivant(j))
        jetons.push_back(j);
    const bool bPeutEtreGo = !etatDebut.EstOuvert();
    std::vector<PieceColoree> &sortie = *pieces;
    const size_t lDebutSortie = sortie.size();
    for (size_t i = 0; i < jetons.size(); ++i) {
        const Jeton &jeton = jetons.at(i);
        if (bPeutEtreGo && jeton.genre == GenreJeton::Nom && EstLigneGo(sLigne, jetons, i)) {
            AjoutePiece(sortie, jeton.lDebut, jeton.lFin, GenreCouleur::Go);
            continue;
        }
        GenreCouleur genre;
        const PieceColoree *pDerniere = sortie.size() > lDebutSortie ? &sortie.back() : nullptr;
        if (!CouleurDuJeton(sLigne, jetons, i, pDerniere, genre))
            continue;
        // The N of N'...' joins its string.
        if (genre == GenreCouleur::Chaine && jeton.genre == GenreJeton::Nom) {
            AjoutePiece(sortie, jeton.lDebut, jetons.at(i + 1).lFin, genre);
            ++i;
            continue;
        }
        AjoutePiece(sortie, jeton.lDebut, jeton.lFin, genre);
    }
    return lecteur.EtatFinal();
}
