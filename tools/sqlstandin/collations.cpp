#include "collations.h"

#include <QRegularExpression>
#include <sqlite3.h>

namespace {
int longueurSansBlancs(const QString &s)
{
    int n = int(s.size());
    while (n > 0 && s.at(n - 1) == QLatin1Char(' '))
        --n;
    return n;
}

// The letter a character sorts with, accents and case aside.
QChar lettreDeBase(QChar c)
{
    if (c.unicode() < 128)
        return c.toLower();
    if (c.decompositionTag() == QChar::Canonical) {
        const QString d = c.decomposition();
        if (!d.isEmpty())
            return d.at(0).toCaseFolded();
    }
    return c.toCaseFolded();
}

int compareCollationCS(void *, int n1, const void *v1, int n2, const void *v2)
{
    return CompareAvecCasse(QString::fromUtf8(static_cast<const char *>(v1), n1),
                            QString::fromUtf8(static_cast<const char *>(v2), n2));
}

// Windows-1252 between 0x80 and 0x9F; the other bytes are Latin-1.
const char16_t cp1252Haut[32] = {0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
                                 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

bool dansPageCode1252(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return true;
    for (char16_t h : cp1252Haut)
        if (h != 0 && h == c)
            return true;
    return false;
}
}

QString CollationServeur()
{
    return QStringLiteral("SQL_Latin1_General_CP1_CI_AS");
}

bool EstCollationConnue(const QString &sCollation)
{
    // Windows collations by language, SQL collations by code page, then their options.
    static const QRegularExpression forme(
        QStringLiteral("^(?:(?:Latin1_General|French|German_PhoneBook|Greek|Cyrillic_General|Ukrainian|Japanese|"
                       "Chinese_PRC|Chinese_Taiwan_Stroke|Korean_Wansung|Arabic|Hebrew|Turkish|Polish|Czech|Slovak|"
                       "Slovenian|Croatian|Hungarian|Romanian|Albanian|Lithuanian|Latvian|Estonian|Icelandic|"
                       "Danish_Norwegian|Finnish_Swedish|Modern_Spanish|Traditional_Spanish|Thai|Vietnamese)"
                       "(?:_\\d+)?|SQL_Latin1_General_CP(?:1|437|850|1250|1251|1253|1254|1255|1256|1257))"
                       "(?:_(?:CI|CS)_(?:AS|AI)(?:_KS)?(?:_WS)?(?:_SC)?(?:_UTF8)?|_BIN2?)$"),
        QRegularExpression::CaseInsensitiveOption);
    return forme.match(sCollation).hasMatch();
}

bool EstSensibleCasse(const QString &sCollation)
{
    return sCollation.contains(QLatin1String("_CS_"), Qt::CaseInsensitive)
           || sCollation.contains(QLatin1String("_BIN"), Qt::CaseInsensitive);
}

QString CollationSqlite(const QString &sCollation)
{
    if (sCollation.compare(QLatin1String("CS"), Qt::CaseInsensitive) == 0
        || sCollation.compare(QLatin1String("CI"), Qt::CaseInsensitive) == 0)
        return sCollation.toUpper();
    return EstSensibleCasse(sCollation) ? QStringLiteral("CS") : QStringLiteral("CI");
}

int CompareAvecCasse(const QString &a, const QString &b)
{
    const int la = longueurSansBlancs(a);
    const int lb = longueurSansBlancs(b);
    const int n = std::min(la, lb);
    for (int i = 0; i < n; ++i) {
        const QChar x = lettreDeBase(a.at(i));
        const QChar y = lettreDeBase(b.at(i));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (la != lb)
        return la < lb ? -1 : 1;
    for (int i = 0; i < n; ++i) {
        const QChar x = a.at(i).toCaseFolded();
        const QChar y = b.at(i).toCaseFolded();
        if (x != y)
            return x < y ? -1 : 1;
    }
    for (int i = 0; i < n; ++i)
        if (a.at(i) != b.at(i))
            return a.at(i).isLower() ? -1 : 1;
    return 0;
}

QString VersPageCode1252(const QString &sTexte)
{
    QString s = sTexte;
    for (QChar &c : s)
        if (!dansPageCode1252(c.unicode()))
            c = QLatin1Char('?');
    return s;
}

void InstalleCollationSensible(sqlite3 *db)
{
    sqlite3_create_collation_v2(db, "CS", SQLITE_UTF8, nullptr, compareCollationCS, nullptr);
}
