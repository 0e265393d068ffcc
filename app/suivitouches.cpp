#include "suivitouches.h"

#include "editeurriche.h"

#include <QKeyEvent>

SuiviTouches::SuiviTouches(QObject *parent, std::function<void(int KeyCode, int Shift)> relache)
    : QObject(parent), m_relache(std::move(relache))
{
}

void SuiviTouches::Surveille(QObject *objet)
{
    objet->installEventFilter(this);
}

bool SuiviTouches::eventFilter(QObject *objet, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *touche = static_cast<QKeyEvent *>(event);
        if (!touche->isAutoRepeat())
            m_toucheEnfoncee = touche->key();
        break;
    }
    case QEvent::KeyRelease: {
        const auto *touche = static_cast<QKeyEvent *>(event);
        if (!touche->isAutoRepeat() && touche->key() == m_toucheEnfoncee) {
            m_toucheEnfoncee = 0;
            if (m_relache)
                m_relache(EditeurRiche::CodeTouche(touche->key()), EditeurRiche::EtatMaj(touche->modifiers()));
        }
        break;
    }
    case QEvent::FocusOut:
        m_toucheEnfoncee = 0;
        break;
    default:
        break;
    }
    return QObject::eventFilter(objet, event);
}
