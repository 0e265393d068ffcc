#include "appariement.h"

#include <vector>

namespace {

bool EstCaractere(const QString &s, const Jeton &j, QChar ch)
{
    return j.genre == GenreJeton::Autre && s.at(j.lDebut) == ch;
}

// The bracket that the piece shows at offset lPosition, with its partner when
// the piece itself holds it (a bracketed name); false when there is none.
bool CrochetALaPosition(const QString &s, const std::vector<Jeton> &jetons, int lPosition, size_t &iJeton,
                        Appariement &a)
{
    for (size_t i = 0; i < jetons.size(); ++i) {
        const Jeton &j = jetons.at(i);
        if (lPosition < j.lDebut || lPosition >= j.lFin)
            continue;
        iJeton = i;
        a = Appariement();
        if (j.genre == GenreJeton::Crochet) {
            // A name that runs on from a line above has no [ of its own here.
            const bool bOuvrantIci = s.at(j.lDebut) == QLatin1Char('[');
            if (lPosition == j.lDebut && bOuvrantIci) {
                a.lCrochet = lPosition;
                a.bVersLaFin = true;
                a.lPartenaire = j.bFerme ? j.lFin - 1 : -1;
                return true;
            }
            if (lPosition == j.lFin - 1 && j.bFerme && lPosition > j.lDebut) {
                a.lCrochet = lPosition;
                a.lPartenaire = bOuvrantIci ? j.lDebut : -1;
                return true;
            }
            return false;
        }
        if (EstCaractere(s, j, QLatin1Char('(')) || EstCaractere(s, j, QLatin1Char(')'))
            || EstCaractere(s, j, QLatin1Char(']'))) {
            a.lCrochet = lPosition;
            a.bVersLaFin = s.at(lPosition) == QLatin1Char('(');
            return true;
        }
        return false;
    }
    return false;
}

// The parenthesis that closes or opens the one at jetons[i], depth counted.
int PartenaireParenthese(const QString &s, const std::vector<Jeton> &jetons, size_t i, bool bVersLaFin)
{
    int lProfondeur = 0;
    const QChar meme = bVersLaFin ? QLatin1Char('(') : QLatin1Char(')');
    const QChar autre = bVersLaFin ? QLatin1Char(')') : QLatin1Char('(');
    for (size_t k = i;; bVersLaFin ? ++k : --k) {
        const Jeton &j = jetons.at(k);
        if (EstCaractere(s, j, meme))
            ++lProfondeur;
        else if (EstCaractere(s, j, autre) && --lProfondeur == 0)
            return j.lDebut;
        if ((bVersLaFin && k + 1 >= jetons.size()) || (!bVersLaFin && k == 0))
            return -1;
    }
}

} // namespace

Appariement ApparieCrochet(const QString &sTexte, int lCaret, const EtatLecture &etatDebut)
{
    std::vector<Jeton> jetons;
    LecteurSql lecteur(sTexte, etatDebut);
    Jeton j;
    while (lecteur.Suivant(j))
        if (j.genre != GenreJeton::Blanc)
            jetons.push_back(j);
    Appariement a;
    size_t i = 0;
    if (!CrochetALaPosition(sTexte, jetons, lCaret, i, a) && !CrochetALaPosition(sTexte, jetons, lCaret - 1, i, a))
        return Appariement();
    const QChar ch = sTexte.at(a.lCrochet);
    if (ch == QLatin1Char('(') || ch == QLatin1Char(')'))
        a.lPartenaire = PartenaireParenthese(sTexte, jetons, i, a.bVersLaFin);
    return a;
}
