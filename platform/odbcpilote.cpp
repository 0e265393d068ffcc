#include "odbcpilote.h"

#include <QFileInfo>

namespace {
// Where Debian (per architecture), other Linux distributions and Homebrew put
// FreeTDS's ODBC driver. Naming it by path needs no registration in odbcinst.ini.
const char *const kBibliothequesFreeTds[] = {
    "/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so",
    "/usr/lib/aarch64-linux-gnu/odbc/libtdsodbc.so",
    "/usr/lib/i386-linux-gnu/odbc/libtdsodbc.so",
    "/usr/lib64/libtdsodbc.so",
    "/usr/lib/libtdsodbc.so",
    "/usr/local/lib/libtdsodbc.so",
    "/opt/homebrew/lib/libtdsodbc.so",
};
// The name under which the driver is registered, where no library is found.
const QString kNomFreeTds = QStringLiteral("{FreeTDS}");

QString TrouvePiloteFreeTds()
{
    for (const char *sChemin : kBibliothequesFreeTds)
        if (QFileInfo::exists(QString::fromLatin1(sChemin)))
            return QString::fromLatin1(sChemin);
    return kNomFreeTds;
}
}

QString PiloteOdbc()
{
    static const QString sPilote = TrouvePiloteFreeTds();
    return sPilote;
}

bool EstPiloteFreeTds(const QString &sPilote)
{
    return sPilote.contains(QLatin1String("FreeTDS"), Qt::CaseInsensitive)
        || sPilote.contains(QLatin1String("libtdsodbc"), Qt::CaseInsensitive);
}
