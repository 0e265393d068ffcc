// The image combo of the pickers and the two icon sets it shows.
#include "comboimages.h"
#include "imagelist.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <stdexcept>

class TestComboImages : public QObject
{
    Q_OBJECT

private slots:
    void jeuxDIcones_data();
    void jeuxDIcones();
    void lesDeuxJeuxDifferent();
    void indexInconnu();
    void cleSansCasseNiBlancs_data();
    void cleSansCasseNiBlancs();
    void entreesEtCles();
    void doublonRefuse();
    void ajoutNeSelectionneRien();
    void changementsDuCodeMuets();
    void changementsDeLUtilisateur();
    void imagesRecalculeesAuChangementDeJeu();
    void keyUpApresAppuiSeulement();
};

void TestComboImages::jeuxDIcones_data()
{
    QTest::addColumn<bool>("plat");
    QTest::newRow("2000") << false;
    QTest::newRow("2005") << true;
}

void TestComboImages::jeuxDIcones()
{
    QFETCH(bool, plat);
    ImageList *jeu = plat ? ImageList::Icones2005() : ImageList::Icones2000();
    QCOMPARE(jeu->Count(), 10);
    QCOMPARE(ImageList::Cles(), (QStringList{"serveurs", "bases", "U", "V", "colonnes", "declencheurs",
                                             "procstockees", "FN", "S", "jointures"}));
    for (int i = 1; i <= 10; ++i) {
        QCOMPARE(jeu->Index(ImageList::Cles().at(i - 1)), i);
        const QImage image = jeu->Icone(i).pixmap(16, 16).toImage();
        QCOMPARE(image.size(), QSize(16, 16));
        // Transparent around, drawn in the middle.
        QVERIFY(image.hasAlphaChannel());
        QVERIFY(qAlpha(image.pixel(8, 8)) > 0 || qAlpha(image.pixel(7, 7)) > 0);
    }
    QVERIFY(jeu->Icone(0).isNull());
    QVERIFY(jeu->Icone(11).isNull());
}

void TestComboImages::lesDeuxJeuxDifferent()
{
    for (int i = 1; i <= 10; ++i)
        QVERIFY2(ImageList::Icones2000()->Icone(i).pixmap(16).toImage()
                     != ImageList::Icones2005()->Icone(i).pixmap(16).toImage(),
                 qPrintable(ImageList::Cles().at(i - 1)));
    // Within a set, every key has a picture of its own.
    for (int i = 1; i <= 10; ++i)
        for (int j = i + 1; j <= 10; ++j)
            QVERIFY(ImageList::Icones2005()->Icone(i).pixmap(16).toImage()
                    != ImageList::Icones2005()->Icone(j).pixmap(16).toImage());
}

void TestComboImages::indexInconnu()
{
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, ImageList::Icones2005()->Index(QStringLiteral("P")));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, ImageList::Icones2005()->Index(QString()));
}

void TestComboImages::cleSansCasseNiBlancs_data()
{
    QTest::addColumn<QString>("cle");
    QTest::addColumn<int>("index");
    QTest::newRow("exacte") << "U" << 3;
    QTest::newRow("type du catalogue avec blanc") << "U " << 3;
    QTest::newRow("minuscules") << "fn" << 8;
    QTest::newRow("capitales") << "BASES" << 2;
}

void TestComboImages::cleSansCasseNiBlancs()
{
    QFETCH(QString, cle);
    QFETCH(int, index);
    QCOMPARE(ImageList::Icones2000()->Index(cle), index);
}

void TestComboImages::entreesEtCles()
{
    ComboImages c;
    QVERIFY(c.isEditable());
    QVERIFY(c.AjouteEntree("SRV1", "SRV1", 1, "serveurs"));
    QVERIFY(c.AjouteEntree("Ventes", "Ventes", 2, "bases"));
    QCOMPARE(c.Count(), 2);
    QCOMPARE(c.IndexCle("ventes"), 1);
    QCOMPARE(c.IndexCle("VENTES"), 1);
    QCOMPARE(c.IndexCle("Vente"), -1);
    QCOMPARE(c.Tags(), (QStringList{"serveurs", "bases"}));
    QCOMPARE(c.Image(1), 2);
    QVERIFY(c.SelectionneCle("srv1"));
    QCOMPARE(c.Text(), QStringLiteral("SRV1"));
    QVERIFY(!c.SelectionneCle("absent"));
    QCOMPARE(c.currentIndex(), 0);
    c.EffaceSelection();
    QCOMPARE(c.currentIndex(), -1);
    QCOMPARE(c.Text(), QString());
}

