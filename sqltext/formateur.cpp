#include "formateur.h"

#include "blocsselect.h"
#include "miseenpagemots.h"
#include "sautsligne.h"
#include "textedecoupe.h"
#include "zonesprotegees.h"

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
// Halving a run of k spaces in one left-to-right pass leaves (k + 1) / 2 of them: the first,
// third, fifth... of the run, which is what is written here as the line breaks are turned.
QString PrepareLignes(const QString& sEntree, bool& bCRFinal)
{
    QString s(sEntree.size() + 2, Qt::Uninitialized);
    char16_t* d = reinterpret_cast<char16_t*>(s.data());
    const char16_t* e = reinterpret_cast<const char16_t*>(sEntree.constData());
    const qsizetype n = sEntree.size();
    qsizetype j = 0;
    qsizetype lEspaces = 1; // length of the current run of spaces
    d[j++] = u' ';
    for (qsizetype i = 0; i < n; ++i) {
        char16_t c = e[i];
        if (c == u'\r' && i + 1 < n && e[i + 1] == u'\n') {
            c = u' ';
            ++i;
        } else if (c == u'\n') {
            c = u' ';
        }
        if (c != u' ') {
            lEspaces = 0;
            d[j++] = c;
        } else if (++lEspaces % 2 == 1) {
            d[j++] = c;
        }
    }
    s.truncate(j);
    bCRFinal = s.endsWith(u'\r');
    if (bCRFinal)
        s.chop(1);
    if (!s.endsWith(u' '))
        s.append(u' ');
    return s;
}

// The bracket rule of one SELECT block (the first one has no SELECT put in front).
void IndenteBlocSelect(QString& bloc, bool bSousRequete)
{
    if (bSousRequete && !bloc.startsWith(QLatin1String("SELECT ")))
        bloc.prepend(QLatin1String("SELECT "));
    long o = 0;
    long f = 0;
    ChercheParentheses(bloc, o, f);
    const bool bSansParenthese = o == 1 && f == 1;
    if (f != 0 && (f < o || o == 0 || bSansParenthese)) {
        if (!bSansParenthese)
            InsereChaine(bloc, CRLF, f);
        if (bSousRequete)
            IndenteBloc(bloc, f, o);
    }
}

// Sub-queries: every SELECT after the first starts a block whose lines before its closing
// parenthesis get one TAB, the parenthesis going to a line of its own. The blocks are those
// of a split on CR LF "SELECT ", handled one by one as they are found and joined again.
QString IndenteSousRequetes(const QString& r)
{
    if (r.isEmpty())
        return r; // no block at all
    const QLatin1String sSeparateur("\r\nSELECT ");
    QString sSortie;
    sSortie.reserve(r.size() + r.size() / 16);
    QString bloc;
    qsizetype debut = 0;
    for (bool bPremier = true;; bPremier = false) {
        qsizetype idx = ChercheCRLF(r, debut);
        while (idx >= 0 && !QStringView(r).mid(idx).startsWith(sSeparateur))
            idx = ChercheCRLF(r, idx + 2);
        const qsizetype fin = idx < 0 ? r.size() : idx;
        bloc = r.mid(debut, fin - debut);
        IndenteBlocSelect(bloc, !bPremier);
        if (!bPremier)
            sSortie.append(CRLF);
        sSortie.append(bloc);
        if (idx < 0)
            break;
        debut = idx + sSeparateur.size();
    }
    return sSortie;
}

// Literals, comments, quoted names and variables leave the layout as one marker each. The
// text gets a final CR LF when it has none; an unterminated part runs to the end of the text,
// not into that line break. A text cut into fixed 1023-character lines has its breaks
// removed first: they are not the author's.
TexteProtege ProtegeTexte(const QString& sTexte)
{
    const bool bAjoute = !sTexte.endsWith(CRLF);
    if (EstTexteDecoupe(sTexte, bAjoute)) {
        QString s = sTexte;
        if (bAjoute)
            s.append(CRLF);
        s.remove(CRLF);
        return ProtegeZones(s, s.size());
    }
    // The line break added after the end is plain text: appended to the protected text, it
    // spares a copy of the whole text.
    TexteProtege protege = ProtegeZones(sTexte, sTexte.size());
    if (bAjoute)
        protege.sTexte.append(CRLF);
    return protege;
}

QString Formate(const QString& sTexte, bool bGarderOuter, const TableauMotsCles& table)
{
    const TexteProtege protege = ProtegeTexte(sTexte);

    bool bCRFinal = false;
    QString s = PrepareLignes(protege.sTexte, bCRFinal);
    s = MiseEnPageMotsCles(s, table, bGarderOuter);
    DiviseEspaces(s);
    s.chop(1);
    if (bCRFinal)
        s.append(u'\r');
    s.remove(0, s.startsWith(QLatin1String(" \r\n")) ? 3 : 1);

    // Only now, once the sub-query's closing parenthesis has gone to a line of its own, is it
    // known whether a line break already follows each line comment.
    QString sMisEnPage = IndenteSousRequetes(s);
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
