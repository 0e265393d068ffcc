#include "frmbrenlor.h"

#include "editeurriche.h"
#include "hotefenetre.h"
#include "lanceurtest.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTextCursor>

void frmBrenlor::btnLancer_Click()
{
    if (m_testEnCours)
        return;
    m_testEnCours = true;
    QPointer<frmBrenlor> moi(this);
    {
        HoteFenetre hote(this, *this, [this](const QString &s) { AjouteResultat(s); },
                         [this](const QString &s) { return TextWidth(s); });
        LanceurTest lanceur(hote);
        lanceur.Lance();
    }
    if (moi)
        m_testEnCours = false;
}

void frmBrenlor::AjouteResultat(const QString &sTexte)
{
    txtResultat->raise();
    txtResultat->SetText(txtResultat->Text() + sTexte + QStringLiteral("\r\n"));
    // To the end of the text as the editor holds it (a lone line break in an
    // entry becomes a CR LF there), without reading it all back.
    txtResultat->moveCursor(QTextCursor::End);
    QCoreApplication::processEvents();
}
