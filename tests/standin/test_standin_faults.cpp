// The stand-in's fault switches and timeouts, seen through the ODBC driver.
#include "odbcdirect.h"
#include "standin.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace odbcdirect;

namespace {
// The packets the driver logged in its dump file (TDSDUMP) after it sent an
// attention, each as its bytes, header included.
QVector<QByteArray> paquetsRecusApresAttention(const QString &sFichier)
{
    QFile f(sFichier);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression ligneHexa(QStringLiteral("^[0-9a-f]{4} ((?:[0-9a-f]{2}[ -]){1,16})"));
    QVector<QByteArray> recus;
    QByteArray *courant = nullptr;
    QByteArray envoye;
    bool bApresAttention = false;
    for (const QByteArray &ligne : f.readAll().split('\n')) {
        if (ligne.endsWith("Sending packet") || ligne.endsWith("Received packet")) {
            bApresAttention = bApresAttention || (envoye.size() == 8 && envoye.at(0) == 0x06);
            envoye.clear();
            const bool bRecu = ligne.endsWith("Received packet");
            if (bRecu && bApresAttention)
                recus << QByteArray();
            courant = bRecu ? (bApresAttention ? &recus.last() : nullptr) : &envoye;
            continue;
        }
        const auto m = ligneHexa.match(QString::fromLatin1(ligne));
        if (courant && m.hasMatch())
            courant->append(QByteArray::fromHex(m.captured(1).remove(QLatin1Char('-')).toLatin1()));
    }
    return recus;
}
}

class TestStandinFaults : public QObject
{
    Q_OBJECT

private slots:
    void queryTimeoutDuringWaitforKeepsConnection()
    {
        StandIn standin;
        QVERIFY2(standin.isRunning(), qPrintable(standin.output()));
        // The driver logs the packets it exchanges: the answer to its attention shows there.
        QTemporaryDir dossier;
        const QString sDump = dossier.filePath(QStringLiteral("tds.log"));
        qputenv("TDSDUMP", sDump.toLocal8Bit());
        Connexion cn;
        QVERIFY(cn.ouvre(chaine(standin.port(), QStringLiteral("Mirabel4"), QStringLiteral("Ventes"))).bOk);
        const Resultat attente = cn.execute(QStringLiteral("WAITFOR DELAY '00:00:10'"), 1);
        qunsetenv("TDSDUMP");
        QVERIFY(!attente.bOk);
        QCOMPARE(attente.sEtat, QStringLiteral("HYT00"));
        // Two messages, as servers send them: the reply cut short, ended by a DONE,
        // then the acknowledgement alone, a DONE with the attention bit (0x20).
        const QVector<QByteArray> recus = paquetsRecusApresAttention(sDump);
        QCOMPARE(recus.size(), 2);
        for (const QByteArray &paquet : recus)
            QVERIFY2(paquet.size() >= 8 && (paquet.at(1) & 0x01), paquet.toHex(' ').constData());
        QCOMPARE(recus.at(0).mid(8, 3), QByteArray::fromHex("fd0000"));
        QCOMPARE(recus.at(1).mid(8), QByteArray::fromHex("fd200000000000000000000000"));
        // The attention was answered: the same connection runs the next statement.
        const Resultat r = cn.execute(QStringLiteral("SELECT count(*) FROM produits"));
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        QVERIFY(r.lignes.value(0).value(0).toInt() > 0);
    }

    void messageBeforeTheBatchEnds_data()
    {
        QTest::addColumn<QString>("lot");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("aussitot");
        QTest::newRow("RAISERROR WITH NOWAIT leaves at once")
            << "RAISERROR(N'tôt', 0, 1) WITH NOWAIT\nWAITFOR DELAY '00:00:05'\nSELECT 1" << "tôt" << true;
        QTest::newRow("PRINT waits for the packet to fill or the batch to end")
            << "PRINT 'tard'\nWAITFOR DELAY '00:00:00.600'\nSELECT 1" << "tard" << false;
    }

    void messageBeforeTheBatchEnds()
    {
        QFETCH(QString, lot);
        QFETCH(QString, message);
        QFETCH(bool, aussitot);
        StandIn standin;
        QVERIFY2(standin.isRunning(), qPrintable(standin.output()));
        Connexion cn;
        QVERIFY(cn.ouvre(chaine(standin.port(), QStringLiteral("Mirabel4"), QStringLiteral("Ventes"))).bOk);
        QElapsedTimer chrono;
        chrono.start();
        // No rows are read: freeing the statement cancels the rest of the batch.
        const Resultat r = cn.execute(lot, 0, 0);
        QVERIFY2(r.sMessage.contains(message), qPrintable(r.sMessage));
        if (aussitot)
            QVERIFY2(chrono.elapsed() < 1000, qPrintable(QString::number(chrono.elapsed())));
        else
            QVERIFY2(chrono.elapsed() >= 550, qPrintable(QString::number(chrono.elapsed())));
        QCOMPARE(premiereColonne(cn.execute(QStringLiteral("SELECT 2"))), QStringList{"2"});
    }

