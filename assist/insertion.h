#pragma once
#include <QString>

struct MotCurseur;

/// The editor text and caret after an insertion; bAppliquee is false when the
/// text is to be left unchanged.
struct Insertion {
    bool bAppliquee = false;
    QString sTexte;
    int lSelStart = 0;
};

/// A span of the editor's text, [lDebut, lDebut + lLongueur), and what
/// replaces it; bAppliquee is false when nothing is to change.
struct Plage {
    int lDebut = 0;
    int lLongueur = 0;
    QString sTexte;
    bool bAppliquee = true;
};

/// The text a chosen name writes: a name that T-SQL would read as several
/// tokens (a blank, a dot or a backslash in it) between brackets, each part of
/// an owner-qualified name on its own, and ".dbo." after a database.
QString TexteDuChoix(const QString &sNom, const QString &sProprietaire, bool bBase);

/// TexteDuChoix, keeping the opening bracket or quote the user typed before
/// the name (sPartieTapee is the last part of the word as written).
QString TexteDuChoixTape(const QString &sPartieTapee, const QString &sNom, const QString &sProprietaire,
                         bool bBase);

/// The span a chosen name replaces in the text the word was read from: the
/// last part of the word (its typed prefix and its rest), nothing else.
Plage PlageDuChoix(const MotCurseur &mot, const QString &sNom, const QString &sProprietaire, bool bBase);

/// The span a typed character changes: none, written at the caret; for a
/// Backspace (code 8) the character before the caret, or the whole CR LF pair
/// when the caret is right after a line break (bApresSaut).
Plage PlageDeFrappe(int lCaret, bool bApresSaut, const QString &sTouche);

/// The text and caret of a whole text after a typed character
/// (bKeyPress) or a chosen name (bBase for a database), by the spans above.
Insertion CalculeInsertion(const QString &sTexteEditeur, int lCaret, const QString &sTexte,
                           bool bKeyPress, bool bBase);
