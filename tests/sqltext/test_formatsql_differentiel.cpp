// The fast formatter against the step-by-step one, on generated texts without literals,
// comments, quoted names or variables: the output must be identical character for character.

#include "formateur.h"
#include "formatreference.h"
#include "motscles.h"
#include "remplacemotentier.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

const char* const Identifiants[] = {
    "a", "b", "t", "u", "x1", "person", "orders", "t.order", "my_from", "fromx", "xorx",
    "onon", "oror", "x.on", "isnull_", "bigint2", "nvarcharx", "Ordre", "cas", "case_",
    "endif", "selectselect", "fromfrom", "asas", "xor", "x.or", "_or", "or_", "ab.cd",
    "ı", "ſelect", "Éfrom", "dé", "count", "qty", "price", "RowsForSorting", "Leçon", "col1from",
    "a$or", "or2", "apply", "SortOrder", "Lec\u0327on",
};

const char* const Colles[] = {
    ".", "_", "(", ")", ",", "=", "<>", "*", "+", "0", "7", "42", ";", "\t", "%", "!", ">=", "$",
};

// Where OUTER is dropped or kept, and GO with what may share its line.
const char* const Phrases[] = {
    "left outer join", "full outer   join", "outer apply", "outer join", "go 5", "go 12 exec p", "go 3x",
};

class Generateur {
public:
    explicit Generateur(quint32 graine) : m_alea(graine) {}

    QString Texte(const TableauMotsCles& table)
    {
        QString s;
        const int nMorceaux = int(m_alea.bounded(0, 60));
        for (int i = 0; i < nMorceaux; ++i) {
            s += Morceau(table);
            s += Separateur();
        }
        if (m_alea.bounded(4) == 0)
            s += QStringLiteral("\r\n");
        return s;
    }

    // Lines of exactly 1023 characters, one in k of them, to exercise the joining rule.
    QString TexteDecoupe(const TableauMotsCles& table, int iPleines, int iCourtes)
    {
        QStringList lignes;
        for (int i = 0; i < iPleines; ++i) {
            QString l;
            while (l.size() < 1023)
                l += Morceau(table) + Separateur();
            lignes << l.left(1023);
        }
        for (int i = 0; i < iCourtes; ++i)
            lignes << Morceau(table) + QStringLiteral(" ") + Morceau(table);
        std::shuffle(lignes.begin(), lignes.end(), m_alea);
        QString s = lignes.join(QStringLiteral("\r\n"));
        if (m_alea.bounded(2) == 0)
            s += QStringLiteral("\r\n");
        return s;
    }

private:
    QString Casse(const QString& mot)
    {
        switch (m_alea.bounded(4)) {
        case 0:
            return mot.toUpper();
        case 1: {
            QString r = mot;
            for (QChar& c : r)
                if (m_alea.bounded(2))
                    c = c.toUpper();
            return r;
        }
        default:
            return mot;
        }
    }

    QString Morceau(const TableauMotsCles& table)
    {
        const int choix = int(m_alea.bounded(100));
        if (choix < 45)
            return Casse(table[m_alea.bounded(int(table.size()))].Mot);
        if (choix < 75)
            return Casse(QString::fromUtf8(Identifiants[m_alea.bounded(int(std::size(Identifiants)))]));
        if (choix < 90)
            return QString::fromLatin1(Colles[m_alea.bounded(int(std::size(Colles)))]);
        if (choix < 93)
            return QStringLiteral("(select ") + Casse(QStringLiteral("a from u where b in (select c from v)")) + u')';
        if (choix < 97)
            return Casse(QString::fromLatin1(Phrases[m_alea.bounded(int(std::size(Phrases)))]));
        return Casse(QStringLiteral("select a from t union all select b from u"));
    }

    QString Separateur()
    {
        const int choix = int(m_alea.bounded(100));
        if (choix < 30)
            return QString(); // glued to the next piece
        if (choix < 60)
            return QStringLiteral(" ");
        if (choix < 70)
            return QString(int(m_alea.bounded(2, 9)), u' ');
        if (choix < 78)
            return QStringLiteral("\r\n");
        if (choix < 82)
            return QStringLiteral("\n");
        if (choix < 86)
            return QStringLiteral("\r");
        if (choix < 90)
            return QStringLiteral("\t");
        if (choix < 94)
            return QStringLiteral(" \r\n  ");
        return QStringLiteral("\r\r\n");
    }

