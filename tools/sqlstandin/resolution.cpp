#include "resolution.h"

#include "catalogue.h"
#include "cataloguesys.h"
#include "collations.h"
#include "fonctionssqlite.h"
#include "instructionsql.h"
#include "profil.h"

#include <QSet>
#include <QStringList>
#include <sqlite3.h>

namespace {
bool estMot(const JetonSql &j, const char *mot)
{
    return j.genre == JetonSql::Mot && j.sTexte.compare(QLatin1String(mot), Qt::CaseInsensitive) == 0;
}

bool estUnDesMots(const JetonSql &j, std::initializer_list<const char *> mots)
{
    for (const char *mot : mots)
        if (estMot(j, mot))
            return true;
    return false;
}

bool estSymbole(const JetonSql &j, const char *symbole)
{
    return j.genre == JetonSql::Symbole && j.sTexte == QLatin1String(symbole);
}

bool estNom(const JetonSql &j)
{
    return (j.genre == JetonSql::Mot && !j.sTexte.startsWith(QLatin1Char('#'))) || j.genre == JetonSql::NomDelimite;
}

bool memeNom(const QString &a, const char *b)
{
    return CompareSansCasse(a, QLatin1String(b)) == 0;
}

QString nomSqlite(const QString &s)
{
    return QLatin1Char('"') + QString(s).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// A multi-part name written without blanks: its parts (-1 for the empty one of db..x).
struct Chaine {
    QVector<int> parties;
    int debut = 0;
    int fin = 0;
};

std::optional<Chaine> chaineA(const InstructionSql &t, int i)
{
    if (!estNom(t.j.at(i)) || (i > 0 && estSymbole(t.j.at(i - 1), ".")))
        return std::nullopt;
    Chaine c;
    c.debut = i;
    c.parties << i;
    int k = i + 1;
    while (k < t.j.size() && estSymbole(t.j.at(k), ".") && t.avant.at(k).isEmpty()) {
        if (k + 1 < t.j.size() && estNom(t.j.at(k + 1)) && t.avant.at(k + 1).isEmpty()) {
            c.parties << k + 1;
            k += 2;
        } else if (k + 1 < t.j.size() && estSymbole(t.j.at(k + 1), ".")) {
            c.parties << -1;
            k += 1;
        } else {
            break;
        }
    }
    c.fin = k - 1;
    return c;
}

QStringList valeurs(const InstructionSql &t, const Chaine &c)
{
    QStringList v;
    for (int idx : c.parties)
        v << (idx < 0 ? QString() : t.j.at(idx).sValeur);
    return v;
}

// Which pieces stand where a table or view is named.
QVector<bool> positionsTable(const InstructionSql &t)
{
    QVector<bool> resultat(t.j.size(), false);
    QVector<bool> dansFrom{false};
    for (int i = 0; i < t.j.size(); ++i) {
        const JetonSql &x = t.j.at(i);
        if (i > 0 && estNom(x)) {
            const JetonSql &avant = t.j.at(i - 1);
            resultat[i] = estUnDesMots(avant, {"FROM", "JOIN", "INTO", "UPDATE", "TABLE", "VIEW", "DELETE", "REFERENCES"})
                          || (estSymbole(avant, ",") && dansFrom.last());
        }
        if (estSymbole(x, "("))
            dansFrom << false;
        else if (estSymbole(x, ")") && dansFrom.size() > 1)
            dansFrom.removeLast();
        else if (estMot(x, "FROM"))
            dansFrom.last() = true;
        else if (estUnDesMots(x, {"WHERE", "GROUP", "ORDER", "HAVING", "UNION", "EXCEPT", "INTERSECT", "ON", "SET",
                                  "OPTION", "SELECT"}))
            dansFrom.last() = false;
    }
    return resultat;
}

// Where a table named in T-SQL is stored, and how to write it for the rewrite.
struct Cible {
    bool bReecrite = false;
    QString sSqlite;
    QString sBase;          ///< the database written (or moved to master); "" = the current one
    QString sSchemaSqlite;  ///< main, master or the attached database
    QString sTableSqlite;
    QString sNomExpose;     ///< the name the rest of the statement uses for it
};

Cible resoudCible(const QStringList &p, const ContexteResolution &contexte)
{
    Cible c;
    const int n = int(p.size());
    if (n < 1 || n > 3)
        return c;
    const QString sObjet = p.last();
    const QString sSchema = n >= 2 ? p.at(n - 2) : QString();
    QString sBase = n == 3 ? p.first() : QString();
    const bool bDbo = sSchema.isEmpty() || memeNom(sSchema, "dbo");
    const bool bSys = memeNom(sSchema, "sys");
    QString sStocke = sObjet;
    if (AvecSchemas() && (bDbo || bSys) && EstVueCompatibilite(sObjet)) {
        if (EstVueSystemeDuServeur(sObjet))
            sBase = QStringLiteral("master");
    } else if (AvecSchemas() && bSys && (EstVueSystemeDeBase(sObjet) || EstVueSystemeDuServeur(sObjet))) {
        if (EstVueSystemeDuServeur(sObjet))
            sBase = QStringLiteral("master");
        sStocke = QStringLiteral("sys.") + sObjet;
    } else if (!bDbo) {
        sStocke = sSchema + QLatin1Char('.') + sObjet;
    }
    const bool bCourante = sBase.isEmpty() || CompareSansCasse(sBase, contexte.sBaseCourante) == 0;
    c.sBase = sBase;
    c.sSchemaSqlite = bCourante ? QStringLiteral("main") : sBase;
    c.sTableSqlite = sStocke;
    c.sNomExpose = sObjet;
    c.bReecrite = sStocke != sObjet || sBase != (n == 3 ? p.first() : QString()) || (bSys && sStocke == sObjet);
    c.sSqlite = (sBase.isEmpty() ? QString() : nomSqlite(c.sSchemaSqlite) + QLatin1Char('.')) + nomSqlite(sStocke);
    return c;
}

// Keywords that may share their spelling with a catalogue column.
bool estMotCle(const JetonSql &j)
{
    static const QSet<QString> mots{
        "SELECT", "FROM", "WHERE", "AND", "OR", "NOT", "IN", "IS", "NULL", "LIKE", "ESCAPE", "BETWEEN", "EXISTS",
        "ORDER", "BY", "GROUP", "HAVING", "UNION", "ALL", "DISTINCT", "TOP", "PERCENT", "TIES", "AS", "ON", "JOIN",
        "INNER", "LEFT", "RIGHT", "FULL", "OUTER", "CROSS", "APPLY", "INSERT", "INTO", "VALUES", "UPDATE", "SET",
        "DELETE", "CASE", "WHEN", "THEN", "ELSE", "END", "ASC", "DESC", "COLLATE", "WITH", "NOLOCK", "OFFSET",
        "ROWS", "ROW", "FETCH", "FIRST", "NEXT", "ONLY", "TEXT", "KEY", "VALUE", "OPTION", "FOR", "CONVERT",
        "CAST", "DEFAULT", "TABLE", "VIEW", "INDEX", "EXCEPT", "INTERSECT", "OUTPUT", "DATABASE_DEFAULT"};
    return j.genre == JetonSql::Mot && mots.contains(j.sTexte.toUpper());
}

struct NomsConnus {
    QSet<QString> exacts;
    QSet<QString> objets;   // case-folded
    QSet<QString> colonnes; // case-folded
};

void ajouteRequete(sqlite3 *db, const char *sql, NomsConnus &noms, bool bColonnes)
{
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK) {
        while (sqlite3_step(st) == SQLITE_ROW) {
            const QString nom = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
            // "owner.x" and "sys.x" are stored names: their parts are names too.
            const QStringList parties = bColonnes ? QStringList{nom} : QStringList{nom} + nom.split(QLatin1Char('.'));
            for (const QString &partie : parties) {
                noms.exacts << partie;
                (bColonnes ? noms.colonnes : noms.objets) << partie.toCaseFolded();
            }
        }
    }
    sqlite3_finalize(st);
}

NomsConnus nomsConnus(sqlite3 *db)
{
    NomsConnus noms;
    ajouteRequete(db, "SELECT name FROM main.sqlite_master WHERE type IN ('table','view')", noms, false);
    ajouteRequete(db, "SELECT name FROM main.sysobjects UNION SELECT name FROM main.sysusers", noms, false);
    ajouteRequete(db, "SELECT name FROM main.\"sys.schemas\"", noms, false);
    ajouteRequete(db, "SELECT p.name FROM main.sqlite_master m JOIN pragma_table_info(m.name) p "
                      "WHERE m.type IN ('table','view')", noms, true);
    ajouteRequete(db, "SELECT name FROM main.syscolumns", noms, true);
    return noms;
}

// A case-sensitive database tells names apart by their letter case.
std::optional<ErreurSql> verifieCasse(const InstructionSql &t, const QVector<bool> &table, const ContexteResolution &contexte)
{
    const NomsConnus noms = nomsConnus(contexte.db);
    QSet<int> bases;
    for (int i = 0; i < t.j.size(); ++i) {
        if (!table.at(i))
            continue;
        if (const auto c = chaineA(t, i); c && c->parties.size() == 3 && c->parties.first() >= 0)
            bases << c->parties.first(); // database names follow the server's collation
    }
    for (int i = 0; i < t.j.size(); ++i) {
        const JetonSql &x = t.j.at(i);
        if (!estNom(x) || estMotCle(x) || bases.contains(i) || (i > 0 && estMot(t.j.at(i - 1), "AS")))
            continue;
        if (x.genre == JetonSql::Mot && i + 1 < t.j.size() && estSymbole(t.j.at(i + 1), "("))
            continue; // a function
        if (noms.exacts.contains(x.sValeur))
            continue;
        const QString pli = x.sValeur.toCaseFolded();
        if (!noms.objets.contains(pli) && !noms.colonnes.contains(pli))
            continue;
        int debut = i;
        while (debut >= 2 && estSymbole(t.j.at(debut - 1), ".") && estNom(t.j.at(debut - 2)))
            debut -= 2;
        if (table.at(debut) || !noms.colonnes.contains(pli)) {
            const auto c = chaineA(t, debut);
            const QString sNom = c ? valeurs(t, *c).join(QLatin1Char('.')) : x.sValeur;
            return ErreurSql{208, 16, 1, QStringLiteral("Invalid object name '%1'.").arg(sNom)};
        }
        return ErreurSql{207, 16, 1, QStringLiteral("Invalid column name '%1'.").arg(x.sValeur)};
    }
    return std::nullopt;
}

QString collationDeBase(const ContexteResolution &contexte, const Cible &cible)
{
    if (cible.sSchemaSqlite == QLatin1String("main"))
        return contexte.sCollation.isEmpty() ? CollationServeur() : contexte.sCollation;
    return CollationDuFichier(contexte.db, cible.sSchemaSqlite);
}

struct Source {
    Cible cible;
    QString sAlias;
};

// The collation label of one select item: explicit (COLLATE), implicit (a text
// column: its database's collation), or none (literals, expressions).
struct Etiquette {
    enum Genre { Aucune, Implicite, Explicite };
    Genre genre = Aucune;
    QString sCollation;
};

bool colonneTexte(sqlite3 *db, const Cible &cible, const QString &sColonne)
{
    sqlite3_stmt *st = nullptr;
    const QString sql = QStringLiteral("PRAGMA %1.table_info(%2)").arg(nomSqlite(cible.sSchemaSqlite), nomSqlite(cible.sTableSqlite));
    bool bTexte = false;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK) {
        while (sqlite3_step(st) == SQLITE_ROW) {
            const QString nom = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 1)));
            if (CompareSansCasse(nom, sColonne) == 0)
                bTexte = DecritType(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 2)))).bTexte;
        }
    }
    sqlite3_finalize(st);
    return bTexte;
}

