#pragma once
// A tiny ODBC client for the stand-in's own tests: direct wide calls to the
// FreeTDS driver (SQLDriverConnectW, SQLExecDirectW, forward-only cursor), so
// that these tests do not depend on the program's data layer.

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QVector>
#include <sql.h>
#include <sqlext.h>

namespace odbcdirect {

inline const SQLWCHAR *wide(const QString &s)
{
    return reinterpret_cast<const SQLWCHAR *>(s.utf16());
}

/// What one statement gave back.
struct Resultat {
    bool bOk = false;
    QStringList colonnes;
    QVector<SQLSMALLINT> typesSql;
    QVector<QStringList> lignes;   ///< NULL read as "<NULL>"
    SQLLEN lLignesTouchees = -1;   ///< SQLRowCount once the rows are read
    int lNatif = 0;                ///< native error of the first diagnostic
    QString sEtat;                 ///< SQLSTATE of the first diagnostic
    QString sMessage;              ///< all diagnostic messages, one per line
    QVector<int> natifs;           ///< every native error number
    QStringList resultats;         ///< executeLot: one entry per result of the batch
    /// executeLot: results and messages in the order they came, each message as
    /// "!number@line text", each result as in resultats.
    QStringList suite;
};

/// SQL_DIAG_SS_LINE of odbcss.h (SQL_DIAG_SS_BASE - 4): the line of a message, which FreeTDS also gives.
constexpr SQLSMALLINT DiagLigneSqlServer = -1154;

inline void litDiagnostics(SQLSMALLINT type, SQLHANDLE h, Resultat &r)
{
    for (SQLSMALLINT i = 1;; ++i) {
        SQLWCHAR etat[6] = {};
        SQLWCHAR texte[1024] = {};
        SQLINTEGER natif = 0;
        SQLSMALLINT longueur = 0;
        if (!SQL_SUCCEEDED(SQLGetDiagRecW(type, h, i, etat, &natif, texte, 1024, &longueur)))
            break;
        if (r.natifs.isEmpty()) {
            r.lNatif = int(natif);
            r.sEtat = QString::fromUtf16(reinterpret_cast<const char16_t *>(etat));
        }
        r.natifs << int(natif);
        const QString sTexte = QString::fromUtf16(reinterpret_cast<const char16_t *>(texte), longueur);
        r.sMessage += sTexte + QLatin1Char('\n');
        SQLUSMALLINT lLigne = 0;
        SQLGetDiagFieldW(type, h, i, DiagLigneSqlServer, &lLigne, sizeof lLigne, nullptr);
        // The driver's own prefix ("[FreeTDS][SQL Server]") is left out.
        static const QRegularExpression prefixe(QStringLiteral("^(\\[[^\\]]*\\])+"));
        r.suite << QStringLiteral("!%1@%2 %3").arg(natif).arg(lLigne).arg(QString(sTexte).remove(prefixe));
    }
}

/// Returns the FreeTDS connection string for the stand-in on 127.0.0.1.
inline QString chaine(int lPort, const QString &sMotDePasse, const QString &sBase)
{
    return QStringLiteral("DRIVER=/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so;Server=127.0.0.1;Port=%1;"
                          "UID=sa;PWD=%2;Database=%3;TDS_Version=7.4;ClientCharset=UTF-8")
        .arg(lPort)
        .arg(sMotDePasse, sBase);
}

/// One ODBC connection, closed when destroyed.
class Connexion
{
public:
    Connexion()
    {
        SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_env);
        SQLSetEnvAttr(m_env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        SQLAllocHandle(SQL_HANDLE_DBC, m_env, &m_dbc);
    }
    ~Connexion()
    {
        if (m_ouverte)
            SQLDisconnect(m_dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
        SQLFreeHandle(SQL_HANDLE_ENV, m_env);
    }
    Connexion(const Connexion &) = delete;
    Connexion &operator=(const Connexion &) = delete;

    /// Connects; on failure the diagnostics are in the result.
    Resultat ouvre(const QString &sChaine, int lDelaiLogin = 10)
    {
        Resultat r;
        SQLSetConnectAttrW(m_dbc, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(lDelaiLogin)), 0);
        SQLWCHAR sortie[1024];
        SQLSMALLINT longueur = 0;
        const SQLRETURN rc = SQLDriverConnectW(m_dbc, nullptr, const_cast<SQLWCHAR *>(wide(sChaine)), SQL_NTS,
                                               sortie, 1024, &longueur, SQL_DRIVER_NOPROMPT);
        r.bOk = SQL_SUCCEEDED(rc);
        m_ouverte = r.bOk;
        litDiagnostics(SQL_HANDLE_DBC, m_dbc, r);
        return r;
    }

