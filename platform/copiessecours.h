#pragma once
#include <QList>
#include <QString>

/// A copy of an editor's unsaved text, kept so that a crash loses nothing.
struct CopieSecours {
    QString sFichier;  ///< the copy itself
    int iEditeur = 1;  ///< 1 or 2
    QString sChemin;   ///< the script the text belongs to, empty for a new one
    QString sTexte;
};

/// The recovery copies of one running program, in a folder readable by its
/// owner only. A copy is named after the process that wrote it, so that the
/// next start tells the copies of a process that ended without removing them
/// (a crash, a kill) from those of another instance still running.
class CopiesSecours
{
public:
    explicit CopiesSecours(const QString &sDossier = DossierParDefaut());

    /// <program's data folder>/secours.
    static QString DossierParDefaut();
    QString Dossier() const { return m_dossier; }

    /// Writes (or replaces) the copy of one editor. Returns the reason of a
    /// failure, empty on success.
    QString Ecrit(int iEditeur, const QString &sChemin, const QString &sTexte);
    /// Removes the copy of one editor, if any.
    void Efface(int iEditeur);
    /// The copy file of an editor of this process.
    QString FichierCopie(int iEditeur) const;

    /// Copies left by processes that are no longer running, oldest first.
    QList<CopieSecours> Abandonnees() const;
    /// Removes a copy once it was offered.
    static void Oublie(const CopieSecours &copie);

private:
    QString m_dossier;
    qint64 m_lProcessus;
};
