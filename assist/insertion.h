#pragma once
#include <QString>

/// The editor text and caret after an insertion; bAppliquee is false when the
/// text is to be left unchanged.
struct Insertion {
    bool bAppliquee = false;
    QString sTexte;
    int lSelStart = 0;
};

/// The text and caret after writing sTexte (a typed character, Backspace as
/// code 8, or a chosen name when bKeyPress is false; bBase for a database) at
/// the caret of sTexteEditeur.
Insertion CalculeInsertion(const QString &sTexteEditeur, int lCaret, const QString &sTexte,
                           bool bKeyPress, bool bBase);
