#include "cataloguesys.h"

#include "catalogue.h"
#include "collations.h"
#include "profil.h"
#include "reecriture.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace {
struct VueSysteme {
    const char *nom;
    int id;
};

// Views kept in every database. The first ones are SQL Server 2000's system
// tables become compatibility views; then the catalogue views.
const VueSysteme vuesDeBase[] = {
    {"sysobjects", -385}, {"sysindexes", -386}, {"syscolumns", -387}, {"systypes", -388}, {"syscomments", -389},
    {"syspermissions", -390}, {"sysusers", -391}, {"sysdepends", -392}, {"sysreferences", -393},
    {"sysfulltextcatalogs", -394}, {"sysindexkeys", -395}, {"sysforeignkeys", -396}, {"sysmembers", -397},
    {"sysprotects", -398}, {"sysfilegroups", -399}, {"sysfiles", -400},
    {"objects", -101}, {"tables", -102}, {"views", -103}, {"columns", -104}, {"schemas", -105},
    {"system_objects", -106}, {"system_views", -107}, {"all_objects", -108},
    {"foreign_keys", -109}, {"foreign_key_columns", -110},
};
const int lCompatibiliteDeBase = 16;

// Views of the whole server, kept in master.
const VueSysteme vuesDuServeur[] = {
    {"sysdatabases", -401}, {"syscharsets", -402}, {"syslanguages", -403}, {"sysdevices", -404},
    {"sysaltfiles", -405}, {"sysconfigures", -406}, {"sysmessages", -407}, {"sysservers", -408},
    {"sysremotelogins", -409},
    {"databases", -201}, {"servers", -202},
};
const int lCompatibiliteDuServeur = 9;

// Internal base tables, as sysobjects lists them (type 'S ', schema sys); no
// one can select from them outside the dedicated administrator connection.
const VueSysteme tablesInternes[] = {
    {"sysrscols", 3}, {"sysrowsets", 5}, {"sysclones", 6}, {"sysallocunits", 7}, {"sysfiles1", 8},
    {"sysseobjvalues", 9}, {"syspriorities", 17}, {"sysdbfrag", 18}, {"sysfgfrag", 19}, {"sysdbfiles", 20},
    {"syspru", 21}, {"sysbrickfiles", 22}, {"sysphfg", 23}, {"sysprufiles", 24}, {"sysftinds", 25},
    {"sysowners", 27}, {"sysprivs", 29}, {"sysschobjs", 34}, {"syscsrowgroups", 35}, {"sysextsources", 36},
    {"sysexttables", 37}, {"sysextfileformats", 38}, {"syscolpars", 41}, {"sysnsobjs", 44}, {"syscerts", 46},
    {"sysxprops", 49}, {"sysscalartypes", 50}, {"systypedsubobjs", 51}, {"sysidxstats", 54},
    {"sysiscols", 55}, {"sysbinobjs", 58}, {"sysaudacts", 59}, {"sysobjvalues", 60},
    {"syscscolsegments", 62}, {"syscsdictionaries", 63}, {"sysclsobjs", 64}, {"sysrowsetrefs", 65},
    {"sysremsvcbinds", 67}, {"sysxmitqueue", 68}, {"sysrts", 69}, {"sysconvgroup", 71}, {"sysdesend", 72},
    {"sysdercv", 73}, {"syssingleobjrefs", 74}, {"sysmultiobjrefs", 75}, {"sysguidrefs", 78},
    {"sysqnames", 90}, {"sysxmlcomponent", 91}, {"sysxmlfacet", 92}, {"sysxmlplacement", 93},
    {"sysobjkeycrypts", 94}, {"sysasymkeys", 95}, {"syssqlguides", 96}, {"sysbinsubobjs", 97},
    {"syssoftobjrefs", 98},
};

// Internal base tables of master only.
const VueSysteme tablesInternesMaster[] = {
    {"sysdbreg", 28}, {"sysxlgns", 42}, {"sysxsrvs", 43}, {"sysusermsgs", 45}, {"sysrmtlgns", 47},
    {"syslnklgns", 48}, {"sysendpts", 56}, {"syswebmethods", 57},
};

const char *const dateSysteme = "2019-09-24 14:21:12.360";

template <size_t N>
const VueSysteme *chercheVue(const VueSysteme (&vues)[N], const QString &sNom, int lPremieres = int(N))
{
    const int lNombre = std::min(lPremieres, int(N));
    for (int i = 0; i < lNombre; ++i)
        if (sNom.compare(QLatin1String(vues[i].nom), Qt::CaseInsensitive) == 0)
            return &vues[i];
    return nullptr;
}

