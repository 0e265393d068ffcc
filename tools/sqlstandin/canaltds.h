#pragma once
#include <QByteArray>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>

class CoucheTls;

/// TDS packet types the stand-in reads or writes.
namespace TypePaquet {
constexpr uint8_t Lot = 0x01;          // SQL batch
constexpr uint8_t Rpc = 0x03;
constexpr uint8_t Reponse = 0x04;      // tabular result (every server reply)
constexpr uint8_t Attention = 0x06;
constexpr uint8_t Transaction = 0x0E;  // transaction manager request
constexpr uint8_t Login7 = 0x10;
constexpr uint8_t PreLogin = 0x12;
}

/// One client message: the payloads of its packets put end to end.
struct MessageTds {
    uint8_t type = 0;
    QByteArray contenu;
};

/// TDS framing over one connected TCP socket: reads whole messages, writes
/// replies cut into packets of the negotiated size, in clear or inside TLS.
/// Blocking; one thread.
class CanalTds
{
public:
    explicit CanalTds(int descripteur);
    ~CanalTds();
    CanalTds(const CanalTds &) = delete;
    CanalTds &operator=(const CanalTds &) = delete;

    /// Returns the next whole message, or nothing once the client has gone.
    std::optional<MessageTds> litMessage();
    /// Waits up to lDelaiMs for the client to send something; returns true
    /// when an attention arrived (any other message is kept for litMessage).
    /// Sets ferme() when the client went away meanwhile.
    bool attentionPendant(int lDelaiMs);
    bool ferme() const { return m_ferme; }

    void fixeTaillePaquet(int lTaille) { m_taillePaquet = lTaille; }
    int taillePaquet() const { return m_taillePaquet; }

    /// Sends packet payload bytes; bFin marks the last packet of the message.
    bool envoiePaquet(uint8_t type, const char *donnees, int lLongueur, bool bFin);
    /// Sends payload bytes cut into packets of the negotiated size, in one
    /// write; bFin marks the last of them as the end of the message.
    bool envoiePaquets(uint8_t type, const char *donnees, int lLongueur, bool bFin);
    /// Closes the socket at once (used to simulate a dropped connection).
    void coupe();

    /// Runs the TLS handshake that the client carries in pre-login packets;
    /// from then on every packet travels inside TLS. False when it failed.
    bool demarreTls();
    /// Goes back to clear packets (after the login, when only it was to be encrypted).
    void arreteTls();

private:
    bool litExactement(char *destination, int lLongueur);
    bool litDuSocket(char *destination, int lLongueur);
    bool litEnregistrementTls();
    bool envoieOctets(const char *donnees, int lLongueur);
    void ajoutePaquet(uint8_t type, const char *donnees, int lLongueur, bool bFin);
    bool envoieSortie();
    std::optional<MessageTds> litMessageDuReseau();

    int m_descripteur;
    int m_taillePaquet = 4096;
    uint8_t m_numeroPaquet = 1;
    bool m_ferme = false;
    std::deque<MessageTds> m_enAttente;
    std::unique_ptr<CoucheTls> m_tls;  ///< set once the handshake is over
    QByteArray m_clair;                ///< bytes decrypted and not read yet
    QByteArray m_sortie;               ///< packets on their way out, sent in one write
};

/// A reply being written: tokens are appended, and whole packets leave as
/// soon as they are full, so long results stream instead of piling up.
class FluxReponse
{
public:
    explicit FluxReponse(CanalTds &canal) : m_canal(canal) {}
    void ajoute(const QByteArray &octets);
    /// The buffer to write tokens into directly; call ecrit() after each token.
    QByteArray &tampon() { return m_tampon; }
    /// Sends the full packets once enough is written.
    void ecrit();
    /// Sends what is left as the last packet of the reply.
    void termine();
    /// Sends the full packets written so far, keeping the message open.
    void vide();
    /// Sends everything written so far, keeping the message open.
    void pousse();
    bool enErreur() const { return m_erreur; }

private:
    CanalTds &m_canal;
    QByteArray m_tampon;
    bool m_erreur = false;
};
