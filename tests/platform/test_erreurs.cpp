// The one table from driver conditions to the platform's error numbers.
#include "codeserreurs.h"

#include <QtTest>

Q_DECLARE_METATYPE(PhaseOdbc)

class TestErreurs : public QObject
{
    Q_OBJECT

private slots:
    void donneLeNumeroDeLaPlateforme_data();
    void donneLeNumeroDeLaPlateforme();
    void garde32BitsSignes_data();
    void garde32BitsSignes();
    void decritSansPrefixesDuPilote_data();
    void decritSansPrefixesDuPilote();
    void texteDesErreursPropres_data();
    void texteDesErreursPropres();
};

namespace {
DiagnosticOdbc Diag(const char *etat, int natif, const char *message)
{
    DiagnosticOdbc d;
    d.sEtat = QString::fromLatin1(etat);
    d.lNatif = natif;
    d.sMessage = QString::fromUtf8(message);
    return d;
}
}

void TestErreurs::donneLeNumeroDeLaPlateforme_data()
{
    QTest::addColumn<QList<DiagnosticOdbc>>("diagnostics");
    QTest::addColumn<PhaseOdbc>("phase");
    QTest::addColumn<int>("numero");

    const auto cn = PhaseOdbc::Connexion;
    const auto cmd = PhaseOdbc::Commande;
    QTest::newRow("mot de passe refuse puis echec generique")
        << QList<DiagnosticOdbc>{Diag("42000", 18456, "[FreeTDS][SQL Server]Login failed for user 'sa'."),
                                 Diag("08001", 0, "[FreeTDS][SQL Server]Unable to connect to data source")}
        << cn << int(CodesErreurs::EchecAuthentification);
    QTest::newRow("refus d'authentification apres un autre message")
        << QList<DiagnosticOdbc>{Diag("01000", 5701, "Changed database context"), Diag("28000", 18456, "Login failed")}
        << cn << int(CodesErreurs::EchecAuthentification);
    QTest::newRow("port ferme")
        << QList<DiagnosticOdbc>{Diag("08S01", 20009, "Unable to connect: Adaptive Server is unavailable or does not exist"),
                                 Diag("08001", 0, "Unable to connect to data source")}
        << cn << int(CodesErreurs::EchecNonSpecifie);
    QTest::newRow("hote inconnu") << QList<DiagnosticOdbc>{Diag("08001", 20013, "Unknown host machine name.")}
                                  << cn << int(CodesErreurs::EchecNonSpecifie);
    QTest::newRow("delai de connexion") << QList<DiagnosticOdbc>{Diag("HYT00", 0, "Timeout expired")}
                                        << cn << int(CodesErreurs::EchecNonSpecifie);
    QTest::newRow("base inconnue a la connexion")
        << QList<DiagnosticOdbc>{Diag("42000", 4060, "Cannot open database \"X\" requested by the login.")}
        << cn << int(CodesErreurs::EchecNonSpecifie);
    QTest::newRow("base inconnue suivie du refus de connexion")
        << QList<DiagnosticOdbc>{Diag("42000", 4060, "Cannot open database \"X\" requested by the login."),
                                 Diag("28000", 18456, "Login failed for user 'sa'."),
                                 Diag("08001", 0, "Unable to connect to data source")}
        << cn << int(CodesErreurs::EchecNonSpecifie);
    QTest::newRow("pilote introuvable")
        << QList<DiagnosticOdbc>{Diag("01000", 0, "Can't open lib"), Diag("IM002", 0, "Data source name not found")}
        << cn << int(CodesErreurs::EchecNonSpecifie);
    QTest::newRow("pilote introuvable en premier")
        << QList<DiagnosticOdbc>{Diag("IM002", 0, "Data source name not found")} << cn << int(CodesErreurs::FournisseurIntrouvable);
    QTest::newRow("erreur de syntaxe") << QList<DiagnosticOdbc>{Diag("42000", 102, "Incorrect syntax near 'FORM'.")}
                                       << cmd << int(CodesErreurs::ErreursDansCommande);
    QTest::newRow("colonne inconnue") << QList<DiagnosticOdbc>{Diag("42S22", 207, "Invalid column name 'x'.")}
                                      << cmd << int(CodesErreurs::ErreursDansCommande);
    QTest::newRow("objet inconnu") << QList<DiagnosticOdbc>{Diag("42S02", 208, "Invalid object name 'x'.")}
                                   << cmd << int(CodesErreurs::ObjetInexistant);
    QTest::newRow("objet inconnu sous 42000") << QList<DiagnosticOdbc>{Diag("42000", 208, "Invalid object name 'x'.")}
                                              << cmd << int(CodesErreurs::ObjetInexistant);
    QTest::newRow("permission refusee") << QList<DiagnosticOdbc>{Diag("42000", 229, "The SELECT permission was denied")}
                                        << cmd << int(CodesErreurs::PermissionRefusee);
    QTest::newRow("conversion") << QList<DiagnosticOdbc>{Diag("22018", 245, "Conversion failed")}
                                << cmd << int(CodesErreurs::ConversionImpossible);
    QTest::newRow("date mal formee") << QList<DiagnosticOdbc>{Diag("22007", 241, "Conversion failed when converting date")}
                                     << cmd << int(CodesErreurs::ConversionImpossible);
    QTest::newRow("division par zero") << QList<DiagnosticOdbc>{Diag("22012", 8134, "Divide by zero error encountered.")}
                                       << cmd << int(CodesErreurs::ErreursDansCommande);
    QTest::newRow("cle dupliquee") << QList<DiagnosticOdbc>{Diag("23000", 2627, "Violation of PRIMARY KEY constraint")}
                                   << cmd << int(CodesErreurs::ViolationIntegrite);
    QTest::newRow("delai de commande") << QList<DiagnosticOdbc>{Diag("HYT00", 0, "Timeout expired")}
                                       << cmd << int(CodesErreurs::DelaiDepasse);
    QTest::newRow("lien rompu pendant une commande")
        << QList<DiagnosticOdbc>{Diag("08S01", 20004, "Read from the server failed")} << cmd << int(CodesErreurs::EchecNonSpecifie);
    QTest::newRow("raiserror de l'utilisateur") << QList<DiagnosticOdbc>{Diag("HY000", 50000, "mon erreur")}
                                                << cmd << int(CodesErreurs::ErreursDansCommande);
    QTest::newRow("condition inconnue du pilote") << QList<DiagnosticOdbc>{Diag("HY001", 0, "Memory allocation error")}
                                                  << cmd << int(CodesErreurs::EchecNonSpecifie);
    QTest::newRow("aucun diagnostic") << QList<DiagnosticOdbc>{} << cmd << int(CodesErreurs::EchecNonSpecifie);
}

