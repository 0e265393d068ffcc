#include "jointures.h"
#include "insertion.h"
#include "lexique.h"
#include "motcurseur.h"
#include "requetes.h"

#include <QMap>
#include <tuple>

namespace {

bool EstLeMot(const QString &sTexte, const Jeton &j, const char *sMot)
{
    return j.genre == GenreJeton::Nom
        && QStringView(sTexte).mid(j.lDebut, j.lFin - j.lDebut).compare(QLatin1String(sMot), Qt::CaseInsensitive) == 0;
}

// The significant pieces (no blanks, no comments) from lDepart up to lFin.
QVector<Jeton> PiecesAvant(const QString &sTexte, int lDepart, int lFin)
{
    QVector<Jeton> pieces;
    LecteurSql lecteur(sTexte, qBound(0, lDepart, lFin));
    Jeton j;
    while (lecteur.Suivant(j) && j.lFin <= lFin) {
        if (j.genre != GenreJeton::Blanc && j.genre != GenreJeton::Commentaire)
            pieces.append(j);
    }
    return pieces;
}

// The first piece of the dotted name that ends with piece k: its parts touch.
int DebutDuNom(const QVector<Jeton> &p, int k)
{
    while (k > 0 && EstPieceDeNom(p.at(k - 1).genre) && p.at(k - 1).lFin == p.at(k).lDebut)
        --k;
    return k;
}

QString TexteDe(const QString &sTexte, const QVector<Jeton> &p, int i, int j)
{
    return sTexte.mid(p.at(i).lDebut, p.at(j).lFin - p.at(i).lDebut);
}

QStringList Parties(const QString &sObjet)
{
    QStringList noms;
    for (const QString &sPartie : MotAuCurseur(sObjet, int(sObjet.size())).parties)
        noms << NomDeLaPartie(sPartie);
    return noms;
}

// Temporary tables, table variables and the tables the script makes have no
// keys; neither has an object of a linked server (four parts).
bool PeutAvoirDesCles(const TableDeJointure &table, const QStringList &parties)
{
    if (table.bDuScript || parties.isEmpty() || parties.size() > 3)
        return false;
    const QString &sNom = parties.last();
    return !sNom.isEmpty() && !sNom.startsWith(QLatin1Char('#')) && !sNom.startsWith(QLatin1Char('@'));
}

// The tables of one database as a derived table of (index, object id).
QString TablesEtIds(const QVector<QPair<int, QString>> &objets)
{
    QString s = QStringLiteral("(");
    for (int i = 0; i < objets.size(); ++i) {
        s += i == 0 ? QStringLiteral("SELECT %1 AS n, OBJECT_ID(%2) AS id").arg(objets.at(i).first)
                          .arg(Litteral(objets.at(i).second))
                    : QStringLiteral(" UNION ALL SELECT %1, OBJECT_ID(%2)").arg(objets.at(i).first)
                          .arg(Litteral(objets.at(i).second));
    }
    return s + QLatin1Char(')');
}

// The keys of one database's catalogue between the given tables. Names of
// several databases may be in several collations: each block gives them in
// the current database's one.
QString BlocDeLaBase(const QString &sBase, const QVector<QPair<int, QString>> &objets, bool bSchemas)
{
    const QString ids = TablesEtIds(objets);
    if (bSchemas) {
        const QString pre = sBase.isEmpty() ? QString() : Crochets(sBase) + QLatin1Char('.');
        return QStringLiteral(
                   "SELECT pc.name COLLATE DATABASE_DEFAULT AS name, CAST(k.constraint_object_id AS varchar(12)) + ' ' "
                   "+ CAST(k.constraint_column_id AS varchar(6)) + ' ' + CAST(p.n AS varchar(6)) + ' ' + "
                   "CAST(r.n AS varchar(6)) AS Col, rc.name COLLATE DATABASE_DEFAULT AS Proprietaire FROM "
                   "%1sys.foreign_key_columns k JOIN %2 p ON p.id = k.parent_object_id JOIN %2 r ON "
                   "r.id = k.referenced_object_id JOIN %1sys.columns pc ON pc.object_id = k.parent_object_id AND "
                   "pc.column_id = k.parent_column_id JOIN %1sys.columns rc ON rc.object_id = "
                   "k.referenced_object_id AND rc.column_id = k.referenced_column_id")
            .arg(pre, ids);
    }
    const QString pre = sBase.isEmpty() ? QString() : Crochets(sBase) + QStringLiteral(".dbo.");
    return QStringLiteral(
               "SELECT pc.name COLLATE DATABASE_DEFAULT AS name, CAST(k.constid AS varchar(12)) + ' ' + "
               "CAST(k.keyno AS varchar(6)) + ' ' + CAST(p.n AS varchar(6)) + ' ' + CAST(r.n AS varchar(6)) AS Col, "
               "rc.name COLLATE DATABASE_DEFAULT AS Proprietaire FROM %1sysforeignkeys k JOIN %2 p ON "
               "p.id = k.fkeyid JOIN %2 r ON r.id = k.rkeyid JOIN %1syscolumns pc ON pc.id = k.fkeyid AND "
               "pc.colid = k.fkey JOIN %1syscolumns rc ON rc.id = k.rkeyid AND rc.colid = k.rkey")
        .arg(pre, ids);
}

QString Colonne(const QString &sNom)
{
    return TexteDuChoix(sNom, QString(), false);
}

// "a.x = b.x AND a.y = b.y": the joined table's columns on the left.
QString Condition(const QString &sJointe, const QString &sAutre, const QVector<QPair<QString, QString>> &paires)
{
    QStringList egalites;
    for (const auto &paire : paires)
        egalites << sJointe + QLatin1Char('.') + Colonne(paire.first) + QStringLiteral(" = ") + sAutre
                        + QLatin1Char('.') + Colonne(paire.second);
    return egalites.join(QStringLiteral(" AND "));
}

QVector<QPair<QString, QString>> Inversees(const QVector<QPair<QString, QString>> &paires)
{
    QVector<QPair<QString, QString>> inversees;
    for (const auto &paire : paires)
        inversees.append({paire.second, paire.first});
    return inversees;
}

} // namespace

