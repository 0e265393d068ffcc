#include "frmbrenlor.h"
#include "twips.h"

#include "editeurriche.h"
#include "fenetres.h"
#include "frmlistemotscles.h"
#include "placement.h"

#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>

namespace {
// Top-left corner for a popup of the given size under the caret, kept on the
// screen: moved left when it would run past the right edge, put above the
// caret's line when there is no room below it.
QPoint DansEcran(QPoint coin, const QSize &taille, int lHauteurLigne, const QRect &ecran)
{
    if (ecran.isEmpty())
        return coin;
    if (coin.x() + taille.width() > ecran.right() + 1)
        coin.setX(ecran.right() + 1 - taille.width());
    if (coin.y() + taille.height() > ecran.bottom() + 1)
        coin.setY(coin.y() - lHauteurLigne - taille.height());
    coin.setX(qMax(coin.x(), ecran.left()));
    coin.setY(qMax(coin.y(), ecran.top()));
    return coin;
}

// The classic estimate, right for an editor that is neither scrolled nor
// wrapped: line height times line number, width of the line's text so far.
QPoint CoinEstime(const frmBrenlor &f, double dHauteurLigne)
{
    const EditeurRiche *editeur = f.txtRequete;
    const QString sTexte = editeur->Text();
    const int lCaret = editeur->SelStart();
    const long lDebutLigne = DebutLigne(sTexte, lCaret);
    const int lLigne = editeur->GetLineFromChar(lCaret);
    const QPoint origineEditeur = editeur->mapTo(&f, QPoint(0, 0));
    const double dTop = dHauteurLigne * (lLigne + 1) + f.TwipsTop() + origineEditeur.y() * 1440.0 / f.logicalDpiY()
        + (f.TwipsHeight() - f.ScaleHeight());
    const QString sDebut = sTexte.mid(int(lDebutLigne) - 1, qMax(0, lCaret - int(lDebutLigne) + 1));
    const double dLeft = f.TextWidth(sDebut) + f.TwipsLeft() + origineEditeur.x() * 1440.0 / f.logicalDpiX()
        + (f.TwipsWidth() - f.ScaleWidth());
    return QPoint(TwipsEnPixels(&f, dLeft, true), TwipsEnPixels(&f, dTop, false));
}
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
        : CoinEstime(*this, dHauteurLigne);

    QScreen *ecran = txtRequete->screen();
    coin = DansEcran(coin, ListeMotsCles->size(), qMax(caret.height(), TwipsEnPixels(this, dHauteurLigne, false)),
                     ecran ? ecran->availableGeometry() : QRect());
    ListeMotsCles->move(coin);
    ListeMotsCles->show();
    ActiveFenetre(ListeMotsCles);
    ListeMotsCles->liv->setFocus();
}
