#include "occurrences.h"

long DerniereOccurrence(const QString &sTexte, const QString &sCherche, long lLimite)
{
    if (lLimite < 1 || sCherche.isEmpty())
        return 0;
    const long lFinMax = qMin<long>(lLimite, sTexte.size());
    const long lDebutMax = lFinMax - sCherche.size();
    if (lDebutMax < 0)
        return 0;
    return sTexte.lastIndexOf(sCherche, lDebutMax) + 1;
}

long PremiereOccurrence(const QString &sTexte, const QString &sCherche, long lDepart)
{
    if (lDepart < 1 || lDepart > sTexte.size() || sCherche.isEmpty())
        return 0;
    return sTexte.indexOf(sCherche, lDepart - 1) + 1;
}
