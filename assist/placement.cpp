#include "placement.h"
#include "occurrences.h"

long DebutLigne(const QString &sTexte, int lCaret)
{
    const long pLigne = DerniereOccurrence(sTexte, QStringLiteral("\r\n"), lCaret);
    return pLigne == 0 ? 1 : pLigne + 2;
}
