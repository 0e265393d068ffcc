#pragma once
#include "contexte.h"
#include <QString>

/// The two catalogue queries of one attempt: the unfiltered one and the one
/// narrowed by the typed prefix.
struct Requetes {
    QString sRequete;
    QString sRequeteFiltree;
};

/// A text as an N'...' literal, its quotes doubled.
QString Litteral(const QString &sTexte);
/// A name between brackets, a "]" inside doubled.
QString Crochets(const QString &sNom);

/// True for a server of SQL Server 2005 or later (major version 9 and up),
/// where sysobjects.uid is a schema and the system tables are views of "sys";
/// an unknown version (0) is taken as SQL Server 2000.
bool AvecSchemas(int lVersionMajeure);

/// The unfiltered and filtered catalogue queries for a context: tables and
/// views (with their owner), the system kinds (names under one collation),
/// or the columns of sObjet. Texts reach the server as N'...' literals with
/// their quotes doubled; the prefix's LIKE wildcards match literally.
Requetes ConstruitRequetes(const Contexte &contexte, bool bSysteme, int lVersionMajeure = 0);

/// The columns of an object of another database, read in that database's
/// own catalogue: sObjet is the three-part name as written.
Requetes RequetesColonnesDansBase(const QString &sBase, const QString &sObjet, const QString &sPrefixe);

/// The tables and views of a schema (an owner before 2005) of the current database.
Requetes RequetesTablesDuSchema(const QString &sSchema, const QString &sPrefixe, int lVersionMajeure);

/// The tables and views of a schema of another database (dbo when sSchema is empty).
Requetes RequetesTablesDeLaBase(const QString &sBase, const QString &sSchema, const QString &sPrefixe,
                                int lVersionMajeure);
