// Cost of one completion request as a keystroke in the popup pays it, timed
// through the program's own request: frmBrenlor::AfficheProposition on a real
// main window (offscreen), i.e. the context, the catalogue queries, the shared
// connection closed and reopened (the pool keeps the login), the rows read,
// the popup's list `liv` filled and the popup placed. The popup is hidden
// again between requests, outside the timed part, and never painted.
//
// Run against a stand-in seeded with --tables N tables and --columns M
// columns (database Grande; 10000 and 100000 unless told). Eight cases of at
// least 200 requests each: a prefix that matches 50 tables, a prefix that
// matches nothing (the request falls back to the unfiltered query: all N
// tables), the 500 columns of a table, the same columns after an alias of
// the statement, the condition of a join from the foreign keys (every table
// has one) then the joined table's columns, and at the end of a 1 MiB script
// the columns of a CTE, the columns of a temporary table made in its first
// batch and the variables of its last batch; before each request of these
// three, a blank is typed or taken back at the start of the last batch, as
// typing there would. The last
// line, `p50_ms=X p99_ms=Y ratio_to_select1=Z`, is computed over all the
// requests of the cases together; Z is that p50 divided
// by the p50 of SELECT 1 on the same pooled connection in the same run.
//
// Options: --timing also asks the stand-in for its server-side time of each
// batch and prints its median per case (a figure that does not depend on how
// busy the client's processor is); the stand-in then logs every batch, which
// adds a millisecond or more to a long list, so read the request times from a
// run without it; with BENCH_LOTS=1 in the environment each
// batch line of the stand-in is echoed on stderr; --repetitions N (at least 200);
// --tables N --columns M.
#include "boitemessage.h"
#include "catalogueconnexion.h"
#include "comboimages.h"
#include "connexion.h"
#include "editeurriche.h"
#include "frmbrenlor.h"
#include "frmlistemotscles.h"
#include "parametres.h"
#include "proposition.h"
#include "contexte.h"
#include "tentatives.h"
#include "chaineconnexion.h"
#include "fenetretest.h"
#include "standin.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

struct Mesure {
    double p50 = 0;
    double p99 = 0;
};

Mesure Percentiles(std::vector<double> durees)
{
    if (durees.empty())
        return {};
    std::sort(durees.begin(), durees.end());
    auto rang = [&](double q) {
        const size_t i = size_t(q * double(durees.size() - 1) + 0.5);
        return durees[std::min(i, durees.size() - 1)];
    };
    return {rang(0.50), rang(0.99)};
}

double Millisecondes(const QElapsedTimer &chrono)
{
    return chrono.nsecsElapsed() / 1e6;
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
    return Millisecondes(chrono);
}

/// Server-side time (ms) of the slowest batch the stand-in reported since the
/// last call (the catalogue query of a request), or nothing.
std::vector<double> TempsServeur(const StandIn &standIn, qsizetype &lDejaLu)
{
    static const QRegularExpression ligne(QStringLiteral("^batch (\\d+) us: (.*)$"),
                                          QRegularExpression::MultilineOption);
    const QString sSortie = standIn.output();
    std::vector<double> temps;
    auto it = ligne.globalMatch(QStringView(sSortie).mid(lDejaLu));
    double dPlusLent = -1;
    while (it.hasNext()) {
        const auto m = it.next();
        if (qEnvironmentVariableIsSet("BENCH_LOTS"))
            std::fprintf(stderr, "%s\n", qPrintable(m.captured(0).left(150)));
        dPlusLent = std::max(dPlusLent, m.captured(1).toDouble() / 1000.0);
    }
    lDejaLu = sSortie.size();
    if (dPlusLent >= 0)
        temps.push_back(dPlusLent);
    return temps;
}

struct Cas {
    const char *sNom;
    QString sTexte;
    int lCaret;                       ///< -1: at the end of the text
    int lLignesAttendues;
    std::vector<double> durees;       ///< the whole AfficheProposition
    std::vector<double> requetes;     ///< ExecuteProposition alone (no list, no popup)
    std::vector<double> remplissages; ///< the popup's RemplitListe alone, on those rows
    std::vector<double> serveur;      ///< server-side time of each request's slowest batch, with --timing
    int lLignes = 0;
    int lDebutEdition = -1;           ///< where a blank is typed and taken back between requests (-1: none)
    std::vector<double> cpu;          ///< processor time of the client in AfficheProposition
    QString sPremiere;                ///< when set, the first row listed (a join condition)
};

