#include "boitemessage.h"

#include <QMessageBox>
#include <QPushButton>

namespace {

std::function<void(const QString &, IconeMessage, const QString &)> &Capture()
{
    static std::function<void(const QString &, IconeMessage, const QString &)> capture;
    return capture;
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

namespace {

std::function<ReponseQuestion(const QString &)> &Reponse()
{
    static std::function<ReponseQuestion(const QString &)> reponse;
    return reponse;
}

} // namespace

ReponseQuestion PoseQuestion(QWidget *parent, const QString &sTexte, const QString &sTitre)
{
    if (Reponse())
        return Reponse()(sTexte);
    QMessageBox boite(QMessageBox::Question, sTitre, sTexte, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                      parent);
    boite.button(QMessageBox::Yes)->setText(QStringLiteral("Oui"));
    boite.button(QMessageBox::No)->setText(QStringLiteral("Non"));
    boite.button(QMessageBox::Cancel)->setText(QStringLiteral("Annuler"));
    switch (boite.exec()) {
    case QMessageBox::Yes: return ReponseQuestion::Oui;
    case QMessageBox::No: return ReponseQuestion::Non;
    default: return ReponseQuestion::Annuler;
    }
}

void InstalleReponsesQuestions(std::function<ReponseQuestion(const QString &sTexte)> reponse)
{
    Reponse() = std::move(reponse);
}
