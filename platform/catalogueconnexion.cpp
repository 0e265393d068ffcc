#include "catalogueconnexion.h"

#include "connexion.h"
#include "connexionimpl.h"
#include "erreurado.h"
#include "essaie.h"

#include <vector>

namespace {

// Rows are fetched in blocks into bound buffers: one driver call per block
// instead of one per value keeps a list of ten thousand names within a frame.
constexpr SQLULEN kLignesParBloc = 512;
// A catalogue name is a sysname (128 characters); the icon keys are short.
constexpr SQLLEN kCaracteresNom = 129;

struct ColonneLiee {
    SQLUSMALLINT lNumero = 0;
    std::vector<SQLWCHAR> valeurs;
    std::vector<SQLLEN> indicateurs;
    // Icon keys and owners repeat from row to row: the last value read is
    // handed out again (shared) while the driver gives the same characters.
    QString sDerniere;

    void Lie(SQLHSTMT h)
    {
        valeurs.assign(size_t(kLignesParBloc * kCaracteresNom), 0);
        indicateurs.assign(kLignesParBloc, SQL_NULL_DATA);
        SQLBindCol(h, lNumero, SQL_C_WCHAR, valeurs.data(), kCaracteresNom * SQLLEN(sizeof(SQLWCHAR)),
                   indicateurs.data());
    }
    QStringView Caracteres(SQLULEN lLigne) const
    {
        if (lNumero == 0 || indicateurs[lLigne] == SQL_NULL_DATA || indicateurs[lLigne] < 0)
            return {};
        const SQLLEN lCaracteres = qMin<SQLLEN>(indicateurs[lLigne] / SQLLEN(sizeof(SQLWCHAR)), kCaracteresNom - 1);
        static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "ODBC wide characters are UTF-16");
        return QStringView(reinterpret_cast<const char16_t *>(valeurs.data() + lLigne * kCaracteresNom),
                           qsizetype(lCaracteres));
    }
    QString Valeur(SQLULEN lLigne) const { return Caracteres(lLigne).toString(); }
    QString ValeurRepetee(SQLULEN lLigne, bool bSansBlancs)
    {
        QStringView texte = Caracteres(lLigne);
        if (bSansBlancs)
            texte = SansBlancsAutour(texte);
        if (texte != QStringView(sDerniere) || sDerniere.isNull() != texte.isNull())
            sDerniere = texte.toString();
        return sDerniere;
    }

private:
    static QStringView SansBlancsAutour(QStringView texte)
    {
        while (!texte.isEmpty() && texte.front() == QLatin1Char(' '))
            texte = texte.mid(1);
        while (!texte.isEmpty() && texte.back() == QLatin1Char(' '))
            texte.chop(1);
        return texte;
    }
};

// 1-based number of each wanted column ("name", "Col", "Proprietaire"), 0 when absent.
void TrouveColonnes(SQLHSTMT h, ColonneLiee &nom, ColonneLiee &cle, ColonneLiee &proprietaire)
{
    SQLSMALLINT lColonnes = 0;
    SQLNumResultCols(h, &lColonnes);
    for (SQLUSMALLINT i = 1; i <= SQLUSMALLINT(qMax<SQLSMALLINT>(lColonnes, 0)); ++i) {
        SQLWCHAR texte[130] = {};
        SQLSMALLINT lLongueur = 0;
        SQLDescribeColW(h, i, texte, 130, &lLongueur, nullptr, nullptr, nullptr, nullptr);
        const QString sNom = DepuisLarge(texte, qMin<SQLSMALLINT>(lLongueur, 129));
        if (sNom.compare(QLatin1String("name"), Qt::CaseInsensitive) == 0 && nom.lNumero == 0)
            nom.lNumero = i;
        else if (sNom.compare(QLatin1String("Col"), Qt::CaseInsensitive) == 0 && cle.lNumero == 0)
            cle.lNumero = i;
        else if (sNom.compare(QLatin1String("Proprietaire"), Qt::CaseInsensitive) == 0 && proprietaire.lNumero == 0)
            proprietaire.lNumero = i;
    }
}

