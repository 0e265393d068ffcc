#pragma once
#include <QString>

/// The object, as written ("clients", "[lignes de commande]",
/// "Ventes.dbo.clients"), that the statement around the caret names with
/// that alias (FROM x a, FROM x AS a, JOIN x a, a comma list after FROM,
/// MERGE INTO x a USING y b);
/// "" when it names none. The statement is bounded by ";", a GO line or the
/// ends of the text; literals and comments are not read as SQL.
QString ObjetDeLAlias(const QString &sTexte, int lCaret, const QString &sAlias);
