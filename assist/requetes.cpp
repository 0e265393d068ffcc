#include "requetes.h"

// The typed text reaches the server inside N'...' literals: Unicode, so a
// Greek or Cyrillic name stays what it is, and a quote must not end the
// literal early.
QString Litteral(const QString &sTexte)
{
    QString sDouble = sTexte;
    return QStringLiteral("N'") + sDouble.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

QString Crochets(const QString &sNom)
{
    QString sInterieur = sNom;
    return QLatin1Char('[') + sInterieur.replace(QLatin1Char(']'), QStringLiteral("]]")) + QLatin1Char(']');
}

namespace {

const QString kUnion = QStringLiteral(" UNION ALL ");
const QString kTri = QStringLiteral("ORDER BY name");

// A prefix matches literally: LIKE's own wildcards are put between brackets.
QString MotifDuPrefixe(const QString &sPrefixe)
{
    QString sMotif;
    sMotif.reserve(sPrefixe.size() + 8);
    for (const QChar ch : sPrefixe) {
        if (ch == QLatin1Char('%') || ch == QLatin1Char('_') || ch == QLatin1Char('['))
            sMotif += QLatin1Char('[') + ch + QLatin1Char(']');
        else
            sMotif += ch;
    }
    return Litteral(sMotif + QLatin1Char('%'));
}

struct Sorte {
    QString sSelect;   ///< ends with a blank, a WHERE clause included when it has one
    QString sFiltre;   ///< "WHERE x LIKE " or "AND x LIKE "
};

// Names of master and of the current database may be in two collations:
// each piece of the union gives its names in the current database's one.
Sorte SorteDuBit(long lBit, const QString &sObjet, bool bSysteme, bool bSchemas)
{
    switch (lBit) {
    case 1:
        return {QStringLiteral("SELECT srvname COLLATE DATABASE_DEFAULT AS name, 'serveurs' AS Col, "
                               "N'' AS Proprietaire FROM master.dbo.sysservers "),
                QStringLiteral("WHERE srvname LIKE ")};
    case 2:
        return {QStringLiteral("SELECT name COLLATE DATABASE_DEFAULT, 'bases' AS Col, N'' "
                               "FROM master.dbo.sysdatabases "),
                QStringLiteral("WHERE name LIKE ")};
    case 4:
        return {QStringLiteral("SELECT name, 'colonnes' AS Col FROM syscolumns WHERE id = OBJECT_ID(")
                    + Litteral(sObjet) + QStringLiteral(") "),
                QStringLiteral("AND name LIKE ")};
    default:
        break;
    }
    // From 2005 on the system tables are internal; the system views are what
    // a user can query.
    if (bSysteme && bSchemas)
        return {QStringLiteral("SELECT name COLLATE DATABASE_DEFAULT, 'S' AS Col, "
                               "SCHEMA_NAME(schema_id) COLLATE DATABASE_DEFAULT FROM sys.system_views "),
                QStringLiteral("WHERE name LIKE ")};
    if (bSysteme)
        return {QStringLiteral("SELECT name COLLATE DATABASE_DEFAULT, type AS Col, N'' FROM sysobjects "
                               "WHERE type IN ('S') "),
                QStringLiteral("AND name LIKE ")};
    return {QStringLiteral("SELECT name, type AS Col, ") + (bSchemas ? QStringLiteral("SCHEMA_NAME") : QStringLiteral("USER_NAME"))
                + QStringLiteral("(uid) AS Proprietaire FROM sysobjects WHERE type IN ('U','V') "),
            QStringLiteral("AND name LIKE ")};
}

void AjoutePiece(QString &sRequete, const QString &sPiece)
{
    if (!sRequete.isEmpty())
        sRequete += kUnion;
    sRequete += sPiece;
}

Requetes Termine(Requetes r)
{
    if (!r.sRequeteFiltree.isEmpty()) {
        r.sRequete += kTri;
        r.sRequeteFiltree += kTri;
    }
    return r;
}

Requetes DeuxRequetes(const QString &sSelect, const QString &sFiltre, const QString &sPrefixe)
{
    return Termine({sSelect, sSelect + sFiltre + MotifDuPrefixe(sPrefixe) + QLatin1Char(' ')});
}

// Tables and views whose uid is that schema's (or owner's) in a catalogue.
QString SelectTablesDe(const QString &sCatalogue, const QString &sCondition)
{
    return QStringLiteral("SELECT name, type AS Col, N'' AS Proprietaire FROM ") + sCatalogue
        + QStringLiteral("sysobjects WHERE type IN ('U','V') AND ") + sCondition + QLatin1Char(' ');
}

} // namespace

bool AvecSchemas(int lVersionMajeure)
{
    return lVersionMajeure >= 9;
}

Requetes ConstruitRequetes(const Contexte &contexte, bool bSysteme, int lVersionMajeure)
{
    Requetes r;
    const QString sMotif = MotifDuPrefixe(contexte.sPrefixe);
    for (const long lBit : {1L, 2L, 4L, 8L}) {
        if ((contexte.lTypes & lBit) == 0)
            continue;
        const Sorte sorte = SorteDuBit(lBit, contexte.sObjet, bSysteme, AvecSchemas(lVersionMajeure));
        AjoutePiece(r.sRequete, sorte.sSelect);
        AjoutePiece(r.sRequeteFiltree, sorte.sSelect + sorte.sFiltre + sMotif + QLatin1Char(' '));
    }
    return Termine(r);
}

Requetes RequetesColonnesDansBase(const QString &sBase, const QString &sObjet, const QString &sPrefixe)
{
    return DeuxRequetes(QStringLiteral("SELECT name, 'colonnes' AS Col FROM ") + Crochets(sBase)
                            + QStringLiteral(".dbo.syscolumns WHERE id = OBJECT_ID(") + Litteral(sObjet)
                            + QStringLiteral(") "),
                        QStringLiteral("AND name LIKE "), sPrefixe);
}

Requetes RequetesTablesDuSchema(const QString &sSchema, const QString &sPrefixe, int lVersionMajeure)
{
    const QString sFonction = AvecSchemas(lVersionMajeure) ? QStringLiteral("SCHEMA_ID(") : QStringLiteral("USER_ID(");
    return DeuxRequetes(SelectTablesDe(QString(), QStringLiteral("uid = ") + sFonction + Litteral(sSchema)
                                                      + QLatin1Char(')')),
                        QStringLiteral("AND name LIKE "), sPrefixe);
}

Requetes RequetesTablesDeLaBase(const QString &sBase, const QString &sSchema, const QString &sPrefixe,
                                int lVersionMajeure)
{
    const QString sBaseEntreCrochets = Crochets(sBase);
    const QString sNomSchema = Litteral(sSchema.isEmpty() ? QStringLiteral("dbo") : sSchema);
    const QString sSchemas = AvecSchemas(lVersionMajeure)
        ? QStringLiteral("(SELECT schema_id FROM ") + sBaseEntreCrochets + QStringLiteral(".sys.schemas WHERE name = ")
        : QStringLiteral("(SELECT uid FROM ") + sBaseEntreCrochets + QStringLiteral(".dbo.sysusers WHERE name = ");
    return DeuxRequetes(SelectTablesDe(sBaseEntreCrochets + QStringLiteral(".dbo."),
                                       QStringLiteral("uid IN ") + sSchemas + sNomSchema + QLatin1Char(')')),
                        QStringLiteral("AND name LIKE "), sPrefixe);
}
