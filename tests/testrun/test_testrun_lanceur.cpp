// The test run's sequence against the stand-in, through the real ODBC driver,
// with a recording host in place of the main window.
#include "codeserreurs.h"
#include "connexion.h"
#include "chaineconnexion.h"
#include "erreurado.h"
#include "formatjournal.h"
#include "hotetest.h"
#include "lanceurtest.h"
#include "standin.h"

#include <QRegularExpression>
#include <QtTest>
#include <functional>
#include <optional>

namespace {
const QString kTitre = QStringLiteral("Brenlor");

struct HoteEnregistreur : HoteTest {
    QString sServeur, sBase = QStringLiteral("Ventes"), sPWD;
    QStringList requetes;          // successive answers of Requete(); the last one repeats
    mutable int lLecturesRequete = 0;
    double dLargeur = 945;         // "Erreur : " in twips: N = 105
    int lAbandonApres = -1;        // entries after which the window is closing
    QStringList entrees;
    QList<bool> boutons;           // every ActiveBouton call
    QList<bool> boutonPendantEntree;
    bool bBoutonActif = true;
    int lVidages = 0, lGrilles = 0, lAppelsApresAbandon = 0;
    std::function<void()> surEntree;

    QString Serveur() const override { return sServeur; }
    QString Base() const override { return sBase; }
    QString PWD() const override { return sPWD; }
    QString Requete() const override
    {
        const int i = qMin(lLecturesRequete++, int(requetes.size()) - 1);
        return i < 0 ? QString() : requetes.at(i);
    }
    QString TitreApplication() const override { return kTitre; }
    void ActiveBouton(bool b) override { Note(); boutons << b; bBoutonActif = b; }
    void VideJournal() override { Note(); ++lVidages; entrees.clear(); }
    void EleveGrille() override { Note(); ++lGrilles; }
    void AjouteResultat(const QString &s) override
    {
        Note();
        entrees << s;
        boutonPendantEntree << bBoutonActif;
        if (surEntree)
            surEntree();
    }
    double LargeurTwips(const QString &s) const override
    {
        return s == QStringLiteral("Erreur : ") ? dLargeur : -1;
    }
    bool Abandonne() const override { return lAbandonApres >= 0 && entrees.size() >= lAbandonApres; }
    void Note() { if (Abandonne()) ++lAppelsApresAbandon; }
};

// What the data layer itself raises for one operation, to compare the log with.
std::optional<ErreurAdo> ErreurDe(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const ErreurAdo &e) {
        return e;
    }
    return std::nullopt;
}

QString Temps() { return QStringLiteral("^\\tTemps opération :-?[0-9]+(,[0-9]+)?(E-[0-9]+)? seconde\\(s\\)$"); }
}

class TestLanceurTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void succes();
    void sondesCommeLaCoucheDonnees();
    void motDePasseFaux();
    void requeteVide();
    void instructionSansLignes();
    void requeteSurPlusieursLignes();
    void requeteLueDeuxFois();
    void serveurBloque();
    void deuxLancements();
    void blancsSuiventLaLargeur_data();
    void blancsSuiventLaLargeur();
    void abandonFenetreFermee();

private:
    HoteEnregistreur Hote(const QString &sRequete) const;
    void Lance(HoteEnregistreur &hote);
    // Checks the entries one by one: a pattern between ^ and $ is a regular
    // expression, anything else must match exactly.
    void CompareEntrees(const QStringList &entrees, const QStringList &attendues);
    QStringList EntreeErreur(const ErreurAdo &e, int lBlancs) const;
    long Compte(const QString &sRequete);

    std::unique_ptr<StandIn> m_standIn;
    QString m_sChaine;
};

void TestLanceurTest::initTestCase()
{
    m_standIn = std::make_unique<StandIn>();
    QVERIFY2(m_standIn->isRunning(), qPrintable(m_standIn->output()));
    m_sChaine = ChaineConnexion(m_standIn->serverName(), QStringLiteral("Ventes"),
                                QStringLiteral("Mirabel4"), kTitre);
}

