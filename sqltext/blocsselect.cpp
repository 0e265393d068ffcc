#include "blocsselect.h"

#include "sautsligne.h"

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
    // A line is indented while the lengths of the lines indented so far stay below lFermante;
    // once one is not, none after it is either. Counting the original offsets of the lines
    // does the same without cutting the block into lines.
    const bool bTout = lFermante == 1 && lOuvrante == 1;
    QString sSortie;
    sSortie.reserve(sBloc.size() + 64);
    qsizetype debut = 0; // start of the current line in sBloc
    long lPos = 0;       // lengths of the indented lines, with their CR LF
    for (;;) {
        const qsizetype idx = ChercheCRLF(sBloc, debut);
        const qsizetype fin = idx < 0 ? sBloc.size() : idx;
        if (!bTout && lPos >= lFermante) {
            sSortie.append(QStringView(sBloc).mid(debut));
            break;
        }
        lPos += long(fin - debut) + 2;
        // A line that already opens with a TAB keeps it as its indentation: it is the code
        // that followed a GO on its line, indented as written or by an earlier layout.
        if (debut == sBloc.size() || sBloc.at(debut) != u'\t')
            sSortie.append(u'\t');
        sSortie.append(QStringView(sBloc).mid(debut, (idx < 0 ? fin : fin + 2) - debut));
        if (idx < 0)
            break;
        debut = idx + 2;
    }
    sBloc = sSortie;
}
