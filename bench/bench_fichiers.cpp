// Opening a 6 MiB script into an editor of the main window until it is usable
// (text in the editor, the window painted), in each of the common forms.
// Last line: open_6MiB_ms utf8=X windows1252=Y utf16=Z, the median of 5 in
// processor time of this process (the machine is shared: the elapsed time is
// printed beside it); each form's line also gives the part spent reading and
// decoding the file.

#include "editeurriche.h"
#include "fichierscript.h"
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
#include <ctime>
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

struct Chrono {
    QElapsedTimer mur;
    std::clock_t debut = 0;
    void start()
    {
        debut = std::clock();
        mur.start();
    }
    double MsProcesseur() const { return double(std::clock() - debut) * 1e3 / double(CLOCKS_PER_SEC); }
    double MsMur() const { return mur.nsecsElapsed() / 1e6; }
};

struct Mesure {
    double dProcesseur;
    double dMur;
};

template <typename Etape>
Mesure MedianeMs(Etape etape)
{
    std::vector<double> processeur;
    std::vector<double> mur;
    for (int i = 0; i < 5; ++i) {
        Chrono chrono;
        etape(chrono);
        processeur.push_back(chrono.MsProcesseur());
        mur.push_back(chrono.MsMur());
    }
    std::sort(processeur.begin(), processeur.end());
    std::sort(mur.begin(), mur.end());
    return {processeur[2], mur[2]};
}

// From the command to an editor that shows the text and takes keys.
Mesure OuvertureMs(frmBrenlor &fenetre, const QString &sChemin)
{
    return MedianeMs([&](Chrono &chrono) {
        fenetre.Fichiers->Nouveau();
        QApplication::processEvents();
        chrono.start();
        fenetre.Fichiers->Ouvre(1, sChemin);
        fenetre.txtRequete->repaint();
        QApplication::processEvents();
    });
}

Mesure LectureMs(const QString &sChemin)
{
    return MedianeMs([&](Chrono &chrono) {
        chrono.start();
        const LectureFichier l = LitFichierScript(sChemin);
        if (l.etat != LectureFichier::Lu)
            std::printf("not read\n");
    });
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
        const Mesure m = OuvertureMs(fenetre, chemin);
        const Mesure l = LectureMs(chemin);
        std::printf("%s: %lld bytes, %.1f ms processor, %.1f ms elapsed (reading and decoding %.1f ms processor)\n",
                    f.nom, static_cast<long long>(QFileInfo(chemin).size()), m.dProcesseur, m.dMur, l.dProcesseur);
        ligne += QStringLiteral(" %1=%2").arg(QLatin1String(f.nom)).arg(m.dProcesseur, 0, 'f', 1);
    }
    std::printf("%s\n", qPrintable(ligne));
    return 0;
}
