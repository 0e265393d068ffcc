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

/// The settings file of an application.
QString CheminParametres(const QString &sApplication);
/// Run at start before anything reads the settings: a settings file (or its
/// lock file) that others may read is made readable by its owner only. Returns
/// what is wrong with the file for the user to read (unreadable, not a
/// settings file), empty when it is fine or absent.
QString SecuriseParametres(const QString &sApplication);
