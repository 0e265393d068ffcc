#include "additions.h"

#include "instructionsql.h"

#include <QSet>

namespace {
bool estSigne(const InstructionSql &m, int i)
{
    return m.symbole(i, "-") || m.symbole(i, "+") || m.symbole(i, "~");
}

bool estNomDOperande(const InstructionSql &m, int i)
{
    if (i >= m.taille())
        return false;
    const JetonSql &x = m.j.at(i);
    if (x.genre == JetonSql::NomDelimite)
        return true;
    if (x.genre != JetonSql::Mot)
        return false;
    if (m.mot(i, "LEFT") || m.mot(i, "RIGHT"))
        return m.symbole(i + 1, "(");
    return !EstMotReserve(x);
}

// Returns the index after the operand that starts at i (signs included), or -1.
int finOperande(const InstructionSql &m, int i)
{
    while (estSigne(m, i))
        ++i;
    if (i >= m.taille())
        return -1;
    const JetonSql::Genre genre = m.j.at(i).genre;
    int k;
    if (genre == JetonSql::Nombre || genre == JetonSql::Chaine || genre == JetonSql::Variable) {
        k = i + 1;
    } else if (m.symbole(i, "(") || m.mot(i, "CASE")) {
        k = m.apres(i);
        if (m.symbole(i, "(") && m.paire.at(i) < 0)
            return -1;
    } else if (estNomDOperande(m, i)) {
        k = i + 1;
        while (m.symbole(k, ".") && estNomDOperande(m, k + 1))
            k += 2;
        if (m.symbole(k, "(") && m.paire.at(k) > k)
            k = m.paire.at(k) + 1;
    } else {
        return -1;
    }
    if (m.mot(k, "COLLATE") && k + 1 < m.taille())
        k += 2;
    return k;
}

// Returns the index after the term (operands joined by * / %) that starts at i, or -1.
int finTerme(const InstructionSql &m, int i)
{
    int k = finOperande(m, i);
    while (k > 0 && (m.symbole(k, "*") || m.symbole(k, "/") || m.symbole(k, "%"))) {
        const int suite = finOperande(m, k + 1);
        if (suite < 0)
            break;
        k = suite;
    }
    return k;
}

struct Operation {
    int lOperateur;
    int lFinTerme; // last piece of the term after the operator
};
}

void ReecritAdditions(InstructionSql &m)
{
    QSet<int> traites;
    for (int i = 0; i < m.taille(); ++i) {
        int k = finTerme(m, i);
        if (k < 0)
            continue;
        QVector<Operation> operations;
        bool bPlus = false;
        while (m.symbole(k, "+") || m.symbole(k, "-")) {
            const int suite = finTerme(m, k + 1);
            if (suite < 0)
                break;
            operations << Operation{k, suite - 1};
            bPlus = bPlus || m.symbole(k, "+");
            k = suite;
        }
        // A chain met again from one of its later terms was written already.
        if (!bPlus || traites.contains(operations.first().lOperateur))
            continue;
        for (const Operation &o : std::as_const(operations)) {
            traites << o.lOperateur;
            if (!m.symbole(o.lOperateur, "+"))
                continue;
            m.prefixe[i].prepend(QStringLiteral("tsql_plus("));
            m.sortie[o.lOperateur] = QStringLiteral(",");
            m.suffixe[o.lFinTerme] += QLatin1Char(')');
        }
    }
}
