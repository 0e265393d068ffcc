#include "odbcchaine.h"

#include "codeserreurs.h"
#include "odbcpilote.h"

namespace {

QString Paire(const QString &sCle, const QString &sValeur, bool bFreeTds)
{
    return sCle + QLatin1Char('=') + ValeurOdbc(sValeur, bFreeTds) + QLatin1Char(';');
}

// FreeTDS: an explicit TDS version keeps the login timeout honoured (with
// "auto" a timed-out login is retried with an old protocol for minutes), and
// the client character set keeps non-ASCII text intact, and the largest
// packets cut the reads of a long list eightfold (FreeTDS takes the size
// from this keyword only, not from SQL_ATTR_PACKET_SIZE).
QString PartieFreeTds(const CibleServeur &cible)
{
    QString s;
    if (!cible.sSection.isEmpty()) {
        s += Paire(QStringLiteral("Servername"), cible.sSection, true);
    } else {
        s += Paire(QStringLiteral("Server"), cible.sHote, true);
        s += Paire(QStringLiteral("Port"), QString::number(cible.lPort), true);
    }
    s += QStringLiteral("TDS_Version=7.4;ClientCharset=UTF-8;PacketSize=32767;");
    return s;
}

QString PartieMicrosoft(const CibleServeur &cible)
{
    const QString sServeur = cible.sSection.isEmpty()
        ? QStringLiteral("tcp:%1,%2").arg(cible.sHote).arg(cible.lPort)
        : cible.sSection;
    return Paire(QStringLiteral("Server"), sServeur, false);
}

} // namespace

QString ValeurOdbc(const QString &sValeur, bool bFreeTds)
{
    const bool bAccolades = sValeur.contains(QLatin1Char(';')) || sValeur.contains(QLatin1Char('{'))
        || sValeur.contains(QLatin1Char('}')) || sValeur.contains(QLatin1Char('='))
        || (!sValeur.isEmpty() && (sValeur.front().isSpace() || sValeur.back().isSpace()));
    if (!bAccolades)
        return sValeur;
    if (bFreeTds) {
        if (sValeur.contains(QLatin1String("};")))
            throw ErreurAdo(CodesErreurs::ChaineMalFormee,
                            QStringLiteral("A value holding \"};\" cannot be passed to the FreeTDS driver."));
        return QLatin1Char('{') + sValeur + QLatin1Char('}');
    }
    QString sDouble = sValeur;
    sDouble.replace(QLatin1Char('}'), QLatin1String("}}"));
    return QLatin1Char('{') + sDouble + QLatin1Char('}');
}

QString ChaineOdbc(const QString &sPilote, const CibleServeur &cible, const ParametresConnexion &p)
{
    const bool bFreeTds = EstPiloteFreeTds(sPilote);
    QString s = QStringLiteral("DRIVER=") + sPilote + QLatin1Char(';');
    s += bFreeTds ? PartieFreeTds(cible) : PartieMicrosoft(cible);
    if (!p.sBase.isEmpty())
        s += Paire(QStringLiteral("Database"), p.sBase, bFreeTds);
    s += Paire(QStringLiteral("UID"), p.sUtilisateur, bFreeTds);
    s += Paire(QStringLiteral("PWD"), p.sMotDePasse, bFreeTds);
    if (!p.sApplication.isEmpty())
        s += Paire(QStringLiteral("APP"), p.sApplication, bFreeTds);
    return s;
}
