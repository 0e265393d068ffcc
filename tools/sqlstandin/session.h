#pragma once
#include "canaltds.h"
#include "configuration.h"
#include "fonctionssqlite.h"
#include "jetonstds.h"
#include "optionssession.h"

#include <QHash>
#include <QStringList>

struct sqlite3;
struct sqlite3_stmt;

/// What one client connection holds between its messages.
struct EtatSession {
    EtatSession(int descripteur, const Configuration &configuration)
        : config(configuration), canal(descripteur) {}
    ~EtatSession();

    const Configuration &config;
    CanalTds canal;
    EcrivainJetons jetons;
    sqlite3 *db = nullptr;          ///< the current database, master attached as "master"
    ContexteFonctions fonctions;    ///< sBaseCourante: the current database's own name
    OptionsSession options;         ///< SET NOCOUNT, SET ROWCOUNT
    QStringList basesJointes;       ///< other databases attached under their own names
    /// Prepared SELECTs by their T-SQL text: the completion sends the same few
    /// queries over and over. Emptied whenever the current database changes.
    QHash<QString, sqlite3_stmt *> requetesPreparees;

    /// Finalizes the prepared statements kept for reuse.
    void videRequetesPreparees();

    /// Makes the named database current (compared without regard to case).
    /// Returns false when no such database exists or its file cannot be opened.
    bool changeBase(const QString &sNom);
    /// Attaches another database for a three-part name; false when unknown.
    bool joindreBase(const QString &sNom);
};

/// One client, from pre-login to disconnection, on the calling thread.
class Session
{
public:
    Session(int descripteur, const Configuration &configuration);
    void deroule();

private:
    bool traiteLogin(const QByteArray &contenu);
    void refuseLogin(FluxReponse &flux, const QString &sUtilisateur);
    void traiteLot(const QByteArray &contenu);
    void traiteRpc(const QByteArray &contenu);
    void refuseRpc(const QString &sMessage, int lNumero);
    void repondSimplement(uint16_t lStatut);

    struct InstructionPreparee {
        QString sInstruction;
        QString sDeclarations;
    };

    EtatSession m_etat;
    bool m_authentifie = false;
    QHash<int, InstructionPreparee> m_preparees;
    int m_prochainePreparee = 1;
};
