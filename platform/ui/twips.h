#pragma once

class QWidget;

/// Twips (1440 to the inch) to pixels at the widget's logical resolution.
int TwipsEnPixels(const QWidget *w, double dTwips, bool bHorizontal = true);
/// Pixels to twips at the widget's logical resolution.
double PixelsEnTwips(const QWidget *w, int lPixels, bool bHorizontal = true);
