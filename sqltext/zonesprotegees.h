#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// The parts of a query that the formatter must keep exactly as written: string literals
// ('...' with '' inside, N'...'), comments (-- to the end of the line, nested /* */),
// bracketed names ([...] with ]] inside), double-quoted names, and variable or temporary-table
// names (@x, @@x, #x, ##x). Each one is swapped for a single marker character while the layout
// runs and put back afterwards.

/// The character that stands for one protected part during the layout.
constexpr char16_t MarqueurZone = u'\uE000';

enum class GenreZone { Litteral, CommentaireLigne, CommentaireBloc, Nom, Variable, Marqueur };

/// Where a part stands in the text it was taken from: a script holds thousands of them, and
/// a copy of each would cost an allocation apiece.
struct ZoneProtegee {
    GenreZone genre;
    qsizetype lDebut;
    qsizetype lLongueur;
};

/// The text with each protected part replaced by MarqueurZone, the parts in text order, and the
/// text they were taken from (shared, not copied).
struct TexteProtege {
    QString sTexte;
    QString sSource;
    std::vector<ZoneProtegee> zones;
};

/// Splits out the protected parts into tp, in place of what it held (the room its text already
/// has is used, and four characters more are made room for). An unterminated part runs to lFin
/// (0-based, exclusive), the rest of the text after lFin being plain.
void ProtegeZones(const QString& sTexte, qsizetype lFin, TexteProtege& tp);

/// Puts a CR LF after every line comment that is not followed, after blanks and TABs, by a CR LF
/// or by the end of the text, in place of those blanks; the new line opens with as many TABs
/// as the comment's line, or as those blanks held when they held more.
void CoupeApresCommentaires(QString& sTexte, const std::vector<ZoneProtegee>& zones);

/// The text with each marker replaced by its part (read from sSource), in order, in place of
/// what sSortie held. Throws when the count differs.
void RestaureZones(const QString& sTexte, const std::vector<ZoneProtegee>& zones, const QString& sSource,
                   QString& sSortie);
