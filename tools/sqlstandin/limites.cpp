#include "limites.h"

#include "instructionsql.h"

namespace {
bool estOperationEnsembles(const InstructionSql &m, int i)
{
    return m.mot(i, "UNION") || m.mot(i, "EXCEPT") || m.mot(i, "INTERSECT");
}

int finNiveau(const InstructionSql &m, int lNiveau)
{
    return lNiveau >= 0 && m.paire.at(lNiveau) > lNiveau ? m.paire.at(lNiveau) : m.taille();
}

// The pieces of one level, from its start to its end, skipping nested parentheses.
QVector<int> piecesDuNiveau(const InstructionSql &m, int lNiveau)
{
    QVector<int> pieces;
    for (int k = lNiveau + 1; k < finNiveau(m, lNiveau); k = m.symbole(k, "(") ? m.apres(k) : k + 1)
        pieces << k;
    return pieces;
}

// Where the branch that starts at lSelect ends: before the next set operation
// of its level, or before the ORDER BY that sorts the whole, or at the level's end.
int finBranche(const InstructionSql &m, const QVector<int> &pieces, int lSelect)
{
    int fin = finNiveau(m, m.englobante.at(lSelect));
    for (int k : pieces) {
        if (k <= lSelect)
            continue;
        if (estOperationEnsembles(m, k) || (m.mot(k, "ORDER") && m.mot(k + 1, "BY"))) {
            fin = k;
            break;
        }
    }
    return fin;
}

void limiteUnSelect(InstructionSql &m, int lTop)
{
    const int lSelect = m.mot(lTop - 1, "SELECT") ? lTop - 1 : lTop - 2;
    int k = lTop + 1;
    const bool bParentheses = m.symbole(k, "(");
    if (bParentheses)
        ++k;
    if (k >= m.taille() || m.j.at(k).genre != JetonSql::Nombre || (bParentheses && !m.symbole(k + 1, ")")))
        return;
    const QString n = m.j.at(k).sTexte;
    m.efface(lTop, bParentheses ? k + 1 : k);
    const int lNiveau = m.englobante.at(lSelect);
    const QVector<int> pieces = piecesDuNiveau(m, lNiveau);
    const bool bEnsemble = std::any_of(pieces.cbegin(), pieces.cend(), [&](int x) { return estOperationEnsembles(m, x); });
    if (!bEnsemble) {
        m.insereAvant(finNiveau(m, lNiveau), QStringLiteral(" LIMIT ") + n);
        return;
    }
    m.prefixe[lSelect].prepend(QStringLiteral("SELECT * FROM ("));
    m.insereAvant(finBranche(m, pieces, lSelect), QStringLiteral(" LIMIT %1) ").arg(n));
}

// (SELECT ...) UNION (SELECT ...): SQLite wants each branch as a SELECT.
void ouvreBranchesEntreParentheses(InstructionSql &m)
{
    for (int i = 0; i < m.taille(); ++i) {
        if (!estOperationEnsembles(m, i))
            continue;
        const int lApres = m.mot(i + 1, "ALL") ? i + 2 : i + 1;
        if (m.symbole(lApres, "(") && m.mot(lApres + 1, "SELECT"))
            m.prefixe[lApres].prepend(QStringLiteral("SELECT * FROM "));
        const int lOuvrante = m.symbole(i - 1, ")") ? m.paire.at(i - 1) : -1;
        if (lOuvrante >= 0 && m.mot(lOuvrante + 1, "SELECT") && !m.prefixe.at(lOuvrante).contains(QLatin1String("SELECT")))
            m.prefixe[lOuvrante].prepend(QStringLiteral("SELECT * FROM "));
    }
}
}

void ReecritTop(InstructionSql &m)
{
    for (int i = 1; i < m.taille(); ++i) {
        const bool bApresSelect = m.mot(i - 1, "SELECT")
                                  || ((m.mot(i - 1, "DISTINCT") || m.mot(i - 1, "ALL")) && m.mot(i - 2, "SELECT"));
        if (m.mot(i, "TOP") && bApresSelect && !m.fige.at(i))
            limiteUnSelect(m, i);
    }
    ouvreBranchesEntreParentheses(m);
}
