#include "recherchetoken.h"

#include <cmath>
#include <limits>
#include <stdexcept>

int BorneSuperieure(const std::optional<QStringList>& liste)
{
    return liste ? BorneSuperieure(*liste) : 0;
}

int BorneSuperieure(const QStringList& liste)
{
    return int(liste.size()) - 1;
}

long PlusGrand(long a, long b)
{
    return a > b ? a : b;
}

long PlusPetit(long a, long b)
{
    return a < b ? a : b;
}

// Whole numbers are 32-bit: anything that does not fit (or is not a number) cannot be converted.
static long EnEntier(double d)
{
    const double arrondi = std::nearbyint(d); // default rounding mode: halves go to even
    if (!std::isfinite(arrondi) || arrondi < double(std::numeric_limits<int32_t>::min())
        || arrondi > double(std::numeric_limits<int32_t>::max()))
        throw std::overflow_error("PlusGrandDuTableau: valeur hors des entiers 32 bits");
    return long(arrondi);
}

long PlusGrandDuTableau(const QVector<double>& valeurs)
{
    long lPlusGrand = 0;
    for (double d : valeurs)
        lPlusGrand = PlusGrand(lPlusGrand, EnEntier(d));
    return lPlusGrand;
}

long PlusPetitNonNul(long a, long b)
{
    if (a < b)
        return a == 0 ? b : a;
    return b == 0 ? a : b;
}

// Last occurrence of sToken lying wholly within the first lDebut characters (1-based, 0 = none).
static long CherchePrecedent(const QString& sTexte, long lDebut, const QString& sToken)
{
    const long lLongueur = long(sTexte.size());
    if (lLongueur == 0 || lDebut > lLongueur)
        return 0;
    const long lFin = lDebut == -1 ? lLongueur : lDebut;
    if (sToken.size() > lFin)
        return 0;
    const qsizetype idx = sTexte.lastIndexOf(sToken, lFin - sToken.size());
    return idx < 0 ? 0 : long(idx) + 1;
}

long ChercheListeArriere(const QString& sTexte, long lDebut, const QStringList& tokens)
{
    if (lDebut == 0 || lDebut < -1)
        throw std::invalid_argument("ChercheListeArriere: position de départ invalide");
    long lResultat = 0;
    for (const QString& sToken : tokens)
        lResultat = PlusPetitNonNul(lResultat, CherchePrecedent(sTexte, lDebut, sToken));
    return lResultat;
}
