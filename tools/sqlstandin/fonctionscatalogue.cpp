#include "fonctionscatalogue.h"

#include "cataloguesys.h"
#include "collations.h"
#include "fonctionssqlite.h"
#include "profil.h"

#include <QHash>
#include <QStringList>
#include <atomic>
#include <mutex>
#include <optional>
#include <sqlite3.h>

namespace {
QString texte(sqlite3_value *v)
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_value_text(v));
    return p ? QString::fromUtf8(p, sqlite3_value_bytes(v)) : QString();
}

QString nomSqlite(const QString &s)
{
    return QLatin1Char('"') + QString(s).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

ContexteFonctions *contexteDe(sqlite3_context *ctx)
{
    return static_cast<ContexteFonctions *>(sqlite3_user_data(ctx));
}

// One value of a one-row query with up to two parameters (texts or integers).
struct Parametre {
    QString sTexte;
    qint64 lEntier = 0;
    bool bEntier = false;
};

// A catalogue function runs its look-up once per row: a list of ten thousand
// names must not prepare ten thousand statements. Each connection keeps its
// look-ups prepared until it is closed (OublieRequetesCatalogue), and the
// owner and schema names it found while its main database did not change.
struct CacheConnexion {
    QHash<QString, sqlite3_stmt *> requetes;
    QHash<qint64, std::optional<QByteArray>> noms[2]; ///< owners, then schemas, by id (UTF-8)
    unsigned int lVersionDonnees = 0;
    sqlite3_int64 lChangements = -1;
};
std::mutex verrouRequetes;
QHash<sqlite3 *, CacheConnexion> caches;
// Counts closed connections: a new one may get the address of a closed one.
std::atomic<unsigned long> generationConnexions{0};

void lie(sqlite3_stmt *st, const QVector<Parametre> &parametres)
{
    for (int i = 0; i < parametres.size(); ++i) {
        if (parametres.at(i).bEntier) {
            sqlite3_bind_int64(st, i + 1, parametres.at(i).lEntier);
        } else {
            const QByteArray u = parametres.at(i).sTexte.toUtf8();
            sqlite3_bind_text(st, i + 1, u.constData(), u.size(), SQLITE_TRANSIENT);
        }
    }
}

// Runs a one-row look-up and hands its row (nullptr when none) to lireLigne.
template<typename Lecture>
void premiereLigne(sqlite3 *db, const QString &sSql, const QVector<Parametre> &parametres, Lecture lireLigne)
{
    sqlite3_stmt *st = nullptr;
    bool bEnCache = false;
    {
        const std::lock_guard<std::mutex> verrou(verrouRequetes);
        CacheConnexion &cache = caches[db];
        st = cache.requetes.value(sSql);
        // A look-up that runs inside the same look-up gets its own statement.
        bEnCache = st && !sqlite3_stmt_busy(st);
        if (!bEnCache) {
            st = nullptr;
            if (sqlite3_prepare_v3(db, sSql.toUtf8().constData(), -1, SQLITE_PREPARE_PERSISTENT, &st, nullptr)
                != SQLITE_OK) {
                sqlite3_finalize(st);
                return lireLigne(nullptr);
            }
            bEnCache = !cache.requetes.contains(sSql);
            if (bEnCache)
                cache.requetes.insert(sSql, st);
        }
    }
    lie(st, parametres);
    lireLigne(sqlite3_step(st) == SQLITE_ROW && sqlite3_column_type(st, 0) != SQLITE_NULL ? st : nullptr);
    if (bEnCache) {
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
    } else {
        sqlite3_finalize(st);
    }
}

std::optional<qint64> entier(sqlite3 *db, const QString &sSql, const QVector<Parametre> &parametres)
{
    std::optional<qint64> resultat;
    premiereLigne(db, sSql, parametres, [&](sqlite3_stmt *ligne) {
        if (ligne)
            resultat = sqlite3_column_int64(ligne, 0);
    });
    return resultat;
}

QString texteDe(sqlite3 *db, const QString &sSql, const QVector<Parametre> &parametres, bool &bTrouve)
{
    QString resultat;
    bTrouve = false;
    premiereLigne(db, sSql, parametres, [&](sqlite3_stmt *ligne) {
        if (!ligne)
            return;
        resultat = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(ligne, 0)));
        bTrouve = true;
    });
    return resultat;
}

