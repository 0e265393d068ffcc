#include "frmbrenlor.h"

#include "comboimages.h"
#include "editeurriche.h"
#include "hotetest.h"
#include "lanceurtest.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextCursor>

namespace {
// The test run's view of the main window. Once the window is closing (or
// gone) every call is a no-op, so a run that was interrupted by the exit
// sequence unwinds without touching a widget.
class HoteFenetre : public QObject, public HoteTest
{
public:
    explicit HoteFenetre(frmBrenlor *fenetre) : m_fenetre(fenetre) { fenetre->installEventFilter(this); }
    ~HoteFenetre() override
    {
        if (m_fenetre)
            m_fenetre->removeEventFilter(this);
    }

    QString Serveur() const override { return Vivante() ? m_fenetre->cboServeur->currentText() : QString(); }
    QString Base() const override { return Vivante() ? m_fenetre->cboBase->currentText() : QString(); }
    QString PWD() const override { return Vivante() ? m_fenetre->txtPWD->text() : QString(); }
    QString Requete() const override { return Vivante() ? m_fenetre->txtRequete->Text() : QString(); }
    QString TitreApplication() const override { return frmBrenlor::TitreApplication(); }

    void ActiveBouton(bool bActif) override
    {
        if (Vivante())
            m_fenetre->btnLancer->setEnabled(bActif);
    }
    void VideJournal() override
    {
        if (Vivante())
            m_fenetre->txtResultat->SetText(QString());
    }
    void EleveGrille() override
    {
        if (Vivante())
            m_fenetre->grdResultat->raise();
    }
    void AjouteResultat(const QString &sTexte) override
    {
        if (Vivante())
            m_fenetre->AjouteResultat(sTexte);
    }
    double LargeurTwips(const QString &sTexte) const override
    {
        return Vivante() ? m_fenetre->TextWidth(sTexte) : 0.0;
    }
    bool Abandonne() const override { return !Vivante(); }

protected:
    bool eventFilter(QObject *objet, QEvent *evenement) override
    {
        if (objet == m_fenetre && evenement->type() == QEvent::Close)
            m_bFermeture = true;
        return false;
    }

private:
    // A close that was refused leaves the window visible: the run goes on.
    bool Vivante() const { return m_fenetre && !(m_bFermeture && !m_fenetre->isVisible()); }

    QPointer<frmBrenlor> m_fenetre;
    bool m_bFermeture = false;
};
}

void frmBrenlor::btnLancer_Click()
{
    if (m_testEnCours)
        return;
    m_testEnCours = true;
    QPointer<frmBrenlor> moi(this);
    {
        HoteFenetre hote(this);
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
