#include "frmbrenlor.h"
#include "gestionfichiers.h"
#include "parametres.h"

#include <QApplication>
#include <QFileInfo>
#include <QStatusBar>

namespace {

// Scripts named on the command line; options (Qt's own were taken out by the
// application object) are not files.
QStringList FichiersDeLaLigneDeCommande()
{
    QStringList fichiers;
    for (const QString &argument : QCoreApplication::arguments().mid(1)) {
        if (!argument.startsWith(QLatin1Char('-')))
            fichiers << argument;
    }
    return fichiers;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The settings are kept under the executable's own name.
    app.setApplicationName(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    // Lets a Wayland desktop match the window with the installed entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.brenlor.Brenlor"));
    // The file holds the password: made private before anything reads it.
    const QString sEtatReglages = SecuriseParametres(app.applicationName());
    frmBrenlor fenetre;
    fenetre.sta->showMessage(sEtatReglages);
    fenetre.bEchecSilencieux = !sEtatReglages.isEmpty();
    fenetre.Form_Load();
    fenetre.bEchecSilencieux = false;
    fenetre.Fichiers->Demarre(FichiersDeLaLigneDeCommande());
    return app.exec();
}
