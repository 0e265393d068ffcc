#include "proposition.h"

namespace {

ResultatProposition Resultat(QVector<LigneProposition> lignes)
{
    // The list is the caller's own (moved in): clearing owners copies nothing.
    // Rows of one owner share its text: it is compared once for all of them.
    QString sVu;
    bool bDbo = false;
    for (LigneProposition &ligne : lignes) {
        const QString &sProprietaire = ligne.sProprietaire;
        if (sProprietaire.constData() != sVu.constData() || sProprietaire.size() != sVu.size() || sVu.isNull()) {
            sVu = sProprietaire;
            bDbo = sVu.compare(QLatin1String("dbo"), Qt::CaseInsensitive) == 0;
        }
        if (bDbo)
            ligne.sProprietaire.clear();
    }
    ResultatProposition resultat;
    resultat.lRecordCount = long(lignes.size());
    resultat.bLignes = !lignes.isEmpty();
    resultat.lignes = std::move(lignes);
    return resultat;
}

} // namespace

ResultatProposition ExecuteProposition(SourceCatalogue &source, const QVector<Requetes> &tentatives,
                                       GenreDemande genre)
{
    for (const Requetes &r : tentatives) {
        std::optional<QVector<LigneProposition>> lignes = source.Lignes(r.sRequeteFiltree);
        // Typing narrows the list; only a shortcut falls back to every name.
        const bool bRepli = lignes && lignes->isEmpty() && genre == GenreDemande::Raccourci;
        if (bRepli)
            lignes = source.Lignes(r.sRequete);
        if (!lignes)
            return ResultatProposition();
        if (!lignes->isEmpty()) {
            ResultatProposition resultat = Resultat(std::move(*lignes));
            resultat.bNonFiltre = bRepli;
            return resultat;
        }
    }
    return ResultatProposition();
}
