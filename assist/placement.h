#pragma once
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

/// The 1-based position where the caret's line starts (1 on the first line).
long DebutLigne(const QString &sTexte, int lCaret);

/// The top-left corner for a popup of that size under the caret, kept on the
/// screen: moved left when it would run past the right edge, put above the
/// caret's line (lHauteurLigne high) when there is no room below it.
QPoint DansEcran(QPoint coin, const QSize &taille, int lHauteurLigne, const QRect &ecran);

/// What the classic estimate of the caret's place is made of, in twips.
struct MesuresCaret {
    double dHauteurLigne = 0;     ///< height of "e" in the editor's font
    int lLigne = 0;               ///< 0-based display line of the caret
    double dLargeurDebut = 0;     ///< width of the caret's line up to the caret
    QPointF origineFenetre;       ///< the window's outer top-left corner
    QPointF origineEditeur;       ///< the editor's top-left in the client area
    QSizeF bordures;              ///< outer size minus client size of the window
};

/// The classic estimate of the point under the caret, in twips: right for an
/// editor that is neither scrolled nor wrapped.
QPointF CoinEstimeTwips(const MesuresCaret &m);
