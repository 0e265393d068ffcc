// The per-user settings store: INI file under the user's configuration
// folder, private to its owner, defaults for anything absent or unreadable.
#include "configprivee.h"
#include "parametres.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <unistd.h>

namespace {
const QString kApp = QStringLiteral("BrenlorTest");

QString Fichier(const QString &app = kApp)
{
    return FichierParametres(app);
}

void Ecrit(const QByteArray &contenu, const QString &app = kApp)
{
    QDir().mkpath(QFileInfo(Fichier(app)).absolutePath());
    QFile f(Fichier(app));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(contenu);
}
} // namespace

class TestParametres : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void absentDonneLeDefaut();
    void ecritPuisRelit_data();
    void ecritPuisRelit();
    void fichierAuBonEndroitEtPrive();
    void fichierExistantRenduPrive();
    void fichierEcritAlaMain();
    void fichierIllisible_data();
    void fichierIllisible();
    void fichierSansDroitDeLecture();
    void applicationsSeparees();
    void securiseAuDemarrage_data();
    void securiseAuDemarrage();
};

void TestParametres::init()
{
    QVERIFY(kConfigPrivee);
    QFile::remove(Fichier());
}

void TestParametres::absentDonneLeDefaut()
{
    QCOMPARE(GetSetting(kApp, "General", "ServeurSQL", "*"), QStringLiteral("*"));
    QCOMPARE(GetSetting(kApp, "General", "PWD", "defaut"), QStringLiteral("defaut"));
    QVERIFY2(!QFileInfo::exists(Fichier()), "reading creates no file");
}

void TestParametres::ecritPuisRelit_data()
{
    QTest::addColumn<QString>("valeur");
    QTest::newRow("nom de serveur") << "SRV1\\INST";
    QTest::newRow("mot de passe avec point-virgule") << "a;b=c";
    QTest::newRow("virgule") << "a,b";
    QTest::newRow("espaces autour") << "  mot  ";
    QTest::newRow("arobase en tete") << "@secret";
    QTest::newRow("guillemets") << "say \"hi\"";
    QTest::newRow("accents") << "Bénédicte";
    QTest::newRow("vide") << "";
    QTest::newRow("etoile stockee") << "*";
}

void TestParametres::ecritPuisRelit()
{
    QFETCH(QString, valeur);
    SaveSetting(kApp, "General", "PWD", valeur);
    QCOMPARE(GetSetting(kApp, "General", "PWD", "defaut"), valeur);
    SaveSetting(kApp, "General", "Base", "Ventes");
    QCOMPARE(GetSetting(kApp, "General", "PWD", "defaut"), valeur);
    QCOMPARE(GetSetting(kApp, "General", "Base", "*"), QStringLiteral("Ventes"));
}

void TestParametres::fichierAuBonEndroitEtPrive()
{
    SaveSetting(kApp, "General", "PWD", "Mirabel4");
    const QFileInfo info(Fichier());
    QVERIFY2(info.exists(), qPrintable(Fichier()));
    QCOMPARE(info.permissions() & ~(QFile::ReadUser | QFile::WriteUser),
             QFile::ReadOwner | QFile::WriteOwner);
    QFile f(Fichier());
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray contenu = f.readAll();
    QVERIFY2(contenu.contains("[General]"), contenu.constData());
    QVERIFY2(contenu.contains("PWD=Mirabel4"), contenu.constData());
}

