#pragma once
#include "requetes.h"
#include "sourcecatalogue.h"

/// How a request was asked for: by a proposal shortcut, or by typing (a
/// character written while the list shows, or a dot).
enum class GenreDemande { Raccourci, Frappe };

/// The outcome of one proposal request: bLignes is true only when there is at
/// least one row; lRecordCount is the number of rows the catalogue gave.
struct ResultatProposition {
    bool bLignes = false;
    long lRecordCount = 0;
    QVector<LigneProposition> lignes;
};

/// The rows of the filtered query or, for a shortcut whose filtered query has
/// none, of the unfiltered one, read on a freshly opened session.
ResultatProposition ExecuteProposition(SourceCatalogue &source, const Requetes &r,
                                       GenreDemande genre = GenreDemande::Raccourci);
