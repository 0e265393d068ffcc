#include "sessionrequete.h"

#include "chaineconnexion.h"
#include "connexion.h"
#include "delais.h"
#include "erreurado.h"
#include "gardeliens.h"
#include "lectureresultats.h"
#include "odbcoutils.h"
#include "sessiondediee.h"

#include <sqlext.h>

namespace {

const QString kEchecConnexion =
    QStringLiteral("Serveur non trouvé ou mot de passe invalide ou aucune base de données.");

// A block goes to the window when it is this full, or when rows waited this long.
constexpr int kLignesParBloc = 16384;
constexpr qint64 kAttenteBlocMs = 40;

} // namespace

SessionRequete::SessionRequete(QObject *parent)
    : QObject(parent), m_interrupteur(std::make_unique<InterrupteurConnexion>())
{
    qRegisterMetaType<BlocPartage>();
    qRegisterMetaType<QVector<ColonneResultat>>();
    qRegisterMetaType<QVector<MessageExecution>>();
    qRegisterMetaType<FinExecution>();
    qRegisterMetaType<ParametresSession>();
    qRegisterMetaType<QVector<Lot>>();
}

SessionRequete::~SessionRequete()
{
    FermeSession();
}

void SessionRequete::Rearme()
{
    m_bAnnule = false;
    m_interrupteur->Rearme();
}

void SessionRequete::Annule()
{
    m_bAnnule = true;
    // A login under way is cut at once: there is no statement to cancel yet.
    m_interrupteur->Interrompt();
    std::lock_guard<std::mutex> verrou(m_verrou);
    if (!m_bEnCours)
        return;
    // A server that does not acknowledge in time has its link cut, which
    // ends the waiting call at once; the time counts from the request.
    if (m_hdbc != SQL_NULL_HDBC && !m_gardeAnnulation)
        m_gardeAnnulation = std::make_unique<GardeAppel>(m_hdbc, QDeadlineTimer(kDelaiAccuseMs));
    if (m_hstmt != SQL_NULL_HSTMT)
        SQLCancel(m_hstmt);
}

bool SessionRequete::Ouvre(const ParametresSession &p)
{
    const bool bAutre = p.sServeur != m_p.sServeur || p.sPWD != m_p.sPWD
        || p.sBase.compare(m_sBaseCourante, Qt::CaseInsensitive) != 0;
    if (m_hdbc != SQL_NULL_HDBC && (bAutre || SessionMorte(m_hdbc))) {
        if (!bAutre)
            m_bAnnoncerNouvelle = true;
        FermeSession();
    }
    if (m_hdbc != SQL_NULL_HDBC)
        return true;
    QVector<MessageExecution> messages;
    if (m_bAnnoncerNouvelle) {
        messages.append({MessageExecution::Info,
                         QStringLiteral("La session précédente a été perdue : une nouvelle session est ouverte."), 0});
        m_bAnnoncerNouvelle = false;
    }
    try {
        const SQLHDBC hdbc = OuvreSessionDediee(
            ChaineConnexion(p.sServeur, p.sBase, p.sPWD, QStringLiteral("Brenlor")), QDeadlineTimer(QDeadlineTimer::Forever),
            m_interrupteur.get());
        std::lock_guard<std::mutex> verrou(m_verrou);
        m_hdbc = hdbc;
    } catch (const ErreurAdo &) {
        // A login the user cancelled is no failure to report.
        if (!m_bAnnule)
            messages.append({MessageExecution::Erreur, kEchecConnexion, 0});
        if (!messages.isEmpty())
            emit MessagesRecus(messages);
        return false;
    }
    m_p = p;
    m_sBaseCourante = p.sBase;
    if (!messages.isEmpty())
        emit MessagesRecus(messages);
    return true;
}

void SessionRequete::FermeSession()
{
    SQLHDBC hdbc = SQL_NULL_HDBC;
    {
        std::lock_guard<std::mutex> verrou(m_verrou);
        m_gardeAnnulation.reset();
        std::swap(hdbc, m_hdbc);
    }
    if (hdbc != SQL_NULL_HDBC)
        FermeSessionDediee(hdbc);
    m_sBaseCourante.clear();
}

void SessionRequete::Ferme()
{
    FermeSession();
}

