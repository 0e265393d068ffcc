#pragma once
#include <QString>

struct sqlite3;

/// Creates, in a new database file of the 2019 profile, what SQL Server 2005
/// and later show in place of the system tables: the schemas (sys.schemas),
/// the internal base tables listed in sysobjects (type 'S ', schema sys), the
/// system views (sys.system_objects, with their columns in syscolumns) and the
/// catalogue views sys.objects, sys.tables, sys.views, sys.columns,
/// sys.system_views, sys.all_objects (in master also sys.databases and
/// sys.servers). Returns an empty text or the error.
QString CreeCatalogueSys(sqlite3 *db, bool bMaster, const QString &sCollation);

/// A view of the sys schema kept in every database (sysobjects, syscolumns,
/// sysusers..., objects, columns, schemas...), named without "sys.".
bool EstVueSystemeDeBase(const QString &sNom);
/// A view of the sys schema that shows the whole server and is kept in master
/// only (sysdatabases, sysservers..., databases, servers).
bool EstVueSystemeDuServeur(const QString &sNom);
/// A compatibility view: a SQL Server 2000 system table name (sysobjects...).
bool EstVueCompatibilite(const QString &sNom);
/// Returns the (negative) object id of a system view, 0 for another name.
int IdVueSysteme(const QString &sNom);

/// Who owns a stored table: objects of another owner or schema than dbo are
/// stored as "owner.name".
struct Proprietaire {
    int lUid = 1;
    QString sNomObjet;
};
/// Returns the owner (sysusers uid in the 2000 profile, schema id from 2005
/// on) and the object name of a table stored in schema sSchema as sNomStocke.
Proprietaire ProprietaireDe(sqlite3 *db, const QString &sSchema, const QString &sNomStocke);

/// Returns the collation of the database attached as sSchema (main, master or
/// another), as master's sys.databases lists it; the server's by default.
QString CollationDuFichier(sqlite3 *db, const QString &sSchema);
