#pragma once
#include <QString>
#include <QVector>
#include <optional>

/// One proposed name, the icon key of its kind ("U", "V", "S", "bases"...)
/// and, for an object outside the default schema, its owner.
struct LigneProposition {
    QString sNom;
    QString sCleIcone;
    QString sProprietaire;

    /// The name as the list shows it: "Compta.factures", or "clients" for dbo.
    QString Affichage() const
    {
        return sProprietaire.isEmpty() ? sNom : sProprietaire + QLatin1Char('.') + sNom;
    }
};
Q_DECLARE_TYPEINFO(LigneProposition, Q_RELOCATABLE_TYPE);

/// Where completion reads the catalogue: a session on the chosen server and
/// database. The completion logic only knows this interface.
class SourceCatalogue
{
public:
    virtual ~SourceCatalogue() = default;

    /// Opens the session afresh (closing it first when open); false when it cannot.
    virtual bool Ouvre() = 0;
    /// Returns the rows of a catalogue query (columns "name", "Col" and,
    /// when the query has it, "Proprietaire"), or nothing when it failed.
    virtual std::optional<QVector<LigneProposition>> Lignes(const QString &sRequete) = 0;
    /// Returns the server's major version (8 for 2000, 9 for 2005, 15 for
    /// 2019...) of the open session; 0 when unknown.
    virtual int VersionMajeure() = 0;
};
