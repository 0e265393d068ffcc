#pragma once
// A private settings folder for one test process. The settings store finds
// its folder once per process, so the environment names a temporary one
// before anything (the application object included) reads it.
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

/// The process's own settings folder, removed when the process ends.
inline QTemporaryDir &DossierConfig()
{
    static QTemporaryDir dossier;
    return dossier;
}

/// True once XDG_CONFIG_HOME names DossierConfig(); set before main() runs.
[[maybe_unused]] static const bool kConfigPrivee = [] {
    qputenv("XDG_CONFIG_HOME", DossierConfig().path().toLocal8Bit());
    return true;
}();

/// The INI file the store keeps an application's settings in.
inline QString FichierParametres(const QString &sApplication)
{
    return DossierConfig().path() + QLatin1String("/Brenlor/") + sApplication + QLatin1String(".ini");
}
