#pragma once
// Shared by the window tests of the test run and of the completion: a private
// settings folder, a main window connected to the stand-in's Ventes, message
// boxes captured instead of shown.
#include "boitemessage.h"
#include "comboimages.h"
#include "frmbrenlor.h"
#include "parametres.h"
#include "standin.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

struct MessageCapture {
    QString sTexte;
    IconeMessage icone;
    QString sTitre;
};

/// Messages shown since the last call of InstalleCapture.
inline QList<MessageCapture> &MessagesCaptures()
{
    static QList<MessageCapture> messages;
    return messages;
}

inline void InstalleCapture()
{
    MessagesCaptures().clear();
    InstalleCaptureMessages([](const QString &sTexte, IconeMessage icone, const QString &sTitre) {
        MessagesCaptures().append({sTexte, icone, sTitre});
    });
}

/// A main window started the way the program starts it, with the stand-in as
/// the only discovered server and the saved settings pointing at Ventes.
inline std::unique_ptr<frmBrenlor> OuvreFenetre(const StandIn &standIn, const QString &sPWD = QStringLiteral("Mirabel4"))
{
    const QString app = frmBrenlor::NomApplication();
    SaveSetting(app, QStringLiteral("General"), QStringLiteral("ServeurSQL"), standIn.serverName());
    SaveSetting(app, QStringLiteral("General"), QStringLiteral("PWD"), sPWD);
    SaveSetting(app, QStringLiteral("General"), QStringLiteral("Base"), QStringLiteral("Ventes"));
    auto fenetre = std::make_unique<frmBrenlor>();
    const QString serveur = standIn.serverName();
    fenetre->SourceServeurs = [serveur] { return QStringList{serveur}; };
    fenetre->Form_Load();
    QApplication::processEvents();
    return fenetre;
}

/// main() of a window test: the settings folder must exist before the
/// application object reads the environment.
#define BRENLOR_TEST_FENETRE_MAIN(Classe)                                                   \
    int main(int argc, char **argv)                                                         \
    {                                                                                       \
        QTemporaryDir parametres;                                                           \
        qputenv("XDG_CONFIG_HOME", parametres.path().toUtf8());                             \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                 \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                        \
        QApplication app(argc, argv);                                                       \
        Classe test;                                                                        \
        QTEST_SET_MAIN_SOURCE_PATH                                                          \
        return QTest::qExec(&test, argc, argv);                                             \
    }