    /// Returns a text that SQLGetInfo gives about the open connection (SQL_DBMS_VER...).
    QString info(SQLUSMALLINT lInfo)
    {
        SQLWCHAR valeur[256] = {};
        SQLSMALLINT lOctets = 0;
        if (!SQL_SUCCEEDED(SQLGetInfoW(m_dbc, lInfo, valeur, sizeof valeur, &lOctets)))
            return QString();
        return QString::fromUtf16(reinterpret_cast<const char16_t *>(valeur), lOctets / 2);
    }

    /// Runs a statement with SQLExecDirectW and reads every row of its first result
    /// (at most lLignesMax rows; the statement is then freed with rows unread).
    Resultat execute(const QString &sSql, int lDelaiSecondes = 0, int lLignesMax = -1)
    {
        return lance(sSql, lDelaiSecondes, lLignesMax, nullptr, SQL_CURSOR_FORWARD_ONLY);
    }

    /// Runs a statement with SQLPrepareW/SQLExecute, with int parameters bound to its markers.
    Resultat executePrepare(const QString &sSql, QVector<SQLINTEGER> parametres)
    {
        return lance(sSql, 0, -1, &parametres, SQL_CURSOR_FORWARD_ONLY);
    }

    /// Runs a statement under another cursor type (the stand-in refuses server cursors).
    Resultat executeCurseur(const QString &sSql, SQLULEN lCurseur)
    {
        return lance(sSql, 0, -1, nullptr, lCurseur);
    }

    /// Runs a batch and walks all its results with SQLMoreResults: each result
    /// with columns gives its first column's values joined by commas, each row
    /// count "#n". An error clears bOk; the walk goes on after it, as the
    /// statements after an error that does not end the batch still run.
    Resultat executeLot(const QString &sSql)
    {
        Resultat r;
        SQLHSTMT st = SQL_NULL_HSTMT;
        SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &st);
        SQLRETURN rc = SQLExecDirectW(st, const_cast<SQLWCHAR *>(wide(sSql)), SQL_NTS);
        r.bOk = true;
        for (int lTours = 0; rc != SQL_NO_DATA && lTours < 100; ++lTours) {
            if (rc == SQL_SUCCESS_WITH_INFO || rc == SQL_ERROR)
                litDiagnostics(SQL_HANDLE_STMT, st, r);
            if (!SQL_SUCCEEDED(rc)) {
                r.bOk = false;
                rc = SQLMoreResults(st);
                continue;
            }
            SQLSMALLINT lColonnes = 0;
            SQLNumResultCols(st, &lColonnes);
            QStringList valeurs;
            while (lColonnes > 0 && SQL_SUCCEEDED(SQLFetch(st))) {
                SQLWCHAR valeur[256] = {};
                SQLLEN indicateur = 0;
                SQLGetData(st, 1, SQL_C_WCHAR, valeur, sizeof valeur, &indicateur);
                valeurs << QString::fromUtf16(reinterpret_cast<const char16_t *>(valeur));
            }
            SQLLEN lLignes = -1;
            SQLRowCount(st, &lLignes);
            r.resultats << (lColonnes > 0 ? valeurs.join(QLatin1Char(',')) : QStringLiteral("#%1").arg(lLignes));
            r.suite << r.resultats.last();
            rc = SQLMoreResults(st);
        }
        SQLFreeHandle(SQL_HANDLE_STMT, st);
        return r;
    }

    /// Runs a statement and returns the first column of its first row whole,
    /// read by SQLGetData in pieces as long values are; "<NULL>" for NULL.
    QString valeurEntiere(const QString &sSql)
    {
        SQLHSTMT st = SQL_NULL_HSTMT;
        SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &st);
        QString sValeur = QStringLiteral("<error>");
        if (SQL_SUCCEEDED(SQLExecDirectW(st, const_cast<SQLWCHAR *>(wide(sSql)), SQL_NTS))
            && SQL_SUCCEEDED(SQLFetch(st))) {
            sValeur.clear();
            SQLWCHAR morceau[1024];
            SQLLEN indicateur = 0;
            SQLRETURN rc;
            while (SQL_SUCCEEDED(rc = SQLGetData(st, 1, SQL_C_WCHAR, morceau, sizeof morceau, &indicateur))) {
                if (indicateur == SQL_NULL_DATA)
                    return SQLFreeHandle(SQL_HANDLE_STMT, st), QStringLiteral("<NULL>");
                sValeur += QString::fromUtf16(reinterpret_cast<const char16_t *>(morceau));
            }
        }
        SQLFreeHandle(SQL_HANDLE_STMT, st);
        return sValeur;
    }