// Reads every row; false when the statement fails on the way.
bool LitBlocs(SQLHSTMT h, QVector<LigneProposition> &lignes)
{
    ColonneLiee nom, cle, proprietaire;
    TrouveColonnes(h, nom, cle, proprietaire);
    if (nom.lNumero == 0 || cle.lNumero == 0)
        return false;
    SQLULEN lLues = 0;
    SQLSetStmtAttr(h, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(kLignesParBloc), 0);
    SQLSetStmtAttr(h, SQL_ATTR_ROWS_FETCHED_PTR, &lLues, 0);
    for (ColonneLiee *c : {&nom, &cle, &proprietaire}) {
        if (c->lNumero != 0)
            c->Lie(h);
    }
    for (;;) {
        const SQLRETURN rc = SQLFetch(h);
        if (rc == SQL_NO_DATA)
            return true;
        if (!SQL_SUCCEEDED(rc))
            return false;
        for (SQLULEN i = 0; i < lLues; ++i)
            lignes.append({nom.Valeur(i), cle.ValeurRepetee(i, true), proprietaire.ValeurRepetee(i, false)});
    }
}

} // namespace

CatalogueConnexion::CatalogueConnexion(Connexion &cn, const QString &sChaineConnexion,
                                       const QDeadlineTimer &echeance)
    : m_cn(cn), m_sChaine(sChaineConnexion), m_echeancePrecedente(cn.Echeance())
{
    m_cn.SetEcheance(echeance);
}

CatalogueConnexion::~CatalogueConnexion()
{
    m_cn.SetEcheance(m_echeancePrecedente);
}

bool CatalogueConnexion::Ouvre()
{
    int lEtat = 0;
    Essaie([&] {
        if (m_cn.State() == 1)
            m_cn.Close();
    });
    Essaie([&] { m_cn.Open(m_sChaine, QString(), QString(), -1); });
    Essaie([&] { lEtat = m_cn.State(); });
    return lEtat == 1;
}

std::optional<QVector<LigneProposition>> CatalogueConnexion::Lignes(const QString &sRequete)
{
    Connexion::Impl *d = m_cn.impl();
    if (!d || !d->EstOuverte())
        return std::nullopt;
    d->LibereCurseurActif();
    if (d->echeance.hasExpired())
        return std::nullopt;
    SQLHSTMT h = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, d->hdbc, &h)))
        return std::nullopt;
    SQLSetStmtAttr(h, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(d->DelaiCommandePilote())), 0);
    QVector<LigneProposition> lignes;
    // One watch over the statement and the reading of its rows: a list of
    // ten thousand names is read in twenty blocks.
    bool bLue = false;
    d->Attend(d->EcheanceCommande(), [&] {
        bLue = SQL_SUCCEEDED(SQLExecDirectW(h, TexteLarge(sRequete), SQL_NTS)) && LitBlocs(h, lignes);
        return bLue ? SQL_SUCCESS : SQL_ERROR;
    });
    // A broken link keeps the session out of the pool.
    if (!bLue)
        d->NoteDiagnostics(LitDiagnostics(SQL_HANDLE_STMT, h));
    d->Attend(d->EcheanceFermeture(), [h] { return SQLFreeHandle(SQL_HANDLE_STMT, h); });
    if (!bLue)
        return std::nullopt;
    return lignes;
}

int CatalogueConnexion::VersionMajeure()
{
    const Connexion::Impl *d = m_cn.impl();
    if (!d || !d->EstOuverte())
        return 0;
    SQLWCHAR version[64] = {};
    SQLSMALLINT lLongueur = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(d->hdbc, SQL_DBMS_VER, version, sizeof(version), &lLongueur)))
        return 0;
    const qsizetype lCaracteres = qMin<qsizetype>(lLongueur / qsizetype(sizeof(SQLWCHAR)), 63);
    return VersionMajeureDe(DepuisLarge(version, lCaracteres));
}

int VersionMajeureDe(const QString &sVersion)
{
    bool bOk = false;
    const int lMajeure = sVersion.section(QLatin1Char('.'), 0, 0).trimmed().toInt(&bOk);
    return bOk && lMajeure > 0 ? lMajeure : 0;
}
