#include "miseenpagemots.h"

#include "casse.h"
#include "passemotentier.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Laying the keywords out one after the other, each over the whole text, costs 65 passes over
// a script. Here the text is cut into short pieces that the passes handle independently, each
// piece goes through all the passes while it sits in the cache, and a pass is skipped outright
// for a piece that does not hold its word.
//
// Where a cut is safe: at a character that is neither a blank (space, TAB, CR) nor a
// character of a name or ".", and that follows a character that is not a letter. No
// occurrence of a keyword (letters only) can cover it, nor end right before it, so no
// occurrence, no trimmed run of spaces, no dropped space and no character copied after a
// rejected occurrence reaches across it, and every pass restarts there in the same state as it would in the whole text. Every piece keeps
// that character at both ends (it is emitted unchanged), and the pieces overlap by it: the
// tests around an occurrence next to a cut see it from either side. No pass ever puts a letter
// right before such a character, so the cut stays safe pass after pass. The words marked
// Supprime look past their occurrence for JOIN, over blanks and letters only, which no cut
// lies within either. Only the last piece ends where the text does.
//
// What keeps the cost per character low: the words a piece holds are found in one scan of it
// (a table of the words by their first two letters), only their passes run, on plain UTF-16
// buffers reused from piece to piece, and the output of each piece goes straight to the end
// of the result.

namespace {

// Shorter pieces mean fewer passes over characters that hold none of the pass's word, longer
// ones less work per piece; measured on scripts, the total is flat around this length.
constexpr qsizetype TaillePiece = 32;

class Ensemble {
public:
    explicit Ensemble(size_t n = 0) : m_bits((n + 63) / 64, 0) {}
    void Ajoute(size_t i) { m_bits[i / 64] |= uint64_t(1) << (i % 64); }
    bool Contient(size_t i) const { return (m_bits[i / 64] >> (i % 64)) & 1; }
    /// The smallest member not below i, or Fin when there is none: a piece holds a handful
    /// of the table's words, which this visits without testing every other word.
    size_t Suivant(size_t i) const
    {
        size_t w = i / 64;
        if (w >= m_bits.size())
            return Fin;
        uint64_t bits = m_bits[w] & (~uint64_t(0) << (i % 64));
        while (bits == 0) {
            if (++w == m_bits.size())
                return Fin;
            bits = m_bits[w];
        }
        return w * 64 + PlusBasBit(bits);
    }
    static constexpr size_t Fin = ~size_t(0);
    void Union(const Ensemble& autre)
    {
        for (size_t k = 0; k < m_bits.size(); ++k)
            m_bits[k] |= autre.m_bits[k];
    }
    void Vide() { std::fill(m_bits.begin(), m_bits.end(), 0); }
    void Remplit()
    {
        for (uint64_t& b : m_bits)
            b = ~uint64_t(0);
    }

private:
    static size_t PlusBasBit(uint64_t bits)
    {
#if defined(__GNUC__)
        return size_t(__builtin_ctzll(bits));
#else
        size_t n = 0;
        while (!(bits & 1)) {
            bits >>= 1;
            ++n;
        }
        return n;
#endif
    }

    std::vector<uint64_t> m_bits;
};

struct MotPrepare {
    QString sMot;          // as stored in the table
    QString sMaj;          // upper-cased, for the searches
    QString sRemplacement;
    bool bSupprime = false;
};

// Index of the letter (0 for "A" or "a") of a character that upper-cases to "A".."Z", -1
// otherwise. The table spares the plain ASCII characters, nearly all of a script, the call
// to the general upper-casing.
class IndexLettres {
public:
    IndexLettres()
    {
        for (char16_t c = 0; c < 128; ++c) {
            const char16_t m = Maj(c);
            m_ascii[c] = m >= u'A' && m <= u'Z' ? int8_t(m - u'A') : int8_t(-1);
        }
    }
    int operator()(char16_t c) const
    {
        if (c < 128)
            return m_ascii[c];
        const char16_t m = Maj(c);
        return m >= u'A' && m <= u'Z' ? int(m - u'A') : -1;
    }

private:
    int8_t m_ascii[128];
};

class Preparation {
public:
    Preparation(const TableauMotsCles& table, bool bGarderOuter);

