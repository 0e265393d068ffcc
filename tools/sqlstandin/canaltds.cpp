#include "canaltds.h"

#include "chiffrementtls.h"

#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr int TailleEntete = 8;
constexpr uint8_t StatutFinMessage = 0x01;
}

CanalTds::CanalTds(int descripteur) : m_descripteur(descripteur) {}

CanalTds::~CanalTds() { coupe(); }

void CanalTds::coupe()
{
    if (m_descripteur >= 0) {
        ::shutdown(m_descripteur, SHUT_RDWR);
        ::close(m_descripteur);
        m_descripteur = -1;
    }
    m_ferme = true;
}

bool CanalTds::litExactement(char *destination, int lLongueur)
{
    if (!m_tls)
        return litDuSocket(destination, lLongueur);
    while (m_clair.size() < lLongueur)
        if (!litEnregistrementTls())
            return false;
    std::copy(m_clair.constData(), m_clair.constData() + lLongueur, destination);
    m_clair.remove(0, lLongueur);
    return true;
}

// One whole TLS record, so that nothing after it (clear packets once the
// login is read) is taken from the socket.
bool CanalTds::litEnregistrementTls()
{
    char entete[5];
    if (!litDuSocket(entete, 5))
        return false;
    const int lLongueur = (uchar(entete[3]) << 8) | uchar(entete[4]);
    QByteArray enregistrement(5 + lLongueur, Qt::Uninitialized);
    std::copy(entete, entete + 5, enregistrement.data());
    if (!litDuSocket(enregistrement.data() + 5, lLongueur))
        return false;
    if (!m_tls->dechiffre(enregistrement, m_clair)) {
        m_ferme = true;
        return false;
    }
    return true;
}

bool CanalTds::litDuSocket(char *destination, int lLongueur)
{
    int lLu = 0;
    while (lLu < lLongueur) {
        const ssize_t n = ::recv(m_descripteur, destination + lLu, size_t(lLongueur - lLu), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_ferme = true;
            return false;
        }
        lLu += int(n);
    }
    return true;
}

std::optional<MessageTds> CanalTds::litMessageDuReseau()
{
    MessageTds message;
    for (;;) {
        unsigned char entete[TailleEntete];
        if (m_ferme || !litExactement(reinterpret_cast<char *>(entete), TailleEntete))
            return std::nullopt;
        const int lLongueur = (entete[2] << 8) | entete[3];
        if (lLongueur < TailleEntete) {
            m_ferme = true;
            return std::nullopt;
        }
        message.type = entete[0];
        const int lCharge = lLongueur - TailleEntete;
        const int lDebut = message.contenu.size();
        message.contenu.resize(lDebut + lCharge);
        if (!litExactement(message.contenu.data() + lDebut, lCharge))
            return std::nullopt;
        if (entete[1] & StatutFinMessage)
            return message;
    }
}

std::optional<MessageTds> CanalTds::litMessage()
{
    if (!m_enAttente.empty()) {
        MessageTds message = m_enAttente.front();
        m_enAttente.pop_front();
        return message;
    }
    return litMessageDuReseau();
}

bool CanalTds::attentionPendant(int lDelaiMs)
{
    if (m_ferme)
        return false;
    if (!m_clair.isEmpty())
        lDelaiMs = 0; // a decrypted message may already be waiting
    pollfd attente{m_descripteur, POLLIN, 0};
    int n;
    do {
        n = ::poll(&attente, 1, lDelaiMs);
    } while (n < 0 && errno == EINTR);
    if (n <= 0 && m_clair.isEmpty())
        return false;
    auto message = litMessageDuReseau();
    if (!message)
        return false;
    if (message->type == TypePaquet::Attention)
        return true;
    m_enAttente.push_back(*message);
    return false;
}

bool CanalTds::envoiePaquet(uint8_t type, const char *donnees, int lLongueur, bool bFin)
{
    m_sortie.clear();
    ajoutePaquet(type, donnees, lLongueur, bFin);
    return envoieSortie();
}

