#include "bases.h"

#include "catalogue.h"
#include "collations.h"
#include "fonctionscatalogue.h"
#include "fonctionssqlite.h"
#include "profil.h"
#include "serieentiers.h"

#include <QFile>
#include <mutex>
#include <sqlite3.h>

namespace {
const char *const fichierMaster = "master.sqlite";
std::mutex verrouCreation;

ContexteFonctions *contexteMaster()
{
    static ContexteFonctions contexte{QStringLiteral("master"), QString(), false};
    return &contexte;
}

QString nomFichierPour(const QString &sNom)
{
    QString s = sNom;
    for (QChar &c : s)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 32)
            c = QLatin1Char('_');
    return s + QStringLiteral(".sqlite");
}

QString creeFichierBase(const QString &sDossier, const QString &sNom, bool bMaster, const QString &sCollation)
{
    const QString sFichier = FichierBase(sDossier, nomFichierPour(sNom));
    QFile::remove(sFichier);
    ContexteFonctions contexte{sNom, sCollation, EstSensibleCasse(sCollation)};
    QString erreur;
    sqlite3 *db = OuvreFichier(sFichier, &contexte, erreur);
    if (!db)
        return erreur;
    erreur = CreeCatalogue(db, bMaster, sCollation);
    if (erreur.isEmpty())
        erreur = Execute(db, QStringLiteral("PRAGMA user_version = %1").arg(VersionCollation));
    FermeFichier(db);
    return erreur;
}

// From 2005 on, sys.databases also gives the database's collation.
QString inscritCollation(sqlite3 *master, const QString &sNom, int lDbid, const QString &sCollation)
{
    sqlite3_stmt *st = nullptr;
    const char *sql = "INSERT INTO \"sys.databases\" (name, database_id, source_database_id, owner_sid, create_date, "
                      "compatibility_level, collation_name, user_access, user_access_desc, is_read_only, state, "
                      "state_desc, recovery_model, recovery_model_desc) VALUES (?1, ?2, NULL, x'01', "
                      "datetime('now','localtime'), 150, ?3, 0, 'MULTI_USER', 0, 0, 'ONLINE', ?4, ?5)";
    if (sqlite3_prepare_v2(master, sql, -1, &st, nullptr) != SQLITE_OK)
        return QString::fromUtf8(sqlite3_errmsg(master));
    const QByteArray nom = sNom.toUtf8();
    const QByteArray collation = sCollation.toUtf8();
    const bool bSimple = lDbid == 2 || lDbid > 4; // tempdb and user databases
    sqlite3_bind_text(st, 1, nom.constData(), nom.size(), SQLITE_TRANSIENT);
    sqlite3_bind_int(st, 2, lDbid);
    sqlite3_bind_text(st, 3, collation.constData(), collation.size(), SQLITE_TRANSIENT);
    sqlite3_bind_int(st, 4, bSimple ? 3 : 1);
    sqlite3_bind_text(st, 5, bSimple ? "SIMPLE" : "FULL", -1, SQLITE_STATIC);
    const int rc = sqlite3_step(st);
    sqlite3_finalize(st);
    return rc == SQLITE_DONE ? QString() : QString::fromUtf8(sqlite3_errmsg(master));
}

QString inscritBase(sqlite3 *master, const QString &sNom, int lDbid, const QString &sCollation)
{
    sqlite3_stmt *st = nullptr;
    const char *sql = "INSERT INTO sysdatabases (name, dbid, sid, mode, status, status2, crdate, reserved, "
                      "category, cmptlevel, filename, version) VALUES (?1, ?2, x'01', 0, ?3, 1090519040, "
                      "datetime('now','localtime'), '1900-01-01 00:00:00', 0, 80, ?4, 539)";
    if (sqlite3_prepare_v2(master, sql, -1, &st, nullptr) != SQLITE_OK)
        return QString::fromUtf8(sqlite3_errmsg(master));
    const QByteArray nom = sNom.toUtf8();
    const QByteArray fichier = nomFichierPour(sNom).toUtf8();
    sqlite3_bind_text(st, 1, nom.constData(), nom.size(), SQLITE_TRANSIENT);
    sqlite3_bind_int(st, 2, lDbid);
    sqlite3_bind_int(st, 3, lDbid <= 4 ? 24 : 16);
    sqlite3_bind_text(st, 4, fichier.constData(), fichier.size(), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(st);
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE)
        return QString::fromUtf8(sqlite3_errmsg(master));
    return AvecSchemas() ? inscritCollation(master, sNom, lDbid, sCollation) : QString();
}

