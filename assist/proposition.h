#pragma once
#include "requetes.h"
#include <QString>
#include <QVector>

class Connexion;

/// One proposed name and the icon key of its kind ("U", "V", "S", "bases"...).
struct LigneProposition {
    QString sNom;
    QString sCleIcone;
};

/// The outcome of one proposal request: bLignes is true only when there is at
/// least one row; lRecordCount is the row count as the recordset gave it.
struct ResultatProposition {
    bool bLignes = false;
    long lRecordCount = 0;
    QVector<LigneProposition> lignes;
};

/// The rows of the filtered query, or of the unfiltered one when the filtered
/// one has none, read over cn after closing and reopening it; never throws.
ResultatProposition ExecuteProposition(Connexion &cn, const QString &sChaineConnexion,
                                       const Requetes &r);
