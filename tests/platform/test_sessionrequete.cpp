// Runs of a script on the query window's own session, through the real
// driver to the stand-in: what comes back and in which order, the database
// a USE moves to, and cancels, on a server that answers and on one that hung.
#include "sessionrequete.h"
#include "standin.h"

#include <QElapsedTimer>
#include <QThread>
#include <QtTest>

namespace {

// Everything the session sent, one line per event, in the order it came.
class Journal : public QObject
{
public:
    explicit Journal(SessionRequete *s)
    {
        connect(s, &SessionRequete::JeuCommence, this, [this](const QVector<ColonneResultat> &c) {
            QStringList noms;
            for (const ColonneResultat &col : c)
                noms << col.sNom;
            lignes << QStringLiteral("jeu:") + noms.join(QLatin1Char(','));
        });
        connect(s, &SessionRequete::LignesLues, this, [this](const BlocPartage &b) {
            for (int l = 0; l < b->Lignes(); ++l) {
                QStringList v;
                for (int c = 0; c < b->Colonnes(); ++c)
                    v << (b->EstNul(l, c) ? QStringLiteral("<NULL>") : b->Valeur(l, c).toString());
                lignes << QStringLiteral("ligne:") + v.join(QLatin1Char('|'));
            }
        });
        connect(s, &SessionRequete::MessagesRecus, this, [this](const QVector<MessageExecution> &m) {
            for (const MessageExecution &e : m)
                lignes << QStringList{"msg:", "err:", "compte:"}.at(e.genre) + e.sTexte;
        });
        connect(s, &SessionRequete::BaseChangee, this, [this](const QString &b) { lignes << "base:" + b; });
        connect(s, &SessionRequete::ExecutionTerminee, this, [this](const FinExecution &f) {
            fin = f;
            ++lTermines;
        });
    }
    QStringList lignes;
    FinExecution fin;
    int lTermines = 0;
};

} // namespace

class TestSessionRequete : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void execute_data();
    void execute();
    void nowaitAvantLaFin();
    void annuleAttente_data();
    void annuleAttente();
    void serveurFige_data();
    void serveurFige();
    void lienPerduPuisNouvelleSession();

private:
    // Runs a script and waits for its end; returns the events.
    void Lance(SessionRequete *s, Journal &j, const QString &sScript, const QString &sServeur);

    std::unique_ptr<StandIn> m_standIn;
    QThread m_fil;
    SessionRequete *m_session = nullptr;
};

void TestSessionRequete::initTestCase()
{
    m_standIn = std::make_unique<StandIn>();
    QVERIFY2(m_standIn->isRunning(), qPrintable(m_standIn->output()));
    m_session = new SessionRequete;
    m_session->moveToThread(&m_fil);
    m_fil.start();
}

void TestSessionRequete::cleanupTestCase()
{
    QMetaObject::invokeMethod(m_session, &SessionRequete::Ferme, Qt::BlockingQueuedConnection);
    m_fil.quit();
    m_fil.wait();
    delete m_session;
}

void TestSessionRequete::Lance(SessionRequete *s, Journal &j, const QString &sScript, const QString &sServeur)
{
    j.lignes.clear();
    const int lAvant = j.lTermines;
    const DecoupageLots d = DecoupeLots(sScript);
    s->Rearme();
    const ParametresSession p{sServeur, QStringLiteral("Ventes"), QStringLiteral("Mirabel4")};
    QMetaObject::invokeMethod(s, [=] { s->Execute(d.lots, p, 0); });
    QTRY_VERIFY_WITH_TIMEOUT(j.lTermines > lAvant, 10000);
}

