#include "odbcpilote.h"

#include <QFileInfo>

namespace {
const QString kBibliothequeFreeTds = QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so");
const QString kNomFreeTds = QStringLiteral("{FreeTDS}");
}

QString PiloteOdbc()
{
    static const QString sPilote =
        QFileInfo::exists(kBibliothequeFreeTds) ? kBibliothequeFreeTds : kNomFreeTds;
    return sPilote;
}

bool EstPiloteFreeTds(const QString &sPilote)
{
    return sPilote.contains(QLatin1String("FreeTDS"), Qt::CaseInsensitive)
        || sPilote.contains(QLatin1String("libtdsodbc"), Qt::CaseInsensitive);
}
