#pragma once
#include "instructionsql.h"

#include <QVector>

/// Returns the statements of a batch as the server finds them: cut at
/// semicolons, at lines holding only GO, and where a statement begins at the
/// top level without a semicolon before it (SELECT 1 SELECT 2). A SELECT that
/// continues its statement (UNION SELECT, INSERT ... SELECT, CREATE VIEW ...
/// AS SELECT) stays in it. Empty statements are dropped.
QVector<InstructionSql> DecoupeLot(const QString &sLot);
