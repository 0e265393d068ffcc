#include "hotefenetre.h"

#include "comboimages.h"
#include "controlesbrenlor.h"
#include "editeurriche.h"
#include "serveurcourant.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>

HoteFenetre::HoteFenetre(QWidget *fenetre, const ControlesBrenlor &controles,
                         std::function<void(const QString &)> ajouteResultat,
                         std::function<double(const QString &)> largeurTwips)
    : m_fenetre(fenetre), m_controles(controles), m_ajouteResultat(std::move(ajouteResultat)),
      m_largeurTwips(std::move(largeurTwips))
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

QString HoteFenetre::Serveur() const { return Vivante() ? m_controles.cboServeur->currentText() : QString(); }
QString HoteFenetre::Base() const { return Vivante() ? m_controles.cboBase->currentText() : QString(); }
QString HoteFenetre::PWD() const { return Vivante() ? m_controles.txtPWD->text() : QString(); }
QString HoteFenetre::Requete() const { return Vivante() ? m_controles.txtRequete->Text() : QString(); }
QString HoteFenetre::TitreApplication() const { return ServeurCourant::TitreApplication(); }

void HoteFenetre::ActiveBouton(bool bActif)
{
    if (Vivante())
        m_controles.btnLancer->setEnabled(bActif);
}

void HoteFenetre::VideJournal()
{
    if (Vivante())
        m_controles.txtResultat->SetText(QString());
}

void HoteFenetre::EleveGrille()
{
    if (Vivante())
        m_controles.grdResultat->raise();
}

void HoteFenetre::AjouteResultat(const QString &sTexte)
{
    if (Vivante())
        m_ajouteResultat(sTexte);
}

double HoteFenetre::LargeurTwips(const QString &sTexte) const
{
    return Vivante() ? m_largeurTwips(sTexte) : 0.0;
}

bool HoteFenetre::eventFilter(QObject *objet, QEvent *evenement)
{
    if (objet == m_fenetre && evenement->type() == QEvent::Close)
        m_bFermeture = true;
    return false;
}
