#pragma once
#include <QString>

/// Returns the ODBC driver every connection uses: FreeTDS's, by the path of
/// its library when installed there, else by its registered name "{FreeTDS}".
/// Microsoft's ODBC Driver for SQL Server is used by naming it here instead,
/// e.g. "{ODBC Driver 18 for SQL Server}".
QString PiloteOdbc();

/// Returns true when the driver is FreeTDS's (which takes Server and Port
/// apart, a TDS version, and a client character set).
bool EstPiloteFreeTds(const QString &sPilote);
