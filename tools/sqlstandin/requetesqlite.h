#pragma once
#include <QString>
#include <sqlite3.h>

/// One prepared SQLite statement of the stand-in's own bookkeeping, finalized
/// when it goes out of scope; st stays null when the text does not prepare.
struct RequeteSqlite {
    sqlite3_stmt *st = nullptr;
    RequeteSqlite(sqlite3 *db, const QString &sql)
    {
        const QByteArray u = sql.toUtf8();
        if (sqlite3_prepare_v2(db, u.constData(), u.size(), &st, nullptr) != SQLITE_OK)
            st = nullptr;
    }
    ~RequeteSqlite() { sqlite3_finalize(st); }
    RequeteSqlite(const RequeteSqlite &) = delete;
    RequeteSqlite &operator=(const RequeteSqlite &) = delete;
    void lie(int n, const QString &s)
    {
        const QByteArray u = s.toUtf8();
        sqlite3_bind_text(st, n, u.constData(), u.size(), SQLITE_TRANSIENT);
    }
    void lie(int n, qint64 v) { sqlite3_bind_int64(st, n, v); }
    QString texte(int c) const
    {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c)),
                                 sqlite3_column_bytes(st, c));
    }
    bool nul(int c) const { return sqlite3_column_type(st, c) == SQLITE_NULL; }
};
