#include "decouverte.h"
#include "configfreetds.h"
#include "ssrp.h"

#include <QElapsedTimer>
#include <QSysInfo>
#include <QTcpSocket>

namespace {

void AjouteSansDoublon(QStringList &noms, const QString &sNom)
{
    if (sNom.trimmed().isEmpty())
        return;
    if (!noms.contains(sNom, Qt::CaseInsensitive))
        noms.append(sNom);
}

int Reste(const QElapsedTimer &chrono, int lTotalMs)
{
    return qMax(0, lTotalMs - int(chrono.elapsed()));
}

} // namespace

QStringList SectionsFreeTdsDe(const QString &sFichier)
{
    return sFichier.isEmpty() ? SectionsFreeTds() : SectionsFichierFreeTds(sFichier);
}

QString NomOrdinateur()
{
    QString nom = QSysInfo::machineHostName();
    const int point = nom.indexOf(QLatin1Char('.'));
    if (point > 0)
        nom.truncate(point);
    return nom.toUpper();
}

QStringList ServeursDecouverts(const OptionsDecouverte &options)
{
    QElapsedTimer chrono;
    chrono.start();
    const int total = qMax(0, options.lDelaiTotalMs);
    const QString machine = options.sNomMachine.isEmpty() ? NomOrdinateur() : options.sNomMachine;

    QStringList noms;
    for (const QString &section : SectionsFreeTdsDe(options.sFichierFreeTds))
        AjouteSansDoublon(noms, section);

    // The TCP probe starts first so that the loopback connection completes
    // while the browser service is being asked.
    QTcpSocket sonde;
    if (options.lPortTcp != 0)
        sonde.connectToHost(options.adresseLocale, options.lPortTcp);

    // Half of the budget for the local browser service, the rest shared.
    if (options.lPortSsrp != 0) {
        const int delai = qMin(Reste(chrono, total), total / 2);
        for (const InstanceSql &instance :
             DemandeInstances(options.adresseLocale, options.lPortSsrp, delai)) {
            AjouteSansDoublon(noms, EstInstanceParDefaut(instance.sInstance)
                                        ? QStringLiteral("(local)")
                                        : machine + QLatin1Char('\\') + instance.sInstance);
        }
    }

    if (options.lPortTcp != 0) {
        const int delai = options.bRechercheReseau ? Reste(chrono, total) / 2 : Reste(chrono, total);
        if (sonde.state() == QAbstractSocket::ConnectedState || sonde.waitForConnected(delai))
            AjouteSansDoublon(noms, QStringLiteral("(local)"));
        sonde.abort();
    }

    if (options.bRechercheReseau) {
        const quint16 port = options.lPortSsrp != 0 ? options.lPortSsrp : kPortSsrp;
        for (const InstanceSql &instance : DiffuseDemandeInstances(port, Reste(chrono, total))) {
            const QString serveur = instance.sServeur.toUpper();
            AjouteSansDoublon(noms, EstInstanceParDefaut(instance.sInstance)
                                        ? serveur
                                        : serveur + QLatin1Char('\\') + instance.sInstance);
        }
    }
    return noms;
}

QStringList NomsAfficheables(const QStringList &noms, bool bInclureLocal, const QString &sNomMachine)
{
    QStringList resultat;
    for (const QString &s : noms) {
        QString nom;
        if (!s.startsWith(QLatin1Char('(')))
            nom = s.toUpper();
        else if (bInclureLocal)
            nom = sNomMachine;
        if (!nom.trimmed().isEmpty())
            resultat << nom;
    }
    return resultat;
}
