#pragma once
#include <QString>

/// What one piece of T-SQL text is, as far as completion needs to know.
enum class GenreJeton {
    Nom,        ///< a run of name characters (letters, digits, _ @ # $)
    Crochet,    ///< a [bracketed name], "]]" inside it
    Guillemet,  ///< a "quoted name", '""' inside it
    Point,      ///< the dot between the parts of a name
    Chaine,     ///< a string literal ('...' with '' inside; N'...' is a Nom then a Chaine)
    Commentaire,///< -- up to the line break, or a nested /* */
    Blanc,      ///< blanks, tabs and line breaks
    Autre       ///< anything else: comma, parenthesis, operator, semicolon
};

/// One piece of the text: [lDebut, lFin) in 0-based offsets. bFerme is false
/// for a literal, comment or quoted name that runs to the end of the text.
struct Jeton {
    GenreJeton genre = GenreJeton::Autre;
    int lDebut = 0;
    int lFin = 0;
    bool bFerme = true;
};

/// Where a line starts when an earlier line left a piece open: inside a string,
/// a quoted or bracketed name, or a block comment nested lProfondeur deep.
struct EtatLecture {
    GenreJeton genreOuvert = GenreJeton::Blanc; ///< Chaine, Guillemet, Crochet, Commentaire; Blanc: none
    int lProfondeur = 0;                        ///< depth of the open block comment
    bool EstOuvert() const { return genreOuvert != GenreJeton::Blanc; }
    bool operator==(const EtatLecture &autre) const
    {
        return genreOuvert == autre.genreOuvert && lProfondeur == autre.lProfondeur;
    }
};

/// The state as one non-negative whole number (0: nothing open), and back.
int CodeEtat(const EtatLecture &etat);
EtatLecture EtatDuCode(int lCode);

/// True for the characters a T-SQL name is made of: Unicode letters, marks and
/// digits, "_", "@", "#" and "$".
bool EstCaractereDeNom(QChar ch);

/// Reads a text piece by piece from its start; each piece is read once.
class LecteurSql
{
public:
    explicit LecteurSql(const QString &sTexte, int lDepart = 0) : m_texte(sTexte), m_position(lDepart) {}
    /// Reads a line that starts inside the piece an earlier line left open: the
    /// first piece is the rest of that piece (a Commentaire, Chaine, Crochet or Guillemet).
    LecteurSql(const QString &sTexte, const EtatLecture &etatDebut)
        : m_texte(sTexte), m_position(0), m_etatDebut(etatDebut), m_etatFin(etatDebut) {}

    /// The next piece; false at the end of the text.
    bool Suivant(Jeton &jeton);
    /// Offset of the first character not yet read.
    int Position() const { return m_position; }
    /// The state the text read so far ends in: the piece left open by the last
    /// piece read (a line comment closes with its line), or nothing open.
    EtatLecture EtatFinal() const { return m_etatFin; }

private:
    int FinNom(int i) const;
    int FinEncadre(int i, QChar fermant, bool &bFerme) const;
    int FinChaine(int i, bool &bFerme) const;
    int FinCommentaireLigne(int i) const;
    int FinSuiteEncadre(int i, QChar fermant, bool &bFerme) const;
    int FinCommentaireImbrique(int i, int &lProfondeur) const;
    bool SuiteDePieceOuverte(Jeton &jeton);
    void NoteEtatFin(const Jeton &jeton, int lProfondeur);
    int FinBlancs(int i) const;
    QChar At(int i) const { return i < m_texte.size() ? m_texte.at(i) : QChar(); }

    const QString &m_texte;
    int m_position;
    EtatLecture m_etatDebut;
    EtatLecture m_etatFin;
};

/// True for the pieces that are part of a (possibly dotted) name.
inline bool EstPieceDeNom(GenreJeton genre)
{
    return genre == GenreJeton::Nom || genre == GenreJeton::Crochet || genre == GenreJeton::Guillemet
        || genre == GenreJeton::Point;
}

/// The name a piece stands for: the inside of a bracketed or quoted name with
/// its doubled closing character made single again, the piece itself otherwise.
QString NomDuJeton(const QString &sTexte, const Jeton &jeton);