void TestParametres::fichierExistantRenduPrive()
{
    Ecrit("[General]\nBase=model\n");
    QFile::setPermissions(Fichier(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                                         | QFile::ReadOther);
    SaveSetting(kApp, "General", "PWD", "x");
    QCOMPARE(QFileInfo(Fichier()).permissions() & ~(QFile::ReadUser | QFile::WriteUser),
             QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(GetSetting(kApp, "General", "Base", "*"), QStringLiteral("model"));
}

void TestParametres::fichierEcritAlaMain()
{
    // The layout the demo script writes.
    Ecrit("[General]\nServeurSQL=DEMO\nPWD=Mirabel4\nBase=Ventes\n");
    QCOMPARE(GetSetting(kApp, "General", "ServeurSQL", "*"), QStringLiteral("DEMO"));
    QCOMPARE(GetSetting(kApp, "General", "PWD", "*"), QStringLiteral("Mirabel4"));
    QCOMPARE(GetSetting(kApp, "General", "Base", "*"), QStringLiteral("Ventes"));
    QCOMPARE(GetSetting(kApp, "Autre", "Base", "*"), QStringLiteral("*"));
}

void TestParametres::fichierIllisible_data()
{
    QTest::addColumn<QByteArray>("contenu");
    QTest::newRow("binaire") << QByteArray("\x00\xff\xfe[\x01\x02=\x03\n\x00\x00", 12);
    QTest::newRow("section non fermee") << QByteArray("[General\nPWD\n=\n");
    QTest::newRow("lignes sans egal") << QByteArray("n'importe quoi\n\n]]]\n");
    QTest::newRow("valeur invalide") << QByteArray("[General]\nPWD=@Invalid()\n");
}

void TestParametres::fichierIllisible()
{
    QFETCH(QByteArray, contenu);
    Ecrit(contenu);
    QCOMPARE(GetSetting(kApp, "General", "PWD", "*"), QStringLiteral("*"));
    SaveSetting(kApp, "General", "Base", "Ventes");
    QCOMPARE(GetSetting(kApp, "General", "PWD", "*"), QStringLiteral("*"));
}

void TestParametres::fichierSansDroitDeLecture()
{
    if (::geteuid() == 0)
        QSKIP("the superuser reads every file");
    Ecrit("[General]\nPWD=secret\n");
    QFile::setPermissions(Fichier(), QFileDevice::Permissions());
    QCOMPARE(GetSetting(kApp, "General", "PWD", "*"), QStringLiteral("*"));
    QFile::setPermissions(Fichier(), QFile::ReadOwner | QFile::WriteOwner);
}

void TestParametres::applicationsSeparees()
{
    SaveSetting(kApp, "General", "Base", "a");
    SaveSetting(QStringLiteral("AutreApp"), "General", "Base", "b");
    QCOMPARE(GetSetting(kApp, "General", "Base", "*"), QStringLiteral("a"));
    QCOMPARE(GetSetting(QStringLiteral("AutreApp"), "General", "Base", "*"), QStringLiteral("b"));
    QVERIFY(QFileInfo::exists(Fichier(QStringLiteral("AutreApp"))));
}

void TestParametres::securiseAuDemarrage_data()
{
    // What the start-up check says of the file, and the rights it leaves.
    QTest::addColumn<QByteArray>("contenu");
    QTest::addColumn<bool>("bDossier");
    QTest::addColumn<QString>("message");
    QTest::newRow("valide, lisible par tous") << QByteArray("[General]\nPWD=x\n") << false << QString();
    QTest::newRow("binaire") << QByteArray("\x00\xff\xfe[\x01\x02=\x03\n", 10) << false
                             << QStringLiteral("n'est pas un fichier de réglages");
    QTest::newRow("pas de l'UTF-8") << QByteArray("[General]\nPWD=\xe9t\xe9\n") << false
                                    << QStringLiteral("n'est pas un fichier de réglages");
    QTest::newRow("un dossier a sa place") << QByteArray() << true << QStringLiteral("c'est un dossier");
}

void TestParametres::securiseAuDemarrage()
{
    QFETCH(QByteArray, contenu);
    QFETCH(bool, bDossier);
    QFETCH(QString, message);
    QCOMPARE(CheminParametres(kApp), Fichier());
    const QString verrou = Fichier() + QStringLiteral(".lock");
    QFile(verrou).open(QIODevice::WriteOnly);
    const auto tous = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    QFile::setPermissions(verrou, tous);
    if (bDossier) {
        QVERIFY(QDir().mkpath(Fichier()));
    } else {
        Ecrit(contenu);
        QFile::setPermissions(Fichier(), tous);
    }
    const QString dit = SecuriseParametres(kApp);
    if (bDossier)
        QDir(Fichier()).removeRecursively();
    QCOMPARE(dit.isEmpty(), message.isEmpty());
    QVERIFY2(dit.contains(message), qPrintable(dit));
    const auto proprietaire = ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    QCOMPARE(QFileInfo(verrou).permissions() & proprietaire, QFile::ReadOwner | QFile::WriteOwner);
    if (!bDossier)
        QCOMPARE(QFileInfo(Fichier()).permissions() & proprietaire, QFile::ReadOwner | QFile::WriteOwner);
    QFile::remove(verrou);
}

QTEST_APPLESS_MAIN(TestParametres)
#include "test_parametres.moc"
