#include "instructionsql.h"

#include <QSet>

namespace {
QString chaineSqlite(const QString &s)
{
    return QLatin1Char('\'') + QString(s).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

QString nomSqlite(const QString &s)
{
    return QLatin1Char('"') + QString(s).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// What a piece becomes in SQLite before any rewrite: strings and delimited
// names quoted the SQLite way, #temp names delimited (SQLite has no bare ones).
QString formeSqlite(const JetonSql &x)
{
    if (x.bNonFerme)
        return x.sTexte.mid(x.sTexte.indexOf(QLatin1Char('\''))); // SQLite reports it as T-SQL would
    if (x.genre == JetonSql::Chaine)
        return chaineSqlite(x.sValeur);
    if (x.genre == JetonSql::NomDelimite || (x.genre == JetonSql::Mot && x.sTexte.startsWith(QLatin1Char('#'))))
        return nomSqlite(x.sValeur);
    return x.sTexte;
}

// Words before "(" that start a name's column list or a type, not a call.
bool avantListe(const JetonSql &x)
{
    static const QSet<QString> mots{"INTO", "TABLE", "REFERENCES", "VIEW", "INDEX", "ON", "PROCEDURE", "PROC",
                                    "EXEC", "EXECUTE", "AS"};
    return x.genre == JetonSql::Mot && mots.contains(x.sTexte.toUpper());
}
}

bool EstMotReserve(const JetonSql &j)
{
    static const QSet<QString> mots{
        "SELECT", "FROM", "WHERE", "AND", "OR", "NOT", "IN", "IS", "LIKE", "ESCAPE", "BETWEEN", "EXISTS", "ORDER",
        "BY", "GROUP", "HAVING", "UNION", "ALL", "ANY", "SOME", "DISTINCT", "TOP", "PERCENT", "TIES", "AS", "ON",
        "JOIN", "INNER", "LEFT", "RIGHT", "FULL", "OUTER", "CROSS", "APPLY", "INSERT", "INTO", "VALUES", "UPDATE",
        "SET", "DELETE", "CASE", "WHEN", "THEN", "ELSE", "END", "ASC", "DESC", "COLLATE", "WITH", "OFFSET", "ROWS",
        "FETCH", "OPTION", "FOR", "DEFAULT", "TABLE", "VIEW", "INDEX", "EXCEPT", "INTERSECT", "OUTPUT", "PRIMARY",
        "KEY", "UNIQUE", "CHECK", "REFERENCES", "FOREIGN", "CONSTRAINT", "CREATE", "DROP", "ALTER", "EXEC",
        "EXECUTE", "PRINT", "RETURN", "BEGIN", "COMMIT", "ROLLBACK", "USE", "WAITFOR", "TRUNCATE", "DECLARE"};
    return j.genre == JetonSql::Mot && mots.contains(j.sTexte.toUpper());
}

bool InstructionSql::mot(int i, const char *sMot) const
{
    return i >= 0 && i < taille() && j.at(i).genre == JetonSql::Mot
           && j.at(i).sTexte.compare(QLatin1String(sMot), Qt::CaseInsensitive) == 0;
}

bool InstructionSql::symbole(int i, const char *sSymbole) const
{
    return i >= 0 && i < taille() && j.at(i).genre == JetonSql::Symbole && j.at(i).sTexte == QLatin1String(sSymbole);
}

bool InstructionSql::nom(int i) const
{
    return i >= 0 && i < taille() && (j.at(i).genre == JetonSql::Mot || j.at(i).genre == JetonSql::NomDelimite);
}

QString InstructionSql::premierMot() const
{
    return !j.isEmpty() && j.first().genre == JetonSql::Mot ? j.first().sTexte.toUpper() : QString();
}

int InstructionSql::finCase(int i) const
{
    int lNiveau = 0;
    for (int k = i; k < taille(); ++k) {
        if (mot(k, "CASE"))
            ++lNiveau;
        else if (mot(k, "END") && --lNiveau == 0)
            return k;
    }
    return taille();
}

int InstructionSql::apres(int i) const
{
    if (symbole(i, "(") && paire.at(i) > i)
        return paire.at(i) + 1;
    if (mot(i, "CASE"))
        return std::min(finCase(i) + 1, taille());
    return i + 1;
}

void InstructionSql::efface(int de, int a)
{
    for (int x = de; x <= a; ++x) {
        sortie[x].clear();
        prefixe[x].clear();
        suffixe[x].clear();
        if (x > de)
            avant[x].clear();
    }
}

void InstructionSql::insereAvant(int i, const QString &sTexte)
{
    if (i < taille())
        prefixe[i].prepend(sTexte);
    else
        queue.prepend(sTexte);
}

QString InstructionSql::texteDe(int de, int a) const
{
    QString s;
    for (int x = de; x <= a; ++x)
        s += (x > de ? avant.at(x) : QString()) + prefixe.at(x) + sortie.at(x) + suffixe.at(x);
    return s;
}

QString InstructionSql::assemble() const
{
    return (taille() > 0 ? avant.first() + texteDe(0, taille() - 1) : QString()) + queue + fin;
}

InstructionSql ModeleInstruction(const QVector<JetonSql> &jetons)
{
    InstructionSql m;
    QString enAttente;
    QVector<int> ouvertes;
    for (const JetonSql &x : jetons) {
        m.sTexte += x.sTexte;
        if (!EstSignificatif(x)) {
            enAttente += x.genre == JetonSql::Commentaire ? QStringLiteral(" ") : x.sTexte;
            continue;
        }
        const int i = m.taille();
        m.j << x;
        m.avant << enAttente;
        m.sortie << formeSqlite(x);
        m.prefixe << QString();
        m.suffixe << QString();
        m.fige << false;
        m.paire << -1;
        m.englobante << (ouvertes.isEmpty() ? -1 : ouvertes.last());
        enAttente.clear();
        if (m.symbole(i, "(")) {
            ouvertes << i;
        } else if (m.symbole(i, ")") && !ouvertes.isEmpty()) {
            m.paire[i] = ouvertes.last();
            m.paire[ouvertes.last()] = i;
            ouvertes.removeLast();
            m.englobante[i] = ouvertes.isEmpty() ? -1 : ouvertes.last();
        }
    }
    m.fin = enAttente;
    m.sTexte = m.sTexte.trimmed();
    return m;
}

InstructionSql ModeleInstruction(const QString &sInstruction)
{
    return ModeleInstruction(DecoupeJetons(sInstruction));
}

QVector<AppelFonction> AppelsFonctions(const InstructionSql &m)
{
    QVector<AppelFonction> appels;
    for (int i = 0; i + 1 < m.taille(); ++i) {
        const bool bNomFonction = !EstMotReserve(m.j.at(i)) || m.mot(i, "LEFT") || m.mot(i, "RIGHT");
        if (m.j.at(i).genre != JetonSql::Mot || !bNomFonction || !m.symbole(i + 1, "(") || m.paire.at(i + 1) < 0
            || (i > 0 && (avantListe(m.j.at(i - 1)) || m.symbole(i - 1, "."))))
            continue;
        AppelFonction a;
        a.lNom = i;
        a.lOuvrante = i + 1;
        a.lFermante = m.paire.at(i + 1);
        int debut = i + 2;
        for (int k = i + 2; k < a.lFermante; k = m.apres(k)) {
            if (m.symbole(k, ",")) {
                a.arguments << qMakePair(debut, k - 1);
                debut = k + 1;
            }
        }
        if (debut < a.lFermante || !a.arguments.isEmpty())
            a.arguments << qMakePair(debut, a.lFermante - 1);
        appels << a;
    }
    return appels;
}
