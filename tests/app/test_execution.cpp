// "Exécuter" in the real window, against the stand-in through the real
// driver: two batches into grids and messages, copying with headers, an
// error's line, USE moving the picker on the same session, cancel, and the
// question about open transactions when the window closes.
#include "fenetretest.h"
#include "chaineconnexion.h"
#include "connexion.h"
#include "editeurriche.h"
#include "erreurado.h"
#include "grilleresultats.h"
#include "hoteexecution.h"
#include "modeleresultats.h"
#include "zoneresultats.h"

#include <QClipboard>
#include <QLabel>
#include <QStatusBar>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextBlock>

class TestExecution : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void deuxLotsGrillesEtMessages();
    void valeurLongueEntiereALaCopie();
    void erreurDoubleClicPlaceLeCurseur();
    void useDeplaceLaBaseSansRouvrir();
    void annulerPendantUneAttente();
    void transactionsALaFermeture();
    void transactionsAuChangementDeBase();

private:
    // Types the script into txtRequete, runs it with F5 and waits for the end.
    bool Execute(const QString &sScript);
    HoteExecution *Hote() const { return m_fenetre->findChild<HoteExecution *>(); }

    std::unique_ptr<StandIn> m_standIn;
    std::unique_ptr<frmBrenlor> m_fenetre;
};

void TestExecution::initTestCase()
{
    m_standIn = std::make_unique<StandIn>();
    QVERIFY2(m_standIn->isRunning(), qPrintable(m_standIn->output()));
}

void TestExecution::init()
{
    InstalleCapture();
    m_fenetre = OuvreFenetre(*m_standIn);
    QVERIFY(QTest::qWaitForWindowExposed(m_fenetre.get()));
    QCOMPARE(m_fenetre->cboBase->currentText(), QStringLiteral("Ventes"));
}

void TestExecution::cleanup()
{
    InstalleReponsesQuestions({});
    FermeFenetre(m_fenetre);
}

bool TestExecution::Execute(const QString &sScript)
{
    m_fenetre->txtRequete->setPlainText(sScript);
    m_fenetre->txtRequete->setFocus();
    QSignalSpy fin(Hote(), &HoteExecution::ExecutionFinie);
    QTest::keyClick(m_fenetre->txtRequete, Qt::Key_F5);
    return fin.count() > 0 || fin.wait(10000);
}

