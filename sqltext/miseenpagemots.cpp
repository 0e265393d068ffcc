#include "miseenpagemots.h"

#include "casse.h"
#include "passemotentier.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <vector>

// Laying the keywords out one after the other, each over the whole text, costs 65 passes over
// a script. Here the text is cut into short pieces that the passes handle independently, each
// piece goes through all the passes while it sits in the cache, and a pass is skipped outright
// for a piece that does not hold its word.
//
// Where a cut is safe: at a character that is neither a space nor a letter, "." or "_", and
// that follows a character that is not a letter. No occurrence of a keyword (letters only)
// can cover it, nor end right before it, so no occurrence, no trimmed run of spaces, no
// dropped space and no character copied after a rejected occurrence reaches across it, and
// every pass restarts there in the same state as it would in the whole text. Every piece keeps
// that character at both ends (it is emitted unchanged), and the pieces overlap by it. No pass
// ever puts a letter right before such a character, so the cut stays safe pass after pass.
//
// The one thing that does reach across a cut is the pattern test of the replacement, which
// asks whether a free-standing occurrence is still ahead anywhere in the rest of the text.
// Pieces are therefore handled from the last to the first, each pass telling the pieces before
// it whether its input held a free-standing occurrence.

namespace {

constexpr qsizetype TaillePiece = 48;

class Ensemble {
public:
    explicit Ensemble(size_t n = 0) : m_bits((n + 63) / 64, 0) {}
    void Ajoute(size_t i) { m_bits[i / 64] |= uint64_t(1) << (i % 64); }
    bool Contient(size_t i) const { return (m_bits[i / 64] >> (i % 64)) & 1; }
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
    std::vector<uint64_t> m_bits;
};

struct MotPrepare {
    QString sMot;          // as stored in the table
    QString sMaj;          // upper-cased, for the searches
    QString sRemplacement;
    QString sSupprime;     // " WORD " for the removed words
    bool bSupprime = false;
};

class Preparation {
public:
    Preparation(const TableauMotsCles& table, bool bGarderOuter);

    QString Applique(const QString& sTexte) const;

private:
    // Buffers reused from one piece to the next.
    struct Atelier {
        explicit Atelier(size_t n) : presents(n), libresIci(n), derniere(n) {}
        Ensemble presents;
        Ensemble libresIci;
        std::vector<qsizetype> derniere; // last occurrence of each word in the piece
        QString sCourant;
        QString sSuivant;
    };

    void Presents(QStringView sPiece, Atelier& atelier) const;
    void TraitePiece(QStringView sPiece, const Ensemble& libresAuDela, Atelier& atelier) const;
    std::vector<qsizetype> Coupures(const QString& sTexte) const;

    std::vector<MotPrepare> m_mots;
    bool m_bGarderOuter;
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
        m.sSupprime = u' ' + m.sMaj + u' ';
        for (QChar c : m.sMaj)
            if (!EstLettre(c.unicode()))
                m_bLettresSeules = false;
        m_mots.push_back(m);
    }
    const size_t n = m_mots.size();
    for (size_t k = 0; k < n; ++k) {
        const QString& w = m_mots[k].sMaj;
        if (!m_bLettresSeules)
            break;
        const int a = w.at(0).unicode() - u'A';
        if (w.size() == 1)
            m_parLettre[a].push_back(int(k));
        else
            m_parDigramme[a * 26 + (w.at(1).unicode() - u'A')].push_back(int(k));
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

// The words whose pass can change the piece. A word found only inside longer words (a letter
// right before and right after each occurrence), its occurrences never closer than its length
// plus one, leaves the piece as it is: each occurrence is rejected and copied with the
// character after it, and the search never restarts right on another occurrence, which is
// the one case where a rejected occurrence gets a space put in front of it.
void Preparation::Presents(QStringView sPiece, Atelier& atelier) const
{
    Ensemble& presents = atelier.presents;
    presents.Vide();
    std::fill(atelier.derniere.begin(), atelier.derniere.end(), qsizetype(-1000000));
    if (!m_bLettresSeules) {
        presents.Remplit();
        return;
    }
    const char16_t* s = sPiece.utf16();
    const qsizetype n = sPiece.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t a = Maj(s[i]);
        if (a < u'A' || a > u'Z')
            continue;
        for (int k : m_parLettre[a - u'A'])
            presents.Ajoute(size_t(k));
        if (i + 1 >= n)
            continue;
        const char16_t b = Maj(s[i + 1]);
        if (b < u'A' || b > u'Z')
            continue;
        const int iDigramme = (a - u'A') * 26 + (b - u'A');
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
            const size_t k = size_t(m_motsDigramme[size_t(t)]);
            const bool bInterieur = i >= 1 && EstLettre(s[i - 1]) && i + L < n && EstLettre(s[i + L]);
            if (!bInterieur || atelier.derniere[k] >= i - (L + 1))
                presents.Ajoute(k);
            atelier.derniere[k] = i;
        }
    }
}

