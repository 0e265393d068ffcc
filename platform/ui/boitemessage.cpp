#include "boitemessage.h"

#include <QMessageBox>

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
