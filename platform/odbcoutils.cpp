#include "odbcoutils.h"

namespace {

struct Environnement {
    SQLHENV henv = SQL_NULL_HENV;
    Environnement()
    {
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &henv))) {
            henv = SQL_NULL_HENV;
            return;
        }
        SQLSetEnvAttr(henv, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    }
};

} // namespace

SQLHENV EnvironnementOdbc()
{
    // Never freed: pooled sessions may still be closed while static objects are
    // destroyed at exit, and they need the environment until then.
    static Environnement *env = new Environnement();
    return env->henv;
}

QList<DiagnosticOdbc> LitDiagnostics(SQLSMALLINT lTypeHandle, SQLHANDLE handle)
{
    QList<DiagnosticOdbc> diagnostics;
    if (handle == SQL_NULL_HANDLE)
        return diagnostics;
    for (SQLSMALLINT i = 1; i < 50; ++i) {
        SQLWCHAR etat[6] = {};
        SQLINTEGER lNatif = 0;
        SQLWCHAR message[2048] = {};
        SQLSMALLINT lLongueur = 0;
        const SQLRETURN rc = SQLGetDiagRecW(lTypeHandle, handle, i, etat, &lNatif, message,
                                            SQLSMALLINT(sizeof(message) / sizeof(message[0])), &lLongueur);
        if (!SQL_SUCCEEDED(rc))
            break;
        DiagnosticOdbc d;
        d.sEtat = DepuisLarge(etat, 5);
        d.lNatif = int(lNatif);
        const qsizetype lTexte = qMin<qsizetype>(lLongueur, qsizetype(sizeof(message) / sizeof(message[0])) - 1);
        d.sMessage = DepuisLarge(message, lTexte);
        diagnostics << d;
    }
    return diagnostics;
}

bool SessionMorte(SQLHDBC hdbc)
{
    SQLUINTEGER lMorte = SQL_CD_FALSE;
    const SQLRETURN rc = SQLGetConnectAttr(hdbc, SQL_ATTR_CONNECTION_DEAD, &lMorte, 0, nullptr);
    return SQL_SUCCEEDED(rc) && lMorte == SQL_CD_TRUE;
}

bool SignaleLienRompu(const QList<DiagnosticOdbc> &diagnostics)
{
    for (const DiagnosticOdbc &d : diagnostics)
        if (d.sEtat.startsWith(QLatin1String("08")))
            return true;
    return false;
}
