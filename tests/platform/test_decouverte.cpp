// Server discovery: FreeTDS sections, the local browser service and TCP probe
// (pointed at a stand-in on loopback), bounded waiting, no repeated names.
// Nothing here broadcasts: bRechercheReseau stays false in every case.
#include "decouverte.h"
#include "standin.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <memory>

namespace {

QString EcritConfig(const QTemporaryDir &dossier, const QString &nom, const QByteArray &contenu)
{
    const QString chemin = dossier.filePath(nom);
    QFile f(chemin);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(contenu);
    return chemin;
}

// Options that reach nothing unless a case says so.
OptionsDecouverte OptionsMuettes(const QString &sFichierFreeTds)
{
    OptionsDecouverte o;
    o.sFichierFreeTds = sFichierFreeTds;
    o.lPortSsrp = 0;
    o.lPortTcp = 0;
    o.bRechercheReseau = false;
    o.sNomMachine = QStringLiteral("PC7");
    return o;
}

} // namespace

class TestDecouverte : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sectionsFreeTds_data();
    void sectionsFreeTds();
    void fichierFreeTdsAbsent();
    void instanceParDefautDevientLocal();
    void instanceNommeeSousLeNomDeLaMachine();
    void sondeTcp_data();
    void sondeTcp();
    void localUneSeuleFois();
    void ordreDesSources();
    void attenteBornee();
    void nomOrdinateur();

private:
    QTemporaryDir m_dossier;
    QString m_vide;
    std::unique_ptr<StandIn> m_parDefaut;
    std::unique_ptr<StandIn> m_nommee;
};

void TestDecouverte::initTestCase()
{
    QVERIFY(m_dossier.isValid());
    m_vide = EcritConfig(m_dossier, QStringLiteral("vide.conf"), "[global]\n\ttds version = 7.4\n");
    StandIn::Options o;
    o.ssrp = true;
    m_parDefaut = std::make_unique<StandIn>(o);
    QVERIFY2(m_parDefaut->isRunning(), qPrintable(m_parDefaut->output()));
    QVERIFY(m_parDefaut->ssrpPort() > 0);
    o.instance = QStringLiteral("INST1");
    m_nommee = std::make_unique<StandIn>(o);
    QVERIFY2(m_nommee->isRunning(), qPrintable(m_nommee->output()));
}

void TestDecouverte::sectionsFreeTds_data()
{
    QTest::addColumn<QByteArray>("contenu");
    QTest::addColumn<QStringList>("attendu");
    QTest::newRow("global exclue") << QByteArray("[global]\n tds version = 7.4\n[DEMO]\n host = 127.0.0.1\n")
                                   << QStringList{"DEMO"};
    QTest::newRow("ordre du fichier") << QByteArray("[zeta]\n[alpha]\n[Milieu]\n")
                                      << QStringList{"zeta", "alpha", "Milieu"};
    QTest::newRow("global en capitales") << QByteArray("[GLOBAL]\n[srv]\n") << QStringList{"srv"};
    QTest::newRow("commentaires") << QByteArray("; [commente]\n# [aussi]\n[vrai]\n")
                                  << QStringList{"vrai"};
    QTest::newRow("espaces autour") << QByteArray("  [ srv1 ]  \n") << QStringList{"srv1"};
    QTest::newRow("aucune section") << QByteArray("host = x\n") << QStringList{};
}

void TestDecouverte::sectionsFreeTds()
{
    QFETCH(QByteArray, contenu);
    QFETCH(QStringList, attendu);
    const QString chemin = EcritConfig(m_dossier, QStringLiteral("sections.conf"), contenu);
    QCOMPARE(SectionsFreeTdsDe(chemin), attendu);
    QCOMPARE(ServeursDecouverts(OptionsMuettes(chemin)), attendu);
}

void TestDecouverte::fichierFreeTdsAbsent()
{
    QCOMPARE(SectionsFreeTdsDe(m_dossier.filePath(QStringLiteral("absent.conf"))), QStringList());
    QCOMPARE(ServeursDecouverts(OptionsMuettes(m_dossier.filePath(QStringLiteral("absent.conf")))),
             QStringList());
}

