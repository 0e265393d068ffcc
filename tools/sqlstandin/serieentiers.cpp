#include "serieentiers.h"

#include <new>
#include <sqlite3.h>

namespace {
// Columns of the virtual table: value, then the arguments as hidden columns.
enum Colonne { Valeur, Debut, Fin, Pas };

struct Curseur {
    sqlite3_vtab_cursor base;
    sqlite3_int64 lDebut = 0;
    sqlite3_int64 lValeur = 0;
    sqlite3_int64 lFin = 0;
    sqlite3_int64 lPas = 1;
    bool bFini = true;
};

int connecte(sqlite3 *db, void *, int, const char *const *, sqlite3_vtab **table, char **)
{
    // No declared type for value: the stand-in then types the column by its
    // first value (int, or bigint beyond int's range).
    const int rc = sqlite3_declare_vtab(db, "CREATE TABLE x(value, start HIDDEN, stop HIDDEN, step HIDDEN)");
    if (rc != SQLITE_OK)
        return rc;
    *table = static_cast<sqlite3_vtab *>(sqlite3_malloc(sizeof(sqlite3_vtab)));
    if (!*table)
        return SQLITE_NOMEM;
    **table = sqlite3_vtab{};
    sqlite3_vtab_config(db, SQLITE_VTAB_INNOCUOUS);
    return SQLITE_OK;
}

int deconnecte(sqlite3_vtab *table)
{
    sqlite3_free(table);
    return SQLITE_OK;
}

// start and stop must be given (as arguments, that is equality constraints on
// the hidden columns); step may be. argv of filtre follows this order.
int choisitIndex(sqlite3_vtab *, sqlite3_index_info *info)
{
    int lIndice[3] = {-1, -1, -1};
    for (int i = 0; i < info->nConstraint; ++i) {
        const auto &c = info->aConstraint[i];
        if (c.iColumn < Debut || c.op != SQLITE_INDEX_CONSTRAINT_EQ)
            continue;
        if (!c.usable)
            return SQLITE_CONSTRAINT;
        lIndice[c.iColumn - Debut] = i;
    }
    if (lIndice[0] < 0 || lIndice[1] < 0)
        return SQLITE_CONSTRAINT;
    int lArgument = 0;
    int lMasque = 0;
    for (int k = 0; k < 3; ++k) {
        if (lIndice[k] < 0)
            continue;
        info->aConstraintUsage[lIndice[k]].argvIndex = ++lArgument;
        info->aConstraintUsage[lIndice[k]].omit = 1;
        lMasque |= 1 << k;
    }
    info->idxNum = lMasque;
    info->estimatedCost = 1000;
    info->estimatedRows = 1000;
    return SQLITE_OK;
}

int ouvre(sqlite3_vtab *, sqlite3_vtab_cursor **curseur)
{
    auto *c = new (std::nothrow) Curseur();
    if (!c)
        return SQLITE_NOMEM;
    *curseur = &c->base;
    return SQLITE_OK;
}

int ferme(sqlite3_vtab_cursor *curseur)
{
    delete reinterpret_cast<Curseur *>(curseur);
    return SQLITE_OK;
}

int filtre(sqlite3_vtab_cursor *curseur, int lMasque, const char *, int argc, sqlite3_value **argv)
{
    auto *c = reinterpret_cast<Curseur *>(curseur);
    c->bFini = true;
    if (argc < 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return SQLITE_OK; // a NULL bound gives no rows
    c->lDebut = c->lValeur = sqlite3_value_int64(argv[0]);
    c->lFin = sqlite3_value_int64(argv[1]);
    c->lPas = c->lFin >= c->lValeur ? 1 : -1;
    if ((lMasque & 4) && argc > 2) {
        if (sqlite3_value_type(argv[2]) == SQLITE_NULL)
            return SQLITE_OK;
        c->lPas = sqlite3_value_int64(argv[2]);
    }
    c->bFini = c->lPas == 0 || (c->lPas > 0 ? c->lValeur > c->lFin : c->lValeur < c->lFin);
    return SQLITE_OK;
}

int suivant(sqlite3_vtab_cursor *curseur)
{
    auto *c = reinterpret_cast<Curseur *>(curseur);
    // The distance left to the bound, so that a step over the last value cannot overflow.
    const sqlite3_uint64 lReste = c->lPas > 0 ? sqlite3_uint64(c->lFin) - sqlite3_uint64(c->lValeur)
                                              : sqlite3_uint64(c->lValeur) - sqlite3_uint64(c->lFin);
    const sqlite3_uint64 lSaut = c->lPas > 0 ? sqlite3_uint64(c->lPas) : sqlite3_uint64(0) - sqlite3_uint64(c->lPas);
    if (lSaut > lReste)
        c->bFini = true;
    else
        c->lValeur = sqlite3_int64(sqlite3_uint64(c->lValeur) + sqlite3_uint64(c->lPas));
    return SQLITE_OK;
}

int fini(sqlite3_vtab_cursor *curseur)
{
    return reinterpret_cast<Curseur *>(curseur)->bFini;
}

int colonne(sqlite3_vtab_cursor *curseur, sqlite3_context *ctx, int i)
{
    const auto *c = reinterpret_cast<Curseur *>(curseur);
    switch (i) {
    case Valeur: sqlite3_result_int64(ctx, c->lValeur); break;
    case Debut: sqlite3_result_int64(ctx, c->lDebut); break;
    case Fin: sqlite3_result_int64(ctx, c->lFin); break;
    case Pas: sqlite3_result_int64(ctx, c->lPas); break;
    }
    return SQLITE_OK;
}

int numeroLigne(sqlite3_vtab_cursor *curseur, sqlite3_int64 *lLigne)
{
    *lLigne = reinterpret_cast<Curseur *>(curseur)->lValeur;
    return SQLITE_OK;
}

sqlite3_module moduleSerie()
{
    sqlite3_module m{};
    m.iVersion = 0;
    m.xCreate = nullptr; // eponymous only: GENERATE_SERIES(...) in FROM, no CREATE VIRTUAL TABLE
    m.xConnect = connecte;
    m.xBestIndex = choisitIndex;
    m.xDisconnect = deconnecte;
    m.xDestroy = deconnecte;
    m.xOpen = ouvre;
    m.xClose = ferme;
    m.xFilter = filtre;
    m.xNext = suivant;
    m.xEof = fini;
    m.xColumn = colonne;
    m.xRowid = numeroLigne;
    return m;
}
}

void InstalleSerie(sqlite3 *db)
{
    static const sqlite3_module module = moduleSerie();
    sqlite3_create_module(db, "generate_series", &module, nullptr);
}
