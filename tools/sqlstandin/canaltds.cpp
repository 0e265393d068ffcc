#include "canaltds.h"

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
    pollfd attente{m_descripteur, POLLIN, 0};
    int n;
    do {
        n = ::poll(&attente, 1, lDelaiMs);
    } while (n < 0 && errno == EINTR);
    if (n <= 0)
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
    if (m_ferme)
        return false;
    QByteArray paquet;
    paquet.reserve(TailleEntete + lLongueur);
    const int lTotal = TailleEntete + lLongueur;
    paquet.append(char(type));
    paquet.append(char(bFin ? StatutFinMessage : 0));
    paquet.append(char((lTotal >> 8) & 0xFF));
    paquet.append(char(lTotal & 0xFF));
    paquet.append(char(0)).append(char(0)); // SPID
    paquet.append(char(m_numeroPaquet++));
    paquet.append(char(0));
    paquet.append(donnees, lLongueur);
    int lEnvoye = 0;
    while (lEnvoye < paquet.size()) {
        const ssize_t n = ::send(m_descripteur, paquet.constData() + lEnvoye,
                                 size_t(paquet.size() - lEnvoye), MSG_NOSIGNAL);
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
    int lDebut = 0;
    while (m_tampon.size() - lDebut > lCharge) {
        if (!m_canal.envoiePaquet(TypePaquet::Reponse, m_tampon.constData() + lDebut, lCharge, false))
            m_erreur = true;
        lDebut += lCharge;
    }
    m_tampon.remove(0, lDebut);
}

void FluxReponse::pousse()
{
    vide();
    if (!m_tampon.isEmpty()
        && !m_canal.envoiePaquet(TypePaquet::Reponse, m_tampon.constData(), m_tampon.size(), false))
        m_erreur = true;
    m_tampon.clear();
}

void FluxReponse::termine()
{
    vide();
    if (!m_canal.envoiePaquet(TypePaquet::Reponse, m_tampon.constData(), m_tampon.size(), true))
        m_erreur = true;
    m_tampon.clear();
}