std::optional<TableDeJointure> JointureAuCurseur(const QString &sTexte, int lCaret, int lDepart)
{
    return JointureAuCurseur(sTexte, MotAuCurseur(sTexte, lCaret), lDepart);
}

std::optional<TableDeJointure> JointureAuCurseur(const QString &sTexte, const MotCurseur &mot, int lDepart)
{
    if (mot.bDansLitteral || mot.bAvecPoint())
        return std::nullopt;
    const QVector<Jeton> p = PiecesAvant(sTexte, lDepart, mot.lDebut);
    int k = int(p.size()) - 1;
    if (k < 2 || !EstLeMot(sTexte, p.at(k), "ON"))
        return std::nullopt;
    // JOIN name ON, JOIN name alias ON, JOIN name AS alias ON.
    int lFinNom = k - 1;
    int lDebutNom = DebutDuNom(p, lFinNom);
    TableDeJointure table;
    if (lDebutNom > 0 && !EstLeMot(sTexte, p.at(lDebutNom - 1), "JOIN")) {
        if (lDebutNom != lFinNom || p.at(lFinNom).genre == GenreJeton::Point)
            return std::nullopt;
        table.sAlias = TexteDe(sTexte, p, lFinNom, lFinNom);
        lFinNom = lDebutNom - 1;
        if (EstLeMot(sTexte, p.at(lFinNom), "AS"))
            --lFinNom;
        if (lFinNom < 1 || !EstPieceDeNom(p.at(lFinNom).genre))
            return std::nullopt;
        lDebutNom = DebutDuNom(p, lFinNom);
    }
    if (lDebutNom < 1 || !EstLeMot(sTexte, p.at(lDebutNom - 1), "JOIN") || p.at(lFinNom).genre == GenreJeton::Point)
        return std::nullopt;
    table.sObjet = TexteDe(sTexte, p, lDebutNom, lFinNom);
    return table;
}

