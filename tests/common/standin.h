#pragma once
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

/// A running SQL Server stand-in (tools/sqlstandin) on a free loopback port,
/// with its data in a private temporary folder. Killed when destroyed.
class StandIn
{
public:
    struct Options {
        QString password = QStringLiteral("Mirabel4");
        bool seedDemo = true;
        QString seedLarge;          ///< "TABLES,COLUMNS", empty for none
        bool ssrp = false;          ///< also answer SQL Server Resolution Protocol on a free UDP port
        QString instance;           ///< instance name announced over SSRP
        QString profil;             ///< "2000" or "2019"; empty for the stand-in's default (2000)
        QString chiffrement;        ///< "non", "connexion" or "requis"; empty for the default (non)
        QStringList extraArguments; ///< fault switches and the like
    };

    StandIn();
    explicit StandIn(const Options &options);
    ~StandIn();

    /// True once the stand-in printed its "listening on" line.
    bool isRunning() const { return m_port > 0; }
    int port() const { return m_port; }
    int ssrpPort() const { return m_ssrpPort; }
    QString dataDir() const { return m_dir.path(); }
    /// "127.0.0.1,PORT": a server name that Brenlor's connection string accepts.
    QString serverName() const;
    /// Everything the stand-in printed so far (for failure messages).
    QString output() const;
    /// Lines of the stand-in's standard output that start with the given prefix.
    QStringList outputLines(const QString &prefix) const;

    /// Stops and starts again on the same port and data folder.
    bool restart();
    /// The same, with other fault switches (none: a server that answers again).
    bool restart(const QStringList &extraArguments);
    void stop();

private:
    bool start();

    Options m_options;
    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_process;
    mutable QString m_output;
    int m_port = 0;
    int m_ssrpPort = 0;
};
