#include "demande.h"
#include "jointurescript.h"
#include "lecturescript.h"
#include "motcurseur.h"
#include "nomsduscript.h"
#include "tentatives.h"

#include <QSet>

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

namespace {

template<typename Liste, typename Nom>
int PremierEgal(const Liste &liste, const QString &sPrefixe, Nom nom)
{
    for (int i = 0; i < liste.size(); ++i) {
        if (nom(liste.at(i)).compare(sPrefixe, Qt::CaseInsensitive) == 0)
            return i;
    }
    return 0;
}

} // namespace

int IndexSelection(const QStringList &noms, const QString &sPrefixe)
{
    return PremierEgal(noms, sPrefixe, [](const QString &s) -> const QString & { return s; });
}

int IndexSelection(const QVector<LigneProposition> &lignes, const QString &sPrefixe)
{
    // A list of a hundred thousand names is searched where it lies.
    return PremierEgal(lignes, sPrefixe, [](const LigneProposition &l) -> const QString & { return l.sNom; });
}

bool MotTermine(const QString &sTexte, int lCaret, const QString &sNom)
{
    const MotCurseur mot = MotAuCurseur(sTexte, lCaret);
    if (mot.bDansLitteral)
        return false;
    const QString sMot = sTexte.mid(mot.lDebutPartie, mot.lFin - mot.lDebutPartie);
    return !sNom.isEmpty() && NomDeLaPartie(sMot).compare(sNom, Qt::CaseInsensitive) == 0;
}

namespace {

// The script's names first, then the catalogue's, a catalogue name equal to
// one of the script's left out: the script's wins, as on the server. A
// shortcut that finds nothing under the prefix lists every name.
ResultatProposition Fusionne(const NomsDuScript &script, ResultatProposition catalogue, GenreDemande genre)
{
    const bool bTout = script.filtrees.isEmpty() && genre == GenreDemande::Raccourci
        && (catalogue.lignes.isEmpty() || catalogue.bNonFiltre);
    QVector<LigneProposition> lignes = bTout ? script.toutes : script.filtrees;
    if (!lignes.isEmpty()) {
        QSet<QString> noms;
        for (const LigneProposition &ligne : lignes)
            noms.insert(ligne.sNom.toLower());
        for (LigneProposition &ligne : catalogue.lignes) {
            if (!noms.contains(ligne.Affichage().toLower()))
                lignes.append(std::move(ligne));
        }
        catalogue.lignes = std::move(lignes);
    }
    catalogue.lRecordCount = long(catalogue.lignes.size());
    catalogue.bLignes = !catalogue.lignes.isEmpty();
    return catalogue;
}

} // namespace

Demande DemandeProposition(SourceCatalogue &source, const QString &sTexte, int lCaret, bool bSysteme,
                           GenreDemande genre, MemoireScript *memoire)
{
    Demande demande;
    const LectureScript lecture = LitScript(sTexte, lCaret, memoire);
    demande.contexte = AnalyseContexte(lecture.mot, sTexte, bSysteme);
    if (demande.contexte.bDansLitteral)
        return demande;
    // Right after the ON of a join: the conditions its keys give, then the
    // joined table's columns, as after its name and a dot.
    const auto jointure = bSysteme ? std::nullopt : JointureDeLaLecture(lecture, sTexte);
    if (jointure) {
        demande.contexte.lTypes = 4;
        demande.contexte.sObjet = jointure->jointe.Qualifiant();
        demande.contexte.parties = QStringList{demande.contexte.sObjet, lecture.mot.parties.constLast()};
    }
    const NomsDuScript script = ChercheNomsDuScript(lecture, demande.contexte, bSysteme);
    ResultatProposition catalogue;
    QVector<LigneProposition> conditions;
    if (!script.bSeuls) {
        const bool bOuverte = source.Ouvre();
        if (!bOuverte && script.toutes.isEmpty()) {
            demande.action = ActionPopup::Cacher;
            return demande;
        }
        Contexte contexte = demande.contexte;
        if (!script.sSource.isEmpty())
            contexte.sObjet = script.sSource;
        // With script names under the prefix, the catalogue adds its own
        // under it too, never all of them.
        if (bOuverte)
            catalogue = ExecuteProposition(source, Tentatives(contexte, bSysteme, source.VersionMajeure(), lecture),
                                           script.filtrees.isEmpty() ? genre : GenreDemande::Frappe);
        if (bOuverte && jointure)
            conditions = PropositionsDeJointure(source, jointure->tables, jointure->iJointe, source.VersionMajeure(),
                                                demande.contexte.sPrefixe);
    }
    demande.resultat = Fusionne(script, std::move(catalogue), genre);
    AjouteConditions(demande.resultat, conditions);
    demande.action = DecideAction(demande.resultat, genre, demande.contexte.sPrefixe);
    return demande;
}
