#pragma once

#include "motscles.h"

#include <QString>
#include <QStringView>
#include <vector>

/// The words of the keyword table that the layout always puts at the start of a line (marked
/// RetourLigne and not removed), to tell whether one of them stands at a given place.
class MotsDebutLigne {
public:
    explicit MotsDebutLigne(const TableauMotsCles& table);

    /// True when one of the words stands at i (0-based) as a whole word: no character of a
    /// name or "." right after it. Letter case is ignored.
    bool Commence(QStringView sTexte, qsizetype i) const;

private:
    std::vector<QString> m_mots; // upper-cased
};

/// The indentation that the line starting at i (0-based, right after a line break) opens with:
/// the position just past its blanks and TABs when a word of mots follows them, i otherwise.
/// A line that the layout starts again gets the layout's indentation, not the one it had.
qsizetype FinIndentationAvantMot(QStringView sTexte, qsizetype i, const MotsDebutLigne& mots);
