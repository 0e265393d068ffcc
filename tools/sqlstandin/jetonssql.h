#pragma once
#include <QString>
#include <QVector>

/// One lexical piece of a T-SQL text.
struct JetonSql {
    enum Genre { Blanc, Commentaire, Chaine, NomDelimite, Mot, Nombre, Symbole, Variable };
    Genre genre = Symbole;
    QString sTexte;   ///< as written
    QString sValeur;  ///< strings and delimited names without their quotes
    bool bNonFerme = false; ///< a string or delimited name that the text ends inside
};

/// Returns the pieces of a T-SQL text, in order; joined they give the text back.
QVector<JetonSql> DecoupeJetons(const QString &sTexte);

/// Returns true for a significant piece (neither blank nor comment).
inline bool EstSignificatif(const JetonSql &j)
{
    return j.genre != JetonSql::Blanc && j.genre != JetonSql::Commentaire;
}
