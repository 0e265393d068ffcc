#include "frmbrenlor.h"

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

int TwipsEnPixels(const QWidget *w, double dTwips, bool bHorizontal)
{
    const int dpi = bHorizontal ? w->logicalDpiX() : w->logicalDpiY();
    return qRound(dTwips * dpi / 1440.0);
}
}

void frmBrenlor::PositionneListe()
{
    const QString sTexte = txtRequete->Text();
    const int lCaret = txtRequete->SelStart();
    const long lDebutLigne = DebutLigne(sTexte, lCaret);

    // From here on the window measures text with the editor's font.
    SetPoliceMesure(txtRequete->font());
    const int lLigne = txtRequete->GetLineFromChar(lCaret);
    const double dHauteurLigne = TextHeight(QStringLiteral("e"));

    // The classic estimate, right for an editor that is neither scrolled nor
    // wrapped: line height times line number, width of the line's text so far.
    const QPoint origineEditeur = txtRequete->mapTo(this, QPoint(0, 0));
    const double dTop = dHauteurLigne * (lLigne + 1) + TwipsTop() + origineEditeur.y() * 1440.0 / logicalDpiY()
        + (TwipsHeight() - ScaleHeight());
    const QString sDebut = sTexte.mid(int(lDebutLigne) - 1, qMax(0, lCaret - int(lDebutLigne) + 1));
    const double dLeft = TextWidth(sDebut) + TwipsLeft() + origineEditeur.x() * 1440.0 / logicalDpiX()
        + (TwipsWidth() - ScaleWidth());
    QPoint coin(TwipsEnPixels(this, dLeft, true), TwipsEnPixels(this, dTop, false));

    // The editor knows where its caret really is, scrolled or wrapped: the
    // popup goes right under it.
    const QRect caret = txtRequete->CaretRect();
    if (txtRequete->isVisible() && caret.isValid())
        coin = txtRequete->viewport()->mapToGlobal(caret.bottomLeft() + QPoint(0, 1));

    QScreen *ecran = txtRequete->screen();
    coin = DansEcran(coin, ListeMotsCles->size(), qMax(caret.height(), TwipsEnPixels(this, dHauteurLigne, false)),
                     ecran ? ecran->availableGeometry() : QRect());
    ListeMotsCles->move(coin);
    ListeMotsCles->show();
    ActiveFenetre(ListeMotsCles);
    ListeMotsCles->liv->setFocus();
}
