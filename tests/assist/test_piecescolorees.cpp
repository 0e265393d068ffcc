// Colours of T-SQL pieces line by line, with the state a line hands to the next.
#include "piecescolorees.h"

#include <QTest>

namespace {

// One letter per character: K keyword, S string, C comment, N number,
// B bracketed or quoted name, V variable, T temporary name, G GO, '.' none.
QString Masque(const QString &sLigne, const EtatLecture &etat, EtatLecture *fin = nullptr)
{
    std::vector<PieceColoree> pieces;
    const EtatLecture e = ColoreLigne(sLigne, etat, &pieces);
    if (fin)
        *fin = e;
    QString m(sLigne.size(), QLatin1Char('.'));
    const char lettres[] = "KSCNBVTG";
    for (const PieceColoree &p : pieces)
        for (int i = p.lDebut; i < p.lDebut + p.lLongueur; ++i)
            m[i] = QLatin1Char(lettres[int(p.genre)]);
    return m;
}

EtatLecture Etat(GenreJeton genre, int lProfondeur = 0)
{
    EtatLecture e;
    e.genreOuvert = genre;
    e.lProfondeur = lProfondeur;
    return e;
}

} // namespace

class TestPiecesColorees : public QObject
{
    Q_OBJECT

private slots:
    void uneLigne_data();
    void uneLigne();
    void etatsDeLigneEnLigne_data();
    void etatsDeLigneEnLigne();
    void ligneParLigneCommeLeTexteEntier();
};

void TestPiecesColorees::uneLigne_data()
{
    QTest::addColumn<QString>("ligne");
    QTest::addColumn<int>("etatDebut");
    QTest::addColumn<QString>("masque");
    QTest::addColumn<int>("etatFin");
    const int rien = 0, chaine = CodeEtat(Etat(GenreJeton::Chaine)), crochet = CodeEtat(Etat(GenreJeton::Crochet));
    const int com1 = CodeEtat(Etat(GenreJeton::Commentaire, 1)), com2 = CodeEtat(Etat(GenreJeton::Commentaire, 2));
    QTest::newRow("mots cles sans casse") << "select x FROM t" << rien << "KKKKKK...KKKK.." << rien;
    QTest::newRow("mot reserve hors table") << "MERGE INTO t" << rien << "KKKKK.KKKK.." << rien;
    QTest::newRow("nom qui commence comme un mot") << "selection" << rien << "........." << rien;
    QTest::newRow("chaine et apostrophe doublee") << "'it''s' x" << rien << "SSSSSSS.." << rien;
    QTest::newRow("prefixe N") << "N'abc'+n'd'" << rien << "SSSSSS.SSSS" << rien;
    QTest::newRow("N nom puis chaine espacee") << "N 'a'" << rien << "..SSS" << rien;
    QTest::newRow("commentaire de ligne") << "a -- select 'x'" << rien << "..CCCCCCCCCCCCC" << rien;
    QTest::newRow("commentaire imbrique ferme") << "/* a /* b */ c */ x" << rien << "CCCCCCCCCCCCCCCCC.." << rien;
    QTest::newRow("nombres") << "12.5e+3 x1 0x1F" << rien << "NNNNNNN....NNNN" << rien;
    QTest::newRow("noms encadres") << "[a b] \"c\"" << rien << "BBBBB.BBB" << rien;
    QTest::newRow("variables") << "@n = @@ROWCOUNT" << rien << "VV...VVVVVVVVVV" << rien;
    QTest::newRow("temporaires") << "#t ##g" << rien << "TT.TTT" << rien;
    QTest::newRow("ligne GO") << "GO" << rien << "GG" << rien;
    QTest::newRow("GO compte et commentaire") << "  go 5 -- lot" << rien << "..GG.N.CCCCCC" << rien;
    QTest::newRow("GO suivi d autre chose") << "GO;" << rien << "KK." << rien;
    QTest::newRow("GO dans un commentaire ouvert") << "GO" << com1 << "CC" << com1;
    QTest::newRow("chaine ouverte jusqu au bout") << "x = 'abc -- x" << rien << "....SSSSSSSSS" << chaine;
    QTest::newRow("suite de chaine") << "abc' + 1" << chaine << "SSSS...N" << rien;
    QTest::newRow("ligne vide garde l etat") << "" << chaine << "" << chaine;
    QTest::newRow("commentaire profond 2") << "a */ b */ select" << com2 << "CCCCCCCCC.KKKKKK" << rien;
    QTest::newRow("commentaire rouvert") << "*/ /* /*" << com1 << "CC.CCCCC" << com2;
    QTest::newRow("suite de nom encadre") << "b] x" << crochet << "BB.." << rien;
    QTest::newRow("commentaire de ligne ferme avec la ligne") << "-- /* x" << rien << "CCCCCCC" << rien;
}

