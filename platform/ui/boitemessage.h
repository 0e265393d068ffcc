#pragma once
#include <QString>
#include <functional>

class QWidget;

enum class IconeMessage { Erreur, Information, Question };
enum class ReponseQuestion { Oui, Non, Annuler };

/// Shows a modal message box with a single OK button, or hands the message to
/// the capture installed for tests.
void AfficheMessage(QWidget *parent, const QString &sTexte, IconeMessage icone,
                    const QString &sTitre);

/// Routes every later message to this function instead of a dialog (an empty
/// function restores the dialogs).
void InstalleCaptureMessages(
    std::function<void(const QString &sTexte, IconeMessage icone, const QString &sTitre)> capture);

/// Asks a question with the buttons "Oui" and "Non", and "Annuler" when
/// bAnnuler (Escape answers Annuler, or Non without it); or hands it to the
/// answerer installed for tests.
ReponseQuestion PoseQuestion(QWidget *parent, const QString &sTexte, const QString &sTitre, bool bAnnuler = true);

/// Routes every later question to this function instead of a dialog (an empty
/// function restores the dialogs).
void InstalleReponsesQuestions(std::function<ReponseQuestion(const QString &sTexte)> reponses);
