#include "executeur.h"

#include "catalogue.h"
#include "collations.h"
#include "decoupagelot.h"
#include "erreurssql.h"
#include "fonctionsconversion.h"
#include "fonctionssqlite.h"
#include "raiserror.h"
#include "reecriture.h"
#include "resolution.h"
#include "session.h"
#include "transactions.h"

#include <QElapsedTimer>
#include <algorithm>
#include <QRegularExpression>
#include <sqlite3.h>

namespace {
enum class Issue { Suite, Erreur, Attention, Coupure };

class ExecuteurLot
{
public:
    ExecuteurLot(EtatSession &etat, bool bProcedure = false)
        : m_etat(etat), m_flux(etat.canal), m_bProcedure(bProcedure) {}
    void execute(const QString &sLot);
    void termineProcedure(const SortieRpc &sortie);

private:
    Issue instruction(const InstructionSql &m, bool bDerniere);
    Issue sqlite(const InstructionSql &m, bool bDerniere);
    Issue sqlite(const InstructionSql &m, bool bDerniere, const ContexteReecriture &contexte);
    Issue resultat(sqlite3_stmt *st, const InstructionSql &m, bool bDerniere);
    Issue use(const InstructionSql &m, bool bDerniere);
    Issue waitfor(const InstructionSql &m, bool bDerniere);
    Issue print(const InstructionSql &m, bool bDerniere);
    Issue raiserror(const InstructionSql &m, bool bDerniere);
    Issue exec(const InstructionSql &m);
    Issue erreur(const ErreurSql &e);
    Issue erreurSqlite(const InstructionSql &m);
    Issue done(bool bDerniere, uint16_t lStatut, uint16_t lCommande, quint64 lLignes);
    void accuseAttention();
    bool attend(qint64 lMs);

