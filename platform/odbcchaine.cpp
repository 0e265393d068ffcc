#include "odbcchaine.h"

#include "odbcpilote.h"

namespace {

QString Paire(const QString &sCle, const QString &sValeur)
{
    return sCle + QLatin1Char('=') + ValeurOdbc(sValeur) + QLatin1Char(';');
}

// FreeTDS: an explicit TDS version keeps the login timeout honoured (with
// "auto" a timed-out login is retried with an old protocol for minutes), and
// the client character set keeps non-ASCII text intact.
QString PartieFreeTds(const CibleServeur &cible)
{
    QString s;
    if (!cible.sSection.isEmpty()) {
        s += Paire(QStringLiteral("Servername"), cible.sSection);
    } else {
        s += Paire(QStringLiteral("Server"), cible.sHote);
        s += Paire(QStringLiteral("Port"), QString::number(cible.lPort));
    }
    s += QStringLiteral("TDS_Version=7.4;ClientCharset=UTF-8;");
    return s;
}

QString PartieMicrosoft(const CibleServeur &cible)
{
    const QString sServeur = cible.sSection.isEmpty()
        ? QStringLiteral("tcp:%1,%2").arg(cible.sHote).arg(cible.lPort)
        : cible.sSection;
    return Paire(QStringLiteral("Server"), sServeur);
}

} // namespace

QString ValeurOdbc(const QString &sValeur)
{
    const bool bAccolades = sValeur.contains(QLatin1Char(';')) || sValeur.contains(QLatin1Char('{'))
        || sValeur.contains(QLatin1Char('}')) || sValeur.contains(QLatin1Char('='))
        || (!sValeur.isEmpty() && (sValeur.front().isSpace() || sValeur.back().isSpace()));
    if (!bAccolades)
        return sValeur;
    QString sDouble = sValeur;
    sDouble.replace(QLatin1Char('}'), QLatin1String("}}"));
    return QLatin1Char('{') + sDouble + QLatin1Char('}');
}

QString ChaineOdbc(const QString &sPilote, const CibleServeur &cible, const ParametresConnexion &p)
{
    QString s = QStringLiteral("DRIVER=") + sPilote + QLatin1Char(';');
    s += EstPiloteFreeTds(sPilote) ? PartieFreeTds(cible) : PartieMicrosoft(cible);
    if (!p.sBase.isEmpty())
        s += Paire(QStringLiteral("Database"), p.sBase);
    s += Paire(QStringLiteral("UID"), p.sUtilisateur);
    s += Paire(QStringLiteral("PWD"), p.sMotDePasse);
    if (!p.sApplication.isEmpty())
        s += Paire(QStringLiteral("APP"), p.sApplication);
    return s;
}
