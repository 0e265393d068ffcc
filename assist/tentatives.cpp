#include "tentatives.h"
#include "lecturescript.h"
#include "motcurseur.h"

namespace {

// The parts of an object name as written ("Ventes.dbo.clients", "[a b].c").
QStringList Parties(const QString &sObjet)
{
    const MotCurseur mot = MotAuCurseur(sObjet, int(sObjet.size()));
    QStringList noms;
    for (const QString &sPartie : mot.parties)
        noms << NomDeLaPartie(sPartie);
    return noms;
}

Contexte ColonnesDe(const Contexte &contexte, const QString &sObjet)
{
    Contexte colonnes = contexte;
    colonnes.lTypes = 4;
    colonnes.sObjet = sObjet;
    return colonnes;
}

// The columns of an object, in the catalogue of its own database when the
// name gives one.
Requetes ColonnesDeLObjet(const Contexte &contexte, const QString &sObjet, int lVersion)
{
    const QStringList parties = Parties(sObjet);
    if (parties.size() == 3 && !parties.first().isEmpty())
        return RequetesColonnesDansBase(parties.first(), sObjet, contexte.sPrefixe);
    return ConstruitRequetes(ColonnesDe(contexte, sObjet), false, lVersion);
}

} // namespace

QVector<Requetes> Tentatives(const Contexte &contexte, bool bSysteme, int lVersionMajeure, const QString &sTexte,
                             int lCaret)
{
    return Tentatives(contexte, bSysteme, lVersionMajeure, LitScript(sTexte, lCaret));
}

QVector<Requetes> Tentatives(const Contexte &contexte, bool bSysteme, int lVersionMajeure,
                             const LectureScript &lecture)
{
    if (contexte.lTypes != 4)
        return {ConstruitRequetes(contexte, bSysteme, lVersionMajeure)};
    const QStringList parties = Parties(contexte.sObjet);
    QVector<Requetes> tentatives;
    if (parties.size() == 1) {
        const QString sCible = lecture.ObjetDeLAlias(parties.first());
        if (!sCible.isEmpty())
            tentatives << ColonnesDeLObjet(contexte, sCible, lVersionMajeure);
        tentatives << ConstruitRequetes(contexte, bSysteme, lVersionMajeure)
                   << RequetesTablesDuSchema(parties.first(), contexte.sPrefixe, lVersionMajeure);
    } else if (parties.size() == 2) {
        if (!parties.at(1).isEmpty())
            tentatives << ConstruitRequetes(contexte, bSysteme, lVersionMajeure);
        tentatives << RequetesTablesDeLaBase(parties.at(0), parties.at(1), contexte.sPrefixe, lVersionMajeure);
    } else if (parties.size() == 3) {
        tentatives << ColonnesDeLObjet(contexte, contexte.sObjet, lVersionMajeure);
    }
    return tentatives;
}
