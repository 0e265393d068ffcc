#pragma once

class QWidget;

/// Gives a window the activation (raises it and lets it take the keyboard).
void ActiveFenetre(QWidget *fenetre);
/// The window that holds the activation, or nullptr when none of ours does.
QWidget *FenetreActive();
