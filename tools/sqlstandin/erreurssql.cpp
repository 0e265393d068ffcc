#include "erreurssql.h"

#include "instructionsql.h"

#include <QRegularExpression>
#include <sqlite3.h>

namespace {
QString dernierJeton(const InstructionSql &m)
{
    if (m.j.isEmpty())
        return QString();
    const JetonSql &x = m.j.last();
    return x.sValeur.isEmpty() ? x.sTexte : x.sValeur;
}

QString sansSchema(QString s)
{
    for (const char *prefixe : {"main.", "master.", "temp."})
        if (s.startsWith(QLatin1String(prefixe), Qt::CaseInsensitive))
            return s.mid(int(qstrlen(prefixe)));
    return s;
}

// "UNIQUE constraint failed: t.c" and the like: the table and the column.
QPair<QString, QString> tableEtColonne(const QString &sMessage)
{
    const QString s = sMessage.section(QStringLiteral(": "), 1).section(QLatin1Char(','), 0, 0).trimmed();
    return qMakePair(s.section(QLatin1Char('.'), 0, -2), s.section(QLatin1Char('.'), -1));
}

ErreurSql contrainte(int lCodeEtendu, const QString &sMessage, const InstructionSql &m)
{
    const auto [sTable, sColonne] = tableEtColonne(sMessage);
    switch (lCodeEtendu) {
    case SQLITE_CONSTRAINT_NOTNULL:
        return {515, 16, 2, QStringLiteral("Cannot insert the value NULL into column '%1', table '%2'; column does "
                                           "not allow nulls. INSERT fails.").arg(sColonne, sTable)};
    case SQLITE_CONSTRAINT_PRIMARYKEY:
        return {2627, 14, 1, QStringLiteral("Violation of PRIMARY KEY constraint. Cannot insert duplicate key in "
                                            "object '%1'.").arg(sTable)};
    case SQLITE_CONSTRAINT_UNIQUE:
        return {2627, 14, 1, QStringLiteral("Violation of UNIQUE KEY constraint. Cannot insert duplicate key in "
                                            "object '%1'.").arg(sTable)};
    case SQLITE_CONSTRAINT_CHECK:
        return {547, 16, 0, QStringLiteral("The %1 statement conflicted with the CHECK constraint \"%2\".")
                                .arg(m.premierMot(), sMessage.section(QStringLiteral(": "), 1))};
    case SQLITE_CONSTRAINT_FOREIGNKEY:
        return {547, 16, 0, QStringLiteral("The %1 statement conflicted with the FOREIGN KEY constraint.").arg(m.premierMot())};
    default:
        return {547, 16, 0, QStringLiteral("The %1 statement conflicted with a constraint.").arg(m.premierMot())};
    }
}

// SQLITE_ERROR covers SQL errors of every kind: its message tells which.
ErreurSql erreurSql(const QString &sMessage, const InstructionSql &m)
{
    static const QRegularExpression pres(QStringLiteral("^near \"(.*)\": syntax error"));
    static const QRegularExpression tableInconnue(QStringLiteral("^no such table: (.*)$"));
    static const QRegularExpression colonneInconnue(QStringLiteral("^no such column: (.*)$"));
    static const QRegularExpression fonctionInconnue(QStringLiteral("^no such function: (.*)$"));
    static const QRegularExpression existeDeja(QStringLiteral("^(?:table|view|index) (.*) already exists"));
    static const QRegularExpression nonFermee(QStringLiteral("^unrecognized token: \"'(.*)\"$"));
    if (auto r = pres.match(sMessage); r.hasMatch())
        return ErreurSyntaxe(r.captured(1));
    if (auto r = nonFermee.match(sMessage); r.hasMatch())
        return {105, 15, 1, QStringLiteral("Unclosed quotation mark after the character string '%1'.").arg(r.captured(1))};
    if (auto r = tableInconnue.match(sMessage); r.hasMatch())
        return {208, 16, 1, QStringLiteral("Invalid object name '%1'.").arg(sansSchema(r.captured(1)))};
    if (auto r = colonneInconnue.match(sMessage); r.hasMatch())
        return {207, 16, 1, QStringLiteral("Invalid column name '%1'.").arg(r.captured(1).section(QLatin1Char('.'), -1))};
    if (auto r = fonctionInconnue.match(sMessage); r.hasMatch())
        return {195, 15, 10, QStringLiteral("'%1' is not a recognized function name.").arg(r.captured(1))};
    if (auto r = existeDeja.match(sMessage); r.hasMatch())
        return {2714, 16, 6, QStringLiteral("There is already an object named '%1' in the database.")
                                 .arg(sansSchema(r.captured(1)))};
    if (sMessage.contains(QLatin1String("incomplete input")) || sMessage.contains(QLatin1String("syntax error")))
        return ErreurSyntaxe(dernierJeton(m));
    return {50000, 16, 1, sMessage};
}
}

ErreurSql ErreurSyntaxe(const QString &sPres)
{
    return {102, 15, 1, QStringLiteral("Incorrect syntax near '%1'.").arg(sPres)};
}

ErreurSql TraduitErreurSqlite(int lCodeEtendu, const QString &sMessage, const InstructionSql &m)
{
    switch (lCodeEtendu & 0xFF) {
    case SQLITE_ERROR:
        return erreurSql(sMessage, m);
    case SQLITE_CONSTRAINT:
        return contrainte(lCodeEtendu, sMessage, m);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return {1222, 16, 18, QStringLiteral("Lock request time out period exceeded.")};
    case SQLITE_READONLY:
        return {3906, 16, 1, QStringLiteral("Failed to update database because the database is read-only.")};
    case SQLITE_MISMATCH:
        return {245, 16, 1, QStringLiteral("Conversion failed when converting a value to data type int.")};
    case SQLITE_TOOBIG:
        return {8152, 16, 14, QStringLiteral("String or binary data would be truncated.")};
    case SQLITE_NOMEM:
        return {701, 19, 1, QStringLiteral("There is insufficient system memory to run this query.")};
    case SQLITE_FULL:
        return {1105, 17, 2, QStringLiteral("Could not allocate space in the database because the disk is full.")};
    default:
        return {50000, 16, 1, sMessage};
    }
}
