#include "fichierscript.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// QFile names the failure in English and often vaguely ("Unknown error"):
// the cases a user meets are said in the program's language.
QString RaisonLecture(const QFile &f)
{
    const QFileInfo info(f.fileName());
    if (!info.exists())
        return QStringLiteral("le fichier n'existe pas");
    if (info.isDir())
        return QStringLiteral("c'est un dossier");
    if (!info.isReadable())
        return QStringLiteral("droits insuffisants pour le lire");
    return f.errorString();
}

QString RaisonEcriture(const QSaveFile &f)
{
    const QFileInfo info(f.fileName());
    const QFileInfo dossier(info.absolutePath());
    if (!dossier.exists())
        return QStringLiteral("le dossier %1 n'existe pas").arg(QDir::toNativeSeparators(info.absolutePath()));
    if (!dossier.isDir())
        return QStringLiteral("%1 n'est pas un dossier").arg(QDir::toNativeSeparators(info.absolutePath()));
    if (info.isDir())
        return QStringLiteral("c'est un dossier");
    if (!dossier.isWritable() || (info.exists() && !info.isWritable()))
        return QStringLiteral("droits insuffisants pour écrire (%1)").arg(f.errorString());
    return f.errorString();
}

} // namespace

LectureFichier LitFichierScript(const QString &sChemin, qint64 lLimite)
{
    LectureFichier l;
    QFile f(sChemin);
    if (QFileInfo(sChemin).isDir() || !f.open(QIODevice::ReadOnly)) {
        l.sErreur = RaisonLecture(f);
        return l;
    }
    l.lTaille = f.size();
    if (l.lTaille > lLimite) {
        l.etat = LectureFichier::TropGros;
        return l;
    }
    const QByteArray octets = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        l.sErreur = f.errorString();
        return l;
    }
    l.script = DecodeScript(octets);
    l.etat = l.script.bTexte ? LectureFichier::Lu : LectureFichier::PasUnTexte;
    return l;
}

QString EnregistreScript(const QString &sChemin, const QString &sTexte, const FormeScript &forme)
{
    QSaveFile f(sChemin);
    if (!f.open(QIODevice::WriteOnly))
        return RaisonEcriture(f);
    const QByteArray octets = EncodeScript(sTexte, forme);
    if (f.write(octets) != octets.size()) {
        const QString sRaison = f.errorString();
        f.cancelWriting();
        return sRaison;
    }
    if (!f.commit())
        return RaisonEcriture(f);
    return QString();
}

EmpreinteFichier EmpreinteDe(const QString &sChemin)
{
    const QFileInfo info(sChemin);
    EmpreinteFichier e;
    if (info.exists()) {
        e.dateModif = info.lastModified();
        e.lTaille = info.size();
    }
    return e;
}
