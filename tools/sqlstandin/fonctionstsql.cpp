#include "fonctionstsql.h"

#include "instructionsql.h"

namespace {
// A T-SQL function and its SQLite form: %1..%9 stand for the arguments in the
// T-SQL order, %T1 for the T-SQL text of an argument as a string (a type name),
// %U1 for 1 when the argument is a '...' literal of one byte a character, else 0.
// No form: SQLite has the function under the same name.
struct FonctionTsql {
    const char *nom;
    int lMin;
    int lMax;
    const char *forme;
};

const FonctionTsql kFonctions[] = {
    {"ISNULL", 2, 2, "ifnull(%1, %2)"},
    {"COALESCE", 2, 255, nullptr},
    {"LEN", 1, 1, "length(rtrim(%1, ' '))"}, // LEN does not count trailing blanks
    {"DATALENGTH", 1, 1, "datalength(%1, %U1)"},
    {"SUBSTRING", 3, 3, "substr(%1, %2, %3)"},
    {"LEFT", 2, 2, "substr(%1, 1, %2)"},
    {"CHAR_LENGTH", 1, 1, "length(%1)"},
    {"CHARINDEX", 2, 2, "charindex(%1, %2, 1)"},
    {"CHARINDEX", 3, 3, "charindex(%1, %2, %3)"},
    {"CONVERT", 2, 2, "convertit(%2, %T1, NULL)"},
    {"CONVERT", 3, 3, "convertit(%2, %T1, %3)"},
    {"CAST", 2, 2, "convertit(%1, %T2, NULL)"},
    {"GETDATE", 0, 0, nullptr},
    {"REPLICATE", 2, 2, "replace(hex(zeroblob(max(%2, 0))), '00', %1)"}, // "00" once per repeat
    {"DATEADD", 3, 3, "dateajoute(%T1, %2, %3)"},
    {"YEAR", 1, 1, "CAST(strftime('%Y', %1) AS INTEGER)"},
    {"MONTH", 1, 1, "CAST(strftime('%m', %1) AS INTEGER)"},
    {"DAY", 1, 1, "CAST(strftime('%d', %1) AS INTEGER)"},
    {"OBJECT_ID", 1, 2, nullptr},
    {"OBJECT_NAME", 1, 2, nullptr},
    {"SCHEMA_NAME", 0, 1, nullptr},
    {"USER_NAME", 0, 1, nullptr},
    {"DB_NAME", 0, 1, nullptr},
    {"SERVERPROPERTY", 1, 1, nullptr},
};

QString chaineSqlite(const QString &s)
{
    return QLatin1Char('\'') + QString(s).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

// The arguments of a call; CAST's one argument is cut at its AS.
QVector<QPair<int, int>> argumentsDe(const InstructionSql &m, const AppelFonction &a)
{
    if (!m.mot(a.lNom, "CAST") || a.arguments.size() != 1)
        return a.arguments;
    const auto [de, jusqua] = a.arguments.first();
    for (int k = de; k <= jusqua; k = m.apres(k))
        if (m.mot(k, "AS"))
            return {qMakePair(de, k - 1), qMakePair(k + 1, jusqua)};
    return a.arguments;
}

QString texteTsql(const InstructionSql &m, int de, int a)
{
    QString s;
    for (int x = de; x <= a; ++x)
        s += (x > de ? m.avant.at(x) : QString()) + m.j.at(x).sTexte;
    return s.simplified();
}

QString instancie(const char *forme, const InstructionSql &m, const QVector<QPair<int, int>> &arguments)
{
    const QString modele = QString::fromLatin1(forme);
    QString s;
    for (int i = 0; i < modele.size(); ++i) {
        const QChar c = modele.at(i);
        const QChar genre = i + 1 < modele.size() ? modele.at(i + 1) : QChar();
        const bool bLettre = genre == QLatin1Char('T') || genre == QLatin1Char('U');
        const int lChiffre = i + (bLettre ? 2 : 1);
        if (c != QLatin1Char('%') || lChiffre >= modele.size() || !modele.at(lChiffre).isDigit()) {
            s += c;
            continue;
        }
        const auto [de, a] = arguments.at(modele.at(lChiffre).digitValue() - 1);
        if (genre == QLatin1Char('T'))
            s += chaineSqlite(texteTsql(m, de, a));
        else if (genre == QLatin1Char('U'))
            s += de == a && m.j.at(de).genre == JetonSql::Chaine && m.j.at(de).sTexte.startsWith(QLatin1Char('\''))
                     ? QLatin1Char('1') : QLatin1Char('0');
        else
            s += m.texteDe(de, a);
        i = lChiffre;
    }
    return s;
}

ErreurSql erreurArguments(const QString &sNom, int lMin, int lMax)
{
    const QString sAttendu = lMin == lMax ? QStringLiteral("%1 argument(s)").arg(lMin)
                                          : QStringLiteral("%1 to %2 arguments").arg(lMin).arg(lMax);
    return {174, 15, 1, QStringLiteral("The %1 function requires %2.").arg(sNom.toLower(), sAttendu)};
}
}

std::optional<ErreurSql> ReecritFonctions(InstructionSql &m)
{
    const QVector<AppelFonction> appels = AppelsFonctions(m);
    // Inner calls first, so that an outer call takes their SQLite form along.
    for (auto it = appels.crbegin(); it != appels.crend(); ++it) {
        const AppelFonction &a = *it;
        if (m.fige.at(a.lNom))
            continue;
        const QString sNom = m.j.at(a.lNom).sTexte.toUpper();
        const QVector<QPair<int, int>> arguments = argumentsDe(m, a);
        const int lArguments = int(arguments.size());
        const FonctionTsql *trouvee = nullptr;
        int lMin = 255, lMax = 0;
        for (const FonctionTsql &f : kFonctions) {
            if (sNom != QLatin1String(f.nom))
                continue;
            lMin = std::min(lMin, f.lMin);
            lMax = std::max(lMax, f.lMax);
            if (lArguments >= f.lMin && lArguments <= f.lMax)
                trouvee = &f;
        }
        if (lMax == 0 && lMin == 255)
            continue;
        if (!trouvee)
            return erreurArguments(sNom, lMin, lMax);
        if (!trouvee->forme)
            continue;
        m.sortie[a.lNom] = instancie(trouvee->forme, m, arguments);
        // What wraps the call as a whole stays: the prefix of its name, the suffix of its ")".
        const QString sApres = m.suffixe.at(a.lFermante);
        m.efface(a.lOuvrante, a.lFermante);
        m.avant[a.lOuvrante].clear();
        m.suffixe[a.lFermante] = sApres;
    }
    return std::nullopt;
}
