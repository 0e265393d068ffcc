#include "frmbrenlor.h"

#include "chaineconnexion.h"
#include "comboimages.h"
#include "connexion.h"
#include "contexte.h"
#include "editeurriche.h"
#include "frmlistemotscles.h"
#include "proposition.h"
#include "requetes.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

namespace {
// Clears the re-entrancy guard however the request ends.
class GardeProposition
{
public:
    explicit GardeProposition(bool &bEnCours) : m_bEnCours(bEnCours) { m_bEnCours = true; }
    ~GardeProposition() { m_bEnCours = false; }
    GardeProposition(const GardeProposition &) = delete;
    GardeProposition &operator=(const GardeProposition &) = delete;

private:
    bool &m_bEnCours;
};
}

void frmBrenlor::AfficheProposition(int lSysteme)
{
    if (bPropositionEnCours || !txtRequete || !ListeMotsCles)
        return;
    GardeProposition garde(bPropositionEnCours);

    bool bSysteme = false;
    if (lSysteme == 0) {
        bSysteme = (LlDernierShift == 1);
    } else {
        bSysteme = (lSysteme == 1);
        LlDernierShift = lSysteme;
    }

    const Contexte contexte = AnalyseContexte(txtRequete->Text(), txtRequete->SelStart(), bSysteme);
    const Requetes requetes = ConstruitRequetes(contexte, bSysteme);

    if (!cnServeur)
        cnServeur = std::make_unique<Connexion>();
    const QString sChaine = ChaineConnexion(cboServeur->currentText(), cboBase->currentText(),
                                            txtPWD->text(), TitreApplication());
    const ResultatProposition resultat = ExecuteProposition(*cnServeur, sChaine, requetes);
    // Nothing came back (or the count is not known): the popup keeps its old list.
    if (!resultat.bLignes || resultat.lRecordCount < 1)
        return;

    ListeMotsCles->RemplitListe(resultat.lignes);
    if (ListeMotsCles->liv->count() > 0)
        ListeMotsCles->liv->setCurrentRow(0);

    if (resultat.lRecordCount > 1) {
        try {
            PositionneListe();
        } catch (const std::exception &) {
            // A placement that fails leaves the popup as it was.
        }
    } else {
        const QListWidgetItem *choisi = ListeMotsCles->liv->currentItem();
        if (choisi && choisi->text() != contexte.sPrefixe)
            ListeMotsCles->InsereTexte(choisi->text(), false);
        ListeMotsCles->tmr->start();
    }
}
