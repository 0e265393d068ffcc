// The connection string: the builder's exact pieces and its quoting, the
// parser that reads it back, the Data Source forms and the ODBC string.
#include "chaineconnexion.h"
#include "codeserreurs.h"
#include "configfreetds.h"
#include "odbcchaine.h"
#include "odbcpilote.h"
#include "sourcedonnees.h"

#include <QTemporaryDir>
#include <QtTest>

class TestChaineConnexion : public QObject
{
    Q_OBJECT

private slots:
    void construitLesMorceaux_data();
    void construitLesMorceaux();
    void relitCeQuIlConstruit_data();
    void relitCeQuIlConstruit();
    void analyseLesFormesAdmises_data();
    void analyseLesFormesAdmises();
    void refuseLesChainesMalFormees_data();
    void refuseLesChainesMalFormees();
    void analyseLaSourceDeDonnees_data();
    void analyseLaSourceDeDonnees();
    void refuseUnPortInvalide_data();
    void refuseUnPortInvalide();
    void reconnaitLesNomsLocaux_data();
    void reconnaitLesNomsLocaux();
    void litLesSectionsFreeTds();
    void suitLaVariableFreeTdsConf();
    void construitLaChaineOdbc_data();
    void construitLaChaineOdbc();
    void protegeLesValeursOdbc_data();
    void protegeLesValeursOdbc();
};

void TestChaineConnexion::construitLesMorceaux_data()
{
    QTest::addColumn<QString>("serveur");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("motDePasse");
    QTest::addColumn<QString>("attendu");

    QTest::newRow("exemple avec mot de passe vide")
        << "SRV1" << "master" << ""
        << "Provider=MSDataShape; Data Provider=SQLOLEDB; Data Source=SRV1; Initial Catalog =master; UID=sa; PWD=;Application Name=Brenlor";
    QTest::newRow("valeurs ordinaires inchangees")
        << "host\\INST" << "Ventes" << "Mirabel4"
        << "Provider=MSDataShape; Data Provider=SQLOLEDB; Data Source=host\\INST; Initial Catalog =Ventes; UID=sa; PWD=Mirabel4;Application Name=Brenlor";
    QTest::newRow("port apres virgule inchange")
        << "127.0.0.1,14330" << "" << "x=y"
        << "Provider=MSDataShape; Data Provider=SQLOLEDB; Data Source=127.0.0.1,14330; Initial Catalog =; UID=sa; PWD=x=y;Application Name=Brenlor";
    QTest::newRow("point-virgule et guillemet entre guillemets")
        << "SRV1" << "master" << "a;b\"c"
        << "Provider=MSDataShape; Data Provider=SQLOLEDB; Data Source=SRV1; Initial Catalog =master; UID=sa; PWD=\"a;b\"\"c\";Application Name=Brenlor";
    QTest::newRow("serveur detourne neutralise")
        << "SRV1; Data Source=pirate" << "master" << ""
        << "Provider=MSDataShape; Data Provider=SQLOLEDB; Data Source=\"SRV1; Data Source=pirate\"; Initial Catalog =master; UID=sa; PWD=;Application Name=Brenlor";
    QTest::newRow("blancs aux bords entre guillemets")
        << "SRV1" << " Ventes" << "mdp "
        << "Provider=MSDataShape; Data Provider=SQLOLEDB; Data Source=SRV1; Initial Catalog =\" Ventes\"; UID=sa; PWD=\"mdp \";Application Name=Brenlor";
    QTest::newRow("apostrophe entre guillemets")
        << "SRV1" << "l'base" << ""
        << "Provider=MSDataShape; Data Provider=SQLOLEDB; Data Source=SRV1; Initial Catalog =\"l'base\"; UID=sa; PWD=;Application Name=Brenlor";
    QTest::newRow("non ascii inchange")
        << "SÉRVEUR" << "Clients_Été" << "mötdepässe"
        << "Provider=MSDataShape; Data Provider=SQLOLEDB; Data Source=SÉRVEUR; Initial Catalog =Clients_Été; UID=sa; PWD=mötdepässe;Application Name=Brenlor";
}

