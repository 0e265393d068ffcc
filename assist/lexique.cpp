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

int CodeEtat(const EtatLecture &etat)
{
    switch (etat.genreOuvert) {
    case GenreJeton::Chaine: return 1;
    case GenreJeton::Guillemet: return 2;
    case GenreJeton::Crochet: return 3;
    case GenreJeton::Commentaire: return 3 + qMax(1, etat.lProfondeur);
    default: return 0;
    }
}

EtatLecture EtatDuCode(int lCode)
{
    EtatLecture etat;
    if (lCode == 1)
        etat.genreOuvert = GenreJeton::Chaine;
    else if (lCode == 2)
        etat.genreOuvert = GenreJeton::Guillemet;
    else if (lCode == 3)
        etat.genreOuvert = GenreJeton::Crochet;
    else if (lCode > 3) {
        etat.genreOuvert = GenreJeton::Commentaire;
        etat.lProfondeur = lCode - 3;
    }
    return etat;
}

int LecteurSql::FinEncadre(int i, QChar fermant, bool &bFerme) const
{
    return FinSuiteEncadre(i + 1, fermant, bFerme);
}

// A closing character written twice stands for itself inside the name.
int LecteurSql::FinSuiteEncadre(int i, QChar fermant, bool &bFerme) const
{
    for (; i < m_texte.size(); ++i) {
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

// T-SQL block comments nest. Reads from i at the given depth; returns where the
// outermost comment closes (depth back to 0) or the end of the text.
int LecteurSql::FinCommentaireImbrique(int i, int &lProfondeur) const
{
    while (i < m_texte.size()) {
        if (m_texte.at(i) == QLatin1Char('/') && At(i + 1) == QLatin1Char('*')) {
            ++lProfondeur;
            i += 2;
        } else if (m_texte.at(i) == QLatin1Char('*') && At(i + 1) == QLatin1Char('/')) {
            i += 2;
            if (--lProfondeur == 0)
                return i;
        } else {
            ++i;
        }
    }
    return i;
}

int LecteurSql::FinBlancs(int i) const
{
    while (i < m_texte.size() && EstBlanc(m_texte.at(i)))
        ++i;
    return i;
}

// The first piece of a line that starts inside a piece left open above.
bool LecteurSql::SuiteDePieceOuverte(Jeton &jeton)
{
    const EtatLecture etat = m_etatDebut;
    m_etatDebut = EtatLecture();
    jeton = Jeton();
    jeton.genre = etat.genreOuvert;
    jeton.lDebut = m_position;
    int lProfondeur = 0;
    bool bFerme = true;
    if (etat.genreOuvert == GenreJeton::Commentaire) {
        lProfondeur = qMax(1, etat.lProfondeur);
        jeton.lFin = FinCommentaireImbrique(m_position, lProfondeur);
        bFerme = lProfondeur == 0;
    } else {
        const QChar fermant = etat.genreOuvert == GenreJeton::Chaine      ? QLatin1Char('\'')
                              : etat.genreOuvert == GenreJeton::Crochet ? QLatin1Char(']')
                                                                        : QLatin1Char('"');
        jeton.lFin = FinSuiteEncadre(m_position, fermant, bFerme);
    }
    jeton.bFerme = bFerme;
    m_position = jeton.lFin;
    NoteEtatFin(jeton, lProfondeur);
    return true;
}

void LecteurSql::NoteEtatFin(const Jeton &jeton, int lProfondeur)
{
    m_etatFin = EtatLecture();
    if (jeton.bFerme)
        return;
    if (jeton.genre == GenreJeton::Commentaire) {
        // A line comment ends with its line; only a block comment stays open.
        if (lProfondeur > 0) {
            m_etatFin.genreOuvert = GenreJeton::Commentaire;
            m_etatFin.lProfondeur = lProfondeur;
        }
    } else if (jeton.genre == GenreJeton::Chaine || jeton.genre == GenreJeton::Crochet
               || jeton.genre == GenreJeton::Guillemet) {
        m_etatFin.genreOuvert = jeton.genre;
    }
}

bool LecteurSql::Suivant(Jeton &jeton)
{
    const int i = m_position;
    if (i >= m_texte.size())
        return false;
    if (m_etatDebut.EstOuvert())
        return SuiteDePieceOuverte(jeton);
    int lProfondeur = 0;
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
        lFin = FinCommentaireImbrique(i, lProfondeur);
        bFerme = lProfondeur == 0;
    } else {
        jeton.genre = GenreJeton::Autre;
    }
    jeton.lFin = lFin;
    jeton.bFerme = bFerme;
    m_position = lFin;
    NoteEtatFin(jeton, lProfondeur);
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
