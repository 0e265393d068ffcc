#include "connexion.h"

#include "chaineconnexion.h"
#include "codeserreurs.h"
#include "configfreetds.h"
#include "connexionimpl.h"
#include "odbcchaine.h"
#include "odbcpilote.h"
#include "poolconnexions.h"
#include "sessiondediee.h"
#include "sourcedonnees.h"

#include <atomic>

namespace {

std::atomic<int> g_delaiConnexionS{15};
std::atomic<int> g_delaiCommandeS{30};

// A named instance is looked up before the login; the wait is kept short so
// that a server without a browser service fails fast.
constexpr int kDelaiSsrpMs = 1000;

QString ClePool(const QString &sChaine, const QString &sUtilisateur, const QString &sMotDePasse)
{
    return sChaine + QChar(0) + sUtilisateur + QChar(0) + sMotDePasse;
}

ErreurAdo ErreurDelaiConnexion()
{
    return ErreurAdo(CodesErreurs::EchecNonSpecifie, QStringLiteral("Login timeout expired"));
}

// The driver's connection string and the TCP port it logs in to (0 when a
// FreeTDS configuration section names the server).
struct CibleOdbc {
    QString sChaine;
    int lPort = 0;
};

CibleOdbc CibleOdbcPour(const ParametresConnexion &p, const QDeadlineTimer &limite)
{
    const CibleServeur cible = AnalyseSourceDonnees(p.sSource, NomMachineLocale(), SectionsFreeTds());
    const int lDelaiSsrp = limite.isForever() ? kDelaiSsrpMs
                                              : int(qBound<qint64>(0, limite.remainingTime(), qint64(kDelaiSsrpMs)));
    const CibleServeur resolue = ResoutInstance(cible, PortSsrp(), lDelaiSsrp);
    return {ChaineOdbc(PiloteOdbc(), resolue, p), resolue.sSection.isEmpty() ? resolue.lPort : 0};
}

// The driver counts the login timeout in whole seconds and, whatever it
// does on the way, the login's link is cut off at the deadline.
SQLHDBC NouvelleSession(const CibleOdbc &cible, const QDeadlineTimer &limite,
                        InterrupteurConnexion *pInterrupteur = nullptr)
{
    if (limite.hasExpired())
        throw ErreurDelaiConnexion();
    SQLHENV henv = EnvironnementOdbc();
    if (henv == SQL_NULL_HENV)
        throw ErreurInterne(CodesErreurs::FournisseurIntrouvable);
    SQLHDBC hdbc = SQL_NULL_HDBC;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, henv, &hdbc)))
        throw ErreurOdbc(LitDiagnostics(SQL_HANDLE_ENV, henv), PhaseOdbc::Connexion);
    const int lDelaiS = Connexion::LoginTimeout();
    SQLSetConnectAttr(hdbc, SQL_ATTR_LOGIN_TIMEOUT,
                      reinterpret_cast<SQLPOINTER>(SQLULEN(DelaiPiloteS(lDelaiS, limite, true))), 0);
    const QVector<LienTcp> avant = LiensTcpOuverts(cible.lPort);
    SQLRETURN rc = SQL_ERROR;
    bool bCoupe = false;
    {
        const qint64 lDelaiMs = lDelaiS > 0 ? lDelaiS * 1000LL + kDelaiAccuseMs : 0;
        GardeAppel garde(avant, cible.lPort, EcheanceBornee(lDelaiMs, limite));
        if (pInterrupteur)
            pInterrupteur->Inscrit(&garde);
        rc = SQLDriverConnectW(hdbc, nullptr, TexteLarge(cible.sChaine), SQL_NTS, nullptr, 0, nullptr,
                               SQL_DRIVER_NOPROMPT);
        if (pInterrupteur)
            pInterrupteur->Inscrit(nullptr);
        bCoupe = garde.Coupe();
    }
    if (bCoupe || !SQL_SUCCEEDED(rc)) {
        const QList<DiagnosticOdbc> diagnostics = LitDiagnostics(SQL_HANDLE_DBC, hdbc);
        if (SQL_SUCCEEDED(rc))
            SQLDisconnect(hdbc);
        SQLFreeHandle(SQL_HANDLE_DBC, hdbc);
        if (bCoupe)
            throw ErreurDelaiConnexion();
        throw ErreurOdbc(diagnostics, PhaseOdbc::Connexion);
    }
    GardeLiens::Note(hdbc, avant, cible.lPort);
    return hdbc;
}

} // namespace

void Connexion::Impl::LibereCurseurActif()
{
    Recordset::Impl *pActif = pCurseurActif;
    if (!pActif)
        return;
    try {
        pActif->ChargeTout();
    } catch (const ErreurAdo &) {
        // The rows read so far stay; the failure is the old recordset's, not
        // the new statement's.
    }
    pActif->FermeCurseur();
}

