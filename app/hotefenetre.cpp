#include "hotefenetre.h"

#include "comboimages.h"
#include "editeurriche.h"
#include "frmbrenlor.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>

HoteFenetre::HoteFenetre(frmBrenlor *fenetre) : m_fenetre(fenetre)
{
    fenetre->installEventFilter(this);
}

HoteFenetre::~HoteFenetre()
{
    if (m_fenetre)
        m_fenetre->removeEventFilter(this);
}

bool HoteFenetre::Vivante() const
{
    return m_fenetre && !(m_bFermeture && !m_fenetre->isVisible());
}

QString HoteFenetre::Serveur() const { return Vivante() ? m_fenetre->cboServeur->currentText() : QString(); }
QString HoteFenetre::Base() const { return Vivante() ? m_fenetre->cboBase->currentText() : QString(); }
QString HoteFenetre::PWD() const { return Vivante() ? m_fenetre->txtPWD->text() : QString(); }
QString HoteFenetre::Requete() const { return Vivante() ? m_fenetre->txtRequete->Text() : QString(); }
QString HoteFenetre::TitreApplication() const { return frmBrenlor::TitreApplication(); }

void HoteFenetre::ActiveBouton(bool bActif)
{
    if (Vivante())
        m_fenetre->btnLancer->setEnabled(bActif);
}

void HoteFenetre::VideJournal()
{
    if (Vivante())
        m_fenetre->txtResultat->SetText(QString());
}

void HoteFenetre::EleveGrille()
{
    if (Vivante())
        m_fenetre->grdResultat->raise();
}

void HoteFenetre::AjouteResultat(const QString &sTexte)
{
    if (Vivante())
        m_fenetre->AjouteResultat(sTexte);
}

double HoteFenetre::LargeurTwips(const QString &sTexte) const
{
    return Vivante() ? m_fenetre->TextWidth(sTexte) : 0.0;
}

bool HoteFenetre::eventFilter(QObject *objet, QEvent *evenement)
{
    if (objet == m_fenetre && evenement->type() == QEvent::Close)
        m_bFermeture = true;
    return false;
}
