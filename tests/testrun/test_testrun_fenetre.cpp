// The "Tester" button of the main window, end to end against the stand-in.
#include "fenetretest.h"
#include "twips.h"
#include "codeserreurs.h"
#include "connexion.h"
#include "editeurriche.h"
#include "formatjournal.h"
#include "frmlistemotscles.h"
#include "imagelist.h"

#include <QFontMetricsF>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

namespace {
QStringList Lignes(const EditeurRiche *journal)
{
    QString s = journal->Text();
    if (s.endsWith(QStringLiteral("\r\n")))
        s.chop(2);
    return s.split(QStringLiteral("\r\n"));
}

// The blanks that indent an error description, read back from the log.
int BlancsDeLErreur(const QStringList &lignes)
{
    for (int i = 0; i + 1 < lignes.size(); ++i)
        if (lignes.at(i).startsWith(QStringLiteral("\tErreur : "))) {
            const QString &s = lignes.at(i + 1);
            int n = 0;
            while (n + 1 < s.size() && s.at(n + 1) == QLatin1Char(' '))
                ++n;
            return n;
        }
    return -1;
}

int Rang(const QWidget *w)
{
    return int(w->parentWidget()->children().indexOf(w));
}

// Siblings paint in their parent's order of children, the last on top.
bool DessusDesEditeurs(const frmBrenlor &f, const QWidget *w)
{
    return Rang(w) > Rang(f.txtRequete) && Rang(w) > Rang(f.txtRequete2);
}

bool DessousDesEditeurs(const frmBrenlor &f, const QWidget *w)
{
    return Rang(w) < Rang(f.txtRequete) && Rang(w) < Rang(f.txtRequete2);
}

// Near the bottom-right corner, which neither the log nor the drawing area covers.
QPoint PointDegage(const EditeurRiche *editeur)
{
    const QWidget *v = editeur->viewport();
    return QPoint(v->width() - 6, v->height() - 6);
}

// "Erreur : " measured independently of the window's own helpers, in twips.
double LargeurErreur(const QFont &police, const QWidget *w)
{
    return QFontMetricsF(police, w).horizontalAdvance(QStringLiteral("Erreur : ")) * 1440.0 / w->logicalDpiX();
}
}

class TestTestRunFenetre : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void lancementReussi();
    void boutonPendantLaCourse();
    void deuxLancementsVidentLeJournal();
    void secondLancementPendantUnLancement();
    void blancsSuiventLaPoliceDeMesure();
    void serveurBloqueSansFigerLaFenetre();
    void fermetureDuranteUnLancement();
    void journalRetireParLUtilisateur_data();
    void journalRetireParLUtilisateur();
    void journalRestePendantUnLancement();

private:
    std::unique_ptr<StandIn> m_standIn;
    std::unique_ptr<frmBrenlor> m_fenetre;
};

void TestTestRunFenetre::initTestCase()
{
    InstalleCapture();
    m_standIn = std::make_unique<StandIn>();
    QVERIFY2(m_standIn->isRunning(), qPrintable(m_standIn->output()));
}

void TestTestRunFenetre::init()
{
    InstalleCapture();
    m_fenetre = OuvreFenetre(*m_standIn);
    QVERIFY2(MessagesCaptures().isEmpty(), qPrintable(MessagesCaptures().value(0).sTexte));
    QCOMPARE(m_fenetre->cboBase->Text(), QStringLiteral("Ventes"));
    QVERIFY(m_fenetre->btnLancer->isEnabled());
    m_fenetre->txtRequete->SetText(QStringLiteral("SELECT * FROM clients"));
}

void TestTestRunFenetre::cleanup()
{
    FermeFenetre(m_fenetre);
}

