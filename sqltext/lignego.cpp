#include "lignego.h"

#include "sautsligne.h"

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

    /// Where the line of the GO at g must be broken, -1 when it already ends after GO. A
    /// repeat count and comments stay on GO's line, after blanks or TABs; the spaces that
    /// follow what stays end that line.
    qsizetype Coupure(qsizetype g)
    {
        qsizetype j = PasseEspaces(g + 2);
        qsizetype k = PasseBlancs(j);
        const qsizetype lChiffres = k;
        while (k < m_t.size() && m_t[k] >= u'0' && m_t[k] <= u'9')
            ++k;
        // A closing parenthesis after the count goes to a line of its own in the end, which
        // leaves the count alone on its line: it is a count already.
        const bool bFinCompte = k == m_t.size() || EstBlanc(k) || m_t[k] == u')' || FinDeLigne(k)
            || EstCommentaireBloc(k);
        if (k > lChiffres && bFinCompte)
            j = PasseEspaces(k);
        for (k = PasseBlancs(j); EstCommentaireBloc(k); k = PasseBlancs(j))
            j = PasseEspaces(k + 1);
        if (FinDeLigne(k))
            return -1;
        return j;
    }

private:
    qsizetype PasseEspaces(qsizetype i) const
    {
        while (i < m_t.size() && m_t[i] == u' ')
            ++i;
        return i;
    }

    bool EstBlanc(qsizetype i) const { return i < m_t.size() && (m_t[i] == u' ' || m_t[i] == u'\t'); }

    qsizetype PasseBlancs(qsizetype i) const
    {
        while (EstBlanc(i))
            ++i;
        return i;
    }

    bool EstCommentaireBloc(qsizetype i)
    {
        return i < m_t.size() && m_t[i] == MarqueurZone && GenreMarqueur(i) == GenreZone::CommentaireBloc;
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
    // GO's line ends with a space, as every line the layout breaks does: laid out again, its
    // line break turns into that space. The blanks between GO's line and the statement become
    // the line break and the TABs among them, which open the statement's line.
    QString sSortie;
    sSortie.reserve(sTexte.size() + 4 * qsizetype(coupures.size()));
    qsizetype i = 0; // what lies before i has been copied
    for (const qsizetype c : coupures) {
        sSortie.append(t.mid(i, c - i));
        sSortie.append(c > 0 && t[c - 1] == u' ' ? QLatin1String("\r\n") : QLatin1String(" \r\n"));
        i = c;
        while (i < t.size() && (t[i] == u' ' || t[i] == u'\t')) {
            if (t[i] == u'\t')
                sSortie.append(u'\t');
            ++i;
        }
    }
    sSortie.append(t.mid(i));
    sTexte = sSortie;
}
