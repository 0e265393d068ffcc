#include "twips.h"

#include <QWidget>

namespace {
int Resolution(const QWidget *w, bool bHorizontal)
{
    return bHorizontal ? w->logicalDpiX() : w->logicalDpiY();
}
}

int TwipsEnPixels(const QWidget *w, double dTwips, bool bHorizontal)
{
    return qRound(dTwips * Resolution(w, bHorizontal) / 1440.0);
}

double PixelsEnTwips(const QWidget *w, int lPixels, bool bHorizontal)
{
    return lPixels * 1440.0 / Resolution(w, bHorizontal);
}
