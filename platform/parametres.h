#pragma once
#include <QString>

/// The stored value, or sDefaut when absent or when the store cannot be read.
/// The store is an INI file <config>/Brenlor/<sApplication>.ini, readable by
/// its owner only.
QString GetSetting(const QString &sApplication, const QString &sSection, const QString &sCle,
                   const QString &sDefaut);
/// Writes a value at once; failures are ignored.
void SaveSetting(const QString &sApplication, const QString &sSection, const QString &sCle,
                 const QString &sValeur);
