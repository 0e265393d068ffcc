#include "chiffrementtls.h"

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/rsa.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

namespace {
SSL_CTX *contexteTls = nullptr;

QString derniereErreur()
{
    char texte[256] = {};
    ERR_error_string_n(ERR_get_error(), texte, sizeof texte);
    return QString::fromLatin1(texte);
}

// The certificate SQL Server makes for itself when it has none of its own.
X509 *certificatAutoSigne(EVP_PKEY *cle)
{
    X509 *certificat = X509_new();
    if (!certificat)
        return nullptr;
    X509_set_version(certificat, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(certificat), 1);
    X509_gmtime_adj(X509_getm_notBefore(certificat), -24 * 3600);
    X509_gmtime_adj(X509_getm_notAfter(certificat), 365L * 24 * 3600);
    X509_set_pubkey(certificat, cle);
    X509_NAME *nom = X509_get_subject_name(certificat);
    X509_NAME_add_entry_by_txt(nom, "CN", MBSTRING_UTF8,
                               reinterpret_cast<const unsigned char *>("SSL_Self_Signed_Fallback"), -1, -1, 0);
    X509_set_issuer_name(certificat, nom);
    if (X509_sign(certificat, cle, EVP_sha256()) == 0) {
        X509_free(certificat);
        return nullptr;
    }
    return certificat;
}
}

bool PrepareTls(QString &sErreur)
{
    if (contexteTls)
        return true;
    EVP_PKEY *cle = EVP_RSA_gen(2048);
    X509 *certificat = cle ? certificatAutoSigne(cle) : nullptr;
    SSL_CTX *contexte = certificat ? SSL_CTX_new(TLS_server_method()) : nullptr;
    // TDS 7.x carries the handshake inside pre-login packets: TLS 1.2, without
    // session tickets, keeps every handshake message inside those exchanges.
    const bool bPret = contexte && SSL_CTX_set_min_proto_version(contexte, TLS1_2_VERSION)
                       && SSL_CTX_set_max_proto_version(contexte, TLS1_2_VERSION)
                       && SSL_CTX_use_certificate(contexte, certificat) == 1
                       && SSL_CTX_use_PrivateKey(contexte, cle) == 1;
    if (bPret) {
        SSL_CTX_set_options(contexte, SSL_OP_NO_TICKET);
        contexteTls = contexte;
    } else {
        sErreur = derniereErreur();
        SSL_CTX_free(contexte);
    }
    X509_free(certificat);
    EVP_PKEY_free(cle);
    return bPret;
}

CoucheTls::CoucheTls()
{
    m_ssl = SSL_new(contexteTls);
    m_entree = BIO_new(BIO_s_mem());
    m_sortie = BIO_new(BIO_s_mem());
    SSL_set_bio(m_ssl, m_entree, m_sortie); // the session owns both from here
    SSL_set_accept_state(m_ssl);
}

CoucheTls::~CoucheTls()
{
    SSL_free(m_ssl);
}

QByteArray CoucheTls::sortie()
{
    QByteArray octets;
    char tampon[4096];
    int n;
    while ((n = BIO_read(m_sortie, tampon, int(sizeof tampon))) > 0)
        octets.append(tampon, n);
    return octets;
}

bool CoucheTls::poignee(const QByteArray &recu, QByteArray &aEnvoyer, bool &bFinie)
{
    if (!recu.isEmpty() && BIO_write(m_entree, recu.constData(), int(recu.size())) != recu.size())
        return false;
    const int rc = SSL_do_handshake(m_ssl);
    aEnvoyer = sortie();
    bFinie = rc == 1;
    if (rc == 1)
        return true;
    const int raison = SSL_get_error(m_ssl, rc);
    return raison == SSL_ERROR_WANT_READ || raison == SSL_ERROR_WANT_WRITE;
}

bool CoucheTls::dechiffre(const QByteArray &enregistrements, QByteArray &clair)
{
    if (BIO_write(m_entree, enregistrements.constData(), int(enregistrements.size())) != enregistrements.size())
        return false;
    char tampon[16384];
    for (;;) {
        const int n = SSL_read(m_ssl, tampon, int(sizeof tampon));
        if (n > 0) {
            clair.append(tampon, n);
            continue;
        }
        return SSL_get_error(m_ssl, n) == SSL_ERROR_WANT_READ;
    }
}

QByteArray CoucheTls::chiffre(const char *donnees, int lLongueur)
{
    if (lLongueur > 0 && SSL_write(m_ssl, donnees, lLongueur) != lLongueur)
        return QByteArray();
    return sortie();
}
