#pragma once
#include <QString>
#include <optional>

struct sqlite3;
struct ContexteFonctions;

/// Opens a database file with the stand-in's functions, WAL and a busy timeout.
/// Returns nullptr (and the reason in sErreur) when it cannot.
sqlite3 *OuvreFichier(const QString &sFichier, ContexteFonctions *contexte, QString &sErreur);
/// Closes a connection opened by OuvreFichier.
void FermeFichier(sqlite3 *db);

/// A database as master.sysdatabases lists it.
struct BaseConnue {
    QString sNom;       ///< as stored (its own letter case)
    QString sFichier;   ///< full path of its SQLite file
    QString sCollation; ///< its default collation (the server's in the 2000 profile)
};

/// Returns the database of that name (compared without regard to case), looked
/// up in the attached schema "master" of the connection (or main when it is master).
std::optional<BaseConnue> ChercheBase(sqlite3 *db, const QString &sDossier, const QString &sNom);

/// Makes sure master, model, msdb and tempdb exist, and that sysservers lists
/// the server under its own name. Returns an empty text or the error.
QString AssureBasesSysteme(const QString &sDossier, const QString &sNomServeur);

/// Rebuilds the indexes of every listed database whose file was indexed under
/// an older order of the collation CI. Returns an empty text or the error.
QString ActualiseCollation(const QString &sDossier);

/// Creates a database (file, catalogue, entry in master.sysdatabases and, from
/// 2005 on, master.sys.databases) with that default collation unless it exists.
/// Returns an empty text or the error; bCreee tells whether it was new.
QString CreeBase(const QString &sDossier, const QString &sNom, bool &bCreee, const QString &sCollation);