Etiquette etiquetteDe(const InstructionSql &t, int a, int b, const QVector<Source> &sources, const ContexteResolution &contexte)
{
    Etiquette e;
    int profondeur = 0;
    for (int i = a; i <= b; ++i) {
        if (estSymbole(t.j.at(i), "("))
            ++profondeur;
        else if (estSymbole(t.j.at(i), ")"))
            --profondeur;
        else if (profondeur == 0 && estMot(t.j.at(i), "COLLATE") && i + 1 <= b) {
            e.genre = Etiquette::Explicite;
            const QString nom = t.j.at(i + 1).sValeur;
            e.sCollation = memeNom(nom, "DATABASE_DEFAULT") ? contexte.sCollation : nom;
            return e;
        }
    }
    if (b - 1 >= a && estMot(t.j.at(b - 1), "AS"))
        b -= 2;
    else if (b > a && estNom(t.j.at(b)) && !estSymbole(t.j.at(b - 1), "."))
        b -= 1;
    QString sQualifiant, sColonne;
    if (b == a && estNom(t.j.at(a))) {
        sColonne = t.j.at(a).sValeur;
    } else if (b == a + 2 && estNom(t.j.at(a)) && estSymbole(t.j.at(a + 1), ".") && estNom(t.j.at(b))) {
        sQualifiant = t.j.at(a).sValeur;
        sColonne = t.j.at(b).sValeur;
    } else {
        return e;
    }
    const Source *source = nullptr;
    for (const Source &s : sources)
        if (sQualifiant.isEmpty() ? sources.size() == 1
                                  : CompareSansCasse(sQualifiant, s.sAlias.isEmpty() ? s.cible.sNomExpose : s.sAlias) == 0)
            source = &s;
    if (!source || !colonneTexte(contexte.db, source->cible, sColonne))
        return e;
    e.genre = Etiquette::Implicite;
    e.sCollation = collationDeBase(contexte, source->cible);
    return e;
}