void TestSessionRequete::execute_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("attendu");
    QTest::newRow("GO n répète, ; ne coupe pas")
        << "PRINT 'x'; PRINT 'y'\nGO 2\nSELECT 1 AS n"
        << QStringList{"msg:x", "msg:y", "msg:x", "msg:y", "jeu:n", "ligne:1", "compte:(1 ligne affectée)"};
    QTest::newRow("PRINT et résultats dans l'ordre")
        << "PRINT 'a'\nSELECT 1 AS n\nPRINT 'b'\nSELECT 2 AS m, 3 AS p"
        << QStringList{"msg:a", "jeu:n", "ligne:1", "compte:(1 ligne affectée)", "msg:b",
                       "jeu:m,p", "ligne:2|3", "compte:(1 ligne affectée)"};
    QTest::newRow("NOCOUNT sans compte")
        << "SET NOCOUNT ON\nSELECT 1 AS n\nSET NOCOUNT OFF" << QStringList{"jeu:n", "ligne:1"};
    QTest::newRow("compte de lignes modifiées")
        << "CREATE TABLE #t (a int)\nINSERT INTO #t VALUES (1)\nINSERT INTO #t SELECT a FROM #t\n"
           "INSERT INTO #t SELECT a FROM #t"
        << QStringList{"compte:(1 ligne affectée)", "compte:(1 ligne affectée)", "compte:(2 lignes affectées)"};
    QTest::newRow("erreur au début du second lot, ligne de l'éditeur")
        << "SELECT 1 AS n\nGO\nSELECT * FROM nulle_part\nGO\nPRINT 'suite'"
        << QStringList{"jeu:n", "ligne:1", "compte:(1 ligne affectée)",
                       "err:Msg 208, Niveau 16, État 1, Ligne 3\nInvalid object name 'nulle_part'.", "msg:suite"};
    QTest::newRow("erreur sur la deuxième ligne d'un lot")
        << "SELECT 1 AS n\nGO\nPRINT 'a'\nSELECT * FROM nulle_part"
        << QStringList{"jeu:n", "ligne:1", "compte:(1 ligne affectée)", "msg:a",
                       "err:Msg 208, Niveau 16, État 1, Ligne 4\nInvalid object name 'nulle_part'."};
    QTest::newRow("RAISERROR information et erreur")
        << "RAISERROR('info %d', 10, 1, 7)\n\nRAISERROR('grave', 16, 1)\nPRINT 'suite'"
        << QStringList{"msg:info 7", "err:Msg 50000, Niveau 16, État 1, Ligne 3\ngrave", "msg:suite"};
    QTest::newRow("erreurs à la suite, le lot continue")
        << "PRINT 'début'\nRAISERROR('a', 16, 1)\nRAISERROR('b', 16, 1)\nSELECT 5 AS n"
        << QStringList{"msg:début", "err:Msg 50000, Niveau 16, État 1, Ligne 2\na", "err:Msg 50000, Niveau 16, État 1, Ligne 3\nb",
                       "jeu:n", "ligne:5", "compte:(1 ligne affectée)"};
    QTest::newRow("NULL, texte NULL, date")
        << "SELECT NULL AS a, 'NULL' AS b, CONVERT(datetime, '2024-01-02 03:04:05.670', 121) AS d"
        << QStringList{"jeu:a,b,d", "ligne:<NULL>|NULL|2024-01-02 03:04:05.670", "compte:(1 ligne affectée)"};
    QTest::newRow("valeur de plus de 64 Kio entière")
        << "SELECT REPLICATE(CONVERT(nvarchar(max), 'ab'), 40000) AS l"
        << QStringList{"jeu:l", "ligne:" + QStringLiteral("ab").repeated(40000), "compte:(1 ligne affectée)"};
    QTest::newRow("binaire en 0x")
        << "SELECT CONVERT(varbinary(max), 'ab') AS b" << QStringList{"jeu:b", "ligne:0x6162", "compte:(1 ligne affectée)"};
    QTest::newRow("USE déplace la base")
        << "USE master\nGO\nPRINT 'ici'\nGO\nUSE Ventes" << QStringList{"base:master", "msg:ici", "base:Ventes"};
}

void TestSessionRequete::execute()
{
    QFETCH(QString, script);
    QFETCH(QStringList, attendu);
    Journal j(m_session);
    Lance(m_session, j, script, m_standIn->serverName());
    QCOMPARE(j.lignes.join(QLatin1Char('~')), attendu.join(QLatin1Char('~')));
    QVERIFY(!j.fin.bSessionPerdue);
}

