#pragma once
#include <QString>

/// The program's own settings: section "General" of the store named after
/// the executable. "*" reads as absent.
namespace Reglages {

/// The settings' application name: the executable's base name.
QString NomApplication();
/// The saved value of a key, or sDefaut.
QString Lit(const QString &sCle, const QString &sDefaut = QStringLiteral("*"));
void Enregistre(const QString &sCle, const QString &sValeur);

} // namespace Reglages
