#pragma once

struct InstructionSql;

/// Writes each chain of binary + (a + b - c + d) so that SQLite does what
/// T-SQL does with its operands, whose types only show once it runs: texts are
/// put end to end, numbers added. a + b becomes tsql_plus(a, b), with the
/// operands' extent taken from T-SQL's precedence (* / % bind tighter, a
/// comparison, a keyword or a comma ends the chain).
void ReecritAdditions(InstructionSql &m);
