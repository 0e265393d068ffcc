#pragma once
#include "erreurssql.h"

#include <QString>
#include <optional>

struct sqlite3;

/// What the SQL functions of one SQLite connection need to know about its session.
struct ContexteFonctions {
    ContexteFonctions(QString base = QString(), QString collation = QString(), bool bCasse = false)
        : sBaseCourante(std::move(base)), sCollation(std::move(collation)), bSensibleCasse(bCasse) {}

    QString sBaseCourante;
    QString sCollation;          ///< the current database's collation (empty: the server's)
    bool bSensibleCasse = false; ///< that collation tells letter case apart
    int lTransactions = 0;       ///< BEGIN TRAN not yet committed or rolled back (@@TRANCOUNT)
    /// The SQL Server error a function of the stand-in raised during the last statement.
    std::optional<ErreurSql> erreurFonction;
};

/// Registers on a connection what makes SQLite answer like SQL Server's default
/// collation and dialect: the collation CI (case-insensitive, trailing blanks
/// ignored), T-SQL LIKE ([] classes; case-insensitive unless the current
/// database's collation is case-sensitive), GETDATE, DB_NAME. The context must
/// outlive the connection.
void InstalleFonctions(sqlite3 *db, ContexteFonctions *contexte);

/// Version of the CI collation's order; files indexed under another one are reindexed.
constexpr int VersionCollation = 2;

/// Returns -1, 0 or 1: the comparison of SQL Server's case-insensitive collation
/// (letters first, accents only between otherwise equal names, trailing blanks ignored).
int CompareSansCasse(const QString &a, const QString &b);

/// Returns true when sTexte matches the T-SQL LIKE pattern (without regard to
/// case unless bSensibleCasse).
bool CorrespondLike(const QString &sTexte, const QString &sMotif, QChar echappement = QChar(),
                    bool bSensibleCasse = false);

/// Splits a T-SQL multi-part name ("db.dbo.[x y]") into its unquoted parts.
QStringList PartiesNom(const QString &sNom);