Cas CasDe(const char *sNom, const QString &sTexte, int lCaret, int lLignesAttendues, int lDebutEdition = -1)
{
    Cas c;
    c.sNom = sNom;
    c.sTexte = sTexte;
    c.lCaret = lCaret;
    c.lLignesAttendues = lLignesAttendues;
    c.lDebutEdition = lDebutEdition;
    return c;
}

// About 1 MiB of ordinary batches, a temporary table made in the first one.
QString GrandScript()
{
    QString s = QStringLiteral("CREATE TABLE #o (id int, total money, nom varchar(20))\r\nGO\r\n");
    const QString sLot = QStringLiteral(
        "SELECT c.col001, c.col002, 'a.b' AS x -- FROM t00002 d\r\nFROM t00001 c JOIN t00003 e ON e.col001 = c.col001\r\n"
        "WHERE c.col003 = 1 /* c. */\r\nGO\r\n");
    while (s.size() < 1024 * 1024)
        s += sLot;
    return s;
}

// The large seed gives large500 its 500 columns and spreads the others
// evenly, one more to each of the first tables after it: t00002 is the 52nd.
int ColonnesDeT00002(int lTables, int lColonnes)
{
    const int lAutres = (lColonnes - 500) / (lTables - 1);
    const int lReste = (lColonnes - 500) % (lTables - 1);
    return lAutres + (52 <= lReste ? 1 : 0);
}

int Option(const QStringList &arguments, const QString &sNom, int lDefaut)
{
    const qsizetype i = arguments.indexOf(sNom);
    return i > 0 && i + 1 < arguments.size() ? arguments.at(i + 1).toInt() : lDefaut;
}

