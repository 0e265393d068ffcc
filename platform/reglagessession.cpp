#include "reglagessession.h"

#include "lexique.h"

bool ChangeLesReglages(const QString &sTexte)
{
    // UPDATE ... SET counts too: a fresh login costs less than a catalogue
    // query that SET ROWCOUNT 1 would quietly cut to one row.
    LecteurSql lecteur(sTexte);
    Jeton jeton;
    while (lecteur.Suivant(jeton)) {
        if (jeton.genre == GenreJeton::Nom && jeton.lFin - jeton.lDebut == 3
            && QStringView(sTexte).mid(jeton.lDebut, 3).compare(QLatin1String("SET"), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}
