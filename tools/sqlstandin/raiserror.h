#pragma once
#include "erreurssql.h"

#include <QString>
#include <variant>

struct InstructionSql;

/// A RAISERROR statement read: its message with the arguments put in, its
/// severity and state, and whether WITH NOWAIT asks for it to leave at once.
struct MessageLeve {
    QString sTexte;
    int lSeverite = 0;
    int lEtat = 1;
    bool bSansAttente = false;
};

/// Reads RAISERROR('text' | N'text', severity, state [, argument...]) [WITH NOWAIT | LOG | SETERROR, ...].
/// The text takes its arguments as printf does (%d %i %u %s %x %X %o, with
/// flags, width and precision). A message number is error 2732 or 18054, as
/// no number is in sys.messages here. Returns the error of a malformed statement instead.
std::variant<MessageLeve, ErreurSql> LitRaiserror(const InstructionSql &m);

/// Returns a RAISERROR text with its arguments put in, as SQL Server formats it.
QString FormateMessage(const QString &sModele, const QVector<std::variant<qint64, QString>> &arguments);
