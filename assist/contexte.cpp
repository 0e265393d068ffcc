#include "contexte.h"
#include "occurrences.h"
#include "recherchetoken.h"

#include <QStringList>

namespace {

// The text between the nearest separator before the dot and the dot; a
// bracketed name is looked up from its "[" so that blanks inside it survive.
// A "[" after the dot gives a negative length: the name stays empty.
QString ObjetAvantPoint(const QString &sTexte, long lCaret, long pPoint, long pBlanc,
                        long pVirgule, long pParenthese)
{
    const long pCrochet = DerniereOccurrence(sTexte, QStringLiteral("]"), lCaret);
    long pDebut = 0;
    if (pCrochet == 0)
        pDebut = PlusGrandDuTableau({double(pBlanc), double(pVirgule), double(pParenthese)});
    else
        pDebut = DerniereOccurrence(sTexte, QStringLiteral("["), lCaret);

    QString sObjet;
    const long lLongueur = pPoint - pDebut - 1;
    if (lLongueur >= 0)
        sObjet = sTexte.mid(pDebut, lLongueur);
    if (pCrochet != 0)
        sObjet.prepend(QLatin1Char('['));
    return sObjet;
}

// The end of the word being typed: the farthest of the first blank, comma and
// line break at or after the caret's last character.
long FinDuMot(const QString &sTexte, long lCaret)
{
    const long qBlanc = PremiereOccurrence(sTexte, QStringLiteral(" "), lCaret);
    const long qVirgule = PremiereOccurrence(sTexte, QStringLiteral(","), lCaret);
    const long qLigne = PremiereOccurrence(sTexte, QStringLiteral("\r\n"), lCaret);
    return PlusGrandDuTableau({double(qBlanc), double(qVirgule), double(qLigne)});
}

} // namespace

Contexte AnalyseContexte(const QString &sTexte, int lCaret, bool bSysteme)
{
    Contexte contexte;
    contexte.lTypes = bSysteme ? 11 : 8;
    // With nothing before the caret every search is meaningless: tables (or
    // the system kinds) with no prefix.
    const long c = qMin<long>(lCaret, sTexte.size());
    if (c < 1)
        return contexte;

    const long pBlanc = DerniereOccurrence(sTexte, QStringLiteral(" "), c);
    const long pVirgule = DerniereOccurrence(sTexte, QStringLiteral(","), c);
    const long pParenthese = DerniereOccurrence(sTexte, QStringLiteral("("), c);
    const long pPoint = DerniereOccurrence(sTexte, QStringLiteral("."), c);
    const long pDebut = PlusGrandDuTableau(
        {double(pPoint), double(pBlanc), double(pVirgule), double(pParenthese)});

    if (pPoint != 0 && pDebut == pPoint) {
        contexte.lTypes = 4;
        contexte.sObjet = ObjetAvantPoint(sTexte, c, pPoint, pBlanc, pVirgule, pParenthese);
    }

    const long pFin = FinDuMot(sTexte, c);
    if (pFin == 0) {
        const long pSeparateur =
            ChercheListeArriere(sTexte, c, {QStringLiteral(" "), QStringLiteral(",")});
        contexte.sPrefixe = sTexte.mid(pSeparateur);
    } else if (contexte.lTypes == 4) {
        contexte.sPrefixe = sTexte.mid(pPoint, qMax<long>(0, pFin - pPoint - 1));
    }
    return contexte;
}
