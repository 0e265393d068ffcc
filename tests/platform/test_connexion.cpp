// Connection and recordset through the real ODBC driver against the stand-in:
// states, errors with their numbers, row counting, every move, statements
// without rows, the Data Source forms, quoting and non-ASCII text.
#include "chaineconnexion.h"
#include "codeserreurs.h"
#include "connexion.h"
#include "poolconnexions.h"
#include "sourcedonnees.h"
#include "numeroleve.h"
#include "standin.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

namespace {

const QString kTitre = QStringLiteral("Brenlor");

} // namespace

class TestConnexion : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void ouvreEtFerme();
    void refuseLesOperationsHorsEtat_data();
    void refuseLesOperationsHorsEtat();
    void echecsDeConnexion_data();
    void echecsDeConnexion();
    void argumentsRemplacentLaChaine();
    void formesDeLaSourceDeDonnees_data();
    void formesDeLaSourceDeDonnees();
    void sectionDeConfigurationFreeTds();
    void instanceNommeeResolueParSsrp();
    void instanceInconnueEchoueVite();

    void listeDesBases();
    void champsParIndexEtParNom();
    void deplacements_data();
    void deplacements();
    void resultatVide();
    void instructionsSansLignes_data();
    void instructionsSansLignes();
    void premierResultatDuLot_data();
    void premierResultatDuLot();
    void erreursDeCommande_data();
    void erreursDeCommande();
    void recordsetSurConnexionFermee();
    void requeryRelitLeResultat();
    void resyncNonSupporte();
    void deuxRecordsetsSurUneConnexion();
    void fermerLaConnexionFermeSesRecordsets();
    void texteNonAscii_data();
    void texteNonAscii();
    void motDePasseAvecPointVirguleEtGuillemet_data();
    void motDePasseAvecPointVirguleEtGuillemet();

private:
    QString Chaine(const QString &sBase = QStringLiteral("Ventes")) const
    {
        return ChaineConnexion(m_standIn->serverName(), sBase, QStringLiteral("Mirabel4"), kTitre);
    }
    void Ouvre(Connexion &cn, const QString &sBase = QStringLiteral("Ventes"))
    {
        cn.Open(Chaine(sBase), QString(), QString(), -1);
    }

    std::unique_ptr<StandIn> m_standIn;
};

void TestConnexion::initTestCase()
{
    StandIn::Options options;
    options.ssrp = true;
    options.instance = QStringLiteral("INSTTEST");
    m_standIn = std::make_unique<StandIn>(options);
    QVERIFY2(m_standIn->isRunning(), qPrintable(m_standIn->output()));
    SetPortSsrpPourTests(quint16(m_standIn->ssrpPort()));
    Connexion::SetLoginTimeoutForTests(5);
    Connexion::SetCommandTimeoutForTests(10);
}

void TestConnexion::cleanup()
{
    PoolConnexions::Vide();
}

void TestConnexion::ouvreEtFerme()
{
    Connexion cn;
    QCOMPARE(cn.State(), 0);
    Ouvre(cn);
    QCOMPARE(cn.State(), 1);
    cn.Close();
    QCOMPARE(cn.State(), 0);
    Ouvre(cn);
    QCOMPARE(cn.State(), 1);
}

