#pragma once
#include <QList>
#include <QTextEdit>

class ColorationSql;
class QPalette;
class QTextCursor;

/// The marks around the caret: its line, and the bracket beside it with its
/// partner (or, without one, the bracket alone in another colour).
QList<QTextEdit::ExtraSelection> MarquesDuCurseur(const QTextCursor &curseur, ColorationSql &coloration,
                                                  const QPalette &palette);
