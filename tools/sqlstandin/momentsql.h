#pragma once
#include <QtGlobal>
#include <optional>

/// A datetime as the stand-in's SQLite text carries it ('yyyy-MM-dd HH:mm:ss.zzz'),
/// read and written without QDateTime: no time zone is involved, and a result
/// of a million dates pays a few nanoseconds for each.
struct MomentSql {
    qint64 lJour = 0; ///< Julian day
    int lMs = 0;      ///< milliseconds since midnight

    /// Reads 'yyyy-MM-dd', with ' HH:mm', ':ss' and '.fff' (any number of digits) after
    /// it if they are there ('T' may stand for the blank). Nothing for any other form.
    static std::optional<MomentSql> lis(const char *p, int n);
    /// Writes 'yyyy-MM-dd HH:mm:ss.zzz' (23 characters) into tampon, which holds 24.
    void ecrit(char *tampon) const;
    /// Adds milliseconds (negative too).
    MomentSql plusMs(qint64 lMs) const;
    /// Adds months, the day kept or brought back to the month's last (as DATEADD does).
    MomentSql plusMois(int lMois) const;
    /// Days since 1900-01-01 (SQL Server's datetime origin).
    qint64 joursDepuis1900() const;
};