QString nomSqlite(const QString &s)
{
    return QLatin1Char('"') + QString(s).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString stockageVue(const VueSysteme &vue, int lIndex, int lCompatibilite)
{
    const QString nom = QLatin1String(vue.nom);
    return lIndex < lCompatibilite ? nom : QStringLiteral("sys.") + nom;
}

// T-SQL DDL through the stand-in's own rewrite, so that text columns get the collation.
QString executeTsql(sqlite3 *db, const QString &sTsql, const QString &sCollation)
{
    ContexteReecriture contexte;
    contexte.sCollationSqlite = CollationSqlite(sCollation);
    return Execute(db, ReecritTexte(sTsql, contexte));
}

QString creeStockage(sqlite3 *db, bool bMaster, const QString &sCollation)
{
    QStringList ddl{
        QStringLiteral("CREATE TABLE [sys.schemas] (name sysname NOT NULL, schema_id int NOT NULL PRIMARY KEY, "
                       "principal_id int)"),
        QStringLiteral("CREATE TABLE [sys.system_objects] (name sysname NOT NULL, object_id int NOT NULL PRIMARY KEY, "
                       "principal_id int, schema_id int, parent_object_id int, type char(2), type_desc nvarchar(60), "
                       "create_date datetime, modify_date datetime, is_ms_shipped bit, is_published bit, "
                       "is_schema_published bit)"),
    };
    if (bMaster)
        ddl << QStringLiteral("CREATE TABLE [sys.databases] (name sysname NOT NULL, database_id int NOT NULL, "
                              "source_database_id int, owner_sid varbinary(85), create_date datetime, "
                              "compatibility_level tinyint, collation_name sysname, user_access tinyint, "
                              "user_access_desc nvarchar(60), is_read_only bit, state tinyint, state_desc nvarchar(60), "
                              "recovery_model tinyint, recovery_model_desc nvarchar(60))");
    for (const QString &instruction : std::as_const(ddl)) {
        const QString erreur = executeTsql(db, instruction, sCollation);
        if (!erreur.isEmpty())
            return erreur;
    }
    return QString();
}

// The catalogue views, written in SQLite over the stand-in's stored tables.
QString creeVues(sqlite3 *db, bool bMaster)
{
    QString sql = QStringLiteral(
        "CREATE VIEW \"sys.objects\" AS SELECT name, id AS object_id, NULL AS principal_id, uid AS schema_id, "
        "parent_obj AS parent_object_id, type, CASE type WHEN 'U ' THEN 'USER_TABLE' WHEN 'V ' THEN 'VIEW' "
        "WHEN 'S ' THEN 'SYSTEM_TABLE' WHEN 'P ' THEN 'SQL_STORED_PROCEDURE' WHEN 'FN' THEN 'SQL_SCALAR_FUNCTION' "
        "WHEN 'TR' THEN 'SQL_TRIGGER' WHEN 'F ' THEN 'FOREIGN_KEY_CONSTRAINT' ELSE 'OTHER' END AS type_desc, crdate AS create_date, refdate AS modify_date, "
        "CASE WHEN type = 'S ' THEN 1 ELSE 0 END AS is_ms_shipped, 0 AS is_published, 0 AS is_schema_published "
        "FROM sysobjects;"
        "CREATE VIEW \"sys.tables\" AS SELECT * FROM \"sys.objects\" WHERE type = 'U ';"
        "CREATE VIEW \"sys.views\" AS SELECT * FROM \"sys.objects\" WHERE type = 'V ';"
        "CREATE VIEW \"sys.columns\" AS SELECT id AS object_id, name, colid AS column_id, xtype AS system_type_id, "
        "xusertype AS user_type_id, length AS max_length, xprec AS precision, xscale AS scale, "
        "collation AS collation_name, isnullable AS is_nullable, 0 AS is_identity, iscomputed AS is_computed "
        "FROM syscolumns WHERE id > 0;"
        "CREATE VIEW \"sys.system_views\" AS SELECT * FROM \"sys.system_objects\" WHERE type = 'V ';"
        "CREATE VIEW \"sys.all_objects\" AS SELECT * FROM \"sys.objects\" UNION ALL SELECT * FROM \"sys.system_objects\";"
        // The foreign keys are kept once, in sysforeignkeys; these views show them as 2005 on does.
        "CREATE VIEW \"sys.foreign_keys\" AS SELECT o.*, k.rkeyid AS referenced_object_id, 1 AS key_index_id, "
        "0 AS is_disabled, 0 AS is_not_for_replication, 0 AS is_not_trusted, 0 AS delete_referential_action, "
        "'NO_ACTION' AS delete_referential_action_desc, 0 AS update_referential_action, "
        "'NO_ACTION' AS update_referential_action_desc, 1 AS is_system_named FROM \"sys.objects\" o "
        "JOIN sysforeignkeys k ON k.constid = o.object_id AND k.keyno = 1 WHERE o.type = 'F ';"
        "CREATE VIEW \"sys.foreign_key_columns\" AS SELECT constid AS constraint_object_id, "
        "keyno AS constraint_column_id, fkeyid AS parent_object_id, fkey AS parent_column_id, "
        "rkeyid AS referenced_object_id, rkey AS referenced_column_id FROM sysforeignkeys;");
    if (bMaster)
        sql += QStringLiteral(
            "CREATE VIEW \"sys.servers\" AS SELECT srvid AS server_id, srvname AS name, srvproduct AS product, "
            "providername AS provider, datasource AS data_source, location, providerstring AS provider_string, "
            "catalog, connecttimeout AS connect_timeout, querytimeout AS query_timeout, "
            "CASE WHEN srvid = 0 THEN 0 ELSE 1 END AS is_linked, isremote AS is_remote_login_enabled, "
            "rpcout AS is_rpc_out_enabled, dataaccess AS is_data_access_enabled, "
            "collationcompatible AS is_collation_compatible, useremotecollation AS uses_remote_collation, "
            "collation AS collation_name, lazyschemavalidation AS lazy_schema_validation, system AS is_system, "
            "schemadate AS modify_date FROM sysservers;");
    return Execute(db, sql);
}

QString inscritVues(sqlite3 *db, const VueSysteme *vues, int lNombre, int lCompatibilite, bool bLocales,
                    const QString &sCollation)
{
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db, "INSERT INTO \"sys.system_objects\" VALUES (?1, ?2, NULL, 4, 0, 'V ', 'VIEW', ?3, ?3, "
                               "1, 0, 0)", -1, &st, nullptr) != SQLITE_OK)
        return QString::fromUtf8(sqlite3_errmsg(db));
    QString erreur;
    for (int i = 0; i < lNombre && erreur.isEmpty(); ++i) {
        sqlite3_reset(st);
        sqlite3_bind_text(st, 1, vues[i].nom, -1, SQLITE_STATIC);
        sqlite3_bind_int(st, 2, vues[i].id);
        sqlite3_bind_text(st, 3, dateSysteme, -1, SQLITE_STATIC);
        if (sqlite3_step(st) != SQLITE_DONE)
            erreur = QString::fromUtf8(sqlite3_errmsg(db));
        else if (bLocales)
            erreur = InscritColonnes(db, stockageVue(vues[i], i, lCompatibilite), vues[i].id, sCollation);
    }
    sqlite3_finalize(st);
    return erreur;
}

