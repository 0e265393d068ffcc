#pragma once
#include "erreurssql.h"

#include <optional>

struct InstructionSql;

/// The SET options a session keeps from one batch to the next.
struct OptionsSession {
    bool bSansCompte = false; ///< SET NOCOUNT ON: no row counts in the DONE tokens
    qint64 lLignesMax = 0;    ///< SET ROWCOUNT n: results stop after n rows (0: no limit)
};

/// Applies SET NOCOUNT ON|OFF and SET ROWCOUNT n; the other SET options are
/// taken and change nothing here.
std::optional<ErreurSql> AppliqueSet(const InstructionSql &m, OptionsSession &options);
