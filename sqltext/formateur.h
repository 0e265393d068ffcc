#pragma once

#include "motscles.h"

#include <QString>

/// The text laid out by the keyword table: keywords upper-cased, clause words on new lines,
/// sub-queries indented by one TAB. String literals, comments, quoted or bracketed names,
/// variables and temporary-table names are kept as written. Returns sTexte unchanged on
/// failure or when the table is empty. bGarderOuter true keeps the words marked Supprime.
QString FormatSQL(const QString& sTexte, bool bGarderOuter, const TableauMotsCles& table);
