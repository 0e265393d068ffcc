#include "fonctionsconversion.h"

#include "fonctionssqlite.h"
#include "momentsql.h"

#include <QDateTime>
#include <QRegularExpression>
#include <cmath>
#include <cstdio>
#include <sqlite3.h>

namespace {
ContexteFonctions *contexteDe(sqlite3_context *ctx)
{
    return static_cast<ContexteFonctions *>(sqlite3_user_data(ctx));
}

QString texte(sqlite3_value *v)
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_value_text(v));
    return p ? QString::fromUtf8(p, sqlite3_value_bytes(v)) : QString();
}

void resultatTexte(sqlite3_context *ctx, const QString &s)
{
    const QByteArray u = s.toUtf8();
    sqlite3_result_text(ctx, u.constData(), u.size(), SQLITE_TRANSIENT);
}

void echoue(sqlite3_context *ctx, const ErreurSql &e)
{
    contexteDe(ctx)->erreurFonction = e;
    const QByteArray u = e.sMessage.toUtf8();
    sqlite3_result_error(ctx, u.constData(), u.size());
}

ErreurSql versEntier(const QString &s)
{
    return {245, 16, 1, QStringLiteral("Conversion failed when converting the varchar value '%1' to data type int.").arg(s)};
}

ErreurSql versNombre(const char *sType)
{
    return {8114, 16, 5, QStringLiteral("Error converting data type varchar to %1.").arg(QLatin1String(sType))};
}

const ErreurSql kDateInvalide{241, 16, 1,
                              QStringLiteral("Conversion failed when converting date and/or time from character string.")};

// Dates travel as text; these are the forms SQL Server reads without a style.
std::optional<QDateTime> lisDate(const QString &sTexte, int lStyle)
{
    const QString s = sTexte.trimmed();
    static const QRegularExpression iso(
        QStringLiteral("^(\\d{4})-?(\\d{2})-?(\\d{2})(?:[ T](\\d{1,2}):(\\d{2})(?::(\\d{2})(?:\\.(\\d{1,7}))?)?)?$"));
    static const QRegularExpression barres(QStringLiteral("^(\\d{1,2})[/.-](\\d{1,2})[/.-](\\d{4})$"));
    int a, mo, j, h = 0, mi = 0, se = 0, ms = 0;
    if (const auto m = iso.match(s); m.hasMatch()) {
        a = m.captured(1).toInt();
        mo = m.captured(2).toInt();
        j = m.captured(3).toInt();
        h = m.captured(4).toInt();
        mi = m.captured(5).toInt();
        se = m.captured(6).toInt();
        ms = m.captured(7).leftJustified(3, QLatin1Char('0')).left(3).toInt();
    } else if (const auto b = barres.match(s); b.hasMatch()) {
        const bool bJourDabord = lStyle == 103 || lStyle == 104 || lStyle == 105;
        j = b.captured(bJourDabord ? 1 : 2).toInt();
        mo = b.captured(bJourDabord ? 2 : 1).toInt();
        a = b.captured(3).toInt();
    } else {
        return std::nullopt;
    }
    const QDateTime d(QDate(a, mo, j), QTime(h, mi, se, ms));
    return d.isValid() ? std::optional<QDateTime>(d) : std::nullopt;
}

