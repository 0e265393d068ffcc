#include "fonctionssqlite.h"

#include "fonctionsconversion.h"

#include <QDateTime>
#include <QStringList>
#include <sqlite3.h>

namespace {
int longueurSansBlancsFinaux(const unsigned char *p, int n)
{
    while (n > 0 && p[n - 1] == ' ')
        --n;
    return n;
}

unsigned char minusculeAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

// Most names are ASCII: compare those bytes directly and go through QString only
// for the rest, so that catalogue indexes stay cheap to walk.
int compareCollationCI(void *, int n1, const void *v1, int n2, const void *v2)
{
    const auto *p1 = static_cast<const unsigned char *>(v1);
    const auto *p2 = static_cast<const unsigned char *>(v2);
    n1 = longueurSansBlancsFinaux(p1, n1);
    n2 = longueurSansBlancsFinaux(p2, n2);
    const int n = std::min(n1, n2);
    for (int i = 0; i < n; ++i) {
        if ((p1[i] | p2[i]) & 0x80)
            return CompareSansCasse(QString::fromUtf8(reinterpret_cast<const char *>(p1), n1),
                                    QString::fromUtf8(reinterpret_cast<const char *>(p2), n2));
        const unsigned char a = minusculeAscii(p1[i]);
        const unsigned char b = minusculeAscii(p2[i]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    return n1 == n2 ? 0 : (n1 < n2 ? -1 : 1);
}

QString texte(sqlite3_value *v)
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_value_text(v));
    return p ? QString::fromUtf8(p, sqlite3_value_bytes(v)) : QString();
}

void fonctionLike(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    // SQLite calls like(pattern, text[, escape]).
    QChar echappement;
    if (argc == 3) {
        const QString e = texte(argv[2]);
        if (e.size() == 1)
            echappement = e.at(0);
    }
    const auto *contexte = static_cast<ContexteFonctions *>(sqlite3_user_data(ctx));
    sqlite3_result_int(ctx, CorrespondLike(texte(argv[1]), texte(argv[0]), echappement, contexte->bSensibleCasse) ? 1 : 0);
}

void fonctionGetDate(sqlite3_context *ctx, int, sqlite3_value **)
{
    const QByteArray maintenant =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toUtf8();
    sqlite3_result_text(ctx, maintenant.constData(), -1, SQLITE_TRANSIENT);
}

void fonctionDbName(sqlite3_context *ctx, int, sqlite3_value **)
{
    auto *contexte = static_cast<ContexteFonctions *>(sqlite3_user_data(ctx));
    const QByteArray nom = contexte->sBaseCourante.toUtf8();
    sqlite3_result_text(ctx, nom.constData(), -1, SQLITE_TRANSIENT);
}

// One position of a pattern against one character: literal, '_' or a [class].
// Returns the pattern position after the element, or -1 when the character does not match.
int correspondElement(const QString &motif, int p, QChar c, QChar echappement)
{
    const QChar m = motif.at(p);
    if (!echappement.isNull() && m == echappement && p + 1 < motif.size())
        return motif.at(p + 1) == c ? p + 2 : -1;
    if (m == QLatin1Char('_'))
        return p + 1;
    if (m == QLatin1Char('[')) {
        const int fin = motif.indexOf(QLatin1Char(']'), p + 2);
        if (fin > p) {
            int i = p + 1;
            bool bNegation = false;
            if (motif.at(i) == QLatin1Char('^')) {
                bNegation = true;
                ++i;
            }
            bool bTrouve = false;
            for (; i < fin; ++i) {
                if (i + 2 < fin && motif.at(i + 1) == QLatin1Char('-')) {
                    if (c >= motif.at(i) && c <= motif.at(i + 2))
                        bTrouve = true;
                    i += 2;
                } else if (motif.at(i) == c) {
                    bTrouve = true;
                }
            }
            return bTrouve != bNegation ? fin + 1 : -1;
        }
    }
    return m == c ? p + 1 : -1;
}
}

// The letter a character sorts with: 'É' and 'é' sort with 'e', as under
// SQL Server's Latin collations; ASCII characters sort with their lower case.
static QChar lettreDeBase(QChar c)
{
    if (c.unicode() < 128)
        return QChar(minusculeAscii(uchar(c.unicode())));
    if (c.decompositionTag() == QChar::Canonical) {
        const QString d = c.decomposition();
        if (!d.isEmpty())
            return d.at(0).toCaseFolded();
    }
    return c.toCaseFolded();
}

int CompareSansCasse(const QString &a, const QString &b)
{
    int la = int(a.size());
    int lb = int(b.size());
    while (la > 0 && a.at(la - 1) == QLatin1Char(' '))
        --la;
    while (lb > 0 && b.at(lb - 1) == QLatin1Char(' '))
        --lb;
    // Letters first, accents only to part names that are otherwise equal.
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
    return 0;
}

bool CorrespondLike(const QString &sTexte, const QString &sMotif, QChar echappement, bool bSensibleCasse)
{
    const QString t = bSensibleCasse ? sTexte : sTexte.toCaseFolded();
    const QString m = bSensibleCasse ? sMotif : sMotif.toCaseFolded();
    int it = 0, im = 0;
    int retourMotif = -1, retourTexte = -1;
    while (it < t.size()) {
        if (im < m.size() && m.at(im) == QLatin1Char('%')) {
            retourMotif = ++im;
            retourTexte = it;
            continue;
        }
        const int suivant = im < m.size() ? correspondElement(m, im, t.at(it), echappement) : -1;
        if (suivant >= 0) {
            im = suivant;
            ++it;
        } else if (retourMotif >= 0) {
            im = retourMotif;
            it = ++retourTexte;
        } else {
            return false;
        }
    }
    while (im < m.size() && m.at(im) == QLatin1Char('%'))
        ++im;
    return im == m.size();
}

QStringList PartiesNom(const QString &sNom)
{
    QStringList parties;
    QString partie;
    const QString s = sNom.trimmed();
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == QLatin1Char('[') || c == QLatin1Char('"')) {
            const QChar fin = c == QLatin1Char('[') ? QLatin1Char(']') : QLatin1Char('"');
            for (++i; i < s.size(); ++i) {
                if (s.at(i) == fin) {
                    if (i + 1 < s.size() && s.at(i + 1) == fin) {
                        partie += fin;
                        ++i;
                    } else {
                        break;
                    }
                } else {
                    partie += s.at(i);
                }
            }
        } else if (c == QLatin1Char('.')) {
            parties << partie;
            partie.clear();
        } else {
            partie += c;
        }
    }
    parties << partie;
    return parties;
}

void InstalleFonctions(sqlite3 *db, ContexteFonctions *contexte)
{
    sqlite3_create_collation_v2(db, "CI", SQLITE_UTF8, nullptr, compareCollationCI, nullptr);
    const int deterministe = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(db, "like", 2, deterministe, contexte, fonctionLike, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "like", 3, deterministe, contexte, fonctionLike, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "getdate", 0, SQLITE_UTF8, nullptr, fonctionGetDate, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "db_name", 0, SQLITE_UTF8, contexte, fonctionDbName, nullptr, nullptr, nullptr);
    InstalleFonctionsConversion(db, contexte);
}