void TestTestRunFenetre::lancementReussi()
{
    QTest::mouseClick(m_fenetre->btnLancer, Qt::LeftButton);
    const QStringList lignes = Lignes(m_fenetre->txtResultat);
    QVERIFY(m_fenetre->txtResultat->Text().endsWith(QStringLiteral("Terminé.\r\n")));
    const QString sep = QRegularExpression::escape(QLocale::system().decimalPoint());
    const QRegularExpression temps(QStringLiteral("^\\tTemps opération :[0-9]+(") + sep
                                   + QStringLiteral("[0-9]+)?(E-[0-9]+)? seconde\\(s\\)$"));
    QStringList attendues{QStringLiteral("Tentative d'ouverture de connection..."),
                          QStringLiteral("Résultat de connection : 1"), QString(),
                          QStringLiteral("Tentative d'ouverture de recordset..."),
                          QStringLiteral("Résultat d'ouverture de \"SELECT * FROM clients\" :1"), QString()};
    for (int i = 0; i < attendues.size(); ++i) {
        if (attendues.at(i).isEmpty())
            QVERIFY2(temps.match(lignes.value(i)).hasMatch(), qPrintable(lignes.value(i)));
        else
            QCOMPARE(lignes.value(i), attendues.at(i));
    }
    int lTemps = 0;
    for (const QString &l : lignes)
        lTemps += temps.match(l).hasMatch() ? 1 : 0;
    QCOMPARE(lTemps, 10);
    for (const char *sonde : {"Resync adAffectCurrent", "Requery", "MoveNext", "MoveLast", "MovePrevious",
                              "MoveFirst", "RecordCount", "AbsolutePosition"})
        QVERIFY(lignes.contains(QStringLiteral("Tentative de ") + QLatin1String(sonde)));
    QCOMPARE(lignes.at(lignes.size() - 2), QStringLiteral("Fermeture de connection..."));
    // The log was raised last, over the result area and the editors.
    QCOMPARE(m_fenetre->txtResultat->parentWidget()->children().last(), m_fenetre->txtResultat);
    QVERIFY(m_fenetre->btnLancer->isEnabled());
    QVERIFY(!m_fenetre->TestEnCours());
    QVERIFY(MessagesCaptures().isEmpty());
}

void TestTestRunFenetre::boutonPendantLaCourse()
{
    QList<bool> etats;
    int lLignesVues = 0;
    QTimer espion;
    espion.setInterval(0);
    connect(&espion, &QTimer::timeout, this, [&] {
        etats << m_fenetre->btnLancer->isEnabled();
        lLignesVues = qMax(lLignesVues, int(Lignes(m_fenetre->txtResultat).size()));
    });
    espion.start();
    m_fenetre->btnLancer->click();
    espion.stop();
    // Events ran after the lines (the window stayed responsive), always with the button off.
    QVERIFY(etats.size() >= 5);
    QVERIFY(!etats.contains(true));
    QVERIFY(lLignesVues >= 5);
    QVERIFY(m_fenetre->btnLancer->isEnabled());
}

void TestTestRunFenetre::deuxLancementsVidentLeJournal()
{
    m_fenetre->btnLancer->click();
    const QString premier = m_fenetre->txtResultat->Text();
    m_fenetre->btnLancer->click();
    const QString second = m_fenetre->txtResultat->Text();
    QCOMPARE(second.count(QStringLiteral("Terminé.")), 1);
    QCOMPARE(Lignes(m_fenetre->txtResultat).size(), premier.count(QStringLiteral("\r\n")));
}

void TestTestRunFenetre::secondLancementPendantUnLancement()
{
    int lAppels = 0;
    QTimer relance;
    relance.setInterval(0);
    connect(&relance, &QTimer::timeout, this, [&] {
        if (lAppels++ == 2)
            m_fenetre->btnLancer_Click();  // the handler itself, the button being disabled
    });
    relance.start();
    m_fenetre->btnLancer->click();
    relance.stop();
    QVERIFY(lAppels > 2);
    const QStringList lignes = Lignes(m_fenetre->txtResultat);
    QCOMPARE(lignes.count(QStringLiteral("Terminé.")), 1);
    QCOMPARE(lignes.count(QStringLiteral("Tentative d'ouverture de connection...")), 1);
    QCOMPARE(lignes.first(), QStringLiteral("Tentative d'ouverture de connection..."));
}

