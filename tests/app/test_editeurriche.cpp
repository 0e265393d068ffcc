// The query editor's interface: CR LF texts and offsets over a document that
// holds one character per line break, display lines, wrapping, keys, undo.
#include "editeurriche.h"
#include "textesuivi.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

namespace {

// The selection as the CR LF text the rest of the program sees.
QString TexteSelectionne(const EditeurRiche &e)
{
    return e.TexteLf(true).replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

// A line long enough to be held folded: words, so that pieces end at blanks.
QString LigneTresLongue(int lMots)
{
    QString s;
    for (int i = 0; i < lMots; ++i)
        s += QStringLiteral("mot%1 ").arg(i);
    return s;
}

bool EntreCrEtLf(const QString &s, int o)
{
    return o > 0 && o < s.size() && s.at(o - 1) == QLatin1Char('\r') && s.at(o) == QLatin1Char('\n');
}

} // namespace

class TestEditeurRiche : public QObject
{
    Q_OBJECT

private slots:
    void texteEnCrLf_data();
    void texteEnCrLf();
    void chaqueOffsetAllerRetour_data();
    void chaqueOffsetAllerRetour();
    void selectionSurSauts_data();
    void selectionSurSauts();
    void offsetsHorsTexte();
    void grandTexte();
    void ligneAffichee_data();
    void ligneAffichee();
    void ligneAfficheeLignesRepliees();
    void margeDroite_data();
    void margeDroite();
    void barresDefilement_data();
    void barresDefilement();
    void setTextUneEtapeAnnulable();
    void remplacePlage_data();
    void remplacePlage();
    void texteSuiviDesChangements();
    void ctrlZApresSetText();
    void collageNormaliseLesSauts();
    void grandCollageParParties();
    void majEntreeDonneUnSautCrLf();
    void keyDownCodesEtMaj_data();
    void keyDownCodesEtMaj();
    void keyDownConsomme();
    void keyPressApresInsertion();
    void couleursSansToucherAuTexte();
    void numerosSuiventLeRetour();
    void retourFixeMesureDepuisLeTexte();
    void remplacePlageUneEtape();
    void allerALaLigne();
    void lignesPliees_data();
    void lignesPliees();
};

void TestEditeurRiche::texteEnCrLf_data()
{
    QTest::addColumn<QString>("entree");
    QTest::addColumn<QString>("attendu");
    QTest::newRow("vide") << QString() << QString();
    QTest::newRow("une ligne") << "select 1" << "select 1";
    QTest::newRow("crlf garde") << "a\r\nb" << "a\r\nb";
    QTest::newRow("lf seul elargi") << "a\nb" << "a\r\nb";
    QTest::newRow("cr seul elargi") << "a\rb" << "a\r\nb";
    QTest::newRow("ligne vide au milieu") << "a\r\n\r\nb" << "a\r\n\r\nb";
    QTest::newRow("saut final") << "a\r\n" << "a\r\n";
    QTest::newRow("ligne pliee") << "a\r\n" + LigneTresLongue(900) + "\r\nb" << "a\r\n" + LigneTresLongue(900) + "\r\nb";
    // Longer than the first part written: cut inside the line, folded on.
    QTest::newRow("ligne sans blanc au dela d'une partie") << QString(70001, QLatin1Char('x')) << QString(70001, QLatin1Char('x'));
    QTest::newRow("paires de substitution") << QString(3000, QLatin1Char('a')) + QString::fromUtf8("\xF0\x9F\x98\x80").repeated(2500)
                                            << QString(3000, QLatin1Char('a')) + QString::fromUtf8("\xF0\x9F\x98\x80").repeated(2500);
    QTest::newRow("saut seul") << "\r\n" << "\r\n";
    QTest::newRow("melange") << "a\n\rb\r\r\nc" << "a\r\n\r\nb\r\n\r\nc";
    QTest::newRow("tabulations et accents") << "\tÉté\r\n\tça" << "\tÉté\r\n\tça";
    QTest::newRow("separateurs unicode") << QString("a") + QChar(0x2028) + "b" + QChar(0x2029) + "c"
                                         << "a\r\nb\r\nc";
}

void TestEditeurRiche::texteEnCrLf()
{
    QFETCH(QString, entree);
    QFETCH(QString, attendu);
    EditeurRiche e;
    e.SetText(entree);
    QCOMPARE(e.Text(), attendu);
    QCOMPARE(e.SelStart(), 0);
    QCOMPARE(e.SelLength(), 0);
}

void TestEditeurRiche::chaqueOffsetAllerRetour_data()
{
    QTest::addColumn<QString>("texte");
    QTest::newRow("sans saut") << "abc";
    QTest::newRow("un saut") << "ab\r\ncd";
    QTest::newRow("sauts consecutifs") << "a\r\n\r\n\r\nb";
    QTest::newRow("commence par un saut") << "\r\nabc";
    QTest::newRow("finit par un saut") << "abc\r\n";
    QTest::newRow("seulement des sauts") << "\r\n\r\n";
    QTest::newRow("requete") << "SELECT *\r\nFROM clients\r\nWHERE id = 1\r\n";
    QTest::newRow("ligne pliee") << "ab\r\n" + LigneTresLongue(700) + "\r\n\r\ncd";
}

void TestEditeurRiche::chaqueOffsetAllerRetour()
{
    QFETCH(QString, texte);
    EditeurRiche e;
    e.SetText(texte);
    QCOMPARE(e.Text(), texte);
    for (int o = 0; o <= texte.size(); ++o) {
        e.SetSelStart(o);
        // Inside a CR LF the caret goes after the break.
        const int attendu = EntreCrEtLf(texte, o) ? o + 1 : o;
        QVERIFY2(e.SelStart() == attendu,
                 qPrintable(QStringLiteral("offset %1 gave %2").arg(o).arg(e.SelStart())));
        QCOMPARE(e.SelLength(), 0);
        // The characters before the caret are exactly the text's first ones.
        QTextCursor c = e.textCursor();
        c.setPosition(0, QTextCursor::KeepAnchor);
        e.setTextCursor(c);
        QCOMPARE(TexteSelectionne(e), texte.left(attendu));
        QCOMPARE(e.OffsetTexte(e.PositionDocument(attendu)), attendu);
    }
}

void TestEditeurRiche::selectionSurSauts_data()
{
    QTest::addColumn<QString>("texte");
    QTest::addColumn<int>("debut");
    QTest::addColumn<int>("longueur");
    QTest::addColumn<int>("longueurLue");
    const QString t = QStringLiteral("ab\r\ncd\r\n\r\nef");
    QTest::newRow("dans une ligne") << t << 0 << 2 << 2;
    QTest::newRow("saut entier") << t << 2 << 2 << 2;
    QTest::newRow("par dessus un saut") << t << 1 << 4 << 4;
    QTest::newRow("finit sur le CR prend le saut") << t << 0 << 3 << 4;
    QTest::newRow("deux sauts de suite") << t << 6 << 4 << 4;
    QTest::newRow("jusqu a la fin") << t << 4 << 8 << 8;
    QTest::newRow("au dela de la fin rogne") << t << 4 << 100 << 8;
    QTest::newRow("longueur negative vide") << t << 4 << -3 << 0;
    QTest::newRow("tout") << t << 0 << int(t.size()) << int(t.size());
}

void TestEditeurRiche::selectionSurSauts()
{
    QFETCH(QString, texte);
    QFETCH(int, debut);
    QFETCH(int, longueur);
    QFETCH(int, longueurLue);
    EditeurRiche e;
    e.SetText(texte);
    e.SetSelStart(debut);
    e.SetSelLength(longueur);
    QCOMPARE(e.SelStart(), debut);
    QCOMPARE(e.SelLength(), longueurLue);
    QCOMPARE(TexteSelectionne(e), texte.mid(debut, longueurLue));
}

void TestEditeurRiche::offsetsHorsTexte()
{
    EditeurRiche e;
    e.SetText(QStringLiteral("ab\r\ncd"));
    e.SetSelStart(-5);
    QCOMPARE(e.SelStart(), 0);
    e.SetSelStart(1000);
    QCOMPARE(e.SelStart(), 6);
    QCOMPARE(e.OffsetTexte(1000), 6);
    QCOMPARE(e.PositionDocument(1000), 5);
}

void TestEditeurRiche::grandTexte()
{
    // Many lines: the look-up by block number must still land exactly.
    QString texte;
    for (int i = 0; i < 3000; ++i)
        texte += QStringLiteral("ligne %1\r\n").arg(i);
    EditeurRiche e;
    e.SetText(texte);
    QCOMPARE(e.Text(), texte);
    for (int i = 0; i < 3000; i += 97) {
        const QString ligne = QStringLiteral("ligne %1\r\n").arg(i);
        const int o = int(texte.indexOf(ligne));
        e.SetSelStart(o);
        e.SetSelLength(int(ligne.size()));
        QCOMPARE(e.SelStart(), o);
        QCOMPARE(TexteSelectionne(e), ligne);
        QCOMPARE(e.GetLineFromChar(o), i);
    }
}

void TestEditeurRiche::ligneAffichee_data()
{
    QTest::addColumn<QString>("texte");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("ligne");
    const QString t = QStringLiteral("ab\r\ncd\r\n\r\nef");
    QTest::newRow("debut") << t << 0 << 0;
    QTest::newRow("fin de premiere ligne") << t << 2 << 0;
    QTest::newRow("entre CR et LF") << t << 3 << 1;
    QTest::newRow("debut de seconde ligne") << t << 4 << 1;
    QTest::newRow("ligne vide") << t << 8 << 2;
    QTest::newRow("derniere ligne") << t << 10 << 3;
    QTest::newRow("fin du texte") << t << 12 << 3;
    QTest::newRow("au dela") << t << 50 << 3;
}

void TestEditeurRiche::ligneAffichee()
{
    QFETCH(QString, texte);
    QFETCH(int, offset);
    QFETCH(int, ligne);
    EditeurRiche e;
    e.resize(400, 200);
    e.SetText(texte);
    QCOMPARE(e.GetLineFromChar(offset), ligne);
}

void TestEditeurRiche::ligneAfficheeLignesRepliees()
{
    // A narrow editor wraps a long line: display lines are counted, not
    // paragraphs. The caret's height tells the display line independently.
    EditeurRiche e;
    e.setFont(QFont(QStringLiteral("Liberation Mono"), 10));
    e.SetRightMargin(0);
    e.resize(160, 400);
    e.show();
    QString longue;
    for (int i = 0; i < 40; ++i)
        longue += QStringLiteral("mot%1 ").arg(i);
    const QString texte = QStringLiteral("court\r\n") + longue + QStringLiteral("\r\nfin");
    e.SetText(texte);
    QVERIFY(QTest::qWaitForWindowExposed(&e));
    const QRect premier = [&] { e.SetSelStart(0); return e.CaretRect(); }();
    int precedente = 0;
    int hauteurLigne = QFontMetrics(e.font()).lineSpacing();
    for (int o = 0; o <= texte.size(); ++o) {
        if (EntreCrEtLf(texte, o))
            continue;
        e.SetSelStart(o);
        const int parY = qRound(double(e.CaretRect().top() - premier.top()) / hauteurLigne);
        const int ligne = e.GetLineFromChar(o);
        QVERIFY2(ligne >= precedente, "display lines never go back");
        // The caret at a wrap point may be drawn at the end of the upper line.
        QVERIFY2(qAbs(ligne - parY) <= 1,
                 qPrintable(QStringLiteral("offset %1: line %2, caret row %3").arg(o).arg(ligne).arg(parY)));
        precedente = ligne;
    }
    QVERIFY2(e.GetLineFromChar(int(texte.size())) > 3, "the long line wrapped into several");
    // Every character of the last line is on the last display line.
    QCOMPARE(e.GetLineFromChar(int(texte.size()) - 1), e.GetLineFromChar(int(texte.size())));
}

void TestEditeurRiche::margeDroite_data()
{
    QTest::addColumn<double>("twips");
    QTest::addColumn<int>("mode");
    QTest::addColumn<double>("pouces");
    QTest::newRow("zero = bord de l editeur") << 0.0 << int(QTextEdit::WidgetWidth) << 0.0;
    QTest::newRow("un pouce") << 1440.0 << int(QTextEdit::FixedPixelWidth) << 1.0;
    QTest::newRow("66000 twips") << 66000.0 << int(QTextEdit::FixedPixelWidth) << 66000.0 / 1440;
}

void TestEditeurRiche::margeDroite()
{
    QFETCH(double, twips);
    QFETCH(int, mode);
    QFETCH(double, pouces);
    EditeurRiche e;
    e.SetRightMargin(twips);
    QCOMPARE(int(e.lineWrapMode()), mode);
    QCOMPARE(e.RightMargin(), twips);
    if (mode == QTextEdit::FixedPixelWidth)
        QCOMPARE(e.lineWrapColumnOrWidth(), qRound(pouces * e.logicalDpiX()));
}

void TestEditeurRiche::barresDefilement_data()
{
    QTest::addColumn<int>("barres");
    QTest::addColumn<int>("horizontale");
    QTest::addColumn<int>("verticale");
    QTest::newRow("2 verticale seule") << 2 << int(Qt::ScrollBarAlwaysOff) << int(Qt::ScrollBarAsNeeded);
    QTest::newRow("3 les deux") << 3 << int(Qt::ScrollBarAsNeeded) << int(Qt::ScrollBarAsNeeded);
}

void TestEditeurRiche::barresDefilement()
{
    QFETCH(int, barres);
    QFETCH(int, horizontale);
    QFETCH(int, verticale);
    EditeurRiche e;
    e.SetScrollBars(5 - barres);
    e.SetScrollBars(barres);
    QCOMPARE(e.ScrollBars(), barres);
    QCOMPARE(int(e.horizontalScrollBarPolicy()), horizontale);
    QCOMPARE(int(e.verticalScrollBarPolicy()), verticale);
}

void TestEditeurRiche::setTextUneEtapeAnnulable()
{
    EditeurRiche e;
    e.SetText(QStringLiteral("select a\r\nfrom t"));
    e.SetText(QStringLiteral("SELECT a \r\nFROM t"));
    QVERIFY(e.document()->isUndoAvailable());
    e.undo();
    QCOMPARE(e.Text(), QStringLiteral("select a\r\nfrom t"));
    e.redo();
    QCOMPARE(e.Text(), QStringLiteral("SELECT a \r\nFROM t"));
}

void TestEditeurRiche::remplacePlage_data()
{
    QTest::addColumn<int>("debut");
    QTest::addColumn<int>("longueur");
    QTest::addColumn<QString>("insere");
    QTest::addColumn<QString>("attendu");  // the last lines of the text, "|" at the caret
    QTest::newRow("mot remplace") << -2 << 2 << "clients" << "ligne 199\r\nFROM clients|";
    QTest::newRow("insertion seule") << -2 << 0 << "x" << "ligne 199\r\nFROM x|cl";
    QTest::newRow("saut entier efface") << -9 << 2 << "" << "ligne 199|FROM cl";
    QTest::newRow("saut insere en CR LF") << -2 << 2 << "a\r\nb" << "ligne 199\r\nFROM a\r\nb|";
}

void TestEditeurRiche::remplacePlage()
{
    // A long text scrolled to its top: the edit at its end, one undo step,
    // and the view stays where it is.
    QFETCH(int, debut);
    QFETCH(int, longueur);
    QFETCH(QString, insere);
    QFETCH(QString, attendu);
    EditeurRiche e;
    e.resize(300, 200);
    e.show();
    QVERIFY(QTest::qWaitForWindowExposed(&e));
    QString sTexte;
    for (int i = 0; i < 200; ++i)
        sTexte += QStringLiteral("ligne %1\r\n").arg(i);
    sTexte += QStringLiteral("FROM cl");
    e.SetText(sTexte);
    e.verticalScrollBar()->setValue(0);
    e.RemplacePlage(int(sTexte.size()) + debut, longueur, insere);
    QString sApres = e.Text();
    sApres.insert(e.SelStart(), QLatin1Char('|'));
    QCOMPARE(sApres.mid(sTexte.size() - 18), attendu);
    QCOMPARE(e.verticalScrollBar()->value(), 0);
    e.undo();
    QCOMPARE(e.Text(), sTexte);
}

void TestEditeurRiche::texteSuiviDesChangements()
{
    // The text kept from the document's changes is the editor's own after
    // every kind of change.
    EditeurRiche e;
    e.show();
    QVERIFY(QTest::qWaitForWindowExposed(&e));
    e.setFocus();
    TexteSuivi suivi;
    e.SetText(QStringLiteral("SELECT a\r\nFROM t\r\nWHERE x"));
    QCOMPARE(suivi.Texte(&e), e.Text());
    const std::vector<std::function<void()>> changements{
        [&] { e.RemplacePlage(8, 2, QStringLiteral(",\r\n  b\r\n")); },
        [&] { e.RemplacePlage(0, 0, QStringLiteral("-- x\r\n")); },
        [&] { e.SetSelStart(12); QTest::keyClicks(&e, QStringLiteral("cd")); },
        [&] { QTest::keyClick(&e, Qt::Key_Return); },
        [&] { QTest::keyClick(&e, Qt::Key_Backspace); QTest::keyClick(&e, Qt::Key_Backspace); },
        [&] { e.SetSelStart(0); e.SetSelLength(9); QTest::keyClick(&e, Qt::Key_Delete); },
        [&] { e.undo(); },
        [&] { e.undo(); e.undo(); },
        [&] { e.redo(); },
        [&] { e.SetText(QStringLiteral("x\r\n\r\ny")); },
        [&] { e.SetSelStart(3); QTest::keyClick(&e, Qt::Key_Backspace); },
        [&] { e.RemplacePlage(0, int(e.Text().size()), QString()); },
        [&] { QTest::keyClicks(&e, QStringLiteral("ab")); QTest::keyClick(&e, Qt::Key_Return); },
        [&] { e.SetText(QStringLiteral("a\r\n") + LigneTresLongue(900)); },
        [&] { e.SetSelStart(5000); QTest::keyClick(&e, Qt::Key_Return); QTest::keyClick(&e, Qt::Key_Backspace); },
    };
    for (size_t i = 0; i < changements.size(); ++i) {
        changements[i]();
        QCOMPARE(suivi.Texte(&e), e.Text());
    }
}

void TestEditeurRiche::ctrlZApresSetText()
{
    EditeurRiche e;
    e.show();
    QVERIFY(QTest::qWaitForWindowExposed(&e));
    e.setFocus();
    QTest::keyClicks(&e, QStringLiteral("select 1"));
    const QString tape = e.Text();
    e.SetText(QStringLiteral("SELECT 1\r\n"));
    QTest::keyClick(&e, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(e.Text(), tape);
}

void TestEditeurRiche::collageNormaliseLesSauts()
{
    EditeurRiche e;
    e.SetText(QStringLiteral("X"));
    e.SetSelStart(1);
    QMimeData donnees;
    donnees.setText(QStringLiteral("a\rb\nc\r\nd"));
    // insertFromMimeData is what paste and drop go through.
    struct Acces : EditeurRiche { using EditeurRiche::insertFromMimeData; };
    static_cast<Acces &>(e).insertFromMimeData(&donnees);
    QCOMPARE(e.Text(), QStringLiteral("Xa\r\nb\r\nc\r\nd"));
    QCOMPARE(e.document()->blockCount(), 4);
}

void TestEditeurRiche::grandCollageParParties()
{
    // A paste of many lines is written part by part; reading the text finishes
    // it, and one undo takes all of it back.
    EditeurRiche e;
    e.SetText(QStringLiteral("debut fin"));
    e.SetSelStart(6);
    QString colle;
    for (int i = 0; i < 10000; ++i)
        colle += QStringLiteral("l%1\r\n").arg(i);
    QMimeData donnees;
    donnees.setText(colle);
    struct Acces : EditeurRiche { using EditeurRiche::insertFromMimeData; };
    static_cast<Acces &>(e).insertFromMimeData(&donnees);
    QVERIFY(e.CollageEnCours());
    QVERIFY(e.isReadOnly());
    QCoreApplication::processEvents();
    QCOMPARE(e.Text(), QStringLiteral("debut ") + colle + QStringLiteral("fin"));
    QVERIFY(!e.CollageEnCours());
    QVERIFY(!e.isReadOnly());
    QCOMPARE(e.SelStart(), int(6 + colle.size()));
    e.undo();
    QCOMPARE(e.Text(), QStringLiteral("debut fin"));
    // The same for a text set whole: one step, the caret at the start.
    e.SetText(colle);
    QVERIFY(e.CollageEnCours());
    QCOMPARE(e.Text(), colle);
    QCOMPARE(e.SelStart(), 0);
    e.undo();
    QCOMPARE(e.Text(), QStringLiteral("debut fin"));
    // A large text set over a large one takes its place part by part, shorter
    // or longer; one undo brings the old one back whole.
    QString autre;
    for (int i = 0; i < 3000; ++i)
        autre += QStringLiteral("autre %1\r\n").arg(i);
    e.SetText(colle);
    for (const QString &nouveau : {autre, colle + autre}) {
        const QString avant = e.Text();
        e.SetText(nouveau);
        QVERIFY(e.CollageEnCours());
        QCoreApplication::processEvents();
        QCOMPARE(e.Text(), nouveau);
        e.undo();
        QCOMPARE(e.Text(), avant);
        e.redo();
        QCOMPARE(e.Text(), nouveau);
    }
}

void TestEditeurRiche::majEntreeDonneUnSautCrLf()
{
    EditeurRiche e;
    QTest::keyClicks(&e, QStringLiteral("ab"));
    QTest::keyClick(&e, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(&e, QStringLiteral("c"));
    QCOMPARE(e.Text(), QStringLiteral("ab\r\nc"));
    QCOMPARE(e.SelStart(), 5);
}

void TestEditeurRiche::keyDownCodesEtMaj_data()
{
    QTest::addColumn<int>("cle");
    QTest::addColumn<int>("modificateurs");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("maj");
    QTest::newRow("A") << int(Qt::Key_A) << int(Qt::NoModifier) << 65 << 0;
    QTest::newRow("Ctrl+A") << int(Qt::Key_A) << int(Qt::ControlModifier) << 65 << 2;
    QTest::newRow("Maj+A") << int(Qt::Key_A) << int(Qt::ShiftModifier) << 65 << 1;
    QTest::newRow("Ctrl+Espace") << int(Qt::Key_Space) << int(Qt::ControlModifier) << 32 << 2;
    QTest::newRow("Ctrl+Maj+Espace") << int(Qt::Key_Space) << int(Qt::ControlModifier | Qt::ShiftModifier) << 32 << 3;
    QTest::newRow("Alt+Espace") << int(Qt::Key_Space) << int(Qt::AltModifier) << 32 << 4;
    QTest::newRow("Ctrl+Alt+Espace") << int(Qt::Key_Space) << int(Qt::ControlModifier | Qt::AltModifier) << 32 << 6;
    QTest::newRow("Echap") << int(Qt::Key_Escape) << int(Qt::NoModifier) << 27 << 0;
    QTest::newRow("Entree") << int(Qt::Key_Return) << int(Qt::NoModifier) << 13 << 0;
    QTest::newRow("Entree pave") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 13 << 0;
    QTest::newRow("Retour arriere") << int(Qt::Key_Backspace) << int(Qt::NoModifier) << 8 << 0;
    QTest::newRow("Z") << int(Qt::Key_Z) << int(Qt::NoModifier) << 90 << 0;
    QTest::newRow("5") << int(Qt::Key_5) << int(Qt::NoModifier) << 53 << 0;
    QTest::newRow("fleche bas") << int(Qt::Key_Down) << int(Qt::NoModifier) << 40 << 0;
}

void TestEditeurRiche::keyDownCodesEtMaj()
{
    QFETCH(int, cle);
    QFETCH(int, modificateurs);
    QFETCH(int, code);
    QFETCH(int, maj);
    EditeurRiche e;
    int vuCode = -1, vuMaj = -1;
    e.KeyDown = [&](int &k, int s) { vuCode = k; vuMaj = s; };
    QTest::keyClick(&e, Qt::Key(cle), Qt::KeyboardModifiers(modificateurs));
    QCOMPARE(vuCode, code);
    QCOMPARE(vuMaj, maj);
}

void TestEditeurRiche::keyDownConsomme()
{
    EditeurRiche e;
    e.KeyDown = [](int &k, int s) {
        if (k == 32 && s != 0)
            k = 0;
    };
    int caracteres = 0;
    e.KeyPress = [&](int) { ++caracteres; };
    QTest::keyClicks(&e, QStringLiteral("ab"));
    QTest::keyClick(&e, Qt::Key_Space, Qt::ShiftModifier);
    QCOMPARE(e.Text(), QStringLiteral("ab"));
    QCOMPARE(caracteres, 2);
    QTest::keyClick(&e, Qt::Key_Space);
    QCOMPARE(e.Text(), QStringLiteral("ab "));
}

void TestEditeurRiche::keyPressApresInsertion()
{
    // The handler sees the text with the typed character already written,
    // and the caret after it.
    EditeurRiche e;
    QTest::keyClicks(&e, QStringLiteral("cli"));
    QString texteVu;
    int codeVu = 0;
    int caretVu = -1;
    e.KeyPress = [&](int c) {
        codeVu = c;
        texteVu = e.Text();
        caretVu = e.SelStart();
    };
    QTest::keyClick(&e, Qt::Key_Period);
    QCOMPARE(codeVu, int('.'));
    QCOMPARE(texteVu, QStringLiteral("cli."));
    QCOMPARE(caretVu, 4);
    QTest::keyClick(&e, Qt::Key_Backspace);
    QCOMPARE(codeVu, 8);
    QCOMPARE(texteVu, QStringLiteral("cli"));
}

void TestEditeurRiche::couleursSansToucherAuTexte()
{
    EditeurRiche e;
    e.SetAffichageCode(true);
    e.resize(500, 300);
    e.show();
    QVERIFY(QTest::qWaitForWindowExposed(&e));
    const QString texte = QStringLiteral("select 'a\r\nb' /* c */ [d]\r\nGO\r\n-- e\r\nselect @x, #t, 12");
    e.SetText(texte);
    e.viewport()->repaint();
    QVERIFY2(!e.document()->firstBlock().layout()->formats().isEmpty(), "the first line was coloured");
    QCOMPARE(e.Text(), texte);
    for (int o = 0; o <= texte.size(); ++o) {
        e.SetSelStart(o);
        QCOMPARE(e.SelStart(), EntreCrEtLf(texte, o) ? o + 1 : o);
    }
    // A quote typed at the start opens a string over every line below.
    e.setFocus();
    e.SetSelStart(0);
    QTest::keyClick(&e, Qt::Key_Apostrophe);
    e.viewport()->repaint();
    QCOMPARE(e.Text(), QLatin1Char('\'') + texte);
    QTest::keyClick(&e, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(e.Text(), texte);
    e.selectAll();
    e.copy();
    const QMimeData *copie = QGuiApplication::clipboard()->mimeData();
    QVERIFY(copie && !copie->hasHtml());
    QCOMPARE(copie->text(), QString(texte).replace(QLatin1String("\r\n"), QLatin1String("\n")));
}

void TestEditeurRiche::numerosSuiventLeRetour()
{
    // A wrapped line keeps one number; the next number comes after its last
    // display line.
    EditeurRiche e;
    e.setFont(QFont(QStringLiteral("Liberation Mono"), 10));
    e.SetAffichageCode(true);
    e.SetRightMargin(0);
    e.resize(220, 400);
    e.show();
    QVERIFY(QTest::qWaitForWindowExposed(&e));
    QString longue;
    for (int i = 0; i < 30; ++i)
        longue += QStringLiteral("mot%1 ").arg(i);
    const QString texte = QStringLiteral("court\r\n") + longue + QStringLiteral("\r\nfin");
    e.SetText(texte);
    e.viewport()->repaint();
    const auto numeros = e.NumerosVisibles(0, e.viewport()->height());
    QCOMPARE(numeros.size(), 3);
    QCOMPARE(numeros.at(0).first, 1);
    QCOMPARE(numeros.at(2).first, 3);
    const int hauteur = QFontMetrics(e.font()).lineSpacing();
    const int lignesAffichees = e.GetLineFromChar(int(texte.size())) - e.GetLineFromChar(7);
    QVERIFY2(lignesAffichees > 2, "the long line wrapped");
    QCOMPARE(qRound(double(numeros.at(2).second - numeros.at(1).second) / hauteur), lignesAffichees);
    QVERIFY(e.viewport()->x() > 0);
}

void TestEditeurRiche::retourFixeMesureDepuisLeTexte()
{
    // The margin of numbers moves the text, not where a fixed width wraps it.
    QString longue;
    for (int i = 0; i < 60; ++i)
        longue += QStringLiteral("mot%1 ").arg(i);
    int lignes[2] = {0, 0};
    for (int code = 0; code < 2; ++code) {
        EditeurRiche e;
        e.setFont(QFont(QStringLiteral("Liberation Mono"), 10));
        e.SetAffichageCode(code == 1);
        e.resize(200, 300);
        e.SetRightMargin(4320);
        e.show();
        QVERIFY(QTest::qWaitForWindowExposed(&e));
        e.SetText(longue);
        lignes[code] = e.GetLineFromChar(int(longue.size()));
    }
    QVERIFY2(lignes[0] > 1, "the line wrapped at the fixed width");
    QCOMPARE(lignes[1], lignes[0]);
}

void TestEditeurRiche::remplacePlageUneEtape()
{
    EditeurRiche e;
    e.SetText(QStringLiteral("select a\r\nfrom cl\r\nwhere 1"));
    e.SetSelStart(0);
    // "cl" at 15 becomes a two-line text; offsets count CR LF as two.
    e.RemplacePlage(15, 2, QStringLiteral("clients c\r\n  "));
    QCOMPARE(e.Text(), QStringLiteral("select a\r\nfrom clients c\r\n  \r\nwhere 1"));
    QCOMPARE(e.SelStart(), 15 + 13);
    QCOMPARE(e.SelLength(), 0);
    e.undo();
    QCOMPARE(e.Text(), QStringLiteral("select a\r\nfrom cl\r\nwhere 1"));
}

void TestEditeurRiche::allerALaLigne()
{
    EditeurRiche e;
    e.SetAffichageCode(true);
    e.SetText(QStringLiteral("a\r\nbb\r\nccc"));
    e.AllerALaLigne(3);
    QCOMPARE(e.SelStart(), 7);
    e.AllerALaLigne(99);
    QCOMPARE(e.SelStart(), 7);
    e.AllerALaLigne(2);
    QCOMPARE(e.SelStart(), 3);
}

// A very long line is held as several blocks; every key and every reading of
// the text acts as if it were one line.
void TestEditeurRiche::lignesPliees_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("decalage");   // caret: from the fold, in text characters
    QTest::addColumn<QString>("attendu"); // "-1" removes the character before the caret, "+1" the one after
    QTest::newRow("retour arriere au pli") << "backspace" << 0 << "-1";
    QTest::newRow("suppr au pli") << "delete" << 0 << "+1";
    QTest::newRow("entree dans la suite") << "enter" << 7 << "saut";
    QTest::newRow("entree au pli") << "enter" << 0 << "saut";
    QTest::newRow("lettre au pli") << "x" << 0 << "x";
    QTest::newRow("droite passe le pli") << "right" << 0 << "+0";
    QTest::newRow("gauche passe le pli") << "left" << 0 << "+0";
}

void TestEditeurRiche::lignesPliees()
{
    QFETCH(QString, action);
    QFETCH(int, decalage);
    QFETCH(QString, attendu);
    EditeurRiche e;
    e.SetAffichageCode(true);
    e.resize(500, 400);
    e.show();
    QVERIFY(QTest::qWaitForWindowExposed(&e));
    e.setFocus();
    const QString texte = QStringLiteral("debut\r\n") + LigneTresLongue(900) + QStringLiteral("\r\nfin");
    e.SetText(texte);
    QVERIFY2(e.document()->blockCount() > 3, "the long line is held folded");
    QCOMPARE(e.Text(), texte);
    const QTextBlock suite = e.document()->findBlockByNumber(2);
    const int pli = e.OffsetTexte(suite.position());
    QCOMPARE(e.OffsetTexte(suite.position() - 1), pli); // both sides of the fold are one place
    QCOMPARE(e.LigneDePosition(suite.position()), 1);
    QCOMPARE(e.PositionDeLaLigne(3), e.document()->lastBlock().position());
    e.viewport()->repaint();
    const auto numeros = e.NumerosVisibles(0, e.viewport()->height());
    QCOMPARE(numeros.size(), 2); // the folded line keeps one number; "fin" is out of view
    QCOMPARE(numeros.at(1).first, 2);
    e.AllerALaLigne(3);
    QCOMPARE(e.SelStart(), int(texte.size()) - 3);

    const int caret = pli + decalage;
    QTextCursor c = e.textCursor();
    c.setPosition(action == QLatin1String("delete") ? suite.position() - 1 : suite.position() + decalage);
    e.setTextCursor(c);
    QCOMPARE(e.SelStart(), caret);
    const QMap<QString, Qt::Key> touches{{"backspace", Qt::Key_Backspace}, {"delete", Qt::Key_Delete},
                                         {"enter", Qt::Key_Return},        {"x", Qt::Key_X},
                                         {"right", Qt::Key_Right},         {"left", Qt::Key_Left}};
    QTest::keyClick(&e, touches.value(action));
    QString apres = texte;
    if (attendu == QLatin1String("-1"))
        apres.remove(caret - 1, 1);
    else if (attendu == QLatin1String("+1"))
        apres.remove(caret, 1);
    else if (attendu == QLatin1String("saut"))
        apres.insert(caret, QLatin1String("\r\n"));
    else if (attendu == QLatin1String("x"))
        apres.insert(caret, QLatin1Char('x'));
    QCOMPARE(e.Text(), apres);
    if (action == QLatin1String("right"))
        QCOMPARE(e.SelStart(), caret + 1);
    else if (action == QLatin1String("left"))
        QCOMPARE(e.SelStart(), caret - 1);
    if (action == QLatin1String("enter")) {
        QCOMPARE(e.LigneDePosition(e.textCursor().position()), 2);
        QCOMPARE(e.PositionDeLaLigne(4), e.document()->lastBlock().position());
    }
    // Copying gives the text alone, the breaks of the fold left out.
    e.SetSelStart(2);
    e.SetSelLength(int(apres.size()) - 4);
    e.copy();
    QCOMPARE(QGuiApplication::clipboard()->text(), apres.mid(2, apres.size() - 4).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    if (apres != texte) {
        e.undo();
        QCOMPARE(e.Text(), texte);
    }
}

QTEST_MAIN(TestEditeurRiche)
#include "test_editeurriche.moc"