Parametre t(const QString &s) { return Parametre{s, 0, false}; }
Parametre n(qint64 v) { return Parametre{QString(), v, true}; }

enum class GenreNom { Proprietaire, Schema };

// The connection's memo, emptied when its main database has changed.
std::optional<QByteArray> memoNomDeSchema(sqlite3 *db, int iGenre, unsigned int lVersion, sqlite3_int64 lChangements,
                                          qint64 lId)
{
    {
        const std::lock_guard<std::mutex> verrou(verrouRequetes);
        CacheConnexion &cache = caches[db];
        if (cache.lVersionDonnees != lVersion || cache.lChangements != lChangements) {
            cache.noms[0].clear();
            cache.noms[1].clear();
            cache.lVersionDonnees = lVersion;
            cache.lChangements = lChangements;
        }
        const auto trouve = cache.noms[iGenre].constFind(lId);
        if (trouve != cache.noms[iGenre].constEnd())
            return trouve.value();
    }
    const QString sSql = iGenre == 0
        ? QStringLiteral("SELECT name FROM sysusers WHERE uid = ?1")
        : QStringLiteral("SELECT name FROM \"sys.schemas\" WHERE schema_id = ?1");
    bool bTrouve = false;
    const QString sNom = texteDe(db, sSql, {n(lId)}, bTrouve);
    const std::optional<QByteArray> nom = bTrouve ? std::optional<QByteArray>(sNom.toUtf8()) : std::nullopt;
    const std::lock_guard<std::mutex> verrou(verrouRequetes);
    caches[db].noms[iGenre].insert(lId, nom);
    return nom;
}

// The name of an owner or schema by its id, in UTF-8, from the connection's
// memo while its main database is as it was (changed neither by it nor by
// another connection). The answer is the thread's own copy, valid until its
// next call: handed out by reference, the row after row of a long list does
// not count references on it.
const std::optional<QByteArray> &nomDeSchema(sqlite3 *db, GenreNom genre, qint64 lId)
{
    unsigned int lVersion = 0;
    // No name: the main database without looking it up among the attached ones.
    sqlite3_file_control(db, nullptr, SQLITE_FCNTL_DATA_VERSION, &lVersion);
    const sqlite3_int64 lChangements = sqlite3_total_changes64(db);
    const int iGenre = genre == GenreNom::Proprietaire ? 0 : 1;
    const unsigned long lGeneration = generationConnexions.load(std::memory_order_acquire);
    // The rows of one list nearly all ask for the same owner: the thread's
    // last answer is given again without the lock and the memo.
    struct Dernier {
        sqlite3 *db = nullptr;
        unsigned int lVersion = 0;
        sqlite3_int64 lChangements = -1;
        int iGenre = -1;
        qint64 lId = 0;
        unsigned long lGeneration = 0;
        std::optional<QByteArray> nom;
    };
    thread_local Dernier dernier;
    if (dernier.db == db && dernier.lVersion == lVersion && dernier.lChangements == lChangements
        && dernier.iGenre == iGenre && dernier.lId == lId && dernier.lGeneration == lGeneration)
        return dernier.nom;
    dernier = Dernier{db, lVersion, lChangements, iGenre, lId, lGeneration,
                      memoNomDeSchema(db, iGenre, lVersion, lChangements, lId)};
    return dernier.nom;
}