QString RequeteClesEtrangeres(const QVector<TableDeJointure> &tables, int lVersionMajeure)
{
    // Tables grouped by the database that holds their keys ("" for the current one).
    QMap<QString, QVector<QPair<int, QString>>> parBase;
    QStringList ordre;
    for (int i = 0; i < tables.size(); ++i) {
        const QStringList parties = Parties(tables.at(i).sObjet);
        if (!PeutAvoirDesCles(tables.at(i), parties))
            continue;
        const QString sBase = parties.size() == 3 ? parties.first() : QString();
        const QString sCle = sBase.toLower();
        if (!parBase.contains(sCle))
            ordre << sBase;
        parBase[sCle].append({i, tables.at(i).sObjet});
    }
    QStringList blocs;
    for (const QString &sBase : std::as_const(ordre))
        blocs << BlocDeLaBase(sBase, parBase.value(sBase.toLower()), lVersionMajeure >= 9);
    return blocs.join(QStringLiteral(" UNION ALL "));
}

QVector<CleEtrangere> ClesDesLignes(const QVector<LigneProposition> &lignes)
{
    // (constraint, referencing, referenced) -> column number -> pair.
    QMap<std::tuple<qint64, int, int>, QMap<int, QPair<QString, QString>>> cles;
    for (const LigneProposition &ligne : lignes) {
        const QStringList champs = ligne.sCleIcone.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (champs.size() != 4)
            continue;
        cles[{champs.at(0).toLongLong(), champs.at(2).toInt(), champs.at(3).toInt()}].insert(
            champs.at(1).toInt(), {ligne.sNom, ligne.sProprietaire});
    }
    QVector<CleEtrangere> resultat;
    for (auto it = cles.cbegin(); it != cles.cend(); ++it) {
        CleEtrangere cle;
        cle.iReferencante = std::get<1>(it.key());
        cle.iReferencee = std::get<2>(it.key());
        for (const auto &paire : it.value())
            cle.colonnes.append(paire);
        resultat.append(cle);
    }
    return resultat;
}

QStringList ConditionsDeJointure(const QVector<TableDeJointure> &tables, int iJointe,
                                 const QVector<CleEtrangere> &cles)
{
    QStringList conditions;
    if (iJointe < 0 || iJointe >= tables.size() || tables.at(iJointe).bDuScript)
        return conditions;
    const QString sJointe = tables.at(iJointe).Qualifiant();
    for (int i = 0; i < iJointe; ++i) {
        if (tables.at(i).bDuScript)
            continue;
        const QString sAutre = tables.at(i).Qualifiant();
        for (const CleEtrangere &cle : cles) {
            QString sCondition;
            if (cle.iReferencante == iJointe && cle.iReferencee == i)
                sCondition = Condition(sJointe, sAutre, cle.colonnes);
            else if (cle.iReferencee == iJointe && cle.iReferencante == i)
                sCondition = Condition(sJointe, sAutre, Inversees(cle.colonnes));
            if (!sCondition.isEmpty() && !conditions.contains(sCondition))
                conditions << sCondition;
        }
    }
    return conditions;
}

int IndexDeLaJointure(const QVector<TableDeJointure> &tables, const TableDeJointure &jointe)
{
    for (int i = int(tables.size()) - 1; i >= 0; --i) {
        if (tables.at(i).sObjet.compare(jointe.sObjet, Qt::CaseInsensitive) == 0
            && NomDeLaPartie(tables.at(i).sAlias).compare(NomDeLaPartie(jointe.sAlias), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVector<LigneProposition> PropositionsDeJointure(SourceCatalogue &source, const QVector<TableDeJointure> &tables,
                                                 int iJointe, int lVersionMajeure, const QString &sPrefixe)
{
    QVector<LigneProposition> propositions;
    if (iJointe < 0 || iJointe >= tables.size() || tables.at(iJointe).bDuScript)
        return propositions;
    // Only the joined table and those before it can give a condition.
    const QVector<TableDeJointure> utiles = tables.mid(0, iJointe + 1);
    const QString sRequete = RequeteClesEtrangeres(utiles, lVersionMajeure);
    if (sRequete.isEmpty())
        return propositions;
    const auto lignes = source.Lignes(sRequete);
    if (!lignes)
        return propositions;
    for (const QString &sCondition : ConditionsDeJointure(utiles, iJointe, ClesDesLignes(*lignes))) {
        if (sCondition.startsWith(sPrefixe, Qt::CaseInsensitive))
            propositions.append({sCondition, CleIconeJointure(), QString()});
    }
    return propositions;
}
