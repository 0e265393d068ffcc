#include "formateur.h"

#include "blocsselect.h"
#include "miseenpagemots.h"
#include "recherchetoken.h"
#include "textedecoupe.h"
#include "zonesprotegees.h"

#include <QStringList>

namespace {

const QLatin1String CRLF("\r\n");

// Halves every run of spaces (rounding up), in place: the single left-to-right replacement of
// two spaces by one.
void DiviseEspaces(QString& s)
{
    char16_t* d = reinterpret_cast<char16_t*>(s.data());
    const qsizetype n = s.size();
    qsizetype j = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (d[i] == u' ' && i + 1 < n && d[i + 1] == u' ')
            ++i; // the pair becomes the one space written below
        d[j++] = d[i];
    }
    s.truncate(j);
}

// One space in front, every CR LF and then every LF turned into a space, runs of spaces
// halved, and framed by one space on each side (a CR that ends up last is set aside).
QString PrepareLignes(const QString& sEntree, bool& bCRFinal)
{
    QString s(sEntree.size() + 2, Qt::Uninitialized);
    char16_t* d = reinterpret_cast<char16_t*>(s.data());
    const char16_t* e = reinterpret_cast<const char16_t*>(sEntree.constData());
    const qsizetype n = sEntree.size();
    qsizetype j = 0;
    d[j++] = u' ';
    for (qsizetype i = 0; i < n; ++i) {
        if (e[i] == u'\r' && i + 1 < n && e[i + 1] == u'\n') {
            d[j++] = u' ';
            ++i;
        } else {
            d[j++] = e[i] == u'\n' ? u' ' : e[i];
        }
    }
    s.truncate(j);
    DiviseEspaces(s);
    bCRFinal = s.endsWith(u'\r');
    if (bCRFinal)
        s.chop(1);
    if (!s.endsWith(u' '))
        s.append(u' ');
    return s;
}

// Sub-queries: every SELECT after the first starts a block whose lines before its closing
// parenthesis get one TAB, the parenthesis going to a line of its own.
QString IndenteSousRequetes(const QString& r)
{
    QStringList blocs;
    if (!r.isEmpty())
        blocs = r.split(QLatin1String("\r\nSELECT "));
    for (int i = BorneSuperieure(blocs); i >= 0; --i) {
        QString& bloc = blocs[i];
        if (i > 0 && !bloc.startsWith(QLatin1String("SELECT ")))
            bloc.prepend(QLatin1String("SELECT "));
        long o = 0;
        long f = 0;
        ChercheParentheses(bloc, o, f);
        const bool bSansParenthese = o == 1 && f == 1;
        if (f != 0 && (f < o || o == 0 || bSansParenthese)) {
            if (!bSansParenthese)
                InsereChaine(bloc, CRLF, f);
            if (i > 0)
                IndenteBloc(bloc, f, o);
        }
    }
    return blocs.join(CRLF);
}

QString Formate(const QString& sTexte, bool bGarderOuter, const TableauMotsCles& table)
{
    QString s = sTexte;
    const bool bAjoute = !s.endsWith(CRLF);
    if (bAjoute)
        s.append(CRLF);
    // Text cut into fixed 1023-character lines: the breaks are not the author's, join the pieces.
    const bool bDecoupe = EstTexteDecoupe(s);
    if (bDecoupe)
        s.remove(CRLF);

    // Literals, comments, quoted names and variables leave the layout as one marker each. An
    // unterminated one runs to the end of the text, not into the line break added above.
    const TexteProtege protege = ProtegeZones(s, bAjoute && !bDecoupe ? s.size() - 2 : s.size());

    bool bCRFinal = false;
    s = PrepareLignes(protege.sTexte, bCRFinal);
    s = MiseEnPageMotsCles(s, table, bGarderOuter);
    DiviseEspaces(s);
    s.chop(1);
    if (bCRFinal)
        s.append(u'\r');
    QString r = s.startsWith(QLatin1String(" \r\n")) ? s.mid(3) : s.mid(1);

    // Only now, once the sub-query's closing parenthesis has gone to a line of its own, is it
    // known whether a line break already follows each line comment.
    QString sMisEnPage = IndenteSousRequetes(r);
    CoupeApresCommentaires(sMisEnPage, protege.zones);
    return RestaureZones(sMisEnPage, protege.zones);
}

} // namespace

// The marker of a protected part counts, in every step of the layout, as one character that
// is neither a space nor a letter, "." or "_": like a comma, it ends the keyword next to it,
// the spaces around it are folded and trimmed as anywhere else, and it is never split. Only
// what lies outside the protected parts is folded, upper-cased or broken into lines.
QString FormatSQL(const QString& sTexte, bool bGarderOuter, const TableauMotsCles& table)
{
    if (table.empty())
        return sTexte; // no keyword table built yet
    try {
        return Formate(sTexte, bGarderOuter, table);
    } catch (...) {
        return sTexte;
    }
}
