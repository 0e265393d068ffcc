#pragma once
#include "erreurssql.h"

#include <optional>

struct InstructionSql;

/// Writes the T-SQL functions that SQLite lacks or names otherwise in their
/// SQLite form, from one table of name, number of arguments and the form with
/// its arguments in SQLite's order (CONVERT(type, x) becomes convertit(x, 'type')).
/// CAST(x AS type) counts as two arguments. A known function called with a
/// wrong number of arguments is error 174, as SQL Server says it.
std::optional<ErreurSql> ReecritFonctions(InstructionSql &m);
