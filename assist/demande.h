#pragma once
#include "contexte.h"
#include "proposition.h"

#include <QStringList>

/// What the popup does after a request.
enum class ActionPopup {
    Rien,     ///< nothing at all (the caret stands in a literal or a comment)
    Cacher,   ///< nothing found: no list stays on screen
    Montrer,  ///< show the list under the caret
    Inserer,  ///< write the single proposal, then close
    Fermer    ///< the single proposal is already written: close
};

/// One proposal request from the editor's text to what the popup does.
struct Demande {
    Contexte contexte;
    ResultatProposition resultat;
    ActionPopup action = ActionPopup::Rien;
};

/// The mode of a request: lSysteme 1 asks for system mode and 2 for user mode,
/// both remembered in lDernierShift; 0 reuses the remembered one.
bool ModeSysteme(int lSysteme, int &lDernierShift);

struct MemoireScript;

/// Runs a request on the text and caret of the editor; a memory of the
/// script spares reading again the batches that did not change since the
/// last request.
Demande DemandeProposition(SourceCatalogue &source, const QString &sTexte, int lCaret, bool bSysteme,
                           GenreDemande genre, MemoireScript *memoire = nullptr);

/// What the popup does with a result: typing shows whatever the filtered
/// query found (one name included); a shortcut writes a single name that
/// differs from the prefix.
ActionPopup DecideAction(const ResultatProposition &resultat, GenreDemande genre, const QString &sPrefixe);

/// The proposal to select: the first whose name equals the prefix, ignoring
/// case, or else the first.
int IndexSelection(const QStringList &noms, const QString &sPrefixe);
/// The same over the listed rows' names, without a list of them.
int IndexSelection(const QVector<LigneProposition> &lignes, const QString &sPrefixe);

/// True when the word at the caret (its last part, typed prefix and rest)
/// already is the chosen name, ignoring case: Enter and Space then are typed.
bool MotTermine(const QString &sTexte, int lCaret, const QString &sNom);
