#include "momentsql.h"

#include <QDate>

namespace {
constexpr qint64 MsParJour = 86400000;

// Reads exactly lChiffres digits at p[i]; -1 when one is not a digit or the text ends.
int chiffres(const char *p, int n, int i, int lChiffres)
{
    if (i + lChiffres > n)
        return -1;
    int v = 0;
    for (int k = i; k < i + lChiffres; ++k) {
        if (p[k] < '0' || p[k] > '9')
            return -1;
        v = v * 10 + (p[k] - '0');
    }
    return v;
}

void deuxChiffres(char *o, int v)
{
    o[0] = char('0' + v / 10);
    o[1] = char('0' + v % 10);
}
}

std::optional<MomentSql> MomentSql::lis(const char *p, int n)
{
    const int a = chiffres(p, n, 0, 4), mo = chiffres(p, n, 5, 2), j = chiffres(p, n, 8, 2);
    if (a < 0 || mo < 0 || j < 0 || p[4] != '-' || p[7] != '-')
        return std::nullopt;
    const QDate date(a, mo, j);
    if (!date.isValid())
        return std::nullopt;
    int h = 0, mi = 0, s = 0, ms = 0;
    int i = 10;
    if (i < n) {
        if (p[i] != ' ' && p[i] != 'T')
            return std::nullopt;
        h = chiffres(p, n, i + 1, 2);
        mi = chiffres(p, n, i + 4, 2);
        if (h < 0 || mi < 0 || p[i + 3] != ':')
            return std::nullopt;
        i += 6;
        if (i < n) {
            s = chiffres(p, n, i + 1, 2);
            if (p[i] != ':' || s < 0)
                return std::nullopt;
            i += 3;
        }
        if (i < n) {
            if (p[i] != '.')
                return std::nullopt;
            int lFacteur = 100;
            for (++i; i < n; ++i, lFacteur /= 10) {
                if (p[i] < '0' || p[i] > '9')
                    return std::nullopt;
                ms += (p[i] - '0') * lFacteur;
            }
        }
    }
    if (h > 23 || mi > 59 || s > 59)
        return std::nullopt;
    return MomentSql{date.toJulianDay(), ((h * 60 + mi) * 60 + s) * 1000 + ms};
}

void MomentSql::ecrit(char *o) const
{
    int a, mo, j;
    QDate::fromJulianDay(lJour).getDate(&a, &mo, &j);
    o[0] = char('0' + a / 1000 % 10);
    o[1] = char('0' + a / 100 % 10);
    deuxChiffres(o + 2, a % 100);
    o[4] = '-';
    deuxChiffres(o + 5, mo);
    o[7] = '-';
    deuxChiffres(o + 8, j);
    o[10] = ' ';
    deuxChiffres(o + 11, lMs / 3600000);
    o[13] = ':';
    deuxChiffres(o + 14, lMs / 60000 % 60);
    o[16] = ':';
    deuxChiffres(o + 17, lMs / 1000 % 60);
    o[19] = '.';
    o[20] = char('0' + lMs / 100 % 10);
    deuxChiffres(o + 21, lMs % 100);
    o[23] = '\0';
}

MomentSql MomentSql::plusMs(qint64 lAjout) const
{
    const qint64 lTotal = lJour * MsParJour + lMs + lAjout;
    qint64 lJours = lTotal / MsParJour;
    qint64 lReste = lTotal % MsParJour;
    if (lReste < 0) {
        lReste += MsParJour;
        --lJours;
    }
    return MomentSql{lJours, int(lReste)};
}

MomentSql MomentSql::plusMois(int lMois) const
{
    return MomentSql{QDate::fromJulianDay(lJour).addMonths(lMois).toJulianDay(), lMs};
}

qint64 MomentSql::joursDepuis1900() const
{
    return lJour - QDate(1900, 1, 1).toJulianDay();
}
