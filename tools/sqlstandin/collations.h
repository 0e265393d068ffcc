#pragma once
#include <QString>

struct sqlite3;

/// The collation of the server and of its system databases.
QString CollationServeur();

/// Returns true for a collation name SQL Server knows in the form the
/// stand-in reads (Latin1_General_CS_AS, French_CI_AS, ..._BIN2).
bool EstCollationConnue(const QString &sCollation);

/// Returns true when the collation tells letters of another case apart.
bool EstSensibleCasse(const QString &sCollation);

/// Returns the SQLite collation that orders text as this one: "CS" or "CI"
/// (those two names are SQLite's own and are returned as they are).
QString CollationSqlite(const QString &sCollation);

/// Returns -1, 0 or 1 as a case-sensitive Windows collation orders names:
/// letters first, then accents, then case (lower case first); trailing blanks ignored.
int CompareAvecCasse(const QString &a, const QString &b);

/// Returns the text as it reads once converted to Windows-1252 (the code page
/// of the stand-in's collations): characters outside it become '?'.
QString VersPageCode1252(const QString &sTexte);

/// Registers the collation CS on a connection (CI comes with the SQL functions).
void InstalleCollationSensible(sqlite3 *db);
