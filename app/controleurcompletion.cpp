#include "controleurcompletion.h"

#include "demande.h"
#include "editeurriche.h"
#include "frmlistemotscles.h"
#include "insertion.h"
#include "jointurescript.h"
#include "motcurseur.h"

#include <QTextBlock>
#include <QTextCursor>

ControleurCompletion::ControleurCompletion(frmListeMotsCles *popup, EditeurRiche *editeur,
                                           std::function<void()> redemande)
    : QObject(popup), m_popup(popup), m_editeur(editeur)
{
    connect(popup, &frmListeMotsCles::ToucheAEcrire, this, &ControleurCompletion::EcritTouche);
    connect(popup, &frmListeMotsCles::NomAEcrire, this, &ControleurCompletion::EcritNom);
    connect(popup, &frmListeMotsCles::ConditionAEcrire, this, &ControleurCompletion::EcritCondition);
    connect(popup, &frmListeMotsCles::ToucheDeChoix, this, &ControleurCompletion::ToucheDeChoix);
    connect(popup, &frmListeMotsCles::FrappeEcrite, this, [redemande] { redemande(); });
}

MotCurseur ControleurCompletion::MotDeLaLigne(int &lDebutLigne) const
{
    // A name never spans lines: the caret's line is all the word needs.
    const QTextCursor curseur = m_editeur->textCursor();
    const int lColonne = curseur.position() - curseur.block().position();
    lDebutLigne = m_editeur->SelStart() - lColonne;
    return MotAuCurseur(curseur.block().text(), lColonne);
}

void ControleurCompletion::EcritTouche(const QString &sTouche)
{
    const QTextCursor curseur = m_editeur->textCursor();
    const bool bApresSaut = curseur.position() > 0 && curseur.position() == curseur.block().position();
    const Plage plage = PlageDeFrappe(m_editeur->SelStart(), bApresSaut, sTouche);
    if (plage.bAppliquee)
        m_editeur->RemplacePlage(plage.lDebut, plage.lLongueur, plage.sTexte);
}

void ControleurCompletion::EcritNom(const QString &sNom, const QString &sProprietaire, bool bBase)
{
    int lDebutLigne = 0;
    const MotCurseur mot = MotDeLaLigne(lDebutLigne);
    const Plage plage = PlageDuChoix(mot, sNom, sProprietaire, bBase);
    m_editeur->RemplacePlage(lDebutLigne + plage.lDebut, plage.lLongueur, plage.sTexte);
}

void ControleurCompletion::EcritCondition(const QString &sCondition)
{
    int lDebutLigne = 0;
    const Plage plage = PlageDeLaCondition(MotDeLaLigne(lDebutLigne), sCondition);
    m_editeur->RemplacePlage(lDebutLigne + plage.lDebut, plage.lLongueur, plage.sTexte);
}

void ControleurCompletion::ToucheDeChoix(const QString &sTouche)
{
    const int lRang = m_popup->Selection();
    const QTextCursor curseur = m_editeur->textCursor();
    const int lColonne = curseur.position() - curseur.block().position();
    // A word typed in full is not a choice: the key is typed.
    if (MotTermine(curseur.block().text(), lColonne, m_popup->NomElement(lRang)))
        m_popup->EcritTouche(sTouche);
    else
        m_popup->Choisit(lRang, sTouche == QLatin1String(" ") ? sTouche : QString());
}
