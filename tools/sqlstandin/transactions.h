#pragma once
#include "erreurssql.h"

#include <optional>

struct sqlite3;
struct InstructionSql;

/// BEGIN TRAN[SACTION], COMMIT and ROLLBACK [TRAN[SACTION] | WORK] [name] as
/// SQL Server counts them in @@TRANCOUNT: BEGIN adds one (SQLite's own
/// transaction opens at the first), COMMIT takes one off (SQLite commits at
/// the last), ROLLBACK ends them all. COMMIT or ROLLBACK without a transaction
/// are errors 3902 and 3903.
std::optional<ErreurSql> ExecuteTransaction(sqlite3 *db, int &lTransactions, const InstructionSql &m);
