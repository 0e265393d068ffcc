#pragma once
#include <QString>
#include <QStringList>
#include <memory>

class Connexion;
class SourceCatalogue;

/// The server the window works with: the shared connection `cnServeur`, the
/// one connection string built from the chosen server, database and
/// password, the database listing and the completion catalogue. No widgets.
class ServeurCourant
{
public:
    ServeurCourant();
    ~ServeurCourant();

    std::unique_ptr<Connexion> cnServeur;

    /// Names the server, database and password of the next uses.
    void Designe(const QString &sServeur, const QString &sBase, const QString &sPWD);
    /// The connection string for a database of the designated server.
    QString ChaineConnexion(const QString &sBase) const;
    /// The connection string for the designated database.
    QString ChaineConnexion() const { return ChaineConnexion(m_sBase); }

    /// Returns the names of the server's databases, listed over cnServeur
    /// (closed first) logged in to master; empty when the server cannot be
    /// reached or the name is blank. Each failing step is skipped. The whole
    /// listing takes at most a second more than the login timeout.
    QStringList ListeBasesDeDonnees(const QString &sNomServeur, const QString &sPWD);

    /// The completion catalogue over cnServeur and the designated database,
    /// for one request: every wait on the server ends within three seconds.
    std::unique_ptr<SourceCatalogue> Catalogue();

    /// Closes and releases cnServeur.
    void Ferme();

    /// The application title used in connection strings and message boxes.
    static QString TitreApplication() { return QStringLiteral("Brenlor"); }

private:
    Connexion &Connexion_();
    QString m_sServeur;
    QString m_sBase;
    QString m_sPWD;
};