QString inscritTablesInternes(sqlite3 *db, const VueSysteme *tables, int lNombre)
{
    for (int i = 0; i < lNombre; ++i) {
        const QString erreur = InscritObjet(db, QLatin1String(tables[i].nom), tables[i].id, QStringLiteral("S "), 4);
        if (!erreur.isEmpty())
            return erreur;
    }
    return QString();
}

QString inscritPrincipaux(sqlite3 *db)
{
    return Execute(db, QStringLiteral(
        "INSERT INTO \"sys.schemas\" VALUES ('dbo', 1, 1), ('guest', 2, 2), ('INFORMATION_SCHEMA', 3, 3), "
        "('sys', 4, 4), ('db_owner', 16384, 16384), ('db_accessadmin', 16385, 16385), "
        "('db_securityadmin', 16386, 16386), ('db_ddladmin', 16387, 16387), ('db_backupoperator', 16389, 16389), "
        "('db_datareader', 16390, 16390), ('db_datawriter', 16391, 16391), ('db_denydatareader', 16392, 16392), "
        "('db_denydatawriter', 16393, 16393);"
        "INSERT INTO sysusers (uid, status, name, createdate, updatedate, altuid, gid, hasdbaccess, islogin, "
        "isntname, isntgroup, isntuser, issqluser, isaliased, issqlrole, isapprole) VALUES "
        "(1, 2, 'dbo', '2003-04-08 09:10:42.287', '2019-09-24 14:21:12.360', NULL, 0, 1, 1, 0, 0, 0, 1, 0, 0, 0),"
        "(2, 0, 'guest', '2003-04-08 09:10:42.317', '2003-04-08 09:10:42.317', NULL, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0),"
        "(3, 0, 'INFORMATION_SCHEMA', '2009-04-13 12:59:11.077', '2009-04-13 12:59:11.077', NULL, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0),"
        "(4, 0, 'sys', '2009-04-13 12:59:11.077', '2009-04-13 12:59:11.077', NULL, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0),"
        "(0, 0, 'public', '2003-04-08 09:10:42.317', '2009-04-13 12:59:08.850', 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0),"
        "(16384, 0, 'db_owner', '2003-04-08 09:10:42.333', '2009-04-13 12:59:14.467', 1, 16384, 0, 0, 0, 0, 0, 0, 0, 1, 0),"
        "(16390, 0, 'db_datareader', '2003-04-08 09:10:42.333', '2009-04-13 12:59:14.467', 1, 16390, 0, 0, 0, 0, 0, 0, 0, 1, 0),"
        "(16391, 0, 'db_datawriter', '2003-04-08 09:10:42.333', '2009-04-13 12:59:14.467', 1, 16391, 0, 0, 0, 0, 0, 0, 0, 1, 0)"));
}

