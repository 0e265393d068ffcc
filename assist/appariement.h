#pragma once
#include "lexique.h"

#include <QString>

/// A bracket beside the caret and its partner, as offsets in the text searched.
struct Appariement {
    int lCrochet = -1;       ///< the bracket beside the caret; -1 when there is none
    int lPartenaire = -1;    ///< its partner; -1 when it has none in the text searched
    bool bVersLaFin = false; ///< the partner is searched after the bracket (an opening one)
};

/// The ( ) [ ] just after the caret, or else just before it, and its partner.
/// Brackets inside strings, comments and quoted names are not brackets; a
/// [bracketed name] pairs its own two ends. sTexte is read from etatDebut.
Appariement ApparieCrochet(const QString &sTexte, int lCaret, const EtatLecture &etatDebut = EtatLecture());