// The tables after FROM, up to the end of the branch's FROM clause.
QVector<Source> sourcesDe(const InstructionSql &t, int lFrom, int lFin, const QVector<bool> &table,
                          const ContexteResolution &contexte)
{
    QVector<Source> sources;
    int profondeur = 0;
    for (int i = lFrom + 1; i <= lFin; ++i) {
        const JetonSql &x = t.j.at(i);
        if (estSymbole(x, "("))
            ++profondeur;
        else if (estSymbole(x, ")"))
            --profondeur;
        if (profondeur == 0 && estUnDesMots(x, {"WHERE", "GROUP", "ORDER", "HAVING", "OPTION"}))
            break;
        if (!table.at(i) || profondeur != 0)
            continue;
        const auto c = chaineA(t, i);
        if (!c)
            continue;
        Source s;
        s.cible = resoudCible(valeurs(t, *c), contexte);
        if (s.cible.sSchemaSqlite != QLatin1String("main") && s.cible.sSchemaSqlite.compare(QLatin1String("master"), Qt::CaseInsensitive) != 0
            && contexte.joindreBase && !contexte.joindreBase(s.cible.sSchemaSqlite))
            continue;
        int k = c->fin + 1;
        if (k < t.j.size() && estMot(t.j.at(k), "AS"))
            ++k;
        if (k <= lFin && estNom(t.j.at(k)) && !estMotCle(t.j.at(k)))
            s.sAlias = t.j.at(k).sValeur;
        sources << s;
        i = c->fin;
    }
    return sources;
}