void TestConnexion::refuseLesOperationsHorsEtat_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("numero");
    QTest::newRow("Close d'une connexion fermee") << "cn.Close" << int(CodesErreurs::ObjetFerme);
    QTest::newRow("Open d'une connexion ouverte") << "cn.Open" << int(CodesErreurs::ObjetOuvert);
    QTest::newRow("Open d'un recordset ouvert") << "rs.Open" << int(CodesErreurs::ObjetOuvert);
    QTest::newRow("Close d'un recordset ferme") << "rs.Close" << int(CodesErreurs::ObjetFerme);
    QTest::newRow("EOF d'un recordset ferme") << "rs.EOF" << int(CodesErreurs::ObjetFerme);
    QTest::newRow("MoveNext d'un recordset ferme") << "rs.MoveNext" << int(CodesErreurs::ObjetFerme);
    QTest::newRow("RecordCount d'un recordset ferme") << "rs.RecordCount" << int(CodesErreurs::ObjetFerme);
    QTest::newRow("Fields d'un recordset ferme") << "rs.Fields" << int(CodesErreurs::ObjetFerme);
    QTest::newRow("Requery d'un recordset ferme") << "rs.Requery" << int(CodesErreurs::ObjetFerme);
    QTest::newRow("Resync d'un recordset ferme") << "rs.Resync" << int(CodesErreurs::ObjetFerme);
    QTest::newRow("AbsolutePosition d'un recordset ferme") << "rs.AbsolutePosition" << int(CodesErreurs::ObjetFerme);
    QTest::newRow("source vide") << "rs.OpenVide" << int(CodesErreurs::CommandeNonDefinie);
}

void TestConnexion::refuseLesOperationsHorsEtat()
{
    QFETCH(QString, operation);
    QFETCH(int, numero);
    Connexion cn;
    Recordset rs;
    QString sDescription;
    int lObtenu = 0;
    if (operation == QLatin1String("cn.Close")) {
        lObtenu = NumeroLeve([&] { cn.Close(); }, &sDescription);
    } else if (operation == QLatin1String("cn.Open")) {
        Ouvre(cn);
        lObtenu = NumeroLeve([&] { Ouvre(cn); }, &sDescription);
        QCOMPARE(cn.State(), 1);
    } else if (operation == QLatin1String("rs.Open")) {
        Ouvre(cn);
        rs.Open(QStringLiteral("SELECT id FROM clients"), &cn, 0, 1, -1);
        lObtenu = NumeroLeve([&] { rs.Open(QStringLiteral("SELECT id FROM clients"), &cn, 0, 1, -1); }, &sDescription);
        QCOMPARE(rs.State(), 1);
    } else if (operation == QLatin1String("rs.OpenVide")) {
        Ouvre(cn);
        lObtenu = NumeroLeve([&] { rs.Open(QString(), &cn, 0, 1); }, &sDescription);
        QCOMPARE(rs.State(), 0);
    } else {
        const QMap<QString, std::function<void()>> appels{
            {QStringLiteral("rs.Close"), [&] { rs.Close(); }},
            {QStringLiteral("rs.EOF"), [&] { rs.Eof(); }},
            {QStringLiteral("rs.MoveNext"), [&] { rs.MoveNext(); }},
            {QStringLiteral("rs.RecordCount"), [&] { rs.RecordCount(); }},
            {QStringLiteral("rs.Fields"), [&] { rs.Fields(0); }},
            {QStringLiteral("rs.Requery"), [&] { rs.Requery(); }},
            {QStringLiteral("rs.Resync"), [&] { rs.Resync(1); }},
            {QStringLiteral("rs.AbsolutePosition"), [&] { rs.AbsolutePosition(); }},
        };
        QVERIFY(appels.contains(operation));
        lObtenu = NumeroLeve(appels.value(operation), &sDescription);
    }
    QCOMPARE(lObtenu, numero);
    QCOMPARE(sDescription, TexteErreur(numero));
}

void TestConnexion::echecsDeConnexion_data()
{
    QTest::addColumn<QString>("chaine");
    QTest::addColumn<int>("numero");
    QTest::addColumn<QString>("extrait");

    QTest::newRow("mauvais mot de passe")
        << ChaineConnexion(QStringLiteral("SERVEUR"), QStringLiteral("master"), QStringLiteral("faux"), kTitre)
        << int(CodesErreurs::EchecAuthentification) << "Login failed for user 'sa'.";
    QTest::newRow("base inconnue")
        << ChaineConnexion(QStringLiteral("SERVEUR"), QStringLiteral("NullePart"), QStringLiteral("Mirabel4"), kTitre)
        << int(CodesErreurs::EchecNonSpecifie) << "NullePart";
    QTest::newRow("port ferme")
        << ChaineConnexion(QStringLiteral("127.0.0.1,PORTFERME"), QStringLiteral("master"), QStringLiteral("Mirabel4"), kTitre)
        << int(CodesErreurs::EchecNonSpecifie) << "";
    QTest::newRow("chaine mal formee") << "Data Source=\"SERVEUR" << int(CodesErreurs::ChaineMalFormee)
                                       << "initialization string";
    QTest::newRow("fournisseur inconnu") << "Provider=Inconnu;Data Source=SERVEUR" << int(CodesErreurs::FournisseurIntrouvable)
                                         << "Provider cannot be found";
}

