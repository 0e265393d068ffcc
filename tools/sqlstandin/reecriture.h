#pragma once
#include "erreurssql.h"
#include "instructionsql.h"

#include <QHash>
#include <QString>
#include <optional>

/// What the rewrite needs to know about the session.
struct ContexteReecriture {
    QString sBaseCourante;
    QString sNomServeur;
    /// Names whose letter case SQLite cannot fold (non-ASCII), by their case-folded
    /// form, mapped to the name as stored.
    QHash<QString, QString> nomsCanoniques;
    /// The SQLite collation of the current database ("CI" or "CS"): new text
    /// columns and ORDER BY terms without COLLATE get it.
    QString sCollationSqlite = QStringLiteral("CI");
};

/// Writes a T-SQL statement (after name resolution) in the SQLite form that
/// runs with the stand-in's functions: dbo. dropped, db.dbo.x pointed at the
/// attached database (named in basesCitees), @@ variables, string +, the T-SQL
/// functions, TOP n as LIMIT, ORDER BY compared under the database's
/// collation, CREATE TABLE text columns given it; and the object that a
/// CREATE/DROP/ALTER TABLE or VIEW acts on. Returns the error of a function
/// called with a wrong number of arguments.
std::optional<ErreurSql> ReecritPourSqlite(InstructionSql &m, const ContexteReecriture &contexte);

/// The SQLite form of the stand-in's own T-SQL (its catalogue's DDL).
QString ReecritTexte(const QString &sInstruction, const ContexteReecriture &contexte);
