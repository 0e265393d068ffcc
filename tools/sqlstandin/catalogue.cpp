#include "catalogue.h"
#include "requetesqlite.h"

#include "cataloguesys.h"
#include "clesetrangeres.h"
#include "collations.h"
#include "profil.h"
#include "reecriture.h"

#include <QDateTime>
#include <QDir>
#include <QRegularExpression>
#include <sqlite3.h>

namespace {
struct TableSysteme {
    const char *nom;
    int id;
    const char *colonnes;
};

// The system tables of every SQL Server 2000 database, with their object ids.
const TableSysteme tablesBase[] = {
    {"sysobjects", 1, "name sysname, id int NOT NULL PRIMARY KEY, xtype char(2), uid smallint, info smallint, "
                      "status int, base_schema_ver int, replinfo int, parent_obj int, crdate datetime, "
                      "ftcatid smallint, schema_ver int, stats_schema_ver int, type char(2), userstat smallint, "
                      "sysstat smallint, indexdel smallint, refdate datetime, version int, deltrig int, "
                      "instrig int, updtrig int, seltrig int, category int, cache smallint"},
    {"sysindexes", 2, "id int, status int, first binary(6), indid smallint, root binary(6), minlen smallint, "
                      "keycnt smallint, groupid smallint, dpages int, reserved int, used int, rowcnt bigint, "
                      "rowmodctr int, xmaxlen smallint, maxirow smallint, OrigFillFactor tinyint, "
                      "StatVersion tinyint, FirstIAM binary(6), impid smallint, lockflags smallint, "
                      "pgmodctr int, keys varbinary(1088), name sysname, statblob image, maxlen int, rows int"},
    {"syscolumns", 3, "name sysname, id int, xtype tinyint, typestat tinyint, xusertype smallint, "
                      "length smallint, xprec tinyint, xscale tinyint, colid smallint, xoffset smallint, "
                      "bitpos tinyint, reserved tinyint, colstat smallint, cdefault int, domain int, "
                      "number smallint, colorder smallint, autoval varbinary(255), offset smallint, "
                      "collationid int, language int, status tinyint, type tinyint, usertype smallint, "
                      "printfmt varchar(255), prec smallint, scale int, iscomputed int, isoutparam int, "
                      "isnullable int, collation sysname"},
    {"systypes", 4, "name sysname, xtype tinyint, status tinyint, xusertype smallint, length smallint, "
                    "xprec tinyint, xscale tinyint, tdefault int, domain int, uid smallint, reserved smallint, "
                    "collationid int, usertype smallint, variable bit, allownulls bit, type tinyint, "
                    "printfmt varchar(255), prec smallint, scale tinyint, collation sysname"},
    {"syscomments", 6, "id int, number smallint, colid smallint, status smallint, ctext varbinary(8000), "
                       "texttype smallint, language smallint, encrypted bit, compressed bit, text nvarchar(4000)"},
    {"sysfiles1", 8, "status int, fileid smallint, name nchar(128), filename nchar(260)"},
    {"syspermissions", 9, "id int, grantee smallint, grantor smallint, actadd smallint, actmod smallint, "
                          "seladd varbinary(4000), selmod varbinary(4000), updadd varbinary(4000), "
                          "updmod varbinary(4000), refadd varbinary(4000), refmod varbinary(4000)"},
    {"sysusers", 10, "uid smallint, status smallint, name sysname, sid varbinary(85), roles varbinary(2048), "
                     "createdate datetime, updatedate datetime, altuid smallint, password varbinary(256), "
                     "gid smallint, environ varchar(255), hasdbaccess int, islogin int, isntname int, "
                     "isntgroup int, isntuser int, issqluser int, isaliased int, issqlrole int, isapprole int"},
    {"sysproperties", 11, "id int, smallid smallint, type tinyint, name sysname, value nvarchar(4000)"},
    {"sysdepends", 12, "id int, depid int, number smallint, depnumber smallint, status smallint, "
                       "deptype tinyint, depdbid smallint, depsiteid smallint, selall bit, resultobj bit, readobj bit"},
    {"sysreferences", 14, "constid int, fkeyid int, rkeyid int, rkeyindid smallint, keycnt smallint, "
                          "forkeys varbinary(32), refkeys varbinary(32), fkeydbid smallint, rkeydbid smallint"},
    {"sysfulltextcatalogs", 19, "ftcatid smallint, name sysname, status smallint, path nvarchar(260)"},
    {"sysindexkeys", 24, "id int, indid smallint, colid smallint, keyno smallint"},
    {"sysforeignkeys", 26, "constid int, fkeyid int, rkeyid int, fkey smallint, rkey smallint, keyno smallint"},
    {"sysmembers", 27, "memberuid smallint, groupuid smallint"},
    {"sysprotects", 28, "id int, uid smallint, action tinyint, protecttype tinyint, columns varbinary(4000), "
                        "grantor smallint"},
    {"sysfulltextnotify", 29, "tableid int, rowinfo smallint, ftkey varbinary(5000)"},
    {"sysfilegroups", 96, "groupid smallint, allocpolicy smallint, status int, groupname sysname"},
    {"sysfiles", 97, "fileid smallint, groupid smallint, size int, maxsize int, growth int, status int, "
                     "perf int, name nchar(128), filename nchar(260)"},
};

// The tables that only master holds.
const TableSysteme tablesMaster[] = {
    {"sysdatabases", 30, "name sysname, dbid smallint, sid varbinary(85), mode smallint, status int, "
                         "status2 int, crdate datetime, reserved datetime, category int, cmptlevel tinyint, "
                         "filename nvarchar(260), version smallint"},
    {"syscharsets", 31, "type smallint, id tinyint, csid tinyint, status smallint, name sysname, "
                        "description nvarchar(255), binarydefinition varbinary(6000), definition image"},
    {"sysxlogins", 33, "srvid smallint, sid varbinary(85), xstatus smallint, xdate1 datetime, xdate2 datetime, "
                       "name sysname, password varbinary(256), dbid smallint, language sysname"},
    {"syslanguages", 34, "langid smallint, dateformat nchar(3), datefirst tinyint, upgrade int, name sysname, "
                         "alias sysname, months nvarchar(372), shortmonths nvarchar(132), days nvarchar(217), "
                         "lcid int, msglangid smallint"},
    {"sysdevices", 35, "name sysname, size int, low int, high int, status smallint, cntrltype smallint, "
                       "phyname nvarchar(260)"},
    {"sysaltfiles", 36, "fileid smallint, groupid smallint, size int, maxsize int, growth int, status int, "
                        "perf int, dbid smallint, name nchar(128), filename nchar(260)"},
    {"sysconfigures", 37, "value int, config smallint, comment nvarchar(255), status smallint"},
    {"sysmessages", 38, "error int, severity tinyint, dlevel smallint, description nvarchar(255), msglangid smallint"},
    {"sysservers", 40, "srvid smallint, srvstatus smallint, srvname sysname, srvproduct sysname, "
                       "providername sysname, datasource nvarchar(4000), location nvarchar(4000), "
                       "providerstring nvarchar(4000), schemadate datetime, topologyx int, topologyy int, "
                       "catalog sysname, connecttimeout int, querytimeout int, srvnetname char(30), "
                       "isremote bit, rpc bit, pub bit, sub bit, dist bit, dpub bit, rpcout bit, dataaccess bit, "
                       "collationcompatible bit, system bit, useremotecollation bit, lazyschemavalidation bit, "
                       "collation sysname"},
    {"sysremotelogins", 41, "remoteserverid smallint, remoteusername sysname, status smallint, sid varbinary(85), "
                            "changedate datetime"},
};

const char *const dateCreationSysteme = "2000-08-06 01:29:12.250";

QString nomSqlite(const QString &s)
{
    return QLatin1Char('"') + QString(s).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString erreurSqlite(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

using Requete = RequeteSqlite;

QString inscritObjet(sqlite3 *db, const QString &sSchema, const QString &sNom, int lId, const QString &sType,
                     const QString &sDate, int lParent, int lUid)
{
    Requete r(db, QStringLiteral("INSERT INTO %1.sysobjects (name, id, xtype, uid, info, status, base_schema_ver, "
                                 "replinfo, parent_obj, crdate, ftcatid, schema_ver, stats_schema_ver, type, "
                                 "userstat, sysstat, indexdel, refdate, version, deltrig, instrig, updtrig, "
                                 "seltrig, category, cache) VALUES (?1, ?2, ?3, ?7, 0, 0, 0, 0, ?4, ?5, 0, 0, 0, "
                                 "?3, 0, 0, 0, ?5, 0, 0, 0, 0, 0, ?6, 0)")
                      .arg(nomSqlite(sSchema)));
    if (!r.st)
        return erreurSqlite(db);
    r.lie(1, sNom);
    r.lie(2, lId);
    r.lie(3, sType);
    r.lie(4, lParent);
    r.lie(5, sDate);
    r.lie(6, sType.startsWith(QLatin1Char('S')) ? 2 : 0);
    r.lie(7, lUid);
    return sqlite3_step(r.st) == SQLITE_DONE ? QString() : erreurSqlite(db);
}

QString inscritColonnes(sqlite3 *db, const QString &sSchema, const QString &sNom, int lId,
                        const QString &sCollation)
{
    Requete info(db, QStringLiteral("PRAGMA %1.table_info(%2)").arg(nomSqlite(sSchema), nomSqlite(sNom)));
    if (!info.st)
        return erreurSqlite(db);
    Requete ajout(db, QStringLiteral("INSERT INTO %1.syscolumns (name, id, xtype, typestat, xusertype, length, "
                                     "xprec, xscale, colid, xoffset, bitpos, reserved, colstat, cdefault, domain, "
                                     "number, colorder, offset, collationid, language, status, type, usertype, "
                                     "prec, scale, iscomputed, isoutparam, isnullable, collation) VALUES (?1, ?2, "
                                     "?3, 0, ?4, ?5, ?6, ?7, ?8, 0, 0, 0, 0, 0, 0, 0, ?8, 0, ?9, 0, ?10, ?3, ?4, "
                                     "?6, ?7, 0, 0, ?11, ?12)")
                          .arg(nomSqlite(sSchema)));
    if (!ajout.st)
        return erreurSqlite(db);
    int lColonne = 0;
    while (sqlite3_step(info.st) == SQLITE_ROW) {
        ++lColonne;
        const TypeColonne type = DecritType(info.texte(2));
        const bool bNullable = sqlite3_column_int(info.st, 3) == 0;
        sqlite3_reset(ajout.st);
        ajout.lie(1, info.texte(1));
        ajout.lie(2, lId);
        ajout.lie(3, type.xtype);
        ajout.lie(4, type.xusertype);
        ajout.lie(5, type.longueur);
        ajout.lie(6, type.precision);
        ajout.lie(7, type.echelle);
        ajout.lie(8, lColonne);
        ajout.lie(9, type.bTexte ? 872468488 : 0);
        ajout.lie(10, bNullable ? 8 : 0);
        ajout.lie(11, bNullable ? 1 : 0);
        if (type.bTexte)
            ajout.lie(12, sCollation);
        else
            sqlite3_bind_null(ajout.st, 12);
        if (sqlite3_step(ajout.st) != SQLITE_DONE)
            return erreurSqlite(db);
    }
    return QString();
}

// From 2005 on, these SQL Server 2000 tables are gone (not even compatibility views).
bool disparueEn2005(const char *nom)
{
    for (const char *disparue : {"sysfiles1", "sysproperties", "sysfulltextnotify", "sysxlogins"})
        if (qstrcmp(nom, disparue) == 0)
            return true;
    return false;
}

QString creeTablesSysteme(sqlite3 *db, const TableSysteme *tables, int lNombre, const QString &sCollation)
{
    ContexteReecriture contexte;
    contexte.sCollationSqlite = CollationSqlite(sCollation);
    for (int i = 0; i < lNombre; ++i) {
        if (AvecSchemas() && disparueEn2005(tables[i].nom))
            continue;
        const QString ddl = QStringLiteral("CREATE TABLE %1 (%2)")
                                .arg(QLatin1String(tables[i].nom), QLatin1String(tables[i].colonnes));
        const QString erreur = Execute(db, ReecritTexte(ddl, contexte));
        if (!erreur.isEmpty())
            return erreur;
    }
    return QString();
}

QString inscritTablesSysteme(sqlite3 *db, const TableSysteme *tables, int lNombre, const QString &sCollation)
{
    for (int i = 0; i < lNombre; ++i) {
        const QString nom = QLatin1String(tables[i].nom);
        QString erreur = inscritObjet(db, QStringLiteral("main"), nom, tables[i].id, QStringLiteral("S "),
                                      QLatin1String(dateCreationSysteme), 0, 1);
        if (erreur.isEmpty())
            erreur = inscritColonnes(db, QStringLiteral("main"), nom, tables[i].id, sCollation);
        if (!erreur.isEmpty())
            return erreur;
    }
    return QString();
}
}

QString InscritObjet(sqlite3 *db, const QString &sNom, int lId, const QString &sType, int lUid)
{
    const char *date = AvecSchemas() ? "2019-09-24 14:21:12.360" : dateCreationSysteme;
    return inscritObjet(db, QStringLiteral("main"), sNom, lId, sType, QLatin1String(date), 0, lUid);
}

QString InscritColonnes(sqlite3 *db, const QString &sNomStocke, int lId, const QString &sCollation)
{
    return inscritColonnes(db, QStringLiteral("main"), sNomStocke, lId, sCollation);
}

QString Execute(sqlite3 *db, const QString &sSql)
{
    char *message = nullptr;
    if (sqlite3_exec(db, sSql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK)
        return QString();
    const QString erreur = QString::fromUtf8(message ? message : "?");
    sqlite3_free(message);
    return erreur;
}

QString FichierBase(const QString &sDossier, const QString &sNomFichier)
{
    return QDir(sDossier).filePath(sNomFichier);
}

TypeColonne DecritType(const QString &sTypeDeclare)
{
    static const QRegularExpression forme(QStringLiteral("^\\s*([a-z_]+)\\s*(?:\\(\\s*(\\d+)\\s*(?:,\\s*(\\d+)\\s*)?\\))?"),
                                          QRegularExpression::CaseInsensitiveOption);
    const auto m = forme.match(sTypeDeclare);
    const QString nom = m.captured(1).toLower();
    const int n = m.captured(2).isEmpty() ? -1 : m.captured(2).toInt();
    TypeColonne t;
    auto fixe = [&](int xtype, int longueur, int precision = 0, int echelle = 0) {
        t.xtype = t.xusertype = xtype;
        t.longueur = longueur;
        t.precision = precision;
        t.echelle = echelle;
    };
    if (nom == QLatin1String("int") || nom == QLatin1String("integer")) fixe(56, 4, 10);
    else if (nom == QLatin1String("bigint")) fixe(127, 8, 19);
    else if (nom == QLatin1String("smallint")) fixe(52, 2, 5);
    else if (nom == QLatin1String("tinyint")) fixe(48, 1, 3);
    else if (nom == QLatin1String("bit")) fixe(104, 1, 1);
    else if (nom == QLatin1String("float") || nom == QLatin1String("double")) fixe(62, 8, 53);
    else if (nom == QLatin1String("real")) fixe(59, 4, 24);
    else if (nom == QLatin1String("money")) fixe(60, 8, 19, 4);
    else if (nom == QLatin1String("smallmoney")) fixe(122, 4, 10, 4);
    else if (nom == QLatin1String("decimal")) fixe(106, 9, n > 0 ? n : 18, m.captured(3).toInt());
    else if (nom == QLatin1String("numeric")) fixe(108, 9, n > 0 ? n : 18, m.captured(3).toInt());
    else if (nom == QLatin1String("datetime")) fixe(61, 8, 23, 3);
    else if (nom == QLatin1String("smalldatetime")) fixe(58, 4, 16);
    else if (nom == QLatin1String("char")) { fixe(175, n > 0 ? n : 1, n > 0 ? n : 1); t.bTexte = true; }
    else if (nom == QLatin1String("varchar")) { fixe(167, n > 0 ? n : 8000, n > 0 ? n : 8000); t.bTexte = true; }
    else if (nom == QLatin1String("nchar")) { fixe(239, 2 * (n > 0 ? n : 1), n > 0 ? n : 1); t.bTexte = true; }
    else if (nom == QLatin1String("nvarchar")) { fixe(231, 2 * (n > 0 ? n : 4000), n > 0 ? n : 4000); t.bTexte = true; }
    else if (nom == QLatin1String("sysname")) { fixe(231, 256, 128); t.xusertype = 256; t.bTexte = true; }
    else if (nom == QLatin1String("text")) { fixe(35, 16); t.bTexte = true; }
    else if (nom == QLatin1String("ntext")) { fixe(99, 16); t.bTexte = true; }
    else if (nom == QLatin1String("binary")) fixe(173, n > 0 ? n : 1);
    else if (nom == QLatin1String("varbinary")) fixe(165, n > 0 ? n : 8000);
    else if (nom == QLatin1String("image")) fixe(34, 16);
    else { fixe(231, 8000, 4000); t.bTexte = true; }
    return t;
}

QString CreeCatalogue(sqlite3 *db, bool bMaster, const QString &sCollation)
{
    const int lBase = int(sizeof tablesBase / sizeof tablesBase[0]);
    const int lMaster = int(sizeof tablesMaster / sizeof tablesMaster[0]);
    QString erreur = Execute(db, QStringLiteral("BEGIN"));
    if (erreur.isEmpty())
        erreur = creeTablesSysteme(db, tablesBase, lBase, sCollation);
    if (erreur.isEmpty() && bMaster)
        erreur = creeTablesSysteme(db, tablesMaster, lMaster, sCollation);
    if (erreur.isEmpty())
        erreur = Execute(db, QStringLiteral(
            // The completion's catalogue queries list names, with their
            // owners, in name order: (name, type, uid) and (id, name) answer
            // them from the index alone, already sorted (name is declared
            // with the database's collation).
            "CREATE INDEX sysobjects_name ON sysobjects(name, type, uid);"
            // The list of tables and views alone: a catalogue with a key for
            // every table holds as many other objects, which this one skips.
            "CREATE INDEX sysobjects_tables ON sysobjects(name, type, uid) WHERE type IN ('U','V');"
            "CREATE INDEX sysobjects_type ON sysobjects(type, name, uid);"
            "CREATE INDEX syscolumns_id ON syscolumns(id, colid);"
            "CREATE INDEX syscolumns_nom ON syscolumns(id, name);"
            // The keys between a few tables are looked up from both ends.
            "CREATE INDEX sysforeignkeys_fkeyid ON sysforeignkeys(fkeyid);"
            "CREATE INDEX sysforeignkeys_rkeyid ON sysforeignkeys(rkeyid);"));
    if (AvecSchemas()) {
        // Here the old system tables are views of the sys schema, listed in
        // sys.system_views; sysobjects shows the internal base tables instead.
        if (erreur.isEmpty())
            erreur = CreeCatalogueSys(db, bMaster, sCollation);
    } else {
        if (erreur.isEmpty())
            erreur = inscritTablesSysteme(db, tablesBase, lBase, sCollation);
        if (erreur.isEmpty() && bMaster)
            erreur = inscritTablesSysteme(db, tablesMaster, lMaster, sCollation);
        if (erreur.isEmpty())
            erreur = Execute(db, QStringLiteral(
                "INSERT INTO sysusers (uid, status, name, createdate, updatedate, altuid, gid, hasdbaccess, islogin, "
                "isntname, isntgroup, isntuser, issqluser, isaliased, issqlrole, isapprole) VALUES "
                "(1, 2, 'dbo', '2000-08-06 01:29:12.250', '2000-08-06 01:29:12.250', 0, 0, 1, 1, 0, 0, 0, 1, 0, 0, 0),"
                "(0, 0, 'public', '2000-08-06 01:29:12.250', '2000-08-06 01:29:12.250', 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0)"));
    }
    Execute(db, erreur.isEmpty() ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
    return erreur;
}

int ProchainIdObjet(sqlite3 *db, const QString &sSchema)
{
    // User objects get large ids, as under SQL Server; system ones stay below 100.
    Requete r(db, QStringLiteral("SELECT max(id) FROM %1.sysobjects").arg(nomSqlite(sSchema)));
    if (!r.st || sqlite3_step(r.st) != SQLITE_ROW)
        return 0;
    const qint64 lMax = sqlite3_column_int64(r.st, 0);
    return int(std::max<qint64>(lMax + 1, 1977058079));
}

QString SynchroniseObjet(sqlite3 *db, const QString &sSchema, const QString &sNom)
{
    const QString schema = nomSqlite(sSchema);
    // Objects of another owner or schema are stored as "owner.name".
    const Proprietaire proprietaire = ProprietaireDe(db, sSchema, sNom);
    int lId = 0;
    {
        Requete r(db, QStringLiteral("SELECT id FROM %1.sysobjects WHERE name = ?1 AND uid = ?2 "
                                     "AND type IN ('U','V')").arg(schema));
        if (!r.st)
            return erreurSqlite(db);
        r.lie(1, proprietaire.sNomObjet);
        r.lie(2, proprietaire.lUid);
        if (sqlite3_step(r.st) == SQLITE_ROW)
            lId = sqlite3_column_int(r.st, 0);
    }
    QString sNomStocke;
    QString sGenre;
    {
        Requete r(db, QStringLiteral("SELECT name, type FROM %1.sqlite_master WHERE name = ?1 COLLATE CI "
                                     "AND type IN ('table','view')").arg(schema));
        if (!r.st)
            return erreurSqlite(db);
        r.lie(1, sNom);
        if (sqlite3_step(r.st) == SQLITE_ROW) {
            sNomStocke = r.texte(0);
            sGenre = r.texte(1);
        }
    }
    if (lId != 0) {
        const QString erreur = OublieClesEtrangeres(db, sSchema, lId) + Execute(db, QStringLiteral("DELETE FROM %1.syscolumns WHERE id = %2;"
                                                          "DELETE FROM %1.sysobjects WHERE id = %2").arg(schema).arg(lId));
        if (!erreur.isEmpty())
            return erreur;
    }
    if (sNomStocke.isEmpty())
        return QString();
    if (lId == 0)
        lId = ProchainIdObjet(db, sSchema);
    const QString sDate = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    const QString sNomObjet = ProprietaireDe(db, sSchema, sNomStocke).sNomObjet;
    QString erreur = inscritObjet(db, sSchema, sNomObjet, lId,
                                  sGenre == QLatin1String("view") ? QStringLiteral("V ") : QStringLiteral("U "), sDate,
                                  0, proprietaire.lUid);
    if (erreur.isEmpty())
        erreur = inscritColonnes(db, sSchema, sNomStocke, lId, CollationDuFichier(db, sSchema));
    if (erreur.isEmpty() && sGenre == QLatin1String("table"))
        erreur = InscritClesEtrangeres(db, sSchema, sNomStocke, lId);
    return erreur;
}

int AjouteEntreeCatalogue(sqlite3 *db, const QString &sNom, const QString &sType, int lParent)
{
    const int lId = ProchainIdObjet(db, QStringLiteral("main"));
    const QString sDate = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    return inscritObjet(db, QStringLiteral("main"), sNom, lId, sType, sDate, lParent, 1).isEmpty() ? lId : 0;
}