struct Branche {
    int debut;
    int fin;
};

// The select items of one branch, as token ranges, and its FROM position (-1: none).
QVector<Branche> elementsDe(const InstructionSql &t, const Branche &b, int &lFrom)
{
    QVector<Branche> elements;
    lFrom = -1;
    int k = b.debut + 1;
    if (k <= b.fin && estUnDesMots(t.j.at(k), {"ALL", "DISTINCT"}))
        ++k;
    if (k <= b.fin && estMot(t.j.at(k), "TOP")) {
        ++k;
        if (k <= b.fin && estSymbole(t.j.at(k), "(")) {
            while (k <= b.fin && !estSymbole(t.j.at(k), ")"))
                ++k;
        }
        ++k;
        if (k <= b.fin && estMot(t.j.at(k), "PERCENT"))
            ++k;
    }
    int profondeur = 0;
    int debut = k;
    for (int i = k; i <= b.fin; ++i) {
        const JetonSql &x = t.j.at(i);
        if (estSymbole(x, "("))
            ++profondeur;
        else if (estSymbole(x, ")"))
            --profondeur;
        else if (profondeur == 0 && estMot(x, "FROM")) {
            lFrom = i;
            break;
        } else if (profondeur == 0 && estSymbole(x, ",")) {
            elements << Branche{debut, i - 1};
            debut = i + 1;
        }
    }
    elements << Branche{debut, (lFrom < 0 ? b.fin + 1 : lFrom) - 1};
    return elements;
}