void TestComboImages::doublonRefuse()
{
    ComboImages c;
    QVERIFY(c.AjouteEntree("SRV1", "SRV1", 1, "serveurs"));
    QVERIFY(!c.AjouteEntree("srv1", "srv1", 1, "serveurs"));
    QVERIFY(!c.AjouteEntree(QString(), "vide", 1, "serveurs"));
    QVERIFY(c.AjouteEntree("SRV2", "SRV2", 1, "serveurs"));
    QCOMPARE(c.Count(), 2);
}

void TestComboImages::ajoutNeSelectionneRien()
{
    ComboImages c;
    c.SetText("tape");
    c.AjouteEntree("A", "A", 1, "bases");
    QCOMPARE(c.currentIndex(), -1);
    QCOMPARE(c.Text(), QStringLiteral("tape"));
    // Enter adds no entry of its own.
    c.show();
    c.setFocus();
    QTest::keyClick(&c, Qt::Key_Return);
    QCOMPARE(c.Count(), 1);
}

void TestComboImages::changementsDuCodeMuets()
{
    ComboImages c;
    QSignalSpy espion(&c, &ComboImages::TexteModifieParUtilisateur);
    c.AjouteEntree("master", "master", 2, "bases");
    c.AjouteEntree("Ventes", "Ventes", 2, "bases");
    c.SelectionneCle("Ventes");
    c.Selectionne(0);
    c.SetText("x");
    c.EffaceSelection();
    c.SetImageList(ImageList::Icones2000());
    c.SetImage(0, 3);
    c.Clear();
    QCOMPARE(espion.count(), 0);
}

void TestComboImages::changementsDeLUtilisateur()
{
    ComboImages c;
    c.AjouteEntree("master", "master", 2, "bases");
    c.AjouteEntree("Ventes", "Ventes", 2, "bases");
    c.show();
    c.setFocus();
    QSignalSpy espion(&c, &ComboImages::TexteModifieParUtilisateur);
    QTest::keyClicks(c.lineEdit(), QStringLiteral("ab"));
    QCOMPARE(espion.count(), 2);
    QCOMPARE(espion.last().at(0).toString(), QStringLiteral("ab"));
    c.Selectionne(0);
    QTest::keyClick(&c, Qt::Key_Down);
    QCOMPARE(c.Text(), QStringLiteral("Ventes"));
    QCOMPARE(espion.count(), 3);
    QCOMPARE(espion.last().at(0).toString(), QStringLiteral("Ventes"));
}

void TestComboImages::imagesRecalculeesAuChangementDeJeu()
{
    ComboImages c;
    c.SetImageList(ImageList::Icones2005());
    c.AjouteEntree("SRV1", "SRV1", 1, "serveurs");
    QCOMPARE(c.itemIcon(0).pixmap(16).toImage(), ImageList::Icones2005()->Icone(1).pixmap(16).toImage());
    c.SetImageList(ImageList::Icones2000());
    QCOMPARE(c.itemIcon(0).pixmap(16).toImage(), ImageList::Icones2000()->Icone(1).pixmap(16).toImage());
    c.SetImageList(nullptr);
    QVERIFY(c.itemIcon(0).isNull());
    QCOMPARE(c.Tag(0), QStringLiteral("serveurs"));
}

void TestComboImages::keyUpApresAppuiSeulement()
{
    ComboImages c;
    c.show();
    c.setFocus();
    QList<int> codes;
    c.KeyUp = [&](int k, int) { codes << k; };
    QTest::keyRelease(&c, Qt::Key_Return);
    QCOMPARE(codes, QList<int>());
    QTest::keyClick(&c, Qt::Key_Return);
    QCOMPARE(codes, QList<int>{13});
    QTest::keyClick(c.lineEdit(), Qt::Key_A);
    QCOMPARE(codes, (QList<int>{13, 65}));
}

QTEST_MAIN(TestComboImages)
#include "test_comboimages.moc"
