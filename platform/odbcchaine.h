#pragma once
#include "chaineconnexion.h"
#include "sourcedonnees.h"

#include <QString>

/// Returns the value as an ODBC connection-string value: unchanged, or in
/// braces when it holds ";", braces, "=", or blanks at its ends. Inside the
/// braces an inner "}" is doubled, as ODBC has it, except for FreeTDS, which
/// reads a braced value up to the first "};" and undoubles nothing.
/// Throws ErreurAdo (0x80040E73) for a value FreeTDS cannot be given (one holding "};").
QString ValeurOdbc(const QString &sValeur, bool bFreeTds);

/// Returns the string passed to SQLDriverConnect for a resolved target (no
/// instance left to resolve) and the other parts of the connection string.
QString ChaineOdbc(const QString &sPilote, const CibleServeur &cible, const ParametresConnexion &p);