void TestSessionRequete::nowaitAvantLaFin()
{
    Journal j(m_session);
    m_session->Rearme();
    const ParametresSession p{m_standIn->serverName(), QStringLiteral("Ventes"), QStringLiteral("Mirabel4")};
    const DecoupageLots d = DecoupeLots(QStringLiteral("RAISERROR('tôt', 0, 1) WITH NOWAIT\nWAITFOR DELAY '00:00:01'\nPRINT 'tard'"));
    QElapsedTimer chrono;
    chrono.start();
    QMetaObject::invokeMethod(m_session, [=] { m_session->Execute(d.lots, p, 0); });
    QTRY_VERIFY_WITH_TIMEOUT(j.lignes.contains(QStringLiteral("msg:tôt")), 5000);
    QVERIFY2(chrono.elapsed() < 700, qPrintable(QString::number(chrono.elapsed())));
    QCOMPARE(j.lTermines, 0);
    QTRY_VERIFY_WITH_TIMEOUT(j.lTermines == 1, 5000);
    QCOMPARE(j.lignes, (QStringList{"msg:tôt", "msg:tard"}));
}

// A cancelled run ends within the user's second. Under the sanitizers the
// rows already on their way are read several times slower before the
// server's acknowledgement arrives, so the bound there is looser.
#ifdef BRENLOR_SANITIZE
constexpr int kFinAnnulationMs = 4000;
#else
constexpr int kFinAnnulationMs = 1000;
#endif

void TestSessionRequete::annuleAttente_data()
{
    QTest::addColumn<QString>("script");
    QTest::newRow("WAITFOR") << "PRINT 'avant'\nWAITFOR DELAY '00:00:30'\nGO\nPRINT 'jamais'";
    QTest::newRow("long SELECT") << "SELECT value FROM GENERATE_SERIES(1, 100000000)\nGO\nPRINT 'jamais'";
}

void TestSessionRequete::annuleAttente()
{
    QFETCH(QString, script);
    Journal j(m_session);
    Lance(m_session, j, QStringLiteral("CREATE TABLE #reste (a int)"), m_standIn->serverName());
    QVERIFY(j.lignes.isEmpty());
    j.lignes.clear();
    m_session->Rearme();
    const ParametresSession p{m_standIn->serverName(), QStringLiteral("Ventes"), QStringLiteral("Mirabel4")};
    const DecoupageLots d = DecoupeLots(script);
    QMetaObject::invokeMethod(m_session, [=] { m_session->Execute(d.lots, p, 0); });
    QTest::qWait(300);
    QElapsedTimer chrono;
    chrono.start();
    m_session->Annule();
    QTRY_VERIFY_WITH_TIMEOUT(j.lTermines == 2, 5000);
    QVERIFY2(chrono.elapsed() < kFinAnnulationMs, qPrintable(QString::number(chrono.elapsed())));
    QVERIFY(j.fin.bAnnulee);
    QVERIFY(!j.fin.bSessionPerdue);
    QVERIFY(!j.lignes.contains(QStringLiteral("msg:jamais")));
    // The same session: its temporary table is still there.
    Lance(m_session, j, QStringLiteral("SELECT COUNT(*) AS n FROM #reste"), m_standIn->serverName());
    QCOMPARE(j.lignes, (QStringList{"jeu:n", "ligne:0", "compte:(1 ligne affectée)"}));
    Lance(m_session, j, QStringLiteral("DROP TABLE #reste"), m_standIn->serverName());
}

void TestSessionRequete::serveurFige_data()
{
    QTest::addColumn<QString>("apres");
    QTest::addColumn<bool>("perdue");
    QTest::newRow("pendant les lots") << "1" << true;
    QTest::newRow("pendant la connexion") << "0" << false;
}

