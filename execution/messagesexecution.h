#pragma once
#include <QMetaType>
#include <QString>
#include <QVector>

/// One line of the Messages tab, in the order the server sent it.
struct MessageExecution {
    enum Genre { Info, Erreur, Compte };
    Genre genre = Info;
    QString sTexte;
    int lLigneEditeur = 0;  ///< for an error: the editor line it points at; 0 when none
};
Q_DECLARE_METATYPE(MessageExecution)
Q_DECLARE_METATYPE(QVector<MessageExecution>)

/// A message of the server as the driver reports it.
struct MessageServeur {
    int lNumero = 0;   ///< 0 for PRINT and for the driver's own messages
    int lNiveau = 0;   ///< severity; 10 or less is information
    int lEtat = 0;
    int lLigne = 0;    ///< line within the batch, 1-based; 0 when unknown
    QString sEtatSql;  ///< SQLSTATE
    QString sTexte;    ///< without the driver's bracketed prefixes
};

/// Returns the Messages entry of a server message in a batch that starts on
/// lLigneDebutLot of the editor: the text alone for information (PRINT,
/// RAISERROR of severity 10 or less), "Msg n, Niveau s, État e, Ligne l" and
/// the text on the next line for an error.
MessageExecution MessagePour(const MessageServeur &m, int lLigneDebutLot);

/// Returns "(1 ligne affectée)" or "(N lignes affectées)".
MessageExecution MessageCompte(qint64 lLignes);
