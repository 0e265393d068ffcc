#include "jointurescript.h"
#include "insertion.h"
#include "lecturescript.h"
#include "motcurseur.h"

std::optional<JointureDuScript> JointureDeLaLecture(const LectureScript &lecture, const QString &sTexte)
{
    const InstructionScript &instruction = lecture.Courante();
    // The word at the caret was read with the script: the text is not read again from its start.
    const auto jointe = JointureAuCurseur(sTexte, lecture.mot, instruction.lDebut);
    if (!jointe)
        return std::nullopt;
    JointureDuScript jointure;
    jointure.jointe = *jointe;
    for (const ReferenceScript &reference : instruction.references) {
        // A CTE, a temporary table, a table variable, or an alias of one: no keys.
        const bool bDuScript = lecture.TableNommee(reference.sObjet) != nullptr
            || lecture.TableNommee(reference.sAlias) != nullptr;
        jointure.tables.append({reference.sObjet, reference.sAlias, bDuScript});
    }
    jointure.iJointe = IndexDeLaJointure(jointure.tables, *jointe);
    if (jointure.iJointe < 0)
        return std::nullopt;
    // The joined table is named as the statement writes it, brackets kept.
    jointure.tables[jointure.iJointe].sAlias = jointe->sAlias;
    return jointure;
}

void AjouteConditions(ResultatProposition &resultat, const QVector<LigneProposition> &conditions)
{
    if (conditions.isEmpty())
        return;
    resultat.lignes = conditions + resultat.lignes;
    resultat.lRecordCount = long(resultat.lignes.size());
    resultat.bLignes = true;
}

Plage PlageDeLaCondition(const MotCurseur &mot, const QString &sCondition)
{
    return {mot.lDebutPartie, mot.lFin - mot.lDebutPartie, sCondition, true};
}