void TestExecution::deuxLotsGrillesEtMessages()
{
    QVERIFY(Execute(QStringLiteral("SELECT 1 AS n, NULL AS v, 'NULL' AS t\nGO\nPRINT 'deux'\nSELECT 2 AS m")));
    ZoneResultats *zone = Hote()->Zone();
    QVERIFY(zone->isVisible());
    QCOMPARE(zone->Grilles().size(), 2);
    auto *modele = static_cast<ModeleResultats *>(zone->Grilles().at(0)->model());
    QCOMPARE(modele->headerData(1, Qt::Horizontal).toString(), QStringLiteral("v"));
    const QModelIndex nombre = modele->index(0, 0), nul = modele->index(0, 1), texte = modele->index(0, 2);
    QCOMPARE(nombre.data().toString(), QStringLiteral("1"));
    QVERIFY(nombre.data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight);
    // NULL and the text 'NULL' read the same but do not look the same.
    QCOMPARE(nul.data().toString(), QStringLiteral("NULL"));
    QCOMPARE(texte.data().toString(), QStringLiteral("NULL"));
    QVERIFY(nul.data(Qt::FontRole).value<QFont>().italic());
    QVERIFY(!texte.data(Qt::FontRole).isValid());
    QCOMPARE(zone->TexteMessages(), QStringLiteral("(1 ligne affectée)\ndeux\n(1 ligne affectée)"));
    QVERIFY(m_fenetre->sta->findChild<QLabel *>()->text().startsWith(QStringLiteral("Exécution terminée")));

    GrilleResultats *grille = zone->Grilles().at(0);
    grille->setFocus();
    QTest::keyClick(grille, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(grille, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("n\tv\tt\r\n1\tNULL\tNULL\r\n"));
    // F6 goes back to the editor.
    QTest::keyClick(grille, Qt::Key_F6);
    QCOMPARE(QApplication::focusWidget(), m_fenetre->txtRequete);
}

void TestExecution::valeurLongueEntiereALaCopie()
{
    QVERIFY(Execute(QStringLiteral("SELECT REPLICATE(CONVERT(nvarchar(max), 'ab'), 40000) AS l")));
    GrilleResultats *grille = Hote()->Zone()->Grilles().value(0);
    QVERIFY(grille);
    const QString sAffiche = grille->model()->index(0, 0).data().toString();
    QCOMPARE(sAffiche.size(), ModeleResultats::kCaracteresAffiches + 1);
    QVERIFY(sAffiche.endsWith(QChar(0x2026)));
    grille->setFocus();
    QTest::keyClick(grille, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(grille, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("ab").repeated(40000) + QStringLiteral("\r\n"));
}

void TestExecution::erreurDoubleClicPlaceLeCurseur()
{
    QVERIFY(Execute(QStringLiteral("SELECT 1 AS n\nGO\nSELECT * FROM nulle_part")));
    ZoneResultats *zone = Hote()->Zone();
    QVERIFY2(zone->TexteMessages().contains(QStringLiteral("Msg 208, Niveau 16, État 1, Ligne 3\nInvalid object name 'nulle_part'.")),
             qPrintable(zone->TexteMessages()));
    zone->setCurrentIndex(1);
    QPlainTextEdit *messages = zone->Messages();
    const QTextBlock bloc = messages->document()->findBlockByNumber(1);
    QVERIFY(bloc.text().startsWith(QStringLiteral("Msg 208")));
    const QPoint p = messages->cursorRect(QTextCursor(bloc)).center();
    QTest::mouseDClick(messages->viewport(), Qt::LeftButton, Qt::NoModifier, p);
    QCOMPARE(m_fenetre->txtRequete->textCursor().blockNumber(), 2);
}

void TestExecution::useDeplaceLaBaseSansRouvrir()
{
    const auto spid = [this] {
        return Hote()->Zone()->Grilles().value(0) ? Hote()->Zone()->Grilles().at(0)->model()->index(0, 0).data().toString()
                                                  : QString();
    };
    QVERIFY(Execute(QStringLiteral("SELECT @@SPID AS s\nGO\nUSE master")));
    QCOMPARE(m_fenetre->cboBase->currentText(), QStringLiteral("master"));
    const QString sAvant = spid();
    QVERIFY(!sAvant.isEmpty());
    // The same session, now in master.
    QVERIFY(Execute(QStringLiteral("SELECT @@SPID AS s, DB_NAME() AS b")));
    QCOMPARE(spid(), sAvant);
    QCOMPARE(Hote()->Zone()->Grilles().at(0)->model()->index(0, 1).data().toString(), QStringLiteral("master"));
}

void TestExecution::annulerPendantUneAttente()
{
    m_fenetre->txtRequete->setPlainText(QStringLiteral("WAITFOR DELAY '00:00:30'\nGO\nPRINT 'jamais'"));
    m_fenetre->txtRequete->setFocus();
    QSignalSpy fin(Hote(), &HoteExecution::ExecutionFinie);
    QTest::keyClick(m_fenetre->txtRequete, Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(Hote()->btnExecuter->text(), QStringLiteral("Annuler"));
    QTest::qWait(300);
    QElapsedTimer chrono;
    chrono.start();
    Hote()->btnExecuter->click();
    QVERIFY(fin.wait(5000));
    QVERIFY2(chrono.elapsed() < 1000, qPrintable(QString::number(chrono.elapsed())));
    QCOMPARE(Hote()->btnExecuter->text(), QStringLiteral("Exécuter"));
    QVERIFY(!Hote()->Zone()->TexteMessages().contains(QStringLiteral("jamais")));
}

void TestExecution::transactionsALaFermeture()
{
    QVERIFY(Execute(QStringLiteral("BEGIN TRAN\nCREATE TABLE valide_a_la_fermeture (a int)")));
    QCOMPARE(Hote()->Transactions(), 1);
    QStringList questions;
    ReponseQuestion reponse = ReponseQuestion::Annuler;
    InstalleReponsesQuestions([&](const QString &s) {
        questions << s;
        return reponse;
    });
    QVERIFY(!m_fenetre->close());
    QVERIFY(m_fenetre->isVisible());
    reponse = ReponseQuestion::Oui;
    QVERIFY(m_fenetre->close());
    QCOMPARE(questions, QStringList(2, QStringLiteral("Des transactions ne sont pas validées. Voulez-vous les valider ?")));
    // Committed: another session sees the table.
    Connexion cn;
    cn.Open(ChaineConnexion(m_standIn->serverName(), QStringLiteral("Ventes"), QStringLiteral("Mirabel4"),
                            QStringLiteral("Brenlor")));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT COUNT(*) FROM valide_a_la_fermeture"), &cn);
    QCOMPARE(rs.Fields(0), QStringLiteral("0"));
}

void TestExecution::transactionsAuChangementDeBase()
{
    QVERIFY(Execute(QStringLiteral("BEGIN TRAN\nCREATE TABLE annulee_au_changement (a int)")));
    QCOMPARE(Hote()->Transactions(), 1);
    int lQuestions = 0;
    ReponseQuestion reponse = ReponseQuestion::Annuler;
    InstalleReponsesQuestions([&](const QString &) {
        ++lQuestions;
        return reponse;
    });
    ComboImages *cbo = m_fenetre->cboBase;
    const auto choisit = [cbo](const QString &sBase) {
        cbo->SelectionneCle(sBase);
        emit cbo->activated(cbo->currentIndex());
    };
    // Annuler: nothing changes, the picker goes back.
    choisit(QStringLiteral("master"));
    QCOMPARE(lQuestions, 1);
    QCOMPARE(cbo->currentText(), QStringLiteral("Ventes"));
    QCOMPARE(Hote()->Transactions(), 1);
    // Non: rolled back, the picker keeps the new database.
    reponse = ReponseQuestion::Non;
    choisit(QStringLiteral("master"));
    QCOMPARE(lQuestions, 2);
    QCOMPARE(cbo->currentText(), QStringLiteral("master"));
    QCOMPARE(Hote()->Transactions(), 0);
    Connexion cn;
    cn.Open(ChaineConnexion(m_standIn->serverName(), QStringLiteral("Ventes"), QStringLiteral("Mirabel4"),
                            QStringLiteral("Brenlor")));
    Recordset rs;
    QVERIFY_THROWS_EXCEPTION(ErreurAdo, rs.Open(QStringLiteral("SELECT COUNT(*) FROM annulee_au_changement"), &cn));
}

BRENLOR_TEST_FENETRE_MAIN(TestExecution)
#include "test_execution.moc"
