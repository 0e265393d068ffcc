#include "motsdebutligne.h"

#include "casse.h"

MotsDebutLigne::MotsDebutLigne(const TableauMotsCles& table)
{
    for (const MotCle& mc : table)
        if (mc.RetourLigne && !mc.Supprime && !mc.Mot.isEmpty())
            m_mots.push_back(MajusculesSimples(mc.Mot));
}

bool MotsDebutLigne::Commence(QStringView sTexte, qsizetype i) const
{
    const qsizetype n = sTexte.size();
    for (const QString& sMot : m_mots) {
        const qsizetype L = sMot.size();
        if (i + L > n)
            continue;
        qsizetype t = 0;
        while (t < L && Maj(sTexte[i + t].unicode()) == sMot[t].unicode())
            ++t;
        if (t == L && (i + L == n || !EstCaractereMot(sTexte[i + L].unicode())))
            return true;
    }
    return false;
}

qsizetype FinIndentationAvantMot(QStringView sTexte, qsizetype i, const MotsDebutLigne& mots)
{
    qsizetype j = i;
    while (j < sTexte.size() && (sTexte[j] == u' ' || sTexte[j] == u'\t'))
        ++j;
    return j > i && mots.Commence(sTexte, j) ? j : i;
}
