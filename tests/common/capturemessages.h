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

/// The answer given to every captured question (Non unless a test says).
inline ReponseQuestion &ReponseCapturee()
{
    static ReponseQuestion reponse = ReponseQuestion::Non;
    return reponse;
}

/// Empties MessagesCaptures() and routes every later message box into it;
/// questions land there too (icon Question) and get ReponseCapturee().
inline void InstalleCapture()
{
    MessagesCaptures().clear();
    ReponseCapturee() = ReponseQuestion::Non;
    InstalleCaptureMessages([](const QString &sTexte, IconeMessage icone, const QString &sTitre) {
        MessagesCaptures().append({sTexte, icone, sTitre});
    });
    InstalleReponsesQuestions([](const QString &sTexte) {
        MessagesCaptures().append({sTexte, IconeMessage::Question, QString()});
        return ReponseCapturee();
    });
}
