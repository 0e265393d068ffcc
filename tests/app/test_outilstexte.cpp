// The three text-tool controls of the main window: "Formater",
// "Chercher différence" and "Retour à la ligne automatique".
#include "decouvertetest.h"
#include "capturemessages.h"
#include "comboimages.h"
#include "configprivee.h"
#include "editeurriche.h"
#include "formateur.h"
#include "frmbrenlor.h"
#include "motscles.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <memory>


class TestOutilsTexte : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void formaterLesDeuxEditeurs();
    void formaterAnnulableParCtrlZ();
    void formaterTexteDejaFormate();
    void comparer_data();
    void comparer();
    void retourALaLigneAuDemarrage();
    void retourALaLigneDeuxClics();
    void largeurWSelonLaPoliceDeMesure();

private:
    std::unique_ptr<frmBrenlor> Fenetre();
    QList<MessageCapture> &m_messages = MessagesCaptures();
};

void TestOutilsTexte::initTestCase()
{
    QVERIFY(kConfigPrivee);
    InstalleCapture();
}

void TestOutilsTexte::init()
{
    m_messages.clear();
}

std::unique_ptr<frmBrenlor> TestOutilsTexte::Fenetre()
{
    auto f = std::make_unique<frmBrenlor>(DecouverteDe({}));
    InitialiseMotsCles(f->TableMotsCles);
    f->show();
    return f;
}

void TestOutilsTexte::formaterLesDeuxEditeurs()
{
    auto f = Fenetre();
    const QString t1 = QStringLiteral("select a, b from t where a = 1 order by b");
    const QString t2 = QStringLiteral("select x\r\nfrom (select x from u) v");
    f->txtRequete->SetText(t1);
    f->txtRequete2->SetText(t2);
    f->btnComparer->setFocus();
    f->btnFormater_Click();
    QCOMPARE(f->txtRequete->Text(), FormatSQL(t1, false, f->TableMotsCles));
    QCOMPARE(f->txtRequete2->Text(), FormatSQL(t2, false, f->TableMotsCles));
    QVERIFY(f->txtRequete->Text() != t1);
    QVERIFY(f->txtRequete->Text().contains(QLatin1String("\r\nFROM")));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QTRY_VERIFY(f->txtRequete->hasFocus());
}

void TestOutilsTexte::formaterAnnulableParCtrlZ()
{
    auto f = Fenetre();
    QVERIFY(QTest::qWaitForWindowExposed(f.get()));
    const QString t1 = QStringLiteral("select a from t\r\nwhere b = 2");
    const QString t2 = QStringLiteral("select c from u");
    f->txtRequete->SetText(t1);
    f->txtRequete2->SetText(t2);
    f->btnFormater->setEnabled(true);
    QTest::mouseClick(f->btnFormater, Qt::LeftButton);
    QVERIFY(f->txtRequete->Text() != t1);
    QVERIFY(f->txtRequete2->Text() != t2);
    const QString formate2 = f->txtRequete2->Text();
    QTRY_VERIFY(f->txtRequete->hasFocus());
    QTest::keyClick(f->txtRequete, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f->txtRequete->Text(), t1);
    // One step each: the other editor keeps its formatting until undone there.
    QCOMPARE(f->txtRequete2->Text(), formate2);
    f->txtRequete2->setFocus();
    QTest::keyClick(f->txtRequete2, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f->txtRequete2->Text(), t2);
}

void TestOutilsTexte::formaterTexteDejaFormate()
{
    auto f = Fenetre();
    f->txtRequete->SetText(QStringLiteral("select a from t"));
    f->btnFormater_Click();
    const QString formate = f->txtRequete->Text();
    const int etapes = f->txtRequete->document()->availableUndoSteps();
    f->btnFormater_Click();
    QCOMPARE(f->txtRequete->Text(), FormatSQL(formate, false, f->TableMotsCles));
    if (f->txtRequete->Text() == formate)
        QCOMPARE(f->txtRequete->document()->availableUndoSteps(), etapes);
}

void TestOutilsTexte::comparer_data()
{
    QTest::addColumn<QString>("texte1");
    QTest::addColumn<QString>("texte2");
    QTest::addColumn<bool>("message");
    QTest::addColumn<int>("debut");
    QTest::addColumn<int>("longueur1");
    QTest::addColumn<int>("longueur2");
    QTest::addColumn<int>("focus");  // 0 unchanged, 1 or 2
    QTest::newRow("casse seule") << "SELECT A from T" << "select a FROM t" << true << 0 << 0 << 0 << 0;
    QTest::newRow("deux vides") << "" << "" << true << 0 << 0 << 0 << 0;
    QTest::newRow("accents en capitales") << "ÉTÉ" << "été" << true << 0 << 0 << 0 << 0;
    QTest::newRow("premier vide") << "" << "abc" << false << 0 << 0 << 2 << 2;
    QTest::newRow("second prolonge") << "abc" << "abcdef" << false << 3 << 0 << 2 << 2;
    QTest::newRow("premiers caracteres differents") << "xyz" << "qyz" << false << 0 << 0 << 2 << 2;
    QTest::newRow("un caractere remplace") << "select x from t" << "select y from t" << false << 7 << 0 << 7 << 2;
    QTest::newRow("tabulation remplacee") << "ab\tcd" << "abxcd" << false << 2 << 2 << 0 << 1;
    QTest::newRow("caractere insere") << "ab cd" << "abX cd" << false << 2 << 1 << 0 << 1;
    QTest::newRow("apres un saut de ligne") << "x\r\ny\r\nz" << "x\r\nq\r\nz" << false << 3 << 0 << 3 << 2;
}

