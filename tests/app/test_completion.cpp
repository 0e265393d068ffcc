// Completion end to end: the editor's keys, the request, the popup and the
// insertion, against the stand-in's Ventes through the real ODBC driver.
#include "fenetretest.h"
#include "chaineconnexion.h"
#include "connexion.h"
#include "editeurriche.h"
#include "fenetres.h"
#include "frmlistemotscles.h"
#include "imagelist.h"
#include "insertion.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

namespace {
struct Nom {
    QString sNom;
    QString sCle;
    bool operator==(const Nom &o) const { return sNom == o.sNom && sCle == o.sCle; }
};
}
Q_DECLARE_METATYPE(Nom)
namespace QTest {
template <> inline char *toString(const QList<Nom> &noms)
{
    QStringList s;
    for (const Nom &n : noms)
        s << n.sNom + QLatin1Char('/') + n.sCle;
    return qstrdup(qPrintable(s.join(QLatin1String(", "))));
}
}

class TestCompletion : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void ctrlEspaceListeTablesEtVues();
    void listeSousLeCurseur();
    void prefixeRestreint();
    void aucuneCorrespondanceRetombeSurTout();
    void colonnesApresUnPoint();
    void correspondanceUniqueInseree();
    void correspondanceUniqueEgaleAuPrefixe();
    void modeSystemeEtBase();
    void baseUniqueInsereeAvecDbo();
    void pointDemandeDansLeModeRetenu();
    void frappeDansLaListeRafraichit();
    void retourArriereDansLaListe();
    void echapCacheEtRendLActivation();
    void echapDansLEditeur();
    void toucheSimpleListeVisible();
    void demandePendantUneDemande();
    void motDePasseFaux();
    void selectionGenerale_data();
    void selectionGenerale();

private:
    QList<Nom> Serveur(const QString &sRequete);
    QList<Nom> Liste() const;
    void Ecrit(const QString &sTexte);
    void Touche(Qt::Key touche, Qt::KeyboardModifiers modificateurs = Qt::NoModifier);
    frmListeMotsCles *Popup() const { return m_fenetre->ListeMotsCles; }

    std::unique_ptr<StandIn> m_standIn;
    std::unique_ptr<frmBrenlor> m_fenetre;
};

void TestCompletion::initTestCase()
{
    m_standIn = std::make_unique<StandIn>();
    QVERIFY2(m_standIn->isRunning(), qPrintable(m_standIn->output()));
}

void TestCompletion::init()
{
    InstalleCapture();
    m_fenetre = OuvreFenetre(*m_standIn);
    QCOMPARE(m_fenetre->cboBase->Text(), QStringLiteral("Ventes"));
    QVERIFY(m_fenetre->txtRequete->isEnabled());
    QVERIFY(Popup());
    QVERIFY(!Popup()->isVisible());
}

void TestCompletion::cleanup()
{
    FermeFenetre(m_fenetre);
}

// Names and icon keys as the server lists them (the oracle the list is checked against).
QList<Nom> TestCompletion::Serveur(const QString &sRequete)
{
    Connexion cn;
    cn.Open(ChaineConnexion(m_standIn->serverName(), QStringLiteral("Ventes"), QStringLiteral("Mirabel4"),
                            QStringLiteral("Brenlor")));
    Recordset rs;
    rs.Open(sRequete, &cn, 0, 1);
    QList<Nom> noms;
    while (rs.State() == 1 && !rs.Eof()) {
        noms.append({rs.Fields(0), rs.Fields(1).trimmed()});
        rs.MoveNext();
    }
    return noms;
}

QList<Nom> TestCompletion::Liste() const
{
    QList<Nom> noms;
    const QStringList cles = ImageList::Cles();
    for (int i = 0; i < Popup()->liv->count(); ++i) {
        const QListWidgetItem *item = Popup()->liv->item(i);
        const int lIcone = frmListeMotsCles::IconeElement(item);
        noms.append({item->text(), cles.value(lIcone - 1)});
        // The picture shown is the one of that index in the current set.
        if (item->icon().cacheKey() == 0 && ilsIconesCourantes && !ilsIconesCourantes->Icone(lIcone).isNull())
            noms.last().sCle += QStringLiteral("(no picture)");
    }
    return noms;
}

