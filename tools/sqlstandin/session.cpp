#include "session.h"

#include "appelrpc.h"
#include "bases.h"
#include "catalogue.h"
#include "collations.h"
#include "executeur.h"
#include "journal.h"
#include "ouverturesession.h"

#include <QElapsedTimer>
#include <atomic>
#include <sqlite3.h>

namespace {
QString texteUcs2(const QByteArray &o, int lDebut, int lCaracteres)
{
    QString s;
    s.reserve(lCaracteres);
    for (int i = 0; i < lCaracteres && lDebut + 2 * i + 1 < o.size(); ++i)
        s += QChar(ushort(uchar(o.at(lDebut + 2 * i)) | (uchar(o.at(lDebut + 2 * i + 1)) << 8)));
    return s;
}

// From TDS 7.2 on, batches and RPCs start with ALL_HEADERS, whose first four bytes give its length.
int debutApresEntetes(const QByteArray &contenu, bool bTds72)
{
    if (!bTds72 || contenu.size() < 4)
        return 0;
    const int lTotal = int(uchar(contenu.at(0)) | (uchar(contenu.at(1)) << 8) | (uchar(contenu.at(2)) << 16)
                           | (uchar(contenu.at(3)) << 24));
    return lTotal >= 4 && lTotal <= contenu.size() ? lTotal : 0;
}

// --gel-apres: requests are counted over the whole server; past the limit it
// reads whatever comes on any connection and answers nothing, not even a
// pre-login, as a process that stopped would.
bool serveurGele(const Configuration &configuration, uint8_t lType)
{
    static std::atomic<int> lRequetes{0};
    if (configuration.gelApres < 0)
        return false;
    if (lRequetes.load() >= configuration.gelApres)
        return true;
    if (lType == TypePaquet::Lot || lType == TypePaquet::Rpc)
        return lRequetes.fetch_add(1) >= configuration.gelApres;
    return false;
}

uint32_t versionAccordee(uint32_t lDemandee)
{
    if (lDemandee >= 0x74000004)
        return 0x74000004;
    if (lDemandee >= 0x70000000)
        return lDemandee;
    return 0x71000001;
}

}

EtatSession::~EtatSession()
{
    videRequetesPreparees();
    if (db)
        FermeFichier(db);
}

void EtatSession::videRequetesPreparees()
{
    for (sqlite3_stmt *st : std::as_const(requetesPreparees))
        sqlite3_finalize(st);
    requetesPreparees.clear();
}

bool EtatSession::changeBase(const QString &sNom)
{
    const QString sDossier = config.dossierDonnees;
    const QString sMaster = FichierBase(sDossier, QStringLiteral("master.sqlite"));
    std::optional<BaseConnue> base;
    if (db) {
        base = ChercheBase(db, sDossier, sNom);
    } else {
        // First database of the session: look it up in master itself.
        ContexteFonctions provisoire{QStringLiteral("master"), QString(), false};
        QString erreur;
        sqlite3 *master = OuvreFichier(sMaster, &provisoire, erreur);
        if (!master)
            return false;
        base = ChercheBase(master, sDossier, sNom);
        FermeFichier(master);
    }
    if (!base)
        return false;
    QString erreur;
    ContexteFonctions *contexte = &fonctions;
    const ContexteFonctions ancien = fonctions;
    fonctions = ContexteFonctions{base->sNom, base->sCollation, EstSensibleCasse(base->sCollation)};
    sqlite3 *nouvelle = OuvreFichier(base->sFichier, contexte, erreur);
    if (!nouvelle) {
        fonctions = ancien;
        return false;
    }
    if (base->sNom.compare(QLatin1String("master"), Qt::CaseInsensitive) != 0) {
        erreur = Execute(nouvelle, QStringLiteral("ATTACH DATABASE '%1' AS master")
                                       .arg(QString(sMaster).replace(QLatin1Char('\''), QStringLiteral("''"))));
        if (!erreur.isEmpty()) {
            FermeFichier(nouvelle);
            fonctions = ancien;
            return false;
        }
    }
    videRequetesPreparees();
    if (db)
        FermeFichier(db);
    db = nouvelle;
    basesJointes.clear();
    return true;
}

bool EtatSession::joindreBase(const QString &sNom)
{
    if (basesJointes.contains(sNom, Qt::CaseInsensitive)
        || sNom.compare(QLatin1String("master"), Qt::CaseInsensitive) == 0)
        return true;
    const auto base = ChercheBase(db, config.dossierDonnees, sNom);
    if (!base)
        return false;
    const QString erreur = Execute(db, QStringLiteral("ATTACH DATABASE '%1' AS \"%2\"")
                                           .arg(QString(base->sFichier).replace(QLatin1Char('\''), QStringLiteral("''")),
                                                QString(sNom).replace(QLatin1Char('"'), QStringLiteral("\"\""))));
    if (!erreur.isEmpty())
        return false;
    basesJointes << sNom;
    return true;
}

