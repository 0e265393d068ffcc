#pragma once
#include <QString>

struct InstructionSql;

/// An error as SQL Server reports it.
struct ErreurSql {
    int lNumero = 0;
    int lClasse = 16;
    int lEtat = 1;
    QString sMessage;
};

/// Returns the SQL Server error for a SQLite error, chosen by SQLite's extended
/// result code; the message only gives the names to quote. SQLite's plain
/// SQLITE_ERROR has no finer code, so there the message tells a syntax error
/// from an unknown table, column or function.
ErreurSql TraduitErreurSqlite(int lCodeEtendu, const QString &sMessageSqlite, const InstructionSql &instruction);
/// Returns error 102 "Incorrect syntax near '...'.".
ErreurSql ErreurSyntaxe(const QString &sPres);