    void Applique(const QString& sTexte, QString& sSortie) const;

private:
    // Buffers reused from one piece to the next.
    struct Atelier {
        explicit Atelier(size_t n) : presents(n) {}
        Ensemble presents;
        std::u16string sCourant;
        std::u16string sSuivant;
    };

    void Presents(std::u16string_view sPiece, Atelier& atelier) const;
    void TraitePiece(std::u16string_view sPiece, bool bTexteContinue, Atelier& atelier) const;
    qsizetype ProchaineCoupure(QStringView sTexte, qsizetype x) const;

    std::vector<MotPrepare> m_mots;
    std::vector<ReglePasse> m_regles; // the pass of each word, pointing into m_mots
    IndexLettres m_lettre;
    bool m_bGarderOuter;
    bool m_bMotsUneLettre = false;
    bool m_bLettresSeules = true;
    std::vector<std::vector<int>> m_parDigramme; // words of two letters or more, by their first two
    // The same, flattened for the scan: words of bigram b are m_motsDigramme[m_debuts[b] ..
    // m_debuts[b + 1]), each with its upper-cased text.
    std::vector<int> m_debuts;
    std::vector<int> m_motsDigramme;
    std::vector<const char16_t*> m_textesDigramme;
    std::vector<qsizetype> m_longueursDigramme;
    std::vector<std::vector<int>> m_parLettre;   // words of one letter
    std::vector<Ensemble> m_apparaissent;        // words found inside each replacement
};

bool CorrespondMaj(const char16_t* s, const QString& sMaj)
{
    const char16_t* m = reinterpret_cast<const char16_t*>(sMaj.constData());
    for (qsizetype t = 0; t < sMaj.size(); ++t)
        if (Maj(s[t]) != m[t])
            return false;
    return true;
}

bool Contient(const QString& sMajDans, const QString& sMaj)
{
    for (qsizetype i = 0; i + sMaj.size() <= sMajDans.size(); ++i)
        if (CorrespondMaj(reinterpret_cast<const char16_t*>(sMajDans.constData()) + i, sMaj))
            return true;
    return false;
}

Preparation::Preparation(const TableauMotsCles& table, bool bGarderOuter)
    : m_bGarderOuter(bGarderOuter), m_parDigramme(26 * 26), m_parLettre(26)
{
    for (const MotCle& mc : table) {
        MotPrepare m;
        m.sMot = mc.Mot;
        m.sMaj = MajusculesSimples(mc.Mot);
        if (m.sMaj.isEmpty())
            throw std::invalid_argument("MiseEnPageMotsCles: mot vide dans la table");
        m.bSupprime = mc.Supprime;
        m.sRemplacement = QStringLiteral(" ");
        if (mc.RetourLigne)
            m.sRemplacement += QLatin1String("\r\n");
        m.sRemplacement += m.sMaj;
        if (mc.EspaceApres)
            m.sRemplacement += u' ';
        for (QChar c : m.sMaj)
            if (!EstLettre(c.unicode()))
                m_bLettresSeules = false;
        m_mots.push_back(m);
    }
    const size_t n = m_mots.size();
    m_regles.resize(n);
    for (size_t k = 0; k < n; ++k) {
        m_regles[k].sMot = m_mots[k].sMot;
        m_regles[k].sMotMaj = m_mots[k].sMaj;
        m_regles[k].sRemplacement = m_mots[k].sRemplacement;
    }
    for (size_t k = 0; k < n; ++k) {
        const QString& w = m_mots[k].sMaj;
        if (!m_bLettresSeules)
            break;
        const int a = w.at(0).unicode() - u'A';
        if (w.size() == 1) {
            m_parLettre[a].push_back(int(k));
            m_bMotsUneLettre = true;
        } else {
            m_parDigramme[a * 26 + (w.at(1).unicode() - u'A')].push_back(int(k));
        }
    }
    m_debuts.assign(26 * 26 + 1, 0);
    for (size_t b = 0; b < m_parDigramme.size(); ++b) {
        m_debuts[b] = int(m_motsDigramme.size());
        for (int k : m_parDigramme[b]) {
            m_motsDigramme.push_back(k);
            m_textesDigramme.push_back(reinterpret_cast<const char16_t*>(m_mots[size_t(k)].sMaj.constData()));
            m_longueursDigramme.push_back(m_mots[size_t(k)].sMaj.size());
        }
    }
    m_debuts[26 * 26] = int(m_motsDigramme.size());
    m_apparaissent.assign(n, Ensemble(n));
    for (size_t k = 0; k < n; ++k) {
        const QString sMajRemplacement = MajusculesSimples(m_mots[k].sRemplacement);
        for (size_t j = 0; j < n; ++j)
            if (Contient(sMajRemplacement, m_mots[j].sMaj))
                m_apparaissent[k].Ajoute(j);
    }
}

// The words whose pass can change the piece: those that stand somewhere in it as a whole word.
// A word found only inside names (or right after a ".") leaves the piece as it is, every
// occurrence being rejected and copied unchanged.
void Preparation::Presents(std::u16string_view sPiece, Atelier& atelier) const
{
    Ensemble& presents = atelier.presents;
    presents.Vide();
    if (!m_bLettresSeules) {
        presents.Remplit();
        return;
    }
    const char16_t* s = sPiece.data();
    const qsizetype n = qsizetype(sPiece.size());
    int b = n > 0 ? m_lettre(s[0]) : -1; // letter index of s[i + 1], carried over
    bool bColleAuSuivant = false;         // whether s[i - 1] glues to what follows it
    for (qsizetype i = 0; i < n; ++i) {
        const int a = b;
        b = i + 1 < n ? m_lettre(s[i + 1]) : -1;
        const bool bColleAvant = bColleAuSuivant;
        bColleAuSuivant = EstCaractereMot(s[i]);
        if (a < 0 || bColleAvant)
            continue; // no word starts here, or none that stands alone
        if (m_bMotsUneLettre && !(i + 1 < n && EstCaractereMot(s[i + 1])))
            for (int k : m_parLettre[size_t(a)])
                presents.Ajoute(size_t(k));
        if (b < 0)
            continue;
        const int iDigramme = a * 26 + b;
        for (int t = m_debuts[size_t(iDigramme)]; t < m_debuts[size_t(iDigramme) + 1]; ++t) {
            const qsizetype L = m_longueursDigramme[size_t(t)];
            if (i + L > n)
                continue;
            const char16_t* w = m_textesDigramme[size_t(t)];
            qsizetype u = 2;
            while (u < L && Maj(s[i + u]) == w[u])
                ++u;
            if (u != L)
                continue;
            if (!(i + L < n && EstCaractereMot(s[i + L])))
                presents.Ajoute(size_t(m_motsDigramme[size_t(t)]));
        }
    }
}

// Blanks, TABs and what is left of line breaks (a CR on its own) between two words.
inline bool EstBlanc(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// Whether the whole word sMaj (upper case) stands at i, ignoring case; what is before i is
// the caller's to check.
bool MotEntierA(const char16_t* s, qsizetype i, qsizetype n, const QString& sMaj)
{
    const qsizetype L = sMaj.size();
    return i + L <= n && CorrespondMaj(s + i, sMaj) && (i + L == n || !EstCaractereMot(s[i + L]));
}

// Where the whole word JOIN comes after the blanks from i on (at least one), possibly past
// more of the word being removed, each after its blanks: the end of the last blanks, -1 when
// no JOIN follows. A comment among them is a marker, which is no blank.
qsizetype JoinApresBlancs(const char16_t* s, qsizetype i, qsizetype n, const QString& sMotMaj)
{
    static const QString sJoin = QStringLiteral("JOIN");
    for (;;) {
        const qsizetype debut = i;
        while (i < n && EstBlanc(s[i]))
            ++i;
        if (i == debut)
            return -1;
        if (MotEntierA(s, i, n, sJoin))
            return i;
        if (!MotEntierA(s, i, n, sMotMaj))
            return -1;
        i += sMotMaj.size();
    }
}

// The single-pass removal of the whole word, ignoring case, with the blanks after it, where
// JOIN follows them: OUTER says nothing in LEFT OUTER JOIN, but OUTER APPLY is not APPLY. A run
// of the word before JOIN goes at once: what one pass leaves, the next would not remove.
bool RetireMot(std::u16string_view sEntree, const QString& sMotMaj, std::u16string& sSortie)
{
    const char16_t* s = sEntree.data();
    const qsizetype n = qsizetype(sEntree.size());
    const qsizetype L = sMotMaj.size();
    bool bModifie = false;
    qsizetype debut = 0;
    qsizetype i = 0;
    while (i + L <= n) {
        const qsizetype j = (i == 0 || !EstCaractereMot(s[i - 1])) && MotEntierA(s, i, n, sMotMaj)
            ? JoinApresBlancs(s, i + L, n, sMotMaj)
            : -1;
        if (j >= 0) {
            sSortie.append(sEntree.substr(size_t(debut), size_t(i - debut)));
            i = j;
            debut = i;
            bModifie = true;
        } else {
            ++i;
        }
    }
    sSortie.append(sEntree.substr(size_t(debut)));
    return bModifie;
}

void Preparation::TraitePiece(std::u16string_view sPiece, bool bTexteContinue, Atelier& atelier) const
{
    Ensemble& presents = atelier.presents;
    Presents(sPiece, atelier);
    std::u16string& sCourant = atelier.sCourant;
    std::u16string& sSuivant = atelier.sSuivant;
    sCourant.assign(sPiece);
    // A pass can add later words to the set (those its replacement holds), never earlier ones.
    for (size_t k = presents.Suivant(0); k != Ensemble::Fin; k = presents.Suivant(k + 1)) {
        const MotPrepare& m = m_mots[k];
        sSuivant.clear();
        bool bModifie;
        if (m.bSupprime) {
            if (m_bGarderOuter)
                continue;
            bModifie = RetireMot(sCourant, m.sMaj, sSuivant);
        } else {
            bModifie = PasseMotEntier(sCourant, m_regles[k], bTexteContinue, sSuivant);
            if (bModifie)
                presents.Union(m_apparaissent[k]);
        }
        if (bModifie)
            sCourant.swap(sSuivant);
    }
}

// The first cut at or after x, -1 when the rest of the text is the last piece.
qsizetype Preparation::ProchaineCoupure(QStringView sTexte, qsizetype x) const
{
    if (!m_bLettresSeules)
        return -1;
    const char16_t* s = sTexte.utf16();
    const qsizetype n = sTexte.size();
    for (; x < n - 1; ++x)
        if (!EstBlanc(s[x]) && !EstCaractereMot(s[x]) && !EstLettre(s[x - 1]))
            return x;
    return -1;
}

void Preparation::Applique(const QString& sTexte, QString& sSortie) const
{
    const std::u16string_view texte(reinterpret_cast<const char16_t*>(sTexte.constData()), size_t(sTexte.size()));
    // The outputs of the pieces one after the other; each piece but the first drops the
    // character it shares with the one before.
    sSortie.truncate(0);
    sSortie.reserve(sTexte.size() + sTexte.size() / 4);
    Atelier atelier(m_mots.size());
    qsizetype debut = 0;
    for (;;) {
        // Pieces are at least TaillePiece long.
        const qsizetype coupure = ProchaineCoupure(sTexte, debut + TaillePiece);
        const bool bTexteContinue = coupure >= 0;
        const qsizetype fin = bTexteContinue ? coupure + 1 : sTexte.size();
        TraitePiece(texte.substr(size_t(debut), size_t(fin - debut)), bTexteContinue, atelier);
        const std::u16string_view sPiece = std::u16string_view(atelier.sCourant).substr(debut == 0 ? 0 : 1);
        sSortie.append(QStringView(sPiece.data(), qsizetype(sPiece.size())));
        if (!bTexteContinue)
            break;
        debut = coupure;
    }
}

} // namespace

void MiseEnPageMotsCles(const QString& sTexte, const TableauMotsCles& table, bool bGarderOuter, QString& sSortie)
{
    const Preparation preparation(table, bGarderOuter);
    preparation.Applique(sTexte, sSortie);
}
