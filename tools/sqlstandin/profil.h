#pragma once
#include <QString>
#include <cstdint>

/// Which SQL Server the stand-in shows: 2000 (one owner per object, system
/// tables in sysobjects) or 2019 (schemas, the sys catalogue views, internal
/// base tables, per-database collations).
enum class Profil { Sql2000, Sql2019 };

/// What the stand-in is, fixed once at start-up before any session begins.
void FixeServeur(Profil profil, const QString &sNomServeur);

Profil ProfilServeur();
/// True from SQL Server 2005 on: schemas apart from users, the sys views.
bool AvecSchemas();
QString NomServeur();

/// The product version in the pre-login and LOGINACK (major, minor, build).
struct VersionProduit {
    uint8_t lMajeure;
    uint8_t lMineure;
    uint16_t lBuild;
};
VersionProduit VersionDuServeur();

/// SERVERPROPERTY('ProductVersion'): "8.00.2039" or "15.0.2000.5".
QString TexteVersionProduit();
/// @@VERSION.
QString TexteVersionComplet();
/// SERVERPROPERTY(sPropriete) for the properties the stand-in knows; a null
/// QString for the others (SQL Server answers NULL).
QString ProprieteServeur(const QString &sPropriete);
