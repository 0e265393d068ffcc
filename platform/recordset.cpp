#include "connexion.h"

#include "codeserreurs.h"
#include "connexionimpl.h"
#include "reglagessession.h"

#include <limits>

namespace {

constexpr int kAdAffectCurrent = 1;
constexpr int kAdAffectAllChapters = 4;
constexpr long kAdPosUnknown = -1;
constexpr long kAdPosBof = -2;
constexpr long kAdPosEof = -3;

constexpr SQLLEN kCaracteresTampon = 2048;

[[noreturn]] void LeveDiagnostics(Connexion::Impl *pConnexion, SQLSMALLINT lType, SQLHANDLE handle)
{
    const QList<DiagnosticOdbc> diagnostics = LitDiagnostics(lType, handle);
    if (pConnexion)
        throw pConnexion->ErreurCommande(diagnostics);
    throw ErreurOdbc(diagnostics, PhaseOdbc::Commande);
}

QStringList LitNomsColonnes(SQLHSTMT hstmt, SQLSMALLINT lColonnes)
{
    QStringList noms;
    for (SQLUSMALLINT i = 1; i <= SQLUSMALLINT(lColonnes); ++i) {
        SQLWCHAR nom[512] = {};
        SQLSMALLINT lLongueur = 0;
        SQLSMALLINT lType = 0;
        SQLULEN lTaille = 0;
        SQLSMALLINT lDecimales = 0;
        SQLSMALLINT lNullable = 0;
        SQLDescribeColW(hstmt, i, nom, SQLSMALLINT(sizeof(nom) / sizeof(nom[0])), &lLongueur, &lType, &lTaille,
                        &lDecimales, &lNullable);
        noms << DepuisLarge(nom, qMin<qsizetype>(lLongueur, 511));
    }
    return noms;
}

// Returns the column's text for the current row (a null string for NULL),
// reading long values in pieces; throws on failure.
QString LitValeur(Connexion::Impl *pConnexion, SQLHSTMT hstmt, SQLUSMALLINT lColonne)
{
    QString sValeur;
    SQLWCHAR tampon[kCaracteresTampon];
    for (;;) {
        SQLLEN lIndicateur = 0;
        const SQLRETURN rc = SQLGetData(hstmt, lColonne, SQL_C_WCHAR, tampon, sizeof(tampon), &lIndicateur);
        if (rc == SQL_NO_DATA)
            return sValeur;
        if (!SQL_SUCCEEDED(rc))
            LeveDiagnostics(pConnexion, SQL_HANDLE_STMT, hstmt);
        if (lIndicateur == SQL_NULL_DATA)
            return QString();
        const bool bTronque = lIndicateur == SQL_NO_TOTAL
            || lIndicateur >= SQLLEN(sizeof(tampon)) - SQLLEN(sizeof(SQLWCHAR));
        if (rc == SQL_SUCCESS_WITH_INFO && bTronque) {
            sValeur += DepuisLarge(tampon, kCaracteresTampon - 1);
            continue;
        }
        sValeur += DepuisLarge(tampon, lIndicateur / SQLLEN(sizeof(SQLWCHAR)));
        return sValeur;
    }
}

} // namespace

void Recordset::Impl::LitLigneCourante()
{
    // SQLGetData per value: binding the columns (SQLBindCol) makes FreeTDS's
    // SQLFetch dozens of times slower per row on wide text columns.
    for (int i = 0; i < colonnes.size(); ++i)
        valeurs << LitValeur(pConnexion, hstmt, SQLUSMALLINT(i + 1));
}

bool Recordset::Impl::ChargeJusqua(long lIndex)
{
    while (lIndex >= lLignes && !bFin) {
        const SQLHSTMT h = hstmt;
        const SQLRETURN rc = pConnexion ? pConnexion->Attend(pConnexion->EcheanceCommande(), [h] { return SQLFetch(h); })
                                        : SQLFetch(h);
        if (rc == SQL_NO_DATA) {
            bFin = true;
            FermeCurseur();
            break;
        }
        if (!SQL_SUCCEEDED(rc)) {
            bFin = true;
            const QList<DiagnosticOdbc> diagnostics = LitDiagnostics(SQL_HANDLE_STMT, hstmt);
            const ErreurAdo erreur = pConnexion ? pConnexion->ErreurCommande(diagnostics)
                                                : ErreurOdbc(diagnostics, PhaseOdbc::Commande);
            FermeCurseur();
            throw erreur;
        }
        const qsizetype lAvant = valeurs.size();
        try {
            LitLigneCourante();
        } catch (const ErreurAdo &) {
            valeurs.resize(lAvant);
            bFin = true;
            FermeCurseur();
            throw;
        }
        ++lLignes;
    }
    return lIndex >= 0 && lIndex < lLignes;
}