Session::Session(int descripteur, const Configuration &configuration) : m_etat(descripteur, configuration) {}

void Session::deroule()
{
    ModeTls tls = ModeTls::Aucun;
    while (auto message = m_etat.canal.litMessage()) {
        if (serveurGele(m_etat.config, message->type))
            continue;
        switch (message->type) {
        case TypePaquet::PreLogin: {
            const NegociationTls negociation = NegocieChiffrement(m_etat.config.chiffrement,
                                                                  ChiffrementClient(message->contenu));
            const QByteArray reponse = ReponsePreLogin(negociation.lReponse);
            m_etat.canal.envoiePaquet(TypePaquet::Reponse, reponse.constData(), reponse.size(), true);
            tls = negociation.mode;
            if (tls == ModeTls::Refus || ((tls == ModeTls::Connexion || tls == ModeTls::Session)
                                          && !m_etat.canal.demarreTls())) {
                m_etat.canal.coupe();
                return;
            }
            if (tls != ModeTls::Aucun)
                EcritLigne(tls == ModeTls::Connexion ? QStringLiteral("tls login only")
                                                     : QStringLiteral("tls whole session"));
            break;
        }
        case TypePaquet::Login7:
            if (tls == ModeTls::Connexion)
                m_etat.canal.arreteTls(); // only the login packet was encrypted
            if (!traiteLogin(message->contenu)) {
                m_etat.canal.coupe();
                return;
            }
            break;
        case TypePaquet::Lot:
            if (!m_authentifie)
                return;
            traiteLot(message->contenu);
            break;
        case TypePaquet::Rpc:
            if (!m_authentifie)
                return;
            traiteRpc(message->contenu);
            break;
        case TypePaquet::Attention:
            repondSimplement(StatutDone::Attention);
            break;
        case TypePaquet::Transaction:
            repondSimplement(StatutDone::Final);
            break;
        default:
            return;
        }
        if (m_etat.canal.ferme())
            return;
    }
}

void Session::repondSimplement(uint16_t lStatut)
{
    FluxReponse flux(m_etat.canal);
    flux.ajoute(m_etat.jetons.done(lStatut, CommandeDone::Aucune, 0));
    flux.termine();
}

void Session::refuseLogin(FluxReponse &flux, const QString &sUtilisateur)
{
    flux.ajoute(m_etat.jetons.erreur(18456, 1, 14, QStringLiteral("Login failed for user '%1'.").arg(sUtilisateur),
                                     m_etat.config.nomServeur));
    flux.ajoute(m_etat.jetons.done(StatutDone::Erreur, CommandeDone::Aucune, 0));
    flux.termine();
    EcritLigne(QStringLiteral("login failed"));
}

bool Session::traiteLogin(const QByteArray &contenu)
{
    const DemandeLogin demande = DecodeLogin7(contenu);
    m_etat.jetons.fixeVersion(versionAccordee(demande.lVersionTds));
    FluxReponse flux(m_etat.canal);
    const bool bIdentifie = demande.bValide
                            && demande.sUtilisateur.compare(QLatin1String("sa"), Qt::CaseInsensitive) == 0
                            && demande.sMotDePasse == m_etat.config.motDePasse;
    if (!bIdentifie) {
        refuseLogin(flux, demande.sUtilisateur);
        return false;
    }
    const QString sBase = demande.sBase.trimmed().isEmpty() ? QStringLiteral("master") : demande.sBase;
    if (!m_etat.changeBase(sBase)) {
        // As SQL Server 2000 does: 4060 alone (later versions add 18456 after it),
        // so that a client which reads the first diagnostic sees the real cause.
        flux.ajoute(m_etat.jetons.erreur(
            4060, 1, 11,
            QStringLiteral("Cannot open database \"%1\" requested by the login. The login failed.").arg(sBase),
            m_etat.config.nomServeur));
        flux.ajoute(m_etat.jetons.done(StatutDone::Erreur, CommandeDone::Aucune, 0));
        flux.termine();
        EcritLigne(QStringLiteral("login failed"));
        return false;
    }
    const QString sServeur = m_etat.config.nomServeur;
    const QString sCourante = m_etat.fonctions.sBaseCourante;
    flux.ajoute(m_etat.jetons.changementBase(sCourante, QStringLiteral("master")));
    flux.ajoute(m_etat.jetons.info(5701, 2, QStringLiteral("Changed database context to '%1'.").arg(sCourante), sServeur));
    if (m_etat.jetons.tds71())
        flux.ajoute(m_etat.jetons.changementCollation());
    flux.ajoute(m_etat.jetons.changementLangue(QStringLiteral("us_english")));
    flux.ajoute(m_etat.jetons.accuseLogin(QStringLiteral("Microsoft SQL Server")));
    const int lTaille = demande.lTaillePaquet >= 512 && demande.lTaillePaquet <= 32767 ? demande.lTaillePaquet : 4096;
    flux.ajoute(m_etat.jetons.changementTaillePaquet(lTaille));
    flux.ajoute(m_etat.jetons.done(StatutDone::Final, CommandeDone::Aucune, 0));
    flux.termine();
    m_etat.canal.fixeTaillePaquet(lTaille);
    m_authentifie = true;
    EcritLigne(QStringLiteral("login ok"));
    return true;
}

