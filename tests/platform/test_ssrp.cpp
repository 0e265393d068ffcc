// SQL Server Resolution Protocol client: answers parsed, requests built, and
// the unicast exchanges against a responder on the loopback address.
#include "ssrp.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <QtTest>
#include <atomic>
#include <mutex>
#include <thread>

namespace {

QByteArray Reponse(const QByteArray &donnees)
{
    QByteArray r(1, char(0x05));
    r += char(donnees.size() & 0xFF);
    r += char((donnees.size() >> 8) & 0xFF);
    return r + donnees;
}

// Answers SSRP requests on a loopback UDP port from its own thread, as a
// browser service would: 0x03 with every instance, 0x04 with the named one
// (nothing for an unknown name).
class Repondeur
{
public:
    explicit Repondeur(QByteArray donnees) : m_donnees(std::move(donnees))
    {
        std::atomic<bool> pret{false};
        m_fil = std::thread([this, &pret] { Sert(pret); });
        while (!pret.load())
            std::this_thread::yield();
    }
    ~Repondeur()
    {
        m_arret = true;
        m_fil.join();
    }
    quint16 port() const { return m_port; }
    QList<QByteArray> demandes() const
    {
        std::lock_guard<std::mutex> verrou(m_verrou);
        return m_demandes;
    }

private:
    void Sert(std::atomic<bool> &pret)
    {
        QUdpSocket socket;
        socket.bind(QHostAddress::LocalHost, 0);
        m_port = socket.localPort();
        pret = true;
        while (!m_arret) {
            if (!socket.waitForReadyRead(50))
                continue;
            while (socket.hasPendingDatagrams()) {
                const QNetworkDatagram d = socket.receiveDatagram();
                {
                    std::lock_guard<std::mutex> verrou(m_verrou);
                    m_demandes << d.data();
                }
                QByteArray reponse;
                if (d.data() == QByteArray(1, char(0x03)))
                    reponse = Reponse(m_donnees);
                else if (d.data().startsWith(char(0x04))
                         && m_donnees.toUpper().contains(";INSTANCENAME;" + d.data().mid(1).chopped(1).toUpper() + ";"))
                    reponse = Reponse(m_donnees);
                if (!reponse.isEmpty())
                    socket.writeDatagram(reponse, d.senderAddress(), d.senderPort());
            }
        }
    }

    QByteArray m_donnees;
    std::thread m_fil;
    std::atomic<bool> m_arret{false};
    std::atomic<quint16> m_port{0};
    mutable std::mutex m_verrou;
    QList<QByteArray> m_demandes;
};

const QByteArray kDeuxInstances =
    "ServerName;MACHINE;InstanceName;MSSQLSERVER;IsClustered;No;Version;10.0.1600.22;tcp;1433;"
    "np;\\\\MACHINE\\pipe\\sql\\query;;"
    "ServerName;MACHINE;InstanceName;SQLEXPRESS;IsClustered;No;Version;10.50.1600.1;tcp;51234;;";

} // namespace

class TestSsrp : public QObject
{
    Q_OBJECT

private slots:
    void analyseLesReponses_data();
    void analyseLesReponses();
    void construitLesDemandes_data();
    void construitLesDemandes();
    void demandeToutesLesInstances();
    void demandeUneInstance();
    void instanceInconnueAttendAuPlusLeDelai();
};

