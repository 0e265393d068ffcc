#pragma once
#include <QString>

struct EtatSession;

/// Runs one SQL batch of a session and writes its whole reply (results, errors,
/// DONE tokens). Honours --delay-ms and --drop-after-rows, and an attention
/// received while waiting.
void ExecuteLot(EtatSession &etat, const QString &sLot);

/// Runs the statements of an RPC (sp_prepexec, sp_execute, sp_executesql) and
/// writes their results with DONEINPROC, then the return status, the int
/// output parameter when lSortie is set (its ordinal, name and value), and DONEPROC.
struct SortieRpc {
    bool bPresente = false;
    int lOrdinal = 0;
    QString sNom;
    int lValeur = 0;
};
void ExecuteProcedure(EtatSession &etat, const QString &sInstructions, const SortieRpc &sortie);
