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

enum class ReponseQuestion { Oui, Non, Annuler };

/// Asks a question with Oui, Non and Annuler (the question icon), or hands
/// it to the answer installed for tests.
ReponseQuestion PoseQuestion(QWidget *parent, const QString &sTexte, const QString &sTitre);

/// Answers every later question with this function instead of a dialog (an
/// empty function restores the dialogs).
void InstalleReponsesQuestions(std::function<ReponseQuestion(const QString &sTexte)> reponse);
