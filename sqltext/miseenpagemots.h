#pragma once

#include "motscles.h"

#include <QString>

/// The text with every keyword of the table laid out in table order, exactly as one
/// whole-word replacement per keyword (and the removal of the words marked Supprime unless
/// bGarderOuter) applied one after the other would leave it. The text must begin and end
/// with a space, as the formatter prepares it.
QString MiseEnPageMotsCles(const QString& sTexte, const TableauMotsCles& table, bool bGarderOuter);
