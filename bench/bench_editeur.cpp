// Responsiveness of the query editor shown as code (colours, line numbers,
// brackets) on large scripts, offscreen: pasting 6 MiB of varied T-SQL, one
// keystroke in it, the formatter on 1 MiB; pasting 800,000 short lines and
// 10 MB written on one line, and the formatter on that line.
// "Responsive" is measured up to the end of the first paint after the change
// and the next turn of the event loop.
// Memory is the peak of each of the two last cases, each run alone in a process of its own.
// BENCH_SEUL=colle6, formate, courtes or longue runs one case alone (for a profiler).
// Last line: paste_ms=A key_p99_ms=B format_MiBps=C

#include "editeurriche.h"
#include "formateur.h"
#include "motscles.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr qsizetype UnMio = 1024 * 1024;

// Varied T-SQL: procedures, tables and views in GO batches, long comments
// and literals, dynamic SQL, nested comments.
class Generateur {
public:
    explicit Generateur(quint32 graine) : m_alea(graine) {}

    QString Script(qsizetype lTaille)
    {
        QString s;
        s.reserve(lTaille + 8192);
        for (int n = 0; s.size() < lTaille; ++n)
            s += Lot(n) + QStringLiteral("GO\r\n");
        return s;
    }

private:
    QString N(const char *prefixe) { return QString::fromLatin1(prefixe) + QString::number(m_alea.bounded(1, 400)); }
    int A(int n) { return int(m_alea.bounded(n)); }

    QString Lot(int n)
    {
        switch (n % 6) {
        case 0:
            return QStringLiteral(
                       "/* Procédure %1 : calcule les totaux des commandes d'un client.\r\n"
                       "   Historique : /* v1 */ première version, puis colonnes ajoutées.\r\n"
                       "*/\r\nCREATE PROCEDURE [dbo].[%1] @client INT, @depuis DATETIME = NULL\r\nAS\r\nBEGIN\r\n"
                       "\tSET NOCOUNT ON;\r\n\tDECLARE @total MONEY = 0, @n INT;\r\n"
                       "\tIF @depuis IS NULL SET @depuis = DATEADD(day, -%2, GETDATE());\r\n"
                       "\tSELECT @total = SUM(l.qte * l.prix), @n = COUNT(*)\r\n"
                       "\tFROM dbo.%3 AS c INNER JOIN [dbo].[Lignes] l ON (l.id_commande = c.id)\r\n"
                       "\tWHERE c.client = @client AND c.date >= @depuis AND (c.etat IN ('ouverte', 'livrée'));\r\n"
                       "\tIF @n = 0 RAISERROR(N'Aucune commande pour le client %%d', 16, 1, @client);\r\n"
                       "\tRETURN @total;\r\nEND\r\n")
                .arg(N("p_Totaux"))
                .arg(A(90))
                .arg(N("Commandes"));
        case 1:
            return QStringLiteral("CREATE TABLE #travail%1 (id INT IDENTITY(1, 1) PRIMARY KEY, libelle NVARCHAR(200) NOT NULL,\r\n"
                                  "\tmontant DECIMAL(18, 4) DEFAULT 0.0, \"cree le\" DATETIME DEFAULT GETDATE());\r\n"
                                  "INSERT INTO #travail%1 (libelle, montant) VALUES (N'Ligne ''une''', %2.50), ('deux', 1.5e3);\r\n"
                                  "SELECT * FROM #travail%1 WHERE montant > 0x%3 -- seuil en hexadécimal\r\n")
                .arg(A(100))
                .arg(A(9999))
                .arg(A(255), 2, 16, QLatin1Char('0'));
        case 2: {
            QString s = QStringLiteral("-- Vue de synthèse %1\r\nCREATE VIEW dbo.%1 AS\r\nSELECT ").arg(N("v_Synthese"));
            for (int i = 0; i < 12; ++i)
                s += QStringLiteral("%1t.%2 AS [col %3]").arg(i ? QStringLiteral(",\r\n\t") : QString(), N("champ")).arg(i);
            return s + QStringLiteral("\r\nFROM dbo.%1 t LEFT OUTER JOIN dbo.%2 u ON u.id = t.id_u\r\n"
                                      "WHERE t.actif = 1 OR (t.date BETWEEN '2020-01-01' AND '2024-12-31')\r\n")
                           .arg(N("Table"), N("Autre"));
        }
        case 3: {
            // A long literal and a long comment.
            QString mots;
            for (int i = 0; i < 60; ++i)
                mots += N("mot") + QLatin1Char(' ');
            return QStringLiteral("DECLARE @sql NVARCHAR(MAX) = N'SELECT %1 FROM [%2] WHERE nom LIKE ''%%x%%''';\r\n"
                                  "EXEC sp_executesql @sql;\r\n/* %3\r\n%3\r\n%3 */\r\nPRINT 'fin du lot %4';\r\n")
                .arg(N("colonne"), N("Table"), mots)
                .arg(A(1000));
        }
        case 4:
            return QStringLiteral("UPDATE s SET s.stock = s.stock - x.qte, s.maj = GETDATE()\r\nFROM dbo.Stocks s\r\n"
                                  "\tCROSS APPLY (SELECT SUM(qte) AS qte FROM dbo.%1 m WHERE m.article = s.article\r\n"
                                  "\t\tAND m.date > DATEADD(hour, -%2, SYSDATETIME())) x\r\nWHERE x.qte IS NOT NULL;\r\n")
                .arg(N("Mouvements"))
                .arg(A(48));
        default:
            return QStringLiteral("IF OBJECT_ID('tempdb..#t%1') IS NOT NULL DROP TABLE #t%1;\r\n"
                                  "WHILE @@ROWCOUNT > 0 AND @i < %2\r\nBEGIN\r\n\tSET @i += 1;\r\n"
                                  "\tDELETE TOP (%3) FROM dbo.%4 WHERE date < DATEADD(month, -6, GETDATE());\r\nEND\r\n")
                .arg(A(100))
                .arg(A(500))
                .arg(A(5000))
                .arg(N("Journal"));
        }
    }

