#include "formatreference.h"

#include <QStringList>

#include <stdexcept>

namespace {

QChar MajRef(QChar c)
{
    return QChar(QChar::toUpper(c.unicode()));
}

QString MajRef(const QString& s)
{
    QString r = s;
    for (QChar& c : r)
        c = MajRef(c);
    return r;
}

// Mid$ with 1-based start: "" beyond the end.
QString Mid(const QString& s, qsizetype debut, qsizetype longueur = -1)
{
    if (debut < 1)
        throw std::invalid_argument("Mid: début invalide");
    if (debut > s.size())
        return QString();
    return s.mid(debut - 1, longueur);
}

// InStr with comparison mode 1 (case ignored) or 0 (exact); 1-based, 0 when absent.
qsizetype InStr(const QString& sDans, const QString& sCherche, int iMode)
{
    if (sCherche.isEmpty())
        return 1;
    for (qsizetype i = 0; i + sCherche.size() <= sDans.size(); ++i) {
        bool bEgal = true;
        for (qsizetype t = 0; t < sCherche.size() && bEgal; ++t) {
            const QChar a = sDans.at(i + t);
            const QChar b = sCherche.at(t);
            bEgal = iMode == 0 ? a == b : MajRef(a) == MajRef(b);
        }
        if (bEgal)
            return i + 1;
    }
    return 0;
}

// Replace in one left-to-right pass, non-overlapping; mode 1 ignores case.
QString Remplace(const QString& s, const QString& sAvant, const QString& sApres, int iMode = 0)
{
    QString r;
    QString reste = s;
    for (;;) {
        const qsizetype p = InStr(reste, sAvant, iMode);
        if (p == 0) {
            r += reste;
            return r;
        }
        r += reste.left(p - 1) + sApres;
        reste = reste.mid(p - 1 + sAvant.size());
    }
}

QString RTrimEspaces(QString s)
{
    while (s.endsWith(u' '))
        s.chop(1);
    return s;
}

// A character of a name (letters of any script with their marks, digits, "_", "@", "#", "$",
// either half of a surrogate pair) or ".": a keyword glued to one is not a keyword.
bool EstMot(const QString& c)
{
    if (c.isEmpty())
        return false;
    const QChar m = c.at(0);
    return m.isLetterOrNumber() || m.isMark() || m.isSurrogate() || m == u'_' || m == u'@' || m == u'#'
        || m == u'$' || m == u'.';
}

bool EstBlancRef(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool MotEntierRef(const QString& s, qsizetype i, const QString& sMotMaj)
{
    return MajRef(s.mid(i, sMotMaj.size())) == sMotMaj
        && (i + sMotMaj.size() >= s.size() || !EstMot(s.mid(i + sMotMaj.size(), 1)));
}

// Where the whole word JOIN comes after the blanks from the 0-based position i on (at least
// one), possibly past more of sMotMaj, each after its blanks: the end of the last blanks, -1
// when no JOIN follows.
qsizetype JoinApresBlancs(const QString& s, qsizetype i, const QString& sMotMaj)
{
    for (;;) {
        const qsizetype debut = i;
        while (i < s.size() && EstBlancRef(s.at(i)))
            ++i;
        if (i == debut)
            return -1;
        if (MotEntierRef(s, i, QStringLiteral("JOIN")))
            return i;
        if (!MotEntierRef(s, i, sMotMaj))
            return -1;
        i += sMotMaj.size();
    }
}

// Every whole word sMot (case ignored) that blanks and then JOIN follow goes, with those
// blanks (a run of sMot before JOIN at once), left to right; the others stay.
QString RetireAvantJoin(const QString& s, const QString& sMot)
{
    const QString mot = MajRef(sMot);
    QString r;
    qsizetype i = 0;
    while (i < s.size()) {
        const bool bEntier = i == 0 || !EstMot(s.mid(i - 1, 1));
        const qsizetype j = bEntier && MotEntierRef(s, i, mot) ? JoinApresBlancs(s, i + mot.size(), mot) : -1;
        if (j >= 0) {
            i = j;
        } else {
            r += s.at(i);
            ++i;
        }
    }
    return r;
}

// Whether a word of the table that starts a line (RetourLigne, not removed) stands at the
// 0-based position i as a whole word, case ignored.
bool MotDebutLigneA(const QString& s, qsizetype i, const TableauMotsCles& table)
{
    for (const MotCle& mc : table) {
        if (!mc.RetourLigne || mc.Supprime || mc.Mot.isEmpty())
            continue;
        if (MajRef(s.mid(i, mc.Mot.size())) == MajRef(mc.Mot)
            && (i + mc.Mot.size() >= s.size() || !EstMot(s.mid(i + mc.Mot.size(), 1))))
            return true;
    }
    return false;
}

// After every line break (CR LF, or LF alone), the blanks and TABs that open the next line
// go when a word that starts a line follows them.
QString RetireIndentationAvantMotsLigne(const QString& s, const TableauMotsCles& table)
{
    QString r;
    qsizetype i = 0;
    while (i < s.size()) {
        qsizetype finSaut = -1;
        if (s.mid(i, 2) == QStringLiteral("\r\n"))
            finSaut = i + 2;
        else if (s.at(i) == u'\n')
            finSaut = i + 1;
        if (finSaut < 0) {
            r += s.at(i);
            ++i;
            continue;
        }
        r += s.mid(i, finSaut - i);
        qsizetype j = finSaut;
        while (j < s.size() && (s.at(j) == u' ' || s.at(j) == u'\t'))
            ++j;
        i = j > finSaut && MotDebutLigneA(s, j, table) ? j : finSaut;
    }
    return r;
}

// Every run of spaces becomes one space.
QString ReplieEspaces(QString s)
{
    while (s.contains(QStringLiteral("  ")))
        s = Remplace(s, QStringLiteral("  "), QStringLiteral(" "));
    return s;
}

// A line that starts with "GO " ends after GO, its repeat count (after blanks or TABs, before
// blanks, TABs, ")" or the end of the line) and
// the spaces that follow them (one space at least); the rest of it goes to a new line, the
// blanks before it giving way to the TABs among them.
QString IsoleGoReference(const QString& r)
{
    QStringList lignes = r.split(QStringLiteral("\r\n"));
    for (int n = 0; n < int(lignes.size()); ++n) {
        QString& l = lignes[n];
        if (l.left(3) != QStringLiteral("GO "))
            continue;
        const bool bDerniere = n + 1 == int(lignes.size());
        auto finLigne = [&](qsizetype i) {
            return i == l.size() || (bDerniere && i + 1 == l.size() && l.at(i) == u'\r');
        };
        auto blanc = [&](qsizetype i) { return i < l.size() && (l.at(i) == u' ' || l.at(i) == u'\t'); };
        auto espaces = [&](qsizetype i) {
            while (i < l.size() && l.at(i) == u' ')
                ++i;
            return i;
        };
        qsizetype j = espaces(2);
        qsizetype debutCompte = j;
        while (blanc(debutCompte))
            ++debutCompte;
        qsizetype k = debutCompte;
        while (k < l.size() && l.at(k) >= u'0' && l.at(k) <= u'9')
            ++k;
        if (k > debutCompte && (finLigne(k) || blanc(k) || l.at(k) == u')'))
            j = espaces(k);
        qsizetype apres = j;
        QString tabs;
        for (; blanc(apres); ++apres)
            if (l.at(apres) == u'\t')
                tabs += u'\t';
        if (!finLigne(apres))
            l = l.left(j) + (l.at(j - 1) == u' ' ? QString() : QStringLiteral(" ")) + QStringLiteral("\r\n") + tabs
                + l.mid(apres);
    }
    return lignes.join(QStringLiteral("\r\n"));
}

// Split like the runtime: an empty text gives no element at all.
QStringList Decoupe(const QString& s, const QString& sSep)
{
    if (s.isEmpty())
        return {};
    return s.split(sSep);
}

bool EstTexteDecoupeReference(const QString& s)
{
    const QStringList lignes = Decoupe(s, QStringLiteral("\r\n"));
    long n = 0;
    for (const QString& l : lignes)
        if (l.size() == 1023)
            ++n;
    const long d = long(lignes.size()) - 1;
    if (d < 1)
        throw std::domain_error("division par zéro");
    return double(n) / double(d) > 0.1;
}

qsizetype Suivant(const QString& s, const QString& c, qsizetype x)
{
    const qsizetype p = InStr(s.mid(x), c, 0);
    return p == 0 ? 0 : p + x;
}

void ChercheParenthesesReference(const QString& bloc, qsizetype& o, qsizetype& f)
{
    o = 1;
    f = 1;
    long profondeur = 0;
    for (;;) {
        if (Suivant(bloc, QStringLiteral(")"), f) == 0 && Suivant(bloc, QStringLiteral("("), o) == 0)
            return;
        o = Suivant(bloc, QStringLiteral("("), o);
        f = Suivant(bloc, QStringLiteral(")"), f);
        if (f < o) {
            if (profondeur == 0)
                return;
            --profondeur;
        } else {
            if (o == 0 || f == 0)
                return;
            ++profondeur;
        }
    }
}

void IndenteBlocReference(QString& bloc, qsizetype f, qsizetype o)
{
    QStringList lignes = Decoupe(bloc, QStringLiteral("\r\n"));
    qsizetype pos = 0;
    for (int i = 0; i <= int(lignes.size()) - 1; ++i) {
        if (pos < f || (f == 1 && o == 1)) {
            pos += lignes[i].size() + 2;
            if (lignes[i].left(1) != QStringLiteral("\t"))
                lignes[i] = QStringLiteral("\t") + lignes[i];
        }
    }
    bloc = lignes.join(QStringLiteral("\r\n"));
}

// Matches sTexte from position i against sMotif from position j (backtracking on "*").
bool CommeDepuis(const QString& t, qsizetype i, const QString& m, qsizetype j)
{
    while (j < m.size()) {
        const QChar pm = m.at(j);
        if (pm == u'*') {
            if (j + 1 == m.size())
                return true; // a final "*" takes whatever is left
            for (qsizetype k = i; k <= t.size(); ++k)
                if (CommeDepuis(t, k, m, j + 1))
                    return true;
            return false;
        }
        if (i >= t.size())
            return false;
        if (pm == u'?') {
            ++i;
            ++j;
            continue;
        }
        if (pm == u'[') {
            qsizetype fin = m.indexOf(u']', j + 1);
            if (fin < 0)
                throw std::invalid_argument("motif invalide");
            QString classe = m.mid(j + 1, fin - j - 1);
            bool bNegation = classe.startsWith(u'!');
            if (bNegation)
                classe.remove(0, 1);
            bool bDedans = false;
            for (qsizetype k = 0; k < classe.size(); ++k) {
                if (k + 2 < classe.size() && classe.at(k + 1) == u'-') {
                    bDedans = bDedans || (t.at(i) >= classe.at(k) && t.at(i) <= classe.at(k + 2));
                    k += 2;
                } else {
                    bDedans = bDedans || t.at(i) == classe.at(k);
                }
            }
            if (bDedans == bNegation)
                return false;
            ++i;
            j = fin + 1;
            continue;
        }
        if (t.at(i) != pm)
            return false;
        ++i;
        ++j;
    }
    return i == t.size();
}

} // namespace

bool CommeReference(const QString& sTexte, const QString& sMotif)
{
    // A motif "*[!A-Z]WORD[!A-Z]*" is tried at every start; the generic backtracking does so.
    return CommeDepuis(sTexte, 0, sMotif, 0);
}

QString RemplaceMotEntierReference(const QString& sTexte, const QString& sMotCadre,
                                   const QString& sRemplacement, int iMode)
{
    QString motif = sMotCadre;
    if (motif.endsWith(u'%'))
        motif = motif.left(motif.size() - 1) + QStringLiteral("[!A-Z]*");
    if (motif.startsWith(u'%'))
        motif = QStringLiteral("*[!A-Z]") + motif.mid(1);
    QString mot = Remplace(motif, QStringLiteral("*[!A-Z]"), QString());
    mot = Remplace(mot, QStringLiteral("[!A-Z]*"), QString());
    const qsizetype L = mot.size();
    if (L == 0)
        throw std::invalid_argument("mot vide: la boucle ne finirait pas");

    QString reste = sTexte;
    QString resultat;
    qsizetype dernierRejet = 0;
    while (!reste.isEmpty()) {
        qsizetype p = InStr(reste, mot, iMode);
        if (p == 0) {
            resultat += reste;
            reste.clear();
            continue;
        }
        // Nothing is put in front of the rest, which always ends the text: an occurrence that
        // starts it is judged by the character before it in the text (a space at the start).
        const qsizetype debutReste = sTexte.size() - reste.size();
        const QString avant = debutReste == 0 ? QStringLiteral(" ") : sTexte.mid(debutReste - 1, 1);
        if (!CommeReference(MajRef(avant + reste), MajRef(motif))) {
            resultat += reste;
            reste.clear();
            continue;
        }
        QString c1;
        QString c2;
        const QString c0 = MajRef(p == 1 ? avant : Mid(reste, p - 1, 1));
        if (EstMot(c0)) {
            dernierRejet = p;
            p = 0;
        }
        if (p != 0) {
            c1 = MajRef(Mid(reste, p + L, 1));
            c2 = MajRef(Mid(reste, p + L + 1, 1));
            if (EstMot(c1)) {
                dernierRejet = p;
                p = 0;
            }
        }
        if (p == 0) {
            resultat += reste.left(dernierRejet + L);
            reste = Mid(reste, dernierRejet + L + 1);
            continue;
        }
        resultat += RTrimEspaces(reste.left(p - 1)) + sRemplacement;
        const qsizetype k = (c1 == QStringLiteral(" ") && c2 == QStringLiteral(" ")) ? 1 : 0;
        reste = Mid(reste, p + L + k);
    }
    return resultat;
}

QString FormatSQLReference(const QString& sTexte, bool bGarderOuter, const TableauMotsCles& table)
{
    if (table.empty())
        return sTexte;
    try {
        QString s = sTexte;
        if (s.right(2) != QStringLiteral("\r\n"))
            s += QStringLiteral("\r\n");
        if (EstTexteDecoupeReference(s))
            s = Remplace(s, QStringLiteral("\r\n"), QString());
        s = QStringLiteral(" ") + s;
        s = RetireIndentationAvantMotsLigne(s, table);
        s = Remplace(s, QStringLiteral("\r\n"), QStringLiteral(" "));
        s = Remplace(s, QStringLiteral("\n"), QStringLiteral(" "));
        s = ReplieEspaces(s);
        bool bCR = false;
        if (s.right(1) == QStringLiteral("\r")) {
            s = s.left(s.size() - 1);
            bCR = true;
        }
        if (s.right(1) != QStringLiteral(" "))
            s += QStringLiteral(" ");
        for (const MotCle& mc : table) {
            if (mc.Supprime) {
                if (!bGarderOuter)
                    s = RetireAvantJoin(s, mc.Mot);
            } else {
                QString remplacement = QStringLiteral(" ");
                if (mc.RetourLigne)
                    remplacement += QStringLiteral("\r\n");
                remplacement += MajRef(mc.Mot);
                if (mc.EspaceApres)
                    remplacement += QStringLiteral(" ");
                s = RemplaceMotEntierReference(s, QStringLiteral("%") + mc.Mot + QStringLiteral("%"),
                                               remplacement, 1);
            }
        }
        s = ReplieEspaces(s);
        s = s.left(s.size() - 1);
        if (bCR)
            s += QStringLiteral("\r");
        QString r = s.left(3) == QStringLiteral(" \r\n") ? Mid(s, 4) : Mid(s, 2);
        if (!r.isEmpty())
            r = IsoleGoReference(r);
        QStringList blocs = Decoupe(r, QStringLiteral("\r\nSELECT "));
        for (int i = int(blocs.size()) - 1; i >= 0; --i) {
            QString bloc = blocs[i];
            if (i > 0 && bloc.left(7) != QStringLiteral("SELECT "))
                bloc = QStringLiteral("SELECT ") + bloc;
            qsizetype o = 0;
            qsizetype f = 0;
            ChercheParenthesesReference(bloc, o, f);
            if (f != 0 && (f < o || o == 0 || (o == 1 && f == 1))) {
                if (!(o == 1 && f == 1)) {
                    // The line break takes the place of the spaces before the parenthesis.
                    while (f > 1 && Mid(bloc, f - 1, 1) == QStringLiteral(" ")) {
                        bloc = bloc.left(f - 2) + Mid(bloc, f);
                        --f;
                    }
                    // A parenthesis that already opens a line stays where it is.
                    if (f > 2 && Mid(bloc, f - 2, 2) == QStringLiteral("\r\n"))
                        --f;
                    else
                        bloc = bloc.left(f - 1) + QStringLiteral("\r\n") + Mid(bloc, f);
                }
                if (i > 0)
                    IndenteBlocReference(bloc, f, o);
            }
            blocs[i] = bloc;
        }
        return blocs.join(QStringLiteral("\r\n"));
    } catch (...) {
        return sTexte;
    }
}
