#pragma once
#include <QDeadlineTimer>
#include <QString>
#include <memory>

class Recordset;

/// A connection to SQL Server over ODBC, with the operations and states the
/// program relies on. Every failure throws ErreurAdo.
class Connexion
{
public:
    Connexion();
    ~Connexion();
    Connexion(const Connexion &) = delete;
    Connexion &operator=(const Connexion &) = delete;

    /// 1 when open, 0 when closed.
    int State() const;
    /// Opens with a connection string (see chaineconnexion.h). A non-empty
    /// user or password argument overrides the one in the string.
    void Open(const QString &sConnectionString, const QString &sUserID = QString(),
              const QString &sPassword = QString(), int lOptions = -1);
    /// Closes the connection and its recordsets; the logged-in session waits
    /// in the pool for the next Open with the same string.
    void Close();

    /// Every later wait on the server through this connection (login, the
    /// check of a pooled session, statements, reading rows, closing) ends by
    /// this deadline, whatever its own timeout: a call still waiting then
    /// fails with a timeout and the session is dropped. The default deadline
    /// never expires.
    void SetEcheance(const QDeadlineTimer &echeance);
    QDeadlineTimer Echeance() const;

    /// Test hooks: shorter timeouts than the user-visible defaults (15 s, 30 s).
    static void SetLoginTimeoutForTests(int seconds);
    static void SetCommandTimeoutForTests(int seconds);
    /// Returns the login timeout in seconds (15 unless a test changed it).
    static int LoginTimeout();
    /// Returns the command timeout in seconds (30 unless a test changed it).
    static int CommandTimeout();

    struct Impl;
    Impl *impl() const { return d.get(); }

private:
    std::unique_ptr<Impl> d;
};

/// A result set read through a forward-only ODBC statement, with client-side
/// cursor behaviour: every move is possible and RecordCount is exact. Rows are
/// fetched only as far as an operation needs them.
class Recordset
{
public:
    Recordset();
    ~Recordset();
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    /// Runs the source; every cursor and lock type gives the same read-only
    /// snapshot that moves both ways.
    void Open(const QString &sSource, Connexion *pActiveConnection, int lCursorType = 0,
              int lLockType = 1, int lOptions = -1);
    /// 1 when open, 0 when closed (a statement that returns no rows leaves it closed).
    int State() const;
    /// True once past the last row (EOF is a C macro, hence the name).
    bool Eof();
    /// True before the first row (and for an empty result).
    bool Bof();
    /// Moves one row on or back, or to either end; past either end raises 3021.
    void MoveNext();
    void MovePrevious();
    void MoveFirst();
    void MoveLast();
    /// The value of a column of the current row as text (NULL gives "").
    QString Fields(int lIndex);
    QString Fields(const QString &sName);
    /// The number of columns (0 when closed).
    int FieldCount() const;
    /// The exact number of rows; reads the rest of the result first.
    long RecordCount();
    /// 1-based row number; -2 before the first row, -3 past the last, -1 when empty.
    long AbsolutePosition();
    /// Runs the source again on the same connection and reads it afresh.
    void Requery();
    /// Always raises 3251: a snapshot has no row keys to read one row again by.
    void Resync(int lAffectRecords);
    void Close();

    struct Impl;

private:
    std::unique_ptr<Impl> d;
};
