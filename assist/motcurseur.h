#pragma once
#include <QString>
#include <QStringList>

/// The word at the caret, in 0-based offsets of the text. The word before the
/// caret is the longest run of names, bracketed or quoted names and dots that
/// ends at the caret (a bracket opened and not closed included); the rest of
/// the word is the run of name characters, or the rest of an open bracketed
/// name, that starts at the caret.
struct MotCurseur {
    int lDebut = 0;             ///< start of the word before the caret
    int lDebutPartie = 0;       ///< start of its last part (after its last dot)
    int lCaret = 0;
    int lFin = 0;               ///< end of the rest of the word
    bool bDansLitteral = false; ///< the caret is inside a string literal or a comment
    /// The word before the caret cut at its dots, each part as written.
    QStringList parties;

    bool bAvecPoint() const { return parties.size() > 1; }
};

/// The word at the caret of a text (any line breaks); a caret past the end
/// stands at the end.
MotCurseur MotAuCurseur(const QString &sTexte, int lCaret);

/// The name a part of a word stands for: without its brackets or quotes (an
/// opening one alone included), doubled closing characters made single.
QString NomDeLaPartie(const QString &sPartie);