void TestConnexion::echecsDeConnexion()
{
    QFETCH(QString, chaine);
    QFETCH(int, numero);
    QFETCH(QString, extrait);
    // A port nobody listens on: bound then released.
    QTcpServer libre;
    QVERIFY(libre.listen(QHostAddress::LocalHost, 0));
    const QString sPortFerme = QString::number(libre.serverPort());
    libre.close();
    chaine.replace(QLatin1String("SERVEUR"), m_standIn->serverName());
    chaine.replace(QLatin1String("PORTFERME"), sPortFerme);

    Connexion cn;
    QString sDescription;
    QCOMPARE(NumeroLeve([&] { cn.Open(chaine, QString(), QString(), -1); }, &sDescription), numero);
    QVERIFY2(sDescription.contains(extrait), qPrintable(sDescription));
    QVERIFY(!sDescription.startsWith(QLatin1Char('[')));
    QCOMPARE(cn.State(), 0);
}

void TestConnexion::argumentsRemplacentLaChaine()
{
    Connexion cn;
    const QString sFausse = ChaineConnexion(m_standIn->serverName(), QStringLiteral("Ventes"), QStringLiteral("faux"), kTitre);
    QCOMPARE(NumeroLeve([&] { cn.Open(sFausse, QString(), QString(), -1); }), int(CodesErreurs::EchecAuthentification));
    cn.Open(sFausse, QStringLiteral("sa"), QStringLiteral("Mirabel4"), -1);
    QCOMPARE(cn.State(), 1);
}

void TestConnexion::formesDeLaSourceDeDonnees_data()
{
    QTest::addColumn<QString>("source");
    const QString sPort = QStringLiteral(",%1").arg(m_standIn ? m_standIn->port() : 0);
    QTest::newRow("adresse et port") << "127.0.0.1" + sPort;
    QTest::newRow("(local) et port") << "(local)" + sPort;
    QTest::newRow("point et port") << "." + sPort;
    QTest::newRow("nom de la machine et port") << NomMachineLocale() + sPort;
    QTest::newRow("localhost et port") << "localhost" + sPort;
    QTest::newRow("instance par defaut et port") << "(local)\\MSSQLSERVER" + sPort;
}

void TestConnexion::formesDeLaSourceDeDonnees()
{
    QFETCH(QString, source);
    Connexion cn;
    cn.Open(ChaineConnexion(source, QStringLiteral("master"), QStringLiteral("Mirabel4"), kTitre));
    QCOMPARE(cn.State(), 1);
    Recordset rs;
    rs.Open(QStringLiteral("SELECT name FROM sysdatabases ORDER BY name"), &cn, 0, 1, -1);
    QCOMPARE(rs.Fields(0), QStringLiteral("master"));
}

void TestConnexion::sectionDeConfigurationFreeTds()
{
    QTemporaryDir dossier;
    const QString sChemin = dossier.filePath(QStringLiteral("freetds.conf"));
    QFile fichier(sChemin);
    QVERIFY(fichier.open(QIODevice::WriteOnly));
    fichier.write(QStringLiteral("[global]\n\ttds version = 7.4\n[BrenlorEssai]\n\thost = 127.0.0.1\n\tport = %1\n")
                      .arg(m_standIn->port()).toUtf8());
    fichier.close();
    const QByteArray ancienne = qgetenv("FREETDSCONF");
    qputenv("FREETDSCONF", sChemin.toLocal8Bit());
    Connexion cn;
    const int lNumero = NumeroLeve([&] {
        cn.Open(ChaineConnexion(QStringLiteral("brenloressai"), QStringLiteral("master"), QStringLiteral("Mirabel4"), kTitre));
    });
    if (ancienne.isNull())
        qunsetenv("FREETDSCONF");
    else
        qputenv("FREETDSCONF", ancienne);
    QCOMPARE(lNumero, 0);
    QCOMPARE(cn.State(), 1);
}

