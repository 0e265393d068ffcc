// The keyword table: its 65 rows in order and the rules of AjouteMotCle.

#include "motscles.h"

#include <QTest>

class TestMotsCles : public QObject {
    Q_OBJECT

private slots:
    void premierAjout()
    {
        TableauMotsCles t;
        AjouteMotCle(t, QStringLiteral("go"), true, false, true);
        QCOMPARE(t.size(), size_t(1));
        QCOMPARE(t[0].Mot, QStringLiteral("go"));
    }

    void motNormalise_data()
    {
        QTest::addColumn<QString>("mot");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("espaces_et_majuscules") << QStringLiteral(" SELECT ") << QStringLiteral("select");
        QTest::newRow("tabulation_gardee") << QStringLiteral("\tFrom ") << QStringLiteral("\tfrom");
        QTest::newRow("majuscule_accentuee") << QStringLiteral("ÉTÉ") << QStringLiteral("été");
    }
    void motNormalise()
    {
        QFETCH(QString, mot);
        QFETCH(QString, attendu);
        TableauMotsCles t;
        AjouteMotCle(t, mot, false, true, false);
        QCOMPARE(t.back().Mot, attendu);
        QCOMPARE(t.back().RetourLigne, false);
        QCOMPARE(t.back().Supprime, true);
        QCOMPARE(t.back().EspaceApres, false);
    }

    void tableComplete()
    {
        TableauMotsCles t;
        InitialiseMotsCles(t);
        QCOMPARE(t.size(), size_t(65));
        QCOMPARE(t.front().Mot, QStringLiteral("go"));
        QCOMPARE(t.back().Mot, QStringLiteral("trigger"));
        QCOMPARE(t[7].Mot, QStringLiteral("outer"));
        int nSupprime = 0;
        int nRetour = 0;
        QStringList sansEspace;
        for (const MotCle& m : t) {
            nSupprime += m.Supprime;
            nRetour += m.RetourLigne;
            if (!m.EspaceApres)
                sansEspace << m.Mot;
            if (m.RetourLigne)
                QVERIFY(m.EspaceApres);
        }
        QCOMPARE(nSupprime, 1);
        QVERIFY(t[7].Supprime);
        QCOMPARE(nRetour, 35);
        QCOMPARE(sansEspace.join(u','),
                 QStringLiteral("avg,sum,isnull,min,max,abs,cast,convert,int,bigint,char,varchar,binary,nchar,nvarchar,datetime"));
    }

    void ordreDesMots_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("mot");
        QTest::newRow("left_avant_outer_et_join") << 5 << QStringLiteral("left");
        QTest::newRow("join") << 9 << QStringLiteral("join");
        QTest::newRow("on") << 13 << QStringLiteral("on");
        QTest::newRow("as") << 26 << QStringLiteral("as");
        QTest::newRow("is") << 42 << QStringLiteral("is");
        QTest::newRow("int") << 51 << QStringLiteral("int");
        QTest::newRow("declare") << 59 << QStringLiteral("declare");
    }
    void ordreDesMots()
    {
        QFETCH(int, index);
        QFETCH(QString, mot);
        TableauMotsCles t;
        InitialiseMotsCles(t);
        QCOMPARE(t[size_t(index)].Mot, mot);
    }

    void deuxiemeInitialisation()
    {
        TableauMotsCles t;
        InitialiseMotsCles(t);
        InitialiseMotsCles(t);
        QCOMPARE(t.size(), size_t(130));
        for (size_t i = 0; i < 65; ++i)
            QCOMPARE(t[i + 65].Mot, t[i].Mot);
    }
};

QTEST_APPLESS_MAIN(TestMotsCles)
#include "test_motscles.moc"