void TestCompletion::Ecrit(const QString &sTexte)
{
    m_fenetre->txtRequete->SetText(sTexte);
    m_fenetre->txtRequete->SetSelStart(sTexte.size());
    m_fenetre->txtRequete->setFocus();
}

void TestCompletion::Touche(Qt::Key touche, Qt::KeyboardModifiers modificateurs)
{
    QTest::keyClick(m_fenetre->txtRequete, touche, modificateurs);
}

void TestCompletion::ctrlEspaceListeTablesEtVues()
{
    Ecrit(QStringLiteral("SELECT * FROM "));
    Touche(Qt::Key_Space, Qt::ControlModifier);
    QVERIFY(Popup()->isVisible());
    const QList<Nom> attendus =
        Serveur(QStringLiteral("SELECT name, type FROM sysobjects WHERE type IN ('U','V') ORDER BY name"));
    QVERIFY(attendus.size() > 2);
    QCOMPARE(Liste(), attendus);
    bool bVue = false;
    for (const Nom &n : attendus)
        bVue = bVue || n.sCle == QLatin1String("V");
    QVERIFY2(bVue, "the demo database holds a view");
    // The key was consumed: no blank was typed, user mode remembered.
    QCOMPARE(m_fenetre->txtRequete->Text(), QStringLiteral("SELECT * FROM "));
    QCOMPARE(m_fenetre->LlDernierShift, 2);
    QCOMPARE(Popup()->liv->currentRow(), 0);
    // Showing the popup gave it the keyboard.
    QCOMPARE(FenetreActive(), Popup());
    QVERIFY(Popup()->liv->hasFocus());
}

void TestCompletion::listeSousLeCurseur()
{
    Ecrit(QStringLiteral("SELECT *\r\nFROM "));
    Touche(Qt::Key_Space, Qt::ControlModifier);
    QVERIFY(Popup()->isVisible());
    const QRect caret = m_fenetre->txtRequete->CaretRect();
    const QPoint sous = m_fenetre->txtRequete->viewport()->mapToGlobal(caret.bottomLeft());
    QVERIFY2(qAbs(Popup()->x() - sous.x()) <= 2 && qAbs(Popup()->y() - sous.y()) <= 3,
             qPrintable(QStringLiteral("popup at %1,%2, caret bottom at %3,%4")
                            .arg(Popup()->x()).arg(Popup()->y()).arg(sous.x()).arg(sous.y())));
}

void TestCompletion::prefixeRestreint()
{
    Ecrit(QStringLiteral("SELECT * FROM c"));
    Touche(Qt::Key_Space, Qt::ControlModifier);
    QVERIFY(Popup()->isVisible());
    const QList<Nom> attendus = Serveur(
        QStringLiteral("SELECT name, type FROM sysobjects WHERE type IN ('U','V') AND name LIKE 'c%' ORDER BY name"));
    QVERIFY(attendus.size() >= 2);
    QCOMPARE(Liste(), attendus);
    QVERIFY(Liste().size() < Serveur(QStringLiteral("SELECT name, type FROM sysobjects WHERE type IN ('U','V')")).size());
}

void TestCompletion::aucuneCorrespondanceRetombeSurTout()
{
    Ecrit(QStringLiteral("SELECT * FROM zz"));
    Touche(Qt::Key_Space, Qt::ControlModifier);
    QVERIFY(Popup()->isVisible());
    QCOMPARE(Liste(), Serveur(QStringLiteral("SELECT name, type FROM sysobjects WHERE type IN ('U','V') ORDER BY name")));
    QCOMPARE(m_fenetre->txtRequete->Text(), QStringLiteral("SELECT * FROM zz"));
}

