// The stand-in's SQL Server Resolution Protocol answers, unicast on loopback only.
#include "standin.h"

#include <QNetworkDatagram>
#include <QUdpSocket>
#include <QtTest>

namespace {
QByteArray demande(char genre, const QByteArray &instance = QByteArray())
{
    QByteArray d(1, genre);
    if (genre == 0x04)
        d += instance + '\0';
    return d;
}
}

class TestStandinSsrp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        StandIn::Options options;
        options.ssrp = true;
        options.instance = QStringLiteral("BRENLOR");
        m_standin = std::make_unique<StandIn>(options);
        QVERIFY2(m_standin->isRunning(), qPrintable(m_standin->output()));
        QVERIFY(m_standin->ssrpPort() > 0);
    }

    void answers_data()
    {
        QTest::addColumn<QByteArray>("requete");
        QTest::addColumn<bool>("reponse");
        QTest::newRow("unicast enumeration 0x03") << demande(0x03) << true;
        QTest::newRow("enumeration 0x02 sent unicast") << demande(0x02) << true;
        QTest::newRow("known instance 0x04") << demande(0x04, "BRENLOR") << true;
        QTest::newRow("instance name in lower case") << demande(0x04, "brenlor") << true;
        QTest::newRow("unknown instance: no answer") << demande(0x04, "AUTRE") << false;
        QTest::newRow("unknown request: no answer") << demande(0x0A) << false;
    }

    void answers()
    {
        QFETCH(QByteArray, requete);
        QFETCH(bool, reponse);
        QUdpSocket socket;
        QVERIFY(socket.bind(QHostAddress::LocalHost, 0));
        socket.writeDatagram(requete, QHostAddress::LocalHost, quint16(m_standin->ssrpPort()));
        const bool bRecu = socket.waitForReadyRead(reponse ? 5000 : 700);
        QCOMPARE(bRecu, reponse);
        if (!reponse)
            return;
        const QByteArray d = socket.receiveDatagram().data();
        QVERIFY(d.size() > 3);
        QCOMPARE(uchar(d.at(0)), uchar(0x05));
        QCOMPARE(int(uchar(d.at(1)) | (uchar(d.at(2)) << 8)), d.size() - 3);
        const QString texte = QString::fromLatin1(d.mid(3));
        QVERIFY2(texte.startsWith(QLatin1String("ServerName;")), qPrintable(texte));
        QVERIFY2(texte.contains(QLatin1String(";InstanceName;BRENLOR;IsClustered;No;Version;10.0.1600.22;")),
                 qPrintable(texte));
        QVERIFY2(texte.endsWith(QStringLiteral(";tcp;%1;;").arg(m_standin->port())), qPrintable(texte));
        QVERIFY(!texte.section(QLatin1Char(';'), 1, 1).isEmpty());
    }

private:
    std::unique_ptr<StandIn> m_standin;
};

QTEST_GUILESS_MAIN(TestStandinSsrp)
#include "test_standin_ssrp.moc"
