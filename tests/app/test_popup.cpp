// The completion popup on its own: its window, its list, choosing, closing
// and where it is placed.
#include "fenetretest.h"
#include "editeurriche.h"
#include "fenetres.h"
#include "frmlistemotscles.h"
#include "imagelist.h"

#include "twips.h"

#include <QListView>
#include <QScreen>
#include <QTimer>

class TestPopup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void fenetreSansTitre();
    void remplissage_data();
    void remplissage();
    void changementDeJeuDIcones();
    void largeurDeColonne_data();
    void largeurDeColonne();
    void choixSansElementSelectionne();
    void clicSurUnElement();
    void espaceChoisit();
    void proprietaireEtNomEntreCrochets();
    void desactivationVersUneAutreApplication();
    void desactivationVersLaFenetrePrincipale();
    void placementSelonLaFormule();
    void placementEditeurDefile();
    void placementGardeDansLEcran();

private:
    void Remplit(const QStringList &noms, const QString &sCle = QStringLiteral("U"));
    void AfficheTables(const QString &sTexte);
    QStringList Noms() const;
    frmListeMotsCles *Popup() const { return m_fenetre->ListeMotsCles; }

    std::unique_ptr<StandIn> m_standIn;
    std::unique_ptr<frmBrenlor> m_fenetre;
};

void TestPopup::initTestCase()
{
    m_standIn = std::make_unique<StandIn>();
    QVERIFY2(m_standIn->isRunning(), qPrintable(m_standIn->output()));
}

void TestPopup::init()
{
    InstalleCapture();
    m_fenetre = OuvreFenetre(*m_standIn);
    QVERIFY(m_fenetre->txtRequete->isEnabled());
}

void TestPopup::cleanup()
{
    FermeFenetre(m_fenetre);
}

void TestPopup::Remplit(const QStringList &noms, const QString &sCle)
{
    QVector<LigneProposition> lignes;
    for (const QString &n : noms)
        lignes.append({n, sCle, QString()});
    Popup()->RemplitListe(lignes);
}

QStringList TestPopup::Noms() const
{
    QStringList noms;
    for (int i = 0; i < Popup()->Nombre(); ++i)
        noms << Popup()->TexteElement(i);
    return noms;
}

void TestPopup::AfficheTables(const QString &sTexte)
{
    m_fenetre->txtRequete->SetText(sTexte);
    m_fenetre->txtRequete->SetSelStart(sTexte.size());
    m_fenetre->AfficheProposition(2);
    QVERIFY(Popup()->isVisible());
}

