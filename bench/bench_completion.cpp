// Cost of one completion request as a keystroke in the popup pays it: context,
// catalogue queries, the shared connection closed and reopened (the pool keeps
// the login), the rows read and the proposal list filled. The popup is not
// painted. Run against a stand-in seeded with 10000 tables and 100000 columns.
#include "chaineconnexion.h"
#include "connexion.h"
#include "contexte.h"
#include "proposition.h"
#include "requetes.h"
#include "standin.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStandardItemModel>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const int kRepetitions = 300;

struct Mesure {
    double p50 = 0;
    double p99 = 0;
};

Mesure Percentiles(std::vector<double> durees)
{
    std::sort(durees.begin(), durees.end());
    auto rang = [&](double q) {
        const size_t i = size_t(q * double(durees.size() - 1) + 0.5);
        return durees[std::min(i, durees.size() - 1)];
    };
    return {rang(0.50), rang(0.99)};
}

void RemplitListe(QStandardItemModel &liste, const ResultatProposition &resultat)
{
    liste.clear();
    for (const LigneProposition &ligne : resultat.lignes) {
        auto *element = new QStandardItem(ligne.sNom);
        element->setData(ligne.sCleIcone, Qt::UserRole);
        element->setEditable(false);
        liste.appendRow(element);
    }
}

// One request, timed from the editor text to the filled list.
// dRemplissage receives the part spent filling the list.
double Requete(Connexion &cn, const QString &sChaine, const QString &sTexte,
               QStandardItemModel &liste, long &lLignes, double &dRemplissage)
{
    QElapsedTimer chrono;
    chrono.start();
    const Contexte contexte = AnalyseContexte(sTexte, sTexte.size(), false);
    const Requetes r = ConstruitRequetes(contexte, false);
    const ResultatProposition resultat = ExecuteProposition(cn, sChaine, r);
    const qint64 lAvantListe = chrono.nsecsElapsed();
    if (resultat.bLignes)
        RemplitListe(liste, resultat);
    lLignes = resultat.lignes.size();
    const qint64 lTotal = chrono.nsecsElapsed();
    dRemplissage = (lTotal - lAvantListe) / 1e6;
    return lTotal / 1e6;
}

double SelectUn(Connexion &cn)
{
    QElapsedTimer chrono;
    chrono.start();
    Recordset rs;
    rs.Open(QStringLiteral("SELECT 1"), &cn, 0, 1, -1);
    const QString sValeur = rs.Fields(0);
    rs.Close();
    if (sValeur != QLatin1String("1"))
        std::fprintf(stderr, "SELECT 1 returned '%s'\n", qPrintable(sValeur));
    return chrono.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);

    StandIn::Options options;
    options.seedDemo = false;
    options.seedLarge = QStringLiteral("10000,100000");
    StandIn standIn(options);
    if (!standIn.isRunning()) {
        std::fprintf(stderr, "stand-in did not start:\n%s\n", qPrintable(standIn.output()));
        return 1;
    }
    const QString sChaine = ChaineConnexion(standIn.serverName(), QStringLiteral("Grande"),
                                            QStringLiteral("Mirabel4"), QStringLiteral("Brenlor"));

    Connexion cn;
    QStandardItemModel liste;

    struct Cas {
        const char *sNom;
        QString sTexte;
        std::vector<double> durees;
        long lLignes = 0;
        std::vector<double> remplissages;
    };
    std::vector<Cas> cas{
        {"prefix matching 50 tables", QStringLiteral("SELECT * FROM cible"), {}, 0, {}},
        {"no match, fall-back to all tables", QStringLiteral("SELECT * FROM zzz"), {}, 0, {}},
        {"columns of a 500-column table", QStringLiteral("SELECT large500."), {}, 0, {}},
    };

    // Each case in its own series, as keystrokes in one context follow each
    // other; a few unmeasured requests first (login, statement caches).
    for (Cas &c : cas) {
        double dRemplissage = 0;
        for (int i = 0; i < 5; ++i)
            Requete(cn, sChaine, c.sTexte, liste, c.lLignes, dRemplissage);
        for (int i = 0; i < kRepetitions; ++i) {
            c.durees.push_back(Requete(cn, sChaine, c.sTexte, liste, c.lLignes, dRemplissage));
            c.remplissages.push_back(dRemplissage);
        }
    }

    // The baseline runs in its own loop: right after a 10000-row answer the
    // stand-in takes a few milliseconds before it serves the next statement,
    // which would count against SELECT 1 and not against the request.
    std::vector<double> selectUn;
    try {
        if (cn.State() != 1)
            cn.Open(sChaine);
        for (int i = 0; i < 5; ++i)
            SelectUn(cn);
        for (int i = 0; i < kRepetitions; ++i)
            selectUn.push_back(SelectUn(cn));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "SELECT 1 failed: %s\n", e.what());
        return 1;
    }

    const Mesure mesureUn = Percentiles(selectUn);
    out << QStringLiteral("SELECT 1 on the pooled connection: p50 %1 ms, p99 %2 ms (%3 runs)\n")
               .arg(mesureUn.p50, 0, 'f', 3).arg(mesureUn.p99, 0, 'f', 3).arg(selectUn.size());
    Mesure pire;
    for (const Cas &c : cas) {
        const Mesure m = Percentiles(c.durees);
        out << QStringLiteral("%1: %2 rows, p50 %3 ms, p99 %4 ms (%5 runs; list filling p50 %6 ms)\n")
                   .arg(QString::fromLatin1(c.sNom)).arg(c.lLignes)
                   .arg(m.p50, 0, 'f', 3).arg(m.p99, 0, 'f', 3).arg(c.durees.size())
                   .arg(Percentiles(c.remplissages).p50, 0, 'f', 3);
        pire.p50 = std::max(pire.p50, m.p50);
        pire.p99 = std::max(pire.p99, m.p99);
    }
    out << QStringLiteral("(last line: the slowest of the three cases)\n");
    out << QStringLiteral("p50_ms=%1 p99_ms=%2 ratio_to_select1=%3\n")
               .arg(pire.p50, 0, 'f', 3).arg(pire.p99, 0, 'f', 3)
               .arg(mesureUn.p50 > 0 ? pire.p50 / mesureUn.p50 : 0.0, 0, 'f', 2);
    out.flush();
    return 0;
}