void TestSessionRequete::serveurFige()
{
    QFETCH(QString, apres);
    QFETCH(bool, perdue);
    StandIn::Options options;
    options.extraArguments << QStringLiteral("--gel-apres") << apres;
    StandIn fige(options);
    QVERIFY2(fige.isRunning(), qPrintable(fige.output()));
    QThread fil;
    auto *session = new SessionRequete;
    session->moveToThread(&fil);
    fil.start();
    {
        Journal j(session);
        session->Rearme();
        const ParametresSession p{fige.serverName(), QStringLiteral("Ventes"), QStringLiteral("Mirabel4")};
        const DecoupageLots d = DecoupeLots(QStringLiteral("SELECT 1 AS n\nGO\nSELECT 2 AS m"));
        QMetaObject::invokeMethod(session, [=] { session->Execute(d.lots, p, 0); });
        if (perdue)
            QTRY_VERIFY_WITH_TIMEOUT(j.lignes.contains(QStringLiteral("ligne:1")), 5000);
        QTest::qWait(300);
        QElapsedTimer chrono;
        chrono.start();
        session->Annule();
        QTRY_VERIFY_WITH_TIMEOUT(j.lTermines == 1, 5000);
        QVERIFY2(chrono.elapsed() < 1000, qPrintable(QString::number(chrono.elapsed())));
        QVERIFY(j.fin.bAnnulee);
        QCOMPARE(j.fin.bSessionPerdue, perdue);
        // A cancelled login is not reported as a failed one.
        if (!perdue)
            QCOMPARE(j.lignes, QStringList());
    }
    QMetaObject::invokeMethod(session, &SessionRequete::Ferme, Qt::BlockingQueuedConnection);
    fil.quit();
    fil.wait();
    delete session;
}

void TestSessionRequete::lienPerduPuisNouvelleSession()
{
    StandIn::Options options;
    options.extraArguments << QStringLiteral("--drop-after-rows") << QStringLiteral("5");
    StandIn coupant(options);
    QVERIFY2(coupant.isRunning(), qPrintable(coupant.output()));
    QThread fil;
    auto *session = new SessionRequete;
    session->moveToThread(&fil);
    fil.start();
    {
        Journal j(session);
        const auto lance = [&](const QString &sScript, const QString &sPWD) {
            const int lAvant = j.lTermines;
            j.lignes.clear();
            session->Rearme();
            const ParametresSession p{coupant.serverName(), QStringLiteral("Ventes"), sPWD};
            const DecoupageLots d = DecoupeLots(sScript);
            QMetaObject::invokeMethod(session, [=] { session->Execute(d.lots, p, 0); });
            return QTest::qWaitFor([&] { return j.lTermines > lAvant; }, 10000);
        };
        // A login that fails says what the connection check says.
        QVERIFY(lance(QStringLiteral("SELECT 1 AS n"), QStringLiteral("faux")));
        QCOMPARE(j.lignes, QStringList{"err:Serveur non trouvé ou mot de passe invalide ou aucune base de données."});
        // The link drops in the middle of the rows: the driver's message, and the session is gone.
        QVERIFY(lance(QStringLiteral("SELECT value FROM GENERATE_SERIES(1, 100)\nGO\nPRINT 'jamais'"),
                      QStringLiteral("Mirabel4")));
        QVERIFY(j.fin.bSessionPerdue);
        QVERIFY2(j.lignes.last().startsWith(QStringLiteral("err:")), qPrintable(j.lignes.join(QLatin1Char('~'))));
        QVERIFY(!j.lignes.contains(QStringLiteral("msg:jamais")));
        // The next run logs in again and says so.
        QVERIFY(lance(QStringLiteral("SELECT 1 AS n"), QStringLiteral("Mirabel4")));
        QCOMPARE(j.lignes, (QStringList{"msg:La session précédente a été perdue : une nouvelle session est ouverte.",
                                        "jeu:n", "ligne:1", "compte:(1 ligne affectée)"}));
    }
    QMetaObject::invokeMethod(session, &SessionRequete::Ferme, Qt::BlockingQueuedConnection);
    fil.quit();
    fil.wait();
    delete session;
}

QTEST_GUILESS_MAIN(TestSessionRequete)
#include "test_sessionrequete.moc"