void TestSsrp::analyseLesReponses_data()
{
    QTest::addColumn<QByteArray>("reponse");
    QTest::addColumn<QStringList>("instances");
    QTest::addColumn<QList<int>>("ports");

    QTest::newRow("deux instances") << Reponse(kDeuxInstances)
                                    << QStringList{"MACHINE/MSSQLSERVER/10.0.1600.22", "MACHINE/SQLEXPRESS/10.50.1600.1"}
                                    << QList<int>{1433, 51234};
    QTest::newRow("instance sans tcp") << Reponse("ServerName;M;InstanceName;I;IsClustered;No;Version;9.0;np;\\\\M\\pipe;;")
                                       << QStringList{"M/I/9.0"} << QList<int>{0};
    QTest::newRow("sans point-virgule final") << Reponse("ServerName;M;InstanceName;I;Version;9.0;tcp;1500")
                                              << QStringList{"M/I/9.0"} << QList<int>{1500};
    QTest::newRow("mauvais type de message") << QByteArray("\x04" "\x05\x00" "abcde", 8) << QStringList{} << QList<int>{};
    QTest::newRow("taille plus grande que les donnees") << QByteArray("\x05\x50\x00ServerName;M;", 16)
                                                        << QStringList{} << QList<int>{};
    QTest::newRow("trop court") << QByteArray("\x05\x01", 2) << QStringList{} << QList<int>{};
    QTest::newRow("instance sans nom ignoree") << Reponse("ServerName;M;Version;9.0;tcp;1500;;") << QStringList{}
                                               << QList<int>{};
    QTest::newRow("port qui tronque renverrait ailleurs")
        << Reponse("ServerName;M;InstanceName;I;Version;9.0;tcp;104875;;") << QStringList{} << QList<int>{};
    QTest::newRow("port negatif") << Reponse("ServerName;M;InstanceName;I;Version;9.0;tcp;-5;;") << QStringList{}
                                  << QList<int>{};
    QTest::newRow("port nul") << Reponse("ServerName;M;InstanceName;I;Version;9.0;tcp;0;;") << QStringList{}
                              << QList<int>{};
    QTest::newRow("port non numerique") << Reponse("ServerName;M;InstanceName;I;Version;9.0;tcp;abc;;")
                                        << QStringList{} << QList<int>{};
    QTest::newRow("un port invalide rend toute la reponse invalide")
        << Reponse("ServerName;M;InstanceName;A;tcp;1433;;ServerName;M;InstanceName;B;tcp;65536;;") << QStringList{}
        << QList<int>{};
    QTest::newRow("port 65535") << Reponse("ServerName;M;InstanceName;I;Version;9.0;tcp;65535;;")
                                << QStringList{"M/I/9.0"} << QList<int>{65535};
    QTest::newRow("donnees au-dela de la taille ignorees")
        << Reponse("ServerName;M;InstanceName;I;tcp;1;;") + "ServerName;X;InstanceName;Y;;" << QStringList{"M/I/"}
        << QList<int>{1};
}

void TestSsrp::analyseLesReponses()
{
    QFETCH(QByteArray, reponse);
    QFETCH(QStringList, instances);
    QFETCH(QList<int>, ports);
    const QList<InstanceSql> lues = AnalyseReponseSsrp(reponse);
    QStringList noms;
    QList<int> portsLus;
    for (const InstanceSql &i : lues) {
        noms << i.sServeur + "/" + i.sInstance + "/" + i.sVersion;
        portsLus << i.lPortTcp;
    }
    QCOMPARE(noms, instances);
    QCOMPARE(portsLus, ports);
}

void TestSsrp::construitLesDemandes_data()
{
    QTest::addColumn<QString>("instance");
    QTest::addColumn<QByteArray>("attendu");
    QTest::newRow("nom ordinaire") << "SQLEXPRESS" << QByteArray("\x04SQLEXPRESS\0", 12);
    QTest::newRow("nom vide refuse") << "" << QByteArray();
    QTest::newRow("nom de 32 octets") << QString(32, 'A') << QByteArray(1, 4) + QByteArray(32, 'A') + QByteArray(1, 0);
    QTest::newRow("nom de 33 octets refuse") << QString(33, 'A') << QByteArray();
}

void TestSsrp::construitLesDemandes()
{
    QFETCH(QString, instance);
    QFETCH(QByteArray, attendu);
    QCOMPARE(DemandeSsrpInstance(instance), attendu);
    QCOMPARE(DemandeSsrpToutes(), QByteArray(1, char(0x03)));
}

void TestSsrp::demandeToutesLesInstances()
{
    Repondeur repondeur(kDeuxInstances);
    const QList<InstanceSql> instances = DemandeInstances(QHostAddress::LocalHost, repondeur.port(), 2000);
    QCOMPARE(instances.size(), 2);
    QCOMPARE(instances.at(1).sInstance, QStringLiteral("SQLEXPRESS"));
    QCOMPARE(instances.at(1).lPortTcp, 51234);
}

void TestSsrp::demandeUneInstance()
{
    Repondeur repondeur(kDeuxInstances);
    const std::optional<InstanceSql> instance =
        DemandeInstance(QHostAddress::LocalHost, repondeur.port(), QStringLiteral("sqlexpress"), 2000);
    QVERIFY(instance.has_value());
    QCOMPARE(instance->sInstance, QStringLiteral("SQLEXPRESS"));
    QCOMPARE(instance->lPortTcp, 51234);
    QCOMPARE(repondeur.demandes().value(0), QByteArray("\x04sqlexpress\0", 12));
}

void TestSsrp::instanceInconnueAttendAuPlusLeDelai()
{
    Repondeur repondeur(kDeuxInstances);
    QElapsedTimer chrono;
    chrono.start();
    const std::optional<InstanceSql> instance =
        DemandeInstance(QHostAddress::LocalHost, repondeur.port(), QStringLiteral("INCONNUE"), 300);
    QVERIFY(!instance.has_value());
    // The wait is bounded by the delay asked for, not by any retry of the protocol.
    QVERIFY2(chrono.elapsed() < 3000, qPrintable(QString::number(chrono.elapsed())));
    QCOMPARE(repondeur.demandes().size(), 1);
}

QTEST_APPLESS_MAIN(TestSsrp)
#include "test_ssrp.moc"
