#include "caretestime.h"

#include "editeurriche.h"
#include "placement.h"
#include "twips.h"

QPoint CoinEstimeSousCaret(const QWidget *fenetre, const EditeurRiche *editeur, const QFont &policeMesure,
                           double dHauteurLigne)
{
    const QString sTexte = editeur->Text();
    const int lCaret = editeur->SelStart();
    const long lDebutLigne = DebutLigne(sTexte, lCaret);
    const CadreTwips cadre = CadreFenetreTwips(fenetre);
    MesuresCaret m;
    m.dHauteurLigne = dHauteurLigne;
    m.lLigne = editeur->GetLineFromChar(lCaret);
    m.dLargeurDebut = LargeurTexteTwips(
        fenetre, policeMesure, sTexte.mid(int(lDebutLigne) - 1, qMax(0, lCaret - int(lDebutLigne) + 1)));
    m.origineFenetre = QPointF(cadre.dLeft, cadre.dTop);
    m.origineEditeur = GeometrieTwips(editeur).topLeft();
    m.bordures = QSizeF(cadre.dWidth - cadre.dScaleWidth, cadre.dHeight - cadre.dScaleHeight);
    const QPointF coin = CoinEstimeTwips(m);
    return QPoint(TwipsEnPixels(fenetre, coin.x(), true), TwipsEnPixels(fenetre, coin.y(), false));
}
