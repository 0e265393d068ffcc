#pragma once
#include "formescript.h"

#include <QDateTime>
#include <QString>

/// Size above which a file is opened only once the user agreed (64 MiB).
constexpr qint64 kTailleScriptMax = qint64(64) << 20;

/// What was read from a script file.
struct LectureFichier {
    enum Etat { Lu, Illisible, PasUnTexte, TropGros };
    Etat etat = Illisible;
    QString sErreur;   ///< why it could not be read (Illisible)
    qint64 lTaille = 0;
    ScriptDecode script;
};

/// Reads a script file; a file over lLimite bytes is not read (TropGros).
LectureFichier LitFichierScript(const QString &sChemin, qint64 lLimite = kTailleScriptMax);

/// Writes the text in that form through a new file that replaces the old one
/// in one step. Returns the reason of a failure, empty on success.
QString EnregistreScript(const QString &sChemin, const QString &sTexte, const FormeScript &forme);

/// What a file looked like on disk, to notice when another program changed it.
struct EmpreinteFichier {
    QDateTime dateModif;
    qint64 lTaille = -1;
    bool operator==(const EmpreinteFichier &autre) const
    {
        return dateModif == autre.dateModif && lTaille == autre.lTaille;
    }
    bool operator!=(const EmpreinteFichier &autre) const { return !(*this == autre); }
};
/// The file's present date and size (size -1 when it does not exist).
EmpreinteFichier EmpreinteDe(const QString &sChemin);