void TestPiecesColorees::uneLigne()
{
    QFETCH(QString, ligne);
    QFETCH(int, etatDebut);
    QFETCH(QString, masque);
    QFETCH(int, etatFin);
    EtatLecture fin;
    QCOMPARE(Masque(ligne, EtatDuCode(etatDebut), &fin), masque);
    QCOMPARE(CodeEtat(fin), etatFin);
    // Without pieces asked for, the same end state.
    QCOMPARE(CodeEtat(ColoreLigne(ligne, EtatDuCode(etatDebut), nullptr)), etatFin);
}

void TestPiecesColorees::etatsDeLigneEnLigne_data()
{
    QTest::addColumn<QStringList>("lignes");
    QTest::addColumn<QList<int>>("etats");
    const int chaine = CodeEtat(Etat(GenreJeton::Chaine)), guillemet = CodeEtat(Etat(GenreJeton::Guillemet));
    const int com1 = CodeEtat(Etat(GenreJeton::Commentaire, 1)), com2 = CodeEtat(Etat(GenreJeton::Commentaire, 2));
    QTest::newRow("commentaire sur trois lignes") << QStringList{"/* a", "b", "c */ x"} << QList<int>{com1, com1, 0};
    QTest::newRow("imbrication") << QStringList{"/* a /* b", "c */", "d */ e"} << QList<int>{com2, com1, 0};
    QTest::newRow("chaine ouverte") << QStringList{"x = 'a", "b''", "c' y"} << QList<int>{chaine, chaine, 0};
    QTest::newRow("nom entre guillemets") << QStringList{"\"a", "b\" c"} << QList<int>{guillemet, 0};
    QTest::newRow("chaine jamais fermee") << QStringList{"'", "GO", "select"} << QList<int>{chaine, chaine, chaine};
}

void TestPiecesColorees::etatsDeLigneEnLigne()
{
    QFETCH(QStringList, lignes);
    QFETCH(QList<int>, etats);
    EtatLecture etat;
    for (int i = 0; i < lignes.size(); ++i) {
        etat = ColoreLigne(lignes.at(i), etat, nullptr);
        QCOMPARE(CodeEtat(etat), etats.at(i));
    }
}

void TestPiecesColorees::ligneParLigneCommeLeTexteEntier()
{
    // Strings, comments and quoted names read line by line cover exactly what
    // a reading of the whole text finds.
    const QString sTexte = QStringLiteral(
        "select 'a\nb''c' /* x /* y\n*/ z\n*/ [n\nm] \"q\" -- '\n"
        "where a = 'x' /* open\n/* nested */\nstill */ and \"b\nc\" = 1");
    QString attendu(sTexte.size(), QLatin1Char('.'));
    LecteurSql lecteur(sTexte);
    Jeton j;
    while (lecteur.Suivant(j)) {
        const QChar lettre = j.genre == GenreJeton::Chaine        ? QLatin1Char('S')
                             : j.genre == GenreJeton::Commentaire ? QLatin1Char('C')
                             : (j.genre == GenreJeton::Crochet || j.genre == GenreJeton::Guillemet) ? QLatin1Char('B')
                                                                                                      : QLatin1Char('.');
        for (int i = j.lDebut; i < j.lFin; ++i)
            attendu[i] = sTexte.at(i) == QLatin1Char('\n') ? QLatin1Char('.') : lettre;
    }
    QString obtenu;
    EtatLecture etat;
    for (const QString &ligne : sTexte.split(QLatin1Char('\n'))) {
        QString m = Masque(ligne, etat, &etat);
        for (QChar &c : m)
            if (c != QLatin1Char('S') && c != QLatin1Char('C') && c != QLatin1Char('B'))
                c = QLatin1Char('.');
        obtenu += m + QLatin1Char('.');
    }
    obtenu.chop(1);
    QCOMPARE(obtenu, attendu);
}

QTEST_APPLESS_MAIN(TestPiecesColorees)
#include "test_piecescolorees.moc"
