#include "passemotentier.h"

#include "casse.h"

namespace {

inline bool CorrespondMaj(const char16_t* s, const char16_t* motMaj, qsizetype L)
{
    for (qsizetype t = 0; t < L; ++t)
        if (Maj(s[t]) != motMaj[t])
            return false;
    return true;
}

inline bool CorrespondExact(const char16_t* s, const char16_t* mot, qsizetype L)
{
    for (qsizetype t = 0; t < L; ++t)
        if (s[t] != mot[t])
            return false;
    return true;
}

} // namespace

// The replacement routine this reproduces searches the rest of the text again from its start
// for every occurrence, and before judging an occurrence checks, with a pattern match over
// the whole rest, that a free-standing occurrence is still somewhere ahead. Both are read
// here from precomputed facts: the rest only ever loses characters from its front, so the
// pattern match is "the last free-standing occurrence lies ahead".
BilanPasse PasseMotEntier(QStringView sEntree, const ReglePasse& regle, bool bLibreAuDela,
                          QString& sSortie)
{
    BilanPasse bilan;
    const char16_t* s = sEntree.utf16();
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

    // Free-standing occurrences in the sense of the pattern match, which always compares the
    // upper-cased texts: non-letter before and after, both inside the text. When one is known
    // to lie further on anyway, the pattern match always succeeds and they need not be sought.
    qsizetype lDerniereLibre = -1;
    const qsizetype lDebutRecherche = bLibreAuDela ? 0 : n - L - 1;
    for (qsizetype j = lDebutRecherche; j >= 1; --j) {
        if (!EstLettre(s[j - 1]) && !EstLettre(s[j + L]) && CorrespondMaj(s + j, motMaj, L)) {
            lDerniereLibre = j;
            break;
        }
    }
    bilan.bOccurrenceLibre = bLibreAuDela || lDerniereLibre >= 0;

    // The first letter is looked for in both cases at once; other characters only go through
    // the upper-casing when they are not plain ASCII.
    const char16_t premierMaj = motMaj[0];
    const char16_t premierMin = premierMaj >= u'A' && premierMaj <= u'Z' ? char16_t(premierMaj + 32) : premierMaj;
    auto chercher = [&](qsizetype depuis) -> qsizetype {
        const qsizetype dernier = n - L;
        if (regle.bSansCasse) {
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

    qsizetype r = 0; // start of the rest
    while (r < n) {
        const qsizetype p = chercher(r);
        if (p < 0) {
            sSortie.append(sEntree.mid(r));
            break;
        }
        // An occurrence at the very start of the rest gets a space in front of it.
        const bool bEspaceAjoute = p == r;
        const bool bSuiteLibre = p + L < n && !EstLettre(s[p + L]);

        bool bMotif;
        if (regle.bCadreAvant && regle.bCadreApres) {
            bMotif = bLibreAuDela || lDerniereLibre >= r + 1 || (bEspaceAjoute && bSuiteLibre);
        } else if (regle.bCadreAvant) {
            // "*[!A-Z]WORD": the rest must end with the word after a non-letter.
            bMotif = n - L >= r + 1 && !EstLettre(s[n - L - 1])
                && CorrespondMaj(s + n - L, motMaj, L);
            if (!bMotif && bEspaceAjoute && p + L == n)
                bMotif = true;
        } else {
            // Anchored at the start of the rest, which now begins with the added space or
            // with a character that is not the word: the pattern can never match.
            bMotif = false;
        }
        if (!bMotif) {
            if (bEspaceAjoute) {
                sSortie.append(u' ');
                bilan.bModifie = true;
            }
            sSortie.append(sEntree.mid(r));
            break;
        }

        const bool bAvantColle = !bEspaceAjoute && EstCaractereMot(s[p - 1]);
        const bool bApresColle = p + L < n && EstCaractereMot(s[p + L]);
        if (bAvantColle || bApresColle) {
            // Rejected: the occurrence goes out unchanged with the one character after it.
            if (bEspaceAjoute) {
                sSortie.append(u' ');
                bilan.bModifie = true;
            }
            const qsizetype fin = std::min(n, p + L + 1);
            sSortie.append(sEntree.mid(r, fin - r));
            r = fin;
            continue;
        }

        if (!bEspaceAjoute) {
            qsizetype finAvant = p;
            while (finAvant > r && s[finAvant - 1] == u' ')
                --finAvant;
            sSortie.append(sEntree.mid(r, finAvant - r));
        }
        sSortie.append(regle.sRemplacement);
        bilan.bModifie = true;
        const bool bDeuxEspaces = p + L + 1 < n && s[p + L] == u' ' && s[p + L + 1] == u' ';
        r = p + L + (bDeuxEspaces ? 1 : 0);
    }
    return bilan;
}
