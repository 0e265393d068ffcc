#include "placement.h"

long DebutLigne(const QString &sTexte, int lCaret)
{
    const int lLimite = qMin(lCaret, int(sTexte.size()));
    if (lLimite < 2)
        return 1;
    // The last CR LF lying wholly within the first lCaret characters.
    const qsizetype pLigne = sTexte.lastIndexOf(QLatin1String("\r\n"), lLimite - 2);
    return pLigne < 0 ? 1 : long(pLigne) + 3;
}

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

QPointF CoinEstimeTwips(const MesuresCaret &m)
{
    const double dTop = m.dHauteurLigne * (m.lLigne + 1) + m.origineFenetre.y() + m.origineEditeur.y()
        + m.bordures.height();
    const double dLeft = m.dLargeurDebut + m.origineFenetre.x() + m.origineEditeur.x() + m.bordures.width();
    return QPointF(dLeft, dTop);
}
