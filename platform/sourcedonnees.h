#pragma once
#include <QString>
#include <QStringList>

/// Where a "Data Source" leads, before any network lookup.
struct CibleServeur {
    QString sHote;      ///< host name or address; empty when sSection is used
    int lPort = 0;      ///< TCP port; 0 while a named instance is still to be resolved
    QString sInstance;  ///< named instance to resolve over SSRP (host\instance without a port)
    QString sSection;   ///< a FreeTDS configuration section, which gives host and port itself
};

/// Default TCP port of SQL Server's default instance.
constexpr int kPortSqlServer = 1433;

/// Returns true for the names that mean this machine: "(local)", ".",
/// "localhost", and the machine's own name (with or without its domain).
bool EstNomLocal(const QString &sHote, const QString &sNomMachine);

/// Returns the target of a Data Source: host, host\instance, host,port
/// (host\instance,port too), one of the local names (reached on 127.0.0.1),
/// or a section of the FreeTDS configuration. An empty source means this machine.
/// Throws ErreurAdo (0x80004005) for a port that is not a number from 1 to 65535.
CibleServeur AnalyseSourceDonnees(const QString &sSource, const QString &sNomMachine,
                                  const QStringList &sectionsFreeTds);

/// Returns this machine's name, as the server picker lists the local server.
QString NomMachineLocale();

/// Returns the target with its named instance resolved to a TCP port over
/// SSRP, waiting at most lDelaiMs. Targets without an instance come back unchanged.
/// Throws ErreurAdo (0x80004005) when the host or the instance cannot be found.
CibleServeur ResoutInstance(const CibleServeur &cible, quint16 portSsrp, int lDelaiMs);

/// Returns the UDP port asked for instance resolution (1434 unless a test changed it).
quint16 PortSsrp();
/// Test hook: sends instance requests to another UDP port (the stand-in's).
void SetPortSsrpPourTests(quint16 port);