void TestErreurs::donneLeNumeroDeLaPlateforme()
{
    QFETCH(QList<DiagnosticOdbc>, diagnostics);
    QFETCH(PhaseOdbc, phase);
    QFETCH(int, numero);
    QCOMPARE(NumeroErreur(diagnostics, phase), numero);
    QCOMPARE(ErreurOdbc(diagnostics, phase).Number(), numero);
}

void TestErreurs::garde32BitsSignes_data()
{
    QTest::addColumn<int>("numero");
    QTest::addColumn<qlonglong>("decimal");
    QTest::addColumn<QString>("hexadecimal");
    QTest::newRow("erreurs dans la commande") << int(CodesErreurs::ErreursDansCommande) << -2147217900LL << "80040E14";
    QTest::newRow("objet ferme 3704") << int(CodesErreurs::ObjetFerme) << -2146824584LL << "800A0E78";
    QTest::newRow("bof ou eof 3021") << int(CodesErreurs::PasDEnregistrementCourant) << -2146825267LL << "800A0BCD";
    QTest::newRow("non supporte 3251") << int(CodesErreurs::OperationNonSupportee) << -2146825037LL << "800A0CB3";
    QTest::newRow("lecture arriere") << int(CodesErreurs::LectureArriereImpossible) << -2147217884LL << "80040E24";
    QTest::newRow("echec d'authentification") << int(CodesErreurs::EchecAuthentification) << -2147217843LL << "80040E4D";
    QTest::newRow("serveur introuvable") << int(CodesErreurs::EchecNonSpecifie) << -2147467259LL << "80004005";
    QTest::newRow("objet inexistant") << int(CodesErreurs::ObjetInexistant) << -2147217865LL << "80040E37";
    QTest::newRow("delai depasse") << int(CodesErreurs::DelaiDepasse) << -2147217871LL << "80040E31";
}

