#pragma once
#include "contexte.h"
#include "sourcecatalogue.h"

#include <QVector>

struct LectureScript;

/// The names a script declares for a context: the columns of one of its
/// tables after a dot, its variables after "@", its temporary tables after
/// "#", its CTEs and temporary tables beside the catalogue's tables.
struct NomsDuScript {
    /// The script alone answers: the catalogue is not asked.
    bool bSeuls = false;
    /// Those that start with the prefix (letter case aside), and all of them.
    QVector<LigneProposition> filtrees;
    QVector<LigneProposition> toutes;
    /// The catalogue object whose columns are wanted as well (a table filled by SELECT *).
    QString sSource;
};

/// The names the reading of the script gives the context.
NomsDuScript ChercheNomsDuScript(const LectureScript &lecture, const Contexte &contexte, bool bSysteme);
