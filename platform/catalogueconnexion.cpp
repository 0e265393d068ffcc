#include "catalogueconnexion.h"

#include "connexion.h"
#include "connexionimpl.h"
#include "erreurado.h"

namespace {

// Runs one step; a failing step is skipped and the request goes on.
template <typename Etape>
bool Essaie(Etape etape)
{
    try {
        etape();
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

QString SansBlancsAutour(const QString &sTexte)
{
    int lDebut = 0;
    int lFin = sTexte.size();
    while (lDebut < lFin && sTexte.at(lDebut) == QLatin1Char(' '))
        ++lDebut;
    while (lFin > lDebut && sTexte.at(lFin - 1) == QLatin1Char(' '))
        --lFin;
    return sTexte.mid(lDebut, lFin - lDebut);
}

bool AColonne(Recordset &rs, const QString &sNom)
{
    bool bTrouvee = false;
    Essaie([&] {
        rs.Fields(sNom);
        bTrouvee = true;
    });
    return bTrouvee;
}

void LitLignes(Recordset &rs, QVector<LigneProposition> &lignes)
{
    const bool bProprietaire = AColonne(rs, QStringLiteral("Proprietaire"));
    for (;;) {
        bool bFin = true;
        if (!Essaie([&] { bFin = rs.Eof(); }) || bFin)
            return;
        LigneProposition ligne;
        if (Essaie([&] {
                ligne.sNom = rs.Fields(QStringLiteral("name"));
                ligne.sCleIcone = SansBlancsAutour(rs.Fields(QStringLiteral("Col")));
                if (bProprietaire)
                    ligne.sProprietaire = rs.Fields(QStringLiteral("Proprietaire"));
            }))
            lignes.append(ligne);
        // A cursor that cannot move on would read the same row forever.
        if (!Essaie([&] { rs.MoveNext(); }))
            return;
    }
}

} // namespace

CatalogueConnexion::CatalogueConnexion(Connexion &cn, const QString &sChaineConnexion)
    : m_cn(cn), m_sChaine(sChaineConnexion)
{
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
    Recordset rs;
    int lEtat = 0;
    Essaie([&] { rs.Open(sRequete, &m_cn, 0, 1, -1); });
    Essaie([&] { lEtat = rs.State(); });
    if (lEtat != 1)
        return std::nullopt;
    long lRecordCount = -1;
    Essaie([&] { lRecordCount = rs.RecordCount(); });
    // A count that cannot be had ends the request as a failure does.
    if (lRecordCount < 0)
        return std::nullopt;
    QVector<LigneProposition> lignes;
    lignes.reserve(int(lRecordCount));
    LitLignes(rs, lignes);
    Essaie([&] { rs.Close(); });
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
