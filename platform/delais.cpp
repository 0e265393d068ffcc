#include "delais.h"

QDeadlineTimer EcheanceBornee(qint64 lDelaiMs, const QDeadlineTimer &limite)
{
    if (lDelaiMs <= 0)
        return limite;
    const QDeadlineTimer propre(lDelaiMs);
    return propre < limite ? propre : limite;
}

int DelaiPiloteS(int lDelaiS, const QDeadlineTimer &limite, bool bArrondiSuperieur)
{
    if (limite.isForever())
        return qMax(0, lDelaiS);
    const qint64 lResteMs = qMax<qint64>(0, limite.remainingTime());
    const qint64 lResteS = qMax<qint64>(1, bArrondiSuperieur ? (lResteMs + 999) / 1000 : lResteMs / 1000);
    return int(lDelaiS > 0 ? qMin<qint64>(lDelaiS, lResteS) : lResteS);
}
