#pragma once
#include "configuration.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

/// What a LOGIN7 message carries that the stand-in uses.
struct DemandeLogin {
    uint32_t lVersionTds = 0;
    int lTaillePaquet = 4096;
    QString sMachine;
    QString sUtilisateur;
    QString sMotDePasse;
    QString sApplication;
    QString sServeur;
    QString sBase;
    bool bValide = false;
};

/// The ENCRYPTION byte of a pre-login.
namespace OctetChiffrement {
constexpr uint8_t Off = 0x00;     ///< ENCRYPT_OFF: the login only
constexpr uint8_t On = 0x01;      ///< ENCRYPT_ON: the whole session
constexpr uint8_t NonGere = 0x02; ///< ENCRYPT_NOT_SUP
constexpr uint8_t Requis = 0x03;  ///< ENCRYPT_REQ
}

/// What TLS a session gets.
enum class ModeTls { Aucun, Connexion, Session, Refus };

/// The server's answer to the client's ENCRYPTION byte, as MS-TDS's table
/// sets it, and the TLS that follows.
struct NegociationTls {
    uint8_t lReponse = OctetChiffrement::NonGere;
    ModeTls mode = ModeTls::Aucun;
};
NegociationTls NegocieChiffrement(Chiffrement serveur, uint8_t lClient);

/// Returns the ENCRYPTION byte of the client's pre-login (ENCRYPT_OFF when absent).
uint8_t ChiffrementClient(const QByteArray &contenu);

/// Returns the pre-login reply: the profile's version and that ENCRYPTION byte.
QByteArray ReponsePreLogin(uint8_t lChiffrement);

/// Returns the decoded LOGIN7 message (bValide false when it is malformed).
DemandeLogin DecodeLogin7(const QByteArray &contenu);

/// Returns the password as typed: each byte XOR 0xA5, then its two nibbles swapped back.
QString DecodeMotDePasse(const QByteArray &octets);
