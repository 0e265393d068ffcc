#pragma once

#include "motscles.h"

#include <QString>

/// The text laid out by the keyword table: keywords upper-cased, clause words on new lines,
/// every GO on a line of its own (with its repeat count and comments), sub-queries indented by
/// one TAB. A keyword is laid out only where it stands as a whole word; names, string
/// literals, comments, quoted or bracketed names, variables and temporary-table names are kept
/// as written. Returns sTexte unchanged on failure or when the table is empty. The words
/// marked Supprime (OUTER) are dropped where JOIN follows them after blanks, TABs or line
/// breaks, unless bGarderOuter. A text this returned comes back unchanged (unless it looks cut
/// into 1023-character lines, whose line breaks are then removed first).
QString FormatSQL(const QString& sTexte, bool bGarderOuter, const TableauMotsCles& table);