void TestChaineConnexion::construitLesMorceaux()
{
    QFETCH(QString, serveur);
    QFETCH(QString, base);
    QFETCH(QString, motDePasse);
    QFETCH(QString, attendu);
    QCOMPARE(ChaineConnexion(serveur, base, motDePasse, QStringLiteral("Brenlor")), attendu);
}

void TestChaineConnexion::relitCeQuIlConstruit_data()
{
    QTest::addColumn<QString>("serveur");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("motDePasse");

    QTest::newRow("ordinaire") << "SRV1" << "master" << "Mirabel4";
    QTest::newRow("vide") << "SRV1" << "" << "";
    QTest::newRow("point-virgule et guillemet") << "SRV1" << "master" << "a;b\"c";
    QTest::newRow("guillemets seuls") << "SRV1" << "master" << "\"\"";
    QTest::newRow("apostrophes") << "SRV1" << "it's" << "'x'";
    QTest::newRow("blancs aux bords") << " SRV1 " << "  b" << " p ";
    QTest::newRow("egal et accolades") << "SRV1" << "b" << "a=b}{";
    QTest::newRow("tentative de detournement") << "SRV1" << "master" << "x;Data Source=pirate;UID=autre";
    QTest::newRow("non ascii") << "SÉRVEUR\\ÎNST" << "Clients_Été" << "пароль密码";
}

void TestChaineConnexion::relitCeQuIlConstruit()
{
    QFETCH(QString, serveur);
    QFETCH(QString, base);
    QFETCH(QString, motDePasse);
    const ParametresConnexion p =
        AnalyseChaineConnexion(ChaineConnexion(serveur, base, motDePasse, QStringLiteral("Brenlor")));
    QCOMPARE(p.sSource, serveur);
    QCOMPARE(p.sBase, base);
    QCOMPARE(p.sMotDePasse, motDePasse);
    QCOMPARE(p.sUtilisateur, QStringLiteral("sa"));
    QCOMPARE(p.sApplication, QStringLiteral("Brenlor"));
    QCOMPARE(p.sFournisseur, QStringLiteral("MSDataShape"));
    QCOMPARE(p.sFournisseurDonnees, QStringLiteral("SQLOLEDB"));
}

void TestChaineConnexion::analyseLesFormesAdmises_data()
{
    QTest::addColumn<QString>("chaine");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("utilisateur");
    QTest::addColumn<QString>("motDePasse");

    QTest::newRow("fournisseur sql direct")
        << "Provider=SQLOLEDB.1;Data Source=h;Initial Catalog=b;User ID=u;Password=p" << "h" << "b" << "u" << "p";
    QTest::newRow("cles sans egard a la casse ni aux blancs")
        << "provider = msdatashape ;  DATA   PROVIDER=sqloledb;data source= h ;INITIAL CATALOG  =b;uid=u;pwd=p"
        << "h" << "b" << "u" << "p";
    QTest::newRow("sans fournisseur")
        << "Data Source=h;Database=b;UID=u;PWD=p" << "h" << "b" << "u" << "p";
    QTest::newRow("cle inconnue ignoree")
        << "Data Source=h;Persist Security Info=False;UID=u;PWD=p;" << "h" << "" << "u" << "p";
    QTest::newRow("valeur entre apostrophes")
        << "Data Source='h;2';UID=u;PWD='it''s'" << "h;2" << "" << "u" << "it's";
    QTest::newRow("derniere valeur l'emporte")
        << "Data Source=a;Data Source=b;UID=u" << "b" << "" << "u" << "";
}

void TestChaineConnexion::analyseLesFormesAdmises()
{
    QFETCH(QString, chaine);
    QFETCH(QString, source);
    QFETCH(QString, base);
    QFETCH(QString, utilisateur);
    QFETCH(QString, motDePasse);
    const ParametresConnexion p = AnalyseChaineConnexion(chaine);
    QCOMPARE(p.sSource, source);
    QCOMPARE(p.sBase, base);
    QCOMPARE(p.sUtilisateur, utilisateur);
    QCOMPARE(p.sMotDePasse, motDePasse);
}