HoteEnregistreur TestLanceurTest::Hote(const QString &sRequete) const
{
    HoteEnregistreur hote;
    hote.sServeur = m_standIn->serverName();
    hote.sPWD = QStringLiteral("Mirabel4");
    hote.requetes = QStringList{sRequete};
    return hote;
}

void TestLanceurTest::Lance(HoteEnregistreur &hote)
{
    LanceurTest lanceur(hote, QLocale(QLocale::French, QLocale::France));
    lanceur.Lance();
}

void TestLanceurTest::CompareEntrees(const QStringList &entrees, const QStringList &attendues)
{
    const QString sTout = QStringLiteral("\n--- got:\n") + entrees.join(QLatin1Char('\n'));
    for (int i = 0; i < qMin(entrees.size(), attendues.size()); ++i) {
        const QString &a = attendues.at(i);
        if (a.startsWith(QLatin1Char('^')) && a.endsWith(QLatin1Char('$')))
            QVERIFY2(QRegularExpression(a).match(entrees.at(i)).hasMatch(),
                     qPrintable(QStringLiteral("entry %1 «%2» !~ %3").arg(i).arg(entrees.at(i), a) + sTout));
        else
            QVERIFY2(entrees.at(i) == a,
                     qPrintable(QStringLiteral("entry %1 «%2» != «%3»").arg(i).arg(entrees.at(i), a) + sTout));
    }
    QVERIFY2(entrees.size() == attendues.size(),
             qPrintable(QStringLiteral("%1 entries, %2 expected").arg(entrees.size()).arg(attendues.size()) + sTout));
}

QStringList TestLanceurTest::EntreeErreur(const ErreurAdo &e, int lBlancs) const
{
    return {::EntreeErreur(e.Number(), e.Description(), lBlancs)};
}

long TestLanceurTest::Compte(const QString &sRequete)
{
    Connexion cn;
    cn.Open(m_sChaine);
    Recordset rs;
    rs.Open(sRequete, &cn, 0, 1);
    const long l = rs.Fields(0).toLong();
    rs.Close();
    cn.Close();
    return l;
}

void TestLanceurTest::succes()
{
    HoteEnregistreur hote = Hote(QStringLiteral("SELECT * FROM clients"));
    Lance(hote);
    const long lClients = Compte(QStringLiteral("SELECT COUNT(*) FROM clients"));
    QVERIFY(lClients > 1);

    // Every move is possible on the layer's snapshot; whether Resync and
    // Requery are is the layer's own decision (checked exactly below), so
    // their error entries, if any, are set aside here.
    QStringList entrees = hote.entrees;
    for (const char *sonde : {"Tentative de Resync adAffectCurrent", "Tentative de Requery"}) {
        const int i = entrees.indexOf(QLatin1String(sonde));
        QVERIFY(i >= 0);
        if (entrees.value(i + 1).startsWith(QStringLiteral("\tErreur : ")))
            entrees.removeAt(i + 1);
    }
    QStringList attendues{QStringLiteral("Tentative d'ouverture de connection..."),
                          QStringLiteral("Résultat de connection : 1"), Temps(),
                          QStringLiteral("Tentative d'ouverture de recordset..."),
                          QStringLiteral("Résultat d'ouverture de \"SELECT * FROM clients\" :1"), Temps()};
    for (const char *sonde : {"Resync adAffectCurrent", "Requery", "MoveNext", "MoveLast",
                              "MovePrevious", "MoveFirst"})
        attendues << QStringLiteral("Tentative de ") + QLatin1String(sonde) << Temps();
    attendues << QStringLiteral("Tentative de RecordCount") << QString::number(lClients) << Temps()
              << QStringLiteral("Tentative de AbsolutePosition") << QStringLiteral("1") << Temps()
              << QStringLiteral("Fermeture de connection...") << QStringLiteral("Terminé.");
    CompareEntrees(entrees, attendues);

    QCOMPARE(hote.lVidages, 1);
    QCOMPARE(hote.lGrilles, 1);
    QCOMPARE(hote.boutons, (QList<bool>{false, true}));
    QVERIFY(!hote.boutonPendantEntree.contains(true));
}

