#pragma once
// What the query session reads from the driver: the messages of a call,
// the columns of a result set and their values as the grids show them.
#include "bloclignes.h"
#include "messagesexecution.h"

#include <QList>
#include <QVector>
#include <sql.h>

/// Returns the messages the last call on a handle left, with their
/// severity, state and line in the batch where the driver gives them.
QList<MessageServeur> LitMessages(SQLSMALLINT lType, SQLHANDLE h);

/// Returns the names of a result set's columns and how each is shown.
QVector<ColonneResultat> DecritColonnes(SQLHSTMT h, int lColonnes);

/// Appends a column's value of the current row to the block: dates as
/// yyyy-mm-dd hh:mm:ss.fff, binary as 0x..., everything else as the driver's
/// text, whole however long.
void LitValeur(SQLHSTMT h, SQLUSMALLINT lColonne, GenreColonne genre, BlocLignes &bloc);
