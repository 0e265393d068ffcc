#pragma once
#include "erreurssql.h"

#include <QString>
#include <functional>
#include <optional>

struct sqlite3;
struct InstructionSql;

/// What name resolution needs to know about the session.
struct ContexteResolution {
    sqlite3 *db = nullptr;          ///< the current database, master attached as "master"
    QString sBaseCourante;
    QString sCollation;             ///< the current database's collation
    /// Attaches a database named in a three-part name; false when it is unknown.
    std::function<bool(const QString &)> joindreBase;
};

/// Reads one T-SQL statement as the server of the profile would:
/// - names of tables: owner.x and schema.x (stored as "owner.x"), db.owner.x;
///   from 2005 on, sys.x (the catalogue views, stored as "sys.x"), the
///   compatibility views reached as x, dbo.x, sys.x, db.dbo.x and db..x, and
///   those of the whole server (sysdatabases, sys.databases...) in master;
/// - in a case-sensitive database, names that match only in another letter
///   case are errors 207 "Invalid column name" and 208 "Invalid object name";
/// - UNION branches whose columns come from databases of different collations
///   without COLLATE are error 468;
/// - COLLATE DATABASE_DEFAULT and COLLATE <name> become the SQLite collation;
///   an unknown name is error 448;
/// - from 2005 on, '...' literals (not N'...') are converted to Windows-1252;
/// - databases named in OBJECT_ID('db.owner.x') are attached.
/// Writes the tables it places in their SQLite form (the databases they need
/// in basesCitees, the defined object of CREATE/DROP/ALTER), or returns the
/// error that server gives instead.
std::optional<ErreurSql> ResoutNoms(InstructionSql &m, const ContexteResolution &contexte);
