#pragma once
#include <QString>

struct sqlite3;

/// Lists the foreign keys that the CREATE TABLE of a stored table declared
/// (FOREIGN KEY ... REFERENCES and column REFERENCES, several columns
/// included): one constraint object 'F ' in sysobjects each (parent_obj the
/// table), and one row of sysforeignkeys for each column of the key, in the
/// key's column order. sSchema is the SQLite schema of the database (main or
/// another attached one), lId the table's object id.
QString InscritClesEtrangeres(sqlite3 *db, const QString &sSchema, const QString &sNomStocke, int lId);

/// Forgets the foreign keys of the table lId (before it is listed again or dropped).
QString OublieClesEtrangeres(sqlite3 *db, const QString &sSchema, int lId);
