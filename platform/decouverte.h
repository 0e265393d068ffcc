#pragma once
#include <QHostAddress>
#include <QString>
#include <QStringList>

/// Where server discovery looks. The defaults are those of a real run; tests
/// point the local probes at a stand-in and the configuration at a file of
/// their own.
struct OptionsDecouverte {
    /// FreeTDS configuration to list; empty = the files FreeTDS itself reads.
    QString sFichierFreeTds;
    /// Address of the local machine's browser service and database port.
    QHostAddress adresseLocale = QHostAddress(QHostAddress::LocalHost);
    quint16 lPortSsrp = 1434;   ///< 0 = no browser-service request
    quint16 lPortTcp = 1433;    ///< 0 = no TCP probe
    /// Ask the whole local network (UDP broadcast); only when the user chose it.
    bool bRechercheReseau = false;
    /// Upper bound of all waiting together, in milliseconds.
    int lDelaiTotalMs = 1000;
    /// Name under which this computer's named instances are listed.
    QString sNomMachine;
};

/// Returns the server sections of one FreeTDS configuration file, or, for an
/// empty name, of the files FreeTDS itself reads, in its reading order.
QStringList SectionsFreeTdsDe(const QString &sFichier);

/// Returns the computer's name from the operating system, upper-cased and cut
/// at its first dot.
QString NomOrdinateur();

/// Returns the names of the SQL Servers found, in source order: FreeTDS
/// sections, then the local machine ("(local)" for its default instance,
/// COMPUTER\INSTANCE for a named one), then the network when asked for.
/// A name already listed (ignoring case) is not repeated.
QStringList ServeursDecouverts(const OptionsDecouverte &options);

/// The names the server picker shows for discovered ones: upper-cased, the
/// local default instance "(local)" under the computer's name (or left out
/// when bInclureLocal is false), blank names left out.
QStringList NomsAfficheables(const QStringList &noms, bool bInclureLocal, const QString &sNomMachine);
