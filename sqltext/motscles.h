#pragma once

#include <QString>
#include <vector>

/// One keyword of the formatter and the layout it gets.
struct MotCle {
    QString Mot;            ///< lower case, no surrounding spaces
    bool RetourLigne = false; ///< a new line starts before the word
    bool Supprime = false;    ///< the word is removed from the text
    bool EspaceApres = false; ///< one space is written after the word
};

/// Keywords in the order the formatter applies them; empty means "never built".
using TableauMotsCles = std::vector<MotCle>;

/// Appends one entry; the word is stored lower-cased and trimmed of spaces.
void AjouteMotCle(TableauMotsCles& table, const QString& sMot, bool bRetourLigne, bool bSupprime,
                  bool bEspaceApres);
/// Appends the 65 keywords of the formatter, in their fixed order.
void InitialiseMotsCles(TableauMotsCles& table);
