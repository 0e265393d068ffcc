// Script files: the encoding and line breaks read from the bytes, written back
// unchanged; files that are not scripts; saving that fails; recovery copies.
#include "copiessecours.h"
#include "fichierscript.h"
#include "formescript.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray Utf16(const QString &s, bool bGrosBout)
{
    QByteArray o;
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        const char hi = char(u >> 8), lo = char(u & 0xFF);
        o += bGrosBout ? QByteArray{&hi, 1} + QByteArray{&lo, 1} : QByteArray{&lo, 1} + QByteArray{&hi, 1};
    }
    return o;
}

QByteArray Ecrit(const QString &sChemin, const QByteArray &octets)
{
    QFile f(sChemin);
    if (f.open(QIODevice::WriteOnly))
        f.write(octets);
    return octets;
}

QByteArray Lit(const QString &sChemin)
{
    QFile f(sChemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The id of a process that has ended.
qint64 ProcessusTermine()
{
    QProcess p;
    p.start(QStringLiteral("true"), {});
    p.waitForStarted();
    const qint64 id = p.processId();
    p.waitForFinished();
    return id;
}

} // namespace

Q_DECLARE_METATYPE(FormeScript::Encodage)

class TestFichierScript : public QObject
{
    Q_OBJECT

private slots:
    void formeEtAllerRetour_data();
    void formeEtAllerRetour();
    void nouveauScript();
    void caractereHorsWindows1252();
    void fichiersRefuses_data();
    void fichiersRefuses();
    void echecDEnregistrement_data();
    void echecDEnregistrement();
    void copiesDeSecours();

private:
    QTemporaryDir m_dossier;
};

void TestFichierScript::formeEtAllerRetour_data()
{
    const QString texte = QStringLiteral("SELECT nom, 'été' -- “x” €\r\nFROM clients\r\n");
    const QString texteLf = QString(texte).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTest::addColumn<QByteArray>("octets");
    QTest::addColumn<FormeScript::Encodage>("encodage");
    QTest::addColumn<bool>("bMarque");
    QTest::addColumn<bool>("bCrLf");
    QTest::addColumn<QString>("texte");
    for (const bool bCrLf : {true, false}) {
        const QString t = bCrLf ? texte : texteLf;
        const char *s = bCrLf ? " CR LF" : " LF";
        QTest::addRow("UTF-8%s", s) << t.toUtf8() << FormeScript::Utf8 << false << bCrLf << t;
        QTest::addRow("UTF-8 marque%s", s) << "\xEF\xBB\xBF" + t.toUtf8() << FormeScript::Utf8 << true << bCrLf << t;
        QTest::addRow("UTF-16 LE%s", s) << "\xFF\xFE" + Utf16(t, false) << FormeScript::Utf16LE << true << bCrLf << t;
        QTest::addRow("UTF-16 BE%s", s) << "\xFE\xFF" + Utf16(t, true) << FormeScript::Utf16BE << true << bCrLf << t;
        // é, “, ” and € are single bytes there, not valid UTF-8.
        const QByteArray saut = bCrLf ? "\r\n" : "\n";
        QTest::addRow("Windows-1252%s", s) << "SELECT nom, '\xe9t\xe9' -- \x93x\x94 \x80" + saut + "FROM clients" + saut
                                           << FormeScript::Windows1252 << false << bCrLf << t;
    }
    QTest::newRow("octets sans caractere en 1252") << QByteArray("a\x81\x8d\x8f\x90\x9d\xff\n")
                                                   << FormeScript::Windows1252 << false << false
                                                   << QStringLiteral("a\u0081\u008d\u008f\u0090\u009d\u00ff\n");
    QTest::newRow("UTF-8 tronque") << QByteArray("SELECT '\xc3'\r\n") << FormeScript::Windows1252 << false << true
                                   << QStringLiteral("SELECT 'Ã'\r\n");
    QTest::newRow("marque UTF-8, corps invalide") << QByteArray("\xEF\xBB\xBFx\xe9\r\n") << FormeScript::Windows1252
                                                  << false << true << QStringLiteral("ï»¿xé\r\n");
    QTest::newRow("marque UTF-16 LE impaire") << QByteArray("\xFF\xFE" "a") << FormeScript::Windows1252 << false
                                              << true << QStringLiteral("ÿþa");
    QTest::newRow("sans saut de ligne") << QByteArray("SELECT 1") << FormeScript::Utf8 << false << true
                                        << QStringLiteral("SELECT 1");
    QTest::newRow("majorite de LF") << QByteArray("a\nb\nc\r\n") << FormeScript::Utf8 << false << false
                                    << QStringLiteral("a\nb\nc\r\n");
}

void TestFichierScript::formeEtAllerRetour()
{
    QFETCH(QByteArray, octets);
    QFETCH(FormeScript::Encodage, encodage);
    QFETCH(bool, bMarque);
    QFETCH(bool, bCrLf);
    QFETCH(QString, texte);
    const QString chemin = m_dossier.filePath(QStringLiteral("a.sql"));
    Ecrit(chemin, octets);
    const LectureFichier l = LitFichierScript(chemin);
    QCOMPARE(l.etat, LectureFichier::Lu);
    QCOMPARE(l.script.forme.encodage, encodage);
    QCOMPARE(l.script.forme.bMarque, bMarque);
    QCOMPARE(l.script.forme.bCrLf, bCrLf);
    QCOMPARE(l.script.sTexte, texte);
    // The editor hands the text back with CR LF breaks; the file keeps its own.
    QString dansLEditeur = texte;
    dansLEditeur.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    const bool bMelange = texte.count(QLatin1Char('\n')) != dansLEditeur.count(QStringLiteral("\r\n"))
                          || (texte.contains(QStringLiteral("\r\n")) && texte.contains(QRegularExpression(QStringLiteral("[^\r]\n"))));
    // A file mixing both breaks is written with the most frequent one.
    if (!bMelange) {
        QCOMPARE(EnregistreScript(chemin, dansLEditeur, l.script.forme), QString());
        QCOMPARE(Lit(chemin), octets);
    }
}

void TestFichierScript::nouveauScript()
{
    const FormeScript nouveau;
    QCOMPARE(nouveau.encodage, FormeScript::Utf8);
    QVERIFY(!nouveau.bMarque);
    QVERIFY(nouveau.bCrLf);
    QCOMPARE(EncodeScript(QStringLiteral("é\r\nb\nc"), nouveau), QByteArray("\xc3\xa9\r\nb\r\nc"));
}

void TestFichierScript::caractereHorsWindows1252()
{
    const FormeScript ansi{FormeScript::Windows1252, false, true};
    QVERIFY(FormePeutCoder(ansi, QStringLiteral("été € “œ” Ÿ")));
    QVERIFY(!FormePeutCoder(ansi, QStringLiteral("client Παπαδόπουλος")));
    QVERIFY(FormePeutCoder(FormeScript{FormeScript::Utf16LE, true, true}, QStringLiteral("Παπαδόπουλος")));
    QVERIFY(FormePeutCoder(FormeScript(), QStringLiteral("Παπαδόπουλος")));
}

void TestFichierScript::fichiersRefuses_data()
{
    QTest::addColumn<QByteArray>("octets");
    QTest::addColumn<qint64>("lLimite");
    QTest::addColumn<LectureFichier::Etat>("etat");
    QTest::newRow("NUL en UTF-8") << QByteArray("SELECT\0 1", 9) << kTailleScriptMax << LectureFichier::PasUnTexte;
    QTest::newRow("binaire") << QByteArray("\x7f" "ELF\x02\x01\x01\0\0\0", 10) << kTailleScriptMax
                             << LectureFichier::PasUnTexte;
    QTest::newRow("NUL dans l'UTF-16 permis") << QByteArray("\xFF\xFEs\0e\0l\0", 8) << kTailleScriptMax
                                              << LectureFichier::Lu;
    QTest::newRow("au-dela de la limite") << QByteArray("SELECT 1") << qint64(7) << LectureFichier::TropGros;
    QTest::newRow("a la limite") << QByteArray("SELECT 1") << qint64(8) << LectureFichier::Lu;
}

void TestFichierScript::fichiersRefuses()
{
    QFETCH(QByteArray, octets);
    QFETCH(qint64, lLimite);
    QFETCH(LectureFichier::Etat, etat);
    const QString chemin = m_dossier.filePath(QStringLiteral("r.sql"));
    Ecrit(chemin, octets);
    const LectureFichier l = LitFichierScript(chemin, lLimite);
    QCOMPARE(l.etat, etat);
    QCOMPARE(l.lTaille, qint64(octets.size()));
}

void TestFichierScript::echecDEnregistrement_data()
{
    // The tests run as root, whom rights do not stop: folders that cannot hold the file.
    QTest::addColumn<QString>("chemin");
    QTest::addColumn<QString>("raison");
    QTest::newRow("dossier disparu") << QStringLiteral("disparu/a.sql") << QStringLiteral("n'existe pas");
    QTest::newRow("sous un fichier") << QStringLiteral("fichier.txt/a.sql") << QStringLiteral("n'est pas un dossier");
    QTest::newRow("un dossier a la place") << QStringLiteral("dossier.sql") << QStringLiteral("c'est un dossier");
}

void TestFichierScript::echecDEnregistrement()
{
    QFETCH(QString, chemin);
    QFETCH(QString, raison);
    Ecrit(m_dossier.filePath(QStringLiteral("fichier.txt")), "x");
    QDir(m_dossier.path()).mkpath(QStringLiteral("dossier.sql"));
    const QString sRaison = EnregistreScript(m_dossier.filePath(chemin), QStringLiteral("SELECT 1"), FormeScript());
    QVERIFY2(sRaison.contains(raison), qPrintable(sRaison));
    // Reading the same places says why too.
    QVERIFY(!LitFichierScript(m_dossier.filePath(chemin)).sErreur.isEmpty());
    QCOMPARE(Lit(m_dossier.filePath(QStringLiteral("fichier.txt"))), QByteArray("x"));
}

void TestFichierScript::copiesDeSecours()
{
    const QString dossier = m_dossier.filePath(QStringLiteral("secours"));
    CopiesSecours copies(dossier);
    QCOMPARE(copies.Ecrit(2, QStringLiteral("/srv/a.sql"), QStringLiteral("SELECT 'é'\r\n")), QString());
    QCOMPARE(QFileInfo(dossier).permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
             QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString fichier = copies.FichierCopie(2);
    QCOMPARE(QFileInfo(fichier).permissions() & ~(QFile::ReadUser | QFile::WriteUser),
             QFile::ReadOwner | QFile::WriteOwner);
    // This process runs: its copies are not for the taking.
    QVERIFY(copies.Abandonnees().isEmpty());

    // The copy of a process that ended without removing it is offered.
    const QString orpheline = QStringLiteral("%1/brenlor-%2-1.secours").arg(dossier).arg(ProcessusTermine());
    QVERIFY(QFile::copy(fichier, orpheline));
    const QList<CopieSecours> trouvees = copies.Abandonnees();
    QCOMPARE(trouvees.size(), 1);
    QCOMPARE(trouvees.at(0).iEditeur, 1);
    QCOMPARE(trouvees.at(0).sChemin, QStringLiteral("/srv/a.sql"));
    QCOMPARE(trouvees.at(0).sTexte, QStringLiteral("SELECT 'é'\r\n"));
    CopiesSecours::Oublie(trouvees.at(0));
    QVERIFY(!QFileInfo::exists(orpheline));
    QVERIFY(copies.Abandonnees().isEmpty());

    copies.Efface(2);
    QVERIFY(!QFileInfo::exists(fichier));
}

QTEST_APPLESS_MAIN(TestFichierScript)
#include "test_fichierscript.moc"
