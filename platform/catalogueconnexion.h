#pragma once
#include "sourcecatalogue.h"

#include <QString>

class Connexion;

/// The catalogue of completion read over a connection: each request closes
/// and reopens it with the connection string of the current server, database
/// and password, and reads the rows of forward-only, read-only queries.
class CatalogueConnexion : public SourceCatalogue
{
public:
    CatalogueConnexion(Connexion &cn, const QString &sChaineConnexion);

    bool Ouvre() override;
    std::optional<QVector<LigneProposition>> Lignes(const QString &sRequete) override;
    int VersionMajeure() override;

private:
    Connexion &m_cn;
    QString m_sChaine;
};

/// Returns the major version in a DBMS version text such as "15.00.2000"; 0 when there is none.
int VersionMajeureDe(const QString &sVersion);
