#include "reecriture.h"

#include "additions.h"
#include "collations.h"
#include "fonctionssqlite.h"
#include "fonctionstsql.h"
#include "limites.h"
#include "profil.h"

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

// SQLite folds the letter case of ASCII names only: the others are spelt as stored.
void nommeCommeStocke(InstructionSql &t, const QHash<QString, QString> &nomsCanoniques)
{
    if (nomsCanoniques.isEmpty())
        return;
    for (int i = 0; i < t.taille(); ++i) {
        const auto trouve = nomsCanoniques.constFind(t.j.at(i).sValeur.toCaseFolded());
        if (t.nom(i) && !t.fige.at(i) && trouve != nomsCanoniques.constEnd())
            t.sortie[i] = nomSqlite(trouve.value());
    }
}

void remplaceVariables(InstructionSql &t, const ContexteReecriture &contexte)
{
    for (int i = 0; i < t.j.size(); ++i) {
        if (t.j.at(i).genre != JetonSql::Variable)
            continue;
        const QString v = t.j.at(i).sTexte.toUpper();
        if (v == QLatin1String("@@VERSION"))
            t.sortie[i] = chaineSqlite(TexteVersionComplet());
        else if (v == QLatin1String("@@SERVERNAME"))
            t.sortie[i] = chaineSqlite(contexte.sNomServeur);
        else if (v == QLatin1String("@@SPID"))
            t.sortie[i] = QStringLiteral("51");
        else if (v == QLatin1String("@@TRANCOUNT"))
            t.sortie[i] = QStringLiteral("trancount()");
        else if (v == QLatin1String("@@ERROR"))
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
void remplaceNomsComposes(InstructionSql &t, const ContexteReecriture &contexte, QStringList &bases)
{
    for (int i = 0; i < t.j.size(); ++i) {
        if (!estNom(t.j.at(i)) || t.fige.at(i) || (i > 0 && estSymbole(t.j.at(i - 1), ".")))
            continue;
        // Gather the parts: a name, then (dot, optional name) pairs written without blanks.
        QVector<int> parties{i};
        int k = i + 1;
        while (k < t.j.size() && estSymbole(t.j.at(k), ".") && t.avant.at(k).isEmpty()) {
            if (k + 1 < t.j.size() && estNom(t.j.at(k + 1)) && t.avant.at(k + 1).isEmpty()) {
                parties << k + 1;
                k += 2;
            } else if (k + 1 < t.j.size() && estSymbole(t.j.at(k + 1), ".")) {
                parties << -1; // db..x
                k += 1;
            } else {
                break;
            }
        }
        if (parties.size() < 2)
            continue;
        auto valeur = [&](int idx) { return idx < 0 ? QString() : t.j.at(idx).sValeur; };
        const int fin = k - 1;
        const bool bDboDevant = valeur(parties.at(0)).compare(QLatin1String("dbo"), Qt::CaseInsensitive) == 0;
        const bool bSchemaAuMilieu = parties.size() >= 3
            && (parties.at(1) < 0 || valeur(parties.at(1)).compare(QLatin1String("dbo"), Qt::CaseInsensitive) == 0);
        if (bDboDevant && parties.size() <= 3) {
            // dbo.x or dbo.x.col: drop "dbo."
            t.efface(i, parties.at(1) - 1);
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
            t.efface(i, objet - 1);
            t.sortie[i] = sSchema + QLatin1Char('.');
            i = fin;
        } else {
            i = fin;
        }
    }
}

QString operande(const InstructionSql &t, int de, int a)
{
    QString s;
    for (int x = de; x <= a; ++x)
        s += t.prefixe.at(x) + t.sortie.at(x) + t.suffixe.at(x);
    return s;
}

// name LIKE 'abc%': also bound the name between 'abc' and 'abc\uFFFF' so that
// an index on a CI column narrows the search; LIKE still decides.
void borneLike(InstructionSql &t)
{
    for (int i = 1; i + 1 < t.j.size(); ++i) {
        if (!estMot(t.j.at(i), "LIKE") || t.j.at(i + 1).genre != JetonSql::Chaine
            || t.j.at(i + 1).bNonFerme)
            continue;
        const QString motif = t.j.at(i + 1).sValeur;
        if (!motif.endsWith(QLatin1Char('%')) || motif.size() < 2)
            continue;
        const QString prefixe = motif.chopped(1);
        if (prefixe.contains(QLatin1Char('%')) || prefixe.contains(QLatin1Char('_')) || prefixe.contains(QLatin1Char('['))
            || prefixe.endsWith(QLatin1Char(' ')))
            continue;
        if (t.mot(i + 2, "ESCAPE") || t.symbole(i + 2, "+"))
            continue;
        int debut = i - 1;
        if (!estNom(t.j.at(debut)) || estMot(t.j.at(debut), "NOT"))
            continue;
        while (debut >= 2 && estSymbole(t.j.at(debut - 1), ".") && estNom(t.j.at(debut - 2)))
            debut -= 2;
        const QString sOperande = operande(t, debut, i - 1);
        t.prefixe[debut] += QStringLiteral("(%1 >= %2 AND %1 < %3 AND ")
                                .arg(sOperande, chaineSqlite(prefixe), chaineSqlite(prefixe + QChar(0xFFFF)));
        t.suffixe[i + 1] += QLatin1Char(')');
    }
}

// Each ORDER BY term compares under the database's collation unless it names one.
void trieUnOrdre(InstructionSql &t, int lOrdre, const QString &sCollation)
{
    const int lNiveau = t.englobante.at(lOrdre);
    const int lFin = lNiveau >= 0 && t.paire.at(lNiveau) > lNiveau ? t.paire.at(lNiveau) : t.taille();
    int debutTerme = lOrdre + 2;
    bool bCollation = false;
    auto fermeTerme = [&](int dernier) {
        if (dernier < debutTerme || bCollation)
            return;
        if (estMot(t.j.at(dernier), "ASC") || estMot(t.j.at(dernier), "DESC"))
            --dernier;
        if (dernier >= debutTerme)
            t.suffixe[dernier] += QStringLiteral(" COLLATE ") + sCollation;
    };
    int i = debutTerme;
    for (; i < lFin; i = t.apres(i)) {
        const JetonSql &j = t.j.at(i);
        if (estSymbole(j, ",")) {
            fermeTerme(i - 1);
            debutTerme = i + 1;
            bCollation = false;
        } else if (estMot(j, "LIMIT") || estMot(j, "OFFSET") || estMot(j, "FOR") || estMot(j, "OPTION")) {
            break;
        } else if (estMot(j, "COLLATE")) {
            bCollation = true;
        }
    }
    fermeTerme(i - 1);
}

void trieSansCasse(InstructionSql &t, const QString &sCollation)
{
    for (int i = 0; i + 1 < t.taille(); ++i)
        if (estMot(t.j.at(i), "ORDER") && estMot(t.j.at(i + 1), "BY"))
            trieUnOrdre(t, i, sCollation);
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
void adapteColonne(InstructionSql &t, int de, int a, const QString &sCollation)
{
    static const QStringList contraintes{QStringLiteral("CONSTRAINT"), QStringLiteral("PRIMARY"),
                                         QStringLiteral("UNIQUE"), QStringLiteral("FOREIGN"), QStringLiteral("CHECK")};
    if (a <= de || contraintes.contains(t.j.at(de).sTexte.toUpper()))
        return;
    const int type = de + 1;
    if (t.j.at(type).genre != JetonSql::Mot)
        return;
    int apresType = type;
    if (apresType + 1 <= a && estSymbole(t.j.at(apresType + 1), "(")) {
        int k = apresType + 1;
        while (k <= a && !estSymbole(t.j.at(k), ")"))
            ++k;
        // nvarchar(max): SQLite only takes numbers between the parentheses; the
        // declared type "nvarchar max" keeps the column's results unbounded.
        if (k == apresType + 3 && estMot(t.j.at(apresType + 2), "MAX")) {
            for (int x = apresType + 1; x <= k; ++x)
                t.sortie[x].clear();
            t.sortie[apresType + 2] = QStringLiteral(" max");
        }
        apresType = std::min(k, a);
    }
    bool bIdentite = false, bClePrimaire = false, bCollation = false;
    for (int k = apresType + 1; k <= a; ++k) {
        const JetonSql &j = t.j.at(k);
        if (estMot(j, "IDENTITY")) {
            bIdentite = true;
            t.sortie[k].clear();
            if (k + 1 <= a && estSymbole(t.j.at(k + 1), "(")) {
                int x = k + 1;
                for (; x <= a && !estSymbole(t.j.at(x), ")"); ++x)
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
                t.sortie[k + 1] = CollationSqlite(t.j.at(k + 1).sValeur);
        } else if (estMot(j, "DEFAULT") && k + 2 <= a && t.j.at(k + 1).genre == JetonSql::Mot
                   && estSymbole(t.j.at(k + 2), "(")) {
            // DEFAULT getdate(): SQLite wants an expression default in parentheses.
            int x = k + 2, profondeur = 0;
            for (; x <= a; ++x) {
                if (estSymbole(t.j.at(x), "("))
                    ++profondeur;
                else if (estSymbole(t.j.at(x), ")") && --profondeur == 0)
                    break;
            }
            t.sortie[k + 1].prepend(QLatin1Char('('));
            t.sortie[std::min(x, a)] += QLatin1Char(')');
        }
    }
    const QString sType = t.j.at(type).sTexte;
    if (sType.compare(QLatin1String("sysname"), Qt::CaseInsensitive) == 0)
        t.sortie[type] = QStringLiteral("nvarchar(128)");
    if (estTypeTexte(sType) && !bCollation)
        t.sortie[apresType] += QStringLiteral(" COLLATE ") + sCollation;
    if (bIdentite && bClePrimaire && estTypeEntier(sType))
        t.sortie[type] = QStringLiteral("integer"); // becomes SQLite's own row number
}

void adapteCreateTable(InstructionSql &t, const QString &sCollation)
{
    if (t.j.size() < 4 || !estMot(t.j.at(0), "CREATE") || !estMot(t.j.at(1), "TABLE"))
        return;
    int ouverture = 2;
    while (ouverture < t.j.size() && !estSymbole(t.j.at(ouverture), "("))
        ++ouverture;
    int profondeur = 0;
    int debut = ouverture + 1;
    for (int i = ouverture; i < t.j.size(); ++i) {
        const JetonSql &j = t.j.at(i);
        if (estSymbole(j, "(")) {
            ++profondeur;
        } else if (estSymbole(j, ")")) {
            if (--profondeur == 0) {
                adapteColonne(t, debut, i - 1, sCollation);
                // ON [PRIMARY] and the like after the column list mean nothing here.
                for (int x = i + 1; x < t.j.size(); ++x) {
                    t.sortie[x].clear();
                    t.avant[x].clear();
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

// CREATE/DROP/ALTER TABLE or VIEW [IF [NOT] EXISTS] name, when name resolution
// did not place the object: x, dbo.x, #x (main) or db.dbo.x, db..x.
void objetDefini(InstructionSql &t, const QString &sBaseCourante)
{
    if (t.taille() < 3 || !(t.mot(0, "CREATE") || t.mot(0, "DROP") || t.mot(0, "ALTER"))
        || !(t.mot(1, "TABLE") || t.mot(1, "VIEW")))
        return;
    int k = 2;
    if (t.mot(k, "IF"))
        k += t.mot(k + 1, "NOT") ? 3 : 2;
    QStringList parties{t.j.value(k).sValeur};
    for (int x = k + 1; t.symbole(x, "."); ++x) {
        if (t.nom(x + 1)) {
            parties << t.j.at(x + 1).sValeur;
            ++x;
        } else {
            parties << QString();
        }
    }
    if (!t.nom(k))
        return;
    t.sSchemaDefini = QStringLiteral("main");
    if (parties.size() == 3 && CompareSansCasse(parties.first(), sBaseCourante) != 0)
        t.sSchemaDefini = parties.first();
    t.sObjetDefini = parties.last();
}
}

std::optional<ErreurSql> ReecritPourSqlite(InstructionSql &t, const ContexteReecriture &contexte)
{
    nommeCommeStocke(t, contexte.nomsCanoniques);
    remplaceVariables(t, contexte);
    remplaceNomsComposes(t, contexte, t.basesCitees);
    ReecritAdditions(t);
    if (auto e = ReecritFonctions(t))
        return e;
    ReecritTop(t);
    adapteCreateTable(t, contexte.sCollationSqlite);
    borneLike(t);
    trieSansCasse(t, contexte.sCollationSqlite);
    if (t.sObjetDefini.isEmpty())
        objetDefini(t, contexte.sBaseCourante);
    return std::nullopt;
}

QString ReecritTexte(const QString &sInstruction, const ContexteReecriture &contexte)
{
    InstructionSql t = ModeleInstruction(sInstruction);
    ReecritPourSqlite(t, contexte);
    return t.assemble();
}