void Recordset::Impl::ChargeTout()
{
    ChargeJusqua(std::numeric_limits<int>::max());
}

void Recordset::Impl::FermeCurseur()
{
    if (hstmt != SQL_NULL_HSTMT) {
        // Freeing a statement with unread rows cancels the rest on the server,
        // which a hung server never acknowledges.
        const SQLHSTMT h = hstmt;
        if (pConnexion)
            pConnexion->Attend(pConnexion->EcheanceFermeture(), [h] { return SQLFreeHandle(SQL_HANDLE_STMT, h); });
        else
            SQLFreeHandle(SQL_HANDLE_STMT, h);
        hstmt = SQL_NULL_HSTMT;
    }
    bFin = true;
    if (pConnexion && pConnexion->pCurseurActif == this)
        pConnexion->pCurseurActif = nullptr;
}

void Recordset::Impl::Ferme()
{
    FermeCurseur();
    if (pConnexion)
        pConnexion->recordsets.removeAll(this);
    pConnexion = nullptr;
    colonnes.clear();
    valeurs.clear();
    lLignes = 0;
    bOuvert = false;
    lPosition = 0;
}

void Recordset::Impl::Execute(const QString &sTexte, Connexion::Impl *cn)
{
    cn->LibereCurseurActif();
    if (ChangeLesReglages(sTexte))
        cn->bReglagesModifies = true;
    if (cn->echeance.hasExpired())
        throw ErreurInterne(CodesErreurs::DelaiDepasse);

    SQLHSTMT h = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, cn->hdbc, &h)))
        LeveDiagnostics(cn, SQL_HANDLE_DBC, cn->hdbc);
    SQLSetStmtAttr(h, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(cn->DelaiCommandePilote())), 0);
    const SQLRETURN rc =
        cn->Attend(cn->EcheanceCommande(), [&] { return SQLExecDirectW(h, TexteLarge(sTexte), SQL_NTS); });
    SQLSMALLINT lColonnes = 0;
    if (rc != SQL_NO_DATA && !SQL_SUCCEEDED(rc)) {
        const ErreurAdo erreur = cn->ErreurCommande(LitDiagnostics(SQL_HANDLE_STMT, h));
        cn->Attend(cn->EcheanceFermeture(), [h] { return SQLFreeHandle(SQL_HANDLE_STMT, h); });
        throw erreur;
    }
    if (rc != SQL_NO_DATA)
        SQLNumResultCols(h, &lColonnes);
    if (lColonnes <= 0) {
        // A statement without rows leaves the recordset closed.
        cn->Attend(cn->EcheanceFermeture(), [h] { return SQLFreeHandle(SQL_HANDLE_STMT, h); });
        return;
    }

    pConnexion = cn;
    hstmt = h;
    sSource = sTexte;
    colonnes = LitNomsColonnes(h, lColonnes);
    valeurs.clear();
    lLignes = 0;
    bFin = false;
    lPosition = 0;
    bOuvert = true;
    cn->recordsets << this;
    cn->pCurseurActif = this;
    try {
        ChargeJusqua(0);
    } catch (const ErreurAdo &) {
        Ferme();
        throw;
    }
}

Recordset::Recordset() : d(std::make_unique<Impl>()) {}

Recordset::~Recordset()
{
    d->Ferme();
}

void Recordset::Open(const QString &sSource, Connexion *pActiveConnection, int lCursorType, int lLockType,
                     int lOptions)
{
    // Every cursor and lock type gets the same read-only snapshot that can
    // move both ways; only a command text is understood as the source.
    Q_UNUSED(lCursorType);
    Q_UNUSED(lLockType);
    Q_UNUSED(lOptions);
    if (d->bOuvert)
        throw ErreurInterne(CodesErreurs::ObjetOuvert);
    if (!pActiveConnection || pActiveConnection->State() != 1)
        throw ErreurInterne(CodesErreurs::ConnexionInutilisable);
    if (sSource.trimmed().isEmpty())
        throw ErreurInterne(CodesErreurs::CommandeNonDefinie);

    d->Execute(sSource, pActiveConnection->impl());
}

