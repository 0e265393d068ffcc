#include "contexte.h"
#include "motcurseur.h"

Contexte AnalyseContexte(const QString &sTexte, int lCaret, bool bSysteme)
{
    return AnalyseContexte(MotAuCurseur(sTexte, lCaret), sTexte, bSysteme);
}

Contexte AnalyseContexte(const MotCurseur &mot, const QString &sTexte, bool bSysteme)
{
    Contexte contexte;
    contexte.bDansLitteral = mot.bDansLitteral;
    contexte.parties = mot.parties;
    contexte.sPrefixe = NomDeLaPartie(mot.parties.constLast());
    if (mot.bAvecPoint()) {
        contexte.lTypes = 4;
        // Everything before the last dot, exactly as typed: "clients",
        // "[order details]", "dbo.clients", "Ventes.dbo.clients".
        contexte.sObjet = sTexte.mid(mot.lDebut, mot.lDebutPartie - 1 - mot.lDebut);
    } else {
        contexte.lTypes = bSysteme ? 11 : 8;
    }
    return contexte;
}
