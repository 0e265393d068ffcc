#include "fenetres.h"

#include <QApplication>
#include <QWidget>

void ActiveFenetre(QWidget *fenetre)
{
    if (!fenetre)
        return;
    QWidget *w = fenetre->window();
    w->raise();
    w->activateWindow();
    QApplication::setActiveWindow(w);
}

QWidget *FenetreActive()
{
    return QApplication::activeWindow();
}