void TestConnexion::instanceNommeeResolueParSsrp()
{
    Connexion cn;
    cn.Open(ChaineConnexion(QStringLiteral("127.0.0.1\\insttest"), QStringLiteral("Ventes"), QStringLiteral("Mirabel4"), kTitre));
    QCOMPARE(cn.State(), 1);
    cn.Close();
    cn.Open(ChaineConnexion(QStringLiteral("(local)\\INSTTEST"), QStringLiteral("Ventes"), QStringLiteral("Mirabel4"), kTitre));
    QCOMPARE(cn.State(), 1);
}

void TestConnexion::instanceInconnueEchoueVite()
{
    Connexion cn;
    QElapsedTimer chrono;
    chrono.start();
    QString sDescription;
    const int lNumero = NumeroLeve([&] {
        cn.Open(ChaineConnexion(QStringLiteral("127.0.0.1\\INCONNUE"), QStringLiteral("Ventes"), QStringLiteral("Mirabel4"), kTitre));
    }, &sDescription);
    QCOMPARE(lNumero, int(CodesErreurs::EchecNonSpecifie));
    QVERIFY2(sDescription.contains(QLatin1String("INCONNUE")), qPrintable(sDescription));
    // Bounded by our own one-second lookup, not by the driver's long retries.
    QVERIFY2(chrono.elapsed() < 5000, qPrintable(QString::number(chrono.elapsed())));
    QCOMPARE(cn.State(), 0);
}