void SessionRequete::Execute(const QVector<Lot> &lots, const ParametresSession &p, int lLigneDecalage)
{
    FinExecution fin;
    {
        std::lock_guard<std::mutex> verrou(m_verrou);
        m_bEnCours = true;
    }
    if (!m_bAnnule && Ouvre(p)) {
        bool bVivante = true;
        for (const Lot &lot : lots) {
            for (int i = 0; i < lot.lRepetitions && bVivante && !m_bAnnule; ++i) {
                bVivante = ExecuteLot(lot, lot.lLigneDebut + lLigneDecalage, fin);
                if (bVivante)
                    SuitBase();
            }
            if (!bVivante || m_bAnnule)
                break;
        }
        bool bCoupe = false;
        {
            std::lock_guard<std::mutex> verrou(m_verrou);
            bCoupe = m_gardeAnnulation && m_gardeAnnulation->Coupe();
            m_gardeAnnulation.reset();
        }
        if (!bVivante || bCoupe || SessionMorte(m_hdbc)) {
            fin.bSessionPerdue = true;
            m_bAnnoncerNouvelle = true;
        } else {
            fin.lTransactions = Transactions();
        }
    }
    {
        std::lock_guard<std::mutex> verrou(m_verrou);
        m_bEnCours = false;
        m_gardeAnnulation.reset();
    }
    fin.bAnnulee = m_bAnnule;
    emit ExecutionTerminee(fin);
    // Logging a lost session off may wait on its link a while: the window
    // has heard the run end first.
    if (fin.bSessionPerdue)
        FermeSession();
}

bool SessionRequete::ExecuteLot(const Lot &lot, int lLigneDebut, FinExecution &fin)
{
    SQLHSTMT h = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, m_hdbc, &h))) {
        TransmetMessages(SQL_NULL_HSTMT, lLigneDebut);
        return false;
    }
    {
        std::lock_guard<std::mutex> verrou(m_verrou);
        m_hstmt = h;
    }
    // A window of queries waits as long as the script runs: no timeout.
    SQLSetStmtAttr(h, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(0)), 0);
    bool bVivante = true;
    SQLRETURN rc = SQLExecDirectW(h, TexteLarge(lot.sTexte), SQL_NTS);
    // An error is one statement's: the batch goes on, and so do its results,
    // until the driver has nothing more (or fails without saying why).
    for (bool bMuet = false; rc != SQL_NO_DATA && bVivante && !bMuet;) {
        int lMessages = 0;
        bVivante = TransmetMessages(h, lLigneDebut, &lMessages, rc == SQL_ERROR);
        if (rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO) {
            SQLSMALLINT lColonnes = 0;
            SQLNumResultCols(h, &lColonnes);
            if (lColonnes > 0) {
                bVivante = LitJeu(h, lColonnes, lLigneDebut, fin);
            } else {
                SQLLEN lCompte = -1;
                if (SQL_SUCCEEDED(SQLRowCount(h, &lCompte)) && lCompte >= 0)
                    emit MessagesRecus({MessageCompte(lCompte)});
            }
        } else {
            // A failure that says nothing, or a link gone, ends the batch.
            bMuet = lMessages == 0 || SessionMorte(m_hdbc);
        }
        if (m_bAnnule || !bVivante || bMuet)
            break;
        rc = SQLMoreResults(h);
    }
    if (rc == SQL_NO_DATA)
        TransmetMessages(h, lLigneDebut);
    {
        std::lock_guard<std::mutex> verrou(m_verrou);
        m_hstmt = SQL_NULL_HSTMT;
    }
    SQLFreeHandle(SQL_HANDLE_STMT, h);
    return bVivante && !SessionMorte(m_hdbc);
}

void SessionRequete::EnvoieBloc(std::unique_ptr<BlocLignes> &bloc, int lColonnes)
{
    if (bloc->Lignes() > 0) {
        bloc->Compacte();
        emit LignesLues(BlocPartage(bloc.release()));
        bloc = std::make_unique<BlocLignes>(lColonnes);
    }
    m_depuisEnvoi.restart();
}

bool SessionRequete::LitJeu(SQLHSTMT h, int lColonnes, int lLigneDebut, FinExecution &fin)
{
    bool bVivante = true;
    const QVector<ColonneResultat> colonnes = DecritColonnes(h, lColonnes);
    emit JeuCommence(colonnes);
    auto bloc = std::make_unique<BlocLignes>(lColonnes);
    m_depuisEnvoi.start();
    qint64 lLignes = 0;
    while (!m_bAnnule) {
        const SQLRETURN rc = SQLFetch(h);
        if (rc == SQL_NO_DATA)
            break;
        if (rc == SQL_SUCCESS_WITH_INFO || rc == SQL_ERROR) {
            EnvoieBloc(bloc, lColonnes);
            bVivante = TransmetMessages(h, lLigneDebut, nullptr, rc == SQL_ERROR);
        }
        if (!SQL_SUCCEEDED(rc))
            break;
        for (int i = 0; i < lColonnes; ++i) {
            const SQLUSMALLINT c = SQLUSMALLINT(i + 1);
            LitValeur(h, c, colonnes.at(i).genre, *bloc);
        }
        ++lLignes;
        if (bloc->Lignes() >= kLignesParBloc || m_depuisEnvoi.elapsed() >= kAttenteBlocMs)
            EnvoieBloc(bloc, lColonnes);
    }
    EnvoieBloc(bloc, lColonnes);
    fin.lLignes += lLignes;
    // The count of a SELECT, when the server sent one (none under NOCOUNT).
    SQLLEN lCompte = -1;
    if (!m_bAnnule && bVivante && SQL_SUCCEEDED(SQLRowCount(h, &lCompte)) && lCompte >= 0)
        emit MessagesRecus({MessageCompte(lCompte)});
    return bVivante && !SessionMorte(m_hdbc);
}