// The offscreen platform says so at every activation of the popup.
void FiltreMessagesQt(QtMsgType type, const QMessageLogContext &, const QString &sMessage)
{
    if (sMessage.contains(QLatin1String("does not support raise()")))
        return;
    std::fprintf(stderr, "%s%s\n", type >= QtWarningMsg ? "warning: " : "", qPrintable(sMessage));
}

} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(FiltreMessagesQt);
    // The settings folder and the platform must be set before the
    // application object reads the environment.
    // fenetretest.h has already pointed XDG_CONFIG_HOME at a private folder.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);

    const QStringList arguments = app.arguments();
    const bool bChrono = arguments.contains(QStringLiteral("--timing"));
    const int lRepetitions = std::max(200, Option(arguments, QStringLiteral("--repetitions"), 300));
    const int lTables = std::max(600, Option(arguments, QStringLiteral("--tables"), 10000));
    const int lColonnes = std::max(1000, Option(arguments, QStringLiteral("--columns"), 100000));

    int lMessages = 0;
    InstalleCaptureMessages([&lMessages](const QString &sTexte, IconeMessage, const QString &) {
        ++lMessages;
        std::fprintf(stderr, "message: %s\n", qPrintable(sTexte));
    });

    StandIn::Options options;
    options.seedDemo = false;
    options.seedLarge = QStringLiteral("%1,%2").arg(lTables).arg(lColonnes);
    if (bChrono)
        options.extraArguments << QStringLiteral("--timing");
    StandIn standIn(options);
    if (!standIn.isRunning()) {
        std::fprintf(stderr, "stand-in did not start:\n%s\n", qPrintable(standIn.output()));
        return 1;
    }

    std::unique_ptr<frmBrenlor> fenetre = OuvreFenetre(standIn, QStringLiteral("Mirabel4"), QStringLiteral("Grande"));
    if (fenetre->cboBase->Text() != QLatin1String("Grande")) {
        std::fprintf(stderr, "the window did not open on Grande (base '%s')\n", qPrintable(fenetre->cboBase->Text()));
        return 1;
    }
    frmListeMotsCles *popup = fenetre->ListeMotsCles;

    std::vector<Cas> cas{
        CasDe("prefix matching 50 tables", QStringLiteral("SELECT * FROM cible"), -1, 50),
        CasDe("no match, fall-back to all tables", QStringLiteral("SELECT * FROM zzz"), -1, lTables),
        CasDe("columns of a 500-column table", QStringLiteral("SELECT large500."), -1, 500),
        CasDe("columns after an alias", QStringLiteral("SELECT t. FROM large500 AS t"), 9, 500),
    };
    // After the ON of a join: the keys of the two tables read in one query
    // (every table of Grande has one, t00001's to t00002), then t00002's columns.
    {
        Cas jointure = CasDe("join condition from the foreign keys",
                             QStringLiteral("SELECT * FROM t00001 a JOIN t00002 b ON "), -1,
                             1 + ColonnesDeT00002(lTables, lColonnes));
        jointure.sPremiere = QStringLiteral("b.col001 = a.col001");
        cas.push_back(jointure);
    }
    const QString sScript = GrandScript();
    const int lDebutDernierLot = int(sScript.size());
    for (const auto &[sNom, sFin] : {
             std::pair{"CTE columns, end of a 1 MiB script",
                       QStringLiteral("WITH r AS (SELECT col001, col002 AS b, COUNT(*) AS n FROM large500 GROUP BY col001, col002) SELECT r.")},
             std::pair{"temporary table columns, end of a 1 MiB script", QStringLiteral("SELECT * FROM #o AS o WHERE o.")},
             std::pair{"variables, end of a 1 MiB script", QStringLiteral("DECLARE @a int, @b date\r\nDECLARE @c TABLE (x int)\r\nSELECT @")}}) {
        cas.push_back(CasDe(sNom, sScript + sFin, -1, 3, lDebutDernierLot));
    }

    qsizetype lDejaLu = 0;
    TempsServeur(standIn, lDejaLu);
    // Each case in its own series, as keystrokes in one context follow each
    // other; a few unmeasured requests first (login, statement caches).
    for (Cas &c : cas) {
        fenetre->txtRequete->SetText(c.sTexte);
        fenetre->txtRequete->SetSelStart(c.lCaret < 0 ? int(c.sTexte.size()) : c.lCaret);
        for (int i = 0; i < 5 + lRepetitions; ++i) {
            if (c.lDebutEdition >= 0) {
                const bool bBlanc = i % 2 == 0;
                fenetre->txtRequete->RemplacePlage(c.lDebutEdition, bBlanc ? 0 : 1, bBlanc ? QStringLiteral(" ") : QString());
                fenetre->txtRequete->SetSelStart(int(c.sTexte.size()) + (bBlanc ? 1 : 0));
            }
            QElapsedTimer chrono;
            const std::clock_t lCpuAvant = std::clock();
            chrono.start();
            fenetre->AfficheProposition(2);  // Ctrl+Space: user mode
            const double dDuree = Millisecondes(chrono);
            const double dCpu = double(std::clock() - lCpuAvant) * 1000.0 / CLOCKS_PER_SEC;
            c.lLignes = popup->Nombre();
            if (!c.sPremiere.isEmpty() && popup->TexteElement(0) != c.sPremiere) {
                std::fprintf(stderr, "%s: first row '%s'\n", c.sNom, qPrintable(popup->TexteElement(0)));
                return 1;
            }
            if (c.lLignes != c.lLignesAttendues || !popup->isVisible()) {
                std::fprintf(stderr, "%s: %d rows listed, %d expected, popup %s\n", c.sNom, c.lLignes,
                             c.lLignesAttendues, popup->isVisible() ? "shown" : "hidden");
                return 1;
            }
            popup->tmr->stop();
            popup->hide();
            if (i >= 5) {
                c.durees.push_back(dDuree);
                c.cpu.push_back(dCpu);
            }
            if (bChrono) {
                const std::vector<double> t = TempsServeur(standIn, lDejaLu);
                if (i >= 5)
                    c.serveur.insert(c.serveur.end(), t.begin(), t.end());
            }
        }
    }

    // The same queries through the data layer alone, to tell the list and the
    // popup apart from the catalogue request.
    Connexion &cn = *fenetre->Serveur().cnServeur;
    const QString sChaine = ChaineConnexion(fenetre->cboServeur->currentText(), fenetre->cboBase->currentText(),
                                            fenetre->txtPWD->text(), frmBrenlor::TitreApplication());
    for (Cas &c : cas) {
        if (c.lDebutEdition >= 0 || !c.sPremiere.isEmpty())
            continue;  // the script answers these, or the request is more than one proposal query
        const int lCaret = c.lCaret < 0 ? int(c.sTexte.size()) : c.lCaret;
        const Contexte contexte = AnalyseContexte(c.sTexte, lCaret, false);
        for (int i = 0; i < 5 + lRepetitions / 2; ++i) {
            QElapsedTimer chrono;
            chrono.start();
            CatalogueConnexion catalogue(cn, sChaine);
            catalogue.Ouvre();
            const ResultatProposition resultat = ExecuteProposition(
                catalogue, Tentatives(contexte, false, catalogue.VersionMajeure(), c.sTexte, lCaret));
            if (i >= 5)
                c.requetes.push_back(Millisecondes(chrono));
            chrono.restart();
            popup->RemplitListe(resultat.lignes);
            if (i >= 5)
                c.remplissages.push_back(Millisecondes(chrono));
            if (bChrono)
                TempsServeur(standIn, lDejaLu);
            if (resultat.lignes.size() != c.lLignesAttendues) {
                std::fprintf(stderr, "%s: the data layer read %d rows (%s)\n", c.sNom, int(resultat.lignes.size()),
                             qPrintable(c.sTexte));
                return 1;
            }
        }
    }
    // SELECT 1 on the connection the requests left open (the window's cnServeur).
    std::vector<double> selectUn;
    try {
        if (cn.State() != 1)
            cn.Open(sChaine);
        for (int i = 0; i < 5; ++i)
            SelectUn(cn);
        for (int i = 0; i < lRepetitions; ++i)
            selectUn.push_back(SelectUn(cn));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "SELECT 1 failed: %s\n", e.what());
        return 1;
    }
    if (lMessages > 0) {
        std::fprintf(stderr, "%d message boxes were shown during the run\n", lMessages);
        return 1;
    }

    const Mesure mesureUn = Percentiles(selectUn);
    out << QStringLiteral("SELECT 1 on the pooled connection: p50 %1 ms, p99 %2 ms (%3 runs)\n")
               .arg(mesureUn.p50, 0, 'f', 3).arg(mesureUn.p99, 0, 'f', 3).arg(selectUn.size());
    std::vector<double> toutes;
    for (const Cas &c : cas) {
        const Mesure m = Percentiles(c.durees);
        const Mesure mr = Percentiles(c.requetes);
        out << QStringLiteral("%1: %2 rows, AfficheProposition p50 %3 ms, p99 %4 ms (%5 runs); "
                              "data layer alone p50 %6 ms, p99 %7 ms; list filling alone p50 %8 ms")
                   .arg(QString::fromLatin1(c.sNom)).arg(c.lLignes)
                   .arg(m.p50, 0, 'f', 3).arg(m.p99, 0, 'f', 3).arg(c.durees.size())
                   .arg(mr.p50, 0, 'f', 3).arg(mr.p99, 0, 'f', 3)
                   .arg(Percentiles(c.remplissages).p50, 0, 'f', 3);
        // On a shared machine the wall clock also counts time spent waiting
        // for a processor; the client's own processor time does not.
        out << QStringLiteral("; client processor time p50 %1 ms, p99 %2 ms")
                   .arg(Percentiles(c.cpu).p50, 0, 'f', 3).arg(Percentiles(c.cpu).p99, 0, 'f', 3);
        if (bChrono) {
            const Mesure ms = Percentiles(c.serveur);
            out << QStringLiteral("; server-side (slowest batch of a request) p50 %1 ms, p99 %2 ms (%3 requests)")
                       .arg(ms.p50, 0, 'f', 3).arg(ms.p99, 0, 'f', 3).arg(c.serveur.size());
        }
        out << '\n';
        toutes.insert(toutes.end(), c.durees.begin(), c.durees.end());
    }
    const Mesure global = Percentiles(toutes);
    out << QStringLiteral("(last line: all %1 requests of the cases together)\n").arg(toutes.size());
    out << QStringLiteral("p50_ms=%1 p99_ms=%2 ratio_to_select1=%3\n")
               .arg(global.p50, 0, 'f', 3).arg(global.p99, 0, 'f', 3)
               .arg(mesureUn.p50 > 0 ? global.p50 / mesureUn.p50 : 0.0, 0, 'f', 2);
    out.flush();
    return 0;
}
