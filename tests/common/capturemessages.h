#pragma once
// Message boxes caught for window tests instead of blocking on a modal dialog.
#include "boitemessage.h"

#include <QList>
#include <QString>

struct MessageCapture {
    QString sTexte;
    IconeMessage icone;
    QString sTitre;
};

/// Messages shown since the last call of InstalleCapture.
inline QList<MessageCapture> &MessagesCaptures()
{
    static QList<MessageCapture> messages;
    return messages;
}

/// Empties MessagesCaptures() and routes every later message box into it.
inline void InstalleCapture()
{
    MessagesCaptures().clear();
    InstalleCaptureMessages([](const QString &sTexte, IconeMessage icone, const QString &sTitre) {
        MessagesCaptures().append({sTexte, icone, sTitre});
    });
}
