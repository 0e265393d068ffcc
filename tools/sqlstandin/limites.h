#pragma once

struct InstructionSql;

/// Writes TOP n as SQLite's LIMIT wherever a SELECT has it: at the end of its
/// own level (the statement, or the parentheses of a sub-query), or, in a
/// UNION, EXCEPT or INTERSECT, around its own branch alone
/// (SELECT * FROM (SELECT ... LIMIT n)). Branches written in parentheses,
/// which SQLite does not take, are read through SELECT * FROM (...).
void ReecritTop(InstructionSql &m);
