#pragma once
#include <QHash>
#include <QString>
#include <QStringList>

/// A T-SQL statement turned into SQL that SQLite runs with the stand-in's functions.
struct SqlReecrit {
    QString sSql;
    QStringList basesCitees;   ///< other databases named in three-part names, to attach first
};

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

/// Returns the SQLite form of one T-SQL statement: [names] and N'strings' quoted
/// the SQLite way, dbo. dropped, db.dbo.x pointed at the attached database,
/// TOP n turned into LIMIT n, T-SQL function names mapped, ORDER BY made to
/// compare under the database's collation, and CREATE TABLE text columns given it.
SqlReecrit ReecritPourSqlite(const QString &sInstruction, const ContexteReecriture &contexte);

/// Returns the name a CREATE/DROP/ALTER TABLE or VIEW statement acts on, unquoted,
/// with its SQLite schema ("main" or an attached database) in sSchema; "" otherwise.
QString ObjetDefini(const QString &sSqlReecrit, QString &sSchema);
