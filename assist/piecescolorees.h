#pragma once
#include "lexique.h"

#include <QString>
#include <QStringView>
#include <vector>

/// What a coloured piece of T-SQL text is.
enum class GenreCouleur {
    MotCle,      ///< a word of the keyword table or a T-SQL reserved word
    Chaine,      ///< a string literal, its N prefix included
    Commentaire, ///< -- to the end of the line, or a nested /* */
    Nombre,      ///< a number: digits, a decimal point, an exponent
    NomEncadre,  ///< a [bracketed] or "quoted" name
    Variable,    ///< an @variable (@@ functions included)
    Temporaire,  ///< a #temporary name
    Go           ///< the GO of a batch separator line
};

/// One coloured piece of a line: lLongueur characters from lDebut.
struct PieceColoree {
    int lDebut = 0;
    int lLongueur = 0;
    GenreCouleur genre = GenreCouleur::MotCle;
};

/// True for a word of the keyword table or a T-SQL reserved word, whatever its case.
bool EstMotReserve(QStringView sMot);

/// Reads one line (no line break in it) from the state the line above ended in,
/// appends its coloured pieces to *pieces when pieces is not null (text that
/// gets no colour gets no piece), and returns the state the line ends in.
EtatLecture ColoreLigne(const QString &sLigne, const EtatLecture &etatDebut, std::vector<PieceColoree> *pieces);
