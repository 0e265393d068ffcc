#pragma once
#include <QByteArray>
#include <QString>

typedef struct ssl_st SSL;
typedef struct bio_st BIO;

/// Makes, once at start-up, the TLS context every session uses: TLS 1.2 and a
/// self-signed certificate made for this run (as SQL Server does when no
/// certificate is configured). Returns false, with the reason, when it cannot.
bool PrepareTls(QString &sErreur);

/// The server side of one TLS session, fed and drained through memory: during
/// the handshake its records travel inside TDS pre-login packets, afterwards
/// straight on the socket. OpenSSL does all the cryptography.
class CoucheTls
{
public:
    CoucheTls();
    ~CoucheTls();
    CoucheTls(const CoucheTls &) = delete;
    CoucheTls &operator=(const CoucheTls &) = delete;

    /// One step of the handshake: takes what the client sent, gives what goes
    /// back (possibly nothing). bFinie once the handshake is over; false when it failed.
    bool poignee(const QByteArray &recu, QByteArray &aEnvoyer, bool &bFinie);
    /// Takes whole TLS records from the client and appends their clear bytes
    /// to clair; false when the session broke or the client closed it.
    bool dechiffre(const QByteArray &enregistrements, QByteArray &clair);
    /// Returns the TLS records that carry these bytes to the client.
    QByteArray chiffre(const char *donnees, int lLongueur);

private:
    QByteArray sortie();

    SSL *m_ssl = nullptr;
    BIO *m_entree = nullptr; // client -> OpenSSL
    BIO *m_sortie = nullptr; // OpenSSL -> client
};