void TestLanceurTest::sondesCommeLaCoucheDonnees()
{
    // The same operations done directly: each probe's outcome in the log is
    // the layer's own (its error entry between attempt and time line, or none).
    const QString sRequete = QStringLiteral("SELECT * FROM produits");
    Connexion cn;
    cn.Open(m_sChaine);
    Recordset rs;
    rs.Open(sRequete, &cn, 0, 1);
    QCOMPARE(rs.State(), 1);
    QList<std::optional<ErreurAdo>> erreurs{ErreurDe([&] { rs.Resync(1); }), ErreurDe([&] { rs.Requery(); }),
                                            ErreurDe([&] { rs.MoveNext(); }), ErreurDe([&] { rs.MoveLast(); }),
                                            ErreurDe([&] { rs.MovePrevious(); }), ErreurDe([&] { rs.MoveFirst(); })};
    long lCompte = -99, lPosition = -99;
    erreurs << ErreurDe([&] { lCompte = rs.RecordCount(); }) << ErreurDe([&] { lPosition = rs.AbsolutePosition(); });
    rs.Close();
    cn.Close();

    HoteEnregistreur hote = Hote(sRequete);
    Lance(hote);
    QStringList attendues{QStringLiteral("Tentative d'ouverture de connection..."),
                          QStringLiteral("Résultat de connection : 1"), Temps(),
                          QStringLiteral("Tentative d'ouverture de recordset..."),
                          QStringLiteral("Résultat d'ouverture de \"") + sRequete + QStringLiteral("\" :1"), Temps()};
    const QStringList sondes{"Resync adAffectCurrent", "Requery", "MoveNext", "MoveLast",
                             "MovePrevious", "MoveFirst", "RecordCount", "AbsolutePosition"};
    for (int i = 0; i < sondes.size(); ++i) {
        attendues << QStringLiteral("Tentative de ") + sondes.at(i);
        if (erreurs.at(i))
            attendues << EntreeErreur(*erreurs.at(i), 105);
        else if (i == 6)
            attendues << QString::number(lCompte);
        else if (i == 7)
            attendues << QString::number(lPosition);
        attendues << Temps();
    }
    attendues << QStringLiteral("Fermeture de connection...") << QStringLiteral("Terminé.");
    CompareEntrees(hote.entrees, attendues);

    // The last five time lines share the stopwatch started before MoveNext.
    QList<double> temps;
    for (const QString &s : hote.entrees)
        if (s.startsWith(QStringLiteral("\tTemps")))
            temps << QLocale(QLocale::French).toDouble(s.section(QLatin1Char(':'), 1).section(QLatin1Char(' '), 0, 0));
    QCOMPARE(temps.size(), 10);
    for (int i = 6; i < 10; ++i)
        QVERIFY2(temps.at(i) >= temps.at(i - 1), qPrintable(hote.entrees.join(QLatin1Char('\n'))));
    for (double t : temps)
        QVERIFY(t >= 0 && t < 60);
}

void TestLanceurTest::motDePasseFaux()
{
    HoteEnregistreur hote = Hote(QStringLiteral("SELECT * FROM clients"));
    hote.sPWD = QStringLiteral("mauvais");
    Lance(hote);

    Connexion cn;
    const auto ouverture = ErreurDe([&] {
        cn.Open(ChaineConnexion(m_standIn->serverName(), QStringLiteral("Ventes"), QStringLiteral("mauvais"), kTitre));
    });
    QVERIFY(ouverture);
    QCOMPARE(ouverture->Number(), CodesErreurs::EchecAuthentification);
    const auto fermeture = ErreurDe([&] { cn.Close(); });

    QStringList attendues{QStringLiteral("Tentative d'ouverture de connection...")};
    attendues << EntreeErreur(*ouverture, 105) << QStringLiteral("Résultat de connection : 0") << Temps()
              << QStringLiteral("Fermeture de connection...");
    if (fermeture)
        attendues << EntreeErreur(*fermeture, 105);
    attendues << QStringLiteral("Terminé.");
    CompareEntrees(hote.entrees, attendues);
    QVERIFY(hote.entrees.at(1).startsWith(QStringLiteral("\tErreur : -2147217843 (&H80040E4D); \r\n\t")));
    QCOMPARE(hote.boutons, (QList<bool>{false, true}));
}

