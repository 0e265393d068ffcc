#include "requetes.h"

namespace {

const QString kUnion = QStringLiteral(" UNION ALL ");

// The typed text reaches the server inside '...' literals: a quote must not end
// the literal early.
QString DoubleApostrophes(const QString &sTexte)
{
    QString sResultat = sTexte;
    return sResultat.replace(QLatin1Char('\''), QStringLiteral("''"));
}

// A prefix matches literally: LIKE's own wildcards are put between brackets.
QString PrefixeLitteral(const QString &sPrefixe)
{
    QString sResultat;
    sResultat.reserve(sPrefixe.size() + 8);
    for (const QChar ch : sPrefixe) {
        if (ch == QLatin1Char('%') || ch == QLatin1Char('_') || ch == QLatin1Char('['))
            sResultat += QLatin1Char('[') + ch + QLatin1Char(']');
        else
            sResultat += ch;
    }
    return DoubleApostrophes(sResultat);
}

struct Sorte {
    QString sSelect;
    QString sFiltre;
};

Sorte SorteDuBit(long lBit, const QString &sObjet, bool bSysteme)
{
    switch (lBit) {
    case 1:
        return {QStringLiteral("SELECT srvname AS name, 'serveurs' AS Col FROM master.dbo.sysservers "),
                QStringLiteral("WHERE srvname LIKE '")};
    case 2:
        return {QStringLiteral("SELECT name, 'bases' AS Col FROM master.dbo.sysdatabases "),
                QStringLiteral("WHERE name LIKE '")};
    case 4:
        return {QStringLiteral("SELECT name, 'colonnes' AS Col FROM syscolumns WHERE ID = OBJECT_ID('")
                    + DoubleApostrophes(sObjet) + QStringLiteral("') "),
                QStringLiteral("AND name LIKE '")};
    default:
        return {QStringLiteral("SELECT name, type AS Col FROM sysobjects WHERE type IN (")
                    + (bSysteme ? QStringLiteral("'S'") : QStringLiteral("'U','V'"))
                    + QStringLiteral(") "),
                QStringLiteral("AND name LIKE '")};
    }
}

void AjoutePiece(QString &sRequete, const QString &sPiece)
{
    if (!sRequete.isEmpty())
        sRequete += kUnion;
    sRequete += sPiece;
}

} // namespace

Requetes ConstruitRequetes(const Contexte &contexte, bool bSysteme)
{
    Requetes r;
    const QString sPrefixe = PrefixeLitteral(contexte.sPrefixe);
    for (const long lBit : {1L, 2L, 4L, 8L}) {
        if ((contexte.lTypes & lBit) == 0)
            continue;
        const Sorte sorte = SorteDuBit(lBit, contexte.sObjet, bSysteme);
        AjoutePiece(r.sRequete, sorte.sSelect);
        AjoutePiece(r.sRequeteFiltree, sorte.sSelect + sorte.sFiltre + sPrefixe + QStringLiteral("%' "));
    }
    if (!r.sRequeteFiltree.isEmpty()) {
        r.sRequete += QStringLiteral("ORDER BY name");
        r.sRequeteFiltree += QStringLiteral("ORDER BY name");
    }
    return r;
}
