#include "graines.h"

#include "bases.h"
#include "catalogue.h"
#include "collations.h"
#include "fonctionssqlite.h"
#include "profil.h"
#include "reecriture.h"
#include "resolution.h"

#include <QStringList>
#include <sqlite3.h>

namespace {
const char *const tablesDemo[] = {
    "CREATE TABLE clients (id int NOT NULL PRIMARY KEY, nom nvarchar(60) NOT NULL, ville nvarchar(40), "
    "pays nvarchar(40), email varchar(80), date_creation datetime)",
    "CREATE TABLE clients_archives (id int NOT NULL PRIMARY KEY, nom nvarchar(60), date_archivage datetime)",
    "CREATE TABLE produits (id int NOT NULL PRIMARY KEY, nom nvarchar(60) NOT NULL, categorie nvarchar(30), "
    "prix money, stock int)",
    "CREATE TABLE commandes (id int NOT NULL PRIMARY KEY, client_id int NOT NULL REFERENCES clients (id), "
    "date_commande datetime, statut nvarchar(20))",
    "CREATE TABLE [lignes de commande] (commande_id int NOT NULL, produit_id int NOT NULL, quantite int, "
    "prix_unitaire money, FOREIGN KEY (commande_id) REFERENCES commandes (id), "
    "CONSTRAINT FK_lignes_produits FOREIGN KEY (produit_id) REFERENCES produits)",
    "CREATE TABLE [Clients_Été] (id int NOT NULL PRIMARY KEY, nom nvarchar(60), ville nvarchar(40), "
    "séjour nvarchar(40))",
    "CREATE VIEW vue_ventes AS SELECT c.nom AS client, p.nom AS produit, l.quantite, l.prix_unitaire, "
    "o.date_commande FROM commandes o JOIN clients c ON c.id = o.client_id "
    "JOIN [lignes de commande] l ON l.commande_id = o.id JOIN produits p ON p.id = l.produit_id",
};

// A second owner (2000) or schema (2005 on) in Ventes.
const char *const tablesCompta[] = {
    "CREATE TABLE Compta.factures (id int NOT NULL PRIMARY KEY, client_id int NOT NULL REFERENCES clients (id), "
    "montant money, date_facture datetime, UNIQUE (id, client_id))",
    // A payment names its invoice and the invoice's customer: a key of two columns.
    "CREATE TABLE Compta.reglements (id int NOT NULL PRIMARY KEY, facture_id int NOT NULL, montant money, "
    "mode nvarchar(20), client_id int NOT NULL, "
    "FOREIGN KEY (facture_id, client_id) REFERENCES Compta.factures (id, client_id))",
};

// Only from 2005 on: a table of the same name in two schemas, and a non-Latin name.
const char *const tables2019[] = {
    "CREATE TABLE Compta.clients (id int NOT NULL PRIMARY KEY, raison_sociale nvarchar(60) NOT NULL, solde money)",
    "CREATE TABLE [Προϊόντα] (κωδικός int NOT NULL PRIMARY KEY, όνομα nvarchar(60) NOT NULL, τιμή money)",
};

// The case-sensitive database of the 2019 profile.
const char *const tablesEntrepot[] = {
    "CREATE TABLE articles (id int NOT NULL PRIMARY KEY, Reference nvarchar(20) NOT NULL, libelle nvarchar(60), "
    "Quantite int)",
    "CREATE TABLE emplacements (id int NOT NULL PRIMARY KEY, Allee nvarchar(4), casier int, article_id int)",
    "INSERT INTO articles VALUES (1, N'VB-10', N'vis à bois', 500), (2, N'VM-6', N'Vis à métaux', 300), "
    "(3, N'VP-4', N'VIS PLATE', 120), (4, N'EC-8', N'écrou', 800)",
    "INSERT INTO emplacements VALUES (1, N'A', 3, 1), (2, N'A', 4, 2), (3, N'b', 1, 3), (4, N'B', 2, 4)",
};

const char *const prenoms[] = {"Alice", "Bruno", "Chloé", "David", "Émile", "Fanny", "Gaspard", "Hélène",
                               "Inès", "Jules", "Karim", "Léa", "Marc", "Noémie", "Oscar", "Pauline"};
const char *const noms[] = {"Martin", "Bernard", "Dubois", "Thomas", "Robert", "Richard", "Petit", "Durand",
                            "Leroy", "Moreau", "Simon", "Laurent", "Lefèvre", "Michel", "Garcia"};
const char *const villes[] = {"Paris", "Lyon", "Marseille", "Toulouse", "Nice", "Nantes", "Strasbourg",
                              "Montpellier", "Bordeaux", "Lille", "Genève", "Bruxelles", "Québec"};
const char *const categories[] = {"Épicerie", "Boissons", "Crèmerie", "Boulangerie", "Fruits"};
const char *const articles[] = {"Café", "Thé vert", "Chocolat", "Confiture", "Miel", "Jus d'orange", "Eau gazeuse",
                                "Beurre", "Fromage", "Yaourt", "Baguette", "Croissant", "Pomme", "Poire"};
const char *const statuts[] = {"en cours", "expédiée", "livrée", "annulée"};

template <size_t N>
QString choix(const char *const (&tableau)[N], int i)
{
    return QString::fromUtf8(tableau[size_t(i) % N]);
}

QString chaine(const QString &s)
{
    return QLatin1Char('\'') + QString(s).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

QString date(int lJour)
{
    return QStringLiteral("'2004-%1-%2 %3:%4:00'")
        .arg(1 + lJour % 12, 2, 10, QLatin1Char('0'))
        .arg(1 + lJour % 28, 2, 10, QLatin1Char('0'))
        .arg(8 + lJour % 10, 2, 10, QLatin1Char('0'))
        .arg((lJour * 7) % 60, 2, 10, QLatin1Char('0'));
}

QStringList donneesDemo()
{
    QStringList l;
    for (int i = 1; i <= 60; ++i)
        l << QStringLiteral("INSERT INTO clients VALUES (%1, %2, %3, 'France', %4, %5)")
                 .arg(i)
                 .arg(chaine(choix(prenoms, i) + QLatin1Char(' ') + choix(noms, i * 7)), chaine(choix(villes, i * 3)),
                      chaine(QStringLiteral("client%1@exemple.fr").arg(i)), date(i));
    for (int i = 1; i <= 5; ++i)
        l << QStringLiteral("INSERT INTO clients_archives VALUES (%1, %2, %3)")
                 .arg(100 + i).arg(chaine(choix(noms, i)), date(i * 11));
    for (int i = 1; i <= 40; ++i)
        l << QStringLiteral("INSERT INTO produits VALUES (%1, %2, %3, %4, %5)")
                 .arg(i)
                 .arg(chaine(choix(articles, i) + QStringLiteral(" n°%1").arg(i)), chaine(choix(categories, i)))
                 .arg(1.5 + (i * 37) % 200 / 10.0)
                 .arg((i * 13) % 90);
    for (int i = 1; i <= 120; ++i)
        l << QStringLiteral("INSERT INTO commandes VALUES (%1, %2, %3, %4)")
                 .arg(i).arg(1 + (i * 17) % 60).arg(date(i * 5), chaine(choix(statuts, i)));
    for (int i = 1; i <= 300; ++i)
        l << QStringLiteral("INSERT INTO [lignes de commande] VALUES (%1, %2, %3, %4)")
                 .arg(1 + (i - 1) % 120).arg(1 + (i * 11) % 40).arg(1 + i % 9).arg(2.0 + (i * 29) % 150 / 10.0);
    for (int i = 1; i <= 12; ++i)
        l << QStringLiteral("INSERT INTO [Clients_Été] VALUES (%1, %2, %3, %4)")
                 .arg(i)
                 .arg(chaine(choix(prenoms, i + 3) + QLatin1Char(' ') + choix(noms, i)), chaine(choix(villes, i)),
                      chaine(i % 2 ? QStringLiteral("Côte d'Azur") : QStringLiteral("Forêt-Noire")));
    return l;
}

QString execute(sqlite3 *db, const QString &sTsql, const QString &sBase, const QString &sCollation)
{
    InstructionSql m = ModeleInstruction(sTsql);
    if (const auto e = ResoutNoms(m, ContexteResolution{db, sBase, sCollation, {}}))
        return e->sMessage + QStringLiteral(" in: ") + sTsql;
    ContexteReecriture contexte{sBase, QString(), {}};
    contexte.sCollationSqlite = CollationSqlite(sCollation);
    if (const auto e = ReecritPourSqlite(m, contexte))
        return e->sMessage + QStringLiteral(" in: ") + sTsql;
    QString erreur = Execute(db, m.assemble());
    if (erreur.isEmpty() && !m.sObjetDefini.isEmpty())
        erreur = SynchroniseObjet(db, m.sSchemaDefini, m.sObjetDefini);
    return erreur.isEmpty() ? QString() : erreur + QStringLiteral(" in: ") + sTsql;
}

QString executeTout(sqlite3 *db, const QStringList &instructions, const QString &sBase, const QString &sCollation)
{
    for (const QString &instruction : instructions) {
        const QString erreur = execute(db, instruction, sBase, sCollation);
        if (!erreur.isEmpty())
            return erreur;
    }
    return QString();
}

template <size_t N>
QStringList textes(const char *const (&tableau)[N])
{
    QStringList l;
    for (const char *s : tableau)
        l << QString::fromUtf8(s);
    return l;
}

QStringList donneesCompta()
{
    QStringList l;
    for (int i = 1; i <= 30; ++i)
        l << QStringLiteral("INSERT INTO Compta.factures VALUES (%1, %2, %3, %4)")
                 .arg(i).arg(1 + (i * 7) % 60).arg(20.0 + (i * 53) % 400).arg(date(i * 3));
    for (int i = 1; i <= 20; ++i)
        l << QStringLiteral("INSERT INTO Compta.reglements VALUES (%1, %2, %3, %4, %5)")
                 .arg(i).arg(i).arg(20.0 + (i * 53) % 400)
                 .arg(chaine(i % 3 ? QStringLiteral("virement") : QStringLiteral("chèque")))
                 .arg(1 + (i * 7) % 60);
    return l;
}

QStringList donnees2019()
{
    QStringList l;
    for (int i = 1; i <= 8; ++i)
        l << QStringLiteral("INSERT INTO Compta.clients VALUES (%1, %2, %3)")
                 .arg(i).arg(chaine(choix(noms, i * 3) + QStringLiteral(" SARL"))).arg(100.0 * i);
    l << QStringLiteral("INSERT INTO [Προϊόντα] VALUES (1, N'Ελαιόλαδο', 8.5), (2, N'Φέτα', 6.2), (3, N'Μέλι', 9)");
    return l;
}

// The owner Compta: a user in SQL Server 2000, a schema owned by dbo from 2005 on.
QString creeProprietaireCompta(sqlite3 *db)
{
    if (AvecSchemas())
        return Execute(db, QStringLiteral("INSERT INTO \"sys.schemas\" VALUES ('Compta', 5, 1)"));
    return Execute(db, QStringLiteral(
        "INSERT INTO sysusers (uid, status, name, createdate, updatedate, altuid, gid, hasdbaccess, islogin, "
        "isntname, isntgroup, isntuser, issqluser, isaliased, issqlrole, isapprole) VALUES "
        "(5, 2, 'Compta', '2004-01-05 09:30:00.000', '2004-01-05 09:30:00.000', 0, 0, 1, 1, 0, 0, 0, 1, 0, 0, 0)"));
}

QString nouvelleBase(const QString &sDossier, const QString &sNom, sqlite3 *&db, ContexteFonctions &contexte)
{
    bool bCreee = false;
    db = nullptr;
    const QString sCollation = contexte.sCollation.isEmpty() ? CollationServeur() : contexte.sCollation;
    QString erreur = CreeBase(sDossier, sNom, bCreee, sCollation);
    if (!erreur.isEmpty() || !bCreee)
        return erreur;
    sqlite3 *master = OuvreFichier(FichierBase(sDossier, QStringLiteral("master.sqlite")), &contexte, erreur);
    if (!master)
        return erreur;
    const auto base = ChercheBase(master, sDossier, sNom);
    FermeFichier(master);
    if (!base)
        return QStringLiteral("database %1 not listed after its creation").arg(sNom);
    db = OuvreFichier(base->sFichier, &contexte, erreur);
    if (db)
        erreur = Execute(db, QStringLiteral("ATTACH DATABASE '%1' AS master")
                                 .arg(FichierBase(sDossier, QStringLiteral("master.sqlite")).replace(QLatin1Char('\''), QStringLiteral("''"))));
    return erreur;
}

// Every table of the large database gets one foreign key, col001 to col001 of
// the next table (the last one to the first), so that each has a key both ways.
QString enchaineCles(sqlite3 *db, int lPremierId, int lTables)
{
    const int lPremiereCle = lPremierId + lTables;
    return Execute(db, QStringLiteral(
        "WITH RECURSIVE n(t) AS (SELECT 0 UNION ALL SELECT t + 1 FROM n WHERE t + 1 < %3) "
        "INSERT INTO sysobjects (name, id, xtype, uid, info, status, base_schema_ver, replinfo, parent_obj, crdate, "
        "ftcatid, schema_ver, stats_schema_ver, type, userstat, sysstat, indexdel, refdate, version, deltrig, "
        "instrig, updtrig, seltrig, category, cache) SELECT 'FK_' || o.name, %2 + n.t, 'F ', 1, 0, 0, 0, 0, o.id, "
        "o.crdate, 0, 0, 0, 'F ', 0, 0, 0, o.crdate, 0, 0, 0, 0, 0, 0, 0 FROM n JOIN sysobjects o ON o.id = %1 + n.t;"
        "WITH RECURSIVE n(t) AS (SELECT 0 UNION ALL SELECT t + 1 FROM n WHERE t + 1 < %3) "
        "INSERT INTO sysforeignkeys (constid, fkeyid, rkeyid, fkey, rkey, keyno) "
        "SELECT %2 + t, %1 + t, %1 + (t + 1) % %3, 1, 1, 1 FROM n;")
        .arg(lPremierId).arg(lPremiereCle).arg(lTables));
}

QString semeEntrepot(const QString &sDossier)
{
    const QString sCollation = QStringLiteral("Latin1_General_CS_AS");
    ContexteFonctions contexte{QStringLiteral("Entrepot"), sCollation, true};
    sqlite3 *db = nullptr;
    QString erreur = nouvelleBase(sDossier, contexte.sBaseCourante, db, contexte);
    if (!db)
        return erreur;
    if (erreur.isEmpty())
        erreur = Execute(db, QStringLiteral("BEGIN"));
    if (erreur.isEmpty())
        erreur = executeTout(db, textes(tablesEntrepot), contexte.sBaseCourante, sCollation);
    Execute(db, erreur.isEmpty() ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
    FermeFichier(db);
    return erreur;
}
}

QString SemeDemo(const QString &sDossier)
{
    const QString sCollation = AvecSchemas() ? QStringLiteral("French_CI_AS") : CollationServeur();
    ContexteFonctions contexte{QStringLiteral("Ventes"), sCollation, false};
    sqlite3 *db = nullptr;
    QString erreur = nouvelleBase(sDossier, QStringLiteral("Ventes"), db, contexte);
    if (!db)
        return erreur;
    const QString sBase = contexte.sBaseCourante;
    if (erreur.isEmpty())
        erreur = Execute(db, QStringLiteral("BEGIN"));
    if (erreur.isEmpty())
        erreur = executeTout(db, textes(tablesDemo) + donneesDemo(), sBase, sCollation);
    if (erreur.isEmpty())
        erreur = creeProprietaireCompta(db);
    if (erreur.isEmpty())
        erreur = executeTout(db, textes(tablesCompta) + donneesCompta(), sBase, sCollation);
    if (erreur.isEmpty() && AvecSchemas())
        erreur = executeTout(db, textes(tables2019) + donnees2019(), sBase, sCollation);
    if (erreur.isEmpty()) {
        const int lCommandes = AjouteEntreeCatalogue(db, QStringLiteral("ps_liste_clients"), QStringLiteral("P "));
        AjouteEntreeCatalogue(db, QStringLiteral("fn_total_commande"), QStringLiteral("FN"));
        int lParent = 0;
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT id FROM sysobjects WHERE name = 'commandes'", -1, &st, nullptr) == SQLITE_OK
            && sqlite3_step(st) == SQLITE_ROW)
            lParent = sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
        AjouteEntreeCatalogue(db, QStringLiteral("tr_commandes_statut"), QStringLiteral("TR"), lParent);
        if (lCommandes == 0)
            erreur = QStringLiteral("catalogue entries could not be added");
    }
    Execute(db, erreur.isEmpty() ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
    FermeFichier(db);
    if (erreur.isEmpty() && AvecSchemas())
        erreur = semeEntrepot(sDossier);
    return erreur;
}

QString SemeGrande(const QString &sDossier, int lTables, int lColonnes)
{
    ContexteFonctions contexte{QStringLiteral("Grande"), QString(), false};
    sqlite3 *db = nullptr;
    QString erreur = nouvelleBase(sDossier, QStringLiteral("Grande"), db, contexte);
    if (!db)
        return erreur;
    QStringList tables;
    tables << QStringLiteral("large500");
    for (int i = 1; i <= 50 && tables.size() < lTables; ++i)
        tables << QStringLiteral("cible_%1").arg(i, 2, 10, QLatin1Char('0'));
    for (int i = 1; tables.size() < lTables; ++i)
        tables << QStringLiteral("t%1").arg(i, 5, 10, QLatin1Char('0'));
    const int lLarge = std::min(500, lColonnes);
    const int lAutres = tables.size() > 1 ? (lColonnes - lLarge) / (tables.size() - 1) : 0;
    int lReste = tables.size() > 1 ? (lColonnes - lLarge) % (tables.size() - 1) : 0;

    erreur = Execute(db, QStringLiteral("BEGIN"));
    sqlite3_stmt *objet = nullptr;
    sqlite3_stmt *colonne = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO sysobjects (name, id, xtype, uid, info, status, base_schema_ver, replinfo, "
                           "parent_obj, crdate, ftcatid, schema_ver, stats_schema_ver, type, userstat, sysstat, "
                           "indexdel, refdate, version, deltrig, instrig, updtrig, seltrig, category, cache) VALUES "
                           "(?1, ?2, 'U ', 1, 0, 0, 0, 0, 0, '2005-01-01 00:00:00', 0, 0, 0, 'U ', 1, 1, 0, "
                           "'2005-01-01 00:00:00', 0, 0, 0, 0, 0, 0, 0)",
                       -1, &objet, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO syscolumns (name, id, xtype, typestat, xusertype, length, xprec, xscale, "
                           "colid, xoffset, bitpos, reserved, colstat, cdefault, domain, number, colorder, offset, "
                           "collationid, language, status, type, usertype, prec, scale, iscomputed, isoutparam, "
                           "isnullable, collation) VALUES (?1, ?2, 56, 0, 56, 4, 10, 0, ?3, 0, 0, 0, 0, 0, 0, 0, ?3, "
                           "0, 0, 0, 8, 56, 56, 10, 0, 0, 0, 1, NULL)",
                       -1, &colonne, nullptr);
    const int lPremierId = ProchainIdObjet(db, QStringLiteral("main"));
    for (int t = 0; t < tables.size() && erreur.isEmpty() && objet && colonne; ++t) {
        const QByteArray nom = tables.at(t).toUtf8();
        const int lId = lPremierId + t;
        sqlite3_reset(objet);
        sqlite3_bind_text(objet, 1, nom.constData(), nom.size(), SQLITE_TRANSIENT);
        sqlite3_bind_int(objet, 2, lId);
        if (sqlite3_step(objet) != SQLITE_DONE)
            erreur = QString::fromUtf8(sqlite3_errmsg(db));
        int lNombre = t == 0 ? lLarge : lAutres;
        if (t > 0 && lReste > 0) {
            ++lNombre;
            --lReste;
        }
        for (int c = 1; c <= lNombre && erreur.isEmpty(); ++c) {
            const QByteArray nomColonne = QStringLiteral("col%1").arg(c, 3, 10, QLatin1Char('0')).toUtf8();
            sqlite3_reset(colonne);
            sqlite3_bind_text(colonne, 1, nomColonne.constData(), nomColonne.size(), SQLITE_TRANSIENT);
            sqlite3_bind_int(colonne, 2, lId);
            sqlite3_bind_int(colonne, 3, c);
            if (sqlite3_step(colonne) != SQLITE_DONE)
                erreur = QString::fromUtf8(sqlite3_errmsg(db));
        }
    }
    if (!objet || !colonne)
        erreur = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(objet);
    sqlite3_finalize(colonne);
    if (erreur.isEmpty())
        erreur = enchaineCles(db, lPremierId, int(tables.size()));
    Execute(db, erreur.isEmpty() ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
    Execute(db, QStringLiteral("ANALYZE"));
    FermeFichier(db);
    return erreur;
}
