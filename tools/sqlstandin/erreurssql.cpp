#include "erreurssql.h"

#include "jetonssql.h"

#include <QRegularExpression>

namespace {
QString dernierJeton(const QString &sInstruction)
{
    const auto jetons = DecoupeJetons(sInstruction);
    for (int i = jetons.size() - 1; i >= 0; --i)
        if (EstSignificatif(jetons.at(i)))
            return jetons.at(i).sValeur.isEmpty() ? jetons.at(i).sTexte : jetons.at(i).sValeur;
    return QString();
}

QString sansSchema(QString s)
{
    for (const char *prefixe : {"main.", "master.", "temp."})
        if (s.startsWith(QLatin1String(prefixe), Qt::CaseInsensitive))
            return s.mid(int(qstrlen(prefixe)));
    return s;
}
}

ErreurSql ErreurSyntaxe(const QString &sPres)
{
    return {102, 15, 1, QStringLiteral("Incorrect syntax near '%1'.").arg(sPres)};
}

ErreurSql TraduitErreurSqlite(const QString &sMessage, const QString &sInstruction)
{
    static const QRegularExpression pres(QStringLiteral("^near \"(.*)\": syntax error"));
    static const QRegularExpression tableInconnue(QStringLiteral("^no such table: (.*)$"));
    static const QRegularExpression colonneInconnue(QStringLiteral("^no such column: (.*)$"));
    static const QRegularExpression fonctionInconnue(QStringLiteral("^no such function: (.*)$"));
    static const QRegularExpression existeDeja(QStringLiteral("^(?:table|view|index) (.*) already exists"));
    static const QRegularExpression nonNul(QStringLiteral("^NOT NULL constraint failed: (.*)\\.(.*)$"));
    static const QRegularExpression unique(QStringLiteral("^UNIQUE constraint failed: (.*)\\.(.*)$"));
    static const QRegularExpression nonFermee(QStringLiteral("^unrecognized token: \"'(.*)\"$"));
    if (auto m = pres.match(sMessage); m.hasMatch())
        return ErreurSyntaxe(m.captured(1));
    if (auto m = nonFermee.match(sMessage); m.hasMatch())
        return {105, 15, 1, QStringLiteral("Unclosed quotation mark after the character string '%1'.").arg(m.captured(1))};
    if (auto m = tableInconnue.match(sMessage); m.hasMatch())
        return {208, 16, 1, QStringLiteral("Invalid object name '%1'.").arg(sansSchema(m.captured(1)))};
    if (auto m = colonneInconnue.match(sMessage); m.hasMatch())
        return {207, 16, 1, QStringLiteral("Invalid column name '%1'.").arg(m.captured(1).section(QLatin1Char('.'), -1))};
    if (auto m = fonctionInconnue.match(sMessage); m.hasMatch())
        return {195, 15, 10, QStringLiteral("'%1' is not a recognized function name.").arg(m.captured(1))};
    if (auto m = existeDeja.match(sMessage); m.hasMatch())
        return {2714, 16, 6, QStringLiteral("There is already an object named '%1' in the database.")
                                 .arg(sansSchema(m.captured(1)))};
    if (auto m = nonNul.match(sMessage); m.hasMatch())
        return {515, 16, 2, QStringLiteral("Cannot insert the value NULL into column '%1', table '%2'; column does "
                                           "not allow nulls. INSERT fails.").arg(m.captured(2), m.captured(1))};
    if (auto m = unique.match(sMessage); m.hasMatch())
        return {2627, 14, 1, QStringLiteral("Violation of PRIMARY KEY constraint. Cannot insert duplicate key in "
                                            "object '%1'.").arg(m.captured(1))};
    if (sMessage.contains(QLatin1String("incomplete input")) || sMessage.contains(QLatin1String("syntax error")))
        return ErreurSyntaxe(dernierJeton(sInstruction));
    return {50000, 16, 1, sMessage};
}
