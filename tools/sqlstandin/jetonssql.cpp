#include "jetonssql.h"


namespace {
bool debutMot(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('#');
}

bool suiteMot(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('#')
           || c == QLatin1Char('$') || c == QLatin1Char('@');
}

// Reads a quoted piece that ends with `fin`, where a doubled `fin` stands for itself.
// Returns -1 when the text ends before the closing quote.
int finDelimite(const QString &s, int i, QChar fin, QString &valeur)
{
    for (++i; i < s.size(); ++i) {
        if (s.at(i) == fin) {
            if (i + 1 < s.size() && s.at(i + 1) == fin) {
                valeur += fin;
                ++i;
                continue;
            }
            return i + 1;
        }
        valeur += s.at(i);
    }
    return -1;
}
}

QVector<JetonSql> DecoupeJetons(const QString &s)
{
    QVector<JetonSql> jetons;
    int i = 0;
    while (i < s.size()) {
        JetonSql j;
        const int debut = i;
        const QChar c = s.at(i);
        const QChar suivant = i + 1 < s.size() ? s.at(i + 1) : QChar();
        if (c.isSpace()) {
            j.genre = JetonSql::Blanc;
            while (i < s.size() && s.at(i).isSpace())
                ++i;
        } else if (c == QLatin1Char('-') && suivant == QLatin1Char('-')) {
            j.genre = JetonSql::Commentaire;
            while (i < s.size() && s.at(i) != QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('/') && suivant == QLatin1Char('*')) {
            j.genre = JetonSql::Commentaire;
            const int fin = s.indexOf(QLatin1String("*/"), i + 2);
            i = fin < 0 ? s.size() : fin + 2;
        } else if (c == QLatin1Char('\'')) {
            j.genre = JetonSql::Chaine;
            i = finDelimite(s, i, QLatin1Char('\''), j.sValeur);
            if (i < 0) {
                j.bNonFerme = true;
                i = s.size();
            }
        } else if ((c == QLatin1Char('N') || c == QLatin1Char('n')) && suivant == QLatin1Char('\'')) {
            j.genre = JetonSql::Chaine;
            i = finDelimite(s, i + 1, QLatin1Char('\''), j.sValeur);
            if (i < 0) {
                j.bNonFerme = true;
                i = s.size();
            }
        } else if (c == QLatin1Char('[')) {
            j.genre = JetonSql::NomDelimite;
            i = finDelimite(s, i, QLatin1Char(']'), j.sValeur);
            if (i < 0) {
                j.bNonFerme = true;
                i = s.size();
            }
        } else if (c == QLatin1Char('"')) {
            j.genre = JetonSql::NomDelimite;
            i = finDelimite(s, i, QLatin1Char('"'), j.sValeur);
            if (i < 0) {
                j.bNonFerme = true;
                i = s.size();
            }
        } else if (c == QLatin1Char('@')) {
            j.genre = JetonSql::Variable;
            ++i;
            while (i < s.size() && suiteMot(s.at(i)))
                ++i;
        } else if (debutMot(c)) {
            j.genre = JetonSql::Mot;
            while (i < s.size() && suiteMot(s.at(i)))
                ++i;
        } else if (c.isDigit() || (c == QLatin1Char('.') && suivant.isDigit())) {
            j.genre = JetonSql::Nombre;
            while (i < s.size() && (s.at(i).isLetterOrNumber() || s.at(i) == QLatin1Char('.'))) {
                // 1e+5: the sign of an exponent belongs to the number.
                const bool bExposant = (s.at(i) == QLatin1Char('e') || s.at(i) == QLatin1Char('E')) && i + 2 < s.size()
                                       && (s.at(i + 1) == QLatin1Char('+') || s.at(i + 1) == QLatin1Char('-'))
                                       && s.at(i + 2).isDigit();
                i += bExposant ? 2 : 1;
            }
        } else {
            j.genre = JetonSql::Symbole;
            ++i;
        }
        j.sTexte = s.mid(debut, i - debut);
        if (j.genre == JetonSql::Mot || j.genre == JetonSql::Nombre || j.genre == JetonSql::Variable)
            j.sValeur = j.sTexte;
        jetons << j;
    }
    return jetons;
}
