#include "formateur.h"

#include "blocsselect.h"
#include "lignego.h"
#include "miseenpagemots.h"
#include "motsdebutligne.h"
#include "sautsligne.h"
#include "textedecoupe.h"
#include "zonesprotegees.h"

#include <cstring>

namespace {

const QLatin1String CRLF("\r\n");

// Folds every run of spaces into one space, in place.
void ReplieEspaces(QString& s)
{
    char16_t* d = reinterpret_cast<char16_t*>(s.data());
    const qsizetype n = s.size();
    qsizetype j = 0;
    for (qsizetype i = 0; i < n; ++i)
        if (d[i] != u' ' || j == 0 || d[j - 1] != u' ')
            d[j++] = d[i];
    s.truncate(j);
}

// One space in front, every CR LF and then every LF turned into a space, every run of spaces
// folded into one, and framed by one space on each side (a CR that ends up last is set aside).
// A line break takes with it the blanks and TABs that open the next line when a word that
// the layout starts a line with follows them: that line gets the layout's indentation, not
// the one it had (its own earlier indentation, when the text was laid out before), which
// would otherwise stay behind at the end of the line before. Folding runs down to one space,
// rather than shortening them, is what makes a laid-out text lay out as itself.
// Done in place: the text moves one place on to make room for the space in front, and the
// writing never overtakes the reading, since a character gives at most one.
void PrepareLignes(QString& s, const MotsDebutLigne& motsLigne, bool& bCRFinal)
{
    const qsizetype n = s.size();
    s.resize(n + 2); // the space in front and the one at the end; the caller left room for them
    char16_t* d = reinterpret_cast<char16_t*>(s.data());
    std::memmove(d + 1, d, size_t(n) * sizeof(char16_t));
    d[0] = u' ';
    const QStringView lu(d, n + 1); // what is read; the last slot is not written yet
    qsizetype j = 1;
    for (qsizetype i = 1; i <= n; ++i) {
        char16_t c = d[i];
        bool bSaut = true;
        if (c == u'\r' && i < n && d[i + 1] == u'\n')
            ++i;
        else if (c != u'\n')
            bSaut = false;
        if (bSaut) {
            c = u' ';
            if (i < n && (d[i + 1] == u' ' || d[i + 1] == u'\t'))
                i = FinIndentationAvantMot(lu, i + 1, motsLigne) - 1;
        }
        if (c != u' ' || d[j - 1] != u' ')
            d[j++] = c;
    }
    s.truncate(j);
    bCRFinal = s.endsWith(u'\r');
    if (bCRFinal)
        s.chop(1);
    if (!s.endsWith(u' '))
        s.append(u' ');
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
        if (!bSansParenthese) {
            // The line break takes the place of the blanks before the parenthesis: left there,
            // they would end the line, and a laid-out text would gain one each time. A
            // parenthesis that already opens a line (after a GO) stays where it is; the lines
            // before it are those that start before its line.
            long lEspaces = 0;
            while (f - lEspaces > 1 && bloc.at(f - lEspaces - 2) == u' ')
                ++lEspaces;
            bloc.remove(f - lEspaces - 1, lEspaces);
            f -= lEspaces;
            if (f > 2 && bloc.at(f - 2) == u'\n' && bloc.at(f - 3) == u'\r')
                --f;
            else
                InsereChaine(bloc, CRLF, f);
        }
        if (bSousRequete)
            IndenteBloc(bloc, f, o);
    }
}

// Sub-queries: every SELECT after the first starts a block whose lines before its closing
// parenthesis get one TAB, the parenthesis going to a line of its own. The blocks are those
// of a split on CR LF "SELECT ", handled one by one as they are found and joined again into
// sSortie, in place of what it held.
void IndenteSousRequetes(const QString& r, QString& sSortie)
{
    sSortie.truncate(0);
    if (r.isEmpty())
        return; // no block at all
    const QLatin1String sSeparateur("\r\nSELECT ");
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
}

// Literals, comments, quoted names and variables leave the layout as one marker each. The
// text gets a final CR LF when it has none; an unterminated part runs to the end of the text,
// not into that line break. A text cut into fixed 1023-character lines has its breaks
// removed first: they are not the author's.
void ProtegeTexte(const QString& sTexte, TexteProtege& protege)
{
    const bool bAjoute = !sTexte.endsWith(CRLF);
    if (EstTexteDecoupe(sTexte, bAjoute)) {
        QString s = sTexte;
        if (bAjoute)
            s.append(CRLF);
        s.remove(CRLF);
        ProtegeZones(s, s.size(), protege);
        return;
    }
    // The line break added after the end is plain text: appended to the protected text, it
    // spares a copy of the whole text.
    ProtegeZones(sTexte, sTexte.size(), protege);
    if (bAjoute)
        protege.sTexte.append(CRLF);
}

// The working texts of one call, each as long as the script. They are kept from one call to
// the next, emptied, for their room alone: taking that much fresh memory every time, and
// giving it back, costs more than the formatting itself. Past LimiteGardee characters they are
// let go after the call.
struct Tampons {
    TexteProtege protege; // the protected text, then the text laid out in SELECT blocks
    QString sMisEnPage;   // the text with its keywords laid out
    QString sResultat;    // shared with the caller's copy of the result

    static constexpr qsizetype LimiteGardee = qsizetype(1) << 22;

    void LacheSiTropGrands()
    {
        if (protege.sTexte.capacity() > LimiteGardee || sMisEnPage.capacity() > LimiteGardee
            || sResultat.capacity() > LimiteGardee)
            *this = Tampons();
    }
};

QString Formate(const QString& sTexte, bool bGarderOuter, const TableauMotsCles& table)
{
    thread_local Tampons t;
    ProtegeTexte(sTexte, t.protege);

    bool bCRFinal = false;
    QString& s = t.sMisEnPage;
    PrepareLignes(t.protege.sTexte, MotsDebutLigne(table), bCRFinal);
    MiseEnPageMotsCles(t.protege.sTexte, table, bGarderOuter, s);
    ReplieEspaces(s);
    s.chop(1);
    if (bCRFinal)
        s.append(u'\r');
    s.remove(0, s.startsWith(QLatin1String(" \r\n")) ? 3 : 1);
    IsoleGo(s, t.protege.zones);

    // Only now, once the sub-query's closing parenthesis has gone to a line of its own, is it
    // known whether a line break already follows each line comment.
    QString& sBlocs = t.protege.sTexte;
    IndenteSousRequetes(s, sBlocs);
    CoupeApresCommentaires(sBlocs, t.protege.zones);
    RestaureZones(sBlocs, t.protege.zones, t.protege.sSource, t.sResultat);
    t.protege.sSource = QString(); // the caller's text, not kept beyond the call
    const QString sResultat = t.sResultat;
    t.LacheSiTropGrands();
    return sResultat;
}

} // namespace

// The marker of a protected part counts, in every step of the layout, as one character that
// is neither a space nor a character of a name or ".": like a comma, it ends the keyword next
// to it, the spaces around it are folded and trimmed as anywhere else, and it is never split.
// Only what lies outside the protected parts is folded, upper-cased or broken into lines.
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
