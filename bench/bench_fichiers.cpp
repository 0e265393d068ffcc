// Opening a 6 MiB script into an editor of the main window until it is usable
// (text in the editor, the window painted), in each of the common forms.
// Last line: open_6MiB_ms utf8=X windows1252=Y utf16=Z (median of 5)

#include "editeurriche.h"
#include "formescript.h"
#include "frmbrenlor.h"
#include "gestionfichiers.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr qsizetype kTaille = 6 * 1024 * 1024;

QString Script()
{
    const QString bloc = QStringLiteral(
        "SELECT c.nom, o.numero, SUM(l.quantite) AS total -- clients d'été\r\n"
        "FROM clients c INNER JOIN commandes o ON o.client_id = c.id\r\n"
        "WHERE c.pays IN (SELECT code FROM pays WHERE zone = 3)\r\n"
        "GROUP BY c.nom, o.numero\r\nGO\r\n");
    QString s;
    s.reserve(kTaille + bloc.size());
    while (s.size() < kTaille)
        s += bloc;
    return s;
}

double MedianeMs(frmBrenlor &fenetre, const QString &sChemin)
{
    std::vector<double> mesures;
    for (int i = 0; i < 5; ++i) {
        fenetre.Fichiers->Nouveau();
        QApplication::processEvents();
        QElapsedTimer chrono;
        chrono.start();
        fenetre.Fichiers->Ouvre(1, sChemin);
        fenetre.txtRequete->repaint();
        QApplication::processEvents();
        mesures.push_back(chrono.nsecsElapsed() / 1e6);
    }
    std::sort(mesures.begin(), mesures.end());
    return mesures[mesures.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    frmBrenlor fenetre;
    fenetre.show();
    QApplication::processEvents();

    const QString texte = Script();
    QTemporaryDir dossier;
    const struct {
        const char *nom;
        FormeScript forme;
    } formes[] = {{"utf8", FormeScript()},
                  {"windows1252", FormeScript{FormeScript::Windows1252, false, true}},
                  {"utf16", FormeScript{FormeScript::Utf16LE, true, true}}};
    QString ligne = QStringLiteral("open_6MiB_ms");
    for (const auto &f : formes) {
        const QString chemin = dossier.filePath(QString::fromLatin1(f.nom) + QLatin1String(".sql"));
        QFile fichier(chemin);
        if (!fichier.open(QIODevice::WriteOnly))
            return 1;
        fichier.write(EncodeScript(texte, f.forme));
        fichier.close();
        const double ms = MedianeMs(fenetre, chemin);
        std::printf("%s: %lld bytes, %.1f ms\n", f.nom, static_cast<long long>(QFileInfo(chemin).size()), ms);
        ligne += QStringLiteral(" %1=%2").arg(QLatin1String(f.nom)).arg(ms, 0, 'f', 1);
    }
    std::printf("%s\n", qPrintable(ligne));
    return 0;
}