void TestCompletion::colonnesApresUnPoint()
{
    Ecrit(QStringLiteral("SELECT clients."));
    Touche(Qt::Key_Space, Qt::ControlModifier);
    QVERIFY(Popup()->isVisible());
    const QList<Nom> attendus = Serveur(QStringLiteral(
        "SELECT name, 'colonnes' FROM syscolumns WHERE ID = OBJECT_ID('clients') ORDER BY name"));
    QVERIFY(attendus.size() > 1);
    QCOMPARE(Liste(), attendus);
}

void TestCompletion::correspondanceUniqueInseree()
{
    // A prefix that only one table or view has.
    const QList<Nom> tous = Serveur(QStringLiteral("SELECT name, type FROM sysobjects WHERE type IN ('U','V')"));
    QString sNom, sPrefixe;
    for (const Nom &n : tous) {
        const QString p = n.sNom.left(3);
        int l = 0;
        for (const Nom &m : tous)
            l += m.sNom.startsWith(p, Qt::CaseInsensitive) ? 1 : 0;
        if (l == 1 && n.sNom.size() > 3 && !n.sNom.contains(QLatin1Char(' '))) {
            sNom = n.sNom;
            sPrefixe = p;
            break;
        }
    }
    QVERIFY2(!sNom.isEmpty(), "a table with a prefix of its own");
    const QString sTexte = QStringLiteral("SELECT * FROM ") + sPrefixe;
    Ecrit(sTexte);
    Touche(Qt::Key_Space, Qt::ControlModifier);
    const Insertion attendue = CalculeInsertion(sTexte, sTexte.size(), sNom, false, false);
    QVERIFY(attendue.bAppliquee);
    QCOMPARE(m_fenetre->txtRequete->Text(), attendue.sTexte);
    QCOMPARE(m_fenetre->txtRequete->SelStart(), attendue.lSelStart);
    QVERIFY(m_fenetre->txtRequete->Text().contains(sNom));
    QVERIFY(!Popup()->isVisible());
    QVERIFY(Popup()->tmr->isActive());
    QVERIFY(!m_fenetre->bPropositionEnCours);
}

void TestCompletion::correspondanceUniqueEgaleAuPrefixe()
{
    Ecrit(QStringLiteral("SELECT * FROM produits"));
    Touche(Qt::Key_Space, Qt::ControlModifier);
    QCOMPARE(m_fenetre->txtRequete->Text(), QStringLiteral("SELECT * FROM produits"));
    QVERIFY(!Popup()->isVisible());
    QVERIFY(Popup()->tmr->isActive());
    QCOMPARE(Liste(), (QList<Nom>{{QStringLiteral("produits"), QStringLiteral("U")}}));
}

