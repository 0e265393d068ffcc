#pragma once
// Shared by the window tests of the test run and of the completion: a private
// settings folder, a main window connected to the stand-in's Ventes, message
// boxes captured instead of shown. Header only: the test support library does
// not link the windows.
#include "capturemessages.h"
#include "comboimages.h"
#include "configprivee.h"
#include "decouvertetest.h"
#include "frmbrenlor.h"
#include "frmlistemotscles.h"
#include "parametres.h"
#include "standin.h"

#include <QApplication>
#include <QTimer>
#include <QtTest>
#include <memory>

/// A main window started the way the program starts it, with the stand-in as
/// the only discovered server and the saved settings pointing at sBase.
inline std::unique_ptr<frmBrenlor> OuvreFenetre(const StandIn &standIn, const QString &sPWD = QStringLiteral("Mirabel4"),
                                                const QString &sBase = QStringLiteral("Ventes"))
{
    const QString app = frmBrenlor::NomApplication();
    SaveSetting(app, QStringLiteral("General"), QStringLiteral("ServeurSQL"), standIn.serverName());
    SaveSetting(app, QStringLiteral("General"), QStringLiteral("PWD"), sPWD);
    SaveSetting(app, QStringLiteral("General"), QStringLiteral("Base"), sBase);
    auto fenetre = std::make_unique<frmBrenlor>(DecouverteDe({standIn.serverName()}));
    fenetre->Form_Load();
    QApplication::processEvents();
    return fenetre;
}

/// Closes a window of OuvreFenetre, its popup's hide timer stopped first so
/// that it cannot fire into the next test.
inline void FermeFenetre(std::unique_ptr<frmBrenlor> &fenetre)
{
    if (fenetre && fenetre->ListeMotsCles)
        fenetre->ListeMotsCles->tmr->stop();
    fenetre.reset();
}

/// main() of a window test: the settings folder is named before the
/// application object reads the environment.
#define BRENLOR_TEST_FENETRE_MAIN(Classe)                                                   \
    int main(int argc, char **argv)                                                         \
    {                                                                                       \
        if (!kConfigPrivee)                                                                 \
            return 1;                                                                       \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                 \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                        \
        QApplication app(argc, argv);                                                       \
        Classe test;                                                                        \
        QTEST_SET_MAIN_SOURCE_PATH                                                          \
        return QTest::qExec(&test, argc, argv);                                             \
    }
