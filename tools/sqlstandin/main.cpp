// sqlstandin: a small SQL Server stand-in for tests, benchmarks and the demo.
// It speaks TDS 7.x on 127.0.0.1 and keeps each database in one SQLite file.

#include "bases.h"
#include "chiffrementtls.h"
#include "configuration.h"
#include "graines.h"
#include "journal.h"
#include "repondeurssrp.h"
#include "serveurtds.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHostInfo>
#include <csignal>
#include <sqlite3.h>

namespace {
QString nomServeurLocal()
{
    const QString hote = QHostInfo::localHostName().section(QLatin1Char('.'), 0, 0).toUpper();
    return hote.isEmpty() ? QStringLiteral("STANDIN") : hote;
}

bool litConfiguration(const QCoreApplication &application, Configuration &c)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("SQL Server stand-in over TDS, backed by SQLite."));
    p.addHelpOption();
    const QCommandLineOption data(QStringLiteral("data"), QStringLiteral("Folder of the database files."), QStringLiteral("DIR"));
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("TCP port (0 = any free one)."), QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption password(QStringLiteral("password"), QStringLiteral("Password of the login sa."), QStringLiteral("PWD"));
    const QCommandLineOption ssrp(QStringLiteral("ssrp-port"), QStringLiteral("UDP port of the SSRP responder."), QStringLiteral("N"));
    const QCommandLineOption instance(QStringLiteral("instance"), QStringLiteral("Instance name announced over SSRP."), QStringLiteral("NAME"), QStringLiteral("MSSQLSERVER"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed: demo."), QStringLiteral("NAME"));
    const QCommandLineOption large(QStringLiteral("seed-large"), QStringLiteral("Database Grande with TABLES tables and COLUMNS columns."), QStringLiteral("TABLES,COLUMNS"));
    const QCommandLineOption delay(QStringLiteral("delay-ms"), QStringLiteral("Answer each SQL batch after N ms."), QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption drop(QStringLiteral("drop-after-rows"), QStringLiteral("Drop the connection after N rows of a longer result."), QStringLiteral("N"), QStringLiteral("-1"));
    const QCommandLineOption gel(QStringLiteral("gel-apres"), QStringLiteral("Answer N SQL batches and RPCs, then nothing more, as a hung server."), QStringLiteral("N"), QStringLiteral("-1"));
    const QCommandLineOption timing(QStringLiteral("timing"), QStringLiteral("Print the server-side time of each batch on stderr."));
    const QCommandLineOption server(QStringLiteral("server-name"), QStringLiteral("The server's own name (default: upper-cased host name)."), QStringLiteral("NAME"));
    const QCommandLineOption profil(QStringLiteral("profil"), QStringLiteral("SQL Server shown: 2000 or 2019."), QStringLiteral("VERSION"), QStringLiteral("2000"));
    const QCommandLineOption chiffrement(QStringLiteral("chiffrement"), QStringLiteral("TLS: non, connexion (login only) or requis (whole session)."), QStringLiteral("MODE"), QStringLiteral("non"));
    p.addOptions({data, port, password, ssrp, instance, seed, large, delay, drop, gel, timing, server, profil, chiffrement});
    p.process(application);
    if (!p.isSet(data) || !p.isSet(password)) {
        EcritErreur(QStringLiteral("sqlstandin: --data and --password are required"));
        return false;
    }
    c.dossierDonnees = QDir(p.value(data)).absolutePath();
    c.portTcp = p.value(port).toInt();
    c.motDePasse = p.value(password);
    c.portSsrp = p.value(ssrp).toInt();
    c.instance = p.value(instance);
    if (p.isSet(seed)) {
        if (p.value(seed) != QLatin1String("demo")) {
            EcritErreur(QStringLiteral("sqlstandin: unknown seed %1").arg(p.value(seed)));
            return false;
        }
        c.graineDemo = true;
    }
    if (p.isSet(large)) {
        const QStringList parties = p.value(large).split(QLatin1Char(','));
        c.grandesTables = parties.value(0).toInt();
        c.grandesColonnes = parties.value(1).toInt();
        if (parties.size() != 2 || c.grandesTables < 1 || c.grandesColonnes < 0) {
            EcritErreur(QStringLiteral("sqlstandin: --seed-large wants TABLES,COLUMNS"));
            return false;
        }
    }
    c.delaiMs = p.value(delay).toInt();
    c.couperApresLignes = p.value(drop).toInt();
    if (p.isSet(gel)) {
        bool bNombre = false;
        c.gelApres = p.value(gel).toInt(&bNombre);
        if (!bNombre || c.gelApres < 0) {
            EcritErreur(QStringLiteral("sqlstandin: --gel-apres wants a number of requests"));
            return false;
        }
    }
    c.chronometre = p.isSet(timing);
    c.nomServeur = p.isSet(server) ? p.value(server) : nomServeurLocal();
    if (p.value(profil) == QLatin1String("2000") || p.value(profil) == QLatin1String("2019")) {
        c.profil = p.value(profil) == QLatin1String("2019") ? Profil::Sql2019 : Profil::Sql2000;
    } else {
        EcritErreur(QStringLiteral("sqlstandin: --profil wants 2000 or 2019"));
        return false;
    }
    const QStringList modes{QStringLiteral("non"), QStringLiteral("connexion"), QStringLiteral("requis")};
    if (!modes.contains(p.value(chiffrement))) {
        EcritErreur(QStringLiteral("sqlstandin: --chiffrement wants non, connexion or requis"));
        return false;
    }
    c.chiffrement = Chiffrement(modes.indexOf(p.value(chiffrement)));
    return true;
}

bool prepareDonnees(const Configuration &c)
{
    if (!QDir().mkpath(c.dossierDonnees)) {
        EcritErreur(QStringLiteral("sqlstandin: cannot create %1").arg(c.dossierDonnees));
        return false;
    }
    QString erreur = AssureBasesSysteme(c.dossierDonnees, c.nomServeur);
    if (erreur.isEmpty())
        erreur = ActualiseCollation(c.dossierDonnees);
    if (erreur.isEmpty() && c.graineDemo)
        erreur = SemeDemo(c.dossierDonnees);
    if (erreur.isEmpty() && c.grandesTables > 0) {
        QElapsedTimer chrono;
        chrono.start();
        erreur = SemeGrande(c.dossierDonnees, c.grandesTables, c.grandesColonnes);
        EcritErreur(QStringLiteral("seed-large %1,%2: %3 ms")
                        .arg(c.grandesTables).arg(c.grandesColonnes).arg(chrono.elapsed()));
    }
    if (!erreur.isEmpty())
        EcritErreur(QStringLiteral("sqlstandin: %1").arg(erreur));
    return erreur.isEmpty();
}
}

int main(int argc, char *argv[])
{
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("sqlstandin"));
    Configuration configuration;
    if (!litConfiguration(application, configuration))
        return 2;
    FixeServeur(configuration.profil, configuration.nomServeur);
    sqlite3_initialize();
    if (!prepareDonnees(configuration))
        return 1;
    QString erreurTls;
    if (configuration.chiffrement != Chiffrement::Non && !PrepareTls(erreurTls)) {
        EcritErreur(QStringLiteral("sqlstandin: TLS: %1").arg(erreurTls));
        return 1;
    }

    ServeurTds serveur(configuration);
    if (!serveur.listen(QHostAddress::LocalHost, quint16(configuration.portTcp))) {
        EcritErreur(QStringLiteral("sqlstandin: cannot listen on 127.0.0.1:%1: %2")
                        .arg(configuration.portTcp).arg(serveur.errorString()));
        return 1;
    }
    RepondeurSsrp repondeur(configuration.nomServeur, configuration.instance, serveur.serverPort());
    if (configuration.portSsrp > 0 && !repondeur.ecoute(quint16(configuration.portSsrp))) {
        EcritErreur(QStringLiteral("sqlstandin: cannot bind UDP 127.0.0.1:%1").arg(configuration.portSsrp));
        return 1;
    }
    EcritLigne(QStringLiteral("listening on 127.0.0.1:%1").arg(serveur.serverPort()));
    return application.exec();
}
