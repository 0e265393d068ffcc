#pragma once
#include "jetonssql.h"

#include <QPair>
#include <QStringList>
#include <QVector>

/// One statement of a batch, lexed once, as name resolution and the rewrite
/// for SQLite both work on it: its significant pieces, what each becomes, and
/// the structure they share (matching parentheses, function calls).
struct InstructionSql {
    QString sTexte;           ///< the statement as written
    QVector<JetonSql> j;      ///< significant pieces
    QStringList avant;        ///< blanks and comments written before each piece
    QStringList prefixe;      ///< written before a piece's output (opening wrappers)
    QStringList sortie;       ///< what each piece becomes
    QStringList suffixe;      ///< written after a piece's output (COLLATE, closing wrappers)
    QVector<bool> fige;       ///< pieces already written in their final SQLite form
    QVector<int> paire;       ///< index of the matching parenthesis, -1 for other pieces
    QVector<int> englobante;  ///< index of the "(" around each piece, -1 at the top
    QString fin;              ///< blanks after the last piece
    QString queue;            ///< appended after the last piece (LIMIT)
    QStringList basesCitees;  ///< other databases the SQLite form names, to attach first
    QString sSchemaDefini;    ///< CREATE/DROP/ALTER TABLE or VIEW: the SQLite schema of the object
    QString sObjetDefini;     ///< ... and its stored name ("" for other statements)
    int lLigne = 1;           ///< the line of the batch where the statement starts

    int taille() const { return int(j.size()); }
    bool mot(int i, const char *sMot) const;
    bool symbole(int i, const char *sSymbole) const;
    bool nom(int i) const;    ///< a name: a word or a delimited name
    /// Returns the first word in upper case ("" when the statement starts otherwise).
    QString premierMot() const;
    /// Returns the index after the parenthesis group or CASE ... END that starts at i, else i + 1.
    int apres(int i) const;
    /// Returns the index of the END that closes the CASE at i (taille() when none).
    int finCase(int i) const;
    /// Clears the output of pieces de..a (with what wraps it), and the blanks before all but the first.
    void efface(int de, int a);
    /// Writes a text just before piece i (after the last piece when i is taille()).
    void insereAvant(int i, const QString &sTexte);
    /// Returns the SQLite text: every piece's output with its blanks.
    QString assemble() const;
    /// Returns the output of pieces de..a joined with their blanks (not those before de).
    QString texteDe(int de, int a) const;
};

/// Builds the model of one statement from its pieces (blanks and comments included).
InstructionSql ModeleInstruction(const QVector<JetonSql> &jetons);
/// Lexes a text holding exactly one statement and builds its model.
InstructionSql ModeleInstruction(const QString &sInstruction);

/// A function call: its name, its parentheses, and its arguments as ranges of
/// pieces (first, last), split at the commas of its own level.
struct AppelFonction {
    int lNom = 0;
    int lOuvrante = 0;
    int lFermante = 0;
    QVector<QPair<int, int>> arguments;
};

/// Returns the calls of the statement: a word followed by "(" that is no keyword.
QVector<AppelFonction> AppelsFonctions(const InstructionSql &m);

/// Returns true for the words that cannot name a function or a column.
bool EstMotReserve(const JetonSql &j);
