#pragma once

#include <QString>

/// The text with every whole-word occurrence of the framed word ("%" + word + "%") replaced;
/// iMode 1 finds occurrences ignoring case, 0 exactly. An occurrence glued to a letter, "."
/// or "_" stays as it is.
QString RemplaceMotEntier(const QString& sTexte, const QString& sMotCadre,
                          const QString& sRemplacement, int iMode);
