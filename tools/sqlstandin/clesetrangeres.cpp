#include "clesetrangeres.h"
#include "requetesqlite.h"

#include "catalogue.h"
#include "cataloguesys.h"

#include <QList>
#include <algorithm>
#include <sqlite3.h>

namespace {
QString nomSqlite(const QString &s)
{
    return QLatin1Char('"') + QString(s).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

using Requete = RequeteSqlite;

// One key as SQLite keeps it: the referenced table as stored, then column pairs.
struct CleDeclaree {
    QString sTableReferencee;
    QList<QPair<QString, QString>> colonnes;
};

QList<CleDeclaree> clesDeclarees(sqlite3 *db, const QString &sSchema, const QString &sNomStocke)
{
    QList<CleDeclaree> cles;
    Requete r(db, QStringLiteral("PRAGMA %1.foreign_key_list(%2)").arg(nomSqlite(sSchema), nomSqlite(sNomStocke)));
    int lCourante = -1;
    while (r.st && sqlite3_step(r.st) == SQLITE_ROW) {
        if (sqlite3_column_int(r.st, 0) != lCourante) {
            lCourante = sqlite3_column_int(r.st, 0);
            cles.append({r.texte(2), {}});
        }
        cles.last().colonnes.append({r.texte(3), r.nul(4) ? QString() : r.texte(4)});
    }
    // SQLite lists a key's columns in declaration order (seq), keys from the last declared.
    std::reverse(cles.begin(), cles.end());
    return cles;
}

QString nomStocke(sqlite3 *db, const QString &sSchema, const QString &sNom)
{
    Requete r(db, QStringLiteral("SELECT name FROM %1.sqlite_master WHERE type = 'table' AND name = ?1 COLLATE CI")
                      .arg(nomSqlite(sSchema)));
    if (!r.st)
        return QString();
    r.lie(1, sNom);
    return sqlite3_step(r.st) == SQLITE_ROW ? r.texte(0) : QString();
}

int idTable(sqlite3 *db, const QString &sSchema, const QString &sStocke)
{
    const Proprietaire p = ProprietaireDe(db, sSchema, sStocke);
    Requete r(db, QStringLiteral("SELECT id FROM %1.sysobjects WHERE name = ?1 AND uid = ?2 AND type = 'U '")
                      .arg(nomSqlite(sSchema)));
    if (!r.st)
        return 0;
    r.lie(1, p.sNomObjet);
    r.lie(2, p.lUid);
    return sqlite3_step(r.st) == SQLITE_ROW ? sqlite3_column_int(r.st, 0) : 0;
}

int colid(sqlite3 *db, const QString &sSchema, int lTable, const QString &sColonne)
{
    Requete r(db, QStringLiteral("SELECT colid FROM %1.syscolumns WHERE id = ?1 AND name = ?2 COLLATE CI")
                      .arg(nomSqlite(sSchema)));
    if (!r.st)
        return 0;
    r.lie(1, lTable);
    r.lie(2, sColonne);
    return sqlite3_step(r.st) == SQLITE_ROW ? sqlite3_column_int(r.st, 0) : 0;
}

// A key written without its referenced columns points at the primary key.
QStringList clePrimaire(sqlite3 *db, const QString &sSchema, const QString &sStocke)
{
    QList<QPair<int, QString>> rangs;
    Requete r(db, QStringLiteral("PRAGMA %1.table_info(%2)").arg(nomSqlite(sSchema), nomSqlite(sStocke)));
    while (r.st && sqlite3_step(r.st) == SQLITE_ROW)
        if (sqlite3_column_int(r.st, 5) > 0)
            rangs.append({sqlite3_column_int(r.st, 5), r.texte(1)});
    std::sort(rangs.begin(), rangs.end());
    QStringList noms;
    for (const auto &rang : std::as_const(rangs))
        noms << rang.second;
    return noms;
}

// SQL Server names an unnamed key FK__table__column__id (table and column cut short).
QString nomContrainte(const QString &sTable, const QString &sColonne, int lId)
{
    return QStringLiteral("FK__%1__%2__%3")
        .arg(sTable.left(9), sColonne.left(5), QString::number(uint(lId), 16).toUpper());
}

QString inscritContrainte(sqlite3 *db, const QString &sSchema, int lTable, int lId, const QString &sNom)
{
    Requete r(db, QStringLiteral("INSERT INTO %1.sysobjects (name, id, xtype, uid, info, status, base_schema_ver, "
                                 "replinfo, parent_obj, crdate, ftcatid, schema_ver, stats_schema_ver, type, "
                                 "userstat, sysstat, indexdel, refdate, version, deltrig, instrig, updtrig, seltrig, "
                                 "category, cache) SELECT ?1, ?2, 'F ', uid, 0, 0, 0, 0, id, crdate, 0, 0, 0, 'F ', "
                                 "0, 0, 0, crdate, 0, 0, 0, 0, 0, 0, 0 FROM %1.sysobjects WHERE id = ?3")
                      .arg(nomSqlite(sSchema)));
    if (!r.st)
        return QString::fromUtf8(sqlite3_errmsg(db));
    r.lie(1, sNom);
    r.lie(2, lId);
    r.lie(3, lTable);
    return sqlite3_step(r.st) == SQLITE_DONE ? QString() : QString::fromUtf8(sqlite3_errmsg(db));
}

QString inscritColonneCle(sqlite3 *db, const QString &sSchema, const int (&valeurs)[6])
{
    Requete r(db, QStringLiteral("INSERT INTO %1.sysforeignkeys (constid, fkeyid, rkeyid, fkey, rkey, keyno) "
                                 "VALUES (?1, ?2, ?3, ?4, ?5, ?6)").arg(nomSqlite(sSchema)));
    if (!r.st)
        return QString::fromUtf8(sqlite3_errmsg(db));
    for (int i = 0; i < 6; ++i)
        r.lie(i + 1, valeurs[i]);
    return sqlite3_step(r.st) == SQLITE_DONE ? QString() : QString::fromUtf8(sqlite3_errmsg(db));
}

QString inscritCle(sqlite3 *db, const QString &sSchema, const QString &sNomStocke, int lId, const CleDeclaree &cle)
{
    const QString sReferencee = nomStocke(db, sSchema, cle.sTableReferencee);
    const int lReferencee = sReferencee.isEmpty() ? 0 : idTable(db, sSchema, sReferencee);
    if (lReferencee == 0)
        return QString(); // a key to a table the catalogue does not know is left out, as SQLite does not check it
    const QStringList primaire = clePrimaire(db, sSchema, sReferencee);
    const int lContrainte = ProchainIdObjet(db, sSchema);
    QString erreur = inscritContrainte(db, sSchema, lId, lContrainte,
                                       nomContrainte(ProprietaireDe(db, sSchema, sNomStocke).sNomObjet,
                                                     cle.colonnes.value(0).first, lContrainte));
    for (int k = 0; k < cle.colonnes.size() && erreur.isEmpty(); ++k) {
        const QString sVers = cle.colonnes.at(k).second.isEmpty() ? primaire.value(k) : cle.colonnes.at(k).second;
        const int valeurs[6] = {lContrainte, lId, lReferencee, colid(db, sSchema, lId, cle.colonnes.at(k).first),
                                colid(db, sSchema, lReferencee, sVers), k + 1};
        erreur = inscritColonneCle(db, sSchema, valeurs);
    }
    return erreur;
}
}

QString InscritClesEtrangeres(sqlite3 *db, const QString &sSchema, const QString &sNomStocke, int lId)
{
    for (const CleDeclaree &cle : clesDeclarees(db, sSchema, sNomStocke)) {
        const QString erreur = inscritCle(db, sSchema, sNomStocke, lId, cle);
        if (!erreur.isEmpty())
            return erreur;
    }
    return QString();
}

QString OublieClesEtrangeres(sqlite3 *db, const QString &sSchema, int lId)
{
    return Execute(db, QStringLiteral("DELETE FROM %1.sysforeignkeys WHERE fkeyid = %2;"
                                      "DELETE FROM %1.sysobjects WHERE type = 'F ' AND parent_obj = %2")
                           .arg(nomSqlite(sSchema)).arg(lId));
}
