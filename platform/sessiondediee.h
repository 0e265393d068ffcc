#pragma once
#include <QDeadlineTimer>
#include <QString>
#include <sql.h>

/// Logs in a session of its own for the connection string, never taken from
/// nor given back to the pool, its link watched so that a wait on it can be
/// cut off (gardeliens.h). Throws ErreurAdo when the login fails.
SQLHDBC OuvreSessionDediee(const QString &sConnectionString, const QDeadlineTimer &limite);
/// Logs the session off and frees it; a silent server does not hold it up.
void FermeSessionDediee(SQLHDBC hdbc);