private:
    Resultat lance(const QString &sSql, int lDelaiSecondes, int lLignesMax, QVector<SQLINTEGER> *parametres,
                   SQLULEN lCurseur)
    {
        Resultat r;
        SQLHSTMT st = SQL_NULL_HSTMT;
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &st))) {
            litDiagnostics(SQL_HANDLE_DBC, m_dbc, r);
            return r;
        }
        SQLSetStmtAttrW(st, SQL_ATTR_CURSOR_TYPE, reinterpret_cast<SQLPOINTER>(lCurseur), 0);
        if (lCurseur != SQL_CURSOR_FORWARD_ONLY)
            SQLSetStmtAttrW(st, SQL_ATTR_CONCURRENCY, reinterpret_cast<SQLPOINTER>(SQL_CONCUR_READ_ONLY), 0);
        SQLSetStmtAttrW(st, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(lDelaiSecondes)), 0);
        SQLRETURN rc;
        if (parametres) {
            rc = SQLPrepareW(st, const_cast<SQLWCHAR *>(wide(sSql)), SQL_NTS);
            for (int i = 0; SQL_SUCCEEDED(rc) && i < parametres->size(); ++i)
                rc = SQLBindParameter(st, SQLUSMALLINT(i + 1), SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0,
                                      &(*parametres)[i], 0, nullptr);
            if (SQL_SUCCEEDED(rc))
                rc = SQLExecute(st);
        } else {
            rc = SQLExecDirectW(st, const_cast<SQLWCHAR *>(wide(sSql)), SQL_NTS);
        }
        r.bOk = SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA;
        if (rc == SQL_SUCCESS_WITH_INFO)
            litDiagnostics(SQL_HANDLE_STMT, st, r);
        if (!r.bOk) {
            litDiagnostics(SQL_HANDLE_STMT, st, r);
            SQLFreeHandle(SQL_HANDLE_STMT, st);
            return r;
        }
        SQLSMALLINT lColonnes = 0;
        SQLNumResultCols(st, &lColonnes);
        for (SQLSMALLINT c = 1; c <= lColonnes; ++c) {
            SQLWCHAR nom[256] = {};
            SQLSMALLINT lNom = 0, type = 0, decimales = 0, nullable = 0;
            SQLULEN taille = 0;
            SQLDescribeColW(st, c, nom, 256, &lNom, &type, &taille, &decimales, &nullable);
            r.colonnes << QString::fromUtf16(reinterpret_cast<const char16_t *>(nom), lNom);
            r.typesSql << type;
        }
        while (lColonnes > 0 && (lLignesMax < 0 || r.lignes.size() < lLignesMax)) {
            rc = SQLFetch(st);
            if (rc == SQL_NO_DATA)
                break;
            if (!SQL_SUCCEEDED(rc)) {
                r.bOk = false;
                litDiagnostics(SQL_HANDLE_STMT, st, r);
                break;
            }
            QStringList ligne;
            for (SQLSMALLINT c = 1; c <= lColonnes; ++c) {
                SQLWCHAR valeur[4096] = {};
                SQLLEN indicateur = 0;
                SQLGetData(st, c, SQL_C_WCHAR, valeur, sizeof valeur, &indicateur);
                ligne << (indicateur == SQL_NULL_DATA
                              ? QStringLiteral("<NULL>")
                              : QString::fromUtf16(reinterpret_cast<const char16_t *>(valeur)));
            }
            r.lignes << ligne;
        }
        // A result's count arrives with its end, so it is read once the rows are.
        SQLRowCount(st, &r.lLignesTouchees);
        SQLFreeHandle(SQL_HANDLE_STMT, st);
        return r;
    }

    SQLHENV m_env = SQL_NULL_HENV;
    SQLHDBC m_dbc = SQL_NULL_HDBC;
    bool m_ouverte = false;
};

/// The first column of every row.
inline QStringList premiereColonne(const Resultat &r)
{
    QStringList l;
    for (const QStringList &ligne : r.lignes)
        l << ligne.value(0);
    return l;
}

} // namespace odbcdirect
