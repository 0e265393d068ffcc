#pragma once

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

// One left-to-right pass of the whole-word replacement of one keyword, in linear time.
// RemplaceMotEntier and the formatter both go through it.

/// Parameters of one pass: the bare word, the replacement and how occurrences are found.
struct ReglePasse {
    QStringView sMot;            ///< the bare word, as written
    QStringView sMotMaj;         ///< the bare word upper-cased (MajusculesSimples); empty = work it out
    QStringView sRemplacement;
    bool bSansCasse = true;      ///< search ignoring case (comparison mode 1)
    bool bCadreAvant = true;     ///< the framed word began with "%": nothing of a name before it
    bool bCadreApres = true;     ///< the framed word ended with "%": nothing of a name after it
};

/// Appends to sSortie the text sEntree with the pass applied; true when anything was replaced.
/// An occurrence is replaced only where it stands as a whole word (EstCaractereMot on neither
/// framed side), and never when it ends the text: bTexteContinue tells that sEntree is only a
/// part of the text and that the text goes on after it.
bool PasseMotEntier(QStringView sEntree, const ReglePasse& regle, bool bTexteContinue,
                    QString& sSortie);

/// The same pass appending to a plain UTF-16 buffer, for callers that run many passes over
/// short texts and reuse their buffers from one text to the next.
bool PasseMotEntier(std::u16string_view sEntree, const ReglePasse& regle, bool bTexteContinue,
                    std::u16string& sSortie);
