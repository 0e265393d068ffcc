#include "lexique.h"

bool EstCaractereDeNom(QChar ch)
{
    if (ch.isLetterOrNumber() || ch.isMark())
        return true;
    return ch == QLatin1Char('_') || ch == QLatin1Char('@') || ch == QLatin1Char('#') || ch == QLatin1Char('$');
}

namespace {
bool EstBlanc(QChar ch)
{
    return ch == QLatin1Char(' ') || ch == QLatin1Char('\t') || ch == QLatin1Char('\r') || ch == QLatin1Char('\n')
        || ch == QLatin1Char('\f') || ch == QLatin1Char('\v');
}
}

int LecteurSql::FinNom(int i) const
{
    while (i < m_texte.size() && EstCaractereDeNom(m_texte.at(i)))
        ++i;
    return i;
}

// A closing character written twice stands for itself inside the name.
int LecteurSql::FinEncadre(int i, QChar fermant, bool &bFerme) const
{
    for (++i; i < m_texte.size(); ++i) {
        if (m_texte.at(i) != fermant)
            continue;
        if (At(i + 1) == fermant) {
            ++i;
            continue;
        }
        bFerme = true;
        return i + 1;
    }
    bFerme = false;
    return i;
}

int LecteurSql::FinChaine(int i, bool &bFerme) const
{
    return FinEncadre(i, QLatin1Char('\''), bFerme);
}

int LecteurSql::FinCommentaireLigne(int i) const
{
    while (i < m_texte.size() && m_texte.at(i) != QLatin1Char('\r') && m_texte.at(i) != QLatin1Char('\n'))
        ++i;
    return i;
}

// T-SQL block comments nest.
int LecteurSql::FinCommentaireBloc(int i, bool &bFerme) const
{
    int lProfondeur = 0;
    while (i < m_texte.size()) {
        if (m_texte.at(i) == QLatin1Char('/') && At(i + 1) == QLatin1Char('*')) {
            ++lProfondeur;
            i += 2;
        } else if (m_texte.at(i) == QLatin1Char('*') && At(i + 1) == QLatin1Char('/')) {
            i += 2;
            if (--lProfondeur == 0) {
                bFerme = true;
                return i;
            }
        } else {
            ++i;
        }
    }
    bFerme = false;
    return i;
}

int LecteurSql::FinBlancs(int i) const
{
    while (i < m_texte.size() && EstBlanc(m_texte.at(i)))
        ++i;
    return i;
}

bool LecteurSql::Suivant(Jeton &jeton)
{
    const int i = m_position;
    if (i >= m_texte.size())
        return false;
    const QChar ch = m_texte.at(i);
    jeton = Jeton();
    jeton.lDebut = i;
    bool bFerme = true;
    int lFin = i + 1;
    if (EstCaractereDeNom(ch)) {
        jeton.genre = GenreJeton::Nom;
        lFin = FinNom(i);
    } else if (EstBlanc(ch)) {
        jeton.genre = GenreJeton::Blanc;
        lFin = FinBlancs(i);
    } else if (ch == QLatin1Char('.')) {
        jeton.genre = GenreJeton::Point;
    } else if (ch == QLatin1Char('[')) {
        jeton.genre = GenreJeton::Crochet;
        lFin = FinEncadre(i, QLatin1Char(']'), bFerme);
    } else if (ch == QLatin1Char('"')) {
        jeton.genre = GenreJeton::Guillemet;
        lFin = FinEncadre(i, QLatin1Char('"'), bFerme);
    } else if (ch == QLatin1Char('\'')) {
        jeton.genre = GenreJeton::Chaine;
        lFin = FinChaine(i, bFerme);
    } else if (ch == QLatin1Char('-') && At(i + 1) == QLatin1Char('-')) {
        jeton.genre = GenreJeton::Commentaire;
        lFin = FinCommentaireLigne(i);
        // A line comment is open for as long as its line goes on.
        bFerme = false;
    } else if (ch == QLatin1Char('/') && At(i + 1) == QLatin1Char('*')) {
        jeton.genre = GenreJeton::Commentaire;
        lFin = FinCommentaireBloc(i, bFerme);
    } else {
        jeton.genre = GenreJeton::Autre;
    }
    jeton.lFin = lFin;
    jeton.bFerme = bFerme;
    m_position = lFin;
    return true;
}

QString NomDuJeton(const QString &sTexte, const Jeton &jeton)
{
    const QString sPiece = sTexte.mid(jeton.lDebut, jeton.lFin - jeton.lDebut);
    if (jeton.genre != GenreJeton::Crochet && jeton.genre != GenreJeton::Guillemet)
        return sPiece;
    const QChar fermant = jeton.genre == GenreJeton::Crochet ? QLatin1Char(']') : QLatin1Char('"');
    QString sInterieur = sPiece.mid(1, sPiece.size() - (jeton.bFerme ? 2 : 1));
    return sInterieur.replace(QString(2, fermant), QString(fermant));
}
