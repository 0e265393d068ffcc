#include "sourcedonnees.h"

#include "codeserreurs.h"
#include "ssrp.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QSysInfo>
#include <atomic>

namespace {

std::atomic<quint16> g_portSsrp{kPortSsrp};

const QString kAdresseLocale = QStringLiteral("127.0.0.1");

ErreurAdo ErreurServeurIntrouvable(const QString &sDetail)
{
    return ErreurAdo(CodesErreurs::EchecNonSpecifie,
                     QStringLiteral("SQL Server does not exist or access denied. (%1)").arg(sDetail));
}

int LitPort(const QString &sPort)
{
    bool bOk = false;
    const int lPort = sPort.trimmed().toInt(&bOk);
    if (!bOk || lPort < 1 || lPort > 65535)
        throw ErreurServeurIntrouvable(QStringLiteral("invalid port '%1'").arg(sPort));
    return lPort;
}

QString SectionConnue(const QString &sNom, const QStringList &sections)
{
    for (const QString &sSection : sections)
        if (sSection.compare(sNom, Qt::CaseInsensitive) == 0)
            return sSection;
    return QString();
}

QHostAddress AdresseDe(const QString &sHote)
{
    QHostAddress adresse;
    if (adresse.setAddress(sHote))
        return adresse;
    const QHostInfo info = QHostInfo::fromName(sHote);
    for (const QHostAddress &a : info.addresses())
        if (a.protocol() == QAbstractSocket::IPv4Protocol)
            return a;
    return info.addresses().isEmpty() ? QHostAddress() : info.addresses().first();
}

} // namespace

bool EstNomLocal(const QString &sHote, const QString &sNomMachine)
{
    const QString sNom = sHote.trimmed();
    if (sNom.compare(QLatin1String("(local)"), Qt::CaseInsensitive) == 0 || sNom == QLatin1String(".")
        || sNom.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    if (sNomMachine.isEmpty())
        return false;
    const QString sCourt = sNomMachine.section(QLatin1Char('.'), 0, 0);
    return sNom.compare(sNomMachine, Qt::CaseInsensitive) == 0
        || sNom.compare(sCourt, Qt::CaseInsensitive) == 0;
}

CibleServeur AnalyseSourceDonnees(const QString &sSource, const QString &sNomMachine,
                                  const QStringList &sectionsFreeTds)
{
    QString sReste = sSource.trimmed();
    if (sReste.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive))
        sReste = sReste.mid(4).trimmed();

    CibleServeur cible;
    const int iVirgule = sReste.lastIndexOf(QLatin1Char(','));
    if (iVirgule >= 0) {
        cible.lPort = LitPort(sReste.mid(iVirgule + 1));
        sReste = sReste.left(iVirgule).trimmed();
    }
    const int iBarre = sReste.indexOf(QLatin1Char('\\'));
    QString sInstance;
    if (iBarre >= 0) {
        sInstance = sReste.mid(iBarre + 1).trimmed();
        sReste = sReste.left(iBarre).trimmed();
    }

    if (cible.lPort == 0 && sInstance.isEmpty() && !EstNomLocal(sReste, sNomMachine)) {
        const QString sSection = SectionConnue(sReste, sectionsFreeTds);
        if (!sSection.isEmpty()) {
            cible.sSection = sSection;
            return cible;
        }
    }

    cible.sHote = (sReste.isEmpty() || EstNomLocal(sReste, sNomMachine)) ? kAdresseLocale : sReste;
    if (cible.lPort == 0) {
        if (EstInstanceParDefaut(sInstance))
            cible.lPort = kPortSqlServer;
        else
            cible.sInstance = sInstance;
    }
    return cible;
}

QString NomMachineLocale()
{
    return QSysInfo::machineHostName();
}

CibleServeur ResoutInstance(const CibleServeur &cible, quint16 portSsrp, int lDelaiMs)
{
    if (cible.sInstance.isEmpty())
        return cible;
    const QHostAddress adresse = AdresseDe(cible.sHote);
    if (adresse.isNull())
        throw ErreurServeurIntrouvable(QStringLiteral("unknown host '%1'").arg(cible.sHote));
    const std::optional<InstanceSql> instance = DemandeInstance(adresse, portSsrp, cible.sInstance, lDelaiMs);
    if (!instance || instance->lPortTcp <= 0)
        throw ErreurServeurIntrouvable(QStringLiteral("instance '%1' not found on '%2'")
                                           .arg(cible.sInstance, cible.sHote));
    CibleServeur resolue = cible;
    resolue.lPort = instance->lPortTcp;
    resolue.sInstance.clear();
    return resolue;
}

quint16 PortSsrp()
{
    return g_portSsrp.load();
}

void SetPortSsrpPourTests(quint16 port)
{
    g_portSsrp.store(port);
}