    EtatSession &m_etat;
    FluxReponse m_flux;
    bool m_bProcedure;
    bool m_bErreur = false;
    bool m_bFini = false;
    int m_lLigne = 1; ///< where the running statement starts, for its messages
};

QString serveur(const EtatSession &etat)
{
    return etat.config.nomServeur;
}

ColonneTds colonnePour(sqlite3_stmt *st, int i, bool bLigne)
{
    ColonneTds c;
    c.sNom = QString::fromUtf8(sqlite3_column_name(st, i));
    const char *declare = sqlite3_column_decltype(st, i);
    if (declare) {
        const TypeColonne t = DecritType(QString::fromUtf8(declare));
        switch (t.xtype) {
        case 56: c.type = TypeTds::Entier; c.lTaille = 4; break;
        case 127: c.type = TypeTds::Entier; c.lTaille = 8; break;
        case 52: c.type = TypeTds::Entier; c.lTaille = 2; break;
        case 48: c.type = TypeTds::Entier; c.lTaille = 1; break;
        case 104: c.type = TypeTds::Bit; c.lTaille = 1; break;
        case 62: case 59: case 60: case 122: case 106: case 108: c.type = TypeTds::Flottant; c.lTaille = 8; break;
        case 61: case 58: c.type = TypeTds::DateHeure; c.lTaille = 8; break;
        case 173: case 165: case 34: c.type = TypeTds::Binaire; c.lTaille = 8000; break;
        default:
            c.type = TypeTds::Texte;
            c.lTaille = (t.xtype == 35 || t.xtype == 99) ? 8000 : std::min(8000, std::max(2, 2 * t.precision));
        }
        static const QRegularExpression max(QStringLiteral("\\bmax\\b"), QRegularExpression::CaseInsensitiveOption);
        c.bMax = (c.type == TypeTds::Texte || c.type == TypeTds::Binaire) && max.match(QString::fromUtf8(declare)).hasMatch();
        return c;
    }
    const int genre = bLigne ? sqlite3_column_type(st, i) : SQLITE_NULL;
    if (genre == SQLITE_INTEGER) {
        const qint64 v = sqlite3_column_int64(st, i);
        c.type = TypeTds::Entier;
        c.lTaille = (v >= INT32_MIN && v <= INT32_MAX) ? 4 : 8;
    } else if (genre == SQLITE_TEXT && sqlite3_value_subtype(sqlite3_column_value(st, i)) == SousTypeDateHeure) {
        c.type = TypeTds::DateHeure;
        c.lTaille = 8;
    } else if (genre == SQLITE_FLOAT) {
        c.type = TypeTds::Flottant;
        c.lTaille = 8;
    } else if (genre == SQLITE_BLOB) {
        c.type = TypeTds::Binaire;
        c.lTaille = 8000;
    } else {
        c.type = TypeTds::Texte;
        c.lTaille = 8000;
    }
    // A (max) conversion, or a first value that might not fit the bounded
    // types (4000 characters, 8000 bytes).
    c.bMax = (genre == SQLITE_TEXT || genre == SQLITE_BLOB)
             && (sqlite3_value_subtype(sqlite3_column_value(st, i)) == SousTypeMax
                 || sqlite3_column_bytes(st, i) > (genre == SQLITE_TEXT ? 4000 : 8000));
    return c;
}

// Fills the row's slot in place: the value is looked up once (the column
// accessors each find it again), and the slot's strings are kept, not
// rebuilt, across the rows of a long list.
void valeurPour(sqlite3_stmt *st, int i, const ColonneTds &c, ValeurTds &v)
{
    sqlite3_value *valeur = sqlite3_column_value(st, i);
    v.pUtf8 = nullptr;
    v.bNul = sqlite3_value_type(valeur) == SQLITE_NULL;
    if (v.bNul)
        return;
    switch (c.type) {
    case TypeTds::Entier:
    case TypeTds::Bit:
        v.lEntier = sqlite3_value_int64(valeur);
        break;
    case TypeTds::Flottant:
        v.dReel = sqlite3_value_double(valeur);
        break;
    case TypeTds::Binaire:
        v.octets = QByteArray(static_cast<const char *>(sqlite3_value_blob(valeur)), sqlite3_value_bytes(valeur));
        break;
    case TypeTds::DateHeure:
    case TypeTds::Texte:
        // Encoded straight from SQLite's bytes before the next step.
        v.pUtf8 = reinterpret_cast<const char *>(sqlite3_value_text(valeur));
        v.lUtf8 = sqlite3_value_bytes(valeur);
        break;
    }
}

uint16_t commandePour(const QString &sPremierMot)
{
    if (sPremierMot == QLatin1String("INSERT"))
        return CommandeDone::Insert;
    if (sPremierMot == QLatin1String("UPDATE"))
        return CommandeDone::Update;
    if (sPremierMot == QLatin1String("DELETE"))
        return CommandeDone::Delete;
    return CommandeDone::Aucune;
}

// 'hh:mm:ss[.mmm]' as WAITFOR DELAY takes it; -1 when malformed.
qint64 dureeWaitfor(const QString &sTexte)
{
    static const QRegularExpression forme(QStringLiteral("^(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2})(?:\\.(\\d{1,3}))?)?$"));
    const auto m = forme.match(sTexte.trimmed());
    if (!m.hasMatch())
        return -1;
    const QString ms = m.captured(4).leftJustified(3, QLatin1Char('0'));
    return ((m.captured(1).toLongLong() * 60 + m.captured(2).toLongLong()) * 60 + m.captured(3).toLongLong()) * 1000
           + ms.toLongLong();
}

void ExecuteurLot::execute(const QString &sLot)
{
    if (m_etat.config.delaiMs > 0 && attend(m_etat.config.delaiMs)) {
        accuseAttention();
        return;
    }
    const QVector<InstructionSql> instructions = DecoupeLot(sLot);
    if (instructions.isEmpty() && !m_bProcedure)
        done(true, StatutDone::Final, CommandeDone::Aucune, 0);
    for (int i = 0; i < instructions.size(); ++i) {
        // An attention between two statements stops the batch there.
        if (i > 0 && m_etat.canal.attentionPendant(0)) {
            accuseAttention();
            return;
        }
        const Issue issue = instruction(instructions.at(i), i + 1 == instructions.size() && !m_bProcedure);
        if (issue == Issue::Coupure) {
            m_bFini = true;
            return;
        }
        if (issue == Issue::Attention) {
            accuseAttention();
            return;
        }
        if (issue == Issue::Erreur) {
            m_bErreur = true;
            break;
        }
    }
    if (!m_bProcedure)
        m_flux.termine();
}

void ExecuteurLot::termineProcedure(const SortieRpc &sortie)
{
    if (m_bFini)
        return;
    m_flux.ajoute(m_etat.jetons.statutRetour(m_bErreur ? -6 : 0));
    if (sortie.bPresente)
        m_flux.ajoute(m_etat.jetons.valeurRetourEntier(sortie.lOrdinal, sortie.sNom, sortie.lValeur));
    m_flux.ajoute(m_etat.jetons.doneProcedure(m_bErreur ? StatutDone::Erreur : StatutDone::Final));
    m_flux.termine();
}

// As servers answer an attention that cuts a batch short: the reply so far is
// ended (a DONE closes it), then the acknowledgement, a DONE with the attention
// bit, travels as a message of its own.
void ExecuteurLot::accuseAttention()
{
    m_flux.ajoute(m_bProcedure ? m_etat.jetons.doneProcedure(StatutDone::Final)
                               : m_etat.jetons.done(StatutDone::Final, CommandeDone::Aucune, 0));
    m_flux.termine();
    m_flux.ajoute(m_etat.jetons.done(StatutDone::Attention, CommandeDone::Aucune, 0));
    m_flux.termine();
    m_bFini = true;
}

// Waits, watching for an attention; true when one came.
bool ExecuteurLot::attend(qint64 lMs)
{
    QElapsedTimer chrono;
    chrono.start();
    while (chrono.elapsed() < lMs) {
        if (m_etat.canal.attentionPendant(int(std::min<qint64>(lMs - chrono.elapsed(), 200))))
            return true;
        if (m_etat.canal.ferme())
            return false;
    }
    return false;
}

Issue ExecuteurLot::done(bool bDerniere, uint16_t lStatut, uint16_t lCommande, quint64 lLignes)
{
    if (m_etat.options.bSansCompte) {
        lStatut &= uint16_t(~StatutDone::Compte);
        lLignes = 0;
    }
    const auto statut = uint16_t(lStatut | (bDerniere ? 0 : StatutDone::Suite));
    m_flux.ajoute(m_bProcedure ? m_etat.jetons.doneDansProcedure(statut, lCommande, lLignes)
                               : m_etat.jetons.done(statut, lCommande, lLignes));
    return Issue::Suite;
}

Issue ExecuteurLot::erreur(const ErreurSql &e)
{
    m_flux.ajoute(m_etat.jetons.erreur(e.lNumero, e.lEtat, e.lClasse, e.sMessage, serveur(m_etat), m_lLigne));
    done(!m_bProcedure, StatutDone::Erreur, CommandeDone::Aucune, 0);
    return Issue::Erreur;
}

Issue ExecuteurLot::erreurSqlite(const InstructionSql &m)
{
    std::optional<ErreurSql> &deFonction = m_etat.fonctions.erreurFonction;
    const ErreurSql e = deFonction ? *deFonction
                                   : TraduitErreurSqlite(sqlite3_extended_errcode(m_etat.db),
                                                         QString::fromUtf8(sqlite3_errmsg(m_etat.db)), m);
    deFonction.reset();
    return erreur(e);
}

Issue ExecuteurLot::instruction(const InstructionSql &m, bool bDerniere)
{
    m_etat.fonctions.erreurFonction.reset();
    m_lLigne = m.lLigne;
    const QString mot = m.premierMot();
    std::optional<ErreurSql> e;
    if (mot == QLatin1String("SET"))
        e = AppliqueSet(m, m_etat.options);
    else if (mot == QLatin1String("BEGIN") || mot == QLatin1String("COMMIT") || mot == QLatin1String("ROLLBACK"))
        e = ExecuteTransaction(m_etat.db, m_etat.fonctions.lTransactions, m);
    else if (mot == QLatin1String("USE"))
        return use(m, bDerniere);
    else if (mot == QLatin1String("WAITFOR"))
        return waitfor(m, bDerniere);
    else if (mot == QLatin1String("PRINT"))
        return print(m, bDerniere);
    else if (mot == QLatin1String("RAISERROR"))
        return raiserror(m, bDerniere);
    else if (mot == QLatin1String("EXEC") || mot == QLatin1String("EXECUTE"))
        return exec(m);
    else
        return sqlite(m, bDerniere);
    if (e)
        return erreur(*e);
    return done(bDerniere, StatutDone::Final, CommandeDone::Aucune, 0);
}

Issue ExecuteurLot::use(const InstructionSql &m, bool bDerniere)
{
    const QString sNom = m.j.value(1).sValeur;
    const QString sAncienne = m_etat.fonctions.sBaseCourante;
    if (!m_etat.changeBase(sNom))
        return erreur({911, 16, 1, QStringLiteral("Could not locate entry in sysdatabases for database '%1'. No entry "
                                                  "found with that name. Make sure that the name is entered "
                                                  "correctly.").arg(sNom)});
    const QString sNouvelle = m_etat.fonctions.sBaseCourante;
    m_flux.ajoute(m_etat.jetons.changementBase(sNouvelle, sAncienne));
    m_flux.ajoute(m_etat.jetons.info(5701, 1, QStringLiteral("Changed database context to '%1'.").arg(sNouvelle),
                                     serveur(m_etat), m_lLigne));
    return done(bDerniere, StatutDone::Final, CommandeDone::Aucune, 0);
}

Issue ExecuteurLot::waitfor(const InstructionSql &m, bool bDerniere)
{
    const auto &j = m.j;
    if (j.size() != 3 || j.at(1).sTexte.compare(QLatin1String("DELAY"), Qt::CaseInsensitive) != 0
        || j.at(2).genre != JetonSql::Chaine)
        return erreur(ErreurSyntaxe(j.size() > 1 ? j.at(1).sTexte : QStringLiteral("WAITFOR")));
    const qint64 lMs = dureeWaitfor(j.at(2).sValeur);
    if (lMs < 0)
        return erreur({148, 15, 1, QStringLiteral("Incorrect time syntax in time string '%1' used with WAITFOR.")
                                       .arg(j.at(2).sValeur)});
    if (attend(lMs))
        return Issue::Attention;
    return done(bDerniere, StatutDone::Final, CommandeDone::Aucune, 0);
}

Issue ExecuteurLot::print(const InstructionSql &m, bool bDerniere)
{
    const auto &j = m.j;
    const QString sTexte = j.size() > 1 ? (j.at(1).sValeur.isEmpty() ? j.at(1).sTexte : j.at(1).sValeur) : QString();
    m_flux.ajoute(m_etat.jetons.info(0, 1, sTexte, serveur(m_etat), m_lLigne));
    return done(bDerniere, StatutDone::Final, CommandeDone::Aucune, 0);
}

// Severity 10 or less is a message; above, an error that does not stop the
// batch. WITH NOWAIT sends what the reply holds so far at once, instead of
// when the packets fill up or the batch ends.
Issue ExecuteurLot::raiserror(const InstructionSql &m, bool bDerniere)
{
    const auto lu = LitRaiserror(m);
    if (const auto *e = std::get_if<ErreurSql>(&lu))
        return erreur(*e);
    const MessageLeve &message = std::get<MessageLeve>(lu);
    constexpr int lNumero = 50000;
    const bool bErreur = message.lSeverite > 10;
    m_flux.ajoute(bErreur ? m_etat.jetons.erreur(lNumero, message.lEtat, message.lSeverite, message.sTexte,
                                                 serveur(m_etat), m_lLigne)
                          : m_etat.jetons.info(lNumero, message.lEtat, message.sTexte, serveur(m_etat), m_lLigne,
                                               message.lSeverite));
    done(bDerniere, bErreur ? StatutDone::Erreur : StatutDone::Final, CommandeDone::Aucune, 0);
    if (message.bSansAttente && !bDerniere)
        m_flux.pousse();
    return Issue::Suite;
}

Issue ExecuteurLot::exec(const InstructionSql &m)
{
    const auto &j = m.j;
    const QString sNom = j.size() > 1 ? (j.at(1).sValeur.isEmpty() ? j.at(1).sTexte : j.at(1).sValeur) : QString();
    return erreur({2812, 16, 62, QStringLiteral("Could not find stored procedure '%1'.").arg(sNom)});
}

// SQLite folds the letter case of ASCII names only: when a name is not found,
// the statement is tried once more with the non-ASCII names spelt as stored.
QHash<QString, QString> nomsNonAscii(sqlite3 *db)
{
    QHash<QString, QString> noms;
    sqlite3_stmt *st = nullptr;
    const char *sql = "SELECT name FROM sysobjects UNION SELECT name FROM syscolumns "
                      "UNION SELECT name FROM sqlite_master";
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK) {
        while (sqlite3_step(st) == SQLITE_ROW) {
            const QString nom = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
            const bool bAscii = std::all_of(nom.cbegin(), nom.cend(), [](QChar c) { return c.unicode() < 128; });
            if (!bAscii)
                noms.insert(nom.toCaseFolded(), nom);
        }
    }
    sqlite3_finalize(st);
    return noms;
}

