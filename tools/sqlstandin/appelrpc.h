#pragma once
#include <QByteArray>
#include <QString>
#include <QVector>

/// One parameter of an RPC request, turned into what a statement needs.
struct ParametreRpc {
    QString sNom;        ///< "@P1", or "" when the client sent none
    bool bSortie = false;
    bool bNul = true;
    QString sLitteral;   ///< the value as a SQL literal ("NULL", "12", "'text'")
    QString sTexte;      ///< the value as text (for the statement and parameter list)
    qint64 lEntier = 0;
};

/// An RPC request: the procedure (by name or well-known number) and its parameters.
struct AppelRpc {
    QString sProcedure;  ///< lower case, e.g. "sp_prepexec"
    QVector<ParametreRpc> parametres;
    bool bValide = false;
};

/// Returns the decoded RPC request; starts at the procedure name (after ALL_HEADERS).
AppelRpc DecodeAppelRpc(const QByteArray &contenu, int lDebut);

/// Returns the statement with its @P1... parameters replaced by literal values:
/// parameters are matched by name, or by position against the declared list.
QString RemplaceParametres(const QString &sInstruction, const QString &sDeclarations,
                           const QVector<ParametreRpc> &valeurs);