void TestChaineConnexion::refuseLesChainesMalFormees_data()
{
    QTest::addColumn<QString>("chaine");
    QTest::addColumn<int>("numero");

    QTest::newRow("guillemet non ferme") << "Data Source=\"h;UID=sa" << int(CodesErreurs::ChaineMalFormee);
    QTest::newRow("texte apres guillemet fermant") << "PWD=\"a\"b;UID=sa" << int(CodesErreurs::ChaineMalFormee);
    QTest::newRow("morceau sans egal") << "Data Source=h;nimportequoi;UID=sa" << int(CodesErreurs::ChaineMalFormee);
    QTest::newRow("cle vide") << "=h;UID=sa" << int(CodesErreurs::ChaineMalFormee);
    QTest::newRow("fournisseur inconnu") << "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=h" << int(CodesErreurs::FournisseurIntrouvable);
    QTest::newRow("fournisseur de donnees inconnu")
        << "Provider=MSDataShape;Data Provider=MSDASQL;Data Source=h" << int(CodesErreurs::FournisseurIntrouvable);
}

void TestChaineConnexion::refuseLesChainesMalFormees()
{
    QFETCH(QString, chaine);
    QFETCH(int, numero);
    try {
        AnalyseChaineConnexion(chaine);
        QFAIL("no error raised");
    } catch (const ErreurAdo &e) {
        QCOMPARE(e.Number(), numero);
        QVERIFY(!e.Description().isEmpty());
    }
}

void TestChaineConnexion::analyseLaSourceDeDonnees_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("hote");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("instance");
    QTest::addColumn<QString>("section");

    QTest::newRow("hote seul sur le port par defaut") << "srv.exemple" << "srv.exemple" << 1433 << "" << "";
    QTest::newRow("hote et port") << "10.1.2.3,14330" << "10.1.2.3" << 14330 << "" << "";
    QTest::newRow("hote et port avec blancs") << " srv , 2000 " << "srv" << 2000 << "" << "";
    QTest::newRow("instance a resoudre") << "srv\\SQLEXPRESS" << "srv" << 0 << "SQLEXPRESS" << "";
    QTest::newRow("instance par defaut nommee") << "srv\\MSSQLSERVER" << "srv" << 1433 << "" << "";
    QTest::newRow("instance avec port explicite") << "srv\\INST,5000" << "srv" << 5000 << "" << "";
    QTest::newRow("(local)") << "(local)" << "127.0.0.1" << 1433 << "" << "";
    QTest::newRow("point") << "." << "127.0.0.1" << 1433 << "" << "";
    QTest::newRow("nom de la machine") << "MAMACHINE" << "127.0.0.1" << 1433 << "" << "";
    QTest::newRow("nom de la machine en minuscules") << "mamachine" << "127.0.0.1" << 1433 << "" << "";
    QTest::newRow("local avec instance") << "(local)\\INST" << "127.0.0.1" << 0 << "INST" << "";
    QTest::newRow("point avec port") << ".,1500" << "127.0.0.1" << 1500 << "" << "";
    QTest::newRow("vide veut dire cette machine") << "" << "127.0.0.1" << 1433 << "" << "";
    QTest::newRow("prefixe tcp") << "tcp:srv,1600" << "srv" << 1600 << "" << "";
    QTest::newRow("section freetds") << "monserveur" << "" << 0 << "" << "MonServeur";
    QTest::newRow("section ignoree avec port") << "monserveur,1700" << "monserveur" << 1700 << "" << "";
    QTest::newRow("nom local avant section") << "." << "127.0.0.1" << 1433 << "" << "";
}

void TestChaineConnexion::analyseLaSourceDeDonnees()
{
    QFETCH(QString, source);
    QFETCH(QString, hote);
    QFETCH(int, port);
    QFETCH(QString, instance);
    QFETCH(QString, section);
    const QStringList sections{QStringLiteral("egServer73"), QStringLiteral("MonServeur")};
    const CibleServeur cible = AnalyseSourceDonnees(source, QStringLiteral("mamachine.domaine.lan"), sections);
    QCOMPARE(cible.sHote, hote);
    QCOMPARE(cible.lPort, port);
    QCOMPARE(cible.sInstance, instance);
    QCOMPARE(cible.sSection, section);
}