QString ecritDate(const QDateTime &d, int lStyle)
{
    static const char *mois[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    switch (lStyle) {
    case 0: case 100: {
        const int h = d.time().hour() % 12 == 0 ? 12 : d.time().hour() % 12;
        return QStringLiteral("%1 %2 %3 %4:%5%6")
            .arg(QLatin1String(mois[d.date().month() - 1]))
            .arg(d.date().day(), 2)
            .arg(d.date().year())
            .arg(h, 2)
            .arg(d.time().minute(), 2, 10, QLatin1Char('0'))
            .arg(d.time().hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
    }
    case 101: return d.toString(QStringLiteral("MM/dd/yyyy"));
    case 103: return d.toString(QStringLiteral("dd/MM/yyyy"));
    case 104: return d.toString(QStringLiteral("dd.MM.yyyy"));
    case 108: return d.toString(QStringLiteral("HH:mm:ss"));
    case 112: return d.toString(QStringLiteral("yyyyMMdd"));
    case 120: return d.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case 23: return d.toString(QStringLiteral("yyyy-MM-dd"));
    case 126: return d.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
    default: return d.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    }
}

// A T-SQL type as CAST and CONVERT name it: "varchar(10)", "decimal(8, 2)", "nvarchar(max)".
struct TypeCible {
    QString sNom;
    int lLongueur = -1; // -1 none given, -2 max
    int lEchelle = 0;
};

TypeCible lisType(const QString &s)
{
    static const QRegularExpression forme(QStringLiteral("^\\s*([A-Za-z_]+)\\s*(?:\\(\\s*(\\w+)\\s*(?:,\\s*(\\d+)\\s*)?\\))?\\s*$"));
    TypeCible t;
    const auto m = forme.match(s);
    if (!m.hasMatch())
        return t;
    t.sNom = m.captured(1).toLower();
    if (m.captured(2).compare(QLatin1String("max"), Qt::CaseInsensitive) == 0)
        t.lLongueur = -2;
    else if (!m.captured(2).isEmpty())
        t.lLongueur = m.captured(2).toInt();
    t.lEchelle = m.captured(3).toInt();
    return t;
}

// The type argument is the same text on every row: it is read once per
// statement and kept by SQLite with the statement (auxiliary data).
TypeCible typeDe(sqlite3_context *ctx, sqlite3_value *v)
{
    if (const auto *garde = static_cast<const TypeCible *>(sqlite3_get_auxdata(ctx, 1)))
        return *garde;
    const TypeCible t = lisType(texte(v));
    sqlite3_set_auxdata(ctx, 1, new TypeCible(t), [](void *p) { delete static_cast<TypeCible *>(p); });
    return t;
}

QString texteDeNombre(sqlite3_value *v)
{
    if (sqlite3_value_type(v) == SQLITE_INTEGER)
        return QString::number(sqlite3_value_int64(v));
    return QString::number(sqlite3_value_double(v), 'g', 15);
}

void versTexte(sqlite3_context *ctx, sqlite3_value *v, const TypeCible &t, int lStyle)
{
    const int lLongueur = t.lLongueur == -1 ? 30 : t.lLongueur;
    const bool bComplete = (t.sNom == QLatin1String("char") || t.sNom == QLatin1String("nchar")) && lLongueur >= 0;
    if (sqlite3_value_type(v) == SQLITE_INTEGER && !bComplete) {
        // The common case of a large result, without a QString on the way.
        char tampon[24];
        const int n = std::snprintf(tampon, sizeof tampon, "%lld", static_cast<long long>(sqlite3_value_int64(v)));
        return sqlite3_result_text(ctx, tampon, lLongueur >= 0 ? std::min(n, lLongueur) : n, SQLITE_TRANSIENT);
    }
    QString s = sqlite3_value_type(v) == SQLITE_TEXT ? texte(v) : texteDeNombre(v);
    if (lStyle >= 0 && sqlite3_value_type(v) == SQLITE_TEXT)
        if (const auto d = lisDate(s, 0))
            s = ecritDate(*d, lStyle);
    if (lLongueur >= 0 && s.size() > lLongueur)
        s.truncate(lLongueur);
    if (bComplete)
        s = s.leftJustified(lLongueur, QLatin1Char(' '));
    resultatTexte(ctx, s);
}

void versEntierOuBit(sqlite3_context *ctx, sqlite3_value *v, bool bBit)
{
    qint64 n = 0;
    if (sqlite3_value_type(v) == SQLITE_INTEGER) {
        n = sqlite3_value_int64(v);
    } else if (sqlite3_value_type(v) == SQLITE_FLOAT) {
        n = qint64(std::trunc(sqlite3_value_double(v)));
    } else {
        const QString s = texte(v).trimmed();
        bool bOk = false;
        n = s.toLongLong(&bOk);
        if (!bOk && bBit && (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0
                             || s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)) {
            n = s.size() == 4 ? 1 : 0;
            bOk = true;
        }
        if (!bOk)
            return echoue(ctx, versEntier(texte(v)));
    }
    sqlite3_result_int64(ctx, bBit ? (n != 0 ? 1 : 0) : n);
}

void versReel(sqlite3_context *ctx, sqlite3_value *v, const TypeCible &t)
{
    const bool bDecimal = t.sNom == QLatin1String("decimal") || t.sNom == QLatin1String("numeric")
                          || t.sNom.endsWith(QLatin1String("money"));
    double d = sqlite3_value_double(v);
    if (sqlite3_value_type(v) == SQLITE_TEXT) {
        bool bOk = false;
        d = texte(v).trimmed().toDouble(&bOk);
        if (!bOk)
            return echoue(ctx, versNombre(bDecimal ? "numeric" : "float"));
    }
    if (bDecimal) {
        const double facteur = std::pow(10.0, t.sNom.endsWith(QLatin1String("money")) ? 4 : t.lEchelle);
        d = std::round(d * facteur) / facteur;
    }
    sqlite3_result_double(ctx, d);
}

void versDate(sqlite3_context *ctx, sqlite3_value *v, const TypeCible &t, int lStyle)
{
    QDateTime d;
    if (sqlite3_value_type(v) == SQLITE_TEXT) {
        const auto lue = lisDate(texte(v), lStyle);
        if (!lue)
            return echoue(ctx, kDateInvalide);
        d = *lue;
    } else {
        // Numbers count days from 1 January 1900.
        d = QDateTime(QDate(1900, 1, 1), QTime(0, 0)).addMSecs(qint64(std::llround(sqlite3_value_double(v) * 86400000.0)));
    }
    if (t.sNom == QLatin1String("date"))
        return resultatTexte(ctx, d.toString(QStringLiteral("yyyy-MM-dd")));
    if (t.sNom == QLatin1String("smalldatetime"))
        d.setTime(QTime(d.time().hour(), d.time().minute()));
    resultatTexte(ctx, ecritDate(d, -1));
    sqlite3_result_subtype(ctx, SousTypeDateHeure);
}

// DATEADD's parts: a length in milliseconds, or a number of months.
struct PartieDate {
    qint64 lMs = 0;
    int lMois = 0;
};

std::optional<PartieDate> lisPartie(const QString &sPartie)
{
    const QString p = sPartie.toLower();
    auto est = [&](std::initializer_list<const char *> noms) {
        for (const char *nom : noms)
            if (p == QLatin1String(nom))
                return true;
        return false;
    };
    if (est({"millisecond", "ms"}))
        return PartieDate{1, 0};
    if (est({"second", "ss", "s"}))
        return PartieDate{1000, 0};
    if (est({"minute", "mi", "n"}))
        return PartieDate{60000, 0};
    if (est({"hour", "hh"}))
        return PartieDate{3600000, 0};
    if (est({"day", "dd", "d", "dayofyear", "dy", "y", "weekday", "dw", "w"}))
        return PartieDate{86400000, 0};
    if (est({"week", "wk", "ww"}))
        return PartieDate{7 * 86400000LL, 0};
    if (est({"month", "mm", "m"}))
        return PartieDate{0, 1};
    if (est({"quarter", "qq", "q"}))
        return PartieDate{0, 3};
    if (est({"year", "yy", "yyyy"}))
        return PartieDate{0, 12};
    return std::nullopt;
}

std::optional<MomentSql> momentDe(sqlite3_value *v)
{
    if (sqlite3_value_type(v) != SQLITE_TEXT) {
        // Numbers count days from 1 January 1900.
        const MomentSql origine{QDate(1900, 1, 1).toJulianDay(), 0};
        return origine.plusMs(qint64(std::llround(sqlite3_value_double(v) * 86400000.0)));
    }
    const auto *p = reinterpret_cast<const char *>(sqlite3_value_text(v));
    if (const auto m = MomentSql::lis(p, sqlite3_value_bytes(v)))
        return m;
    const auto d = lisDate(texte(v), -1);
    if (!d)
        return std::nullopt;
    return MomentSql{d->date().toJulianDay(), d->time().msecsSinceStartOfDay()};
}

// What an argument gives, read once per statement when it is a constant
// (SQLite keeps it as auxiliary data), as on every row of a large result.
template <typename T, typename Lecture>
std::optional<T> constanteDe(sqlite3_context *ctx, int lArgument, Lecture lecture)
{
    if (const auto *garde = static_cast<const T *>(sqlite3_get_auxdata(ctx, lArgument)))
        return *garde;
    const std::optional<T> lu = lecture();
    if (lu)
        sqlite3_set_auxdata(ctx, lArgument, new T(*lu), [](void *p) { delete static_cast<T *>(p); });
    return lu;
}

void fonctionDateAjoute(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[1]) == SQLITE_NULL || sqlite3_value_type(argv[2]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const auto d = constanteDe<MomentSql>(ctx, 2, [&]() { return momentDe(argv[2]); });
    if (!d)
        return echoue(ctx, kDateInvalide);
    const auto partie = constanteDe<PartieDate>(ctx, 0, [&]() { return lisPartie(texte(argv[0])); });
    if (!partie)
        return echoue(ctx, {155, 15, 1, QStringLiteral("'%1' is not a recognized dateadd option.").arg(texte(argv[0]))});
    const qint64 n = sqlite3_value_int64(argv[1]);
    const MomentSql resultat = partie->lMois ? d->plusMois(int(n * partie->lMois)) : d->plusMs(n * partie->lMs);
    char tampon[24];
    resultat.ecrit(tampon);
    sqlite3_result_text(ctx, tampon, 23, SQLITE_TRANSIENT);
    sqlite3_result_subtype(ctx, SousTypeDateHeure);
}

void fonctionConvertit(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const TypeCible t = typeDe(ctx, argv[1]);
    const int lStyle = sqlite3_value_type(argv[2]) == SQLITE_NULL ? -1 : sqlite3_value_int(argv[2]);
    static const QStringList textes{"char", "varchar", "nchar", "nvarchar", "text", "ntext", "sysname"};
    static const QStringList entiers{"int", "bigint", "smallint", "tinyint"};
    static const QStringList reels{"float", "real", "decimal", "numeric", "money", "smallmoney"};
    static const QStringList dates{"datetime", "smalldatetime", "date", "datetime2"};
    const bool bConnu = textes.contains(t.sNom) || entiers.contains(t.sNom) || reels.contains(t.sNom)
                        || dates.contains(t.sNom) || t.sNom == QLatin1String("bit") || t.sNom.endsWith(QLatin1String("binary"));
    if (!bConnu)
        return echoue(ctx, {243, 16, 1, QStringLiteral("Type %1 is not a defined system type.").arg(texte(argv[1]).section(QLatin1Char('('), 0, 0))});
    sqlite3_value *v = argv[0];
    if (sqlite3_value_type(v) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    if (textes.contains(t.sNom)) {
        versTexte(ctx, v, t, lStyle);
        if (t.lLongueur == -2)
            sqlite3_result_subtype(ctx, SousTypeMax);
        return;
    }
    if (entiers.contains(t.sNom) || t.sNom == QLatin1String("bit"))
        return versEntierOuBit(ctx, v, t.sNom == QLatin1String("bit"));
    if (reels.contains(t.sNom))
        return versReel(ctx, v, t);
    if (dates.contains(t.sNom))
        return versDate(ctx, v, t, lStyle);
    const QByteArray octets = sqlite3_value_type(v) == SQLITE_BLOB
                                  ? QByteArray(static_cast<const char *>(sqlite3_value_blob(v)), sqlite3_value_bytes(v))
                                  : texte(v).toUtf8();
    sqlite3_result_blob(ctx, octets.constData(), int(octets.size()), SQLITE_TRANSIENT);
    if (t.lLongueur == -2)
        sqlite3_result_subtype(ctx, SousTypeMax);
}

void fonctionCharIndex(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const QString sCherche = texte(argv[0]);
    const int lDepart = std::max(1, sqlite3_value_int(argv[2]));
    const Qt::CaseSensitivity casse = contexteDe(ctx)->bSensibleCasse ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const int lPosition = sCherche.isEmpty() ? -1 : int(texte(argv[1]).indexOf(sCherche, lDepart - 1, casse));
    sqlite3_result_int(ctx, lPosition + 1);
}

void fonctionDataLength(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    sqlite3_value *v = argv[0];
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: return sqlite3_result_null(ctx);
    case SQLITE_INTEGER: {
        const qint64 n = sqlite3_value_int64(v);
        return sqlite3_result_int(ctx, n >= INT32_MIN && n <= INT32_MAX ? 4 : 8);
    }
    case SQLITE_FLOAT: return sqlite3_result_int(ctx, 8);
    case SQLITE_BLOB: return sqlite3_result_int(ctx, sqlite3_value_bytes(v));
    default:
        // Text columns reach the client as nvarchar: two bytes a character, but
        // a '...' literal is varchar, one byte a character of its code page.
        return sqlite3_result_int(ctx, int(texte(v).size()) * (sqlite3_value_int(argv[1]) ? 1 : 2));
    }
}

bool estNombre(sqlite3_value *v)
{
    return sqlite3_value_type(v) == SQLITE_INTEGER || sqlite3_value_type(v) == SQLITE_FLOAT;
}

// A text and a number: the text is read as the number's type, or as a date
// when it is one (dates travel as text here), to which the number adds days.
void ajouteTexteEtNombre(sqlite3_context *ctx, sqlite3_value *t, sqlite3_value *n)
{
    const QString s = texte(t);
    if (const auto d = lisDate(s, 0); d && s.trimmed().size() >= 10)
        return resultatTexte(ctx, ecritDate(d->addMSecs(qint64(std::llround(sqlite3_value_double(n) * 86400000.0))), -1));
    bool bOk = false;
    if (sqlite3_value_type(n) == SQLITE_INTEGER) {
        const qint64 x = s.trimmed().toLongLong(&bOk);
        if (!bOk)
            return echoue(ctx, versEntier(s));
        return sqlite3_result_int64(ctx, x + sqlite3_value_int64(n));
    }
    const double x = s.trimmed().toDouble(&bOk);
    if (!bOk)
        return echoue(ctx, versNombre("float"));
    sqlite3_result_double(ctx, x + sqlite3_value_double(n));
}

void fonctionPlus(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    sqlite3_value *a = argv[0];
    sqlite3_value *b = argv[1];
    if (sqlite3_value_type(a) == SQLITE_NULL || sqlite3_value_type(b) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    if (estNombre(a) && estNombre(b)) {
        if (sqlite3_value_type(a) == SQLITE_INTEGER && sqlite3_value_type(b) == SQLITE_INTEGER)
            return sqlite3_result_int64(ctx, sqlite3_value_int64(a) + sqlite3_value_int64(b));
        return sqlite3_result_double(ctx, sqlite3_value_double(a) + sqlite3_value_double(b));
    }
    if (estNombre(a) != estNombre(b))
        return estNombre(b) ? ajouteTexteEtNombre(ctx, a, b) : ajouteTexteEtNombre(ctx, b, a);
    if (sqlite3_value_type(a) == SQLITE_BLOB || sqlite3_value_type(b) == SQLITE_BLOB) {
        QByteArray o(static_cast<const char *>(sqlite3_value_blob(a)), sqlite3_value_bytes(a));
        o.append(static_cast<const char *>(sqlite3_value_blob(b)), sqlite3_value_bytes(b));
        return sqlite3_result_blob(ctx, o.constData(), int(o.size()), SQLITE_TRANSIENT);
    }
    resultatTexte(ctx, texte(a) + texte(b));
}

void fonctionTranCount(sqlite3_context *ctx, int, sqlite3_value **)
{
    // A transaction that SQLite ended on its own (a failed COMMIT) counts no more.
    const bool bOuverte = !sqlite3_get_autocommit(sqlite3_context_db_handle(ctx));
    sqlite3_result_int(ctx, bOuverte ? contexteDe(ctx)->lTransactions : 0);
}
}

void InstalleFonctionsConversion(sqlite3 *db, ContexteFonctions *contexte)
{
    const int deterministe = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
#ifdef SQLITE_RESULT_SUBTYPE
    const int sousType = SQLITE_RESULT_SUBTYPE; // required of functions that set one from SQLite 3.45 on
#else
    const int sousType = 0;
#endif
    sqlite3_create_function_v2(db, "convertit", 3, deterministe | sousType, contexte, fonctionConvertit, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "charindex", 3, SQLITE_UTF8, contexte, fonctionCharIndex, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "datalength", 2, deterministe, contexte, fonctionDataLength, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "tsql_plus", 2, deterministe, contexte, fonctionPlus, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "trancount", 0, SQLITE_UTF8, contexte, fonctionTranCount, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "dateajoute", 3, deterministe | sousType, contexte, fonctionDateAjoute, nullptr,
                               nullptr, nullptr);
}