// The single-pass replacement of " WORD " by " ", ignoring case.
bool RetireMot(const QString& sEntree, const QString& sCadreMaj, QString& sSortie)
{
    const char16_t* s = reinterpret_cast<const char16_t*>(sEntree.constData());
    const qsizetype n = sEntree.size();
    const qsizetype L = sCadreMaj.size();
    bool bModifie = false;
    qsizetype debut = 0;
    qsizetype i = 0;
    while (i + L <= n) {
        if (s[i] == u' ' && CorrespondMaj(s + i, sCadreMaj)) {
            sSortie.append(QStringView(sEntree).mid(debut, i - debut));
            sSortie.append(u' ');
            i += L;
            debut = i;
            bModifie = true;
        } else {
            ++i;
        }
    }
    sSortie.append(QStringView(sEntree).mid(debut));
    return bModifie;
}

void Preparation::TraitePiece(QStringView sPiece, const Ensemble& libresAuDela, Atelier& atelier) const
{
    Ensemble& presents = atelier.presents;
    Presents(sPiece, atelier);
    atelier.libresIci.Vide();
    QString& sCourant = atelier.sCourant;
    QString& sSuivant = atelier.sSuivant;
    sCourant.resize(0);
    sCourant.append(sPiece);
    for (size_t k = 0; k < m_mots.size(); ++k) {
        if (!presents.Contient(k))
            continue;
        const MotPrepare& m = m_mots[k];
        sSuivant.resize(0);
        bool bModifie;
        if (m.bSupprime) {
            if (m_bGarderOuter)
                continue;
            bModifie = RetireMot(sCourant, m.sSupprime, sSuivant);
        } else {
            ReglePasse regle;
            regle.sMot = m.sMot;
            regle.sMotMaj = m.sMaj;
            regle.sRemplacement = m.sRemplacement;
            const BilanPasse bilan = PasseMotEntier(sCourant, regle, libresAuDela.Contient(k), sSuivant);
            if (bilan.bOccurrenceLibre)
                atelier.libresIci.Ajoute(k);
            bModifie = bilan.bModifie;
            if (bModifie)
                presents.Union(m_apparaissent[k]);
        }
        if (bModifie)
            sCourant.swap(sSuivant);
    }
}

std::vector<qsizetype> Preparation::Coupures(const QString& sTexte) const
{
    std::vector<qsizetype> coupures{0};
    if (!m_bLettresSeules)
        return coupures;
    const char16_t* s = reinterpret_cast<const char16_t*>(sTexte.constData());
    const qsizetype n = sTexte.size();
    for (qsizetype x = TaillePiece; x < n - 1; ++x) {
        if (x - coupures.back() < TaillePiece)
            continue;
        if (s[x] != u' ' && !EstCaractereMot(s[x]) && !EstLettre(s[x - 1]))
            coupures.push_back(x);
    }
    return coupures;
}

QString Preparation::Applique(const QString& sTexte) const
{
    const std::vector<qsizetype> coupures = Coupures(sTexte);
    const size_t nPieces = coupures.size();
    std::vector<QString> sorties(nPieces);
    Ensemble libresAuDela(m_mots.size());
    Atelier atelier(m_mots.size());
    for (size_t i = nPieces; i-- > 0;) {
        const qsizetype debut = coupures[i];
        const qsizetype fin = i + 1 < nPieces ? coupures[i + 1] + 1 : sTexte.size();
        TraitePiece(QStringView(sTexte).mid(debut, fin - debut), libresAuDela, atelier);
        sorties[i] = atelier.sCourant;
        sorties[i].detach();
        libresAuDela.Union(atelier.libresIci);
    }
    qsizetype total = 0;
    for (const QString& s : sorties)
        total += s.size();
    QString sResultat;
    sResultat.reserve(total);
    for (size_t i = 0; i < nPieces; ++i)
        sResultat.append(i == 0 ? QStringView(sorties[i]) : QStringView(sorties[i]).mid(1));
    return sResultat;
}

} // namespace

QString MiseEnPageMotsCles(const QString& sTexte, const TableauMotsCles& table, bool bGarderOuter)
{
    const Preparation preparation(table, bGarderOuter);
    return preparation.Applique(sTexte);
}