void Connexion::Impl::NoteDiagnostics(const QList<DiagnosticOdbc> &diagnostics)
{
    if (SignaleLienRompu(diagnostics))
        bLienRompu = true;
}

QDeadlineTimer Connexion::Impl::EcheanceCommande() const
{
    const int lDelaiS = Connexion::CommandTimeout();
    return EcheanceBornee(lDelaiS > 0 ? lDelaiS * 1000LL + kDelaiAccuseMs : 0, echeance);
}

ErreurAdo Connexion::Impl::ErreurCommande(const QList<DiagnosticOdbc> &diagnostics)
{
    NoteDiagnostics(diagnostics);
    if (bAppelCoupe)
        return ErreurInterne(CodesErreurs::DelaiDepasse);
    return ErreurOdbc(diagnostics, PhaseOdbc::Commande);
}

QString Connexion::Impl::CatalogueCourant() const
{
    SQLWCHAR nom[260] = {};
    SQLINTEGER lLongueur = 0;
    const SQLRETURN rc = SQLGetConnectAttrW(hdbc, SQL_ATTR_CURRENT_CATALOG, nom, sizeof(nom), &lLongueur);
    if (!SQL_SUCCEEDED(rc))
        return QString();
    const qsizetype lCaracteres = qMin<qsizetype>(lLongueur / qsizetype(sizeof(SQLWCHAR)), 259);
    return DepuisLarge(nom, lCaracteres);
}

Connexion::Connexion() : d(std::make_unique<Impl>()) {}

Connexion::~Connexion()
{
    if (State() == 1) {
        try {
            Close();
        } catch (const ErreurAdo &) {
        }
    }
}

int Connexion::State() const
{
    return d->EstOuverte() ? 1 : 0;
}

void Connexion::Open(const QString &sConnectionString, const QString &sUserID, const QString &sPassword,
                     int lOptions)
{
    Q_UNUSED(lOptions); // only synchronous opening exists here
    if (d->EstOuverte())
        throw ErreurInterne(CodesErreurs::ObjetOuvert);
    ParametresConnexion p = AnalyseChaineConnexion(sConnectionString);
    if (!sUserID.isEmpty())
        p.sUtilisateur = sUserID;
    if (!sPassword.isEmpty())
        p.sMotDePasse = sPassword;

    const QString sCle = ClePool(sConnectionString, sUserID, sPassword);
    SQLHDBC hdbc = PoolConnexions::Prend(sCle, d->echeance);
    if (hdbc == SQL_NULL_HDBC)
        hdbc = NouvelleSession(CibleOdbcPour(p, d->echeance), d->echeance);
    d->hdbc = hdbc;
    d->sClePool = sCle;
    d->bLienRompu = false;
    d->bAppelCoupe = false;
    d->bReglagesModifies = false;
    d->sCatalogueInitial = d->CatalogueCourant();
}

void Connexion::Close()
{
    if (!d->EstOuverte())
        throw ErreurInterne(CodesErreurs::ObjetFerme);
    const QList<Recordset::Impl *> recordsets = d->recordsets;
    for (Recordset::Impl *r : recordsets)
        r->Ferme();
    d->recordsets.clear();
    d->pCurseurActif = nullptr;

    // A session whose user switched databases or changed its options would
    // hand the next caller another catalogue, or other answers, than its
    // connection string promises: log it off.
    const bool bReutilisable = PoolConnexions::EstActif() && !SessionMorte(d->hdbc) && !d->bLienRompu
        && !d->bReglagesModifies && d->CatalogueCourant() == d->sCatalogueInitial;
    if (bReutilisable)
        PoolConnexions::Rend(d->sClePool, d->hdbc);
    else
        PoolConnexions::Deconnecte(d->hdbc);
    d->hdbc = SQL_NULL_HDBC;
    d->sClePool.clear();
}

void Connexion::SetEcheance(const QDeadlineTimer &echeance)
{
    d->echeance = echeance;
}

QDeadlineTimer Connexion::Echeance() const
{
    return d->echeance;
}

void Connexion::SetLoginTimeoutForTests(int seconds)
{
    g_delaiConnexionS.store(seconds);
}

void Connexion::SetCommandTimeoutForTests(int seconds)
{
    g_delaiCommandeS.store(seconds);
}

int Connexion::LoginTimeout()
{
    return g_delaiConnexionS.load();
}

int Connexion::CommandTimeout()
{
    return g_delaiCommandeS.load();
}

SQLHDBC OuvreSessionDediee(const QString &sConnectionString, const QDeadlineTimer &limite,
                           InterrupteurConnexion *pInterrupteur)
{
    const ParametresConnexion p = AnalyseChaineConnexion(sConnectionString);
    return NouvelleSession(CibleOdbcPour(p, limite), limite, pInterrupteur);
}

void FermeSessionDediee(SQLHDBC hdbc)
{
    PoolConnexions::Deconnecte(hdbc);
}