void TestLanceurTest::requeteVide()
{
    HoteEnregistreur hote = Hote(QString());
    Lance(hote);

    Connexion cn;
    cn.Open(m_sChaine);
    Recordset rs;
    const auto ouverture = ErreurDe([&] { rs.Open(QString(), &cn, 0, 1); });
    const int lEtat = rs.State();
    const auto fermeture = ErreurDe([&] { rs.Close(); });
    cn.Close();
    QVERIFY2(ouverture, "an empty source is refused");

    QStringList attendues{QStringLiteral("Tentative d'ouverture de connection..."),
                          QStringLiteral("Résultat de connection : 1"), Temps(),
                          QStringLiteral("Tentative d'ouverture de recordset...")};
    attendues << EntreeErreur(*ouverture, 105)
              << QStringLiteral("Résultat d'ouverture de \"\" :") + QString::number(lEtat) << Temps();
    QCOMPARE(lEtat, 0);
    if (fermeture)
        attendues << EntreeErreur(*fermeture, 105);
    attendues << QStringLiteral("Fermeture de connection...") << QStringLiteral("Terminé.");
    CompareEntrees(hote.entrees, attendues);
}

void TestLanceurTest::instructionSansLignes()
{
    const QString sRequete = QStringLiteral("SET NOCOUNT ON");
    Connexion cn;
    cn.Open(m_sChaine);
    Recordset rs;
    const auto ouverture = ErreurDe([&] { rs.Open(sRequete, &cn, 0, 1); });
    QVERIFY2(!ouverture, ouverture ? qPrintable(ouverture->Description()) : "");
    QCOMPARE(rs.State(), 0);
    const auto fermeture = ErreurDe([&] { rs.Close(); });
    cn.Close();

    HoteEnregistreur hote = Hote(sRequete);
    Lance(hote);
    QStringList attendues{QStringLiteral("Tentative d'ouverture de connection..."),
                          QStringLiteral("Résultat de connection : 1"), Temps(),
                          QStringLiteral("Tentative d'ouverture de recordset..."),
                          QStringLiteral("Résultat d'ouverture de \"SET NOCOUNT ON\" :0"), Temps()};
    // No probe; the recordset close is still attempted.
    if (fermeture)
        attendues << EntreeErreur(*fermeture, 105);
    attendues << QStringLiteral("Fermeture de connection...") << QStringLiteral("Terminé.");
    CompareEntrees(hote.entrees, attendues);
}

void TestLanceurTest::requeteSurPlusieursLignes()
{
    const QString sRequete = QStringLiteral("SELECT nom\r\nFROM clients\r\nORDER BY nom");
    HoteEnregistreur hote = Hote(sRequete);
    Lance(hote);
    QVERIFY(hote.entrees.size() > 5);
    QCOMPARE(hote.entrees.at(4), QStringLiteral("Résultat d'ouverture de \"") + sRequete + QStringLiteral("\" :1"));
    QCOMPARE(hote.entrees.last(), QStringLiteral("Terminé."));
}

void TestLanceurTest::requeteLueDeuxFois()
{
    // An edit between the two reads shows in the result line, not in the opened query.
    HoteEnregistreur hote = Hote(QStringLiteral("SELECT * FROM clients"));
    hote.requetes << QStringLiteral("SELECT * FROM produits");
    Lance(hote);
    QCOMPARE(hote.lLecturesRequete, 2);
    QCOMPARE(hote.entrees.at(4), QStringLiteral("Résultat d'ouverture de \"SELECT * FROM produits\" :1"));
    const int i = hote.entrees.indexOf(QStringLiteral("Tentative de RecordCount"));
    QVERIFY(i > 0);
    QCOMPARE(hote.entrees.at(i + 1).toLong(), Compte(QStringLiteral("SELECT COUNT(*) FROM clients")));
}

