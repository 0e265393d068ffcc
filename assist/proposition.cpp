#include "proposition.h"
#include "connexion.h"

namespace {

// Runs one step of the request; a failing step is skipped and the request goes on.
template <typename Etape>
bool Essaie(Etape etape)
{
    try {
        etape();
        return true;
    } catch (...) {
        return false;
    }
}

QString SansBlancsAutour(const QString &sTexte)
{
    int lDebut = 0;
    int lFin = sTexte.size();
    while (lDebut < lFin && sTexte.at(lDebut) == QLatin1Char(' '))
        ++lDebut;
    while (lFin > lDebut && sTexte.at(lFin - 1) == QLatin1Char(' '))
        --lFin;
    return sTexte.mid(lDebut, lFin - lDebut);
}

bool OuvreConnexion(Connexion &cn, const QString &sChaineConnexion)
{
    int lEtat = 0;
    Essaie([&] {
        if (cn.State() == 1)
            cn.Close();
    });
    Essaie([&] { cn.Open(sChaineConnexion, QString(), QString(), -1); });
    Essaie([&] { lEtat = cn.State(); });
    return lEtat == 1;
}

bool OuvreRequete(Recordset &rs, Connexion &cn, const QString &sRequete)
{
    int lEtat = 0;
    Essaie([&] { rs.Open(sRequete, &cn, 0, 1, -1); });
    Essaie([&] { lEtat = rs.State(); });
    return lEtat == 1;
}

// The filtered query first; with no row, the unfiltered one. Returns the row
// count of what is left open, or 0 when it cannot be read.
long OuvreAvecRepli(Recordset &rs, Connexion &cn, const Requetes &r, bool &bOuvert)
{
    bOuvert = OuvreRequete(rs, cn, r.sRequeteFiltree);
    if (!bOuvert)
        return 0;
    long lRecordCount = 0;
    Essaie([&] { lRecordCount = rs.RecordCount(); });
    if (lRecordCount != 0)
        return lRecordCount;
    Essaie([&] { rs.Close(); });
    bOuvert = OuvreRequete(rs, cn, r.sRequete);
    lRecordCount = 0;
    if (bOuvert)
        Essaie([&] { lRecordCount = rs.RecordCount(); });
    return lRecordCount;
}

void LitLignes(Recordset &rs, QVector<LigneProposition> &lignes)
{
    for (;;) {
        bool bFin = true;
        if (!Essaie([&] { bFin = rs.Eof(); }) || bFin)
            return;
        LigneProposition ligne;
        if (Essaie([&] {
                ligne.sNom = rs.Fields(QStringLiteral("name"));
                ligne.sCleIcone = SansBlancsAutour(rs.Fields(QStringLiteral("Col")));
            }))
            lignes.append(ligne);
        // A cursor that cannot move on would read the same row forever.
        if (!Essaie([&] { rs.MoveNext(); }))
            return;
    }
}

} // namespace

ResultatProposition ExecuteProposition(Connexion &cn, const QString &sChaineConnexion,
                                       const Requetes &r)
{
    ResultatProposition resultat;
    if (!OuvreConnexion(cn, sChaineConnexion))
        return resultat;

    Recordset rs;
    bool bOuvert = false;
    resultat.lRecordCount = OuvreAvecRepli(rs, cn, r, bOuvert);
    if (bOuvert && resultat.lRecordCount >= 1)
        LitLignes(rs, resultat.lignes);
    resultat.bLignes = !resultat.lignes.isEmpty();
    Essaie([&] { rs.Close(); });
    return resultat;
}
