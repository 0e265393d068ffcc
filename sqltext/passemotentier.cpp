#include "passemotentier.h"

#include "casse.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#if defined(__SSE2__) && defined(__GNUC__)
#include <emmintrin.h>
#endif

namespace {

inline bool CorrespondMaj(const char16_t* s, const char16_t* motMaj, qsizetype L)
{
    for (qsizetype t = 0; t < L; ++t)
        if (Maj(s[t]) != motMaj[t])
            return false;
    return true;
}

// The first position from i to dernier (inclusive) whose unit can start an occurrence of a
// word whose first letter is premierMin in lower case: that letter in either case, or any
// unit beyond ASCII (it may upper-case to the letter); dernier + 1 when there is none.
// Scripts are long runs of plain characters, so several units are tested at once. Setting bit
// 0x20 lower-cases a letter in both forms.
#if defined(__SSE2__) && defined(__GNUC__)
inline qsizetype ProchainCandidat(const char16_t* s, qsizetype i, qsizetype dernier, char16_t premierMin)
{
    const __m128i bit20 = _mm_set1_epi16(0x20);
    const __m128i lettre = _mm_set1_epi16(short(premierMin));
    const __m128i nonAscii = _mm_set1_epi16(short(0xFF80));
    const __m128i zero = _mm_setzero_si128();
    for (; i + 7 <= dernier; i += 8) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const int iLettre = _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_or_si128(x, bit20), lettre));
        const int iAscii = _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(x, nonAscii), zero));
        const int iMasque = iLettre | (~iAscii & 0xFFFF); // two bits per unit
        if (iMasque != 0)
            return i + __builtin_ctz(unsigned(iMasque)) / 2;
    }
    for (; i <= dernier; ++i)
        if (char16_t(s[i] | 0x20) == premierMin || s[i] >= 0x80)
            return i;
    return i;
}
#else
// Four units read as one 64-bit word: the exclusive or leaves a zero unit where the letter
// stands, which the classic "has a zero unit" test finds (exact when all four units are below
// 0x80; a unit at 0x80 or above sets the mask by itself).
inline qsizetype ProchainCandidat(const char16_t* s, qsizetype i, qsizetype dernier, char16_t premierMin)
{
    constexpr uint64_t Un = 0x0001000100010001;
    constexpr uint64_t Haut = 0x8000800080008000;
    constexpr uint64_t Bit20 = 0x0020002000200020;
    constexpr uint64_t NonAscii = 0xFF80FF80FF80FF80;
    const uint64_t motifMin = uint64_t(premierMin) * Un;
    for (; i + 3 <= dernier; i += 4) {
        uint64_t x;
        std::memcpy(&x, s + i, sizeof x);
        const uint64_t v = (x | Bit20) ^ motifMin;
        if ((x & NonAscii) | ((v - Un) & ~v & Haut))
            break;
    }
    for (; i <= dernier; ++i)
        if (char16_t(s[i] | 0x20) == premierMin || s[i] >= 0x80)
            return i;
    return i;
}
#endif

inline bool CorrespondExact(const char16_t* s, const char16_t* mot, qsizetype L)
{
    for (qsizetype t = 0; t < L; ++t)
        if (s[t] != mot[t])
            return false;
    return true;
}

} // namespace

