#pragma once
#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

class QAbstractScrollArea;
class QWidget;

/// Sends the test-run log and its drawing area back under the editors as soon
/// as the user clicks in an editor or types into one; a run raises them again.
/// Nothing moves while a run is in progress, so that the log of a run stays in
/// view until the user goes back to the query after it.
class RetraitJournal : public QObject
{
public:
    RetraitJournal(QObject *parent, const QList<QWidget *> &aRetirer, std::function<bool()> bEnPause);

    /// Watches the keys typed into these editors and the clicks in them.
    void Surveille(const QList<QAbstractScrollArea *> &editeurs);

protected:
    bool eventFilter(QObject *objet, QEvent *event) override;

private:
    bool DevantUnEditeur() const;
    void Retire();

    QList<QPointer<QWidget>> m_aRetirer;
    QList<QPointer<QAbstractScrollArea>> m_editeurs;
    std::function<bool()> m_bEnPause;
};
