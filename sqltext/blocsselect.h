#pragma once

#include <QString>

// Helpers of the formatter's last stage, which works on the SELECT blocks of the laid-out text.

/// Fills lOuvrante and lFermante (1-based, 0 for none) with the "(" and ")" that close the
/// block's walk: the k-th "(" is paired with the k-th ")" after the first character.
void ChercheParentheses(const QString& sBloc, long& lOuvrante, long& lFermante);

/// Inserts sInsertion into sTexte right before the 1-based position lPosition.
void InsereChaine(QString& sTexte, const QString& sInsertion, long lPosition);

/// Puts a TAB in front of every line of the block that starts before lFermante (every line
/// when lFermante and lOuvrante are both 1), unless the line already begins with a TAB.
void IndenteBloc(QString& sBloc, long lFermante, long lOuvrante);
