#include "demande.h"
#include "motcurseur.h"
#include "tentatives.h"

bool ModeSysteme(int lSysteme, int &lDernierShift)
{
    if (lSysteme == 0)
        return lDernierShift == 1;
    lDernierShift = lSysteme;
    return lSysteme == 1;
}

ActionPopup DecideAction(const ResultatProposition &resultat, GenreDemande genre, const QString &sPrefixe)
{
    if (!resultat.bLignes || resultat.lRecordCount < 1)
        return ActionPopup::Cacher;
    if (genre == GenreDemande::Frappe || resultat.lRecordCount > 1)
        return ActionPopup::Montrer;
    return resultat.lignes.constFirst().sNom == sPrefixe ? ActionPopup::Fermer : ActionPopup::Inserer;
}

int IndexSelection(const QStringList &noms, const QString &sPrefixe)
{
    for (int i = 0; i < noms.size(); ++i) {
        if (noms.at(i).compare(sPrefixe, Qt::CaseInsensitive) == 0)
            return i;
    }
    return 0;
}

bool MotTermine(const QString &sTexte, int lCaret, const QString &sNom)
{
    const MotCurseur mot = MotAuCurseur(sTexte, lCaret);
    if (mot.bDansLitteral)
        return false;
    const QString sMot = sTexte.mid(mot.lDebutPartie, mot.lFin - mot.lDebutPartie);
    return !sNom.isEmpty() && NomDeLaPartie(sMot).compare(sNom, Qt::CaseInsensitive) == 0;
}

Demande DemandeProposition(SourceCatalogue &source, const QString &sTexte, int lCaret, bool bSysteme,
                           GenreDemande genre)
{
    Demande demande;
    demande.contexte = AnalyseContexte(sTexte, lCaret, bSysteme);
    if (demande.contexte.bDansLitteral)
        return demande;
    if (!source.Ouvre()) {
        demande.action = ActionPopup::Cacher;
        return demande;
    }
    const QVector<Requetes> tentatives =
        Tentatives(demande.contexte, bSysteme, source.VersionMajeure(), sTexte, lCaret);
    demande.resultat = ExecuteProposition(source, tentatives, genre);
    demande.action = DecideAction(demande.resultat, genre, demande.contexte.sPrefixe);
    return demande;
}