bool nomIntrouvable(const QString &sMessage)
{
    return sMessage.startsWith(QLatin1String("no such table")) || sMessage.startsWith(QLatin1String("no such column"));
}

Issue ExecuteurLot::sqlite(const InstructionSql &m, bool bDerniere)
{
    sqlite3_stmt *st = m_etat.requetesPreparees.value(m.sTexte);
    if (st) {
        sqlite3_reset(st);
        const Issue issue = resultat(st, m, bDerniere);
        sqlite3_reset(st);
        return issue;
    }
    ContexteReecriture contexte{m_etat.fonctions.sBaseCourante, m_etat.config.nomServeur, {}};
    contexte.sCollationSqlite = CollationSqlite(m_etat.fonctions.sCollation.isEmpty() ? CollationServeur()
                                                                                     : m_etat.fonctions.sCollation);
    return sqlite(m, bDerniere, contexte);
}

Issue ExecuteurLot::sqlite(const InstructionSql &tsql, bool bDerniere, const ContexteReecriture &contexte)
{
    const ContexteResolution resolution{m_etat.db, m_etat.fonctions.sBaseCourante, m_etat.fonctions.sCollation,
                                        [this](const QString &sBase) { return m_etat.joindreBase(sBase); }};
    InstructionSql m = tsql;
    if (const auto e = ResoutNoms(m, resolution))
        return erreur(*e);
    if (const auto e = ReecritPourSqlite(m, contexte))
        return erreur(*e);
    for (const QString &sBase : std::as_const(m.basesCitees))
        if (!m_etat.joindreBase(sBase))
            return erreur({911, 16, 1, QStringLiteral("Could not locate entry in sysdatabases for database '%1'. No "
                                                      "entry found with that name. Make sure that the name is "
                                                      "entered correctly.").arg(sBase)});
    const QByteArray utf8 = m.assemble().toUtf8();
    sqlite3_stmt *st = nullptr;
    const char *reste = nullptr;
    if (sqlite3_prepare_v2(m_etat.db, utf8.constData(), utf8.size(), &st, &reste) != SQLITE_OK || !st) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(m_etat.db));
        const int lCode = sqlite3_extended_errcode(m_etat.db);
        sqlite3_finalize(st);
        if (!st && lCode == SQLITE_OK)
            return done(bDerniere, StatutDone::Final, CommandeDone::Aucune, 0);
        if (nomIntrouvable(message) && contexte.nomsCanoniques.isEmpty()) {
            ContexteReecriture nouveau = contexte;
            nouveau.nomsCanoniques = nomsNonAscii(m_etat.db);
            if (!nouveau.nomsCanoniques.isEmpty())
                return sqlite(tsql, bDerniere, nouveau);
        }
        return erreur(TraduitErreurSqlite(lCode, message, tsql));
    }
    const Issue issue = resultat(st, tsql, bDerniere);
    if (m.premierMot() == QLatin1String("SELECT") && issue == Issue::Suite
        && contexte.nomsCanoniques.isEmpty() && sqlite3_stmt_readonly(st)) {
        if (m_etat.requetesPreparees.size() >= 256)
            m_etat.videRequetesPreparees();
        sqlite3_reset(st);
        m_etat.requetesPreparees.insert(tsql.sTexte, st);
        return issue;
    }
    sqlite3_finalize(st);
    if (issue == Issue::Suite && !m.sObjetDefini.isEmpty())
        SynchroniseObjet(m_etat.db, m.sSchemaDefini, m.sObjetDefini);
    return issue;
}