void Session::traiteLot(const QByteArray &contenu)
{
    const int lDebut = debutApresEntetes(contenu, m_etat.jetons.tds72());
    const QString sLot = texteUcs2(contenu, lDebut, (contenu.size() - lDebut) / 2);
    QElapsedTimer chrono;
    chrono.start();
    ExecuteLot(m_etat, sLot);
    if (m_etat.config.chronometre)
        EcritErreur(QStringLiteral("batch %1 us: %2")
                        .arg(chrono.nsecsElapsed() / 1000)
                        .arg(sLot.simplified().left(200)));
}

void Session::refuseRpc(const QString &sMessage, int lNumero)
{
    FluxReponse flux(m_etat.canal);
    flux.ajoute(m_etat.jetons.erreur(lNumero, 1, 16, sMessage, m_etat.config.nomServeur));
    flux.ajoute(m_etat.jetons.done(StatutDone::Erreur, CommandeDone::Aucune, 0));
    flux.termine();
}

// Prepared statements as the ODBC driver sends them (SQLPrepare/SQLExecute, and
// SQLExecDirect with bound parameters); every other RPC gets a clear error.
void Session::traiteRpc(const QByteArray &contenu)
{
    const AppelRpc appel = DecodeAppelRpc(contenu, debutApresEntetes(contenu, m_etat.jetons.tds72()));
    const auto &p = appel.parametres;
    auto valeursDes = [&](int lPremier) { return p.mid(std::min<int>(lPremier, p.size())); };
    if (!appel.bValide) {
        refuseRpc(QStringLiteral("The SQL Server stand-in could not decode the parameters of %1.").arg(appel.sProcedure), 8016);
        return;
    }
    if ((appel.sProcedure == QLatin1String("sp_prepexec") || appel.sProcedure == QLatin1String("sp_prepare"))
        && p.size() >= 3) {
        const int lPoignee = m_prochainePreparee++;
        m_preparees.insert(lPoignee, {p.at(2).sTexte, p.at(1).sTexte});
        const SortieRpc sortie{true, 0, p.at(0).sNom, lPoignee};
        const bool bExecute = appel.sProcedure == QLatin1String("sp_prepexec");
        ExecuteProcedure(m_etat, bExecute ? RemplaceParametres(p.at(2).sTexte, p.at(1).sTexte, valeursDes(3)) : QString(),
                         sortie);
        return;
    }
    if (appel.sProcedure == QLatin1String("sp_execute") && !p.isEmpty()) {
        const auto trouvee = m_preparees.constFind(int(p.at(0).lEntier));
        if (trouvee == m_preparees.constEnd()) {
            refuseRpc(QStringLiteral("Could not find prepared statement with handle %1.").arg(p.at(0).lEntier), 8179);
            return;
        }
        ExecuteProcedure(m_etat, RemplaceParametres(trouvee->sInstruction, trouvee->sDeclarations, valeursDes(1)),
                         SortieRpc());
        return;
    }
    if (appel.sProcedure == QLatin1String("sp_unprepare") && !p.isEmpty()) {
        m_preparees.remove(int(p.at(0).lEntier));
        ExecuteProcedure(m_etat, QString(), SortieRpc());
        return;
    }
    if (appel.sProcedure == QLatin1String("sp_executesql") && !p.isEmpty()) {
        ExecuteProcedure(m_etat, RemplaceParametres(p.at(0).sTexte, p.value(1).sTexte, valeursDes(2)), SortieRpc());
        return;
    }
    refuseRpc(QStringLiteral("The SQL Server stand-in does not run the RPC %1: send the statement as a SQL batch "
                             "(SQLExecDirect with a forward-only cursor).").arg(appel.sProcedure), 50000);
}
