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

struct Jeton;

/// Finds the word at the caret from the pieces of the text read in order,
/// so that a reader going through the text anyway finds it on the way.
class SuiviMot
{
public:
    SuiviMot(const QString &sTexte, int lCaret);
    /// Takes the next piece; pieces starting at or after the caret are not needed.
    void Lit(const Jeton &jeton);
    /// The word, once every piece before the caret was read.
    MotCurseur Mot() const;
    int Caret() const { return m_lCaret; }

private:
    const QString &m_texte;
    int m_lCaret;
    int m_lDebutMot = 0;
    int m_lFinSegment = -1;
    bool m_bDansLitteral = false;
};

/// The name a part of a word stands for: without its brackets or quotes (an
/// opening one alone included), doubled closing characters made single.
QString NomDeLaPartie(const QString &sPartie);
