// "Exécuter" in the real window (offscreen) against the stand-in: time to the
// first row shown and rows per second for a million rows of (int,
// nvarchar, datetime), the memory those rows add, scrolling to the last row,
// 10,000 PRINTs written to Messages, and the latency of a cancel during a
// WAITFOR. The last line sums it up.
#include "fenetretest.h"
#include "editeurriche.h"
#include "grilleresultats.h"
#include "hoteexecution.h"
#include "modeleresultats.h"
#include "sessionrequete.h"
#include "zoneresultats.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QThread>
#include <QTimer>
#include <cstdio>

namespace {

// The stand-in makes the rows as they are read: (int, nvarchar(40), datetime).
QString RequeteLignes(int lLignes)
{
    return QStringLiteral("SELECT value AS n, CONVERT(nvarchar(40), value) AS v, "
                          "DATEADD(second, value, '2020-01-01') AS d FROM GENERATE_SERIES(1, %1)")
        .arg(lLignes);
}

double RssMo()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &ligne : f.readAll().split('\n'))
        if (ligne.startsWith("VmRSS:"))
            return ligne.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

bool AttendFin(HoteExecution *hote, int lDelaiMs)
{
    QElapsedTimer chrono;
    chrono.start();
    while (hote->EnCours() && chrono.elapsed() < lDelaiMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return !hote->EnCours();
}

void Lance(frmBrenlor *f, HoteExecution *hote, const QString &sScript)
{
    f->txtRequete->setPlainText(sScript);
    f->txtRequete->setFocus();
    hote->Execute();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstalleCapture();
    StandIn standIn;
    if (!standIn.isRunning()) {
        std::fprintf(stderr, "stand-in did not start: %s\n", qPrintable(standIn.output()));
        return 1;
    }
    auto f = OuvreFenetre(standIn);
    auto *hote = f->findChild<HoteExecution *>();
    if (!QTest::qWaitForWindowExposed(f.get()))
        return 1;

    // A warm-up: the session is logged in before anything is timed.
    Lance(f.get(), hote, QStringLiteral("SELECT 1 AS n"));
    AttendFin(hote, 10000);

    const double dAvant = RssMo();
    // The longest the window's event loop went without turning, while the
    // rows arrive and while the grid scrolls.
    QElapsedTimer tic;
    qint64 lArretMax = 0;
    QTimer horloge;
    horloge.setInterval(5);
    QObject::connect(&horloge, &QTimer::timeout, [&] {
        lArretMax = qMax(lArretMax, tic.restart());
    });
    tic.start();
    horloge.start();
    QElapsedTimer chrono;
    chrono.start();
    // "--lignes N" measures fewer rows (a quicker run; the figures per million are scaled).
    const int lDemandees = app.arguments().contains(QStringLiteral("--lignes"))
                               ? app.arguments().value(app.arguments().indexOf(QStringLiteral("--lignes")) + 1).toInt()
                               : 1000000;
    Lance(f.get(), hote, RequeteLignes(lDemandees));
    qint64 lPremiere = -1;
    while (hote->EnCours()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const QList<GrilleResultats *> grilles = hote->Zone()->Grilles();
        if (lPremiere < 0 && !grilles.isEmpty() && grilles.first()->model()->rowCount() > 0)
            lPremiere = chrono.elapsed();
    }
    const qint64 lTotal = chrono.elapsed();
    auto *modele = static_cast<ModeleResultats *>(hote->Zone()->Grilles().value(0)->model());
    const int lLignes = modele->rowCount();
    const double dApres = RssMo();
    std::printf("rows: %d rows in %lld ms, first row %lld ms, RSS %+.1f MB (rows store %.1f MB)\n", lLignes,
                lTotal, lPremiere, dApres - dAvant, modele->Octets() / 1048576.0);

    GrilleResultats *grille = hote->Zone()->Grilles().first();
    QElapsedTimer defilement;
    defilement.start();
    grille->scrollToBottom();
    QCoreApplication::processEvents();
    grille->viewport()->repaint();
    const qint64 lDefilement = defilement.elapsed();
    horloge.stop();
    std::printf("scroll to the last row: %lld ms; longest event-loop stall during the rows and the scroll: %lld ms\n",
                lDefilement, lArretMax);

    QString sPrints;
    for (int i = 1; i <= 10000; ++i)
        sPrints += QStringLiteral("PRINT 'message %1'\n").arg(i);
    chrono.restart();
    Lance(f.get(), hote, sPrints);
    AttendFin(hote, 60000);
    hote->Zone()->Messages()->viewport()->repaint();
    const qint64 lPrints = chrono.elapsed();
    std::printf("10000 PRINTs: %d lines shown in %lld ms\n", hote->Zone()->Messages()->document()->blockCount(),
                lPrints);

    Lance(f.get(), hote, QStringLiteral("WAITFOR DELAY '00:00:30'"));
    QTest::qWait(300);
    chrono.restart();
    hote->Annule();
    AttendFin(hote, 10000);
    const qint64 lAnnulation = chrono.elapsed();
    std::printf("cancel during WAITFOR: %lld ms (%s)\n", lAnnulation,
                qPrintable(hote->Zone()->TexteMessages().replace(QLatin1Char('\n'), QLatin1Char(' '))));

    // The same on a server that stopped answering mid-run: the link watch ends it.
    qint64 lAnnulationGel = -1;
    {
        StandIn::Options options;
        options.extraArguments << QStringLiteral("--gel-apres") << QStringLiteral("1");
        StandIn fige(options);
        QThread fil;
        auto *session = new SessionRequete;
        session->moveToThread(&fil);
        fil.start();
        bool bFini = false;
        QObject::connect(session, &SessionRequete::ExecutionTerminee, &app, [&] { bFini = true; });
        const ParametresSession p{fige.serverName(), QStringLiteral("Ventes"), QStringLiteral("Mirabel4")};
        const DecoupageLots d = DecoupeLots(QStringLiteral("SELECT 1 AS n\nGO\nSELECT 2 AS m"));
        QMetaObject::invokeMethod(session, [=] { session->Execute(d.lots, p, 0); });
        QTest::qWait(1000);
        chrono.restart();
        session->Annule();
        while (!bFini && chrono.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        lAnnulationGel = chrono.elapsed();
        QMetaObject::invokeMethod(session, &SessionRequete::Ferme, Qt::BlockingQueuedConnection);
        fil.quit();
        fil.wait();
        delete session;
    }
    std::printf("cancel on a server that stopped answering: %lld ms\n", lAnnulationGel);

    const double dSecondes = qMax<qint64>(1, lTotal) / 1000.0;
    std::printf("first_row_ms=%lld rows_per_s=%.0f mem_mb_per_million=%.0f prints_10k_ms=%lld cancel_ms=%lld\n",
                lPremiere, lLignes / dSecondes, (dApres - dAvant) * 1000000.0 / qMax(1, lLignes), lPrints,
                lAnnulation);
    FermeFenetre(f);
    return 0;
}
