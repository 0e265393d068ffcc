#pragma once
#include <QByteArray>
#include <QDeadlineTimer>
#include <QVector>
#include <memory>
#include <mutex>

/// One TCP link of the process: its descriptor and both ends, so that a
/// descriptor the system has since given to another socket is never taken
/// for it.
struct LienTcp {
    int lDescripteur = -1;
    QByteArray local;
    QByteArray distant;

    bool operator==(const LienTcp &autre) const
    {
        return lDescripteur == autre.lDescripteur && local == autre.local && distant == autre.distant;
    }
};

/// Returns the connected TCP links open in the process; with a port, only
/// those to that port of the remote end.
QVector<LienTcp> LiensTcpOuverts(int lPortDistant = 0);

/// The links of the logged-in sessions, known by an opaque key (the session
/// handle), so that a call that waits too long can be cut off.
namespace GardeLiens {

/// Notes the link a session just logged in over: the one link to the port
/// that was not among `avant`. Nothing is noted when that is not exactly one.
void Note(const void *session, const QVector<LienTcp> &avant, int lPortDistant);
/// Forgets the link of a session being logged off.
void Oublie(const void *session);

} // namespace GardeLiens

class GardeAppel;

/// Lets another thread cut a login short: the login's watch registers here
/// while it runs, and Interrompt() brings its deadline to now.
class InterrupteurConnexion
{
public:
    void Interrompt();
    void Rearme();
    /// Called by the login around its watched call.
    void Inscrit(GardeAppel *garde);

private:
    std::mutex m_verrou;
    GardeAppel *m_garde = nullptr;
    bool m_bInterrompu = false;
};

/// Watches one call that waits on a server for as long as it lives: if the
/// call still runs at the deadline, the link under it is shut down, so that
/// the driver gives up at once on a broken link instead of waiting for its
/// own timeouts (and, after them, as long again for the server to
/// acknowledge the cancel). A session whose link was cut cannot serve again.
class GardeAppel
{
public:
    /// Watches a call on a logged-in session.
    GardeAppel(const void *session, const QDeadlineTimer &echeance);
    /// Watches a login: at the deadline, the links to the port that were not
    /// among `avant` are the login's own.
    GardeAppel(const QVector<LienTcp> &avant, int lPortDistant, const QDeadlineTimer &echeance);
    ~GardeAppel();
    GardeAppel(const GardeAppel &) = delete;
    GardeAppel &operator=(const GardeAppel &) = delete;

    /// True once the deadline cut the link.
    bool Coupe() const;
    /// Brings the deadline nearer, from any thread (a later one changes nothing).
    void Rapproche(const QDeadlineTimer &echeance);

    struct Surveillance;

private:
    std::unique_ptr<Surveillance> m_surveillance;
};
