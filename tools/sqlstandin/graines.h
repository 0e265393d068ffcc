#pragma once
#include <QString>

/// Creates the demo database Ventes (tables, a view, catalogue entries for a
/// procedure, a function and a trigger, a few hundred rows, the owner or
/// schema Compta and its tables) unless it exists; in the 2019 profile Ventes
/// is French_CI_AS, also holds Compta.clients and a Greek-named table, and the
/// case-sensitive database Entrepot comes beside it. Returns an empty text or the error.
QString SemeDemo(const QString &sDossier);

/// Creates the database Grande unless it exists: lTables tables holding
/// lColonnes columns in all, as catalogue rows only (sysobjects, syscolumns):
/// "large500" with col001..col500, "cible_01".."cible_50", then "t00001",
/// "t00002"...; the other columns spread evenly. Returns an empty text or the error.
QString SemeGrande(const QString &sDossier, int lTables, int lColonnes);
