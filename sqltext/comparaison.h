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

/// What the comparison selects: from lDebut (0-based), lLongueur1 characters
/// of the first text and lLongueur2 of the second, the editor iEditeur taking
/// the focus; bAucune when the texts do not differ (letter case aside).
struct SelectionDifference {
    bool bAucune = false;
    long lDebut = 0;
    long lLongueur1 = 0;
    long lLongueur2 = 0;
    int iEditeur = 1;
};
SelectionDifference SelectionDeDifference(const QString& sTexte1, const QString& sTexte2);
