#pragma once
#include "copiessecours.h"
#include "fichierscript.h"

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <array>

class EditeurRiche;
class QMainWindow;
class QMenu;
class QMimeData;
class QStatusBar;

/// The two editors as script files: the "Fichier" menu, each editor's file,
/// form and modified state, the window title, the question before unsaved
/// text is dropped, files changed on disk, files dropped on an editor, and
/// the recovery copies of unsaved text.
class GestionFichiers : public QObject
{
    Q_OBJECT
public:
    GestionFichiers(QMainWindow *fenetre, EditeurRiche *editeur1, EditeurRiche *editeur2, QStatusBar *sta,
                    const QString &sDossierSecours = CopiesSecours::DossierParDefaut());
    ~GestionFichiers() override;

    /// Once the window is up: offers the copies a crashed run left, then
    /// opens the files named on the command line into editors 1 and 2.
    void Demarre(const QStringList &fichiers);

    // The menu's commands, on the editor that has or last had the focus.
    void Nouveau();
    void Ouvrir();
    bool Enregistrer();
    bool EnregistrerSous();

    /// Opens a file into editor 1 or 2 (asking first when it holds unsaved text).
    bool Ouvre(int iEditeur, const QString &sChemin);
    /// Saves editor 1 or 2 under that name.
    bool EnregistreSous(int iEditeur, const QString &sChemin);
    /// Writes the copies of the editors holding unsaved text (every 30 s).
    void EcritCopiesSecours();

    QString Chemin(int iEditeur) const { return Doc(iEditeur).sChemin; }
    FormeScript Forme(int iEditeur) const { return Doc(iEditeur).forme; }
    int EditeurCourant() const { return m_iCourant; }
    QStringList FichiersRecents() const;
    QMenu *MenuFichier() const { return m_menu; }
    const CopiesSecours &Copies() const { return m_copies; }

protected:
    bool eventFilter(QObject *objet, QEvent *event) override;

private:
    struct Document {
        EditeurRiche *editeur = nullptr;
        QString sChemin;
        FormeScript forme;
        EmpreinteFichier empreinte;
        bool bCopieAJour = true;
    };
    Document &Doc(int iEditeur) { return m_docs[iEditeur - 1]; }
    const Document &Doc(int iEditeur) const { return m_docs[iEditeur - 1]; }

    void CreeMenu();
    void Surveille(int iEditeur);
    QString Nom(int iEditeur) const;
    bool EstModifie(int iEditeur) const;
    bool PeutAbandonner(int iEditeur);
    bool Enregistre(int iEditeur);
    bool EnregistreSousDialogue(int iEditeur);
    bool EcritFichier(int iEditeur, const QString &sChemin);
    bool LitFichier(const QString &sChemin, LectureFichier &lecture);
    void Charge(int iEditeur, const QString &sChemin, const ScriptDecode &script);
    void Vide(int iEditeur);
    void AjouteRecent(const QString &sChemin);
    void RemplitRecents(QMenu *menu);
    void MetTitre();
    void VerifieDisque();
    void OffreCopies();
    bool FermetureAcceptee();
    bool TraiteDepot(int iEditeur, QEvent *event);

    QMainWindow *m_fenetre;
    QStatusBar *m_sta;
    std::array<Document, 2> m_docs;
    int m_iCourant = 1;
    QMenu *m_menu = nullptr;
    CopiesSecours m_copies;
    QTimer m_tmrSecours;
    bool m_bVerifieDisque = false;
};
