#include "boitemessage.h"

#include <QMessageBox>
#include <QPushButton>

namespace {

std::function<void(const QString &, IconeMessage, const QString &)> &Capture()
{
    static std::function<void(const QString &, IconeMessage, const QString &)> capture;
    return capture;
}

std::function<ReponseQuestion(const QString &)> &Reponses()
{
    static std::function<ReponseQuestion(const QString &)> reponses;
    return reponses;
}

} // namespace

void AfficheMessage(QWidget *parent, const QString &sTexte, IconeMessage icone,
                    const QString &sTitre)
{
    if (Capture()) {
        Capture()(sTexte, icone, sTitre);
        return;
    }
    QMessageBox boite(icone == IconeMessage::Erreur ? QMessageBox::Critical
                                                    : QMessageBox::Information,
                      sTitre, sTexte, QMessageBox::Ok, parent);
    boite.exec();
}

void InstalleCaptureMessages(
    std::function<void(const QString &sTexte, IconeMessage icone, const QString &sTitre)> capture)
{
    Capture() = std::move(capture);
}

ReponseQuestion PoseQuestion(QWidget *parent, const QString &sTexte, const QString &sTitre, bool bAnnuler)
{
    if (Reponses())
        return Reponses()(sTexte);
    QMessageBox boite(QMessageBox::Question, sTitre, sTexte, QMessageBox::NoButton, parent);
    // Captions of their own: the program loads no translation of Qt's.
    QPushButton *oui = boite.addButton(QStringLiteral("Oui"), QMessageBox::YesRole);
    QPushButton *non = boite.addButton(QStringLiteral("Non"), QMessageBox::NoRole);
    QPushButton *annuler = bAnnuler ? boite.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole) : nullptr;
    boite.setDefaultButton(oui);
    boite.setEscapeButton(annuler ? annuler : non);
    boite.exec();
    if (boite.clickedButton() == oui)
        return ReponseQuestion::Oui;
    if (boite.clickedButton() == non)
        return ReponseQuestion::Non;
    return annuler ? ReponseQuestion::Annuler : ReponseQuestion::Non;
}

void InstalleReponsesQuestions(std::function<ReponseQuestion(const QString &sTexte)> reponses)
{
    Reponses() = std::move(reponses);
}