// UNION branches whose columns carry different implicit collations cannot be put together.
std::optional<ErreurSql> verifieUnion(const InstructionSql &t, const QVector<bool> &table, const ContexteResolution &contexte)
{
    QVector<Branche> branches;
    QString sOperation;
    int profondeur = 0;
    int debut = 0;
    for (int i = 0; i < t.j.size(); ++i) {
        const JetonSql &x = t.j.at(i);
        if (estSymbole(x, "("))
            ++profondeur;
        else if (estSymbole(x, ")"))
            --profondeur;
        else if (profondeur == 0 && estUnDesMots(x, {"UNION", "EXCEPT", "INTERSECT"})) {
            branches << Branche{debut, i - 1};
            const bool bTous = i + 1 < t.j.size() && estMot(t.j.at(i + 1), "ALL");
            if (sOperation.isEmpty())
                sOperation = x.sTexte.toUpper() + (bTous ? QStringLiteral(" ALL") : QString());
            debut = bTous ? i + 2 : i + 1;
        } else if (profondeur == 0 && estMot(x, "ORDER") && !branches.isEmpty()) {
            break;
        }
    }
    if (branches.isEmpty())
        return std::nullopt;
    int fin = t.j.size() - 1;
    for (int i = debut; i < t.j.size(); ++i)
        if (estMot(t.j.at(i), "ORDER") && i + 1 < t.j.size() && estMot(t.j.at(i + 1), "BY")) {
            fin = i - 1;
            break;
        }
    branches << Branche{debut, fin};
    // Columns of databases of one collation cannot conflict: look no further.
    QVector<QVector<Branche>> elementsParBranche;
    QVector<QVector<Source>> sourcesParBranche;
    QSet<QString> collations;
    for (const Branche &b : std::as_const(branches)) {
        if (b.debut > b.fin || !estMot(t.j.at(b.debut), "SELECT"))
            return std::nullopt;
        int lFrom = -1;
        elementsParBranche << elementsDe(t, b, lFrom);
        sourcesParBranche << (lFrom >= 0 ? sourcesDe(t, lFrom, b.fin, table, contexte) : QVector<Source>());
        for (const Source &source : std::as_const(sourcesParBranche.last()))
            collations << collationDeBase(contexte, source.cible).toLower();
    }
    if (collations.size() < 2)
        return std::nullopt;
    QVector<Etiquette> resultat;
    for (int lBranche = 0; lBranche < branches.size(); ++lBranche) {
        const QVector<Branche> &elements = elementsParBranche.at(lBranche);
        const QVector<Source> &sources = sourcesParBranche.at(lBranche);
        for (int k = 0; k < elements.size(); ++k) {
            const Etiquette e = elements.at(k).debut <= elements.at(k).fin
                                    ? etiquetteDe(t, elements.at(k).debut, elements.at(k).fin, sources, contexte)
                                    : Etiquette();
            if (k >= resultat.size()) {
                resultat << e;
                continue;
            }
            Etiquette &r = resultat[k];
            if (r.genre == Etiquette::Explicite || e.genre == Etiquette::Aucune)
                continue;
            if (e.genre == Etiquette::Explicite || r.genre == Etiquette::Aucune) {
                r = e;
                continue;
            }
            if (r.sCollation.compare(e.sCollation, Qt::CaseInsensitive) != 0)
                return ErreurSql{468, 16, 9, QStringLiteral("Cannot resolve the collation conflict between \"%1\" and "
                                                            "\"%2\" in the %3 operation.")
                                                 .arg(r.sCollation, e.sCollation, sOperation)};
        }
    }
    return std::nullopt;
}

void convertitLitteraux(InstructionSql &t)
{
    for (int i = 0; i < t.j.size(); ++i) {
        const JetonSql &x = t.j.at(i);
        if (x.genre != JetonSql::Chaine || x.bNonFerme || !x.sTexte.startsWith(QLatin1Char('\'')))
            continue;
        const QString converti = VersPageCode1252(x.sValeur);
        if (converti != x.sValeur)
            t.sortie[i] = QLatin1Char('\'') + QString(converti).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
    }
}

std::optional<ErreurSql> resoutCollations(InstructionSql &t, const ContexteResolution &contexte)
{
    for (int i = 0; i + 1 < t.j.size(); ++i) {
        if (!estMot(t.j.at(i), "COLLATE") || !estNom(t.j.at(i + 1)))
            continue;
        const QString nom = t.j.at(i + 1).sValeur;
        if (memeNom(nom, "DATABASE_DEFAULT"))
            t.sortie[i + 1] = CollationSqlite(contexte.sCollation.isEmpty() ? CollationServeur() : contexte.sCollation);
        else if (EstCollationConnue(nom))
            t.sortie[i + 1] = CollationSqlite(nom);
        else
            return ErreurSql{448, 16, 2, QStringLiteral("Invalid collation '%1'.").arg(nom)};
    }
    return std::nullopt;
}

