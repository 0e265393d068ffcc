// The shortcuts the fast formatter takes to avoid copies and character-by-character scans:
// each must give what the plain form gives.

#include "formateur.h"
#include "formatreference.h"
#include "motscles.h"
#include "passemotentier.h"
#include "textedecoupe.h"

#include <QTest>

#include <string>

namespace {

QString Lignes(int iPleines, int iCourtes, int iDerniere)
{
    QStringList lignes;
    for (int i = 0; i < iPleines; ++i)
        lignes << QString(1023, u'x');
    for (int i = 0; i < iCourtes; ++i)
        lignes << QStringLiteral("select a");
    lignes << QString(iDerniere, u'z');
    return lignes.join(QStringLiteral("\r\n"));
}

} // namespace

class TestFormatSQLTampons : public QObject {
    Q_OBJECT

private slots:
    void estTexteDecoupeAvecCRLFAjoute_data()
    {
        QTest::addColumn<QString>("texte");
        QTest::newRow("sans_saut_ligne_pleine") << QString(1023, u'a');
        QTest::newRow("sans_saut_ligne_courte") << QStringLiteral("select a");
        QTest::newRow("derniere_ligne_pleine") << Lignes(0, 9, 1023);
        QTest::newRow("une_pleine_sur_dix") << Lignes(1, 8, 3);
        QTest::newRow("une_pleine_sur_neuf") << Lignes(1, 7, 3);
        QTest::newRow("deux_pleines_derniere_vide") << Lignes(2, 5, 0);
    }

    void estTexteDecoupeAvecCRLFAjoute()
    {
        QFETCH(QString, texte);
        QCOMPARE(EstTexteDecoupe(texte, true), EstTexteDecoupe(texte + QStringLiteral("\r\n")));
        if (texte.contains(QStringLiteral("\r\n")))
            QCOMPARE(EstTexteDecoupe(texte, false), EstTexteDecoupe(texte));
    }

    // The search skips four characters at a time while none can start the word: letters in
    // either case, letters beyond ASCII that upper-case to the first letter, words at the very
    // end, texts whose length is not a multiple of four.
    void passeSurTamponUtf16_data()
    {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("mot");
        QTest::addColumn<bool>("texteContinue");
        QTest::newRow("mot_en_fin") << QStringLiteral(" a, b, c from") << QStringLiteral("from") << false;
        QTest::newRow("mot_en_fin_texte_continue")
            << QStringLiteral(" a, b, c from") << QStringLiteral("from") << true;
        QTest::newRow("casses_melangees") << QStringLiteral(" x FrOm y fROM z from ") << QStringLiteral("from") << false;
        QTest::newRow("s_long_devant") << QStringLiteral(" abc ſelect x select ") << QStringLiteral("select") << false;
        QTest::newRow("i_sans_point") << QStringLiteral(" 1 ınt 2 int ") << QStringLiteral("int") << true;
        QTest::newRow("premiere_lettre_seule") << QStringLiteral(" ffffffff f fro from") << QStringLiteral("from") << false;
        QTest::newRow("aucune_occurrence") << QStringLiteral(" aaaaaaaaaaaaaaaaaaaaaaaaa ") << QStringLiteral("on") << true;
        QTest::newRow("texte_plus_court_que_quatre") << QStringLiteral(" on") << QStringLiteral("on") << false;
        QTest::newRow("accents_partout") << QStringLiteral(" éàè on ÉÀÈ ON ") << QStringLiteral("on") << false;
    }

    void passeSurTamponUtf16()
    {
        QFETCH(QString, texte);
        QFETCH(QString, mot);
        QFETCH(bool, texteContinue);
        const QString remplacement = QStringLiteral(" \r\n") + mot.toUpper() + u' ';
        ReglePasse regle;
        regle.sMot = mot;
        regle.sRemplacement = remplacement;

        QString sQt;
        const bool bQt = PasseMotEntier(QStringView(texte), regle, texteContinue, sQt);
        std::u16string sTampon = u"<";
        const bool bTampon = PasseMotEntier(
            std::u16string_view(reinterpret_cast<const char16_t*>(texte.constData()), size_t(texte.size())),
            regle, texteContinue, sTampon);
        QCOMPARE(QStringView(sTampon).mid(1).toString(), sQt);
        QCOMPARE(bTampon, bQt);
        QCOMPARE(bQt, sQt != texte);
        QCOMPARE(sTampon.front(), u'<'); // appended, never overwritten
        if (!texteContinue)
            QCOMPARE(sQt, RemplaceMotEntierReference(texte, u'%' + mot + u'%', remplacement, 1));
    }

    // The formatter keeps its working texts from one call to the next: a result the caller
    // still holds, or passes back in, is never written over by the next call.
    void resultatGardeIntact()
    {
        TableauMotsCles table;
        InitialiseMotsCles(table);
        const QString sLong = QStringLiteral("select a, 'x' from t where b = 1 -- c\r\ngo\r\n").repeated(200);
        const QString sCourt = QStringLiteral("update u set c = 2");
        const QString r1 = FormatSQL(sLong, false, table);
        const QString r2 = FormatSQL(sCourt, false, table);
        const QString r3 = FormatSQL(r2, false, table);
        QCOMPARE(r2, QStringLiteral("UPDATE u \r\nSET c = 2"));
        QCOMPARE(r3, QStringLiteral("UPDATE u \r\nSET c = 2"));
        QCOMPARE(r1, FormatSQL(QString(sLong), false, table));
        QVERIFY(r1.startsWith(QStringLiteral("SELECT a, 'x' \r\nFROM t \r\nWHERE b = 1 -- c \r\nGO \r\n\tSELECT")));
        QVERIFY(r1.endsWith(QStringLiteral("-- c \r\n\tGO")));
        QCOMPARE(r1.count(QStringLiteral("GO")), 200);
    }

    // A text without a final CR LF gets one added as plain text after the protected parts: an
    // unterminated literal or comment stops before it, and the copy this spares changes nothing.
    void crlfAjouteApresZoneOuverte_data()
    {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("litteral_ouvert") << QStringLiteral("select 'from x") << QStringLiteral("SELECT 'from x");
        QTest::newRow("commentaire_ouvert") << QStringLiteral("select a -- from") << QStringLiteral("SELECT a -- from");
        // The final CR LF the author wrote is dropped like any text's last one.
        QTest::newRow("avec_crlf_final") << QStringLiteral("select a -- from\r\n")
                                         << QStringLiteral("SELECT a -- from");
    }

    void crlfAjouteApresZoneOuverte()
    {
        QFETCH(QString, texte);
        QFETCH(QString, attendu);
        TableauMotsCles table;
        InitialiseMotsCles(table);
        QCOMPARE(FormatSQL(texte, false, table), attendu);
    }
};

QTEST_APPLESS_MAIN(TestFormatSQLTampons)
#include "test_formatsql_tampons.moc"
