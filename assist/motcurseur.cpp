#include "motcurseur.h"
#include "lexique.h"

namespace {

bool EstLitteral(GenreJeton genre)
{
    return genre == GenreJeton::Chaine || genre == GenreJeton::Commentaire;
}

// The caret stands inside a piece when it has text of the piece on both
// sides, or at the end of a piece that is still open.
bool ContientLeCaret(const Jeton &jeton, int lCaret)
{
    if (jeton.lDebut < lCaret && lCaret < jeton.lFin)
        return true;
    return lCaret == jeton.lFin && !jeton.bFerme && jeton.lFin > jeton.lDebut;
}

// The parts of the word [lDebut, lFin) between its dots, and where the last one starts.
QStringList CoupeAuxPoints(const QString &sTexte, int lDebut, int lFin, int &lDebutPartie)
{
    QStringList parties;
    QString sPartie;
    lDebutPartie = lDebut;
    LecteurSql lecteur(sTexte, lDebut);
    Jeton jeton;
    while (lecteur.Position() < lFin && lecteur.Suivant(jeton)) {
        if (jeton.genre == GenreJeton::Point) {
            parties << sPartie;
            sPartie.clear();
            lDebutPartie = jeton.lFin;
        } else {
            sPartie += sTexte.mid(jeton.lDebut, qMin(jeton.lFin, lFin) - jeton.lDebut);
        }
    }
    parties << sPartie;
    return parties;
}

int FinDesCaracteresDeNom(const QString &sTexte, int i)
{
    while (i < sTexte.size() && EstCaractereDeNom(sTexte.at(i)))
        ++i;
    return i;
}

} // namespace

SuiviMot::SuiviMot(const QString &sTexte, int lCaret)
    : m_texte(sTexte), m_lCaret(qBound(0, lCaret, int(sTexte.size())))
{
}

void SuiviMot::Lit(const Jeton &jeton)
{
    const int c = m_lCaret;
    if (jeton.lDebut >= c)
        return;
    if (!EstPieceDeNom(jeton.genre)) {
        // Anything that is not part of a name starts the word again after it.
        m_lDebutMot = jeton.lFin;
        if (EstLitteral(jeton.genre) && ContientLeCaret(jeton, c))
            m_bDansLitteral = true;
    } else if (jeton.lFin > c && (jeton.genre == GenreJeton::Crochet || jeton.genre == GenreJeton::Guillemet)) {
        // The caret stands in a bracketed name: its rest belongs to the word.
        m_lFinSegment = jeton.lFin;
    }
}

MotCurseur SuiviMot::Mot() const
{
    MotCurseur mot;
    const int c = m_lCaret;
    mot.lCaret = c;
    mot.bDansLitteral = m_bDansLitteral;
    mot.lDebut = m_bDansLitteral ? c : qMin(m_lDebutMot, c);
    if (m_bDansLitteral)
        mot.lFin = c;
    else
        mot.lFin = m_lFinSegment >= 0 ? m_lFinSegment : FinDesCaracteresDeNom(m_texte, c);
    mot.parties = CoupeAuxPoints(m_texte, mot.lDebut, c, mot.lDebutPartie);
    return mot;
}

MotCurseur MotAuCurseur(const QString &sTexte, int lCaret)
{
    SuiviMot suivi(sTexte, lCaret);
    LecteurSql lecteur(sTexte);
    Jeton jeton;
    while (lecteur.Position() < suivi.Caret() && lecteur.Suivant(jeton))
        suivi.Lit(jeton);
    return suivi.Mot();
}

QString NomDeLaPartie(const QString &sPartie)
{
    if (sPartie.isEmpty())
        return sPartie;
    const QChar ouvrant = sPartie.at(0);
    QChar fermant;
    if (ouvrant == QLatin1Char('['))
        fermant = QLatin1Char(']');
    else if (ouvrant == QLatin1Char('"'))
        fermant = QLatin1Char('"');
    else
        return sPartie;
    Jeton jeton;
    LecteurSql lecteur(sPartie);
    lecteur.Suivant(jeton);
    return NomDuJeton(sPartie, jeton);
}
