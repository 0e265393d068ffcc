#include "reecriture.h"

#include "collations.h"
#include "fonctionssqlite.h"
#include "jetonssql.h"
#include "profil.h"

#include <QSet>

namespace {
using Jetons = QVector<JetonSql>;

QString chaineSqlite(const QString &s)
{
    return QLatin1Char('\'') + QString(s).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

QString nomSqlite(const QString &s)
{
    return QLatin1Char('"') + QString(s).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

bool estMot(const JetonSql &j, const char *mot)
{
    return j.genre == JetonSql::Mot && j.sTexte.compare(QLatin1String(mot), Qt::CaseInsensitive) == 0;
}

bool estSymbole(const JetonSql &j, const char *symbole)
{
    return j.genre == JetonSql::Symbole && j.sTexte == QLatin1String(symbole);
}

bool estNom(const JetonSql &j)
{
    return j.genre == JetonSql::Mot || j.genre == JetonSql::NomDelimite;
}

// Significant pieces only: rewriting works on them, blanks are kept in the output.
struct Texte {
    Jetons jetons;     // significant pieces
    QStringList sortie;  // what each piece becomes
    QStringList blancs;  // blanks and comments written before each piece
    QString fin;         // blanks after the last piece
    QString suffixe;     // appended at the very end (LIMIT)
};

Texte prepare(const QString &sInstruction, const QHash<QString, QString> &nomsCanoniques)
{
    Texte t;
    QString enAttente;
    for (const JetonSql &j : DecoupeJetons(sInstruction)) {
        if (!EstSignificatif(j)) {
            enAttente += j.genre == JetonSql::Commentaire ? QStringLiteral(" ") : j.sTexte;
            continue;
        }
        t.jetons << j;
        t.blancs << enAttente;
        enAttente.clear();
        if (j.bNonFerme)
            t.sortie << j.sTexte.mid(j.sTexte.indexOf(QLatin1Char('\''))); // SQLite reports it as T-SQL would
        else if (j.genre == JetonSql::Chaine)
            t.sortie << chaineSqlite(j.sValeur);
        else if (estNom(j) && nomsCanoniques.contains(j.sValeur.toCaseFolded()))
            t.sortie << nomSqlite(nomsCanoniques.value(j.sValeur.toCaseFolded()));
        else if (j.genre == JetonSql::NomDelimite
                 || (j.genre == JetonSql::Mot && j.sTexte.startsWith(QLatin1Char('#'))))
            t.sortie << nomSqlite(j.sValeur); // SQLite has no bare #temp names
        else
            t.sortie << j.sTexte;
    }
    t.fin = enAttente;
    return t;
}

QString assemble(const Texte &t)
{
    QString s;
    for (int i = 0; i < t.jetons.size(); ++i)
        s += t.blancs.at(i) + t.sortie.at(i);
    return s + t.suffixe + t.fin;
}

void remplaceVariables(Texte &t, const ContexteReecriture &contexte)
{
    for (int i = 0; i < t.jetons.size(); ++i) {
        if (t.jetons.at(i).genre != JetonSql::Variable)
            continue;
        const QString v = t.jetons.at(i).sTexte.toUpper();
        if (v == QLatin1String("@@VERSION"))
            t.sortie[i] = chaineSqlite(TexteVersionComplet());
        else if (v == QLatin1String("@@SERVERNAME"))
            t.sortie[i] = chaineSqlite(contexte.sNomServeur);
        else if (v == QLatin1String("@@SPID"))
            t.sortie[i] = QStringLiteral("51");
        else if (v == QLatin1String("@@TRANCOUNT") || v == QLatin1String("@@ERROR"))
            t.sortie[i] = QStringLiteral("0");
        else if (v == QLatin1String("@@ROWCOUNT"))
            t.sortie[i] = QStringLiteral("changes()");
        else if (v == QLatin1String("@@IDENTITY"))
            t.sortie[i] = QStringLiteral("last_insert_rowid()");
        else if (v == QLatin1String("@@LANGUAGE"))
            t.sortie[i] = chaineSqlite(QStringLiteral("us_english"));
    }
}

// db.dbo.x, db..x, dbo.x (and the same followed by .column).
void remplaceNomsComposes(Texte &t, const ContexteReecriture &contexte, QStringList &bases)
{
    for (int i = 0; i < t.jetons.size(); ++i) {
        if (!estNom(t.jetons.at(i)) || (i > 0 && estSymbole(t.jetons.at(i - 1), ".")))
            continue;
        // Gather the parts: a name, then (dot, optional name) pairs written without blanks.
        QVector<int> parties{i};
        int k = i + 1;
        while (k < t.jetons.size() && estSymbole(t.jetons.at(k), ".") && t.blancs.at(k).isEmpty()) {
            if (k + 1 < t.jetons.size() && estNom(t.jetons.at(k + 1)) && t.blancs.at(k + 1).isEmpty()) {
                parties << k + 1;
                k += 2;
            } else if (k + 1 < t.jetons.size() && estSymbole(t.jetons.at(k + 1), ".")) {
                parties << -1; // db..x
                k += 1;
            } else {
                break;
            }
        }
        if (parties.size() < 2)
            continue;
        auto valeur = [&](int idx) { return idx < 0 ? QString() : t.jetons.at(idx).sValeur; };
        const int fin = k - 1;
        auto efface = [&](int de, int a) {
            for (int x = de; x <= a; ++x) {
                t.sortie[x].clear();
                if (x > de)
                    t.blancs[x].clear();
            }
        };
        const bool bDboDevant = valeur(parties.at(0)).compare(QLatin1String("dbo"), Qt::CaseInsensitive) == 0;
        const bool bSchemaAuMilieu = parties.size() >= 3
            && (parties.at(1) < 0 || valeur(parties.at(1)).compare(QLatin1String("dbo"), Qt::CaseInsensitive) == 0);
        if (bDboDevant && parties.size() <= 3) {
            // dbo.x or dbo.x.col: drop "dbo."
            efface(i, parties.at(1) - 1);
            i = fin;
        } else if (bSchemaAuMilieu) {
            const QString sBase = valeur(parties.at(0));
            QString sSchema = QStringLiteral("main");
            if (CompareSansCasse(sBase, contexte.sBaseCourante) != 0) {
                sSchema = nomSqlite(sBase);
                if (!bases.contains(sBase, Qt::CaseInsensitive))
                    bases << sBase;
            }
            const int objet = parties.at(2);
            efface(i, objet - 1);
            t.sortie[i] = sSchema + QLatin1Char('.');
            i = fin;
        } else {
            i = fin;
        }
    }
}

void renommeFonctions(Texte &t)
{
    static const QHash<QString, QString> noms{
        {QStringLiteral("ISNULL"), QStringLiteral("ifnull")},
        {QStringLiteral("LEN"), QStringLiteral("length")},
        {QStringLiteral("SUBSTRING"), QStringLiteral("substr")},
        {QStringLiteral("CHAR_LENGTH"), QStringLiteral("length")},
    };
    for (int i = 0; i + 1 < t.jetons.size(); ++i) {
        if (t.jetons.at(i).genre != JetonSql::Mot || !estSymbole(t.jetons.at(i + 1), "("))
            continue;
        const auto trouve = noms.constFind(t.jetons.at(i).sTexte.toUpper());
        if (trouve != noms.constEnd())
            t.sortie[i] = trouve.value();
    }
}

int profondeurA(const Texte &t, int lIndex)
{
    int p = 0;
    for (int i = 0; i < lIndex; ++i) {
        if (estSymbole(t.jetons.at(i), "("))
            ++p;
        else if (estSymbole(t.jetons.at(i), ")"))
            --p;
    }
    return p;
}

void remplaceTop(Texte &t)
{
    for (int i = 0; i + 1 < t.jetons.size(); ++i) {
        if (!estMot(t.jetons.at(i), "TOP") || profondeurA(t, i) != 0)
            continue;
        const bool bApresSelect = i > 0 && (estMot(t.jetons.at(i - 1), "SELECT") || estMot(t.jetons.at(i - 1), "DISTINCT")
                                            || estMot(t.jetons.at(i - 1), "ALL"));
        if (!bApresSelect)
            continue;
        int k = i + 1;
        const bool bParentheses = estSymbole(t.jetons.at(k), "(");
        if (bParentheses)
            ++k;
        if (k >= t.jetons.size() || t.jetons.at(k).genre != JetonSql::Nombre)
            continue;
        const QString n = t.jetons.at(k).sTexte;
        int dernier = k;
        if (bParentheses) {
            if (k + 1 >= t.jetons.size() || !estSymbole(t.jetons.at(k + 1), ")"))
                continue;
            dernier = k + 1;
        }
        for (int x = i; x <= dernier; ++x) {
            t.sortie[x].clear();
            t.blancs[x].clear();
        }
        t.suffixe = QStringLiteral(" LIMIT ") + n;
        return;
    }
}

QString operande(const Texte &t, int de, int a)
{
    QString s;
    for (int x = de; x <= a; ++x)
        s += t.sortie.at(x);
    return s;
}

// name LIKE 'abc%': also bound the name between 'abc' and 'abc\uFFFF' so that
// an index on a CI column narrows the search; LIKE still decides.
void borneLike(Texte &t)
{
    for (int i = 1; i + 1 < t.jetons.size(); ++i) {
        if (!estMot(t.jetons.at(i), "LIKE") || t.jetons.at(i + 1).genre != JetonSql::Chaine
            || t.jetons.at(i + 1).bNonFerme)
            continue;
        const QString motif = t.jetons.at(i + 1).sValeur;
        if (!motif.endsWith(QLatin1Char('%')) || motif.size() < 2)
            continue;
        const QString prefixe = motif.chopped(1);
        if (prefixe.contains(QLatin1Char('%')) || prefixe.contains(QLatin1Char('_')) || prefixe.contains(QLatin1Char('['))
            || prefixe.endsWith(QLatin1Char(' ')))
            continue;
        if (i + 2 < t.jetons.size() && estMot(t.jetons.at(i + 2), "ESCAPE"))
            continue;
        int debut = i - 1;
        if (!estNom(t.jetons.at(debut)) || estMot(t.jetons.at(debut), "NOT"))
            continue;
        while (debut >= 2 && estSymbole(t.jetons.at(debut - 1), ".") && estNom(t.jetons.at(debut - 2)))
            debut -= 2;
        const QString sOperande = operande(t, debut, i - 1);
        t.sortie[debut] = QStringLiteral("(%1 >= %2 AND %1 < %3 AND ")
                              .arg(sOperande, chaineSqlite(prefixe), chaineSqlite(prefixe + QChar(0xFFFF)))
                          + t.sortie.at(debut);
        t.sortie[i + 1] += QLatin1Char(')');
    }
}

void trieSansCasse(Texte &t, const QString &sCollation)
{
    int ordre = -1;
    for (int i = 0; i + 1 < t.jetons.size(); ++i)
        if (estMot(t.jetons.at(i), "ORDER") && estMot(t.jetons.at(i + 1), "BY") && profondeurA(t, i) == 0)
            ordre = i + 2;
    if (ordre < 0)
        return;
    int profondeur = 0;
    int debutTerme = ordre;
    bool bCollation = false;
    auto fermeTerme = [&](int apres) {
        if (apres < debutTerme || bCollation)
            return;
        int dernier = apres;
        if (estMot(t.jetons.at(dernier), "ASC") || estMot(t.jetons.at(dernier), "DESC"))
            --dernier;
        if (dernier >= debutTerme)
            t.sortie[dernier] += QStringLiteral(" COLLATE ") + sCollation;
    };
    int i = ordre;
    for (; i < t.jetons.size(); ++i) {
        const JetonSql &j = t.jetons.at(i);
        if (estSymbole(j, "("))
            ++profondeur;
        else if (estSymbole(j, ")"))
            --profondeur;
        else if (profondeur == 0 && estSymbole(j, ",")) {
            fermeTerme(i - 1);
            debutTerme = i + 1;
            bCollation = false;
        } else if (profondeur == 0 && (estMot(j, "LIMIT") || estMot(j, "OFFSET")))
            break;
        else if (estMot(j, "COLLATE"))
            bCollation = true;
    }
    fermeTerme(i - 1);
}

bool estTypeTexte(const QString &sType)
{
    static const QSet<QString> types{QStringLiteral("char"), QStringLiteral("varchar"), QStringLiteral("nchar"),
                                     QStringLiteral("nvarchar"), QStringLiteral("text"), QStringLiteral("ntext"),
                                     QStringLiteral("sysname")};
    return types.contains(sType.toLower());
}

bool estTypeEntier(const QString &sType)
{
    static const QSet<QString> types{QStringLiteral("int"), QStringLiteral("integer"), QStringLiteral("bigint"),
                                     QStringLiteral("smallint"), QStringLiteral("tinyint")};
    return types.contains(sType.toLower());
}

// One column definition of CREATE TABLE, pieces de..a (inclusive).
void adapteColonne(Texte &t, int de, int a, const QString &sCollation)
{
    static const QStringList contraintes{QStringLiteral("CONSTRAINT"), QStringLiteral("PRIMARY"),
                                         QStringLiteral("UNIQUE"), QStringLiteral("FOREIGN"), QStringLiteral("CHECK")};
    if (a <= de || contraintes.contains(t.jetons.at(de).sTexte.toUpper()))
        return;
    const int type = de + 1;
    if (t.jetons.at(type).genre != JetonSql::Mot)
        return;
    int apresType = type;
    if (apresType + 1 <= a && estSymbole(t.jetons.at(apresType + 1), "(")) {
        int k = apresType + 1;
        while (k <= a && !estSymbole(t.jetons.at(k), ")"))
            ++k;
        // nvarchar(max): SQLite only takes numbers between the parentheses.
        if (k == apresType + 3 && estMot(t.jetons.at(apresType + 2), "MAX"))
            for (int x = apresType + 1; x <= k; ++x)
                t.sortie[x].clear();
        apresType = std::min(k, a);
    }
    bool bIdentite = false, bClePrimaire = false, bCollation = false;
    for (int k = apresType + 1; k <= a; ++k) {
        const JetonSql &j = t.jetons.at(k);
        if (estMot(j, "IDENTITY")) {
            bIdentite = true;
            t.sortie[k].clear();
            if (k + 1 <= a && estSymbole(t.jetons.at(k + 1), "(")) {
                int x = k + 1;
                for (; x <= a && !estSymbole(t.jetons.at(x), ")"); ++x)
                    t.sortie[x].clear();
                if (x <= a)
                    t.sortie[x].clear();
            }
        } else if (estMot(j, "PRIMARY")) {
            bClePrimaire = true;
        } else if (estMot(j, "CLUSTERED") || estMot(j, "NONCLUSTERED")) {
            t.sortie[k].clear();
        } else if (estMot(j, "COLLATE")) {
            bCollation = true;
            if (k + 1 <= a)
                t.sortie[k + 1] = CollationSqlite(t.jetons.at(k + 1).sValeur);
        } else if (estMot(j, "DEFAULT") && k + 2 <= a && t.jetons.at(k + 1).genre == JetonSql::Mot
                   && estSymbole(t.jetons.at(k + 2), "(")) {
            // DEFAULT getdate(): SQLite wants an expression default in parentheses.
            int x = k + 2, profondeur = 0;
            for (; x <= a; ++x) {
                if (estSymbole(t.jetons.at(x), "("))
                    ++profondeur;
                else if (estSymbole(t.jetons.at(x), ")") && --profondeur == 0)
                    break;
            }
            t.sortie[k + 1].prepend(QLatin1Char('('));
            t.sortie[std::min(x, a)] += QLatin1Char(')');
        }
    }
    const QString sType = t.jetons.at(type).sTexte;
    if (sType.compare(QLatin1String("sysname"), Qt::CaseInsensitive) == 0)
        t.sortie[type] = QStringLiteral("nvarchar(128)");
    if (estTypeTexte(sType) && !bCollation)
        t.sortie[apresType] += QStringLiteral(" COLLATE ") + sCollation;
    if (bIdentite && bClePrimaire && estTypeEntier(sType))
        t.sortie[type] = QStringLiteral("integer"); // becomes SQLite's own row number
}

void adapteCreateTable(Texte &t, const QString &sCollation)
{
    if (t.jetons.size() < 4 || !estMot(t.jetons.at(0), "CREATE") || !estMot(t.jetons.at(1), "TABLE"))
        return;
    int ouverture = 2;
    while (ouverture < t.jetons.size() && !estSymbole(t.jetons.at(ouverture), "("))
        ++ouverture;
    int profondeur = 0;
    int debut = ouverture + 1;
    for (int i = ouverture; i < t.jetons.size(); ++i) {
        const JetonSql &j = t.jetons.at(i);
        if (estSymbole(j, "(")) {
            ++profondeur;
        } else if (estSymbole(j, ")")) {
            if (--profondeur == 0) {
                adapteColonne(t, debut, i - 1, sCollation);
                // ON [PRIMARY] and the like after the column list mean nothing here.
                for (int x = i + 1; x < t.jetons.size(); ++x) {
                    t.sortie[x].clear();
                    t.blancs[x].clear();
                }
                return;
            }
        } else if (profondeur == 1 && estSymbole(j, ",")) {
            adapteColonne(t, debut, i - 1, sCollation);
            debut = i + 1;
        } else if (profondeur == 1 && (estMot(j, "CLUSTERED") || estMot(j, "NONCLUSTERED"))) {
            t.sortie[i].clear();
        }
    }
}
}

SqlReecrit ReecritPourSqlite(const QString &sInstruction, const ContexteReecriture &contexte)
{
    Texte t = prepare(sInstruction, contexte.nomsCanoniques);
    SqlReecrit resultat;
    remplaceVariables(t, contexte);
    remplaceNomsComposes(t, contexte, resultat.basesCitees);
    renommeFonctions(t);
    remplaceTop(t);
    adapteCreateTable(t, contexte.sCollationSqlite);
    borneLike(t);
    trieSansCasse(t, contexte.sCollationSqlite);
    resultat.sSql = assemble(t);
    return resultat;
}

QString ObjetDefini(const QString &sSqlReecrit, QString &sSchema)
{
    QVector<JetonSql> j;
    for (const JetonSql &x : DecoupeJetons(sSqlReecrit))
        if (EstSignificatif(x))
            j << x;
    sSchema = QStringLiteral("main");
    if (j.size() < 3 || !(estMot(j.at(0), "CREATE") || estMot(j.at(0), "DROP") || estMot(j.at(0), "ALTER")))
        return QString();
    if (!(estMot(j.at(1), "TABLE") || estMot(j.at(1), "VIEW")))
        return QString();
    int k = 2;
    if (k + 2 < j.size() && estMot(j.at(k), "IF")) // IF [NOT] EXISTS
        k += estMot(j.at(k + 1), "NOT") ? 3 : 2;
    if (k >= j.size() || !estNom(j.at(k)))
        return QString();
    if (k + 2 < j.size() && estSymbole(j.at(k + 1), ".") && estNom(j.at(k + 2))) {
        sSchema = j.at(k).sValeur;
        return j.at(k + 2).sValeur;
    }
    return j.at(k).sValeur;
}
