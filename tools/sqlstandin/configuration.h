#pragma once
#include "profil.h"

#include <QString>

/// What the pre-login answers about TLS.
enum class Chiffrement {
    Non,       ///< ENCRYPT_NOT_SUP: no TLS at all
    Connexion, ///< ENCRYPT_OFF: TLS for the login packet only (unless the client asks for more)
    Requis,    ///< ENCRYPT_REQ: TLS for the whole session
};

/// What the command line asks of the stand-in.
struct Configuration {
    QString dossierDonnees;      ///< --data: one SQLite file per database
    int portTcp = 0;             ///< --port (0 = any free port)
    QString motDePasse;          ///< --password of the login sa
    int portSsrp = 0;            ///< --ssrp-port (0 = no SSRP responder)
    QString instance = QStringLiteral("MSSQLSERVER"); ///< --instance
    bool graineDemo = false;     ///< --seed demo
    int grandesTables = 0;       ///< --seed-large TABLES,COLUMNS
    int grandesColonnes = 0;
    int delaiMs = 0;             ///< --delay-ms: wait before answering each SQL batch
    int couperApresLignes = -1;  ///< --drop-after-rows: -1 = never
    int gelApres = -1;           ///< --gel-apres: requests answered before the server hangs (-1 = never)
    bool chronometre = false;    ///< --timing: server-side time of each batch on stderr
    QString nomServeur;          ///< the server's own name (upper-cased host name)
    Profil profil = Profil::Sql2000;               ///< --profil 2000|2019
    Chiffrement chiffrement = Chiffrement::Non;    ///< --chiffrement non|connexion|requis
};