void TestCompletion::modeSystemeEtBase()
{
    Ecrit(QStringLiteral("SELECT * FROM m"));
    Touche(Qt::Key_Space, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(m_fenetre->LlDernierShift, 1);
    QVERIFY(Popup()->isVisible());
    const QList<Nom> liste = Liste();
    for (const char *base : {"master", "model", "msdb"})
        QVERIFY(liste.contains(Nom{QLatin1String(base), QStringLiteral("bases")}));
    for (const Nom &n : liste) {
        QVERIFY2(n.sNom.startsWith(QStringLiteral("m"), Qt::CaseInsensitive), qPrintable(n.sNom));
        QVERIFY(n.sCle == QLatin1String("serveurs") || n.sCle == QLatin1String("bases") || n.sCle == QLatin1String("S"));
    }
    // Choosing the database writes it with ".dbo." in front of the typed word.
    const int i = Popup()->liv->row(Popup()->liv->findItems(QStringLiteral("master"), Qt::MatchExactly).value(0));
    QVERIFY(i >= 0);
    Popup()->liv->setCurrentRow(i);
    QTest::keyClick(Popup()->liv, Qt::Key_Return);
    QCOMPARE(m_fenetre->txtRequete->Text(), QStringLiteral("SELECT * FROM master.dbo. m"));
    QVERIFY(Popup()->tmr->isActive());
}

void TestCompletion::baseUniqueInsereeAvecDbo()
{
    Ecrit(QStringLiteral("SELECT * FROM ma"));
    Touche(Qt::Key_Space, Qt::ShiftModifier);
    QCOMPARE(m_fenetre->LlDernierShift, 1);
    QCOMPARE(Liste(), (QList<Nom>{{QStringLiteral("master"), QStringLiteral("bases")}}));
    QCOMPARE(m_fenetre->txtRequete->Text(), QStringLiteral("SELECT * FROM master.dbo. ma"));
    QVERIFY(!Popup()->isVisible());
}

void TestCompletion::pointDemandeDansLeModeRetenu()
{
    // Typing "." asks with the text as it was before the dot.
    Ecrit(QStringLiteral("SELECT * FROM c"));
    Touche(Qt::Key_Period);
    QCOMPARE(m_fenetre->txtRequete->Text(), QStringLiteral("SELECT * FROM c."));
    QVERIFY(Popup()->isVisible());
    QCOMPARE(Liste(), Serveur(QStringLiteral(
        "SELECT name, type FROM sysobjects WHERE type IN ('U','V') AND name LIKE 'c%' ORDER BY name")));
    QCOMPARE(m_fenetre->LlDernierShift, 0);
}

void TestCompletion::frappeDansLaListeRafraichit()
{
    Ecrit(QStringLiteral("SELECT * FROM "));
    Touche(Qt::Key_Space, Qt::ControlModifier);
    QVERIFY(Popup()->isVisible());
    QTest::keyClick(Popup()->liv, Qt::Key_C);
    QCOMPARE(m_fenetre->txtRequete->Text(), QStringLiteral("SELECT * FROM c"));
    QCOMPARE(m_fenetre->txtRequete->SelStart(), 15);
    QCOMPARE(Liste(), Serveur(QStringLiteral(
        "SELECT name, type FROM sysobjects WHERE type IN ('U','V') AND name LIKE 'c%' ORDER BY name")));
    QVERIFY(Popup()->isVisible());
}

void TestCompletion::retourArriereDansLaListe()
{
    Ecrit(QStringLiteral("SELECT * FROM cl"));
    Touche(Qt::Key_Space, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(m_fenetre->LlDernierShift, 2);
    QTest::keyClick(Popup()->liv, Qt::Key_Backspace);
    QCOMPARE(m_fenetre->txtRequete->Text(), QStringLiteral("SELECT * FROM c"));
    QCOMPARE(m_fenetre->txtRequete->SelStart(), 15);
}

void TestCompletion::echapCacheEtRendLActivation()
{
    Ecrit(QStringLiteral("SELECT * FROM "));
    Touche(Qt::Key_Space, Qt::ControlModifier);
    QVERIFY(Popup()->isVisible());
    QTest::keyClick(Popup()->liv, Qt::Key_Escape);
    QVERIFY(Popup()->tmr->isActive());
    QCOMPARE(m_fenetre->txtRequete->Text(), QStringLiteral("SELECT * FROM "));
    QTRY_VERIFY_WITH_TIMEOUT(!Popup()->isVisible(), 2000);
    QTRY_VERIFY_WITH_TIMEOUT(FenetreActive() == m_fenetre.get(), 2000);
    QTRY_VERIFY_WITH_TIMEOUT(!Popup()->tmr->isActive(), 2000);
    QCOMPARE(m_fenetre->txtRequete->Text(), QStringLiteral("SELECT * FROM "));
}

void TestCompletion::echapDansLEditeur()
{
    Ecrit(QStringLiteral("SELECT * FROM "));
    Touche(Qt::Key_Escape);  // popup hidden: nothing happens
    QVERIFY(!Popup()->isVisible());
    Touche(Qt::Key_Space, Qt::ControlModifier);
    QVERIFY(Popup()->isVisible());
    Touche(Qt::Key_Escape);
    QVERIFY(!Popup()->isVisible());
    QCOMPARE(m_fenetre->txtRequete->Text(), QStringLiteral("SELECT * FROM "));
}

void TestCompletion::toucheSimpleListeVisible()
{
    Ecrit(QStringLiteral("SELECT * FROM "));
    Touche(Qt::Key_Space, Qt::ShiftModifier);
    QCOMPARE(m_fenetre->LlDernierShift, 1);
    QVERIFY(Popup()->isVisible());
    // A plain key in the editor while the popup shows refreshes it in user mode,
    // with the text as it was before the key.
    Touche(Qt::Key_Z);
    QCOMPARE(m_fenetre->LlDernierShift, 2);
    QCOMPARE(m_fenetre->txtRequete->Text(), QStringLiteral("SELECT * FROM z"));
    QCOMPARE(Liste(), Serveur(QStringLiteral("SELECT name, type FROM sysobjects WHERE type IN ('U','V') ORDER BY name")));
}

void TestCompletion::demandePendantUneDemande()
{
    Ecrit(QStringLiteral("SELECT * FROM "));
    m_fenetre->bPropositionEnCours = true;
    Touche(Qt::Key_Space, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(!Popup()->isVisible());
    QCOMPARE(Popup()->liv->count(), 0);
    QCOMPARE(m_fenetre->LlDernierShift, 0);
    QVERIFY(m_fenetre->bPropositionEnCours);
    m_fenetre->bPropositionEnCours = false;
    Touche(Qt::Key_Space, Qt::ControlModifier);
    QVERIFY(Popup()->isVisible());
}

void TestCompletion::motDePasseFaux()
{
    Ecrit(QStringLiteral("SELECT * FROM "));
    Touche(Qt::Key_Space, Qt::ControlModifier);
    const QList<Nom> avant = Liste();
    QVERIFY(!avant.isEmpty());
    Popup()->hide();
    m_fenetre->txtPWD->setText(QStringLiteral("mauvais"));
    Ecrit(QStringLiteral("SELECT * FROM c"));
    Touche(Qt::Key_Space, Qt::ControlModifier);
    QVERIFY(!Popup()->isVisible());
    QCOMPARE(Liste(), avant);
    QCOMPARE(m_fenetre->txtRequete->Text(), QStringLiteral("SELECT * FROM c"));
    QCOMPARE(m_fenetre->txtRequete->SelStart(), 15);
    QVERIFY(MessagesCaptures().isEmpty());
    QVERIFY(!m_fenetre->bPropositionEnCours);
}

void TestCompletion::selectionGenerale_data()
{
    QTest::addColumn<int>("modificateurs");
    QTest::addColumn<QString>("texte");
    QTest::addColumn<int>("selection");
    const QString s = QStringLiteral("SELECT 1\r\nFROM t");
    QTest::newRow("Ctrl+A selects all") << int(Qt::ControlModifier) << s << int(s.size());
    QTest::newRow("Ctrl+Shift+A selects all") << int(Qt::ControlModifier | Qt::ShiftModifier) << s << int(s.size());
    QTest::newRow("Shift+A types a capital A") << int(Qt::ShiftModifier) << s + QStringLiteral("A") << 0;
}

void TestCompletion::selectionGenerale()
{
    QFETCH(int, modificateurs);
    QFETCH(QString, texte);
    QFETCH(int, selection);
    Ecrit(QStringLiteral("SELECT 1\r\nFROM t"));
    QTest::keyClick(m_fenetre->txtRequete, 'A', Qt::KeyboardModifiers(modificateurs));
    QCOMPARE(m_fenetre->txtRequete->Text(), texte);
    QCOMPARE(m_fenetre->txtRequete->SelLength(), selection);
    if (selection > 0)
        QCOMPARE(m_fenetre->txtRequete->SelStart(), 0);
}

BRENLOR_TEST_FENETRE_MAIN(TestCompletion)
#include "test_completion.moc"
