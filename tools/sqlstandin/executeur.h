#pragma once
#include <QString>

struct EtatSession;

/// Runs one SQL batch of a session and writes its whole reply (results, errors,
/// DONE tokens). Honours --delay-ms and --drop-after-rows, and an attention
/// received while waiting.
void ExecuteLot(EtatSession &etat, const QString &sLot);