bool existe(sqlite3 *db, const QString &sSql, const QString &sNom)
{
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db, sSql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
        return false;
    const QByteArray nom = sNom.toUtf8();
    sqlite3_bind_text(st, 1, nom.constData(), nom.size(), SQLITE_TRANSIENT);
    const bool bTrouve = sqlite3_step(st) == SQLITE_ROW;
    sqlite3_finalize(st);
    return bTrouve;
}

int prochainDbid(sqlite3 *master)
{
    sqlite3_stmt *st = nullptr;
    int lDbid = 5;
    if (sqlite3_prepare_v2(master, "SELECT max(dbid) FROM sysdatabases", -1, &st, nullptr) == SQLITE_OK
        && sqlite3_step(st) == SQLITE_ROW)
        lDbid = std::max(5, sqlite3_column_int(st, 0) + 1);
    sqlite3_finalize(st);
    return lDbid;
}
}

sqlite3 *OuvreFichier(const QString &sFichier, ContexteFonctions *contexte, QString &sErreur)
{
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(sFichier.toUtf8().constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        sErreur = QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, 10000);
    InstalleFonctions(db, contexte);
    InstalleFonctionsCatalogue(db, contexte);
    InstalleSerie(db);
    // Pages read in place from the mapped file: a list of a hundred thousand
    // names runs through more index pages than SQLite's own cache keeps.
    Execute(db, QStringLiteral("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA mmap_size=268435456;"));
    return db;
}

void FermeFichier(sqlite3 *db)
{
    OublieRequetesCatalogue(db);
    sqlite3_close_v2(db);
}

std::optional<BaseConnue> ChercheBase(sqlite3 *db, const QString &sDossier, const QString &sNom)
{
    for (const char *schema : {"master", "main"}) {
        sqlite3_stmt *st = nullptr;
        const QString sql = AvecSchemas()
            ? QStringLiteral("SELECT s.name, s.filename, d.collation_name FROM %1.sysdatabases s "
                             "LEFT JOIN %1.\"sys.databases\" d ON d.name = s.name WHERE s.name = ?1").arg(QLatin1String(schema))
            : QStringLiteral("SELECT name, filename, NULL FROM %1.sysdatabases WHERE name = ?1").arg(QLatin1String(schema));
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
            sqlite3_finalize(st);
            continue;
        }
        const QByteArray nom = sNom.trimmed().toUtf8();
        sqlite3_bind_text(st, 1, nom.constData(), nom.size(), SQLITE_TRANSIENT);
        std::optional<BaseConnue> base;
        if (sqlite3_step(st) == SQLITE_ROW) {
            base = BaseConnue{
                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0))),
                FichierBase(sDossier, QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 1)))),
                sqlite3_column_type(st, 2) == SQLITE_NULL
                    ? CollationServeur()
                    : QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 2)))};
        }
        sqlite3_finalize(st);
        return base;
    }
    return std::nullopt;
}

