#pragma once
#include <QString>

/// An error as SQL Server reports it.
struct ErreurSql {
    int lNumero = 0;
    int lClasse = 16;
    int lEtat = 1;
    QString sMessage;
};

/// Returns the SQL Server error that matches a SQLite error message for a statement.
ErreurSql TraduitErreurSqlite(const QString &sMessageSqlite, const QString &sInstruction);
/// Returns error 102 "Incorrect syntax near '...'.".
ErreurSql ErreurSyntaxe(const QString &sPres);