void TestErreurs::garde32BitsSignes()
{
    QFETCH(int, numero);
    QFETCH(qlonglong, decimal);
    QFETCH(QString, hexadecimal);
    QCOMPARE(qlonglong(numero), decimal);
    QCOMPARE(QString::number(quint32(numero), 16).toUpper(), hexadecimal);
}

void TestErreurs::decritSansPrefixesDuPilote_data()
{
    QTest::addColumn<QList<DiagnosticOdbc>>("diagnostics");
    QTest::addColumn<PhaseOdbc>("phase");
    QTest::addColumn<QString>("description");
    QTest::newRow("message du serveur")
        << QList<DiagnosticOdbc>{Diag("42S02", 208, "[FreeTDS][SQL Server]Invalid object name 'nulle_part'.")}
        << PhaseOdbc::Commande << "Invalid object name 'nulle_part'.";
    QTest::newRow("message du refus de connexion retenu")
        << QList<DiagnosticOdbc>{Diag("01000", 0, "[unixODBC][FreeTDS]note"),
                                 Diag("42000", 18456, "[FreeTDS][SQL Server]Login failed for user 'sa'.")}
        << PhaseOdbc::Connexion << "Login failed for user 'sa'.";
    QTest::newRow("texte non ascii intact")
        << QList<DiagnosticOdbc>{Diag("42000", 208, "[FreeTDS][SQL Server]Invalid object name 'Été'.")}
        << PhaseOdbc::Commande << "Invalid object name 'Été'.";
    QTest::newRow("crochet au milieu garde")
        << QList<DiagnosticOdbc>{Diag("42000", 102, "[FreeTDS][SQL Server]Incorrect syntax near '[x]'.")}
        << PhaseOdbc::Commande << "Incorrect syntax near '[x]'.";
    QTest::newRow("rien a dire") << QList<DiagnosticOdbc>{} << PhaseOdbc::Commande << "Unspecified error";
}

void TestErreurs::decritSansPrefixesDuPilote()
{
    QFETCH(QList<DiagnosticOdbc>, diagnostics);
    QFETCH(PhaseOdbc, phase);
    QFETCH(QString, description);
    QCOMPARE(DescriptionErreur(diagnostics, phase), description);
}

void TestErreurs::texteDesErreursPropres_data()
{
    QTest::addColumn<int>("numero");
    QTest::addColumn<QString>("texte");
    QTest::newRow("3704") << int(CodesErreurs::ObjetFerme) << "Operation is not allowed when the object is closed.";
    QTest::newRow("3021") << int(CodesErreurs::PasDEnregistrementCourant)
                          << "Either BOF or EOF is True, or the current record has been deleted. "
                             "Requested operation requires a current record.";
    QTest::newRow("3251") << int(CodesErreurs::OperationNonSupportee)
                          << "Object or provider is not capable of performing requested operation.";
    QTest::newRow("lecture arriere") << int(CodesErreurs::LectureArriereImpossible)
                                     << "Rowset does not support fetching backward.";
    QTest::newRow("message du serveur non repris") << int(CodesErreurs::ErreursDansCommande) << "";
}

void TestErreurs::texteDesErreursPropres()
{
    QFETCH(int, numero);
    QFETCH(QString, texte);
    QCOMPARE(TexteErreur(numero), texte);
    const ErreurAdo e = ErreurInterne(numero);
    QCOMPARE(e.Number(), numero);
    QCOMPARE(e.Description(), texte.isEmpty() ? QStringLiteral("Unspecified error") : texte);
}

QTEST_APPLESS_MAIN(TestErreurs)
#include "test_erreurs.moc"
