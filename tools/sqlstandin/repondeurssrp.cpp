#include "repondeurssrp.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

QByteArray ReponseSsrp(const QString &sServeur, const QString &sInstance, int lPortTcp)
{
    const QByteArray texte = QStringLiteral("ServerName;%1;InstanceName;%2;IsClustered;No;Version;10.0.1600.22;tcp;%3;;")
                                 .arg(sServeur, sInstance)
                                 .arg(lPortTcp)
                                 .toLatin1();
    QByteArray reponse;
    reponse.append(char(0x05));
    reponse.append(char(texte.size() & 0xFF)).append(char((texte.size() >> 8) & 0xFF));
    return reponse + texte;
}

RepondeurSsrp::RepondeurSsrp(const QString &sServeur, const QString &sInstance, int lPortTcp, QObject *parent)
    : QObject(parent), m_socket(new QUdpSocket(this)), m_serveur(sServeur), m_instance(sInstance), m_portTcp(lPortTcp)
{
    connect(m_socket, &QUdpSocket::readyRead, this, &RepondeurSsrp::litDemandes);
}

bool RepondeurSsrp::ecoute(quint16 lPort)
{
    return m_socket->bind(QHostAddress::LocalHost, lPort);
}

QByteArray RepondeurSsrp::reponsePour(const QByteArray &demande) const
{
    if (demande.isEmpty())
        return QByteArray();
    const char genre = demande.at(0);
    if (genre == 0x02 || genre == 0x03)
        return ReponseSsrp(m_serveur, m_instance, m_portTcp);
    if (genre == 0x04) {
        QByteArray nom = demande.mid(1);
        const int fin = nom.indexOf('\0');
        if (fin >= 0)
            nom.truncate(fin);
        if (QString::fromLatin1(nom).compare(m_instance, Qt::CaseInsensitive) == 0)
            return ReponseSsrp(m_serveur, m_instance, m_portTcp);
    }
    return QByteArray();
}

void RepondeurSsrp::litDemandes()
{
    while (m_socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagramme = m_socket->receiveDatagram();
        const QByteArray reponse = reponsePour(datagramme.data());
        // Answers go back to the loopback sender only.
        if (!reponse.isEmpty() && datagramme.senderAddress().isLoopback())
            m_socket->writeDatagram(reponse, datagramme.senderAddress(), quint16(datagramme.senderPort()));
    }
}
