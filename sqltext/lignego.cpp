#include "lignego.h"

#include "sautsligne.h"

#include <cstring>

// SQL Server's tools take GO for the end of a batch only when it has its line to itself, a
// repeat count and a comment aside: a statement on the same line would be sent to the server
// as part of the batch, or GO as part of the statement.

namespace {

class LignesGo {
public:
    LignesGo(const QString& sTexte, const std::vector<ZoneProtegee>& zones)
        : m_t(sTexte), m_zones(zones)
    {
    }

    /// Where the line of the GO at g must be broken, -1 when it already ends after GO.
    qsizetype Coupure(qsizetype g)
    {
        qsizetype j = PasseEspaces(g + 2);
        qsizetype k = j;
        while (k < m_t.size() && m_t[k] >= u'0' && m_t[k] <= u'9')
            ++k;
        if (k > j && (k == m_t.size() || m_t[k] == u' ' || FinDeLigne(k)))
            j = PasseEspaces(k);
        return FinDeLigne(j) ? -1 : j;
    }

private:
    qsizetype PasseEspaces(qsizetype i) const
    {
        while (i < m_t.size() && m_t[i] == u' ')
            ++i;
        return i;
    }

    // The end of the text, a CR LF, a CR that ends the text, or a line comment (the line
    // break after it is seen to later).
    bool FinDeLigne(qsizetype i)
    {
        if (i == m_t.size())
            return true;
        if (m_t[i] == u'\r')
            return i + 1 == m_t.size() || m_t[i + 1] == u'\n';
        return m_t[i] == MarqueurZone && GenreMarqueur(i) == GenreZone::CommentaireLigne;
    }

    // The markers are counted once, on from the last one asked about: the questions come in
    // text order.
    GenreZone GenreMarqueur(qsizetype i)
    {
        for (qsizetype m = m_t.indexOf(QChar(MarqueurZone), m_lCompteJusqua); m >= 0 && m < i;
             m = m_t.indexOf(QChar(MarqueurZone), m + 1))
            ++m_lMarqueursAvant;
        m_lCompteJusqua = i;
        const size_t iZone = size_t(m_lMarqueursAvant);
        return iZone < m_zones.size() ? m_zones[iZone].genre : GenreZone::Marqueur;
    }

    QStringView m_t;
    const std::vector<ZoneProtegee>& m_zones;
    qsizetype m_lCompteJusqua = 0;
    qsizetype m_lMarqueursAvant = 0;
};

} // namespace

void IsoleGo(QString& sTexte, const std::vector<ZoneProtegee>& zones)
{
    const QStringView t(sTexte);
    LignesGo lignes(sTexte, zones);
    std::vector<qsizetype> coupures;
    auto examine = [&](qsizetype g) {
        if (g + 2 < t.size() && t[g] == u'G' && t[g + 1] == u'O' && t[g + 2] == u' ') {
            const qsizetype c = lignes.Coupure(g);
            if (c >= 0)
                coupures.push_back(c);
        }
    };
    examine(0);
    for (qsizetype idx = ChercheCRLF(t, 0); idx >= 0; idx = ChercheCRLF(t, idx + 2))
        examine(idx + 2);
    if (coupures.empty())
        return;
    // In place, from the end: the laid-out text has room left after it for a few line breaks.
    const qsizetype lAvant = sTexte.size();
    sTexte.resize(lAvant + 2 * qsizetype(coupures.size()));
    char16_t* d = reinterpret_cast<char16_t*>(sTexte.data());
    qsizetype fin = lAvant; // what lies from fin on is in its place
    for (size_t k = coupures.size(); k-- > 0;) {
        const qsizetype c = coupures[k];
        const qsizetype decalage = 2 * qsizetype(k + 1);
        std::memmove(d + c + decalage, d + c, size_t(fin - c) * sizeof(char16_t));
        d[c + decalage - 2] = u'\r';
        d[c + decalage - 1] = u'\n';
        fin = c;
    }
}