    void attentionDuringALongResult()
    {
        StandIn standin;
        QVERIFY2(standin.isRunning(), qPrintable(standin.output()));
        Connexion cn;
        QVERIFY(cn.ouvre(chaine(standin.port(), QStringLiteral("Mirabel4"), QStringLiteral("Ventes"))).bOk);
        QElapsedTimer chrono;
        chrono.start();
        // Two rows of fifty million are read; freeing the statement sends the attention.
        const Resultat r = cn.execute(QStringLiteral("SELECT value FROM GENERATE_SERIES(1, 50000000) SELECT 1"), 0, 2);
        const qint64 lMs = chrono.elapsed();
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        QCOMPARE(premiereColonne(r), (QStringList{"1", "2"}));
        QVERIFY2(lMs < 1000, qPrintable(QString::number(lMs)));
        // The attention was acknowledged: the same connection runs the next statement.
        QCOMPARE(premiereColonne(cn.execute(QStringLiteral("SELECT 2"))), QStringList{"2"});
    }

    void delayedBatches()
    {
        StandIn::Options options;
        options.extraArguments = {QStringLiteral("--delay-ms"), QStringLiteral("2500")};
        StandIn standin(options);
        QVERIFY2(standin.isRunning(), qPrintable(standin.output()));
        Connexion cn;
        QElapsedTimer chrono;
        chrono.start();
        QVERIFY(cn.ouvre(chaine(standin.port(), QStringLiteral("Mirabel4"), QStringLiteral("Ventes"))).bOk);
        QVERIFY2(chrono.elapsed() < 2000, "the login itself is not delayed");
        const Resultat expire = cn.execute(QStringLiteral("SELECT 1"), 1);
        QVERIFY(!expire.bOk);
        QCOMPARE(expire.sEtat, QStringLiteral("HYT00"));
        chrono.restart();
        const Resultat r = cn.execute(QStringLiteral("SELECT name FROM sysobjects WHERE name = 'clients'"));
        QVERIFY2(r.bOk, qPrintable(r.sMessage));
        QVERIFY(chrono.elapsed() >= 2400);
        QCOMPARE(premiereColonne(r), QStringList{"clients"});
    }

    void droppedInTheMiddleOfAResult_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("coupe");
        QTest::addColumn<int>("lignes");
        QTest::newRow("longer result is cut") << "SELECT id FROM commandes ORDER BY id" << true << 10;
        QTest::newRow("result of exactly N rows is whole") << "SELECT TOP 10 id FROM commandes" << false << 10;
        QTest::newRow("shorter result is whole") << "SELECT TOP 3 id FROM commandes" << false << 3;
    }

    void droppedInTheMiddleOfAResult()
    {
        QFETCH(QString, sql);
        QFETCH(bool, coupe);
        QFETCH(int, lignes);
        StandIn::Options options;
        options.extraArguments = {QStringLiteral("--drop-after-rows"), QStringLiteral("10")};
        StandIn standin(options);
        QVERIFY2(standin.isRunning(), qPrintable(standin.output()));
        Connexion cn;
        QVERIFY(cn.ouvre(chaine(standin.port(), QStringLiteral("Mirabel4"), QStringLiteral("Ventes"))).bOk);
        const Resultat r = cn.execute(sql);
        QCOMPARE(r.bOk, !coupe);
        if (coupe) {
            QVERIFY(r.lignes.size() <= lignes);
            // FreeTDS reports the lost link as "Unexpected EOF from the server" (01000), then 08S01.
            QVERIFY2(r.sEtat.startsWith(QLatin1String("08")) || r.sMessage.contains(QLatin1String("Unexpected EOF")),
                     qPrintable(r.sEtat + r.sMessage));
        } else {
            QCOMPARE(r.lignes.size(), lignes);
        }
        // The server itself lives on.
        Connexion autre;
        QVERIFY(autre.ouvre(chaine(standin.port(), QStringLiteral("Mirabel4"), QStringLiteral("Ventes"))).bOk);
        QVERIFY(autre.execute(QStringLiteral("SELECT 1")).bOk);
    }
};

QTEST_GUILESS_MAIN(TestStandinFaults)
#include "test_standin_faults.moc"
