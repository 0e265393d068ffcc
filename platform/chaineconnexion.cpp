#include "chaineconnexion.h"

#include "codeserreurs.h"

#include <QStringList>

namespace {

bool DoitEtreEntreGuillemets(const QString &sValeur)
{
    if (sValeur.isEmpty())
        return false;
    return sValeur.contains(QLatin1Char(';')) || sValeur.contains(QLatin1Char('"'))
        || sValeur.contains(QLatin1Char('\'')) || sValeur.front().isSpace()
        || sValeur.back().isSpace();
}

QString CleNormalisee(const QString &sCle)
{
    return sCle.simplified().toLower();
}

// Reads one value starting at iPos (just after "="); leaves iPos on the ";"
// that ends it, or at the end of the string.
QString LitValeur(const QString &sChaine, int &iPos)
{
    const int iLongueur = sChaine.size();
    while (iPos < iLongueur && sChaine.at(iPos).isSpace())
        ++iPos;
    if (iPos < iLongueur && (sChaine.at(iPos) == QLatin1Char('"') || sChaine.at(iPos) == QLatin1Char('\''))) {
        const QChar cGuillemet = sChaine.at(iPos++);
        QString sValeur;
        for (;;) {
            if (iPos >= iLongueur)
                throw ErreurInterne(CodesErreurs::ChaineMalFormee);
            const QChar c = sChaine.at(iPos++);
            if (c != cGuillemet) {
                sValeur += c;
                continue;
            }
            if (iPos < iLongueur && sChaine.at(iPos) == cGuillemet) {
                sValeur += c;
                ++iPos;
                continue;
            }
            break;
        }
        while (iPos < iLongueur && sChaine.at(iPos).isSpace())
            ++iPos;
        if (iPos < iLongueur && sChaine.at(iPos) != QLatin1Char(';'))
            throw ErreurInterne(CodesErreurs::ChaineMalFormee);
        return sValeur;
    }
    const int iFin = sChaine.indexOf(QLatin1Char(';'), iPos);
    const int iArret = iFin < 0 ? iLongueur : iFin;
    const QString sValeur = sChaine.mid(iPos, iArret - iPos).trimmed();
    iPos = iArret;
    return sValeur;
}

bool EstFournisseurSqlServer(const QString &sNom)
{
    static const QStringList connus{QStringLiteral("sqloledb"), QStringLiteral("sqlncli"),
                                    QStringLiteral("sqlncli10"), QStringLiteral("sqlncli11"),
                                    QStringLiteral("msoledbsql"), QStringLiteral("msoledbsql19")};
    QString sBase = sNom.trimmed().toLower();
    const int iVersion = sBase.indexOf(QLatin1Char('.'));
    if (iVersion >= 0)
        sBase.truncate(iVersion);
    return connus.contains(sBase);
}

void VerifieFournisseurs(const ParametresConnexion &p)
{
    const bool bMiseEnForme = p.sFournisseur.trimmed().compare(QLatin1String("MSDataShape"), Qt::CaseInsensitive) == 0
        || p.sFournisseur.trimmed().startsWith(QLatin1String("MSDataShape."), Qt::CaseInsensitive);
    if (bMiseEnForme) {
        if (!p.sFournisseurDonnees.isEmpty() && !EstFournisseurSqlServer(p.sFournisseurDonnees))
            throw ErreurInterne(CodesErreurs::FournisseurIntrouvable);
        return;
    }
    if (!p.sFournisseur.isEmpty() && !EstFournisseurSqlServer(p.sFournisseur))
        throw ErreurInterne(CodesErreurs::FournisseurIntrouvable);
}

void RangeValeur(ParametresConnexion &p, const QString &sCle, const QString &sValeur)
{
    if (sCle == QLatin1String("provider"))
        p.sFournisseur = sValeur;
    else if (sCle == QLatin1String("data provider"))
        p.sFournisseurDonnees = sValeur;
    else if (sCle == QLatin1String("data source") || sCle == QLatin1String("server")
             || sCle == QLatin1String("address") || sCle == QLatin1String("addr"))
        p.sSource = sValeur;
    else if (sCle == QLatin1String("initial catalog") || sCle == QLatin1String("database"))
        p.sBase = sValeur;
    else if (sCle == QLatin1String("uid") || sCle == QLatin1String("user id"))
        p.sUtilisateur = sValeur;
    else if (sCle == QLatin1String("pwd") || sCle == QLatin1String("password"))
        p.sMotDePasse = sValeur;
    else if (sCle == QLatin1String("application name") || sCle == QLatin1String("app"))
        p.sApplication = sValeur;
}

} // namespace

QString ValeurChaineConnexion(const QString &sValeur)
{
    if (!DoitEtreEntreGuillemets(sValeur))
        return sValeur;
    QString sDouble = sValeur;
    sDouble.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + sDouble + QLatin1Char('"');
}

QString ChaineConnexion(const QString &sServeur, const QString &sBase, const QString &sPWD,
                        const QString &sTitreApplication)
{
    return QLatin1String("Provider=MSDataShape; ") + QLatin1String("Data Provider=SQLOLEDB; ")
        + QLatin1String("Data Source=") + ValeurChaineConnexion(sServeur) + QLatin1String("; ")
        + QLatin1String("Initial Catalog =") + ValeurChaineConnexion(sBase) + QLatin1String("; ")
        + QLatin1String("UID=sa") + QLatin1String("; PWD=") + ValeurChaineConnexion(sPWD)
        + QLatin1String(";Application Name=") + ValeurChaineConnexion(sTitreApplication);
}

ParametresConnexion AnalyseChaineConnexion(const QString &sChaine)
{
    ParametresConnexion p;
    const int iLongueur = sChaine.size();
    int iPos = 0;
    while (iPos < iLongueur) {
        if (sChaine.at(iPos) == QLatin1Char(';') || sChaine.at(iPos).isSpace()) {
            ++iPos;
            continue;
        }
        const int iEgal = sChaine.indexOf(QLatin1Char('='), iPos);
        const int iPointVirgule = sChaine.indexOf(QLatin1Char(';'), iPos);
        if (iEgal < 0 || (iPointVirgule >= 0 && iPointVirgule < iEgal))
            throw ErreurInterne(CodesErreurs::ChaineMalFormee);
        const QString sCle = CleNormalisee(sChaine.mid(iPos, iEgal - iPos));
        if (sCle.isEmpty())
            throw ErreurInterne(CodesErreurs::ChaineMalFormee);
        iPos = iEgal + 1;
        RangeValeur(p, sCle, LitValeur(sChaine, iPos));
    }
    VerifieFournisseurs(p);
    return p;
}
