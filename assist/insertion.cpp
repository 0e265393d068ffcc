#include "insertion.h"
#include "recherchetoken.h"

namespace {

const QChar kRetourArriere(8);

bool FinDeMot(QChar ch)
{
    return ch == QLatin1Char(' ') || ch == QLatin1Char('\t') || ch == QLatin1Char('\r')
        || ch == QLatin1Char('\n');
}

// A name that T-SQL would read as several tokens goes between brackets; a "]"
// inside is doubled so that it does not close them.
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

// Backspace removes the character before the caret, a CR LF pair as one.
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

// 1-based position of the first blank, tab or line-break character at or after
// lDepart; 0 when there is none.
long PremiereFinDeMot(const QString &sTexte, long lDepart)
{
    for (long i = qMax<long>(lDepart, 1); i <= sTexte.size(); ++i) {
        if (FinDeMot(sTexte.at(i - 1)))
            return i;
    }
    return 0;
}

// What follows the replaced word. A blank that ends the word is dropped (the
// separator stands for it); a tab or a line break stays.
QString ResteApresMot(const QString &sTexte, long p)
{
    const long q = PremiereFinDeMot(sTexte, p);
    if (q == 0)
        return QString();
    if (q == p || sTexte.at(q - 1) == QLatin1Char(' '))
        return sTexte.mid(q);
    return sTexte.mid(q - 1);
}

} // namespace

Insertion CalculeInsertion(const QString &sTexteEditeur, int lCaret, const QString &sTexte,
                           bool bKeyPress, bool bBase)
{
    if (sTexte.size() == 1 && sTexte.at(0) == kRetourArriere)
        return Efface(sTexteEditeur, lCaret);

    Insertion resultat;
    resultat.sTexte = sTexteEditeur;
    resultat.lSelStart = lCaret;
    if (lCaret < 0)
        return resultat;

    QString s = NomEncadre(sTexte);
    if (bBase && !bKeyPress)
        s += QStringLiteral(".dbo.");

    long p = qMin<long>(lCaret, sTexteEditeur.size());
    // A chosen name replaces the word being typed, from the farthest separator back.
    if (!bKeyPress && p >= 1)
        p = ChercheListeArriere(sTexteEditeur, p,
                                {QStringLiteral("."), QStringLiteral(","), QStringLiteral(" ")});

    const QString sReste = ResteApresMot(sTexteEditeur, p);
    const bool bSeparateur = !sReste.isEmpty() && !FinDeMot(sReste.at(0));
    resultat.sTexte = sTexteEditeur.left(p) + s + (bSeparateur ? QStringLiteral(" ") : QString())
        + sReste;
    resultat.lSelStart = int(p + s.size());
    resultat.bAppliquee = true;
    return resultat;
}