void TestOutilsTexte::comparer()
{
    QFETCH(QString, texte1);
    QFETCH(QString, texte2);
    QFETCH(bool, message);
    QFETCH(int, debut);
    QFETCH(int, longueur1);
    QFETCH(int, longueur2);
    QFETCH(int, focus);
    auto f = Fenetre();
    QVERIFY(QTest::qWaitForWindowExposed(f.get()));
    f->txtRequete->SetText(texte1);
    f->txtRequete2->SetText(texte2);
    f->txtRequete->SetSelStart(1);
    f->txtRequete->SetSelLength(1);
    f->txtRequete2->SetSelStart(1);
    f->txtRequete2->SetSelLength(1);
    f->btnComparer->setFocus();
    QTest::mouseClick(f->btnComparer, Qt::LeftButton);
    if (message) {
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages.at(0).sTexte, QStringLiteral("Aucune différence."));
        QCOMPARE(m_messages.at(0).icone, IconeMessage::Information);
        QCOMPARE(m_messages.at(0).sTitre, QStringLiteral("Brenlor"));
    } else {
        QVERIFY(m_messages.isEmpty());
    }
    QCOMPARE(f->txtRequete->SelStart(), debut);
    QCOMPARE(f->txtRequete2->SelStart(), debut);
    QCOMPARE(f->txtRequete->SelLength(), longueur1);
    QCOMPARE(f->txtRequete2->SelLength(), longueur2);
    if (focus == 0)
        QVERIFY(f->btnComparer->hasFocus());
    else
        QTRY_VERIFY((focus == 1 ? f->txtRequete : f->txtRequete2)->hasFocus());
}

void TestOutilsTexte::retourALaLigneAuDemarrage()
{
    auto f = std::make_unique<frmBrenlor>(DecouverteDe({}));
    f->Form_Load();
    const double w = f->TextWidth(QString(32767, QLatin1Char('W')));
    // Wider than any query line: about forty times the 66000 of the ticked box.
    QVERIFY2(w > 66000.0 * 10, qPrintable(QString::number(w)));
    QCOMPARE(f->txtRequete->RightMargin(), w);
    QCOMPARE(f->txtRequete2->RightMargin(), w);
    QCOMPARE(f->txtRequete->ScrollBars(), 2);
    QCOMPARE(f->txtRequete2->ScrollBars(), 2);
    QCOMPARE(f->txtRequete->lineWrapMode(), QTextEdit::FixedPixelWidth);
    f->close();
}

void TestOutilsTexte::retourALaLigneDeuxClics()
{
    auto f = Fenetre();
    QVERIFY(QTest::qWaitForWindowExposed(f.get()));
    f->chkLimiteADroite->setEnabled(true);
    f->chkLimiteADroite_Click();
    const double w = f->txtRequete->RightMargin();
    QTest::mouseClick(f->chkLimiteADroite, Qt::LeftButton, {}, QPoint(5, f->chkLimiteADroite->height() / 2));
    QVERIFY(f->chkLimiteADroite->isChecked());
    QCOMPARE(f->txtRequete->RightMargin(), 66000.0);
    QCOMPARE(f->txtRequete2->RightMargin(), 0.0);
    QCOMPARE(f->txtRequete->ScrollBars(), 3);
    QCOMPARE(f->txtRequete2->ScrollBars(), 3);
    QCOMPARE(f->txtRequete2->lineWrapMode(), QTextEdit::WidgetWidth);
    QCOMPARE(f->txtRequete->lineWrapColumnOrWidth(), qRound(66000.0 * f->logicalDpiX() / 1440));
    QTest::mouseClick(f->chkLimiteADroite, Qt::LeftButton, {}, QPoint(5, f->chkLimiteADroite->height() / 2));
    QVERIFY(!f->chkLimiteADroite->isChecked());
    QCOMPARE(f->txtRequete->RightMargin(), w);
    QCOMPARE(f->txtRequete2->RightMargin(), w);
    QCOMPARE(f->txtRequete->ScrollBars(), 2);
    QCOMPARE(f->txtRequete2->ScrollBars(), 2);
    // A greyed box counts as ticked.
    f->chkLimiteADroite->setTristate(true);
    f->chkLimiteADroite->setCheckState(Qt::PartiallyChecked);
    f->chkLimiteADroite_Click();
    QCOMPARE(f->txtRequete->RightMargin(), 66000.0);
}

void TestOutilsTexte::largeurWSelonLaPoliceDeMesure()
{
    auto f = Fenetre();
    const double parDefaut = f->TextWidth(QStringLiteral("W"));
    QFont grande = f->PoliceMesure();
    grande.setPointSizeF(grande.pointSizeF() * 3);
    f->SetPoliceMesure(grande);
    QVERIFY(f->TextWidth(QStringLiteral("W")) > parDefaut * 2);
    f->chkLimiteADroite_Click();
    QCOMPARE(f->txtRequete->RightMargin(), f->TextWidth(QString(32767, QLatin1Char('W'))));
    // Widths are in twips: a text's pixel width times 1440 / dpi.
    const QFontMetricsF fm(grande, f.get());
    QVERIFY(qAbs(f->TextWidth(QStringLiteral("SELECT")) - fm.horizontalAdvance(QStringLiteral("SELECT")) * 1440 / f->logicalDpiX()) < 0.01);
    QVERIFY(f->TextHeight(QStringLiteral("a\r\nb")) > f->TextHeight(QStringLiteral("a")) * 1.9);
}

QTEST_MAIN(TestOutilsTexte)
#include "test_outilstexte.moc"
