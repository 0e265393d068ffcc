#pragma once

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

// One left-to-right pass of the whole-word replacement of one keyword, in linear time.
// RemplaceMotEntier and the formatter both go through it.

/// How one pass ran: whether it changed anything, and whether a free-standing occurrence (a
/// non-letter right before and right after it) lies in its input or, as the caller said, beyond.
struct BilanPasse {
    bool bModifie = false;
    bool bOccurrenceLibre = false;
};

/// Parameters of one pass: the bare word, the replacement and how occurrences are found.
struct ReglePasse {
    QStringView sMot;            ///< the bare word, as written
    QStringView sMotMaj;         ///< the bare word upper-cased (MajusculesSimples); empty = work it out
    QStringView sRemplacement;
    bool bSansCasse = true;      ///< search ignoring case (comparison mode 1)
    bool bCadreAvant = true;     ///< the framed word began with "%"
    bool bCadreApres = true;     ///< the framed word ended with "%"
};

/// Appends to sSortie the text sEntree with the pass applied. bLibreAuDela tells that the text
/// going on after sEntree (handled separately) holds a free-standing occurrence, which keeps
/// the search going to the end of sEntree.
BilanPasse PasseMotEntier(QStringView sEntree, const ReglePasse& regle, bool bLibreAuDela,
                          QString& sSortie);

/// The same pass appending to a plain UTF-16 buffer, for callers that run many passes over
/// short texts and reuse their buffers from one text to the next.
BilanPasse PasseMotEntier(std::u16string_view sEntree, const ReglePasse& regle, bool bLibreAuDela,
                          std::u16string& sSortie);
