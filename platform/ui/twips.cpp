#include "twips.h"

#include <QFontMetricsF>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <QWidget>

namespace {
int Resolution(const QWidget *w, bool bHorizontal)
{
    return bHorizontal ? w->logicalDpiX() : w->logicalDpiY();
}

// A main window's client area starts under its menu bar, where its central
// widget starts; the status bar at the bottom belongs to it.
int HautZoneClient(const QWidget *fenetre)
{
    const auto *principale = qobject_cast<const QMainWindow *>(fenetre);
    return principale && principale->centralWidget() ? principale->centralWidget()->y() : 0;
}

QStringList Lignes(const QString &sTexte)
{
    return QString(sTexte).replace(QLatin1String("\r\n"), QLatin1String("\n")).split(QLatin1Char('\n'));
}
}

double TwipsEnPixelsReels(const QWidget *w, double dTwips, bool bHorizontal)
{
    return dTwips * Resolution(w, bHorizontal) / 1440.0;
}

int TwipsEnPixels(const QWidget *w, double dTwips, bool bHorizontal)
{
    return qRound(TwipsEnPixelsReels(w, dTwips, bHorizontal));
}

double PixelsEnTwips(const QWidget *w, double dPixels, bool bHorizontal)
{
    return dPixels * 1440.0 / Resolution(w, bHorizontal);
}

CadreTwips CadreFenetreTwips(const QWidget *fenetre)
{
    const QRect cadre = fenetre->frameGeometry();
    CadreTwips c;
    c.dLeft = PixelsEnTwips(fenetre, cadre.left());
    c.dTop = PixelsEnTwips(fenetre, cadre.top());
    c.dWidth = PixelsEnTwips(fenetre, cadre.width());
    c.dHeight = PixelsEnTwips(fenetre, cadre.height());
    c.dScaleWidth = PixelsEnTwips(fenetre, fenetre->width());
    c.dScaleHeight = PixelsEnTwips(fenetre, fenetre->height() - HautZoneClient(fenetre));
    return c;
}

QRectF GeometrieTwips(const QWidget *controle)
{
    const QWidget *fenetre = controle->window();
    const QPoint origine = controle->mapTo(fenetre, QPoint(0, -HautZoneClient(fenetre)));
    return QRectF(PixelsEnTwips(fenetre, origine.x()), PixelsEnTwips(fenetre, origine.y()),
                  PixelsEnTwips(fenetre, controle->width()), PixelsEnTwips(fenetre, controle->height()));
}

double LargeurTexteTwips(const QWidget *w, const QFont &police, const QString &sTexte)
{
    const QFontMetricsF fm(police, w);
    double dLargeur = 0;
    for (const QString &ligne : Lignes(sTexte))
        dLargeur = qMax(dLargeur, fm.horizontalAdvance(ligne));
    return PixelsEnTwips(w, dLargeur);
}

double HauteurTexteTwips(const QWidget *w, const QFont &police, const QString &sTexte)
{
    const QFontMetricsF fm(police, w);
    return PixelsEnTwips(w, fm.height() * Lignes(sTexte).size(), false);
}
