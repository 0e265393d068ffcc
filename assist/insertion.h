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

/// The text a chosen name writes: a name that T-SQL would read as several
/// tokens (a blank, a dot or a backslash in it) between brackets, each part of
/// an owner-qualified name on its own, and ".dbo." after a database.
QString TexteDuChoix(const QString &sNom, const QString &sProprietaire, bool bBase);

/// The text and caret after writing sEcrit in place of the last part of the
/// word at the caret (the typed prefix and the rest of the word, nothing else);
/// the caret goes right after sEcrit.
Insertion RemplaceMot(const QString &sTexteEditeur, int lCaret, const QString &sEcrit);

/// The text and caret after a typed character (written at the caret) or a
/// Backspace (code 8: the character before the caret, a CR LF pair as one).
Insertion InsereFrappe(const QString &sTexteEditeur, int lCaret, const QString &sTexte);

/// InsereFrappe for a typed character (bKeyPress), otherwise RemplaceMot with
/// the text of a chosen name (bBase for a database).
Insertion CalculeInsertion(const QString &sTexteEditeur, int lCaret, const QString &sTexte,
                           bool bKeyPress, bool bBase);

/// A span of the editor's text, [lDebut, lDebut + lLongueur), and what replaces it.
struct Plage {
    int lDebut = 0;
    int lLongueur = 0;
    QString sTexte;
};

/// TexteDuChoix, keeping the opening bracket or quote the user typed before
/// the name (sPartieTapee is the last part of the word as written).
QString TexteDuChoixTape(const QString &sPartieTapee, const QString &sNom, const QString &sProprietaire,
                         bool bBase);

/// The span a chosen name replaces in the text the word was read from: the
/// last part of the word (its typed prefix and its rest), nothing else.
Plage PlageDuChoix(const MotCurseur &mot, const QString &sNom, const QString &sProprietaire, bool bBase);
