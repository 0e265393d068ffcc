#include "connexion.h"

#include "chaineconnexion.h"
#include "codeserreurs.h"
#include "configfreetds.h"
#include "connexionimpl.h"
#include "odbcchaine.h"
#include "odbcpilote.h"
#include "poolconnexions.h"
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

SQLHDBC NouvelleSession(const QString &sChaineOdbc)
{
    SQLHENV henv = EnvironnementOdbc();
    if (henv == SQL_NULL_HENV)
        throw ErreurInterne(CodesErreurs::FournisseurIntrouvable);
    SQLHDBC hdbc = SQL_NULL_HDBC;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, henv, &hdbc)))
        throw ErreurOdbc(LitDiagnostics(SQL_HANDLE_ENV, henv), PhaseOdbc::Connexion);
    SQLSetConnectAttr(hdbc, SQL_ATTR_LOGIN_TIMEOUT,
                      reinterpret_cast<SQLPOINTER>(SQLULEN(Connexion::LoginTimeout())), 0);
    const SQLRETURN rc = SQLDriverConnectW(hdbc, nullptr, TexteLarge(sChaineOdbc), SQL_NTS, nullptr, 0,
                                           nullptr, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        const QList<DiagnosticOdbc> diagnostics = LitDiagnostics(SQL_HANDLE_DBC, hdbc);
        SQLFreeHandle(SQL_HANDLE_DBC, hdbc);
        throw ErreurOdbc(diagnostics, PhaseOdbc::Connexion);
    }
    return hdbc;
}

QString ChaineOdbcPour(const ParametresConnexion &p)
{
    const CibleServeur cible = AnalyseSourceDonnees(p.sSource, NomMachineLocale(), SectionsFreeTds());
    return ChaineOdbc(PiloteOdbc(), ResoutInstance(cible, PortSsrp(), kDelaiSsrpMs), p);
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
    SQLHDBC hdbc = PoolConnexions::Prend(sCle);
    if (hdbc == SQL_NULL_HDBC)
        hdbc = NouvelleSession(ChaineOdbcPour(p));
    d->hdbc = hdbc;
    d->sClePool = sCle;
    d->bLienRompu = false;
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
