#pragma once

#include <QString>

/// The text with every whole-word occurrence of the framed word ("%" + word + "%") replaced;
/// iMode 1 finds occurrences ignoring case, 0 exactly. An occurrence glued to a character of
/// a name (a letter of any script, a digit, "_", "@", "#", "$") or to a "." stays as it is, and
/// nothing is ever put inside a name.
QString RemplaceMotEntier(const QString& sTexte, const QString& sMotCadre,
                          const QString& sRemplacement, int iMode);
