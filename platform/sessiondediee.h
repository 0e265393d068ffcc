#pragma once
#include <QDeadlineTimer>
#include <QString>
#include <sql.h>

class InterrupteurConnexion;

/// Logs in a session of its own for the connection string, never taken from
/// nor given back to the pool, its link watched so that a wait on it can be
/// cut off (gardeliens.h); the interrupter, when given, can cut the login
/// short from another thread. Throws ErreurAdo when the login fails.
SQLHDBC OuvreSessionDediee(const QString &sConnectionString, const QDeadlineTimer &limite,
                           InterrupteurConnexion *pInterrupteur = nullptr);
/// Logs the session off and frees it; a silent server does not hold it up.
void FermeSessionDediee(SQLHDBC hdbc);
