#include "serveurcourant.h"

#include "catalogueconnexion.h"
#include "chaineconnexion.h"
#include "connexion.h"
#include "essaie.h"

#include <QScopeGuard>

namespace {

const QString kRequeteBases = QStringLiteral("SELECT name FROM sysdatabases ORDER BY name");

// How long a hung server may hold the window. Each budget covers every wait
// on the server on the way (closing the last session, checking a pooled one,
// logging in, the queries); the window keeps a little of it for its own work.
constexpr int kReserveFenetreMs = 200;
// A completion request comes with a keystroke: three seconds in all.
constexpr int kBudgetDemandeMs = 3000 - kReserveFenetreMs;

// The connection check gives a login its full timeout, and a second more
// for the rest: 16 seconds with the usual 15-second login timeout.
int BudgetVerificationMs()
{
    return Connexion::LoginTimeout() * 1000 + 1000 - kReserveFenetreMs;
}

// A recordset failing in the middle ends the loop: no step can be skipped
// past a broken end-of-data test or move.
QStringList LitNoms(Recordset &rs)
{
    QStringList noms;
    for (;;) {
        bool bFin = true;
        if (!Essaie([&] { bFin = rs.Eof(); }) || bFin)
            break;
        Essaie([&] { noms << rs.Fields(0); });
        if (!Essaie([&] { rs.MoveNext(); }))
            break;
    }
    return noms;
}

} // namespace

ServeurCourant::ServeurCourant() = default;
ServeurCourant::~ServeurCourant() = default;

Connexion &ServeurCourant::Connexion_()
{
    if (!cnServeur)
        cnServeur = std::make_unique<Connexion>();
    return *cnServeur;
}

void ServeurCourant::Designe(const QString &sServeur, const QString &sBase, const QString &sPWD)
{
    m_sServeur = sServeur;
    m_sBase = sBase;
    m_sPWD = sPWD;
}

QString ServeurCourant::ChaineConnexion(const QString &sBase) const
{
    return ::ChaineConnexion(m_sServeur, sBase, m_sPWD, TitreApplication());
}

QStringList ServeurCourant::ListeBasesDeDonnees(const QString &sNomServeur, const QString &sPWD)
{
    Connexion &cn = Connexion_();
    cn.SetEcheance(QDeadlineTimer(BudgetVerificationMs()));
    const auto sansEcheance = qScopeGuard([&cn] { cn.SetEcheance(QDeadlineTimer(QDeadlineTimer::Forever)); });
    Essaie([&] {
        if (cn.State() == 1)
            cn.Close();
    });
    if (sNomServeur.trimmed().isEmpty())
        return QStringList();
    Designe(sNomServeur, m_sBase, sPWD);
    Essaie([&] { cn.Open(ChaineConnexion(QStringLiteral("master")), QString(), QString(), -1); });
    if (cn.State() != 1)
        return QStringList();

    Recordset rs;
    Essaie([&] { rs.Open(kRequeteBases, &cn, 0, 1, -1); });
    if (rs.State() != 1)
        return QStringList();
    const QStringList noms = LitNoms(rs);
    Essaie([&] { rs.Close(); });
    return noms;
}

std::unique_ptr<SourceCatalogue> ServeurCourant::Catalogue()
{
    return std::make_unique<CatalogueConnexion>(Connexion_(), ChaineConnexion(), QDeadlineTimer(kBudgetDemandeMs));
}

void ServeurCourant::Ferme()
{
    if (!cnServeur)
        return;
    Essaie([&] {
        if (cnServeur->State() == 1)
            cnServeur->Close();
    });
    cnServeur.reset();
}
