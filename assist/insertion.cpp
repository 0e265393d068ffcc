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

Insertion Efface(const QString &sTexte, int lCaret)
{
    Insertion resultat;
    resultat.sTexte = sTexte;
    resultat.lSelStart = lCaret;
    if (lCaret < 1 || lCaret > sTexte.size())
        return resultat;
    int lLongueur = 1;
    if (lCaret >= 2 && sTexte.at(lCaret - 1) == QLatin1Char('\n')
        && sTexte.at(lCaret - 2) == QLatin1Char('\r'))
        lLongueur = 2;
    resultat.sTexte.remove(lCaret - lLongueur, lLongueur);
    resultat.lSelStart = lCaret - lLongueur;
    resultat.bAppliquee = true;
    return resultat;
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

Insertion RemplaceMot(const QString &sTexteEditeur, int lCaret, const QString &sEcrit)
{
    Insertion resultat;
    resultat.sTexte = sTexteEditeur;
    resultat.lSelStart = lCaret;
    if (lCaret < 0)
        return resultat;
    const MotCurseur mot = MotAuCurseur(sTexteEditeur, lCaret);
    resultat.sTexte = sTexteEditeur.left(mot.lDebutPartie) + sEcrit + sTexteEditeur.mid(mot.lFin);
    resultat.lSelStart = int(mot.lDebutPartie + sEcrit.size());
    resultat.bAppliquee = true;
    return resultat;
}

Insertion InsereFrappe(const QString &sTexteEditeur, int lCaret, const QString &sTexte)
{
    if (sTexte.size() == 1 && sTexte.at(0) == kRetourArriere)
        return Efface(sTexteEditeur, lCaret);
    Insertion resultat;
    resultat.sTexte = sTexteEditeur;
    resultat.lSelStart = lCaret;
    if (lCaret < 0 || lCaret > sTexteEditeur.size())
        return resultat;
    resultat.sTexte.insert(lCaret, sTexte);
    resultat.lSelStart = int(lCaret + sTexte.size());
    resultat.bAppliquee = true;
    return resultat;
}

Insertion CalculeInsertion(const QString &sTexteEditeur, int lCaret, const QString &sTexte,
                           bool bKeyPress, bool bBase)
{
    if (bKeyPress)
        return InsereFrappe(sTexteEditeur, lCaret, sTexte);
    Insertion resultat;
    resultat.sTexte = sTexteEditeur;
    resultat.lSelStart = lCaret;
    if (lCaret < 0)
        return resultat;
    const Plage plage = PlageDuChoix(MotAuCurseur(sTexteEditeur, lCaret), sTexte, QString(), bBase);
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
            TexteDuChoixTape(mot.parties.constLast(), sNom, sProprietaire, bBase)};
}
