#include "proposition.h"

namespace {

ResultatProposition Resultat(const std::optional<QVector<LigneProposition>> &lignes)
{
    ResultatProposition resultat;
    if (!lignes)
        return resultat;
    resultat.lignes = *lignes;
    resultat.lRecordCount = long(lignes->size());
    resultat.bLignes = !lignes->isEmpty();
    return resultat;
}

} // namespace

ResultatProposition ExecuteProposition(SourceCatalogue &source, const Requetes &r, GenreDemande genre)
{
    if (!source.Ouvre())
        return ResultatProposition();
    const std::optional<QVector<LigneProposition>> filtrees = source.Lignes(r.sRequeteFiltree);
    // Typing narrows the list; only a shortcut falls back to every name.
    if (!filtrees || !filtrees->isEmpty() || genre == GenreDemande::Frappe)
        return Resultat(filtrees);
    return Resultat(source.Lignes(r.sRequete));
}
