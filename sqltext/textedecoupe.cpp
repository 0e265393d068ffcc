#include "textedecoupe.h"

#include <stdexcept>

bool EstTexteDecoupe(const QString& sTexte)
{
    const QLatin1String crlf("\r\n");
    long lLignes = 0;
    long lPleines = 0;
    qsizetype debut = 0;
    for (;;) {
        const qsizetype idx = sTexte.indexOf(crlf, debut);
        const qsizetype fin = idx < 0 ? sTexte.size() : idx;
        ++lLignes;
        if (fin - debut == 1023)
            ++lPleines;
        if (idx < 0)
            break;
        debut = idx + 2;
    }
    const long lPaires = lLignes - 1;
    if (lPaires < 1)
        throw std::domain_error("EstTexteDecoupe: aucun saut de ligne");
    return double(lPleines) / double(lPaires) > 0.1;
}
