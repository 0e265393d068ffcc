#pragma once

struct sqlite3;
struct ContexteFonctions;

/// Registers on a connection the functions that the rewrite of T-SQL calls:
/// convertit(x, 'type', style) for CAST and CONVERT (SQL Server's conversion
/// errors 245, 241, 8114 and 243 among them), charindex(find, in, start) under
/// the database's case rule, datalength(x, one byte a character), tsql_plus(a, b)
/// for T-SQL's + (texts put end to end, numbers added, a text and a number
/// added as numbers), trancount() for @@TRANCOUNT and dateajoute('part', n, date)
/// for DATEADD. A function that fails leaves its SQL Server error in the context.
void InstalleFonctionsConversion(sqlite3 *db, ContexteFonctions *contexte);

/// Dates travel as text in SQLite; a function whose result is a datetime marks
/// it with this subtype, so that the result column is sent as datetime.
constexpr unsigned SousTypeDateHeure = 'D';
/// ... and a text or binary result of a (max) type with this one, sent as nvarchar(max) or varbinary(max).
constexpr unsigned SousTypeMax = 'M';
