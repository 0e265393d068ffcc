#pragma once
#include <QObject>
#include <functional>

/// Reports the release of a key (window-system key code, shift bits) only
/// when its press went to one of the watched objects too: the Enter that
/// closed a message box elsewhere, released over them, is not reported.
class SuiviTouches : public QObject
{
public:
    SuiviTouches(QObject *parent, std::function<void(int KeyCode, int Shift)> relache);

    /// Watches one more object; presses and releases count across all of them.
    void Surveille(QObject *objet);

protected:
    bool eventFilter(QObject *objet, QEvent *event) override;

private:
    std::function<void(int KeyCode, int Shift)> m_relache;
    int m_toucheEnfoncee = 0;
};