bool CanalTds::envoiePaquets(uint8_t type, const char *donnees, int lLongueur, bool bFin)
{
    const int lCharge = m_taillePaquet - TailleEntete;
    m_sortie.clear();
    int lDebut = 0;
    do {
        const int n = std::min(lCharge, lLongueur - lDebut);
        ajoutePaquet(type, donnees + lDebut, n, bFin && lDebut + n >= lLongueur);
        lDebut += n;
    } while (lDebut < lLongueur);
    return envoieSortie();
}

void CanalTds::ajoutePaquet(uint8_t type, const char *donnees, int lLongueur, bool bFin)
{
    const int lTotal = TailleEntete + lLongueur;
    const char entete[TailleEntete] = {char(type), char(bFin ? StatutFinMessage : 0),
                                       char((lTotal >> 8) & 0xFF), char(lTotal & 0xFF),
                                       char(0), char(0), // SPID
                                       char(m_numeroPaquet++), char(0)};
    m_sortie.append(entete, TailleEntete);
    m_sortie.append(donnees, lLongueur);
}

bool CanalTds::envoieSortie()
{
    if (m_ferme)
        return false;
    if (!m_tls)
        return envoieOctets(m_sortie.constData(), int(m_sortie.size()));
    const QByteArray chiffre = m_tls->chiffre(m_sortie.constData(), int(m_sortie.size()));
    if (chiffre.isEmpty()) {
        m_ferme = true;
        return false;
    }
    return envoieOctets(chiffre.constData(), int(chiffre.size()));
}

bool CanalTds::envoieOctets(const char *donnees, int lLongueur)
{
    int lEnvoye = 0;
    while (lEnvoye < lLongueur) {
        const ssize_t n = ::send(m_descripteur, donnees + lEnvoye, size_t(lLongueur - lEnvoye), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_ferme = true;
            return false;
        }
        lEnvoye += int(n);
    }
    return true;
}

bool CanalTds::demarreTls()
{
    auto tls = std::make_unique<CoucheTls>();
    for (bool bFinie = false; !bFinie;) {
        const auto message = litMessageDuReseau();
        if (!message)
            return false;
        QByteArray reponse;
        if (!tls->poignee(message->contenu, reponse, bFinie)) {
            coupe();
            return false;
        }
        // The server's handshake records go back in pre-login packets too
        // (a step with nothing to say sends nothing).
        if (!reponse.isEmpty() && !envoiePaquets(TypePaquet::PreLogin, reponse.constData(), int(reponse.size()), true))
            return false;
    }
    m_tls = std::move(tls);
    return true;
}

void CanalTds::arreteTls()
{
    m_tls.reset();
    m_clair.clear();
}

void FluxReponse::ajoute(const QByteArray &octets)
{
    m_tampon.append(octets);
    ecrit();
}

void FluxReponse::ecrit()
{
    const int lSeuil = 4 * m_canal.taillePaquet();
    if (m_tampon.size() <= lSeuil)
        return;
    vide();
    // Rows are written in place: keep the room of a full round of packets
    // so that a large result does not regrow the buffer.
    if (m_tampon.capacity() < lSeuil + m_canal.taillePaquet())
        m_tampon.reserve(lSeuil + m_canal.taillePaquet());
}

void FluxReponse::vide()
{
    const int lCharge = m_canal.taillePaquet() - TailleEntete;
    const int lPleins = (int(m_tampon.size()) - 1) / lCharge * lCharge;
    if (lPleins <= 0)
        return;
    if (!m_canal.envoiePaquets(TypePaquet::Reponse, m_tampon.constData(), lPleins, false))
        m_erreur = true;
    m_tampon.remove(0, lPleins);
}

void FluxReponse::pousse()
{
    if (!m_tampon.isEmpty()
        && !m_canal.envoiePaquets(TypePaquet::Reponse, m_tampon.constData(), int(m_tampon.size()), false))
        m_erreur = true;
    m_tampon.clear();
}

void FluxReponse::termine()
{
    if (!m_canal.envoiePaquets(TypePaquet::Reponse, m_tampon.constData(), int(m_tampon.size()), true))
        m_erreur = true;
    m_tampon.clear();
}