void TestPopup::fenetreSansTitre()
{
    QVERIFY(Popup()->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(Popup()->isWindow());
    QVERIFY(!Popup()->isVisible());
    QCOMPARE(Popup()->size(), QSize(TwipsEnPixels(m_fenetre.get(), 4680), TwipsEnPixels(m_fenetre.get(), 3195)));
    QCOMPARE(Popup()->liv->geometry(), Popup()->rect());
    QCOMPARE(Popup()->liv->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(Popup()->tmr->interval(), 100);
    QVERIFY(!Popup()->tmr->isActive());
    QVERIFY(Popup()->ilsIcones2000 && Popup()->ilsIcones2005);
}

void TestPopup::remplissage_data()
{
    QTest::addColumn<QStringList>("noms");
    QTest::addColumn<QStringList>("cles");
    QTest::addColumn<QStringList>("listes");
    QTest::newRow("every kind of icon")
        << QStringList{"srv", "base", "t", "v", "col", "sys"}
        << QStringList{"serveurs", "bases", "U", "V", "colonnes", "S"}
        << QStringList{"srv", "base", "t", "v", "col", "sys"};
    QTest::newRow("padded type code is trimmed") << QStringList{"t"} << QStringList{"U "} << QStringList{"t"};
    QTest::newRow("first of equal names wins") << QStringList{"a", "a", "b"} << QStringList{"U", "V", "U"}
                                               << QStringList{"a", "b"};
    QTest::newRow("keys ignore case") << QStringList{"Clients", "clients"} << QStringList{"U", "U"}
                                      << QStringList{"Clients"};
    QTest::newRow("accented keys ignore case") << QStringList{"Élève", "zoë", "élève", "ZOË", "eleve"}
                                               << QStringList{"U", "U", "V", "U", "U"}
                                               << QStringList{"Élève", "zoë", "eleve"};
    QTest::newRow("names in order all kept") << QStringList{"a", "B", "c_1", "c_2"} << QStringList{"U", "V", "U", "U"}
                                             << QStringList{"a", "B", "c_1", "c_2"};
    QTest::newRow("names in order, then an equal one") << QStringList{"a", "b", "c", "B"}
                                                        << QStringList{"U", "U", "U", "V"}
                                                        << QStringList{"a", "b", "c"};
    QTest::newRow("names in order, accented ones equal") << QStringList{"a", "é", "É"} << QStringList{"U", "U", "U"}
                                                          << QStringList{"a", "é"};
    QTest::newRow("unknown icon key left out") << QStringList{"p", "t"} << QStringList{"P", "U"}
                                               << QStringList{"t"};
}

void TestPopup::remplissage()
{
    QFETCH(QStringList, noms);
    QFETCH(QStringList, cles);
    QFETCH(QStringList, listes);
    QVector<LigneProposition> lignes;
    for (int i = 0; i < noms.size(); ++i)
        lignes.append({noms.at(i), cles.at(i), QString()});
    QCOMPARE(Popup()->RemplitListe(lignes), int(listes.size()));
    QStringList vus;
    for (int i = 0; i < Popup()->Nombre(); ++i) {
        vus << Popup()->TexteElement(i);
        const int j = noms.indexOf(Popup()->TexteElement(i));
        QCOMPARE(Popup()->IconeElement(i), ilsIconesCourantes->Index(cles.at(j).trimmed()));
        const QModelIndex index = Popup()->liv->model()->index(i, 0);
        QCOMPARE(index.data(Qt::DecorationRole).value<QIcon>().cacheKey(),
                 ilsIconesCourantes->Icone(Popup()->IconeElement(i)).cacheKey());
        QVERIFY(!(index.flags() & Qt::ItemIsEditable));
    }
    QCOMPARE(vus, listes);
}

void TestPopup::changementDeJeuDIcones()
{
    Remplit({"t", "v"});
    ImageList *autre = ilsIconesCourantes == Popup()->ilsIcones2000 ? Popup()->ilsIcones2005 : Popup()->ilsIcones2000;
    m_fenetre->ChangeIcones(autre);
    QCOMPARE(ilsIconesCourantes, autre);
    for (int i = 0; i < Popup()->Nombre(); ++i) {
        QCOMPARE(Popup()->IconeElement(i), autre->Index(QStringLiteral("U")));
        QCOMPARE(Popup()->liv->model()->index(i, 0).data(Qt::DecorationRole).value<QIcon>().cacheKey(),
                 autre->Icone(Popup()->IconeElement(i)).cacheKey());
    }
}

void TestPopup::largeurDeColonne_data()
{
    QTest::addColumn<int>("elements");
    QTest::addColumn<bool>("defilement");
    QTest::newRow("few rows fit") << 3 << false;
    QTest::newRow("many rows leave room for a scroll bar") << 40 << true;
}

void TestPopup::largeurDeColonne()
{
    QFETCH(int, elements);
    QFETCH(bool, defilement);
    QStringList noms;
    for (int i = 0; i < elements; ++i)
        noms << QStringLiteral("table%1").arg(i);
    Remplit(noms);
    const int attendue = Popup()->liv->width() - (defilement ? TwipsEnPixels(m_fenetre.get(), 255) : 0) - TwipsEnPixels(m_fenetre.get(), 15);
    QCOMPARE(Popup()->liv->model()->index(0, 0).data(Qt::SizeHintRole).toSize().width(), attendue);
}

void TestPopup::choixSansElementSelectionne()
{
    // With nothing selected, Enter is only typed.
    AfficheTables(QStringLiteral("SELECT * FROM "));
    Popup()->SetSelection(-1);
    QTest::keyClick(Popup()->liv, Qt::Key_Return);
    QCOMPARE(m_fenetre->txtRequete->Text(), QStringLiteral("SELECT * FROM \r\n"));
    QVERIFY(!Popup()->isVisible());
    QVERIFY(Popup()->tmr->isActive());
}

void TestPopup::clicSurUnElement()
{
    AfficheTables(QStringLiteral("SELECT * FROM "));
    const int lRang = Noms().indexOf(QStringLiteral("commandes"));
    QVERIFY(lRang >= 0);
    const QModelIndex index = Popup()->liv->model()->index(lRang, 0);
    Popup()->liv->scrollTo(index);
    QTest::mouseClick(Popup()->liv->viewport(), Qt::LeftButton, Qt::NoModifier,
                      Popup()->liv->visualRect(index).center());
    QCOMPARE(m_fenetre->txtRequete->Text(), QStringLiteral("SELECT * FROM commandes"));
    QCOMPARE(m_fenetre->txtRequete->SelStart(), 23);
    QVERIFY(!Popup()->isVisible());
    QVERIFY(Popup()->tmr->isActive());
}

void TestPopup::espaceChoisit()
{
    AfficheTables(QStringLiteral("SELECT * FROM "));
    const QString premier = Popup()->TexteElement(0);
    QTest::keyClick(Popup()->liv, Qt::Key_Space);
    const QString attendu = premier.contains(QLatin1Char(' ')) ? QLatin1Char('[') + premier + QLatin1Char(']') : premier;
    QCOMPARE(m_fenetre->txtRequete->Text(), QStringLiteral("SELECT * FROM ") + attendu + QLatin1Char(' '));
    QVERIFY(Popup()->tmr->isActive());
}

void TestPopup::proprietaireEtNomEntreCrochets()
{
    QVector<LigneProposition> lignes{{QStringLiteral("lignes de commande"), QStringLiteral("U"), QStringLiteral("Mon schema")},
                                     {QStringLiteral("factures"), QStringLiteral("U"), QStringLiteral("Compta")}};
    Popup()->RemplitListe(lignes);
    QCOMPARE(Noms(), (QStringList{"Mon schema.lignes de commande", "Compta.factures"}));
    m_fenetre->txtRequete->SetText(QStringLiteral("SELECT * FROM lig"));
    m_fenetre->txtRequete->SetSelStart(17);
    Popup()->SetSelection(0);
    Popup()->liv_Click();
    QCOMPARE(m_fenetre->txtRequete->Text(), QStringLiteral("SELECT * FROM [Mon schema].[lignes de commande]"));
}

void TestPopup::desactivationVersUneAutreApplication()
{
    AfficheTables(QStringLiteral("SELECT * FROM "));
    QCOMPARE(FenetreActive(), Popup());
    // Another application takes the activation: a window that takes it and
    // vanishes at once leaves nothing of ours active, as a foreign one would.
    {
        QWidget autre;
        autre.show();
        ActiveFenetre(&autre);
        QCoreApplication::processEvents();  // the window system's own activation, well within a tick
        QCOMPARE(FenetreActive(), &autre);
        QCOMPARE(QGuiApplication::focusWindow(), autre.windowHandle());
    }
    QVERIFY(!FenetreActive());
    QVERIFY(!QGuiApplication::focusWindow());
    QVERIFY(Popup()->tmr->isActive());
    QTRY_VERIFY_WITH_TIMEOUT(!Popup()->tmr->isActive(), 2000);
    QVERIFY(!Popup()->isVisible());
    QTest::qWait(300);
    QVERIFY2(!FenetreActive(), "the focus stays with the other application");
}

void TestPopup::desactivationVersLaFenetrePrincipale()
{
    AfficheTables(QStringLiteral("SELECT * FROM "));
    ActiveFenetre(m_fenetre.get());
    QTRY_VERIFY_WITH_TIMEOUT(!Popup()->tmr->isActive(), 2000);
    QVERIFY(!Popup()->isVisible());
    QCOMPARE(FenetreActive(), m_fenetre.get());
}

void TestPopup::placementSelonLaFormule()
{
    // Caret after the fifth character of the first line of an unscrolled editor.
    m_fenetre->txtRequete->SetText(QStringLiteral("SELECT * FROM "));
    m_fenetre->txtRequete->SetSelStart(5);
    m_fenetre->PositionneListe();
    QVERIFY(Popup()->isVisible());
    // The text starts right of the line numbers, which the formula does not know of.
    const double dMargeNumeros = PixelsEnTwips(m_fenetre.get(), m_fenetre->txtRequete->viewport()->x());
    const double dLeft = m_fenetre->TextWidth(QStringLiteral("SELEC")) + CadreFenetreTwips(m_fenetre.get()).dLeft
        + GeometrieTwips(m_fenetre->txtRequete).left() + (CadreFenetreTwips(m_fenetre.get()).dWidth - CadreFenetreTwips(m_fenetre.get()).dScaleWidth)
        + dMargeNumeros;
    const double dTop = m_fenetre->TextHeight(QStringLiteral("e")) + CadreFenetreTwips(m_fenetre.get()).dTop
        + GeometrieTwips(m_fenetre->txtRequete).top() + (CadreFenetreTwips(m_fenetre.get()).dHeight - CadreFenetreTwips(m_fenetre.get()).dScaleHeight);
    // The estimate ignores the editor's own border and margin: a few pixels.
    QVERIFY2(qAbs(Popup()->x() - TwipsEnPixels(m_fenetre.get(), dLeft)) <= 8,
             qPrintable(QStringLiteral("%1 vs %2").arg(Popup()->x()).arg(TwipsEnPixels(m_fenetre.get(), dLeft))));
    QVERIFY2(qAbs(Popup()->y() - TwipsEnPixels(m_fenetre.get(), dTop)) <= 8,
             qPrintable(QStringLiteral("%1 vs %2").arg(Popup()->y()).arg(TwipsEnPixels(m_fenetre.get(), dTop))));
    QCOMPARE(m_fenetre->PoliceMesure(), m_fenetre->txtRequete->font());
    QCOMPARE(FenetreActive(), Popup());
}

void TestPopup::placementEditeurDefile()
{
    QStringList lignes;
    for (int i = 0; i < 80; ++i)
        lignes << QStringLiteral("-- ligne %1").arg(i);
    lignes << QStringLiteral("SELECT * FROM ");
    const QString sTexte = lignes.join(QStringLiteral("\r\n"));
    m_fenetre->txtRequete->SetText(sTexte);
    m_fenetre->txtRequete->SetSelStart(sTexte.size());
    m_fenetre->txtRequete->ensureCursorVisible();
    m_fenetre->PositionneListe();
    const QRect caret = m_fenetre->txtRequete->CaretRect();
    const QPoint sous = m_fenetre->txtRequete->viewport()->mapToGlobal(caret.bottomLeft());
    const QRect ecran = m_fenetre->screen()->availableGeometry();
    QVERIFY(ecran.contains(Popup()->frameGeometry()));
    // Right under the caret, or right above its line when the screen ends below.
    const bool bDessous = qAbs(Popup()->y() - sous.y()) <= 3;
    const bool bDessus = qAbs(Popup()->frameGeometry().bottom() + 1 - (sous.y() - caret.height())) <= 3;
    QVERIFY2(bDessous || bDessus, qPrintable(QStringLiteral("popup y %1, caret bottom %2").arg(Popup()->y()).arg(sous.y())));
    // The classic estimate would have put it 81 lines down, off the screen.
    const int lEstimation = TwipsEnPixels(m_fenetre.get(), m_fenetre->TextHeight(QStringLiteral("e")) * 81);
    QVERIFY(lEstimation > ecran.height());
}

void TestPopup::placementGardeDansLEcran()
{
    const QString sTexte = QString(400, QLatin1Char('x'));
    m_fenetre->txtRequete->setLineWrapMode(QTextEdit::NoWrap);
    m_fenetre->txtRequete->SetText(sTexte);
    m_fenetre->txtRequete->SetSelStart(sTexte.size());
    m_fenetre->txtRequete->ensureCursorVisible();
    m_fenetre->PositionneListe();
    const QRect ecran = m_fenetre->screen()->availableGeometry();
    QVERIFY2(ecran.contains(Popup()->frameGeometry()),
             qPrintable(QStringLiteral("popup %1,%2 %3x%4").arg(Popup()->x()).arg(Popup()->y())
                            .arg(Popup()->width()).arg(Popup()->height())));
}

BRENLOR_TEST_FENETRE_MAIN(TestPopup)
#include "test_popup.moc"
