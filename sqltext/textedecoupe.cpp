#include "textedecoupe.h"

#include "sautsligne.h"

#include <stdexcept>

bool EstTexteDecoupe(const QString& sTexte)
{
    return EstTexteDecoupe(sTexte, false);
}

// A CR LF put after the end ends the last line as it stands and adds an empty one.
bool EstTexteDecoupe(const QString& sTexte, bool bCRLFAjoute)
{
    long lLignes = 1;
    long lPleines = 0;
    qsizetype debut = 0; // start of the current line
    for (;;) {
        const qsizetype idx = ChercheCRLF(sTexte, debut);
        const qsizetype fin = idx < 0 ? sTexte.size() : idx;
        if (fin - debut == 1023)
            ++lPleines;
        if (idx < 0)
            break;
        ++lLignes;
        debut = idx + 2;
    }
    if (bCRLFAjoute)
        ++lLignes;
    const long lPaires = lLignes - 1;
    if (lPaires < 1)
        throw std::domain_error("EstTexteDecoupe: aucun saut de ligne");
    return double(lPleines) / double(lPaires) > 0.1;
}
