#include "nomsduscript.h"
#include "lecturescript.h"
#include "motcurseur.h"

namespace {

void Ajoute(NomsDuScript &noms, const QString &sNom, const QString &sCle, const QString &sPrefixe)
{
    const LigneProposition ligne{sNom, sCle, QString()};
    noms.toutes << ligne;
    if (sNom.startsWith(sPrefixe, Qt::CaseInsensitive))
        noms.filtrees << ligne;
}

void AjouteTables(NomsDuScript &noms, const QVector<TableDuScript> &tables, const QString &sPrefixe)
{
    for (const TableDuScript &table : tables)
        Ajoute(noms, table.sNom, table.colonnes.isEmpty() && table.sNom.startsWith(QLatin1Char('@'))
                                     ? QStringLiteral("colonnes") : QStringLiteral("U"), sPrefixe);
}

NomsDuScript Colonnes(const LectureScript &lecture, const Contexte &contexte)
{
    NomsDuScript noms;
    // Only a name of one part can be a table of the script ("r.", "#o.", "@t.").
    if (contexte.parties.size() != 2)
        return noms;
    const TableDuScript *table = lecture.TableNommee(NomDeLaPartie(contexte.parties.first()));
    if (!table)
        return noms;
    noms.bSeuls = table->sSource.isEmpty();
    noms.sSource = table->sSource;
    for (const QString &sColonne : table->colonnes)
        Ajoute(noms, sColonne, QStringLiteral("colonnes"), contexte.sPrefixe);
    return noms;
}

} // namespace

NomsDuScript ChercheNomsDuScript(const LectureScript &lecture, const Contexte &contexte, bool bSysteme)
{
    if (contexte.lTypes == 4)
        return Colonnes(lecture, contexte);
    NomsDuScript noms;
    const QString &sPrefixe = contexte.sPrefixe;
    // No catalogue name starts with "@" or "#": the script alone has them.
    if (sPrefixe.startsWith(QLatin1Char('@'))) {
        noms.bSeuls = true;
        AjouteTables(noms, lecture.variables, sPrefixe);
    } else if (sPrefixe.startsWith(QLatin1Char('#'))) {
        noms.bSeuls = true;
        AjouteTables(noms, lecture.temporaires, sPrefixe);
    } else if (!bSysteme) {
        AjouteTables(noms, lecture.Courante().ctes, sPrefixe);
        AjouteTables(noms, lecture.temporaires, sPrefixe);
    }
    return noms;
}