    QRandomGenerator m_alea;
};

double Ms(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1.0e6;
}

// The change is done, the view painted, and the event loop turns again.
void JusquaReponse(EditeurRiche &e)
{
    QCoreApplication::processEvents();
    e.viewport()->repaint();
    bool bTour = false;
    QTimer::singleShot(0, &e, [&] { bTour = true; });
    while (!bTour)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// Until the window answers; the whole paste written is reported beside it.
double Colle(EditeurRiche &e, const QString &sTexte)
{
    e.SetText(QString());
    JusquaReponse(e);
    QGuiApplication::clipboard()->setText(sTexte);
    QElapsedTimer t;
    t.start();
    e.paste();
    JusquaReponse(e);
    const double dReponse = Ms(t);
    while (e.CollageEnCours())
        QCoreApplication::processEvents();
    JusquaReponse(e);
    std::printf("  (paste written whole after %.0f ms)\n", Ms(t));
    return dReponse;
}

double Formate(EditeurRiche &e, const TableauMotsCles &table)
{
    QElapsedTimer t;
    t.start();
    const QString apres = FormatSQL(e.Text(), false, table);
    const double dFormat = Ms(t);
    e.SetText(apres);
    JusquaReponse(e);
    const double dReponse = Ms(t);
    while (e.CollageEnCours())
        QCoreApplication::processEvents();
    std::printf("  (formatter alone %.0f ms; text written whole after %.0f ms)\n", dFormat, Ms(t));
    return dReponse;
}

// Keystrokes at places spread over the text, each painted: their 99th percentile.
double FrappeP99(EditeurRiche &e, int lFrappes)
{
    std::vector<double> durees;
    QRandomGenerator alea(7);
    const int lTaille = e.document()->characterCount();
    for (int i = 0; i < lFrappes; ++i) {
        QTextCursor c = e.textCursor();
        c.setPosition(int(alea.bounded(qMax(1, lTaille - 1))));
        e.setTextCursor(c);
        JusquaReponse(e);
        QElapsedTimer t;
        t.start();
        QTest::keyClick(&e, i % 7 == 0 ? Qt::Key_ParenLeft : Qt::Key_A, Qt::NoModifier);
        QCoreApplication::processEvents();
        durees.push_back(Ms(t));
    }
    std::sort(durees.begin(), durees.end());
    std::printf("  (keystroke median %.2f ms)\n", durees.at(durees.size() / 2));
    return durees.at(std::min<size_t>(durees.size() - 1, size_t(durees.size() * 0.99)));
}

// A figure of /proc/self/status in MiB: VmHWM (peak) or VmRSS (now).
long MemoireMio(const char *cle)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &ligne : f.readAll().split('\n'))
        if (ligne.startsWith(cle))
            return ligne.mid(int(qstrlen(cle))).trimmed().split(' ').value(0).toLong() / 1024;
    return -1;
}

