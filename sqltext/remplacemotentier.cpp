#include "remplacemotentier.h"

#include "passemotentier.h"

QString RemplaceMotEntier(const QString& sTexte, const QString& sMotCadre,
                          const QString& sRemplacement, int iMode)
{
    // "%" on a side asks for a boundary test on that side.
    ReglePasse regle;
    regle.bCadreApres = sMotCadre.endsWith(u'%');
    QString sMot = regle.bCadreApres ? sMotCadre.chopped(1) : sMotCadre;
    regle.bCadreAvant = sMot.startsWith(u'%');
    if (regle.bCadreAvant)
        sMot.remove(0, 1);
    if (sMot.isEmpty())
        return sTexte; // an empty word is never found as an occurrence worth replacing
    regle.sMot = sMot;
    regle.sRemplacement = sRemplacement;
    regle.bSansCasse = iMode != 0;

    QString sSortie;
    sSortie.reserve(sTexte.size() + sTexte.size() / 8);
    PasseMotEntier(sTexte, regle, false, sSortie);
    return sSortie;
}
