#include "gardeliens.h"

#include <QHash>
#include <QtGlobal>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#if defined(Q_OS_UNIX)
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

using Horloge = std::chrono::steady_clock;

struct GardeAppel::Surveillance {
    Horloge::time_point echeance;
    bool bConnexion = false;
    LienTcp lien;            ///< the session's link
    QVector<LienTcp> avant;  ///< a login: the links open before it started
    int lPort = 0;
    bool bCoupe = false;     ///< under the watchman's lock
};

namespace {

#if defined(Q_OS_UNIX)

int PortDistant(const sockaddr_storage &adresse)
{
    if (adresse.ss_family == AF_INET) {
        sockaddr_in a{};
        std::memcpy(&a, &adresse, sizeof a);
        return ntohs(a.sin_port);
    }
    if (adresse.ss_family == AF_INET6) {
        sockaddr_in6 a{};
        std::memcpy(&a, &adresse, sizeof a);
        return ntohs(a.sin6_port);
    }
    return 0;
}

std::optional<LienTcp> LienDe(int lDescripteur, int lPortDistant)
{
    int lType = 0;
    socklen_t lTailleType = sizeof lType;
    if (::getsockopt(lDescripteur, SOL_SOCKET, SO_TYPE, &lType, &lTailleType) != 0 || lType != SOCK_STREAM)
        return std::nullopt;
    sockaddr_storage local{};
    sockaddr_storage distant{};
    socklen_t lLocal = sizeof local;
    socklen_t lDistant = sizeof distant;
    if (::getsockname(lDescripteur, reinterpret_cast<sockaddr *>(&local), &lLocal) != 0
        || ::getpeername(lDescripteur, reinterpret_cast<sockaddr *>(&distant), &lDistant) != 0)
        return std::nullopt;
    if (distant.ss_family != AF_INET && distant.ss_family != AF_INET6)
        return std::nullopt;
    if (lPortDistant > 0 && PortDistant(distant) != lPortDistant)
        return std::nullopt;
    LienTcp lien;
    lien.lDescripteur = lDescripteur;
    lien.local = QByteArray(reinterpret_cast<const char *>(&local), int(lLocal));
    lien.distant = QByteArray(reinterpret_cast<const char *>(&distant), int(lDistant));
    return lien;
}

std::vector<int> Descripteurs()
{
    std::vector<int> descripteurs;
    if (DIR *dossier = ::opendir("/proc/self/fd")) {
        const int lPropre = ::dirfd(dossier);
        while (const dirent *entree = ::readdir(dossier)) {
            if (entree->d_name[0] < '0' || entree->d_name[0] > '9')
                continue;
            const int lDescripteur = std::atoi(entree->d_name);
            if (lDescripteur != lPropre)
                descripteurs.push_back(lDescripteur);
        }
        ::closedir(dossier);
        return descripteurs;
    }
    // Without /proc, every descriptor below the usual limit.
    for (int lDescripteur = 0; lDescripteur < 1024; ++lDescripteur)
        descripteurs.push_back(lDescripteur);
    return descripteurs;
}

// Shuts the link down only while its descriptor still is that link.
void Coupe(const LienTcp &lien)
{
    if (LienDe(lien.lDescripteur, 0) == lien)
        ::shutdown(lien.lDescripteur, SHUT_RDWR);
}

#else

void Coupe(const LienTcp &)
{
}

#endif

std::mutex &VerrouLiens()
{
    static std::mutex *verrou = new std::mutex;
    return *verrou;
}

// Never freed: sessions may still be logged off while static objects are
// destroyed at exit.
QHash<const void *, LienTcp> &Liens()
{
    static auto *liens = new QHash<const void *, LienTcp>;
    return *liens;
}

// The one thread that cuts the links of calls still running at their
// deadline. It sleeps until the earliest deadline of the calls it watches.
class Veilleur
{
    static constexpr std::chrono::milliseconds kVeille{500};

public:
    static Veilleur &Instance()
    {
        // Never destroyed: its thread runs until the process ends.
        static Veilleur *veilleur = new Veilleur;
        return *veilleur;
    }

    void Arme(GardeAppel::Surveillance *s)
    {
        std::lock_guard<std::mutex> verrou(m_verrou);
        m_surveillances.push_back(s);
        m_bArmeDepuisReveil = true;
        if (s->echeance < m_prochainReveil)
            m_reveil.notify_one();
    }

    void Desarme(GardeAppel::Surveillance *s)
    {
        std::lock_guard<std::mutex> verrou(m_verrou);
        m_surveillances.erase(std::remove(m_surveillances.begin(), m_surveillances.end(), s), m_surveillances.end());
    }

    void Rapproche(GardeAppel::Surveillance *s, Horloge::time_point echeance)
    {
        std::lock_guard<std::mutex> verrou(m_verrou);
        if (echeance >= s->echeance)
            return;
        s->echeance = echeance;
        m_reveil.notify_one();
    }

    bool Coupe(const GardeAppel::Surveillance *s)
    {
        std::lock_guard<std::mutex> verrou(m_verrou);
        return s->bCoupe;
    }

private:
    Veilleur()
    {
        std::thread([this] { Veille(); }).detach();
    }

