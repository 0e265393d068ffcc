#pragma once
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

/// Returns the pre-login reply: version, and encryption not supported (0x02)
/// so that the client never starts TLS.
QByteArray ReponsePreLogin();

/// Returns the decoded LOGIN7 message (bValide false when it is malformed).
DemandeLogin DecodeLogin7(const QByteArray &contenu);

/// Returns the password as typed: each byte XOR 0xA5, then its two nibbles swapped back.
QString DecodeMotDePasse(const QByteArray &octets);
