// Cost of one completion request's data access against the stand-in seeded
// with a large catalogue: (a) open + filtered catalogue query + close with the
// pool, (b) the same with a fresh login each time, (c) "SELECT 1" on an open
// connection. Prints medians and 99th percentiles, then the two ratios.
#include "chaineconnexion.h"
#include "connexion.h"
#include "erreurado.h"
#include "poolconnexions.h"
#include "standin.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRepetitions = 300;
constexpr int kEchauffement = 10;

const QString kRequete = QStringLiteral(
    "SELECT name, type AS Col FROM sysobjects WHERE type IN ('U','V') AND name LIKE 'cible%' ORDER BY name");

struct Mesure {
    double dMediane = 0;
    double dP99 = 0;
};

Mesure Resume(std::vector<double> durees)
{
    std::sort(durees.begin(), durees.end());
    Mesure m;
    m.dMediane = durees[durees.size() / 2];
    m.dP99 = durees[std::min(durees.size() - 1, size_t(durees.size() * 0.99))];
    return m;
}

double Duree(const std::function<void()> &operation)
{
    QElapsedTimer chrono;
    chrono.start();
    operation();
    return chrono.nsecsElapsed() / 1e6;
}

// What a completion request does with the shared connection (without the
// fallback query, which the prefix makes unnecessary here).
long DemandeCatalogue(Connexion &cn, const QString &sChaine)
{
    if (cn.State() == 1)
        cn.Close();
    cn.Open(sChaine, QString(), QString(), -1);
    Recordset rs;
    rs.Open(kRequete, &cn, 0, 1, -1);
    const long lLignes = rs.RecordCount();
    while (!rs.Eof()) {
        rs.Fields(QStringLiteral("name"));
        rs.Fields(QStringLiteral("Col"));
        rs.MoveNext();
    }
    rs.Close();
    cn.Close();
    return lLignes;
}

void Affiche(const char *sNom, const Mesure &m)
{
    std::printf("%-44s median %8.3f ms   p99 %8.3f ms\n", sNom, m.dMediane, m.dP99);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    StandIn::Options options;
    options.seedDemo = false;
    options.seedLarge = QStringLiteral("10000,100000");
    StandIn standIn(options);
    if (!standIn.isRunning()) {
        std::fprintf(stderr, "stand-in did not start:\n%s\n", qPrintable(standIn.output()));
        return 1;
    }
    const QString sChaine =
        ChaineConnexion(standIn.serverName(), QStringLiteral("Grande"), QStringLiteral("Mirabel4"), QStringLiteral("Brenlor"));
    try {
        Connexion cn;
        const long lLignes = DemandeCatalogue(cn, sChaine);
        std::printf("catalogue query returns %ld rows over %d repetitions each\n", lLignes, kRepetitions);

        // The three measures take turns, so that the load of a shared machine
        // weighs on each of them alike; the pooled request comes right after
        // the previous fresh login's logoff, which only makes it look slower.
        Connexion cnSelect;
        cnSelect.Open(sChaine, QString(), QString(), -1);
        Connexion cnSansPool;
        std::vector<double> dureesPool, dureesSansPool, dureesSelect;
        for (int i = -kEchauffement; i < kRepetitions; ++i) {
            PoolConnexions::SetActif(true);
            const double dPool = Duree([&] { DemandeCatalogue(cn, sChaine); });
            const double dSelect = Duree([&] {
                Recordset rs;
                rs.Open(QStringLiteral("SELECT 1"), &cnSelect, 0, 1, -1);
                rs.Fields(0);
                rs.Close();
            });
            PoolConnexions::SetActif(false);
            const double dSansPool = Duree([&] { DemandeCatalogue(cnSansPool, sChaine); });
            PoolConnexions::SetActif(true);
            if (i < 0)
                continue;
            dureesSelect.push_back(dSelect);
            dureesPool.push_back(dPool);
            dureesSansPool.push_back(dSansPool);
        }
        cnSelect.Close();
        const Mesure avecPool = Resume(dureesPool);
        const Mesure sansPool = Resume(dureesSansPool);
        const Mesure select1 = Resume(dureesSelect);

        Affiche("(a) open + catalogue query + close, pooled", avecPool);
        Affiche("(b) the same, fresh login each time", sansPool);
        Affiche("(c) SELECT 1 on an open connection", select1);
        std::printf("ratio pooled/select1=%.2f unpooled/pooled=%.2f\n", avecPool.dMediane / select1.dMediane,
                    sansPool.dMediane / avecPool.dMediane);
    } catch (const ErreurAdo &e) {
        std::fprintf(stderr, "error %d: %s\n", e.Number(), qPrintable(e.Description()));
        return 1;
    }
    return 0;
}
