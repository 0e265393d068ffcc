#include "retraitjournal.h"

#include <QAbstractScrollArea>
#include <QKeyEvent>
#include <QWidget>

namespace {
// Shift, Ctrl and the like alone type nothing.
bool TapeQuelqueChose(const QKeyEvent *touche)
{
    switch (touche->key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return false;
    default:
        return true;
    }
}

int Rang(const QWidget *w)
{
    return w->parentWidget() ? int(w->parentWidget()->children().indexOf(w)) : -1;
}
}

RetraitJournal::RetraitJournal(QObject *parent, const QList<QWidget *> &aRetirer, std::function<bool()> bEnPause)
    : QObject(parent), m_bEnPause(std::move(bEnPause))
{
    for (QWidget *w : aRetirer)
        m_aRetirer << w;
}

void RetraitJournal::Surveille(const QList<QAbstractScrollArea *> &editeurs)
{
    for (QAbstractScrollArea *e : editeurs) {
        m_editeurs << e;
        e->installEventFilter(this);
        // The clicks of a scroll area go to its viewport.
        e->viewport()->installEventFilter(this);
    }
}

bool RetraitJournal::eventFilter(QObject *objet, QEvent *event)
{
    bool bGeste = false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::InputMethod:
        bGeste = true;
        break;
    case QEvent::KeyPress:
        bGeste = TapeQuelqueChose(static_cast<QKeyEvent *>(event));
        break;
    default:
        break;
    }
    if (bGeste && !(m_bEnPause && m_bEnPause()) && DevantUnEditeur())
        Retire();
    return QObject::eventFilter(objet, event);
}

// Siblings are painted in the order of their parent's children: a later one
// lies over an earlier one.
bool RetraitJournal::DevantUnEditeur() const
{
    for (const QPointer<QWidget> &w : m_aRetirer) {
        if (!w)
            continue;
        for (const QPointer<QAbstractScrollArea> &e : m_editeurs)
            if (e && e->parentWidget() == w->parentWidget() && Rang(w) > Rang(e))
                return true;
    }
    return false;
}

void RetraitJournal::Retire()
{
    // Last one first: they end in the order given, the first one lowest.
    for (auto it = m_aRetirer.crbegin(); it != m_aRetirer.crend(); ++it)
        if (*it)
            (*it)->lower();
}
