#include "transactions.h"

#include "instructionsql.h"

#include <sqlite3.h>

namespace {
std::optional<ErreurSql> executeSqlite(sqlite3 *db, const char *sSql, const InstructionSql &m)
{
    if (sqlite3_exec(db, sSql, nullptr, nullptr, nullptr) == SQLITE_OK)
        return std::nullopt;
    return TraduitErreurSqlite(sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db)), m);
}

bool motTransaction(const InstructionSql &m, int i)
{
    return m.mot(i, "TRAN") || m.mot(i, "TRANSACTION") || m.mot(i, "WORK");
}
}

std::optional<ErreurSql> ExecuteTransaction(sqlite3 *db, int &lTransactions, const InstructionSql &m)
{
    // SQLite may have ended the transaction itself (a failed COMMIT, a closed file).
    if (sqlite3_get_autocommit(db))
        lTransactions = 0;
    if (m.mot(0, "BEGIN")) {
        const int lMot = m.mot(1, "DISTRIBUTED") ? 2 : 1;
        if (!m.mot(lMot, "TRAN") && !m.mot(lMot, "TRANSACTION"))
            return ErreurSyntaxe(m.j.value(lMot, m.j.first()).sTexte);
        if (lTransactions == 0)
            if (auto e = executeSqlite(db, "BEGIN", m))
                return e;
        ++lTransactions;
        return std::nullopt;
    }
    if (m.taille() > 1 && !motTransaction(m, 1))
        return ErreurSyntaxe(m.j.at(1).sTexte);
    if (m.mot(0, "COMMIT")) {
        if (lTransactions == 0)
            return ErreurSql{3902, 16, 1, QStringLiteral("The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION.")};
        if (lTransactions == 1)
            if (auto e = executeSqlite(db, "COMMIT", m))
                return e;
        --lTransactions;
        return std::nullopt;
    }
    if (lTransactions == 0)
        return ErreurSql{3903, 16, 1, QStringLiteral("The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION.")};
    lTransactions = 0;
    return executeSqlite(db, "ROLLBACK", m);
}
