#pragma once
#include "motcurseur.h"

#include <QString>
#include <QStringList>
#include <QVector>

/// A table the script itself makes: a CTE, a derived table (named by its
/// alias), a temporary table or a table variable, with the columns the text
/// gives it.
struct TableDuScript {
    QString sNom;          ///< as the script names it: "r", "#o", "@t"
    QStringList colonnes;  ///< in the order the text gives them
    /// For a SELECT * INTO: the object, as written, whose columns the catalogue gives.
    QString sSource;
};

/// An object a statement reads or writes, as written, and its alias ("" when none).
struct ReferenceScript {
    QString sObjet;
    QString sAlias;
};

/// One statement of the batch, [lDebut, lFin) in offsets of the text.
struct InstructionScript {
    int lDebut = 0;
    int lFin = 0;
    QVector<ReferenceScript> references;
    QVector<TableDuScript> ctes;
    QVector<TableDuScript> derivees;  ///< named by their alias
};

/// What one reading of a script tells completion about the caret: the word
/// there, the statements of its batch (from the GO line before it to the one
/// after it), the temporary tables made before the caret in any batch, and the
/// variables the batch declares before the caret (parameters of a procedure
/// or function being written included). Literals and comments are not read.
struct LectureScript {
    MotCurseur mot;
    int lDebutLot = 0;
    int lFinLot = 0;
    QVector<InstructionScript> instructions;
    int iCourante = -1;  ///< the statement holding the caret
    QVector<TableDuScript> temporaires;
    /// Scalar variables have no columns; a table variable has its own.
    QVector<TableDuScript> variables;

    /// The statement holding the caret (an empty one when there is none).
    const InstructionScript &Courante() const;
    /// The object, as written, that the statement around the caret names with
    /// that alias; "" when it names none.
    QString ObjetDeLAlias(const QString &sAlias) const;
    /// The table of the script that a name of the statement stands for: a
    /// derived table's alias, a CTE, a temporary table, a table variable, or
    /// an alias of one of these; nullptr when the script makes no such table.
    const TableDuScript *TableNommee(const QString &sNom) const;
};

/// What a reading keeps of the batches before the caret's, so that the next
/// reading of the same script, edited after them, starts where they end.
struct MemoireScript {
    QString sTexte;        ///< the text up to lFinLigneGo
    int lFinLigneGo = -1;  ///< the end of the last GO line before the caret's batch; -1 for none
    int lReprise = 0;      ///< where that GO ends: the reading goes on from there
    QVector<TableDuScript> temporaires;  ///< those made before lReprise
};

/// Reads the script once, from its start to the end of the caret's batch;
/// with a memory, from the end of the batches it remembers when the text
/// before them is unchanged, and then remembers the batches of this text.
LectureScript LitScript(const QString &sTexte, int lCaret, MemoireScript *memoire = nullptr);