    // While calls come and go, the watchman wakes at least every half second
    // even with none to watch: a call armed meanwhile, whose deadline is
    // further off, then needs no signal (the one that wakes this thread
    // costs more than most calls).
    void Veille()
    {
        std::unique_lock<std::mutex> verrou(m_verrou);
        for (;;) {
            const Horloge::time_point maintenant = Horloge::now();
            m_prochainReveil = Horloge::time_point::max();
            for (GardeAppel::Surveillance *s : m_surveillances) {
                if (s->bCoupe)
                    continue;
                if (s->echeance <= maintenant)
                    CoupeAEcheance(*s);
                else
                    m_prochainReveil = std::min(m_prochainReveil, s->echeance);
            }
            if (m_bArmeDepuisReveil)
                m_prochainReveil = std::min(m_prochainReveil, maintenant + kVeille);
            m_bArmeDepuisReveil = false;
            if (m_prochainReveil == Horloge::time_point::max())
                m_reveil.wait(verrou);
            else
                m_reveil.wait_until(verrou, m_prochainReveil);
        }
    }

    static void CoupeAEcheance(GardeAppel::Surveillance &s)
    {
        s.bCoupe = true;
        if (!s.bConnexion) {
            ::Coupe(s.lien);
            return;
        }
        for (const LienTcp &lien : LiensTcpOuverts(s.lPort))
            if (!s.avant.contains(lien))
                ::Coupe(lien);
    }

    std::mutex m_verrou;
    std::condition_variable m_reveil;
    std::vector<GardeAppel::Surveillance *> m_surveillances;
    Horloge::time_point m_prochainReveil = Horloge::time_point::max();
    bool m_bArmeDepuisReveil = false;
};

Horloge::time_point Instant(const QDeadlineTimer &echeance)
{
    return Horloge::now() + std::chrono::nanoseconds(qMax<qint64>(0, echeance.remainingTimeNSecs()));
}

} // namespace

QVector<LienTcp> LiensTcpOuverts(int lPortDistant)
{
    QVector<LienTcp> liens;
#if defined(Q_OS_UNIX)
    for (int lDescripteur : Descripteurs())
        if (const std::optional<LienTcp> lien = LienDe(lDescripteur, lPortDistant))
            liens << *lien;
#else
    Q_UNUSED(lPortDistant);
#endif
    return liens;
}

namespace GardeLiens {

void Note(const void *session, const QVector<LienTcp> &avant, int lPortDistant)
{
    QVector<LienTcp> nouveaux;
    for (const LienTcp &lien : LiensTcpOuverts(lPortDistant))
        if (!avant.contains(lien))
            nouveaux << lien;
    std::lock_guard<std::mutex> verrou(VerrouLiens());
    if (nouveaux.size() == 1)
        Liens().insert(session, nouveaux.constFirst());
    else
        Liens().remove(session);
}

void Oublie(const void *session)
{
    std::lock_guard<std::mutex> verrou(VerrouLiens());
    Liens().remove(session);
}

} // namespace GardeLiens

GardeAppel::GardeAppel(const void *session, const QDeadlineTimer &echeance)
{
    if (echeance.isForever())
        return;
    LienTcp lien;
    {
        std::lock_guard<std::mutex> verrou(VerrouLiens());
        const auto trouve = Liens().constFind(session);
        if (trouve == Liens().constEnd())
            return;
        lien = *trouve;
    }
    m_surveillance = std::make_unique<Surveillance>();
    m_surveillance->echeance = Instant(echeance);
    m_surveillance->lien = lien;
    Veilleur::Instance().Arme(m_surveillance.get());
}

GardeAppel::GardeAppel(const QVector<LienTcp> &avant, int lPortDistant, const QDeadlineTimer &echeance)
{
    if (echeance.isForever())
        return;
    m_surveillance = std::make_unique<Surveillance>();
    m_surveillance->echeance = Instant(echeance);
    m_surveillance->bConnexion = true;
    m_surveillance->avant = avant;
    m_surveillance->lPort = lPortDistant;
    Veilleur::Instance().Arme(m_surveillance.get());
}

GardeAppel::~GardeAppel()
{
    if (m_surveillance)
        Veilleur::Instance().Desarme(m_surveillance.get());
}

bool GardeAppel::Coupe() const
{
    return m_surveillance && Veilleur::Instance().Coupe(m_surveillance.get());
}

void GardeAppel::Rapproche(const QDeadlineTimer &echeance)
{
    if (m_surveillance)
        Veilleur::Instance().Rapproche(m_surveillance.get(), Instant(echeance));
}

void InterrupteurConnexion::Interrompt()
{
    std::lock_guard<std::mutex> verrou(m_verrou);
    m_bInterrompu = true;
    if (m_garde)
        m_garde->Rapproche(QDeadlineTimer(0));
}

void InterrupteurConnexion::Rearme()
{
    std::lock_guard<std::mutex> verrou(m_verrou);
    m_bInterrompu = false;
}

void InterrupteurConnexion::Inscrit(GardeAppel *garde)
{
    std::lock_guard<std::mutex> verrou(m_verrou);
    m_garde = garde;
    // Interrupted before the login began: it is cut at once.
    if (garde && m_bInterrompu)
        garde->Rapproche(QDeadlineTimer(0));
}