    QRandomGenerator m_alea;
};

QString Visible(QString s)
{
    s.replace(QStringLiteral("\r"), QStringLiteral("<CR>"));
    s.replace(QStringLiteral("\n"), QStringLiteral("<LF>"));
    s.replace(QStringLiteral("\t"), QStringLiteral("<TAB>"));
    return s;
}

} // namespace

class TestFormatSQLDifferentiel : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitialiseMotsCles(m_table); }

    void textesGeneres_data()
    {
        QTest::addColumn<quint32>("graine");
        QTest::addColumn<int>("nombre");
        QTest::newRow("melanges_1") << quint32(20240601) << 1500;
        QTest::newRow("melanges_2") << quint32(7) << 1500;
        QTest::newRow("melanges_3") << quint32(123456789) << 1500;
    }

    void textesGeneres()
    {
        QFETCH(quint32, graine);
        QFETCH(int, nombre);
        Generateur gen(graine);
        for (int i = 0; i < nombre; ++i) {
            const QString s = gen.Texte(m_table);
            for (bool bGarder : {false, true}) {
                const QString attendu = FormatSQLReference(s, bGarder, m_table);
                const QString obtenu = FormatSQL(s, bGarder, m_table);
                if (attendu != obtenu)
                    QFAIL(qPrintable(QStringLiteral("texte %1 (garder %2)\nentrée:  %3\nattendu: %4\nobtenu:  %5")
                                         .arg(i).arg(bGarder).arg(Visible(s), Visible(attendu), Visible(obtenu))));
            }
        }
    }

    void longsTextes()
    {
        // Long texts cross many of the pieces the fast formatter cuts the text into.
        Generateur gen(99);
        for (int i = 0; i < 40; ++i) {
            QString s;
            for (int k = 0; k < 12; ++k)
                s += gen.Texte(m_table);
            const QString attendu = FormatSQLReference(s, false, m_table);
            QCOMPARE(FormatSQL(s, false, m_table), attendu);
        }
    }

    void lignesDe1023_data()
    {
        QTest::addColumn<int>("pleines");
        QTest::addColumn<int>("courtes");
        QTest::newRow("une_sur_dix_pas_jointe") << 1 << 10;
        QTest::newRow("deux_sur_dix_jointes") << 2 << 9;
        QTest::newRow("toutes_pleines") << 4 << 0;
        QTest::newRow("une_seule_ligne_pleine") << 1 << 0;
        QTest::newRow("une_sur_neuf") << 1 << 8;
    }

    void lignesDe1023()
    {
        QFETCH(int, pleines);
        QFETCH(int, courtes);
        Generateur gen(quint32(pleines * 31 + courtes));
        for (int i = 0; i < 15; ++i) {
            const QString s = gen.TexteDecoupe(m_table, pleines, courtes);
            QCOMPARE(FormatSQL(s, false, m_table), FormatSQLReference(s, false, m_table));
        }
    }

    void remplacementSeul()
    {
        // Each keyword on its own, over texts that were not prepared by the formatter
        // (no space at the ends, occurrences at the very start and end).
        Generateur gen(4242);
        for (int i = 0; i < 1500; ++i) {
            const QString s = gen.Texte(m_table).trimmed();
            const MotCle& mc = m_table[size_t(i) % m_table.size()];
            const QString sCadre = u'%' + mc.Mot + u'%';
            const QString sRemplacement = QStringLiteral(" \r\n") + mc.Mot.toUpper() + u' ';
            for (int iMode : {0, 1}) {
                const QString attendu = RemplaceMotEntierReference(s, sCadre, sRemplacement, iMode);
                const QString obtenu = RemplaceMotEntier(s, sCadre, sRemplacement, iMode);
                if (attendu != obtenu)
                    QFAIL(qPrintable(QStringLiteral("mot %1 mode %2\nentrée:  %3\nattendu: %4\nobtenu:  %5")
                                         .arg(mc.Mot).arg(iMode).arg(Visible(s), Visible(attendu), Visible(obtenu))));
            }
        }
    }

private:
    TableauMotsCles m_table;
};

QTEST_APPLESS_MAIN(TestFormatSQLDifferentiel)
#include "test_formatsql_differentiel.moc"
