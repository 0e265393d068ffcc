#pragma once

struct sqlite3;
struct ContexteFonctions;

/// Registers on a connection the functions that read the catalogue as the
/// profile's server does: OBJECT_ID (one, two and three-part names, schemas or
/// owners), OBJECT_NAME, USER_ID, USER_NAME, DB_ID, DB_NAME(id), SERVERPROPERTY,
/// DATABASEPROPERTYEX and, from 2005 on, SCHEMA_ID and SCHEMA_NAME; and the
/// collation CS. The context must outlive the connection.
void InstalleFonctionsCatalogue(sqlite3 *db, ContexteFonctions *contexte);

/// Finalizes the look-ups prepared for a connection; called before closing it.
void OublieRequetesCatalogue(sqlite3 *db);