Issue ExecuteurLot::resultat(sqlite3_stmt *st, const InstructionSql &m, bool bDerniere)
{
    const int lColonnes = sqlite3_column_count(st);
    int rc = sqlite3_step(st);
    if (lColonnes == 0) {
        while (rc == SQLITE_ROW)
            rc = sqlite3_step(st);
        if (rc != SQLITE_DONE)
            return erreurSqlite(m);
        const uint16_t lCommande = commandePour(m.premierMot());
        if (lCommande == CommandeDone::Aucune)
            return done(bDerniere, StatutDone::Final, lCommande, 0);
        return done(bDerniere, StatutDone::Compte, lCommande, quint64(sqlite3_changes(m_etat.db)));
    }
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        return erreurSqlite(m);
    QVector<ColonneTds> colonnes;
    for (int i = 0; i < lColonnes; ++i)
        colonnes << colonnePour(st, i, rc == SQLITE_ROW);
    m_flux.ajoute(m_etat.jetons.descriptionColonnes(colonnes));
    quint64 lLignes = 0;
    const int lCoupure = m_etat.config.couperApresLignes;
    QVector<ValeurTds> valeurs(lColonnes);
    const qint64 lMax = m_etat.options.lLignesMax; // SET ROWCOUNT
    while (rc == SQLITE_ROW && (lMax == 0 || qint64(lLignes) < lMax)) {
        if (lCoupure >= 0 && lLignes == quint64(lCoupure)) {
            // Fault switch: the client has its first rows, then the connection dies.
            m_flux.pousse();
            m_etat.canal.coupe();
            return Issue::Coupure;
        }
        for (int i = 0; i < lColonnes; ++i)
            valeurPour(st, i, colonnes.at(i), valeurs[i]);
        m_etat.jetons.ajouteLigne(m_flux.tampon(), colonnes, valeurs);
        m_flux.ecrit();
        ++lLignes;
        // A client that cancels a long result must not wait for all of it:
        // a look at the socket every few thousand rows costs nothing.
        if (lLignes % 2048 == 0 && m_etat.canal.attentionPendant(0))
            return Issue::Attention;
        rc = sqlite3_step(st);
    }
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        return erreurSqlite(m);
    return done(bDerniere, StatutDone::Compte, CommandeDone::Select, lLignes);
}
}

void ExecuteLot(EtatSession &etat, const QString &sLot)
{
    ExecuteurLot(etat).execute(sLot);
}

void ExecuteProcedure(EtatSession &etat, const QString &sInstructions, const SortieRpc &sortie)
{
    ExecuteurLot executeur(etat, true);
    executeur.execute(sInstructions);
    executeur.termineProcedure(sortie);
}
