#pragma once
#include "chaineconnexion.h"
#include "sourcedonnees.h"

#include <QString>

/// Returns the value as an ODBC connection-string value: unchanged, or in
/// braces (inner "}" doubled) when it holds ";", braces, "=", or blanks at its ends.
QString ValeurOdbc(const QString &sValeur);

/// Returns the string passed to SQLDriverConnect for a resolved target (no
/// instance left to resolve) and the other parts of the connection string.
QString ChaineOdbc(const QString &sPilote, const CibleServeur &cible, const ParametresConnexion &p);