void TestChaineConnexion::refuseUnPortInvalide_data()
{
    QTest::addColumn<QString>("source");
    QTest::newRow("port non numerique") << "srv,abc";
    QTest::newRow("port nul") << "srv,0";
    QTest::newRow("port trop grand") << "srv,70000";
    QTest::newRow("port vide") << "srv,";
}

void TestChaineConnexion::refuseUnPortInvalide()
{
    QFETCH(QString, source);
    try {
        AnalyseSourceDonnees(source, QStringLiteral("mamachine"), {});
        QFAIL("no error raised");
    } catch (const ErreurAdo &e) {
        QCOMPARE(e.Number(), int(CodesErreurs::EchecNonSpecifie));
        QVERIFY(e.Description().contains(QLatin1String("does not exist")));
    }
}

void TestChaineConnexion::reconnaitLesNomsLocaux_data()
{
    QTest::addColumn<QString>("nom");
    QTest::addColumn<bool>("local");
    QTest::newRow("(local)") << "(local)" << true;
    QTest::newRow("(LOCAL) en capitales") << "(LOCAL)" << true;
    QTest::newRow("point") << "." << true;
    QTest::newRow("localhost") << "LocalHost" << true;
    QTest::newRow("nom complet") << "MAMACHINE.domaine.lan" << true;
    QTest::newRow("nom court") << "MaMachine" << true;
    QTest::newRow("autre machine") << "autre" << false;
    QTest::newRow("prefixe du nom") << "mamach" << false;
    QTest::newRow("deux points") << ".." << false;
}

void TestChaineConnexion::reconnaitLesNomsLocaux()
{
    QFETCH(QString, nom);
    QFETCH(bool, local);
    QCOMPARE(EstNomLocal(nom, QStringLiteral("mamachine.domaine.lan")), local);
}

void TestChaineConnexion::litLesSectionsFreeTds()
{
    const QString sTexte = QStringLiteral(
        "; commentaire\n[global]\n\ttds version = auto\n"
        "[egServer73]\n\thost = ntmachine.domain.com\n  [ Autre ]  \n\tport = 1500\n# [Commentee]\n[]\n");
    QCOMPARE(SectionsConfigFreeTds(sTexte), (QStringList{QStringLiteral("egServer73"), QStringLiteral("Autre")}));
}

void TestChaineConnexion::suitLaVariableFreeTdsConf()
{
    QTemporaryDir dossier;
    QVERIFY(dossier.isValid());
    const QString sChemin = dossier.filePath(QStringLiteral("freetds.conf"));
    QFile fichier(sChemin);
    QVERIFY(fichier.open(QIODevice::WriteOnly));
    fichier.write("[global]\n[SectionDeTest]\n\thost = 127.0.0.1\n\tport = 1\n");
    fichier.close();
    const QByteArray ancienne = qgetenv("FREETDSCONF");
    qputenv("FREETDSCONF", sChemin.toLocal8Bit());
    QCOMPARE(FichiersConfigFreeTds().value(0), sChemin);
    QVERIFY(SectionsFreeTds().contains(QStringLiteral("SectionDeTest")));
    const CibleServeur cible = AnalyseSourceDonnees(QStringLiteral("sectiondetest"), QString(), SectionsFreeTds());
    QCOMPARE(cible.sSection, QStringLiteral("SectionDeTest"));
    if (ancienne.isNull())
        qunsetenv("FREETDSCONF");
    else
        qputenv("FREETDSCONF", ancienne);
}