void TestConnexion::listeDesBases()
{
    Connexion cn;
    Ouvre(cn, QStringLiteral("master"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT name FROM sysdatabases ORDER BY name"), &cn, 0, 1, -1);
    QCOMPARE(rs.State(), 1);
    QStringList noms;
    while (!rs.Eof()) {
        noms << rs.Fields(0);
        rs.MoveNext();
    }
    QCOMPARE(noms, (QStringList{"master", "model", "msdb", "tempdb", "Ventes"}));
    QCOMPARE(rs.RecordCount(), 5L);
    rs.Close();
    QCOMPARE(rs.State(), 0);
}

void TestConnexion::champsParIndexEtParNom()
{
    Connexion cn;
    Ouvre(cn);
    Recordset rs;
    rs.Open(QStringLiteral("SELECT name, type AS Col FROM sysobjects WHERE type IN ('U','V') AND name LIKE 'produits%' ORDER BY name"),
            &cn, 0, 1, -1);
    QCOMPARE(rs.FieldCount(), 2);
    QCOMPARE(rs.Fields(QStringLiteral("name")), QStringLiteral("produits"));
    QCOMPARE(rs.Fields(QStringLiteral("NAME")), QStringLiteral("produits"));
    QCOMPARE(rs.Fields(QStringLiteral("Col")).trimmed(), QStringLiteral("U"));
    QCOMPARE(rs.Fields(1), rs.Fields(QStringLiteral("col")));
    QCOMPARE(NumeroLeve([&] { rs.Fields(QStringLiteral("absente")); }), int(CodesErreurs::ElementIntrouvable));
    QCOMPARE(NumeroLeve([&] { rs.Fields(2); }), int(CodesErreurs::ElementIntrouvable));
    QCOMPARE(NumeroLeve([&] { rs.Fields(-1); }), int(CodesErreurs::ElementIntrouvable));
}

void TestConnexion::deplacements_data()
{
    QTest::addColumn<QStringList>("operations");
    QTest::addColumn<int>("numero");     // error of the last operation, 0 for none
    QTest::addColumn<long>("position");  // AbsolutePosition afterwards
    QTest::addColumn<QString>("valeur"); // id of the current row, "" at BOF/EOF

    const QStringList rien;
    QTest::newRow("apres ouverture sur la premiere ligne") << rien << 0 << 1L << "1";
    QTest::newRow("MoveNext avance d'une ligne") << QStringList{"MoveNext"} << 0 << 2L << "2";
    QTest::newRow("MoveLast va a la derniere") << QStringList{"MoveLast"} << 0 << 5L << "5";
    QTest::newRow("MoveNext apres la derniere donne EOF") << QStringList{"MoveLast", "MoveNext"} << 0 << -3L << "";
    QTest::newRow("MoveNext a EOF leve 3021") << QStringList{"MoveLast", "MoveNext", "MoveNext"}
                                              << int(CodesErreurs::PasDEnregistrementCourant) << -3L << "";
    QTest::newRow("MovePrevious depuis EOF revient a la derniere") << QStringList{"MoveLast", "MoveNext", "MovePrevious"}
                                                                   << 0 << 5L << "5";
    QTest::newRow("MovePrevious depuis la premiere donne BOF") << QStringList{"MovePrevious"} << 0 << -2L << "";
    QTest::newRow("MovePrevious a BOF leve 3021") << QStringList{"MovePrevious", "MovePrevious"}
                                                  << int(CodesErreurs::PasDEnregistrementCourant) << -2L << "";
    QTest::newRow("MoveNext depuis BOF revient a la premiere") << QStringList{"MovePrevious", "MoveNext"} << 0 << 1L << "1";
    QTest::newRow("MoveFirst depuis EOF") << QStringList{"MoveLast", "MoveNext", "MoveFirst"} << 0 << 1L << "1";
    QTest::newRow("MoveFirst depuis BOF") << QStringList{"MovePrevious", "MoveFirst"} << 0 << 1L << "1";
    QTest::newRow("MovePrevious depuis la derniere") << QStringList{"MoveLast", "MovePrevious"} << 0 << 4L << "4";
    QTest::newRow("RecordCount garde la position") << QStringList{"MoveNext", "RecordCount"} << 0 << 2L << "2";
    QTest::newRow("suite de la sequence du test") << QStringList{"MoveNext", "MoveLast", "MovePrevious", "MoveFirst"}
                                                  << 0 << 1L << "1";
}

void TestConnexion::deplacements()
{
    QFETCH(QStringList, operations);
    QFETCH(int, numero);
    QFETCH(long, position);
    QFETCH(QString, valeur);
    Connexion cn;
    Ouvre(cn);
    Recordset rs;
    rs.Open(QStringLiteral("SELECT id, nom FROM clients WHERE id <= 5 ORDER BY id"), &cn, 0, 1);
    int lDernier = 0;
    for (const QString &op : operations) {
        lDernier = NumeroLeve([&] {
            if (op == QLatin1String("MoveNext"))
                rs.MoveNext();
            else if (op == QLatin1String("MovePrevious"))
                rs.MovePrevious();
            else if (op == QLatin1String("MoveFirst"))
                rs.MoveFirst();
            else if (op == QLatin1String("MoveLast"))
                rs.MoveLast();
            else if (op == QLatin1String("RecordCount"))
                QCOMPARE(rs.RecordCount(), 5L);
        });
    }
    QCOMPARE(lDernier, numero);
    QCOMPARE(rs.AbsolutePosition(), position);
    if (valeur.isEmpty()) {
        QVERIFY(rs.Eof() || rs.Bof());
        QCOMPARE(NumeroLeve([&] { rs.Fields(0); }), int(CodesErreurs::PasDEnregistrementCourant));
    } else {
        QVERIFY(!rs.Eof() && !rs.Bof());
        QCOMPARE(rs.Fields(QStringLiteral("id")), valeur);
    }
    QCOMPARE(rs.RecordCount(), 5L);
}

void TestConnexion::resultatVide()
{
    Connexion cn;
    Ouvre(cn);
    Recordset rs;
    rs.Open(QStringLiteral("SELECT id FROM clients WHERE id < 0"), &cn, 0, 1, -1);
    QCOMPARE(rs.State(), 1);
    QVERIFY(rs.Eof());
    QVERIFY(rs.Bof());
    QCOMPARE(rs.RecordCount(), 0L);
    QCOMPARE(rs.AbsolutePosition(), -1L);
    QCOMPARE(NumeroLeve([&] { rs.MoveNext(); }), int(CodesErreurs::PasDEnregistrementCourant));
    QCOMPARE(NumeroLeve([&] { rs.MoveFirst(); }), int(CodesErreurs::PasDEnregistrementCourant));
    QCOMPARE(NumeroLeve([&] { rs.MoveLast(); }), int(CodesErreurs::PasDEnregistrementCourant));
    QCOMPARE(NumeroLeve([&] { rs.MovePrevious(); }), int(CodesErreurs::PasDEnregistrementCourant));
    QCOMPARE(NumeroLeve([&] { rs.Fields(0); }), int(CodesErreurs::PasDEnregistrementCourant));
}

void TestConnexion::instructionsSansLignes_data()
{
    QTest::addColumn<QString>("instruction");
    QTest::newRow("creation de table") << "CREATE TABLE essai_sans_lignes (x int)";
    QTest::newRow("insertion") << "INSERT INTO essai_sans_lignes VALUES (1)";
    QTest::newRow("mise a jour sans ligne touchee") << "UPDATE essai_sans_lignes SET x = 2 WHERE x < 0";
    QTest::newRow("suppression") << "DELETE FROM essai_sans_lignes";
    QTest::newRow("set") << "SET NOCOUNT ON";
}

void TestConnexion::instructionsSansLignes()
{
    QFETCH(QString, instruction);
    Connexion cn;
    Ouvre(cn);
    Recordset rs;
    rs.Open(instruction, &cn, 0, 1, -1);
    QCOMPARE(rs.State(), 0);
    QCOMPARE(NumeroLeve([&] { rs.Eof(); }), int(CodesErreurs::ObjetFerme));
    QCOMPARE(NumeroLeve([&] { rs.Close(); }), int(CodesErreurs::ObjetFerme));
    // The session is still free for the next statement.
    rs.Open(QStringLiteral("SELECT COUNT(*) FROM clients"), &cn, 0, 1, -1);
    QCOMPARE(rs.Fields(0), QStringLiteral("60"));
}

void TestConnexion::premierResultatDuLot_data()
{
    QTest::addColumn<QString>("lot");
    QTest::addColumn<int>("etat");
    QTest::newRow("set sans compte puis select") << "SET NOCOUNT ON; SELECT id FROM clients WHERE id = 7" << 1;
    QTest::newRow("insertion comptee puis select") << "INSERT INTO essai_lot VALUES (1); SELECT id FROM clients WHERE id = 7" << 0;
    QTest::newRow("select puis insertion") << "SELECT id FROM clients WHERE id = 7; INSERT INTO essai_lot VALUES (2)" << 1;
}

void TestConnexion::premierResultatDuLot()
{
    QFETCH(QString, lot);
    QFETCH(int, etat);
    Connexion cn;
    Ouvre(cn);
    Recordset rs;
    try {
        rs.Open(QStringLiteral("CREATE TABLE essai_lot (x int)"), &cn, 0, 1, -1);
    } catch (const ErreurAdo &) {
        // already there from an earlier row
    }
    rs.Open(lot, &cn, 0, 1, -1);
    QCOMPARE(rs.State(), etat);
    if (etat == 1) {
        QCOMPARE(rs.Fields(0), QStringLiteral("7"));
        QCOMPARE(rs.RecordCount(), 1L);
    }
}

void TestConnexion::erreursDeCommande_data()
{
    QTest::addColumn<QString>("requete");
    QTest::addColumn<int>("numero");
    QTest::addColumn<QString>("description");
    QTest::newRow("objet inexistant") << "SELECT * FROM nulle_part" << int(CodesErreurs::ObjetInexistant)
                                      << "Invalid object name 'nulle_part'.";
    QTest::newRow("erreur de syntaxe") << "SELEC name FROM sysobjects" << int(CodesErreurs::ErreursDansCommande)
                                       << "Incorrect syntax near";
    QTest::newRow("apostrophe du prefixe tape")
        << "SELECT name, type AS Col FROM sysobjects WHERE type IN ('U','V') AND name LIKE 'l'a%' ORDER BY name"
        << int(CodesErreurs::ErreursDansCommande) << "";
}

void TestConnexion::erreursDeCommande()
{
    QFETCH(QString, requete);
    QFETCH(int, numero);
    QFETCH(QString, description);
    Connexion cn;
    Ouvre(cn);
    Recordset rs;
    QString sDescription;
    QCOMPARE(NumeroLeve([&] { rs.Open(requete, &cn, 0, 1, -1); }, &sDescription), numero);
    QVERIFY2(sDescription.contains(description), qPrintable(sDescription));
    QVERIFY(!sDescription.isEmpty() && !sDescription.startsWith(QLatin1Char('[')));
    QCOMPARE(rs.State(), 0);
    QCOMPARE(cn.State(), 1);
    rs.Open(QStringLiteral("SELECT COUNT(*) FROM produits"), &cn, 0, 1, -1);
    QCOMPARE(rs.Fields(0), QStringLiteral("40"));
}

void TestConnexion::recordsetSurConnexionFermee()
{
    Connexion cn;
    Recordset rs;
    QCOMPARE(NumeroLeve([&] { rs.Open(QStringLiteral("SELECT 1"), &cn, 0, 1); }), int(CodesErreurs::ConnexionInutilisable));
    QCOMPARE(NumeroLeve([&] { rs.Open(QStringLiteral("SELECT 1"), nullptr, 0, 1); }), int(CodesErreurs::ConnexionInutilisable));
    QCOMPARE(rs.State(), 0);
}

void TestConnexion::requeryRelitLeResultat()
{
    Connexion cn;
    Ouvre(cn);
    Recordset ecriture;
    ecriture.Open(QStringLiteral("CREATE TABLE essai_requery (x int)"), &cn, 0, 1);
    ecriture.Open(QStringLiteral("INSERT INTO essai_requery VALUES (1)"), &cn, 0, 1);
    Recordset rs;
    rs.Open(QStringLiteral("SELECT x FROM essai_requery ORDER BY x"), &cn, 0, 1);
    QCOMPARE(rs.RecordCount(), 1L);
    rs.MoveNext();
    QVERIFY(rs.Eof());
    ecriture.Open(QStringLiteral("INSERT INTO essai_requery VALUES (2)"), &cn, 0, 1);
    QCOMPARE(rs.RecordCount(), 1L); // a snapshot until asked again
    rs.Requery();
    QCOMPARE(rs.State(), 1);
    QCOMPARE(rs.AbsolutePosition(), 1L);
    QCOMPARE(rs.RecordCount(), 2L);
    rs.MoveLast();
    QCOMPARE(rs.Fields(0), QStringLiteral("2"));
}

void TestConnexion::resyncNonSupporte()
{
    Connexion cn;
    Ouvre(cn);
    Recordset rs;
    rs.Open(QStringLiteral("SELECT id FROM clients ORDER BY id"), &cn, 0, 1);
    QString sDescription;
    QCOMPARE(NumeroLeve([&] { rs.Resync(1); }, &sDescription), int(CodesErreurs::OperationNonSupportee));
    QCOMPARE(sDescription, QStringLiteral("Object or provider is not capable of performing requested operation."));
    QCOMPARE(NumeroLeve([&] { rs.Resync(99); }), int(CodesErreurs::ArgumentsInvalides));
    // The recordset is untouched.
    QCOMPARE(rs.State(), 1);
    QCOMPARE(rs.Fields(0), QStringLiteral("1"));
}

void TestConnexion::deuxRecordsetsSurUneConnexion()
{
    Connexion cn;
    Ouvre(cn);
    Recordset clients;
    clients.Open(QStringLiteral("SELECT id FROM clients ORDER BY id"), &cn, 0, 1);
    clients.MoveNext();
    Recordset produits;
    produits.Open(QStringLiteral("SELECT id FROM produits ORDER BY id"), &cn, 0, 1);
    QCOMPARE(produits.RecordCount(), 40L);
    QCOMPARE(clients.Fields(0), QStringLiteral("2"));
    QCOMPARE(clients.RecordCount(), 60L);
    clients.MoveLast();
    QCOMPARE(clients.Fields(0), QStringLiteral("60"));
}

void TestConnexion::fermerLaConnexionFermeSesRecordsets()
{
    Recordset rs;
    {
        Connexion cn;
        Ouvre(cn);
        rs.Open(QStringLiteral("SELECT id FROM clients"), &cn, 0, 1);
        cn.Close();
        QCOMPARE(rs.State(), 0);
        QCOMPARE(NumeroLeve([&] { rs.Open(QStringLiteral("SELECT id FROM clients"), &cn, 0, 1); }),
                 int(CodesErreurs::ConnexionInutilisable));
        Ouvre(cn);
        rs.Open(QStringLiteral("SELECT id FROM clients"), &cn, 0, 1);
        QCOMPARE(rs.State(), 1);
    }
    // The connection went away with the recordset still open on it.
    QCOMPARE(rs.State(), 0);
    QCOMPARE(NumeroLeve([&] { rs.MoveNext(); }), int(CodesErreurs::ObjetFerme));
}

void TestConnexion::texteNonAscii_data()
{
    QTest::addColumn<QString>("requete");
    QTest::addColumn<QString>("attendu");
    QTest::newRow("colonne et table accentuees") << "SELECT séjour FROM [Clients_Été] WHERE id = 2" << "Forêt-Noire";
    QTest::newRow("litteral unicode") << "SELECT N'Ωμέγα € 漢字'" << "Ωμέγα € 漢字";
    // Longer than one read buffer (2048), within an nvarchar(4000) literal.
    const QString sLong = QString(QStringLiteral("é€漢")).repeated(1300);
    QTest::newRow("valeur longue lue en plusieurs morceaux") << "SELECT N'" + sLong + "'" << sLong;
    QTest::newRow("nom accentue au catalogue")
        << "SELECT name FROM sysobjects WHERE name LIKE 'Clients_É%'" << "Clients_Été";
}

void TestConnexion::texteNonAscii()
{
    QFETCH(QString, requete);
    QFETCH(QString, attendu);
    Connexion cn;
    Ouvre(cn);
    Recordset rs;
    rs.Open(requete, &cn, 0, 1);
    QCOMPARE(rs.Fields(0), attendu);
}

void TestConnexion::motDePasseAvecPointVirguleEtGuillemet_data()
{
    QTest::addColumn<QString>("motDePasse");
    QTest::newRow("point-virgule et guillemet") << "a;b\"c";
    QTest::newRow("accolades et egal") << "x}=y{";
    QTest::newRow("accolade finale") << "ab}";
    QTest::newRow("blancs aux bords") << " pw ";
    QTest::newRow("non ascii") << "Mötdé€passe";
}

void TestConnexion::motDePasseAvecPointVirguleEtGuillemet()
{
    QFETCH(QString, motDePasse);
    StandIn::Options options;
    options.password = motDePasse;
    options.seedDemo = false;
    StandIn standIn(options);
    QVERIFY2(standIn.isRunning(), qPrintable(standIn.output()));
    Connexion cn;
    QString sDescription;
    QCOMPARE(NumeroLeve([&] { cn.Open(ChaineConnexion(standIn.serverName(), QStringLiteral("master"), motDePasse, kTitre)); },
                        &sDescription),
             0);
    QCOMPARE(cn.State(), 1);
    cn.Close();
    QCOMPARE(NumeroLeve([&] {
                 cn.Open(ChaineConnexion(standIn.serverName(), QStringLiteral("master"), motDePasse + "x", kTitre));
             }),
             int(CodesErreurs::EchecAuthentification));
}

QTEST_GUILESS_MAIN(TestConnexion)
#include "test_connexion.moc"
