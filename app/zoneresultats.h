#pragma once
#include "bloclignes.h"
#include "messagesexecution.h"

#include <QHash>
#include <QTabWidget>
#include <QTimer>

class GrilleResultats;
class ModeleResultats;
class QPlainTextEdit;
class QSplitter;

/// The area below the editors: one grid per result set, in order, and the
/// "Messages" tab. Messages are written in groups, so that thousands of
/// PRINTs cost a few repaints and not one each.
class ZoneResultats : public QTabWidget
{
    Q_OBJECT
public:
    explicit ZoneResultats(QWidget *parent = nullptr);

    /// Forgets the grids and the messages of the last run.
    void Vide();
    void NouveauJeu(const QVector<ColonneResultat> &colonnes);
    void AjouteBloc(const BlocPartage &bloc);
    void AjouteMessages(const QVector<MessageExecution> &messages);
    /// Writes the messages still waiting for the next group.
    void EcritMessages();

    QList<GrilleResultats *> Grilles() const { return m_grilles; }
    QString TexteMessages() const;
    QPlainTextEdit *Messages() const { return m_messages; }
    /// Shows the Messages tab when the run gave no grid.
    void MontreOngletUtile();

signals:
    /// A double click on an error: the editor line it points at.
    void LigneErreurChoisie(int lLigne);

protected:
    bool eventFilter(QObject *objet, QEvent *event) override;

private:
    QSplitter *m_jeux;
    QPlainTextEdit *m_messages;
    QList<GrilleResultats *> m_grilles;
    QVector<MessageExecution> m_enAttente;
    QTimer m_tmrMessages;
    QHash<int, int> m_lignesErreurs;  ///< message block -> editor line
};
