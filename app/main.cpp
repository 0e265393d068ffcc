#include "frmbrenlor.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The settings are kept under the executable's own name.
    app.setApplicationName(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    // Lets a Wayland desktop match the window with the installed entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.brenlor.Brenlor"));
    frmBrenlor fenetre;
    fenetre.Form_Load();
    return app.exec();
}
