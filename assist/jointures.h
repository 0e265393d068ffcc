#pragma once
#include "motcurseur.h"
#include "sourcecatalogue.h"

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

/// A table a statement names: the object as written ("clients",
/// "[lignes de commande]", "Ventes.Compta.factures") and its alias ("" when
/// none). bDuScript for a table the script itself makes (CTE, derived table,
/// temporary table, table variable): it has no keys.
struct TableDeJointure {
    QString sObjet;
    QString sAlias;
    bool bDuScript = false;

    /// How the statement names it in a condition: the alias, or the object as written.
    QString Qualifiant() const { return sAlias.isEmpty() ? sObjet : sAlias; }
};

/// The caret stands right after the ON of a join, or after ON and the start
/// of a name: the table that join names, as written. The text is read from
/// lDepart (the start of the statement when known); nothing inside a
/// literal or a comment, nor after a dotted prefix.
std::optional<TableDeJointure> JointureAuCurseur(const QString &sTexte, int lCaret, int lDepart = 0);
/// The same from the word at the caret already read (the pieces are read from lDepart on).
std::optional<TableDeJointure> JointureAuCurseur(const QString &sTexte, const MotCurseur &mot, int lDepart);

/// The one catalogue query that reads the foreign keys between the tables of
/// a statement, for a server of that major version (sysforeignkeys before
/// 2005, sys.foreign_key_columns after): a table of another database is
/// read in that database's catalogue. One row a column of a key: name is the
/// referencing column, Proprietaire the referenced one, Col
/// "constraint column-number referencing-index referenced-index" with the
/// indexes into tables. Empty when no table can have keys.
QString RequeteClesEtrangeres(const QVector<TableDeJointure> &tables, int lVersionMajeure);

/// One foreign key between two tables of the statement (indexes into its
/// tables), its column pairs (referencing, referenced) in the key's order.
struct CleEtrangere {
    int iReferencante = -1;
    int iReferencee = -1;
    QVector<QPair<QString, QString>> colonnes;
};

/// The keys that the rows of RequeteClesEtrangeres give, in constraint order.
QVector<CleEtrangere> ClesDesLignes(const QVector<LigneProposition> &lignes);

/// The conditions the keys give between the table iJointe and each table
/// named before it, in both directions, nearest table last as the statement
/// names them: the joined table's side first, a key of several columns
/// joined by AND in its column order ("c.id = o.client_id").
QStringList ConditionsDeJointure(const QVector<TableDeJointure> &tables, int iJointe,
                                 const QVector<CleEtrangere> &cles);

/// The icon key of the proposed conditions.
inline const QString &CleIconeJointure()
{
    static const QString sCle = QStringLiteral("jointures");
    return sCle;
}

/// Where the table a join names stands among the statement's tables: the
/// last one with that object and alias (ignoring case); -1 when none.
int IndexDeLaJointure(const QVector<TableDeJointure> &tables, const TableDeJointure &jointe);

/// The conditions for the table iJointe as proposals under the icon key
/// CleIconeJointure(), those that start with the typed prefix (ignoring
/// case), read on the open session of a server of that major version; none
/// when the server refuses the query.
QVector<LigneProposition> PropositionsDeJointure(SourceCatalogue &source, const QVector<TableDeJointure> &tables,
                                                 int iJointe, int lVersionMajeure, const QString &sPrefixe);
