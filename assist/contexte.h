#pragma once
#include <QString>

/// What the text before the caret asks to complete: the kind set (4 columns,
/// 8 tables and views, 11 servers, databases and system tables), the object
/// whose columns are wanted, and the prefix that narrows the list.
struct Contexte {
    long lTypes = 0;
    QString sObjet;
    QString sPrefixe;
};

/// The completion context of a text (CR LF line breaks) with lCaret characters
/// before the caret; never throws (a step that cannot be done keeps its value).
Contexte AnalyseContexte(const QString &sTexte, int lCaret, bool bSysteme);
