#pragma once

#include <QString>

/// Number of leading characters the two texts share once lower-cased; -1 when they are equal.
long PositionDifference(const QString& sTexte1, const QString& sTexte2);

/// Which editor shows the difference (1 or 2) and how many characters to select there.
struct EtendueDiff {
    int iEditeur = 1;
    long lLongueur = 0;
};

/// The side and the length of the selection that shows the difference, from the two rests
/// of the texts after their common part.
EtendueDiff EtendueDifference(const QString& sReste1, const QString& sReste2);