QString premierTexte(sqlite3 *db, const QString &sSql, const QString &sParametre)
{
    sqlite3_stmt *st = nullptr;
    QString resultat;
    if (sqlite3_prepare_v2(db, sSql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK) {
        const QByteArray p = sParametre.toUtf8();
        sqlite3_bind_text(st, 1, p.constData(), p.size(), SQLITE_TRANSIENT);
        if (sqlite3_step(st) == SQLITE_ROW && sqlite3_column_type(st, 0) != SQLITE_NULL)
            resultat = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    }
    sqlite3_finalize(st);
    return resultat;
}
}

QString CreeCatalogueSys(sqlite3 *db, bool bMaster, const QString &sCollation)
{
    const int lBase = int(sizeof vuesDeBase / sizeof vuesDeBase[0]);
    const int lServeur = int(sizeof vuesDuServeur / sizeof vuesDuServeur[0]);
    QString erreur = creeStockage(db, bMaster, sCollation);
    if (erreur.isEmpty())
        erreur = creeVues(db, bMaster);
    if (erreur.isEmpty())
        erreur = inscritVues(db, vuesDeBase, lBase, lCompatibiliteDeBase, true, sCollation);
    if (erreur.isEmpty())
        erreur = inscritVues(db, vuesDuServeur, lServeur, lCompatibiliteDuServeur, bMaster, sCollation);
    if (erreur.isEmpty())
        erreur = inscritTablesInternes(db, tablesInternes, int(sizeof tablesInternes / sizeof tablesInternes[0]));
    if (erreur.isEmpty() && bMaster)
        erreur = inscritTablesInternes(db, tablesInternesMaster,
                                       int(sizeof tablesInternesMaster / sizeof tablesInternesMaster[0]));
    if (erreur.isEmpty())
        erreur = inscritPrincipaux(db);
    return erreur;
}

bool EstVueSystemeDeBase(const QString &sNom)
{
    return chercheVue(vuesDeBase, sNom) != nullptr;
}

bool EstVueSystemeDuServeur(const QString &sNom)
{
    return chercheVue(vuesDuServeur, sNom) != nullptr;
}

bool EstVueCompatibilite(const QString &sNom)
{
    return chercheVue(vuesDeBase, sNom, lCompatibiliteDeBase) || chercheVue(vuesDuServeur, sNom, lCompatibiliteDuServeur);
}

int IdVueSysteme(const QString &sNom)
{
    if (const VueSysteme *v = chercheVue(vuesDeBase, sNom))
        return v->id;
    if (const VueSysteme *v = chercheVue(vuesDuServeur, sNom))
        return v->id;
    return 0;
}

Proprietaire ProprietaireDe(sqlite3 *db, const QString &sSchema, const QString &sNomStocke)
{
    Proprietaire p;
    p.sNomObjet = sNomStocke;
    const int lPoint = int(sNomStocke.indexOf(QLatin1Char('.')));
    if (lPoint <= 0)
        return p;
    const QString sql = AvecSchemas()
        ? QStringLiteral("SELECT schema_id FROM %1.\"sys.schemas\" WHERE name = ?1").arg(nomSqlite(sSchema))
        : QStringLiteral("SELECT uid FROM %1.sysusers WHERE name = ?1").arg(nomSqlite(sSchema));
    const QString sUid = premierTexte(db, sql, sNomStocke.left(lPoint));
    if (!sUid.isEmpty()) {
        p.lUid = sUid.toInt();
        p.sNomObjet = sNomStocke.mid(lPoint + 1);
    }
    return p;
}

QString CollationDuFichier(sqlite3 *db, const QString &sSchema)
{
    if (!AvecSchemas())
        return CollationServeur();
    const char *fichier = sqlite3_db_filename(db, sSchema.toUtf8().constData());
    if (!fichier || !*fichier)
        return CollationServeur();
    const QString sFichier = QFileInfo(QString::fromUtf8(fichier)).fileName();
    for (const char *master : {"master", "main"}) {
        const QString sql = QStringLiteral("SELECT d.collation_name FROM %1.\"sys.databases\" d JOIN %1.sysdatabases s "
                                           "ON s.name = d.name WHERE s.filename = ?1").arg(QLatin1String(master));
        const QString sCollation = premierTexte(db, sql, sFichier);
        if (!sCollation.isEmpty())
            return sCollation;
    }
    return CollationServeur();
}
