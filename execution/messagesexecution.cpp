#include "messagesexecution.h"

namespace {

bool EstInformation(const MessageServeur &m)
{
    if (m.lNiveau > 0)
        return m.lNiveau <= 10;
    // Without the severity the driver's class tells: 01xxx is a warning.
    return m.sEtatSql.startsWith(QLatin1String("01"));
}

} // namespace

MessageExecution MessagePour(const MessageServeur &m, int lLigneDebutLot)
{
    MessageExecution message;
    message.sTexte = m.sTexte;
    if (EstInformation(m))
        return message;
    message.genre = MessageExecution::Erreur;
    if (m.lNumero == 0)
        return message;  // the driver's own, such as a lost link: no server line to point at
    const int lLigneDansLot = qMax(1, m.lLigne);
    message.lLigneEditeur = lLigneDebutLot + lLigneDansLot - 1;
    message.sTexte = QStringLiteral("Msg %1, Niveau %2, État %3, Ligne %4\n%5")
                         .arg(m.lNumero)
                         .arg(m.lNiveau > 0 ? m.lNiveau : 16)
                         .arg(m.lEtat)
                         .arg(message.lLigneEditeur)
                         .arg(m.sTexte);
    return message;
}

MessageExecution MessageCompte(qint64 lLignes)
{
    MessageExecution message;
    message.genre = MessageExecution::Compte;
    message.sTexte = lLignes == 1 ? QStringLiteral("(1 ligne affectée)")
                                  : QStringLiteral("(%1 lignes affectées)").arg(lLignes);
    return message;
}
