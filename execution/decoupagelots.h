#pragma once
#include <QMetaType>
#include <QString>
#include <QVector>

/// One batch of a script: its text as the user wrote it, the line of the
/// script it starts on (1-based) and how many times it runs (GO n).
struct Lot {
    QString sTexte;
    int lLigneDebut = 1;
    int lRepetitions = 1;
};

/// A script cut into batches, or the reason it cannot be run at all.
struct DecoupageLots {
    QVector<Lot> lots;
    QString sErreur;       ///< empty when the script can be run
    int lLigneErreur = 0;  ///< the script line of the faulty GO (1-based)
};

/// Returns the batches of a script, cut at the lines that hold GO alone
/// (any case, blanks around it, an optional repeat count, an optional "--"
/// comment), as SQL Server's command-line tools cut them; ";" never cuts, nor
/// does a GO inside a string, a quoted name or a block comment. Batches of
/// blanks and comments only are left out. A repeat count outside 1 to
/// 2147483647 is an error and no batch is returned.
DecoupageLots DecoupeLots(const QString &sScript);

/// Returns true when the text holds nothing but blanks and comments.
bool EstSansInstruction(const QString &sTexte);
Q_DECLARE_METATYPE(QVector<Lot>)
