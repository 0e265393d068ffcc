#pragma once
#include <QString>

/// Writes one line to standard output and flushes it; safe from any thread.
void EcritLigne(const QString &sLigne);
/// Writes one line to standard error; safe from any thread.
void EcritErreur(const QString &sLigne);
