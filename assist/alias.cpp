#include "alias.h"
#include "lexique.h"

#include <QSet>
#include <QVector>

namespace {

bool EstMot(const QString &sTexte, const Jeton &j, const char *sMot)
{
    return j.genre == GenreJeton::Nom
        && QStringView(sTexte).mid(j.lDebut, j.lFin - j.lDebut).compare(QLatin1String(sMot), Qt::CaseInsensitive) == 0;
}

bool EstSymbole(const QString &sTexte, const Jeton &j, QChar ch)
{
    return j.genre == GenreJeton::Autre && sTexte.at(j.lDebut) == ch;
}

// Words that end a table reference: no alias can be one of them.
bool EstMotDeClause(const QString &sMot)
{
    static const QSet<QString> mots{
        QStringLiteral("where"), QStringLiteral("on"), QStringLiteral("join"), QStringLiteral("inner"),
        QStringLiteral("left"), QStringLiteral("right"), QStringLiteral("full"), QStringLiteral("cross"),
        QStringLiteral("outer"), QStringLiteral("apply"), QStringLiteral("group"), QStringLiteral("order"),
        QStringLiteral("having"), QStringLiteral("union"), QStringLiteral("except"), QStringLiteral("intersect"),
        QStringLiteral("select"), QStringLiteral("set"), QStringLiteral("with"), QStringLiteral("option"),
        QStringLiteral("for"), QStringLiteral("into"), QStringLiteral("values"), QStringLiteral("output"),
        QStringLiteral("from"), QStringLiteral("go"), QStringLiteral("begin"), QStringLiteral("end"),
        QStringLiteral("if"), QStringLiteral("else"), QStringLiteral("while"), QStringLiteral("return"),
        QStringLiteral("declare"), QStringLiteral("exec"), QStringLiteral("execute"), QStringLiteral("insert"),
        QStringLiteral("update"), QStringLiteral("delete"), QStringLiteral("pivot"), QStringLiteral("unpivot"),
        QStringLiteral("tablesample"), QStringLiteral("when"), QStringLiteral("then")};
    return mots.contains(sMot.toLower());
}

// A GO line: GO alone on its line, a repeat count or a comment aside.
bool EstLigneGo(const QString &sTexte, const QVector<Jeton> &jetons, int i)
{
    if (!EstMot(sTexte, jetons.at(i), "go"))
        return false;
    const auto sautLigne = [&](const Jeton &j) {
        return j.genre == GenreJeton::Blanc
            && QStringView(sTexte).mid(j.lDebut, j.lFin - j.lDebut).contains(QLatin1Char('\n'));
    };
    if (i > 0 && !sautLigne(jetons.at(i - 1)))
        return false;
    for (int k = i + 1; k < jetons.size(); ++k) {
        const Jeton &j = jetons.at(k);
        if (sautLigne(j))
            return true;
        if (j.genre == GenreJeton::Blanc || j.genre == GenreJeton::Commentaire)
            continue;
        if (j.genre == GenreJeton::Nom && sTexte.at(j.lDebut).isDigit())
            continue;
        return false;
    }
    return true;
}

// The pieces of the statement that holds the caret, blanks and comments left out.
QVector<Jeton> PiecesDeLInstruction(const QString &sTexte, int lCaret)
{
    QVector<Jeton> jetons;
    LecteurSql lecteur(sTexte);
    Jeton j;
    while (lecteur.Suivant(j))
        jetons.append(j);
    QVector<Jeton> instruction;
    for (int i = 0; i < jetons.size(); ++i) {
        const Jeton &jeton = jetons.at(i);
        const bool bFin = EstSymbole(sTexte, jeton, QLatin1Char(';')) || EstLigneGo(sTexte, jetons, i);
        if (bFin) {
            if (jeton.lDebut >= lCaret)
                break;
            instruction.clear();
            continue;
        }
        if (jeton.genre != GenreJeton::Blanc && jeton.genre != GenreJeton::Commentaire)
            instruction.append(jeton);
    }
    return instruction;
}

struct Reference {
    QString sObjet;
    QString sAlias;
};

// Reads "object [AS] alias" from position i; i ends after what was read.
Reference LitReference(const QString &sTexte, const QVector<Jeton> &p, int &i)
{
    Reference ref;
    const int lDebut = i;
    // The parts of one name touch each other: a blank ends it.
    while (i < p.size() && EstPieceDeNom(p.at(i).genre) && (i == lDebut || p.at(i).lDebut == p.at(i - 1).lFin))
        ++i;
    if (i == lDebut)
        return ref;
    ref.sObjet = sTexte.mid(p.at(lDebut).lDebut, p.at(i - 1).lFin - p.at(lDebut).lDebut);
    if (i < p.size() && EstMot(sTexte, p.at(i), "as"))
        ++i;
    if (i < p.size() && p.at(i).genre != GenreJeton::Point && EstPieceDeNom(p.at(i).genre)) {
        const QString sAlias = NomDuJeton(sTexte, p.at(i));
        if (p.at(i).genre != GenreJeton::Nom || !EstMotDeClause(sAlias)) {
            ref.sAlias = sAlias;
            ++i;
        }
    }
    return ref;
}

} // namespace

QString ObjetDeLAlias(const QString &sTexte, int lCaret, const QString &sAlias)
{
    if (sAlias.isEmpty())
        return QString();
    const QVector<Jeton> p = PiecesDeLInstruction(sTexte, lCaret);
    bool bListeFrom = false;
    for (int i = 0; i < p.size();) {
        const bool bOuvre = EstMot(sTexte, p.at(i), "from") || EstMot(sTexte, p.at(i), "join")
            || EstMot(sTexte, p.at(i), "into") || EstMot(sTexte, p.at(i), "using");
        const bool bSuite = bListeFrom && EstSymbole(sTexte, p.at(i), QLatin1Char(','));
        if (!bOuvre && !bSuite) {
            if (p.at(i).genre == GenreJeton::Nom && EstMotDeClause(NomDuJeton(sTexte, p.at(i))))
                bListeFrom = false;
            ++i;
            continue;
        }
        ++i;
        const Reference ref = LitReference(sTexte, p, i);
        if (!ref.sAlias.isEmpty() && ref.sAlias.compare(sAlias, Qt::CaseInsensitive) == 0)
            return ref.sObjet;
        bListeFrom = !ref.sObjet.isEmpty();
    }
    return QString();
}
