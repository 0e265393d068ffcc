#pragma once
#include "requetes.h"
#include "sourcecatalogue.h"

#include <QVector>

/// How a request was asked for: by a proposal shortcut, or by typing (a
/// character written while the list shows, or a dot).
enum class GenreDemande { Raccourci, Frappe };

/// The outcome of one proposal request: bLignes is true only when there is at
/// least one row; lRecordCount is the number of rows the catalogue gave.
struct ResultatProposition {
    bool bLignes = false;
    long lRecordCount = 0;
    bool bNonFiltre = false;  ///< the names are those of an unfiltered query
    QVector<LigneProposition> lignes;
};

/// The rows of the first attempt that gives some, on the open session: its
/// filtered query or, for a shortcut whose filtered query has none, its
/// unfiltered one. A query that fails ends the request. The default schema's
/// owner (dbo) is not shown.
ResultatProposition ExecuteProposition(SourceCatalogue &source, const QVector<Requetes> &tentatives,
                                       GenreDemande genre = GenreDemande::Raccourci);
