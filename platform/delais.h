#pragma once
#include <QDeadlineTimer>

/// Time a server has to acknowledge a cancel: the one the driver sends when
/// a statement's own timeout expires, or the one that frees a statement with
/// unread rows. A session still silent after it is cut off and dropped.
constexpr int kDelaiAccuseMs = 700;

/// Returns the deadline of a wait of lDelaiMs that must also end by the
/// limit; with lDelaiMs 0 or less, the limit alone.
QDeadlineTimer EcheanceBornee(qint64 lDelaiMs, const QDeadlineTimer &limite);

/// Returns the driver's timeout, in the whole seconds it counts in, for a
/// wait of lDelaiS seconds (0: none) that must also end by the limit: the
/// time left rounded down, or up with bArrondiSuperieur, and never below one
/// second, since 0 would mean no timeout at all.
int DelaiPiloteS(int lDelaiS, const QDeadlineTimer &limite, bool bArrondiSuperieur);
