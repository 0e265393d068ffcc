#include "profil.h"

#include "collations.h"

namespace {
Profil profilCourant = Profil::Sql2000;
QString nomServeur = QStringLiteral("STANDIN");
}

void FixeServeur(Profil profil, const QString &sNomServeur)
{
    profilCourant = profil;
    nomServeur = sNomServeur;
}

Profil ProfilServeur()
{
    return profilCourant;
}

bool AvecSchemas()
{
    return profilCourant != Profil::Sql2000;
}

QString NomServeur()
{
    return nomServeur;
}

VersionProduit VersionDuServeur()
{
    if (profilCourant == Profil::Sql2019)
        return {15, 0, 2000};
    return {8, 0, 2039};
}

QString TexteVersionProduit()
{
    return profilCourant == Profil::Sql2019 ? QStringLiteral("15.0.2000.5") : QStringLiteral("8.00.2039");
}

QString TexteVersionComplet()
{
    if (profilCourant == Profil::Sql2019)
        return QStringLiteral("Microsoft SQL Server 2019 (RTM) - 15.0.2000.5 (X64) \n\tSep 24 2019 13:48:23 \n\t"
                              "Copyright (C) 2019 Microsoft Corporation\n\tDeveloper Edition (64-bit) on Linux "
                              "(sqlstandin) <X64>");
    return QStringLiteral("Microsoft SQL Server  2000 - 8.00.2039 (Intel X86) \n\tStandard Edition (sqlstandin)");
}

QString ProprieteServeur(const QString &sPropriete)
{
    const QString p = sPropriete.trimmed().toLower();
    const bool b2019 = profilCourant == Profil::Sql2019;
    if (p == QLatin1String("productversion"))
        return TexteVersionProduit();
    if (p == QLatin1String("productlevel"))
        return b2019 ? QStringLiteral("RTM") : QStringLiteral("SP4");
    if (p == QLatin1String("edition"))
        return b2019 ? QStringLiteral("Developer Edition (64-bit)") : QStringLiteral("Standard Edition");
    if (p == QLatin1String("engineedition"))
        return b2019 ? QStringLiteral("3") : QStringLiteral("2");
    if (p == QLatin1String("collation"))
        return CollationServeur();
    if (p == QLatin1String("servername") || p == QLatin1String("machinename"))
        return nomServeur;
    if (p == QLatin1String("instancename"))
        return QString();
    if (b2019 && p == QLatin1String("productmajorversion"))
        return QStringLiteral("15");
    if (b2019 && p == QLatin1String("productminorversion"))
        return QStringLiteral("0");
    if (b2019 && p == QLatin1String("productbuild"))
        return QStringLiteral("2000");
    return QString();
}
