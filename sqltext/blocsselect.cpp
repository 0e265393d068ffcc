#include "blocsselect.h"

#include <QStringList>

#include <algorithm>
#include <stdexcept>

namespace {

// Position of the first c searched from position x + 1 (from 1 when x is 0); 0 when none.
long Suivant(const QString& sBloc, char16_t c, long x)
{
    const qsizetype idx = sBloc.indexOf(QChar(c), qsizetype(x));
    return idx < 0 ? 0 : long(idx) + 1;
}

} // namespace

void ChercheParentheses(const QString& sBloc, long& lOuvrante, long& lFermante)
{
    long o = 1;
    long f = 1;
    long lProfondeur = 0;
    for (;;) {
        if (Suivant(sBloc, u')', f) == 0 && Suivant(sBloc, u'(', o) == 0)
            break;
        o = Suivant(sBloc, u'(', o);
        f = Suivant(sBloc, u')', f);
        if (f < o) {
            if (lProfondeur == 0)
                break;
            --lProfondeur;
        } else {
            if (o == 0 || f == 0)
                break;
            ++lProfondeur;
        }
    }
    lOuvrante = o;
    lFermante = f;
}

void InsereChaine(QString& sTexte, const QString& sInsertion, long lPosition)
{
    if (lPosition < 1)
        throw std::invalid_argument("InsereChaine: position avant le début du texte");
    const qsizetype avant = std::min<qsizetype>(lPosition - 1, sTexte.size());
    sTexte.insert(avant, sInsertion);
}

void IndenteBloc(QString& sBloc, long lFermante, long lOuvrante)
{
    if (sBloc.isEmpty())
        return; // an empty block has no line at all
    QStringList lignes = sBloc.split(QLatin1String("\r\n"));
    long lPos = 0;
    const bool bTout = lFermante == 1 && lOuvrante == 1;
    for (QString& ligne : lignes) {
        if (lPos < lFermante || bTout) {
            lPos += long(ligne.size()) + 2;
            ligne.prepend(u'\t');
        }
    }
    sBloc = lignes.join(QLatin1String("\r\n"));
}
