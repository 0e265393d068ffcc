#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

// Small pure helpers shared by the formatter, the comparison and the completion.
// Positions are 1-based; 0 means "absent".

/// Highest index of the list (count - 1, so -1 for an empty list); 0 when there is no list at all.
int BorneSuperieure(const std::optional<QStringList>& liste);
/// Highest index of the list: count - 1 (-1 for an empty list, as splitting an empty text gives).
int BorneSuperieure(const QStringList& liste);

/// a when a > b, otherwise b.
long PlusGrand(long a, long b);
/// a when a < b, otherwise b.
long PlusPetit(long a, long b);
/// Largest element, each rounded to the nearest whole number (halves to even); never below 0.
long PlusGrandDuTableau(const QVector<double>& valeurs);
/// The smaller of two positions where 0 stands for "absent" (0 only when both are 0).
long PlusPetitNonNul(long a, long b);
/// Among the tokens' last occurrences within the first lDebut characters (-1 = whole text),
/// the smallest non-zero position; 0 when none occurs. Throws std::invalid_argument for
/// lDebut == 0 or lDebut < -1.
long ChercheListeArriere(const QString& sTexte, long lDebut, const QStringList& tokens);
