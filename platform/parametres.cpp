#include "parametres.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

namespace {

// Keys of the "General" section are the INI file's top-level keys: QSettings
// writes them under [General] and reads a hand-written [General] back there.
QString CheminCle(const QString &sSection, const QString &sCle)
{
    if (sSection.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
        return sCle;
    return sSection + QLatin1Char('/') + sCle;
}

const QFileDevice::Permissions kProprietaireSeul = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// The password is kept in plain text, so the file never exists with wider
// rights: it is created empty and private before QSettings writes into it.
void PrepareFichierPrive(const QString &sChemin)
{
    const QFileInfo info(sChemin);
    if (!info.dir().exists()) {
        QDir().mkpath(info.absolutePath());
        QFile::setPermissions(info.absolutePath(),
                              kProprietaireSeul | QFileDevice::ExeOwner);
    }
    if (!info.exists()) {
        QFile f(sChemin);
        if (f.open(QIODevice::WriteOnly))
            f.close();
    }
    QFile::setPermissions(sChemin, kProprietaireSeul);
}

// Group and others lose every right; the owner keeps read and write.
void RestreintAuProprietaire(const QString &sChemin)
{
    const QFileDevice::Permissions autres = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
                                            | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    if (QFileInfo::exists(sChemin) && (QFile::permissions(sChemin) & autres))
        QFile::setPermissions(sChemin, kProprietaireSeul);
}

// QSettings reads almost anything as keys: bytes that no text editor wrote
// are what tells a damaged file.
bool EstTexteUtf8(const QByteArray &octets)
{
    if (octets.contains('\0'))
        return false;
    return QString::fromUtf8(octets).toUtf8() == octets;
}

} // namespace

QString CheminParametres(const QString &sApplication)
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Brenlor"), sApplication).fileName();
}

QString SecuriseParametres(const QString &sApplication)
{
    const QString sChemin = CheminParametres(sApplication);
    RestreintAuProprietaire(sChemin);
    RestreintAuProprietaire(sChemin + QLatin1String(".lock"));
    if (!QFileInfo::exists(sChemin))
        return QString();
    const QString sNom = QDir::toNativeSeparators(sChemin);
    QFile f(sChemin);
    if (QFileInfo(sChemin).isDir() || !f.open(QIODevice::ReadOnly))
        return QStringLiteral("Réglages illisibles : %1 (%2)")
            .arg(sNom, QFileInfo(sChemin).isDir() ? QStringLiteral("c'est un dossier") : f.errorString());
    const bool bTexte = EstTexteUtf8(f.readAll());
    f.close();
    const QSettings store(sChemin, QSettings::IniFormat);
    if (!bTexte || store.status() != QSettings::NoError)
        return QStringLiteral("Réglages illisibles : %1 n'est pas un fichier de réglages").arg(sNom);
    return QString();
}

QString GetSetting(const QString &sApplication, const QString &sSection, const QString &sCle,
                   const QString &sDefaut)
{
    QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Brenlor"),
                    sApplication);
    if (store.status() != QSettings::NoError)
        return sDefaut;
    const QVariant v = store.value(CheminCle(sSection, sCle));
    if (!v.isValid())
        return sDefaut;
    // An unquoted comma makes QSettings read a list; the value was one text.
    if (v.metaType().id() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char(','));
    if (!v.canConvert<QString>())
        return sDefaut;
    return v.toString();
}

void SaveSetting(const QString &sApplication, const QString &sSection, const QString &sCle,
                 const QString &sValeur)
{
    QString chemin;
    {
        QSettings lecteur(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Brenlor"),
                          sApplication);
        chemin = lecteur.fileName();
    }
    PrepareFichierPrive(chemin);
    QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Brenlor"),
                    sApplication);
    store.setValue(CheminCle(sSection, sCle), sValeur);
    store.sync();
    QFile::setPermissions(chemin, kProprietaireSeul);
}
