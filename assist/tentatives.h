#pragma once
#include "contexte.h"
#include "requetes.h"

#include <QVector>

/// The catalogue queries a request tries in turn, until one gives names.
/// Outside column mode, and for an object the catalogue can name, they are
/// the plain queries of the context. After a dot they also read the word
/// before it as an alias of the statement (which the server resolves first),
/// a schema ("Compta."), a database and schema ("Ventes.dbo.", "Ventes.."),
/// or an object of another database ("master.dbo.sysobjects.").
QVector<Requetes> Tentatives(const Contexte &contexte, bool bSysteme, int lVersionMajeure, const QString &sTexte,
                             int lCaret);

struct LectureScript;
/// The same, with the aliases of a reading of the script already made.
QVector<Requetes> Tentatives(const Contexte &contexte, bool bSysteme, int lVersionMajeure,
                             const LectureScript &lecture);