void TestChaineConnexion::construitLaChaineOdbc_data()
{
    QTest::addColumn<QString>("pilote");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("motDePasse");
    QTest::addColumn<QString>("attendu");

    const QString sFreeTds = QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so");
    QTest::newRow("freetds hote et port")
        << sFreeTds << "127.0.0.1,1500" << "Mirabel4"
        << "DRIVER=" + sFreeTds + ";Server=127.0.0.1;Port=1500;TDS_Version=7.4;ClientCharset=UTF-8;PacketSize=32767;"
           "Database=master;UID=sa;PWD=Mirabel4;APP=Brenlor;";
    QTest::newRow("freetds section")
        << "{FreeTDS}" << "MonServeur" << ""
        << "DRIVER={FreeTDS};Servername=MonServeur;TDS_Version=7.4;ClientCharset=UTF-8;PacketSize=32767;"
           "Database=master;UID=sa;PWD=;APP=Brenlor;";
    QTest::newRow("freetds mot de passe protege sans doubler")
        << sFreeTds << "(local)" << "a;b\"c}"
        << "DRIVER=" + sFreeTds + ";Server=127.0.0.1;Port=1433;TDS_Version=7.4;ClientCharset=UTF-8;PacketSize=32767;"
           "Database=master;UID=sa;PWD={a;b\"c}};APP=Brenlor;";
    QTest::newRow("pilote microsoft")
        << "{ODBC Driver 18 for SQL Server}" << "srv,1500" << "p"
        << "DRIVER={ODBC Driver 18 for SQL Server};Server=tcp:srv,1500;Database=master;UID=sa;PWD=p;APP=Brenlor;";
    QTest::newRow("pilote microsoft accolade doublee")
        << "{ODBC Driver 18 for SQL Server}" << "srv,1500" << "a}b;"
        << "DRIVER={ODBC Driver 18 for SQL Server};Server=tcp:srv,1500;Database=master;UID=sa;PWD={a}}b;};APP=Brenlor;";
}

void TestChaineConnexion::construitLaChaineOdbc()
{
    QFETCH(QString, pilote);
    QFETCH(QString, source);
    QFETCH(QString, motDePasse);
    QFETCH(QString, attendu);
    const ParametresConnexion p =
        AnalyseChaineConnexion(ChaineConnexion(source, QStringLiteral("master"), motDePasse, QStringLiteral("Brenlor")));
    const CibleServeur cible = AnalyseSourceDonnees(p.sSource, QString(), {QStringLiteral("MonServeur")});
    QCOMPARE(ChaineOdbc(pilote, cible, p), attendu);
}

void TestChaineConnexion::protegeLesValeursOdbc_data()
{
    QTest::addColumn<QString>("valeur");
    QTest::addColumn<bool>("freeTds");
    QTest::addColumn<QString>("attendu"); // "!" when the value cannot be passed
    QTest::newRow("ordinaire") << "abc" << true << "abc";
    QTest::newRow("vide") << "" << true << "";
    QTest::newRow("point-virgule") << "a;b" << true << "{a;b}";
    QTest::newRow("accolade fermante doublee selon odbc") << "a}b" << false << "{a}}b}";
    QTest::newRow("accolade fermante telle quelle pour freetds") << "a}b" << true << "{a}b}";
    QTest::newRow("accolade finale pour freetds") << "ab}" << true << "{ab}}";
    QTest::newRow("accolade puis point-virgule impossible pour freetds") << "a};b" << true << "!";
    QTest::newRow("accolade puis point-virgule selon odbc") << "a};b" << false << "{a}};b}";
    QTest::newRow("accolade ouvrante") << "{x" << true << "{{x}";
    QTest::newRow("egal") << "a=b" << true << "{a=b}";
    QTest::newRow("blanc au bord") << " a" << true << "{ a}";
    QTest::newRow("guillemet seul inchange") << "a\"b" << true << "a\"b";
}

void TestChaineConnexion::protegeLesValeursOdbc()
{
    QFETCH(QString, valeur);
    QFETCH(bool, freeTds);
    QFETCH(QString, attendu);
    if (attendu == QLatin1String("!")) {
        try {
            ValeurOdbc(valeur, freeTds);
            QFAIL("no error raised");
        } catch (const ErreurAdo &e) {
            QCOMPARE(e.Number(), int(CodesErreurs::ChaineMalFormee));
        }
        return;
    }
    QCOMPARE(ValeurOdbc(valeur, freeTds), attendu);
}

QTEST_APPLESS_MAIN(TestChaineConnexion)
#include "test_chaineconnexion.moc"
