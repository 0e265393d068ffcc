#pragma once

struct sqlite3;

/// Registers GENERATE_SERIES(start, stop [, step]) as T-SQL has it (from 2022):
/// a table of one column, value, from start to stop by step (1, or -1 when
/// stop is below start). Its rows are made as they are read, so a result of
/// millions of rows costs no storage. Integers only.
void InstalleSerie(sqlite3 *db);