void TestTestRunFenetre::blancsSuiventLaPoliceDeMesure()
{
    m_fenetre->txtPWD->setText(QStringLiteral("mauvais"));
    QCOMPARE(m_fenetre->PoliceMesure(), m_fenetre->font());
    m_fenetre->btnLancer->click();
    const int lAvant = BlancsDeLErreur(Lignes(m_fenetre->txtResultat));
    QCOMPARE(lAvant, NombreBlancs(LargeurErreur(m_fenetre->font(), m_fenetre.get())));

    // Placing the popup once makes the editors' font the measuring font.
    m_fenetre->txtPWD->setText(QStringLiteral("Mirabel4"));
    m_fenetre->txtRequete->SetText(QStringLiteral("SELECT * FROM "));
    m_fenetre->txtRequete->SetSelStart(14);
    m_fenetre->AfficheProposition(2);
    QVERIFY(m_fenetre->ListeMotsCles->isVisible());
    QCOMPARE(m_fenetre->PoliceMesure(), m_fenetre->txtRequete->font());
    m_fenetre->ListeMotsCles->hide();

    m_fenetre->txtPWD->setText(QStringLiteral("mauvais"));
    m_fenetre->btnLancer->click();
    const int lApres = BlancsDeLErreur(Lignes(m_fenetre->txtResultat));
    QCOMPARE(lApres, NombreBlancs(LargeurErreur(m_fenetre->txtRequete->font(), m_fenetre.get())));
    QVERIFY2(lAvant != lApres, qPrintable(QStringLiteral("%1 blanks both times").arg(lAvant)));
}

void TestTestRunFenetre::serveurBloqueSansFigerLaFenetre()
{
    StandIn::Options options;
    options.extraArguments << QStringLiteral("--delay-ms") << QStringLiteral("2500");
    StandIn lent(options);
    QVERIFY2(lent.isRunning(), qPrintable(lent.output()));
    m_fenetre->cboServeur->SetText(lent.serverName());
    Connexion::SetCommandTimeoutForTests(1);
    int lTics = 0;
    QTimer tic;
    tic.setInterval(10);
    connect(&tic, &QTimer::timeout, this, [&] { ++lTics; });
    tic.start();
    QElapsedTimer chrono;
    chrono.start();
    m_fenetre->btnLancer->click();
    tic.stop();
    Connexion::SetCommandTimeoutForTests(30);

    QVERIFY(chrono.elapsed() < 20000);
    QVERIFY(lTics > 0);
    const QStringList lignes = Lignes(m_fenetre->txtResultat);
    const int i = lignes.indexOf(QStringLiteral("Tentative d'ouverture de recordset..."));
    QVERIFY2(i > 0, qPrintable(lignes.join(QLatin1Char('\n'))));
    QCOMPARE(lignes.value(i + 1), QStringLiteral("\tErreur : %1 (&H%2); ")
                                      .arg(CodesErreurs::DelaiDepasse)
                                      .arg(HexaErreur(CodesErreurs::DelaiDepasse)));
    QCOMPARE(lignes.last(), QStringLiteral("Terminé."));
    QVERIFY(m_fenetre->btnLancer->isEnabled());
}

void TestTestRunFenetre::fermetureDuranteUnLancement()
{
    int lLignesALaFermeture = -1;
    QTimer fermeture;
    fermeture.setSingleShot(true);
    fermeture.setInterval(0);
    connect(&fermeture, &QTimer::timeout, this, [&] {
        lLignesALaFermeture = Lignes(m_fenetre->txtResultat).size();
        m_fenetre->close();
    });
    fermeture.start();
    m_fenetre->btnLancer->click();
    QVERIFY(lLignesALaFermeture >= 1);
    // The exit sequence ran and the run wrote nothing more afterwards.
    QVERIFY(!m_fenetre->isVisible());
    QVERIFY(ilsIconesCourantes == nullptr);
    QVERIFY(!m_fenetre->Serveur().cnServeur);
    QCOMPARE(Lignes(m_fenetre->txtResultat).size(), lLignesALaFermeture);
    QVERIFY(!m_fenetre->txtResultat->Text().contains(QStringLiteral("Terminé.")));
    QVERIFY(!m_fenetre->TestEnCours());
}