// OBJECT_ID('db.owner.x') reads another database's catalogue: attach it first.
void joinsBasesDesFonctions(const InstructionSql &t, const ContexteResolution &contexte)
{
    if (!contexte.joindreBase)
        return;
    for (int i = 0; i + 2 < t.j.size(); ++i) {
        if (!estMot(t.j.at(i), "OBJECT_ID") || !estSymbole(t.j.at(i + 1), "(") || t.j.at(i + 2).genre != JetonSql::Chaine)
            continue;
        const QStringList parties = PartiesNom(t.j.at(i + 2).sValeur);
        if (parties.size() == 3 && !parties.first().isEmpty()
            && CompareSansCasse(parties.first(), contexte.sBaseCourante) != 0)
            contexte.joindreBase(parties.first());
    }
}

bool aliasAttendu(const InstructionSql &t, int lApres)
{
    if (lApres >= t.j.size())
        return true;
    const JetonSql &x = t.j.at(lApres);
    return estSymbole(x, ",") || estSymbole(x, ")") || estSymbole(x, ";")
           || estUnDesMots(x, {"WHERE", "JOIN", "INNER", "LEFT", "RIGHT", "FULL", "CROSS", "OUTER", "ON", "ORDER",
                               "GROUP", "HAVING", "UNION", "EXCEPT", "INTERSECT", "OPTION", "WITH"});
}

// The piece that names the object of CREATE/DROP/ALTER TABLE or VIEW (-1: none).
int objetDefiniA(const InstructionSql &t)
{
    const bool bDefinition = (t.mot(0, "CREATE") || t.mot(0, "DROP") || t.mot(0, "ALTER"))
                             && (t.mot(1, "TABLE") || t.mot(1, "VIEW"));
    return bDefinition ? 2 : -1;
}

void resoutTables(InstructionSql &t, const QVector<bool> &table, const ContexteResolution &contexte)
{
    for (int i = 0; i < t.j.size(); ++i) {
        if (!table.at(i))
            continue;
        const auto c = chaineA(t, i);
        if (!c)
            continue;
        const Cible cible = resoudCible(valeurs(t, *c), contexte);
        if (c->debut == objetDefiniA(t)) {
            t.sSchemaDefini = cible.sSchemaSqlite;
            t.sObjetDefini = cible.sTableSqlite;
        }
        if (!cible.bReecrite) {
            i = c->fin;
            continue;
        }
        t.sortie[c->debut] = cible.sSqlite;
        t.efface(c->debut + 1, c->fin);
        for (int x = c->debut; x <= c->fin; ++x)
            t.fige[x] = true;
        if (cible.sSchemaSqlite != QLatin1String("main") && !t.basesCitees.contains(cible.sSchemaSqlite, Qt::CaseInsensitive))
            t.basesCitees << cible.sSchemaSqlite;
        // The rest of the statement names the table by its own name, without owner or schema.
        const bool bSource = c->debut > 0 && (estUnDesMots(t.j.at(c->debut - 1), {"FROM", "JOIN"}) || estSymbole(t.j.at(c->debut - 1), ","))
                             && !(c->debut > 1 && estMot(t.j.at(c->debut - 2), "DELETE"));
        if (bSource && cible.sTableSqlite != cible.sNomExpose && aliasAttendu(t, c->fin + 1))
            t.suffixe[c->fin] += QStringLiteral(" AS ") + nomSqlite(cible.sNomExpose);
        i = c->fin;
    }
}
}

std::optional<ErreurSql> ResoutNoms(InstructionSql &t, const ContexteResolution &contexte)
{
    if (t.j.isEmpty())
        return std::nullopt;
    const QVector<bool> table = positionsTable(t);
    const bool bRequete = estUnDesMots(t.j.first(), {"SELECT", "INSERT", "UPDATE", "DELETE"});
    if (bRequete && EstSensibleCasse(contexte.sCollation))
        if (auto e = verifieCasse(t, table, contexte))
            return e;
    // Before 2005 every database has the server's collation.
    if (AvecSchemas())
        if (auto e = verifieUnion(t, table, contexte))
            return e;
    if (auto e = resoutCollations(t, contexte))
        return e;
    if (AvecSchemas())
        convertitLitteraux(t);
    joinsBasesDesFonctions(t, contexte);
    resoutTables(t, table, contexte);
    return std::nullopt;
}