bool SessionRequete::TransmetMessages(SQLHSTMT h, int lLigneDebut, int *pNombre, bool bEchec)
{
    const QList<MessageServeur> serveur = h != SQL_NULL_HSTMT ? LitMessages(SQL_HANDLE_STMT, h)
                                                              : LitMessages(SQL_HANDLE_DBC, m_hdbc);
    QVector<MessageExecution> messages;
    // FreeTDS reports a lost link at a low severity: a dead session makes its
    // own messages errors.
    bool bLienRompu = !serveur.isEmpty() && SessionMorte(m_hdbc);
    for (const MessageServeur &m : serveur) {
        // The cancel's own "Operation canceled" is not the user's error.
        if (m_bAnnule && m.sEtatSql == QLatin1String("HY008"))
            continue;
        // "Changed database context" and "Changed language setting": the
        // pickers show the first, the second concerns nobody.
        if (m.lNumero == 5701 || m.lNumero == 5703)
            continue;
        bLienRompu = bLienRompu || m.sEtatSql.startsWith(QLatin1String("08"));
        messages << MessagePour(m, lLigneDebut);
        // FreeTDS numbers its own messages from 20000 to 20999 and gives a
        // lost link (20017, "Unexpected EOF from the server") severity 9.
        const bool bDuPilote = m.lNumero >= 20000 && m.lNumero < 21000;
        if (bDuPilote && (bLienRompu || bEchec))
            messages.last() = {MessageExecution::Erreur, m.sTexte, 0};
    }
    if (pNombre)
        *pNombre = int(serveur.size());
    if (!messages.isEmpty())
        emit MessagesRecus(messages);
    return !bLienRompu;
}

void SessionRequete::SuitBase()
{
    SQLWCHAR nom[260] = {};
    SQLINTEGER lLongueur = 0;
    if (!SQL_SUCCEEDED(SQLGetConnectAttrW(m_hdbc, SQL_ATTR_CURRENT_CATALOG, nom, sizeof nom, &lLongueur)))
        return;
    const QString sBase = DepuisLarge(nom, qBound(qsizetype(0), qsizetype(lLongueur) / qsizetype(sizeof(SQLWCHAR)), qsizetype(259)));
    if (!sBase.isEmpty() && sBase != m_sBaseCourante) {
        m_sBaseCourante = sBase;
        emit BaseChangee(sBase);
    }
}

int SessionRequete::Transactions()
{
    SQLHSTMT h = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, m_hdbc, &h)))
        return 0;
    SQLINTEGER lCompte = 0;
    SQLLEN lIndicateur = 0;
    {
        // A short question: a server that stopped answering does not hold the window's run.
        const GardeAppel garde(m_hdbc, QDeadlineTimer(2000));
        if (SQL_SUCCEEDED(SQLExecDirectW(h, TexteLarge(QStringLiteral("SELECT @@TRANCOUNT")), SQL_NTS))
            && SQL_SUCCEEDED(SQLFetch(h)))
            SQLGetData(h, 1, SQL_C_SLONG, &lCompte, sizeof lCompte, &lIndicateur);
        SQLFreeHandle(SQL_HANDLE_STMT, h);
    }
    return int(lCompte);
}

void SessionRequete::TermineTransactions(bool bValide)
{
    if (m_hdbc == SQL_NULL_HDBC)
        return;
    const int lTransactions = Transactions();
    if (lTransactions <= 0)
        return;
    // COMMIT ends one nesting level; ROLLBACK all of them.
    QStringList ordres;
    for (int i = 0; i < (bValide ? lTransactions : 1); ++i)
        ordres << (bValide ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
    SQLHSTMT h = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, m_hdbc, &h)))
        return;
    {
        const GardeAppel garde(m_hdbc, QDeadlineTimer(2000));
        SQLRETURN rc = SQLExecDirectW(h, TexteLarge(ordres.join(QLatin1Char('\n'))), SQL_NTS);
        while (rc != SQL_NO_DATA && SQL_SUCCEEDED(rc))
            rc = SQLMoreResults(h);
        SQLFreeHandle(SQL_HANDLE_STMT, h);
    }
}