long MemoireMaxMio()
{
    return MemoireMio("VmHWM:");
}

// The two largest cases run each in a process of their own, this program
// again: a process's peak memory is then the case's alone.
void CasAPart(const char *sCas)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("BENCH_SEUL"), QString::fromLatin1(sCas));
    p.setProcessEnvironment(env);
    std::fflush(stdout);
    p.start(QCoreApplication::applicationFilePath(), {});
    p.waitForFinished(-1);
}

QString LignesCourtes()
{
    QString s;
    s.reserve(800000 * 2);
    for (int i = 0; i < 800000; ++i)
        s += QStringLiteral("x\n");
    return s;
}

QString LigneDe10Mo()
{
    QString s;
    s.reserve(10 * 1000 * 1000 + 200);
    for (int i = 0; s.size() < 10 * 1000 * 1000; ++i)
        s += QStringLiteral("select a%1, 'b' from t where x = %1 and y in (1, 2) ").arg(i % 1000);
    return s;
}

// The median of several runs: one run on a shared machine says little.
double FormateMediane(EditeurRiche &e, const TableauMotsCles &table, const QString &sScript, int lFois)
{
    std::vector<double> durees;
    for (int i = 0; i < lFois; ++i) {
        e.SetText(sScript);
        e.TermineCollage();
        JusquaReponse(e);
        durees.push_back(Formate(e, table));
    }
    std::sort(durees.begin(), durees.end());
    return durees.at(durees.size() / 2);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    TableauMotsCles table;
    InitialiseMotsCles(table);

    EditeurRiche e;
    QFont police(QStringLiteral("Liberation Mono"));
    police.setPointSizeF(9.75);
    e.setFont(police);
    e.SetAffichageCode(true);
    e.resize(1000, 500);
    e.show();
    if (!QTest::qWaitForWindowExposed(&e))
        return 1;
    // The window's own start-up settings: no wrap, a vertical scroll bar.
    e.SetRightMargin(32767.0 * 15 * 8);
    e.SetScrollBars(2);

    Generateur g(2026);
    const QString s6 = g.Script(6 * UnMio);
    const QString s1 = g.Script(UnMio);
    const QByteArray seul = qgetenv("BENCH_SEUL");
    const bool bTout = seul.isEmpty();

    double dVide = 0, dColle6 = 0, dFrappe = 0, dMiBps = 0;
    if (bTout || seul == "colle6") {
        dVide = FrappeP99(e, 100);
        dColle6 = Colle(e, s6);
        std::printf("paste 6 MiB (%d lines): %.0f ms\n", e.blockCount(), dColle6);
        dFrappe = FrappeP99(e, 200);
        std::printf("keystroke in 6 MiB: p99 %.2f ms (empty editor p99 %.2f ms)\n", dFrappe, dVide);
    }
    if (bTout || seul == "formate") {
        const double dFormat1 = FormateMediane(e, table, s1, bTout ? 9 : 40);
        dMiBps = double(s1.size()) / UnMio * 1000.0 / dFormat1;
        std::printf("Formater 1 MiB with colours: median of runs %.1f ms, %.1f MiB/s\n", dFormat1, dMiBps);
    }
    if (bTout) {
        CasAPart("courtes");
        CasAPart("longue");
    }
    if (seul == "courtes") {
        std::printf("paste 800,000 short lines: %.0f ms\n", Colle(e, LignesCourtes()));
        std::printf("  peak memory of the case: %ld MiB\n", MemoireMaxMio());
    }
    if (seul == "longue") {
        std::printf("paste 10 MB on one line: %.0f ms\n", Colle(e, LigneDe10Mo()));
        std::printf("  peak memory so far: %ld MiB\n", MemoireMaxMio());
        std::printf("keystroke in it: p99 %.2f ms\n", FrappeP99(e, 100));
        const double dFormatLongue = Formate(e, table);
        std::printf("Formater on that line: %.0f ms (%d lines after)\n", dFormatLongue, int(e.Text().count(QLatin1Char('\n'))) + 1);
        std::printf("  peak memory of the case, the pasted and the formatted text both kept for undo: %ld MiB\n",
                    MemoireMaxMio());
    }
    if (bTout)
        std::printf("paste_ms=%.0f key_p99_ms=%.2f format_MiBps=%.1f\n", dColle6, dFrappe, dMiBps);
    return 0;
}
