#include "configfreetds.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QStringList FichiersConfigFreeTds()
{
    QStringList candidats;
    const QString sVariable = qEnvironmentVariable("FREETDSCONF");
    if (!sVariable.isEmpty())
        candidats << sVariable;
    candidats << QDir::homePath() + QStringLiteral("/.freetds.conf")
              << QStringLiteral("/etc/freetds/freetds.conf");
    QStringList existants;
    for (const QString &sChemin : candidats)
        if (QFileInfo(sChemin).isFile())
            existants << sChemin;
    return existants;
}

QStringList SectionsConfigFreeTds(const QString &sTexte)
{
    QStringList sections;
    const auto lignes = sTexte.split(QLatin1Char('\n'));
    for (const QString &sLigne : lignes) {
        const QString sPropre = sLigne.trimmed();
        if (!sPropre.startsWith(QLatin1Char('[')))
            continue;
        const int iFin = sPropre.indexOf(QLatin1Char(']'));
        if (iFin < 0)
            continue;
        const QString sNom = sPropre.mid(1, iFin - 1).trimmed();
        if (!sNom.isEmpty() && sNom.compare(QLatin1String("global"), Qt::CaseInsensitive) != 0)
            sections << sNom;
    }
    return sections;
}

QStringList SectionsFichierFreeTds(const QString &sChemin)
{
    QFile fichier(sChemin);
    if (!fichier.open(QIODevice::ReadOnly | QIODevice::Text))
        return QStringList();
    return SectionsConfigFreeTds(QString::fromUtf8(fichier.readAll()));
}

QStringList SectionsFreeTds()
{
    QStringList sections;
    for (const QString &sChemin : FichiersConfigFreeTds())
        sections << SectionsFichierFreeTds(sChemin);
    return sections;
}
