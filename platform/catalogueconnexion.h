#pragma once
#include "sourcecatalogue.h"

#include <QDeadlineTimer>
#include <QString>

class Connexion;

/// The catalogue of completion read over a connection: each request closes
/// and reopens it with the connection string of the current server, database
/// and password, and reads the rows of forward-only, read-only queries.
/// While the catalogue lives, every wait on the server through the
/// connection ends by its deadline; past it, nothing more is asked.
class CatalogueConnexion : public SourceCatalogue
{
public:
    CatalogueConnexion(Connexion &cn, const QString &sChaineConnexion,
                       const QDeadlineTimer &echeance = QDeadlineTimer(QDeadlineTimer::Forever));
    ~CatalogueConnexion() override;
    CatalogueConnexion(const CatalogueConnexion &) = delete;
    CatalogueConnexion &operator=(const CatalogueConnexion &) = delete;

    bool Ouvre() override;
    std::optional<QVector<LigneProposition>> Lignes(const QString &sRequete) override;
    int VersionMajeure() override;

private:
    Connexion &m_cn;
    QString m_sChaine;
    QDeadlineTimer m_echeancePrecedente;
};

/// Returns the major version in a DBMS version text such as "15.00.2000"; 0 when there is none.
int VersionMajeureDe(const QString &sVersion);
