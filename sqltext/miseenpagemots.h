#pragma once

#include "motscles.h"

#include <QString>

/// Lays out every keyword of the table in table order, exactly as one whole-word replacement
/// per keyword (and, unless bGarderOuter, the removal of the words marked Supprime where JOIN
/// follows them) applied one after the other would. The text must begin and end with a space,
/// as the formatter prepares it. The result replaces what sSortie held, in the room it has.
void MiseEnPageMotsCles(const QString& sTexte, const TableauMotsCles& table, bool bGarderOuter, QString& sSortie);
