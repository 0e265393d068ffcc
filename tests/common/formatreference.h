#pragma once

#include "motscles.h"

#include <QString>

// Step-by-step formatter kept for checking the fast one: each keyword goes through its own
// whole-word replacement over the whole text, exactly as the procedure is written, with no
// shortcut. Slow on purpose (quadratic); it knows nothing of literals or comments.

/// The whole-word replacement, literally: search, pattern test over the rest, tests before
/// and after, rebuild.
QString RemplaceMotEntierReference(const QString& sTexte, const QString& sMotCadre,
                                   const QString& sRemplacement, int iMode);

/// The formatter, literally, for texts without literals, comments, quoted names or variables.
QString FormatSQLReference(const QString& sTexte, bool bGarderOuter, const TableauMotsCles& table);

/// The pattern-matching operator on the characters it is used with here: "*" any run,
/// "?" one character, "[...]" / "[!...]" a class with ranges, anything else itself.
bool CommeReference(const QString& sTexte, const QString& sMotif);
