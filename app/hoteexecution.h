#pragma once
#include "sessionrequete.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <QTimer>

class EditeurRiche;
class QLabel;
class QMainWindow;
class QPushButton;
class QSplitter;
class ZoneResultats;
struct ControlesBrenlor;

/// "Exécuter": runs the focused editor's selection, or its whole text, on the
/// window's own query session (on a worker thread), and shows what comes
/// back in the results area below the editors. During a run the button turns
/// into "Annuler". The window only constructs it.
class HoteExecution : public QObject
{
    Q_OBJECT
public:
    HoteExecution(QMainWindow *fenetre, ControlesBrenlor &controles);
    ~HoteExecution() override;

    /// Runs the script of the editor that has (or last had) the focus.
    void Execute();
    /// Sends the attention for the run in progress.
    void Annule();
    bool EnCours() const { return m_bEnCours; }
    /// Open transactions of the session after the last run.
    int Transactions() const { return m_lTransactions; }

    QPushButton *btnExecuter = nullptr;
    ZoneResultats *Zone() const { return m_zone; }

signals:
    /// A run ended (after its last message was shown).
    void ExecutionFinie();

protected:
    bool eventFilter(QObject *objet, QEvent *event) override;

private:
    void CreeZone();
    /// Shows the results area with a part of the height, the editors keeping the rest.
    void MontreZone();
    void CacheZone();
    void CreeRaccourcis();
    void Relie();
    void Termine(const FinExecution &fin);
    void AfficheEtat();
    void SuitBase(const QString &sBase);
    /// Asks what to do with open transactions before the session goes;
    /// false when the user cancels.
    bool RegleTransactions();
    void PickerChange(bool bServeur);
    void BasculeFocus();
    void PlaceCurseur(int lLigne);

    QMainWindow *m_fenetre;
    ControlesBrenlor &m_c;
    QSplitter *m_separateur = nullptr;
    ZoneResultats *m_zone = nullptr;
    QLabel *m_lblEtat = nullptr;
    QPointer<EditeurRiche> m_editeur;          ///< the one that last had the focus
    QPointer<EditeurRiche> m_editeurExecute;   ///< the one whose text runs
    QThread m_fil;
    SessionRequete *m_session = nullptr;
    bool m_bEnCours = false;
    bool m_bAnnulee = false;
    int m_lTransactions = 0;
    qint64 m_lLignes = 0;
    QString m_sEtat;
    QElapsedTimer m_chrono;
    qint64 m_lDureeMs = 0;
    QTimer m_tmrEtat;
    QString m_sServeurSession;
    QString m_sBaseSession;
};
