#pragma once
#include "bloclignes.h"
#include "decoupagelots.h"
#include "messagesexecution.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <mutex>
#include <sql.h>

class GardeAppel;
class InterrupteurConnexion;

/// What a run logs in with: the pickers' server, database and password.
struct ParametresSession {
    QString sServeur;
    QString sBase;
    QString sPWD;
};
Q_DECLARE_METATYPE(ParametresSession)

/// How a run ended.
struct FinExecution {
    bool bAnnulee = false;
    bool bSessionPerdue = false;  ///< the next run logs in again
    int lTransactions = 0;        ///< @@TRANCOUNT after the run
    qint64 lLignes = 0;           ///< rows of every result set
};
Q_DECLARE_METATYPE(FinExecution)

/// The query window's own session and the runs of the user's script on it.
/// It lives on a worker thread: its slots are called through queued
/// connections, its signals reach the window queued, in the order the
/// server sent what they carry. Annule() alone is called from another thread.
class SessionRequete : public QObject
{
    Q_OBJECT
public:
    explicit SessionRequete(QObject *parent = nullptr);
    ~SessionRequete() override;

    /// Sends the attention for the statement that runs (any thread). The run
    /// ends within a second even when the server no longer answers: the link
    /// is cut when the cancel is not acknowledged in time.
    void Annule();
    /// Forgets an earlier cancel before a new run is queued (any thread).
    void Rearme();

public slots:
    /// Runs the batches, each as many times as its count, on the session,
    /// logging in first when there is none or the server, database or
    /// password changed. Line numbers of errors are counted from lLigneDecalage.
    void Execute(const QVector<Lot> &lots, const ParametresSession &p, int lLigneDecalage);
    /// Commits (or rolls back) every open transaction of the session.
    void TermineTransactions(bool bValide);
    /// Logs the session off.
    void Ferme();

signals:
    void JeuCommence(const QVector<ColonneResultat> &colonnes);
    void LignesLues(const BlocPartage &bloc);
    void MessagesRecus(const QVector<MessageExecution> &messages);
    /// A USE in the script moved the session to another database.
    void BaseChangee(const QString &sBase);
    void ExecutionTerminee(const FinExecution &fin);

private:
    bool Ouvre(const ParametresSession &p);
    void FermeSession();
    bool ExecuteLot(const Lot &lot, int lLigneDebut, FinExecution &fin);
    /// Reads a result set into blocks; false when the link is gone.
    bool LitJeu(SQLHSTMT h, int lColonnes, int lLigneDebut, FinExecution &fin);
    /// Emits the messages of the last call on the statement (their number
    /// in *pNombre), the driver's own as errors when the call failed; false
    /// when they tell that the link is gone.
    bool TransmetMessages(SQLHSTMT h, int lLigneDebut, int *pNombre = nullptr, bool bEchec = false);
    void SuitBase();
    int Transactions();
    void EnvoieBloc(std::unique_ptr<BlocLignes> &bloc, int lColonnes);

    SQLHDBC m_hdbc = SQL_NULL_HDBC;
    ParametresSession m_p;
    QString m_sBaseCourante;
    bool m_bAnnoncerNouvelle = false;  ///< the last run lost the session: say so when logging in again

    std::mutex m_verrou;                 ///< guards what Annule() touches
    SQLHSTMT m_hstmt = SQL_NULL_HSTMT;
    bool m_bEnCours = false;
    std::unique_ptr<GardeAppel> m_gardeAnnulation;
    std::unique_ptr<InterrupteurConnexion> m_interrupteur;  ///< cuts a login the user cancels
    std::atomic<bool> m_bAnnule{false};
    QElapsedTimer m_depuisEnvoi;
};
