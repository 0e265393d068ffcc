#pragma once
#include <QString>
#include <QStringList>

struct sqlite3;

/// Returns the SQLite file of a database inside the data folder.
QString FichierBase(const QString &sDossier, const QString &sNomFichier);

/// Creates, in a connection opened on a new database file, the system tables of
/// SQL Server 2000 (those of master too when bMaster), their text columns in
/// the database's collation. In the 2000 profile they are listed in sysobjects
/// (type 'S ') and syscolumns; in the 2019 profile they are the compatibility
/// views of the sys schema (see CreeCatalogueSys). Returns an empty text or the error.
QString CreeCatalogue(sqlite3 *db, bool bMaster, const QString &sCollation);

/// Lists a system object of the main database in sysobjects (created at the
/// system's date, owner or schema lUid).
QString InscritObjet(sqlite3 *db, const QString &sNom, int lId, const QString &sType, int lUid);
/// Lists in syscolumns, under lId, the columns of a table or view of the main database.
QString InscritColonnes(sqlite3 *db, const QString &sNomStocke, int lId, const QString &sCollation);

/// Brings sysobjects and syscolumns in line with one table or view of a schema
/// after it was created, altered or dropped. Returns an empty text or the error.
QString SynchroniseObjet(sqlite3 *db, const QString &sSchema, const QString &sNom);

/// Adds a catalogue-only entry (procedure 'P ', function 'FN', trigger 'TR'...)
/// and returns its id (0 on failure).
int AjouteEntreeCatalogue(sqlite3 *db, const QString &sNom, const QString &sType, int lParent = 0);

/// Returns the next free object id of a schema.
int ProchainIdObjet(sqlite3 *db, const QString &sSchema);

/// The syscolumns description of a declared column type ("nvarchar(40)", "int"...).
struct TypeColonne {
    int xtype = 231;
    int xusertype = 231;
    int longueur = 0;
    int precision = 0;
    int echelle = 0;
    bool bTexte = false;
};
/// Returns the SQL Server 2000 type codes and lengths of a declared column type.
TypeColonne DecritType(const QString &sTypeDeclare);

/// Runs one SQL text that returns no rows; returns an empty text or the error.
QString Execute(sqlite3 *db, const QString &sSql);
