#pragma once
#include <QString>
#include <QStringList>

/// What the word at the caret asks to complete: the kind set (4 columns,
/// 8 tables and views, 11 servers, databases and system tables), the object
/// whose columns are wanted, and the prefix that narrows the list.
struct Contexte {
    long lTypes = 0;
    QString sObjet;      ///< the word before its last dot, as written ("" outside column mode)
    QString sPrefixe;    ///< the name after the last dot, or the whole word, without brackets
    bool bDansLitteral = false; ///< the caret is inside a string literal or a comment
    /// The word before the caret cut at its dots, each part as written.
    QStringList parties;
};

struct MotCurseur;

/// The completion context of a text with lCaret characters before the caret.
Contexte AnalyseContexte(const QString &sTexte, int lCaret, bool bSysteme);
/// The same, from the word at the caret already found in that text.
Contexte AnalyseContexte(const MotCurseur &mot, const QString &sTexte, bool bSysteme);
