#include "copiessecours.h"

#include "processus.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>

namespace {

const QFileDevice::Permissions kProprietaireSeul = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// brenlor-<process>-<editor>.secours
const QRegularExpression &FormeNom()
{
    static const QRegularExpression forme(QStringLiteral("^brenlor-(\\d+)-([12])\\.secours$"));
    return forme;
}

bool PrepareDossier(const QString &sDossier)
{
    if (!QDir().mkpath(sDossier))
        return false;
    return QFile::setPermissions(sDossier, kProprietaireSeul | QFileDevice::ExeOwner);
}

// The script's path on the first line, then the text as it was.
bool LitCopie(const QString &sFichier, CopieSecours &copie)
{
    QFile f(sFichier);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray octets = f.readAll();
    const qsizetype lFin = octets.indexOf('\n');
    if (lFin < 0)
        return false;
    copie.sFichier = sFichier;
    copie.sChemin = QString::fromUtf8(octets.left(lFin));
    copie.sTexte = QString::fromUtf8(octets.mid(lFin + 1));
    return true;
}

} // namespace

CopiesSecours::CopiesSecours(const QString &sDossier)
    : m_dossier(sDossier), m_lProcessus(QCoreApplication::applicationPid())
{
}

QString CopiesSecours::DossierParDefaut()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1String("/secours");
}

QString CopiesSecours::FichierCopie(int iEditeur) const
{
    return QStringLiteral("%1/brenlor-%2-%3.secours").arg(m_dossier).arg(m_lProcessus).arg(iEditeur);
}

QString CopiesSecours::Ecrit(int iEditeur, const QString &sChemin, const QString &sTexte)
{
    if (!PrepareDossier(m_dossier))
        return QStringLiteral("impossible de créer le dossier %1").arg(QDir::toNativeSeparators(m_dossier));
    QSaveFile f(FichierCopie(iEditeur));
    if (!f.open(QIODevice::WriteOnly))
        return f.errorString();
    f.write(sChemin.toUtf8() + '\n' + sTexte.toUtf8());
    if (!f.commit())
        return f.errorString();
    QFile::setPermissions(f.fileName(), kProprietaireSeul);
    return QString();
}

void CopiesSecours::Efface(int iEditeur)
{
    QFile::remove(FichierCopie(iEditeur));
}

QList<CopieSecours> CopiesSecours::Abandonnees() const
{
    QFileInfoList fichiers = QDir(m_dossier).entryInfoList({QStringLiteral("brenlor-*.secours")}, QDir::Files);
    std::sort(fichiers.begin(), fichiers.end(),
              [](const QFileInfo &a, const QFileInfo &b) { return a.lastModified() < b.lastModified(); });
    QList<CopieSecours> copies;
    for (const QFileInfo &info : fichiers) {
        const QRegularExpressionMatch m = FormeNom().match(info.fileName());
        if (!m.hasMatch())
            continue;
        const qint64 lProcessus = m.captured(1).toLongLong();
        if (lProcessus == m_lProcessus || ProcessusActif(lProcessus))
            continue;
        CopieSecours copie;
        copie.iEditeur = m.captured(2).toInt();
        if (LitCopie(info.filePath(), copie))
            copies.append(copie);
    }
    return copies;
}

void CopiesSecours::Oublie(const CopieSecours &copie)
{
    QFile::remove(copie.sFichier);
}
