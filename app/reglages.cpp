#include "reglages.h"
#include "parametres.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {
const QString kSection = QStringLiteral("General");
}

QString Reglages::NomApplication()
{
    const QString chemin = QCoreApplication::applicationFilePath();
    if (!chemin.isEmpty())
        return QFileInfo(chemin).completeBaseName();
    return QCoreApplication::applicationName();
}

QString Reglages::Lit(const QString &sCle, const QString &sDefaut)
{
    return GetSetting(NomApplication(), kSection, sCle, sDefaut);
}

void Reglages::Enregistre(const QString &sCle, const QString &sValeur)
{
    SaveSetting(NomApplication(), kSection, sCle, sValeur);
}