void TestTestRunFenetre::journalRetireParLUtilisateur_data()
{
    QTest::addColumn<bool>("bSecond");
    QTest::addColumn<bool>("bClic");
    QTest::addColumn<int>("lTouche");
    QTest::addColumn<bool>("bRetire");
    QTest::newRow("clic dans txtRequete") << false << true << 0 << true;
    QTest::newRow("clic dans txtRequete2") << true << true << 0 << true;
    QTest::newRow("lettre dans txtRequete") << false << false << int(Qt::Key_A) << true;
    QTest::newRow("Entrée dans txtRequete2") << true << false << int(Qt::Key_Return) << true;
    QTest::newRow("flèche dans txtRequete") << false << false << int(Qt::Key_Down) << true;
    QTest::newRow("Ctrl seul ne tape rien") << false << false << int(Qt::Key_Control) << false;
}

void TestTestRunFenetre::journalRetireParLUtilisateur()
{
    QFETCH(bool, bSecond);
    QFETCH(bool, bClic);
    QFETCH(int, lTouche);
    QFETCH(bool, bRetire);
    frmBrenlor &f = *m_fenetre;
    EditeurRiche *editeur = bSecond ? f.txtRequete2 : f.txtRequete;
    const QRect geometrie(TwipsEnPixels(&f, 120), TwipsEnPixels(&f, 2640), TwipsEnPixels(&f, 2175), TwipsEnPixels(&f, 1215));
    QCOMPARE(f.txtResultat->geometry(), geometrie);
    // Created under the editors, which the layout lays over them.
    QVERIFY(DessousDesEditeurs(f, f.txtResultat));
    QVERIFY(DessousDesEditeurs(f, f.grdResultat));

    f.btnLancer->click();
    QVERIFY(DessusDesEditeurs(f, f.txtResultat));
    QVERIFY(DessusDesEditeurs(f, f.grdResultat));
    f.resize(f.width() + 40, f.height() + 60);
    QApplication::processEvents();
    QVERIFY(DessusDesEditeurs(f, f.txtResultat));

    if (bClic)
        QTest::mouseClick(editeur->viewport(), Qt::LeftButton, {}, PointDegage(editeur));
    else
        QTest::keyClick(editeur, Qt::Key(lTouche));
    QCOMPARE(DessousDesEditeurs(f, f.txtResultat), bRetire);
    QCOMPARE(DessousDesEditeurs(f, f.grdResultat), bRetire);
    QCOMPARE(DessusDesEditeurs(f, f.txtResultat), !bRetire);
    QCOMPARE(f.txtResultat->geometry(), geometrie);
    QVERIFY(f.txtResultat->isVisible());

    // The next run brings them back on top.
    f.btnLancer->click();
    QVERIFY(DessusDesEditeurs(f, f.txtResultat));
    QVERIFY(DessusDesEditeurs(f, f.grdResultat));
    QCOMPARE(f.txtResultat->geometry(), geometrie);
}

void TestTestRunFenetre::journalRestePendantUnLancement()
{
    frmBrenlor &f = *m_fenetre;
    int lGestes = 0;
    QTimer geste;
    geste.setInterval(0);
    connect(&geste, &QTimer::timeout, this, [&] {
        if (lGestes++ % 2 == 0)
            QTest::keyClick(f.txtRequete2, Qt::Key_B);
        else
            QTest::mouseClick(f.txtRequete->viewport(), Qt::LeftButton, {}, PointDegage(f.txtRequete));
    });
    geste.start();
    f.btnLancer->click();
    geste.stop();
    QVERIFY(lGestes >= 4);
    QVERIFY(f.txtRequete2->Text().contains(QLatin1Char('b')));
    // What the user did during the run does not hide its log.
    QVERIFY(DessusDesEditeurs(f, f.txtResultat));
    QVERIFY(DessusDesEditeurs(f, f.grdResultat));
    QTest::keyClick(f.txtRequete2, Qt::Key_B);
    QVERIFY(DessousDesEditeurs(f, f.txtResultat));
    QVERIFY(DessousDesEditeurs(f, f.grdResultat));
}

BRENLOR_TEST_FENETRE_MAIN(TestTestRunFenetre)
#include "test_testrun_fenetre.moc"
