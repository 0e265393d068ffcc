#include "zonesprotegees.h"

#include "casse.h"

#include <algorithm>
#include <stdexcept>

namespace {

// A "@", "#" or "N'" right after a character of a name belongs to that name rather than
// starting a variable or a Unicode literal.
bool EstCaractereIdentifiant(QChar c)
{
    return EstCaractereNom(c.unicode());
}

// End (exclusive) of a part closed by cFin, where a doubled cFin stands for itself.
qsizetype FinDelimitee(const QString& s, qsizetype debut, char16_t cFin, qsizetype lFin)
{
    qsizetype i = debut;
    while (i < lFin) {
        if (s.at(i) == cFin) {
            if (i + 1 < lFin && s.at(i + 1) == cFin) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return lFin;
}

// End (exclusive) of a block comment starting at debut ("/*"); they nest.
qsizetype FinCommentaireBloc(const QString& s, qsizetype debut, qsizetype lFin)
{
    int iProfondeur = 0;
    qsizetype i = debut;
    while (i < lFin) {
        if (i + 1 < lFin && s.at(i) == u'/' && s.at(i + 1) == u'*') {
            ++iProfondeur;
            i += 2;
        } else if (i + 1 < lFin && s.at(i) == u'*' && s.at(i + 1) == u'/') {
            i += 2;
            if (--iProfondeur == 0)
                return i;
        } else {
            ++i;
        }
    }
    return lFin;
}

// End (exclusive) of a line comment: the line break itself stays outside, and so do the
// blanks and TABs that end the line. Those are layout: kept in the comment, they would take
// in the blank the layout writes before its own line break, one more at every pass.
qsizetype FinCommentaireLigne(const QString& s, qsizetype debut, qsizetype lFin)
{
    qsizetype i = debut;
    while (i < lFin && s.at(i) != u'\r' && s.at(i) != u'\n')
        ++i;
    while (i > debut + 2 && (s.at(i - 1) == u' ' || s.at(i - 1) == u'\t'))
        --i;
    return i;
}

// End (exclusive) of the protected part starting at i, with its kind; -1 when none starts there.
qsizetype FinZone(const QString& s, qsizetype i, qsizetype lFin, GenreZone& genre)
{
    const QChar c = s.at(i);
    const QChar suivant = i + 1 < lFin ? s.at(i + 1) : QChar();
    auto apresIdentifiant = [&] { return i > 0 && EstCaractereIdentifiant(s.at(i - 1)); };
    if (c == MarqueurZone) {
        genre = GenreZone::Marqueur;
        return i + 1;
    }
    if (c == u'-' && suivant == u'-') {
        genre = GenreZone::CommentaireLigne;
        return FinCommentaireLigne(s, i, lFin);
    }
    if (c == u'/' && suivant == u'*') {
        genre = GenreZone::CommentaireBloc;
        return FinCommentaireBloc(s, i, lFin);
    }
    if (c == u'\'') {
        genre = GenreZone::Litteral;
        return FinDelimitee(s, i + 1, u'\'', lFin);
    }
    if ((c == u'N' || c == u'n') && suivant == u'\'' && !apresIdentifiant()) {
        genre = GenreZone::Litteral;
        return FinDelimitee(s, i + 2, u'\'', lFin);
    }
    if (c == u'[') {
        genre = GenreZone::Nom;
        return FinDelimitee(s, i + 1, u']', lFin);
    }
    if (c == u'"') {
        genre = GenreZone::Nom;
        return FinDelimitee(s, i + 1, u'"', lFin);
    }
    if ((c == u'@' || c == u'#') && i + 1 < lFin && EstCaractereIdentifiant(suivant)
        && !apresIdentifiant()) {
        genre = GenreZone::Variable;
        qsizetype j = i + 1;
        while (j < lFin && EstCaractereIdentifiant(s.at(j)))
            ++j;
        return j;
    }
    return -1;
}

// The characters a protected part can start with, looked up in a table: nearly every
// character of a script is none of them.
class DebutsZones {
public:
    constexpr DebutsZones() : m_ascii()
    {
        for (char16_t c : {u'-', u'/', u'\'', u'N', u'n', u'[', u'"', u'@', u'#'})
            m_ascii[c] = true;
    }
    constexpr bool operator()(char16_t c) const { return c < 128 ? m_ascii[c] : c == MarqueurZone; }

private:
    bool m_ascii[128];
};

constexpr DebutsZones PeutOuvrirZone;

} // namespace

void ProtegeZones(const QString& sTexte, qsizetype lFin, TexteProtege& tp)
{
    tp.sTexte.truncate(0);
    tp.sTexte.reserve(sTexte.size() + 4); // room for a final CR LF and a space at each end
    tp.zones.clear();
    tp.sSource = sTexte;
    qsizetype i = 0;
    qsizetype debutPlat = 0;
    const char16_t* d = reinterpret_cast<const char16_t*>(sTexte.constData());
    while (i < lFin) {
        if (!PeutOuvrirZone(d[i])) {
            ++i; // nothing protected can start here
            continue;
        }
        GenreZone genre;
        const qsizetype fin = FinZone(sTexte, i, lFin, genre);
        if (fin < 0) {
            ++i;
            continue;
        }
        tp.sTexte.append(QStringView(sTexte).mid(debutPlat, i - debutPlat));
        tp.sTexte.append(QChar(MarqueurZone));
        tp.zones.push_back({genre, i, fin - i});
        i = fin;
        debutPlat = fin;
    }
    tp.sTexte.append(QStringView(sTexte).mid(debutPlat));
}

namespace {

// Whether the marker that ends at i (a line comment's) is followed, after blanks and TABs, by
// a CR LF or by the end of the text.
bool SuiviDeFinLigne(QStringView texte, qsizetype i)
{
    const qsizetype n = texte.size();
    qsizetype j = i;
    while (j < n && (texte[j] == u' ' || texte[j] == u'\t'))
        ++j;
    return j == n || (texte[j] == u'\r' && (j + 1 == n || texte[j + 1] == u'\n'));
}

// Position just after each line comment's marker that needs a line break, in text order.
std::vector<qsizetype> CommentairesACouper(QStringView texte, const std::vector<ZoneProtegee>& zones)
{
    std::vector<qsizetype> positions;
    size_t iZone = 0;
    qsizetype i = 0;
    for (;;) {
        const qsizetype m = texte.indexOf(QChar(MarqueurZone), i);
        if (m < 0)
            break;
        i = m + 1;
        const bool bLigne = iZone < zones.size() && zones[iZone].genre == GenreZone::CommentaireLigne;
        ++iZone;
        if (bLigne && !SuiviDeFinLigne(texte, i))
            positions.push_back(i);
    }
    return positions;
}

} // namespace

void CoupeApresCommentaires(QString& sTexte, const std::vector<ZoneProtegee>& zones)
{
    if (std::none_of(zones.begin(), zones.end(),
                     [](const ZoneProtegee& z) { return z.genre == GenreZone::CommentaireLigne; }))
        return;
    const QStringView texte(sTexte);
    // Most comments already end a line: the text is only rebuilt when one does not.
    const std::vector<qsizetype> positions = CommentairesACouper(texte, zones);
    if (positions.empty())
        return;
    QString sSortie;
    sSortie.reserve(sTexte.size() + 16 * qsizetype(positions.size()));
    qsizetype i = 0; // what lies before i has been copied
    for (const qsizetype p : positions) {
        sSortie.append(texte.mid(i, p - i));
        // The line break after a line comment is what ends it: without one, the code after
        // the comment would become part of it. It takes the place of the blanks after the
        // comment.
        qsizetype j = p;
        qsizetype lTabsCode = 0;
        for (; j < texte.size() && (texte[j] == u' ' || texte[j] == u'\t'); ++j)
            lTabsCode += texte[j] == u'\t' ? 1 : 0;
        // The new line starts with the TABs that start the comment's own line, so that a
        // comment inside an indented sub-query does not send the code after it to the margin;
        // the TABs among those blanks (the code's own line's, before its line break became a
        // space) count towards them. Laid out again, the line keeps the same TABs.
        const qsizetype debutLigne = sSortie.lastIndexOf(QLatin1String("\r\n"));
        qsizetype lTabsLigne = 0;
        for (qsizetype t = debutLigne < 0 ? 0 : debutLigne + 2; sSortie.at(t) == u'\t'; ++t)
            ++lTabsLigne;
        sSortie.append(QLatin1String("\r\n"));
        sSortie.append(QString(std::max(lTabsLigne, lTabsCode), u'\t'));
        i = j;
    }
    sSortie.append(texte.mid(i));
    sTexte = sSortie;
}

void RestaureZones(const QString& sTexte, const std::vector<ZoneProtegee>& zones, const QString& sSource,
                   QString& sSortie)
{
    sSortie.truncate(0);
    qsizetype total = sTexte.size();
    for (const ZoneProtegee& z : zones)
        total += z.lLongueur;
    sSortie.reserve(total);
    size_t iZone = 0;
    qsizetype debut = 0;
    for (;;) {
        const qsizetype idx = sTexte.indexOf(QChar(MarqueurZone), debut);
        if (idx < 0)
            break;
        if (iZone >= zones.size())
            throw std::logic_error("RestaureZones: marqueur en trop");
        sSortie.append(QStringView(sTexte).mid(debut, idx - debut));
        const ZoneProtegee& z = zones[iZone++];
        sSortie.append(QStringView(sSource).mid(z.lDebut, z.lLongueur));
        debut = idx + 1;
    }
    if (iZone != zones.size())
        throw std::logic_error("RestaureZones: marqueur perdu");
    sSortie.append(QStringView(sTexte).mid(debut));
}