void TestDecouverte::instanceParDefautDevientLocal()
{
    OptionsDecouverte o = OptionsMuettes(m_vide);
    o.lPortSsrp = quint16(m_parDefaut->ssrpPort());
    QCOMPARE(ServeursDecouverts(o), QStringList{"(local)"});
}

void TestDecouverte::instanceNommeeSousLeNomDeLaMachine()
{
    OptionsDecouverte o = OptionsMuettes(m_vide);
    o.lPortSsrp = quint16(m_nommee->ssrpPort());
    QCOMPARE(ServeursDecouverts(o), QStringList{"PC7\\INST1"});
}

void TestDecouverte::sondeTcp_data()
{
    QTest::addColumn<bool>("ecoute");
    QTest::addColumn<QStringList>("attendu");
    QTest::newRow("port ouvert") << true << QStringList{"(local)"};
    QTest::newRow("port ferme") << false << QStringList{};
}

void TestDecouverte::sondeTcp()
{
    QFETCH(bool, ecoute);
    QFETCH(QStringList, attendu);
    quint16 port = quint16(m_parDefaut->port());
    if (!ecoute) {
        // A port that was free a moment ago and is closed again.
        QTcpServer libre;
        QVERIFY(libre.listen(QHostAddress::LocalHost, 0));
        port = libre.serverPort();
        libre.close();
    }
    OptionsDecouverte o = OptionsMuettes(m_vide);
    o.lPortTcp = port;
    QCOMPARE(ServeursDecouverts(o), attendu);
}

void TestDecouverte::localUneSeuleFois()
{
    OptionsDecouverte o = OptionsMuettes(m_vide);
    o.lPortSsrp = quint16(m_parDefaut->ssrpPort());
    o.lPortTcp = quint16(m_parDefaut->port());
    QCOMPARE(ServeursDecouverts(o), QStringList{"(local)"});
}

void TestDecouverte::ordreDesSources()
{
    const QString conf = EcritConfig(m_dossier, QStringLiteral("ordre.conf"),
                                     "[global]\n[DEMO]\n[demo]\n[pc7\\inst1]\n[AUTRE]\n");
    OptionsDecouverte o = OptionsMuettes(conf);
    o.lPortSsrp = quint16(m_nommee->ssrpPort());
    o.lPortTcp = quint16(m_parDefaut->port());
    // FreeTDS first, then the local machine; repeats (any case) left out.
    QCOMPARE(ServeursDecouverts(o), (QStringList{"DEMO", "pc7\\inst1", "AUTRE", "(local)"}));
}

void TestDecouverte::attenteBornee()
{
    // A browser service that never answers and a probe that goes nowhere:
    // start-up must still go on within about a second.
    QUdpSocket muet;
    QVERIFY(muet.bind(QHostAddress::LocalHost, 0));
    OptionsDecouverte o = OptionsMuettes(m_vide);
    o.lPortSsrp = muet.localPort();
    o.adresseLocale = QHostAddress::LocalHost;
    o.lPortTcp = 9;  // discard port: normally refused at once on loopback
    o.lDelaiTotalMs = 1000;
    QElapsedTimer chrono;
    chrono.start();
    const QStringList noms = ServeursDecouverts(o);
    QVERIFY2(chrono.elapsed() < 1500, qPrintable(QString::number(chrono.elapsed())));
    QCOMPARE(noms, QStringList());
    QVERIFY(muet.hasPendingDatagrams() || muet.waitForReadyRead(100));
}

void TestDecouverte::nomOrdinateur()
{
    const QString nom = NomOrdinateur();
    QVERIFY(!nom.isEmpty());
    QCOMPARE(nom, nom.toUpper());
    QVERIFY(!nom.contains(QLatin1Char('.')));
    QVERIFY(QSysInfo::machineHostName().toUpper().startsWith(nom));
}

QTEST_GUILESS_MAIN(TestDecouverte)
#include "test_decouverte.moc"