void TestLanceurTest::serveurBloque()
{
    StandIn::Options options;
    options.extraArguments << QStringLiteral("--delay-ms") << QStringLiteral("2500");
    StandIn lent(options);
    QVERIFY2(lent.isRunning(), qPrintable(lent.output()));
    Connexion::SetCommandTimeoutForTests(1);

    HoteEnregistreur hote = Hote(QStringLiteral("SELECT * FROM clients"));
    hote.sServeur = lent.serverName();
    QElapsedTimer chrono;
    chrono.start();
    Lance(hote);
    Connexion::SetCommandTimeoutForTests(30);

    QVERIFY2(chrono.elapsed() < 20000, "the run ends within the timeouts");
    const int i = hote.entrees.indexOf(QStringLiteral("Tentative d'ouverture de recordset..."));
    QVERIFY2(i > 0, qPrintable(hote.entrees.join(QLatin1Char('\n'))));
    QVERIFY2(hote.entrees.at(i + 1).startsWith(QStringLiteral("\tErreur : -2147217871 (&H80040E31); \r\n\t")),
             qPrintable(hote.entrees.at(i + 1)));
    QCOMPARE(hote.entrees.last(), QStringLiteral("Terminé."));
    QCOMPARE(hote.boutons.last(), true);
}

void TestLanceurTest::deuxLancements()
{
    HoteEnregistreur hote = Hote(QStringLiteral("SELECT * FROM clients"));
    Lance(hote);
    const QStringList premier = hote.entrees;
    Lance(hote);
    QCOMPARE(hote.lVidages, 2);
    QCOMPARE(hote.entrees.size(), premier.size());
    QCOMPARE(hote.entrees.count(QStringLiteral("Terminé.")), 1);
    QCOMPARE(hote.boutons, (QList<bool>{false, true, false, true}));
}

void TestLanceurTest::blancsSuiventLaLargeur_data()
{
    QTest::addColumn<double>("largeur");
    QTest::addColumn<int>("blancs");
    QTest::newRow("default font width") << 630.0 << 70;
    QTest::newRow("editor font width") << 1053.0 << 117;
    QTest::newRow("half rounds to even") << 949.5 << 106;  // 105.5
}

void TestLanceurTest::blancsSuiventLaLargeur()
{
    QFETCH(double, largeur);
    QFETCH(int, blancs);
    HoteEnregistreur hote = Hote(QStringLiteral("SELECT * FROM clients"));
    hote.sPWD = QStringLiteral("mauvais");
    hote.dLargeur = largeur;
    Lance(hote);
    QVERIFY(hote.entrees.size() > 2);
    const QString sDeuxieme = hote.entrees.at(1).section(QStringLiteral("\r\n"), 1);
    QVERIFY(sDeuxieme.startsWith(QStringLiteral("\t") + QString(blancs, QLatin1Char(' '))));
    QVERIFY(sDeuxieme.size() > blancs + 1);
    QVERIFY(sDeuxieme.at(blancs + 1) != QLatin1Char(' '));
}

void TestLanceurTest::abandonFenetreFermee()
{
    // The window closes while the third entry is shown: nothing of the window
    // is touched afterwards, not even the button.
    HoteEnregistreur hote = Hote(QStringLiteral("SELECT * FROM clients"));
    hote.lAbandonApres = 3;
    Lance(hote);
    QCOMPARE(hote.entrees.size(), 3);
    QCOMPARE(hote.lAppelsApresAbandon, 0);
    QCOMPARE(hote.boutons, (QList<bool>{false}));
}

QTEST_GUILESS_MAIN(TestLanceurTest)
#include "test_testrun_lanceur.moc"
