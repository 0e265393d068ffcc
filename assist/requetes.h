#pragma once
#include "contexte.h"
#include <QString>

/// The two catalogue queries of one request: the unfiltered one and the one
/// narrowed by the typed prefix.
struct Requetes {
    QString sRequete;
    QString sRequeteFiltree;
};

/// The unfiltered and filtered catalogue queries for a context; quotes in the
/// prefix and object are doubled and the prefix's LIKE wildcards match literally.
Requetes ConstruitRequetes(const Contexte &contexte, bool bSysteme);
