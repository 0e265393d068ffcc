#pragma once
#include <QDeadlineTimer>
#include <QString>
#include <sql.h>

/// The sessions that closed connections left logged in, keyed by the whole
/// connection string they were opened with, so that opening the same string
/// again costs no new login. Sessions idle for more than a minute are closed.
namespace PoolConnexions {

/// Returns a live pooled session for the key (taken out of the pool), or
/// SQL_NULL_HDBC. Dead or unusable sessions met on the way are closed, and
/// so is one that does not answer within a second or by the limit.
SQLHDBC Prend(const QString &sCle, const QDeadlineTimer &limite = QDeadlineTimer(QDeadlineTimer::Forever));
/// Keeps a logged-in session for later reuse under the key.
void Rend(const QString &sCle, SQLHDBC hdbc);
/// Closes the sessions idle for longer than the idle delay.
void FermeInactives();
/// Closes every pooled session.
void Vide();
/// Returns the number of sessions waiting in the pool.
int Taille();

/// Returns true while closed sessions are kept for reuse (always, outside benchmarks).
bool EstActif();
/// Benchmark hook: with false, every Close logs off and every Open logs in
/// (sessions already pooled wait untouched until it is true again).
void SetActif(bool bActif);

/// Test hook: another idle delay than the minute of everyday use.
void SetDelaiInactivitePourTests(int lMillisecondes);

/// Logs a session off and frees its handle.
void Deconnecte(SQLHDBC hdbc);

} // namespace PoolConnexions
