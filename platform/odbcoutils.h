#pragma once
#include "codeserreurs.h"

#include <QList>
#include <QString>
#include <sql.h>
#include <sqlext.h>

/// Returns the process's one ODBC environment (ODBC 3), created on first use.
SQLHENV EnvironnementOdbc();

/// Returns the diagnostic records left by the last call on a handle.
QList<DiagnosticOdbc> LitDiagnostics(SQLSMALLINT lTypeHandle, SQLHANDLE handle);

/// Returns true when one of the records says the link to the server is gone.
bool SignaleLienRompu(const QList<DiagnosticOdbc> &diagnostics);

/// Returns true when the driver already knows the session's link is dead.
bool SessionMorte(SQLHDBC hdbc);

/// Returns the text as the wide ODBC calls take it (UTF-16, as unixODBC's SQLWCHAR).
inline SQLWCHAR *TexteLarge(const QString &sTexte)
{
    static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "SQLWCHAR must be UTF-16");
    return reinterpret_cast<SQLWCHAR *>(const_cast<char16_t *>(reinterpret_cast<const char16_t *>(sTexte.utf16())));
}

/// Returns a wide ODBC buffer of lLongueur characters as text.
inline QString DepuisLarge(const SQLWCHAR *p, qsizetype lLongueur)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(p), lLongueur);
}
