#include "insertion.h"
#include "motcurseur.h"

namespace {

const QChar kRetourArriere(8);

// A "]" inside is doubled so that it does not close the brackets.
QString NomEncadre(const QString &sNom)
{
    if (sNom.size() < 2)
        return sNom;
    if (!sNom.contains(QLatin1Char(' ')) && !sNom.contains(QLatin1Char('.'))
        && !sNom.contains(QLatin1Char('\\')))
        return sNom;
    QString sInterieur = sNom;
    sInterieur.replace(QLatin1Char(']'), QStringLiteral("]]"));
    return QLatin1Char('[') + sInterieur + QLatin1Char(']');
}

} // namespace

QString TexteDuChoix(const QString &sNom, const QString &sProprietaire, bool bBase)
{
    QString s = NomEncadre(sNom);
    if (!sProprietaire.isEmpty())
        s = NomEncadre(sProprietaire) + QLatin1Char('.') + s;
    if (bBase)
        s += QStringLiteral(".dbo.");
    return s;
}

Plage PlageDeFrappe(int lCaret, bool bApresSaut, const QString &sTouche)
{
    if (sTouche.size() != 1 || sTouche.at(0) != kRetourArriere)
        return {lCaret, 0, sTouche, lCaret >= 0};
    const int lLongueur = bApresSaut ? 2 : 1;
    return {lCaret - lLongueur, lLongueur, QString(), lCaret >= lLongueur};
}

Insertion CalculeInsertion(const QString &sTexteEditeur, int lCaret, const QString &sTexte,
                           bool bKeyPress, bool bBase)
{
    Insertion resultat;
    resultat.sTexte = sTexteEditeur;
    resultat.lSelStart = lCaret;
    if (lCaret < 0 || lCaret > sTexteEditeur.size())
        return resultat;
    const bool bApresSaut = sTexteEditeur.left(lCaret).endsWith(QLatin1String("\r\n"));
    const Plage plage = bKeyPress
        ? PlageDeFrappe(lCaret, bApresSaut, sTexte)
        : PlageDuChoix(MotAuCurseur(sTexteEditeur, lCaret), sTexte, QString(), bBase);
    if (!plage.bAppliquee)
        return resultat;
    resultat.sTexte.replace(plage.lDebut, plage.lLongueur, plage.sTexte);
    resultat.lSelStart = int(plage.lDebut + plage.sTexte.size());
    resultat.bAppliquee = true;
    return resultat;
}

QString TexteDuChoixTape(const QString &sPartieTapee, const QString &sNom, const QString &sProprietaire,
                         bool bBase)
{
    const QChar ouvrant = sPartieTapee.isEmpty() ? QChar() : sPartieTapee.at(0);
    const bool bEncadre = ouvrant == QLatin1Char('[') || ouvrant == QLatin1Char('"');
    if (!bEncadre || !sProprietaire.isEmpty() || bBase)
        return TexteDuChoix(sNom, sProprietaire, bBase);
    const QChar fermant = ouvrant == QLatin1Char('[') ? QLatin1Char(']') : QLatin1Char('"');
    QString sInterieur = sNom;
    sInterieur.replace(fermant, QString(2, fermant));
    return ouvrant + sInterieur + fermant;
}

Plage PlageDuChoix(const MotCurseur &mot, const QString &sNom, const QString &sProprietaire, bool bBase)
{
    return {mot.lDebutPartie, mot.lFin - mot.lDebutPartie,
            TexteDuChoixTape(mot.parties.constLast(), sNom, sProprietaire, bBase), true};
}
