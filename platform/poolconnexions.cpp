#include "poolconnexions.h"

#include "delais.h"
#include "gardeliens.h"
#include "odbcoutils.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <mutex>
#include <vector>

namespace {

constexpr int kDelaiInactiviteMs = 60000;
constexpr size_t kTailleMax = 8;

// One round trip that proves the session alive and tells whether the last
// user left a transaction open (such a session is not handed out again: the
// next user would inherit its locks).
const QString kRequeteVivacite = QStringLiteral("SELECT @@TRANCOUNT");
// Whatever the command timeout, a pooled session answers that within this
// time or is dropped for a fresh login: a hung or overloaded server would
// otherwise cost the full timeout, and as long again for the cancel.
constexpr int kDelaiVivaciteMs = 900;

struct SessionEnAttente {
    QString sCle;
    SQLHDBC hdbc = SQL_NULL_HDBC;
    QElapsedTimer inactive;
};

std::mutex g_verrou;
std::vector<SessionEnAttente> g_sessions;
std::atomic<int> g_delaiInactiviteMs{kDelaiInactiviteMs};
std::atomic<bool> g_actif{true};

// Returns false when the session cannot serve again.
bool EstReutilisable(SQLHDBC hdbc, const QDeadlineTimer &limite)
{
    if (SessionMorte(hdbc))
        return false;
    SQLHSTMT hstmt = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, hdbc, &hstmt)))
        return false;
    // The driver's own timeout (whole seconds) is only a fallback for a
    // session whose link is not watched.
    SQLSetStmtAttr(hstmt, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(1)), 0);
    const GardeAppel garde(hdbc, EcheanceBornee(kDelaiVivaciteMs, limite));
    bool bReutilisable = true;
    const SQLRETURN rc = SQLExecDirectW(hstmt, TexteLarge(kRequeteVivacite), SQL_NTS);
    if (!SQL_SUCCEEDED(rc)) {
        // A server that does not know the query still answered: only a
        // broken link or a timeout condemns the session.
        const QList<DiagnosticOdbc> diagnostics = LitDiagnostics(SQL_HANDLE_STMT, hstmt);
        bReutilisable = !SignaleLienRompu(diagnostics);
        for (const DiagnosticOdbc &d : diagnostics)
            if (d.sEtat.startsWith(QLatin1String("HYT")))
                bReutilisable = false;
    } else if (SQL_SUCCEEDED(SQLFetch(hstmt))) {
        SQLINTEGER lTransactions = 0;
        SQLLEN lIndicateur = 0;
        if (SQL_SUCCEEDED(SQLGetData(hstmt, 1, SQL_C_SLONG, &lTransactions, 0, &lIndicateur))
            && lIndicateur != SQL_NULL_DATA && lTransactions > 0)
            bReutilisable = false;
    }
    SQLFreeHandle(SQL_HANDLE_STMT, hstmt);
    return bReutilisable && !garde.Coupe() && !SessionMorte(hdbc);
}

void FermeInactivesVerrouille(std::vector<SQLHDBC> &aFermer)
{
    const int lDelai = g_delaiInactiviteMs.load();
    for (auto it = g_sessions.begin(); it != g_sessions.end();) {
        if (it->inactive.elapsed() > lDelai) {
            aFermer.push_back(it->hdbc);
            it = g_sessions.erase(it);
        } else {
            ++it;
        }
    }
}

void DeconnecteTout(const std::vector<SQLHDBC> &sessions)
{
    for (SQLHDBC hdbc : sessions)
        PoolConnexions::Deconnecte(hdbc);
}

// Without an event loop nobody would close idle sessions until the next
// Open or Close; with one, a timer does it on time.
void ArmeMinuterie()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return;
    static QPointer<QTimer> minuterie;
    if (!minuterie) {
        minuterie = new QTimer(app);
        minuterie->setSingleShot(true);
        QObject::connect(minuterie, &QTimer::timeout, app, [] {
            PoolConnexions::FermeInactives();
            ArmeMinuterie();
        });
    }
    if (PoolConnexions::Taille() == 0)
        return;
    const int lDelai = g_delaiInactiviteMs.load() + 100;
    if (!minuterie->isActive() || minuterie->remainingTime() > lDelai)
        minuterie->start(lDelai);
}

} // namespace

namespace PoolConnexions {

SQLHDBC Prend(const QString &sCle, const QDeadlineTimer &limite)
{
    FermeInactives();
    if (!EstActif() || limite.hasExpired())
        return SQL_NULL_HDBC;
    for (;;) {
        SQLHDBC hdbc = SQL_NULL_HDBC;
        {
            std::lock_guard<std::mutex> verrou(g_verrou);
            for (auto it = g_sessions.rbegin(); it != g_sessions.rend(); ++it) {
                if (it->sCle == sCle) {
                    hdbc = it->hdbc;
                    g_sessions.erase(std::next(it).base());
                    break;
                }
            }
        }
        if (hdbc == SQL_NULL_HDBC)
            return SQL_NULL_HDBC;
        if (EstReutilisable(hdbc, limite))
            return hdbc;
        Deconnecte(hdbc);
    }
}

void Rend(const QString &sCle, SQLHDBC hdbc)
{
    std::vector<SQLHDBC> aFermer;
    {
        std::lock_guard<std::mutex> verrou(g_verrou);
        FermeInactivesVerrouille(aFermer);
        SessionEnAttente session;
        session.sCle = sCle;
        session.hdbc = hdbc;
        session.inactive.start();
        g_sessions.push_back(session);
        while (g_sessions.size() > kTailleMax) {
            aFermer.push_back(g_sessions.front().hdbc);
            g_sessions.erase(g_sessions.begin());
        }
    }
    DeconnecteTout(aFermer);
    ArmeMinuterie();
}

void FermeInactives()
{
    std::vector<SQLHDBC> aFermer;
    {
        std::lock_guard<std::mutex> verrou(g_verrou);
        FermeInactivesVerrouille(aFermer);
    }
    DeconnecteTout(aFermer);
}

void Vide()
{
    std::vector<SQLHDBC> aFermer;
    {
        std::lock_guard<std::mutex> verrou(g_verrou);
        for (const SessionEnAttente &s : g_sessions)
            aFermer.push_back(s.hdbc);
        g_sessions.clear();
    }
    DeconnecteTout(aFermer);
}

int Taille()
{
    std::lock_guard<std::mutex> verrou(g_verrou);
    return int(g_sessions.size());
}

bool EstActif()
{
    return g_actif.load();
}

void SetActif(bool bActif)
{
    g_actif.store(bActif);
}

void SetDelaiInactivitePourTests(int lMillisecondes)
{
    g_delaiInactiviteMs.store(lMillisecondes);
}

void Deconnecte(SQLHDBC hdbc)
{
    if (hdbc == SQL_NULL_HDBC)
        return;
    {
        const GardeAppel garde(hdbc, QDeadlineTimer(kDelaiAccuseMs));
        SQLDisconnect(hdbc);
    }
    GardeLiens::Oublie(hdbc);
    SQLFreeHandle(SQL_HANDLE_DBC, hdbc);
}

} // namespace PoolConnexions
