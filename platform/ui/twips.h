#pragma once
#include <QRectF>

class QFont;
class QString;
class QWidget;

/// Twips (1440 to the inch) to pixels at the widget's logical resolution.
int TwipsEnPixels(const QWidget *w, double dTwips, bool bHorizontal = true);
/// The same, unrounded.
double TwipsEnPixelsReels(const QWidget *w, double dTwips, bool bHorizontal = true);
/// Pixels to twips at the widget's logical resolution.
double PixelsEnTwips(const QWidget *w, double dPixels, bool bHorizontal = true);

/// A window's outer geometry (Left, Top, Width, Height) and the size of its
/// client area (ScaleWidth, ScaleHeight), in twips. A main window's client
/// area is what lies under its menu bar.
struct CadreTwips {
    double dLeft = 0;
    double dTop = 0;
    double dWidth = 0;
    double dHeight = 0;
    double dScaleWidth = 0;
    double dScaleHeight = 0;
};
CadreTwips CadreFenetreTwips(const QWidget *fenetre);

/// Geometry of a control in twips, relative to its window's client area.
QRectF GeometrieTwips(const QWidget *controle);

/// Width of a text in a font, in twips: that of its widest line.
double LargeurTexteTwips(const QWidget *w, const QFont &police, const QString &sTexte);
/// Height of a text in a font, in twips: one line height per line.
double HauteurTexteTwips(const QWidget *w, const QFont &police, const QString &sTexte);
