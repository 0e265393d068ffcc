#pragma once
#include <QString>

/// The one connection-string format of the program:
/// "Provider=MSDataShape; Data Provider=SQLOLEDB; Data Source=<server>; Initial Catalog =<base>; UID=sa; PWD=<pwd>;Application Name=<title>"
/// A value is quoted only when it holds ";", a quote, or leading or trailing blanks.
QString ChaineConnexion(const QString &sServeur, const QString &sBase, const QString &sPWD,
                        const QString &sTitreApplication);

/// Returns the value as it goes into a connection string: unchanged, or in
/// double quotes (inner double quotes doubled) when it holds ";", a quote, or
/// leading or trailing blanks.
QString ValeurChaineConnexion(const QString &sValeur);

/// What a connection string asks for, in the terms the ODBC layer needs.
struct ParametresConnexion {
    QString sFournisseur;         ///< "Provider", empty when absent
    QString sFournisseurDonnees;  ///< "Data Provider", empty when absent
    QString sSource;              ///< "Data Source": the server as the user typed it
    QString sBase;                ///< "Initial Catalog", empty for the login's default
    QString sUtilisateur;         ///< "UID"
    QString sMotDePasse;          ///< "PWD"
    QString sApplication;         ///< "Application Name"
};

/// Returns the parts of a connection string. Keys are compared without
/// regard to case or to blanks around them; unknown keys are ignored.
/// Throws ErreurAdo (0x80040E73) for a malformed string and (3706) for a
/// provider other than the SQL Server ones.
ParametresConnexion AnalyseChaineConnexion(const QString &sChaine);
