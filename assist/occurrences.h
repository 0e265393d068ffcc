#pragma once
#include <QString>

// Exact, case-sensitive searches with 1-based positions (0 = not found).

/// Position of the last occurrence of sCherche lying wholly within the first
/// lLimite characters of sTexte; 0 when there is none or lLimite < 1.
long DerniereOccurrence(const QString &sTexte, const QString &sCherche, long lLimite);

/// Position of the first occurrence of sCherche starting at position lDepart
/// or later; 0 when there is none or lDepart < 1.
long PremiereOccurrence(const QString &sTexte, const QString &sCherche, long lDepart);
