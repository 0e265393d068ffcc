#include "frmbrenlor.h"

#include "demande.h"
#include "editeurriche.h"
#include "fenetres.h"
#include "frmlistemotscles.h"
#include "placement.h"
#include "twips.h"

#include <QLineEdit>
#include <QScreen>

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

void frmBrenlor::AfficheProposition(int lSysteme, GenreDemande genre)
{
    if (bPropositionEnCours || !ListeMotsCles)
        return;
    GardeProposition garde(bPropositionEnCours);
    const bool bSysteme = ModeSysteme(lSysteme, LlDernierShift);
    DesigneServeur();
    const std::unique_ptr<SourceCatalogue> catalogue = m_serveur.Catalogue();
    AppliqueDemande(DemandeProposition(*catalogue, txtRequete->Text(), txtRequete->SelStart(), bSysteme, genre));
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
        : CoinEstime(dHauteurLigne);

    QScreen *ecran = txtRequete->screen();
    const int lHauteurLigne = qMax(caret.height(), TwipsEnPixels(this, dHauteurLigne, false));
    ListeMotsCles->MontreEn(
        DansEcran(coin, ListeMotsCles->size(), lHauteurLigne, ecran ? ecran->availableGeometry() : QRect()));
}

QPoint frmBrenlor::CoinEstime(double dHauteurLigne) const
{
    const QString sTexte = txtRequete->Text();
    const int lCaret = txtRequete->SelStart();
    const long lDebutLigne = DebutLigne(sTexte, lCaret);
    const CadreTwips cadre = CadreFenetreTwips(this);
    MesuresCaret m;
    m.dHauteurLigne = dHauteurLigne;
    m.lLigne = txtRequete->GetLineFromChar(lCaret);
    m.dLargeurDebut = TextWidth(sTexte.mid(int(lDebutLigne) - 1, qMax(0, lCaret - int(lDebutLigne) + 1)));
    m.origineFenetre = QPointF(cadre.dLeft, cadre.dTop);
    const QRectF editeur = GeometrieTwips(txtRequete);
    m.origineEditeur = editeur.topLeft();
    m.bordures = QSizeF(cadre.dWidth - cadre.dScaleWidth, cadre.dHeight - cadre.dScaleHeight);
    const QPointF coin = CoinEstimeTwips(m);
    return QPoint(TwipsEnPixels(this, coin.x(), true), TwipsEnPixels(this, coin.y(), false));
}
