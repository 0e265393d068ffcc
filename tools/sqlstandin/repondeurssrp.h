#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>

class QUdpSocket;

/// Returns the SSRP answer for one instance: 0x05, the length on two bytes
/// (little-endian), then "ServerName;...;tcp;PORT;;".
QByteArray ReponseSsrp(const QString &sServeur, const QString &sInstance, int lPortTcp);

/// Answers SQL Server Resolution Protocol requests on 127.0.0.1 only:
/// 0x02 and 0x03 list every instance, 0x04 + name + 0x00 asks for one
/// (no answer for an unknown name).
class RepondeurSsrp : public QObject
{
public:
    RepondeurSsrp(const QString &sServeur, const QString &sInstance, int lPortTcp, QObject *parent = nullptr);
    /// Returns false when the UDP port cannot be bound.
    bool ecoute(quint16 lPort);

private:
    void litDemandes();
    QByteArray reponsePour(const QByteArray &demande) const;

    QUdpSocket *m_socket;
    QString m_serveur;
    QString m_instance;
    int m_portTcp;
};
