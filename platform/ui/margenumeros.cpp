#include "margenumeros.h"
#include "editeurriche.h"

#include <QFontMetrics>

MargeNumeros::MargeNumeros(EditeurRiche *editeur) : QWidget(editeur), m_editeur(editeur)
{
    setObjectName(QStringLiteral("margeNumeros"));
}

int MargeNumeros::Calcule(int lLignes, const QFontMetrics &fm)
{
    // Three digits at least, so that the text does not move while a short
    // script grows past line 9 or 99.
    int lChiffres = 3;
    for (int n = lLignes; n >= 1000; n /= 10)
        ++lChiffres;
    m_largeur = 4 + fm.horizontalAdvance(QLatin1Char('9')) * lChiffres + kEspaceDroite;
    return m_largeur;
}

void MargeNumeros::paintEvent(QPaintEvent *event)
{
    m_editeur->PeintNumeros(event, this);
}
