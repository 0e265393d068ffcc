#include "decoupagelots.h"

#include <QStringView>

namespace {

// Where a line leaves the lexer: a GO is only recognised at the start of a
// line that begins outside strings, quoted names and block comments.
struct EtatLexical {
    QChar cFermeture;          ///< the quote or bracket closing the open string or name; null when none
    int lProfondeurComment = 0; ///< block comments nest in T-SQL
    bool EnDehors() const { return cFermeture.isNull() && lProfondeurComment == 0; }
};

// Moves the state over one line (without its line break); true when the line
// holds anything but blanks and comments.
bool AvanceLigne(QStringView ligne, EtatLexical &e)
{
    bool bCode = false;
    const qsizetype n = ligne.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = ligne[i];
        const QChar suivant = i + 1 < n ? ligne[i + 1] : QChar();
        if (e.lProfondeurComment > 0) {
            if (c == u'*' && suivant == u'/') {
                --e.lProfondeurComment;
                ++i;
            } else if (c == u'/' && suivant == u'*') {
                ++e.lProfondeurComment;
                ++i;
            }
        } else if (!e.cFermeture.isNull()) {
            bCode = true;
            if (c == e.cFermeture) {
                // A doubled closing character stands for itself.
                if (suivant == e.cFermeture)
                    ++i;
                else
                    e.cFermeture = QChar();
            }
        } else if (c == u'-' && suivant == u'-') {
            return bCode;
        } else if (c == u'/' && suivant == u'*') {
            e.lProfondeurComment = 1;
            ++i;
        } else if (c == u'\'' || c == u'"') {
            e.cFermeture = c;
            bCode = true;
        } else if (c == u'[') {
            e.cFermeture = u']';
            bCode = true;
        } else if (!c.isSpace()) {
            bCode = true;
        }
    }
    return bCode;
}

enum class GenreLigne { Texte, Go, GoFautif };

// Reads a line as a batch separator: "GO", blanks, an optional count, an
// optional "--" comment.
GenreLigne LitGo(QStringView ligne, qint64 &lCompte)
{
    QStringView reste = ligne.trimmed();
    if (reste.size() < 2 || reste.left(2).compare(u"GO", Qt::CaseInsensitive) != 0)
        return GenreLigne::Texte;
    reste = reste.mid(2);
    if (!reste.isEmpty() && !reste.front().isSpace() && !reste.startsWith(u"--"))
        return GenreLigne::Texte;
    const qsizetype lComment = reste.indexOf(u"--");
    if (lComment >= 0)
        reste = reste.left(lComment);
    reste = reste.trimmed();
    if (reste.isEmpty()) {
        lCompte = 1;
        return GenreLigne::Go;
    }
    bool bNombre = false;
    lCompte = reste.toLongLong(&bNombre);
    if (!bNombre || lCompte < 1 || lCompte > 2147483647)
        return GenreLigne::GoFautif;
    return GenreLigne::Go;
}

} // namespace

bool EstSansInstruction(const QString &sTexte)
{
    EtatLexical e;
    for (QStringView ligne : QStringView(sTexte).split(u'\n')) {
        if (AvanceLigne(ligne, e))
            return false;
    }
    return true;
}

DecoupageLots DecoupeLots(const QString &sScript)
{
    DecoupageLots resultat;
    EtatLexical etat;
    int lLigne = 0;
    qsizetype lDebutLot = 0;
    int lLigneLot = 1;
    const auto ferme = [&](qsizetype lFin, int lRepetitions) {
        const QString sTexte = sScript.mid(lDebutLot, lFin - lDebutLot);
        if (!EstSansInstruction(sTexte))
            resultat.lots.append({sTexte, lLigneLot, lRepetitions});
    };
    qsizetype lPos = 0;
    while (lPos <= sScript.size()) {
        qsizetype lFinLigne = sScript.indexOf(u'\n', lPos);
        const bool bDerniere = lFinLigne < 0;
        if (bDerniere)
            lFinLigne = sScript.size();
        ++lLigne;
        QStringView ligne = QStringView(sScript).mid(lPos, lFinLigne - lPos);
        if (ligne.endsWith(u'\r'))
            ligne.chop(1);
        qint64 lCompte = 0;
        const GenreLigne genre = etat.EnDehors() ? LitGo(ligne, lCompte) : GenreLigne::Texte;
        if (genre == GenreLigne::GoFautif) {
            resultat.lots.clear();
            resultat.lLigneErreur = lLigne;
            resultat.sErreur = QStringLiteral("Erreur de syntaxe près de GO, ligne %1 : le nombre de répétitions "
                                              "doit être compris entre 1 et 2147483647. Rien n'a été exécuté.")
                                   .arg(lLigne);
            return resultat;
        }
        if (genre == GenreLigne::Go) {
            ferme(lPos, int(lCompte));
            lDebutLot = lFinLigne + 1;
            lLigneLot = lLigne + 1;
        } else {
            AvanceLigne(ligne, etat);
        }
        if (bDerniere)
            break;
        lPos = lFinLigne + 1;
    }
    if (lDebutLot < sScript.size())
        ferme(sScript.size(), 1);
    return resultat;
}
