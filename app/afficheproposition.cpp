#include "frmbrenlor.h"

#include "caretestime.h"
#include "demande.h"
#include "editeurriche.h"
#include "fenetres.h"
#include "frmlistemotscles.h"
#include "placement.h"
#include "twips.h"

#include <QLineEdit>
#include <QScopedValueRollback>
#include <QScreen>


void frmBrenlor::AfficheProposition(int lSysteme, GenreDemande genre)
{
    if (bPropositionEnCours || !ListeMotsCles)
        return;
    const QScopedValueRollback<bool> garde(bPropositionEnCours, true);
    const bool bSysteme = ModeSysteme(lSysteme, LlDernierShift);
    DesigneServeur();
    const std::unique_ptr<SourceCatalogue> catalogue = m_serveur.Catalogue();
    AppliqueDemande(DemandeProposition(*catalogue, m_texteRequete.Texte(txtRequete), txtRequete->SelStart(),
                                       bSysteme, genre, &m_memoireScript));
}

void frmBrenlor::AppliqueDemande(const Demande &demande)
{
    if (demande.action == ActionPopup::Rien)
        return;
    if (demande.action == ActionPopup::Cacher) {
        if (ListeMotsCles->isVisible())
            ListeMotsCles->Ferme();
        return;
    }
    ListeMotsCles->RemplitListe(demande.resultat.lignes);
    ListeMotsCles->SelectionneProposition(demande.contexte.sPrefixe);
    if (demande.action == ActionPopup::Montrer) {
        try {
            PositionneListe();
        } catch (const std::exception &) {
            // A placement that fails leaves the popup as it was.
        }
        return;
    }
    if (demande.action == ActionPopup::Inserer)
        ListeMotsCles->InsereTexte(ListeMotsCles->TexteElement(0), false);
    ListeMotsCles->Ferme();
}

void frmBrenlor::PositionneListe()
{
    // From here on the window measures text with the editor's font.
    SetPoliceMesure(txtRequete->font());
    const double dHauteurLigne = TextHeight(QStringLiteral("e"));

    // The editor knows where its caret really is, scrolled or wrapped: the
    // popup goes right under it. The estimate serves only when it cannot tell.
    const QRect caret = txtRequete->CaretRect();
    QPoint coin = (txtRequete->isVisible() && caret.isValid())
        ? txtRequete->viewport()->mapToGlobal(caret.bottomLeft() + QPoint(0, 1))
        : CoinEstimeSousCaret(this, txtRequete, PoliceMesure(), dHauteurLigne);

    QScreen *ecran = txtRequete->screen();
    const int lHauteurLigne = qMax(caret.height(), TwipsEnPixels(this, dHauteurLigne, false));
    ListeMotsCles->MontreEn(
        DansEcran(coin, ListeMotsCles->size(), lHauteurLigne, ecran ? ecran->availableGeometry() : QRect()));
}