// A catalogue name holds no NUL: given as a terminated string, SQLite keeps
// it terminated and need not copy it again when the row is read.
void resultatNom(sqlite3_context *ctx, const std::optional<QByteArray> &nom)
{
    if (!nom)
        return sqlite3_result_null(ctx);
    sqlite3_result_text(ctx, nom->constData(), -1, SQLITE_TRANSIENT);
}

void resultatTexte(sqlite3_context *ctx, const QString &s, bool bTrouve)
{
    if (!bTrouve)
        return sqlite3_result_null(ctx);
    const QByteArray u = s.toUtf8();
    sqlite3_result_text(ctx, u.constData(), -1, SQLITE_TRANSIENT);
}

void resultatEntier(sqlite3_context *ctx, const std::optional<qint64> &v)
{
    if (v)
        sqlite3_result_int64(ctx, *v);
    else
        sqlite3_result_null(ctx);
}

// The SQLite schema of a database named in a multi-part name: main for the current one.
QString schemaPour(const ContexteFonctions *contexte, const QString &sBase)
{
    if (sBase.isEmpty() || CompareSansCasse(sBase, contexte->sBaseCourante) == 0)
        return QStringLiteral("main");
    return sBase;
}

// master is attached as "master", unless it is the current database.
QString schemaMaster(const ContexteFonctions *contexte)
{
    return schemaPour(contexte, QStringLiteral("master"));
}

// The owner (2000) or schema (2005 on) of that name, compared under the database's collation.
std::optional<qint64> uidDe(sqlite3 *db, const QString &sSchema, const QString &sProprietaire)
{
    const QString sql = AvecSchemas()
        ? QStringLiteral("SELECT schema_id FROM %1.\"sys.schemas\" WHERE name = ?1").arg(nomSqlite(sSchema))
        : QStringLiteral("SELECT uid FROM %1.sysusers WHERE name = ?1").arg(nomSqlite(sSchema));
    return entier(db, sql, {t(sProprietaire)});
}

std::optional<qint64> objetDe(sqlite3 *db, const QString &sSchema, const QString &sNom, qint64 lUid,
                              const QString &sType)
{
    const QString sql = QStringLiteral("SELECT id FROM %1.sysobjects WHERE name = ?1 AND uid = ?2%3")
                            .arg(nomSqlite(sSchema), sType.isEmpty() ? QString() : QStringLiteral(" AND type = ?3"));
    QVector<Parametre> p{t(sNom), n(lUid)};
    if (!sType.isEmpty())
        p << t(sType);
    return entier(db, sql, p);
}

