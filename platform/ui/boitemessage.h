#pragma once
#include <QString>
#include <functional>

class QWidget;

enum class IconeMessage { Erreur, Information };

/// Shows a modal message box with a single OK button, or hands the message to
/// the capture installed for tests.
void AfficheMessage(QWidget *parent, const QString &sTexte, IconeMessage icone,
                    const QString &sTitre);

/// Routes every later message to this function instead of a dialog (an empty
/// function restores the dialogs).
void InstalleCaptureMessages(
    std::function<void(const QString &sTexte, IconeMessage icone, const QString &sTitre)> capture);
