#pragma once
#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QString>
#include <optional>

/// One SQL Server instance as a browser service (UDP 1434) announces it.
struct InstanceSql {
    QString sServeur;   ///< the machine name the service reports
    QString sInstance;  ///< instance name, "MSSQLSERVER" for the default one
    QString sVersion;
    int lPortTcp = 0;   ///< 0 when the instance does not listen on TCP
};

/// Default UDP port of the SQL Server browser service.
constexpr quint16 kPortSsrp = 1434;

/// Returns true for the default instance's name: none, or "MSSQLSERVER" in any case.
inline bool EstInstanceParDefaut(const QString &sInstance)
{
    return sInstance.isEmpty() || sInstance.compare(QLatin1String("MSSQLSERVER"), Qt::CaseInsensitive) == 0;
}

/// Returns the instances described by one server answer (SVR_RESP, 0x05);
/// an empty list for anything malformed or truncated.
QList<InstanceSql> AnalyseReponseSsrp(const QByteArray &reponse);

/// Returns the request datagram for every instance of one server (CLNT_UCAST_EX, 0x03).
QByteArray DemandeSsrpToutes();
/// Returns the request datagram for one named instance (CLNT_UCAST_INST, 0x04),
/// empty when the name is empty or longer than the protocol's 32 bytes.
QByteArray DemandeSsrpInstance(const QString &sInstance);

/// Returns the instances one server announces (unicast 0x03), waiting at most
/// lDelaiMs for the answer; empty when nobody answers.
QList<InstanceSql> DemandeInstances(const QHostAddress &adresse, quint16 port, int lDelaiMs);

/// Returns the named instance of one server (unicast 0x04), waiting at most
/// lDelaiMs; nothing when unknown or when nobody answers.
std::optional<InstanceSql> DemandeInstance(const QHostAddress &adresse, quint16 port,
                                           const QString &sInstance, int lDelaiMs);

/// Returns every instance that answers a broadcast on the local network
/// (0x02), collecting answers for lDelaiMs.
QList<InstanceSql> DiffuseDemandeInstances(quint16 port, int lDelaiMs);