std::optional<qint64> vueSysteme(const QString &sNom, const QString &sType, bool bCompatibiliteSeulement)
{
    if (!sType.isEmpty() && sType.trimmed().compare(QLatin1String("V"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    if (bCompatibiliteSeulement && !EstVueCompatibilite(sNom))
        return std::nullopt;
    const int lId = IdVueSysteme(sNom);
    return lId != 0 ? std::optional<qint64>(lId) : std::nullopt;
}

// An unqualified name is dbo's; from 2005 on, the sys schema's system views
// and base tables answer too, and dbo.x still finds the compatibility views.
std::optional<qint64> idObjet(sqlite3 *db, const ContexteFonctions *contexte, const QStringList &parties,
                              const QString &sType)
{
    const QString sNom = parties.last();
    const QString sSchema = schemaPour(contexte, parties.size() == 3 ? parties.first() : QString());
    const QString sProprietaire = parties.size() >= 2 ? parties.at(parties.size() - 2) : QString();
    if (!AvecSchemas()) {
        const auto lUid = sProprietaire.isEmpty() ? std::optional<qint64>(1) : uidDe(db, sSchema, sProprietaire);
        return lUid ? objetDe(db, sSchema, sNom, *lUid, sType) : std::nullopt;
    }
    if (sProprietaire.isEmpty()) {
        if (auto id = objetDe(db, sSchema, sNom, 1, sType))
            return id;
        if (auto id = vueSysteme(sNom, sType, false))
            return id;
        return objetDe(db, sSchema, sNom, 4, sType);
    }
    const auto lUid = uidDe(db, sSchema, sProprietaire);
    if (!lUid)
        return std::nullopt;
    if (*lUid == 4) {
        if (auto id = vueSysteme(sNom, sType, false))
            return id;
    }
    if (auto id = objetDe(db, sSchema, sNom, *lUid, sType))
        return id;
    return *lUid == 1 ? vueSysteme(sNom, sType, true) : std::nullopt;
}

void fonctionObjectId(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const QStringList parties = PartiesNom(texte(argv[0]));
    if (parties.isEmpty() || parties.size() > 3 || parties.last().isEmpty())
        return sqlite3_result_null(ctx);
    const QString sType = argc > 1 ? texte(argv[1]).trimmed() : QString();
    resultatEntier(ctx, idObjet(sqlite3_context_db_handle(ctx), contexteDe(ctx), parties, sType));
}

void fonctionObjectName(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const qint64 lId = sqlite3_value_int64(argv[0]);
    bool bTrouve = false;
    const QString sNom = texteDe(sqlite3_context_db_handle(ctx), QStringLiteral("SELECT name FROM sysobjects WHERE id = ?1"),
                                 {n(lId)}, bTrouve);
    if (bTrouve || !AvecSchemas() || lId >= 0)
        return resultatTexte(ctx, sNom, bTrouve);
    const QString sVue = texteDe(sqlite3_context_db_handle(ctx),
                                 QStringLiteral("SELECT name FROM \"sys.system_objects\" WHERE object_id = ?1"), {n(lId)},
                                 bTrouve);
    resultatTexte(ctx, sVue, bTrouve);
}

void fonctionUserId(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (argc == 0)
        return sqlite3_result_int(ctx, 1); // sa is dbo
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    resultatEntier(ctx, entier(sqlite3_context_db_handle(ctx), QStringLiteral("SELECT uid FROM sysusers WHERE name = ?1"),
                               {t(texte(argv[0]))}));
}

void fonctionUserName(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (argc == 0)
        return resultatTexte(ctx, QStringLiteral("dbo"), true);
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    resultatNom(ctx, nomDeSchema(sqlite3_context_db_handle(ctx), GenreNom::Proprietaire, sqlite3_value_int64(argv[0])));
}

void fonctionSchemaId(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (argc == 0)
        return sqlite3_result_int(ctx, 1);
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    resultatEntier(ctx, uidDe(sqlite3_context_db_handle(ctx), QStringLiteral("main"), texte(argv[0])));
}

void fonctionSchemaName(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (argc == 0)
        return resultatTexte(ctx, QStringLiteral("dbo"), true);
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    resultatNom(ctx, nomDeSchema(sqlite3_context_db_handle(ctx), GenreNom::Schema, sqlite3_value_int64(argv[0])));
}

void fonctionDbId(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    const ContexteFonctions *contexte = contexteDe(ctx);
    if (argc == 1 && sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const QString sNom = argc == 0 ? contexte->sBaseCourante : texte(argv[0]);
    resultatEntier(ctx, entier(sqlite3_context_db_handle(ctx),
                               QStringLiteral("SELECT dbid FROM %1.sysdatabases WHERE name = ?1").arg(schemaMaster(contexte)),
                               {t(sNom.trimmed())}));
}

void fonctionDbNameDe(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    bool bTrouve = false;
    const QString s = texteDe(sqlite3_context_db_handle(ctx),
                              QStringLiteral("SELECT name FROM %1.sysdatabases WHERE dbid = ?1").arg(schemaMaster(contexteDe(ctx))),
                              {n(sqlite3_value_int64(argv[0]))}, bTrouve);
    resultatTexte(ctx, s, bTrouve);
}

void fonctionServerProperty(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const QString s = ProprieteServeur(texte(argv[0]));
    resultatTexte(ctx, s, !s.isNull());
}

void fonctionDatabasePropertyEx(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const ContexteFonctions *contexte = contexteDe(ctx);
    sqlite3 *db = sqlite3_context_db_handle(ctx);
    const QString sBase = texte(argv[0]).trimmed();
    const QString sPropriete = texte(argv[1]).trimmed().toLower();
    bool bTrouve = false;
    const QString sMaster = schemaMaster(contexte);
    const QString sCollation = AvecSchemas()
        ? texteDe(db, QStringLiteral("SELECT collation_name FROM %1.\"sys.databases\" WHERE name = ?1").arg(sMaster),
                  {t(sBase)}, bTrouve)
        : texteDe(db, QStringLiteral("SELECT '%2' FROM %1.sysdatabases WHERE name = ?1").arg(sMaster, CollationServeur()),
                  {t(sBase)}, bTrouve);
    if (!bTrouve)
        return sqlite3_result_null(ctx);
    if (sPropriete == QLatin1String("collation"))
        return resultatTexte(ctx, sCollation, true);
    if (sPropriete == QLatin1String("status"))
        return resultatTexte(ctx, QStringLiteral("ONLINE"), true);
    if (sPropriete == QLatin1String("updateability"))
        return resultatTexte(ctx, QStringLiteral("READ_WRITE"), true);
    if (sPropriete == QLatin1String("useraccess"))
        return resultatTexte(ctx, QStringLiteral("MULTI_USER"), true);
    if (sPropriete == QLatin1String("version"))
        return sqlite3_result_int(ctx, AvecSchemas() ? 904 : 539);
    sqlite3_result_null(ctx);
}

void enregistre(sqlite3 *db, const char *nom, int argc, void (*f)(sqlite3_context *, int, sqlite3_value **),
                ContexteFonctions *contexte)
{
    sqlite3_create_function_v2(db, nom, argc, SQLITE_UTF8 | SQLITE_DETERMINISTIC, contexte, f, nullptr, nullptr, nullptr);
}
}

void InstalleFonctionsCatalogue(sqlite3 *db, ContexteFonctions *contexte)
{
    InstalleCollationSensible(db);
    // Deterministic, so that SQLite evaluates OBJECT_ID('x') once and can use the index on id.
    enregistre(db, "object_id", 1, fonctionObjectId, contexte);
    enregistre(db, "object_id", 2, fonctionObjectId, contexte);
    enregistre(db, "object_name", 1, fonctionObjectName, contexte);
    enregistre(db, "user_id", 0, fonctionUserId, contexte);
    enregistre(db, "user_id", 1, fonctionUserId, contexte);
    enregistre(db, "user_name", 0, fonctionUserName, contexte);
    enregistre(db, "user_name", 1, fonctionUserName, contexte);
    enregistre(db, "db_id", 0, fonctionDbId, contexte);
    enregistre(db, "db_id", 1, fonctionDbId, contexte);
    enregistre(db, "db_name", 1, fonctionDbNameDe, contexte);
    enregistre(db, "serverproperty", 1, fonctionServerProperty, contexte);
    enregistre(db, "databasepropertyex", 2, fonctionDatabasePropertyEx, contexte);
    if (AvecSchemas()) {
        enregistre(db, "schema_id", 0, fonctionSchemaId, contexte);
        enregistre(db, "schema_id", 1, fonctionSchemaId, contexte);
        enregistre(db, "schema_name", 0, fonctionSchemaName, contexte);
        enregistre(db, "schema_name", 1, fonctionSchemaName, contexte);
    }
}

void OublieRequetesCatalogue(sqlite3 *db)
{
    const std::lock_guard<std::mutex> verrou(verrouRequetes);
    for (sqlite3_stmt *st : caches.take(db).requetes)
        sqlite3_finalize(st);
    generationConnexions.fetch_add(1, std::memory_order_release);
}