int Recordset::State() const
{
    return d->bOuvert ? 1 : 0;
}

static void ExigeOuvert(const Recordset::Impl &r)
{
    if (!r.bOuvert)
        throw ErreurInterne(CodesErreurs::ObjetFerme);
}

bool Recordset::Eof()
{
    ExigeOuvert(*d);
    if (d->lPosition < 0)
        return !d->ChargeJusqua(0);
    return !d->ChargeJusqua(d->lPosition);
}

bool Recordset::Bof()
{
    ExigeOuvert(*d);
    return d->lPosition < 0 || !d->ChargeJusqua(0);
}

void Recordset::MoveNext()
{
    ExigeOuvert(*d);
    if (Eof())
        throw ErreurInterne(CodesErreurs::PasDEnregistrementCourant);
    ++d->lPosition;
    try {
        d->ChargeJusqua(d->lPosition);
    } catch (const ErreurAdo &) {
        d->lPosition = d->lLignes;
        throw;
    }
}

void Recordset::MovePrevious()
{
    ExigeOuvert(*d);
    if (Bof())
        throw ErreurInterne(CodesErreurs::PasDEnregistrementCourant);
    d->lPosition = qMin<long>(d->lPosition, d->lLignes) - 1;
}

void Recordset::MoveFirst()
{
    ExigeOuvert(*d);
    if (!d->ChargeJusqua(0))
        throw ErreurInterne(CodesErreurs::PasDEnregistrementCourant);
    d->lPosition = 0;
}

void Recordset::MoveLast()
{
    ExigeOuvert(*d);
    d->ChargeTout();
    if (d->lLignes == 0)
        throw ErreurInterne(CodesErreurs::PasDEnregistrementCourant);
    d->lPosition = d->lLignes - 1;
}

QString Recordset::Fields(int lIndex)
{
    ExigeOuvert(*d);
    if (lIndex < 0 || lIndex >= d->colonnes.size())
        throw ErreurInterne(CodesErreurs::ElementIntrouvable);
    if (d->lPosition < 0 || !d->ChargeJusqua(d->lPosition))
        throw ErreurInterne(CodesErreurs::PasDEnregistrementCourant);
    return d->Valeur(d->lPosition, lIndex);
}

QString Recordset::Fields(const QString &sName)
{
    ExigeOuvert(*d);
    for (int i = 0; i < d->colonnes.size(); ++i)
        if (d->colonnes.at(i).compare(sName, Qt::CaseInsensitive) == 0)
            return Fields(i);
    throw ErreurInterne(CodesErreurs::ElementIntrouvable);
}

int Recordset::FieldCount() const
{
    return d->bOuvert ? int(d->colonnes.size()) : 0;
}

long Recordset::RecordCount()
{
    ExigeOuvert(*d);
    d->ChargeTout();
    return d->lLignes;
}

long Recordset::AbsolutePosition()
{
    ExigeOuvert(*d);
    if (!d->ChargeJusqua(0))
        return kAdPosUnknown;
    if (d->lPosition < 0)
        return kAdPosBof;
    if (!d->ChargeJusqua(d->lPosition))
        return kAdPosEof;
    return d->lPosition + 1;
}

void Recordset::Requery()
{
    ExigeOuvert(*d);
    Connexion::Impl *cn = d->pConnexion;
    const QString sSource = d->sSource;
    if (!cn || !cn->EstOuverte())
        throw ErreurInterne(CodesErreurs::ConnexionInutilisable);
    d->Ferme();
    d->Execute(sSource, cn);
}

void Recordset::Resync(int lAffectRecords)
{
    ExigeOuvert(*d);
    if (lAffectRecords < kAdAffectCurrent || lAffectRecords > kAdAffectAllChapters)
        throw ErreurInterne(CodesErreurs::ArgumentsInvalides);
    // A snapshot read through a forward-only statement has no row keys to
    // read one row again by; Requery reads the whole result again.
    throw ErreurInterne(CodesErreurs::OperationNonSupportee);
}

void Recordset::Close()
{
    ExigeOuvert(*d);
    d->Ferme();
}
