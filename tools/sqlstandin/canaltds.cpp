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
    if (!m_tls)
        return envoieOctets(paquet.constData(), int(paquet.size()));
    const QByteArray chiffre = m_tls->chiffre(paquet.constData(), int(paquet.size()));
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
        // The server's handshake records go back in pre-login packets too.
        const int lCharge = m_taillePaquet - TailleEntete;
        for (int lDebut = 0; lDebut < reponse.size(); lDebut += lCharge) {
            const int n = std::min<int>(lCharge, int(reponse.size()) - lDebut);
            if (!envoiePaquet(TypePaquet::PreLogin, reponse.constData() + lDebut, n, lDebut + n >= reponse.size()))
                return false;
        }
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