QString AssureBasesSysteme(const QString &sDossier, const QString &sNomServeur)
{
    std::lock_guard<std::mutex> garde(verrouCreation);
    const QString sMaster = FichierBase(sDossier, QLatin1String(fichierMaster));
    if (!QFile::exists(sMaster)) {
        const QString erreur = creeFichierBase(sDossier, QStringLiteral("master"), true, CollationServeur());
        if (!erreur.isEmpty())
            return erreur;
    }
    QString erreur;
    sqlite3 *master = OuvreFichier(sMaster, contexteMaster(), erreur);
    if (!master)
        return erreur;
    const QStringList systeme{QStringLiteral("master"), QStringLiteral("tempdb"), QStringLiteral("model"),
                              QStringLiteral("msdb")};
    for (int i = 0; i < systeme.size() && erreur.isEmpty(); ++i) {
        if (existe(master, QStringLiteral("SELECT 1 FROM sysdatabases WHERE name = ?1"), systeme.at(i)))
            continue;
        if (i > 0)
            erreur = creeFichierBase(sDossier, systeme.at(i), false, CollationServeur());
        if (erreur.isEmpty())
            erreur = inscritBase(master, systeme.at(i), i + 1, CollationServeur());
    }
    if (erreur.isEmpty() && !existe(master, QStringLiteral("SELECT 1 FROM sysservers WHERE srvid = 0 AND ?1 = ?1"), QString())) {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(master, "INSERT INTO sysservers (srvid, srvstatus, srvname, srvproduct, providername, "
                                   "datasource, schemadate, topologyx, topologyy, connecttimeout, querytimeout, "
                                   "srvnetname, isremote, rpc, pub, sub, dist, dpub, rpcout, dataaccess, "
                                   "collationcompatible, system, useremotecollation, lazyschemavalidation) VALUES "
                                   "(0, 1089, ?1, 'SQL Server', 'SQLOLEDB', ?1, '2000-08-06 01:29:12.250', 0, 0, 0, "
                                   "0, ?1, 1, 1, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0)",
                           -1, &st, nullptr);
        const QByteArray nom = sNomServeur.toUtf8();
        sqlite3_bind_text(st, 1, nom.constData(), nom.size(), SQLITE_TRANSIENT);
        if (sqlite3_step(st) != SQLITE_DONE)
            erreur = QString::fromUtf8(sqlite3_errmsg(master));
        sqlite3_finalize(st);
    }
    FermeFichier(master);
    return erreur;
}

QString ActualiseCollation(const QString &sDossier)
{
    std::lock_guard<std::mutex> garde(verrouCreation);
    QString erreur;
    sqlite3 *master = OuvreFichier(FichierBase(sDossier, QLatin1String(fichierMaster)), contexteMaster(), erreur);
    if (!master)
        return erreur;
    QStringList fichiers;
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(master, "SELECT filename FROM sysdatabases", -1, &st, nullptr) == SQLITE_OK)
        while (sqlite3_step(st) == SQLITE_ROW)
            fichiers << FichierBase(sDossier, QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0))));
    sqlite3_finalize(st);
    FermeFichier(master);
    for (const QString &fichier : std::as_const(fichiers)) {
        sqlite3 *db = OuvreFichier(fichier, contexteMaster(), erreur);
        if (!db)
            return erreur;
        int lVersion = 0;
        if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
            lVersion = sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
        if (lVersion != VersionCollation)
            erreur = Execute(db, QStringLiteral("REINDEX CI; PRAGMA user_version = %1").arg(VersionCollation));
        FermeFichier(db);
        if (!erreur.isEmpty())
            return erreur;
    }
    return QString();
}

QString CreeBase(const QString &sDossier, const QString &sNom, bool &bCreee, const QString &sCollation)
{
    std::lock_guard<std::mutex> garde(verrouCreation);
    bCreee = false;
    QString erreur;
    sqlite3 *master = OuvreFichier(FichierBase(sDossier, QLatin1String(fichierMaster)), contexteMaster(), erreur);
    if (!master)
        return erreur;
    if (!existe(master, QStringLiteral("SELECT 1 FROM sysdatabases WHERE name = ?1"), sNom)) {
        erreur = creeFichierBase(sDossier, sNom, false, sCollation);
        if (erreur.isEmpty())
            erreur = inscritBase(master, sNom, prochainDbid(master), sCollation);
        bCreee = erreur.isEmpty();
    }
    FermeFichier(master);
    return erreur;
}
