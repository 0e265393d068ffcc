#include "comparaison.h"

#include "casse.h"
#include "recherchetoken.h"

#include <algorithm>
#include <cstring>

namespace {

// Compares the units [lDebut, lFin) of both texts; the caller knows both are long enough.
bool TranchesEgales(const QString& a, const QString& b, long lDebut, long lFin)
{
    if (lFin <= lDebut)
        return true;
    return std::memcmp(a.constData() + lDebut, b.constData() + lDebut,
                       size_t(lFin - lDebut) * sizeof(QChar))
        == 0;
}

} // namespace

long PositionDifference(const QString& sTexte1, const QString& sTexte2)
{
    const QString a = MinusculesSimples(sTexte1);
    const QString b = MinusculesSimples(sTexte2);
    if (a == b)
        return -1;

    const long lCourt = long(std::min(a.size(), b.size()));
    const long lLong = long(std::max(a.size(), b.size()));
    // Prefixes are compared by length, growing by half after an equal one and going back to
    // the midpoint after a different one. Only the stretch beyond the longest prefix known to
    // be equal is compared again, so the whole search reads each character a bounded number
    // of times instead of once per step.
    long lEgal = 0;
    long lDifferent = lLong + 1; // shortest length known to differ (none known yet)
    long lLongueur = lCourt;
    while (lDifferent - lEgal > 2) {
        const bool bEgaux = lLongueur <= lCourt && TranchesEgales(a, b, lEgal, lLongueur);
        long lSuivante;
        if (bEgaux) {
            lEgal = lLongueur;
            lSuivante = std::min(lLongueur + lLongueur / 2, lLong);
            // Growing into a length already known to differ would only undo the bisection.
            if (lSuivante >= lDifferent)
                lSuivante = lEgal + (lDifferent - lEgal) / 2;
        } else {
            lDifferent = lLongueur;
            lSuivante = lEgal + (lLongueur - lEgal) / 2;
        }
        if (lSuivante == lLongueur)
            break;
        lLongueur = lSuivante;
    }
    // The open interval is now at most a character or two wide: finish one unit at a time.
    long p = lEgal;
    while (p < lCourt && a.at(p) == b.at(p))
        ++p;
    return p;
}

namespace {

// 1-based position of the first character of sDans equal to c; the length of sDans when
// there is none (an empty c matches nothing).
long PositionOuLongueur(const QString& sDans, const QString& c)
{
    if (!c.isEmpty()) {
        const qsizetype idx = sDans.indexOf(c.at(0));
        if (idx >= 0)
            return long(idx) + 1;
    }
    return long(sDans.size());
}

bool EstBlanc(const QString& c)
{
    return c == QLatin1String(" ") || c == QLatin1String("\r") || c == QLatin1String("\n")
        || c == QLatin1String("\t");
}

} // namespace

EtendueDiff EtendueDifference(const QString& sReste1, const QString& sReste2)
{
    const QString r1 = MinusculesSimples(sReste1);
    const QString r2 = MinusculesSimples(sReste2);
    const QString c1 = r1.left(1);
    const QString c2 = r2.left(1);
    const long q2 = PositionOuLongueur(r2, c1);
    const long q1 = PositionOuLongueur(r1, c2);
    const long l1 = long(r1.size());
    const long l2 = long(r2.size());

    EtendueDiff e;
    if (q1 == q2)
        e.iEditeur = EstBlanc(c1) ? 1 : 2;
    else if (q1 <= 0)
        e.iEditeur = 2;
    else if (q2 <= 0)
        e.iEditeur = 1;
    else if (q1 < l1)
        e.iEditeur = 2;
    else if (q2 < l2)
        e.iEditeur = 1;
    else
        e.iEditeur = q1 < q2 ? 1 : 2;

    const long n = (q1 != 0 && q2 != 0) ? PlusPetit(q1, q2) - 1 : PlusGrand(q1, q2) - 1;
    // Two empty rests (never the case after a real difference) would ask for -1 characters.
    e.lLongueur = std::max(0L, n);
    return e;
}

SelectionDifference SelectionDeDifference(const QString& sTexte1, const QString& sTexte2)
{
    SelectionDifference d;
    const long p = PositionDifference(sTexte1, sTexte2);
    if (p < 0) {
        d.bAucune = true;
        return d;
    }
    const EtendueDiff etendue = EtendueDifference(sTexte1.mid(int(p)), sTexte2.mid(int(p)));
    d.lDebut = p;
    d.iEditeur = etendue.iEditeur;
    (etendue.iEditeur == 1 ? d.lLongueur1 : d.lLongueur2) = etendue.lLongueur;
    return d;
}