// The routine this follows searches the rest of the text again from its start for every
// occurrence and tests the characters around it in the text. Nothing is ever put in front of
// an occurrence that is not replaced, so one left-to-right walk gives the same result. A
// rejected occurrence is copied with the one character after it; for a keyword, an occurrence
// starting on that character would follow a letter and be rejected anyway.
bool PasseMotEntier(std::u16string_view sEntree, const ReglePasse& regle, bool bTexteContinue,
                    std::u16string& sSortie)
{
    const char16_t* s = sEntree.data();
    const qsizetype n = sEntree.size();
    const qsizetype L = regle.sMot.size();
    if (L == 0)
        throw std::invalid_argument("PasseMotEntier: mot vide"); // the routine would not end

    QString sMajLocal;
    if (regle.sMotMaj.size() != L)
        sMajLocal = MajusculesSimples(regle.sMot.toString());
    const char16_t* motMaj = regle.sMotMaj.size() == L
        ? regle.sMotMaj.utf16()
        : reinterpret_cast<const char16_t*>(sMajLocal.constData());
    const char16_t* motExact = regle.sMot.utf16();

    // The first letter is looked for in both cases at once; other characters only go through
    // the upper-casing when they are not plain ASCII.
    const char16_t premierMaj = motMaj[0];
    const char16_t premierMin = premierMaj >= u'A' && premierMaj <= u'Z' ? char16_t(premierMaj + 32) : premierMaj;
    // For a letter, setting bit 0x20 gives the lower case of both cases at once.
    const bool bPremierLettre = premierMaj >= u'A' && premierMaj <= u'Z';
    auto chercher = [&](qsizetype depuis) -> qsizetype {
        const qsizetype dernier = n - L;
        if (regle.bSansCasse && bPremierLettre) {
            for (qsizetype i = ProchainCandidat(s, depuis, dernier, premierMin); i <= dernier;
                 i = ProchainCandidat(s, i + 1, dernier, premierMin)) {
                const char16_t c = s[i];
                const bool bPremier = char16_t(c | 0x20) == premierMin || (c >= 0x80 && Maj(c) == premierMaj);
                if (bPremier && CorrespondMaj(s + i + 1, motMaj + 1, L - 1))
                    return i;
            }
        } else if (regle.bSansCasse) {
            for (qsizetype i = depuis; i <= dernier; ++i) {
                const char16_t c = s[i];
                const bool bPremier = c == premierMaj || c == premierMin || (c >= 0x80 && Maj(c) == premierMaj);
                if (bPremier && CorrespondMaj(s + i + 1, motMaj + 1, L - 1))
                    return i;
            }
        } else {
            for (qsizetype i = depuis; i <= dernier; ++i)
                if (s[i] == motExact[0] && CorrespondExact(s + i + 1, motExact + 1, L - 1))
                    return i;
        }
        return -1;
    };

    bool bModifie = false;
    qsizetype r = 0; // start of the rest
    while (r < n) {
        const qsizetype p = chercher(r);
        if (p < 0) {
            sSortie.append(sEntree.substr(size_t(r)));
            break;
        }
        const bool bAvantColle = regle.bCadreAvant && p > 0 && EstCaractereMot(s[p - 1]);
        // A word that ends the text is left as it is: nothing says it is not cut short.
        const bool bApresColle = regle.bCadreApres
            && (p + L < n ? EstCaractereMot(s[p + L]) : !bTexteContinue);
        if (bAvantColle || bApresColle) {
            // Rejected: the occurrence goes out unchanged with the one character after it.
            const qsizetype fin = std::min(n, p + L + 1);
            sSortie.append(sEntree.substr(size_t(r), size_t(fin - r)));
            r = fin;
            continue;
        }

        qsizetype finAvant = p;
        while (finAvant > r && s[finAvant - 1] == u' ')
            --finAvant;
        sSortie.append(sEntree.substr(size_t(r), size_t(finAvant - r)));
        sSortie.append(regle.sRemplacement.utf16(), size_t(regle.sRemplacement.size()));
        bModifie = true;
        const bool bDeuxEspaces = p + L + 1 < n && s[p + L] == u' ' && s[p + L + 1] == u' ';
        r = p + L + (bDeuxEspaces ? 1 : 0);
    }
    return bModifie;
}

bool PasseMotEntier(QStringView sEntree, const ReglePasse& regle, bool bTexteContinue, QString& sSortie)
{
    std::u16string sTampon;
    sTampon.reserve(size_t(sEntree.size()) + size_t(sEntree.size()) / 8);
    const bool bModifie = PasseMotEntier(std::u16string_view(sEntree.utf16(), size_t(sEntree.size())),
                                         regle, bTexteContinue, sTampon);
    sSortie.append(QStringView(sTampon.data(), qsizetype(sTampon.size())));
    return bModifie;
}
