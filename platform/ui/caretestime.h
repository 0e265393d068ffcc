#pragma once
#include <QPoint>

class QFont;
class QWidget;
class EditeurRiche;

/// The classic estimate of the screen point under an editor's caret, for
/// when the editor cannot give its caret rectangle: line height times line
/// number, and the width in the measuring font of the caret's line so far,
/// plus the window's and editor's offsets. Right for an editor neither
/// scrolled nor wrapped.
QPoint CoinEstimeSousCaret(const QWidget *fenetre, const EditeurRiche *editeur, const QFont &policeMesure,
                           double dHauteurLigne);
