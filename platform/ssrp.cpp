#include "ssrp.h"

#include <QDeadlineTimer>
#include <QNetworkDatagram>
#include <QUdpSocket>

namespace {

constexpr char kClntBcastEx = 0x02;
constexpr char kClntUcastEx = 0x03;
constexpr char kClntUcastInst = 0x04;
constexpr char kSvrResp = 0x05;
constexpr int kLongueurMaxInstance = 32;

// One answer holds ";"-separated key/value pairs; "ServerName" opens each
// instance and an empty key (the ";;" between instances) closes it.
QList<InstanceSql> AnalyseDonnees(const QString &sDonnees)
{
    QList<InstanceSql> instances;
    const QStringList jetons = sDonnees.split(QLatin1Char(';'));
    InstanceSql courante;
    bool bEnCours = false;
    auto termine = [&]() {
        if (bEnCours && !courante.sServeur.isEmpty() && !courante.sInstance.isEmpty())
            instances << courante;
        courante = InstanceSql();
        bEnCours = false;
    };
    for (int i = 0; i < jetons.size(); ++i) {
        const QString &sCle = jetons.at(i);
        if (sCle.isEmpty()) {
            termine();
            continue;
        }
        if (i + 1 >= jetons.size())
            break;
        const QString sValeur = jetons.at(++i);
        if (sCle.compare(QLatin1String("ServerName"), Qt::CaseInsensitive) == 0) {
            termine();
            bEnCours = true;
            courante.sServeur = sValeur;
        } else if (sCle.compare(QLatin1String("InstanceName"), Qt::CaseInsensitive) == 0) {
            courante.sInstance = sValeur;
        } else if (sCle.compare(QLatin1String("Version"), Qt::CaseInsensitive) == 0) {
            courante.sVersion = sValeur;
        } else if (sCle.compare(QLatin1String("tcp"), Qt::CaseInsensitive) == 0) {
            // A port no TCP connection can have makes the whole answer
            // malformed: cut to 16 bits it would name another server.
            bool bNombre = false;
            const int lPort = sValeur.toInt(&bNombre);
            if (!bNombre || lPort < 1 || lPort > 65535)
                return {};
            courante.lPortTcp = lPort;
        }
    }
    termine();
    return instances;
}

bool MemeAdresse(const QHostAddress &a, const QHostAddress &b)
{
    return a.isEqual(b, QHostAddress::TolerantConversion);
}

// Sends one request and gathers answers until the deadline; with bPremiere
// the first valid answer ends the wait.
QList<InstanceSql> Echange(const QHostAddress &adresse, quint16 port, const QByteArray &demande,
                           int lDelaiMs, bool bPremiere)
{
    QList<InstanceSql> trouvees;
    if (demande.isEmpty())
        return trouvees;
    QUdpSocket socket;
    const bool bDiffusion = adresse == QHostAddress(QHostAddress::Broadcast);
    if (!socket.bind(QHostAddress(QHostAddress::AnyIPv4), 0))
        return trouvees;
    if (socket.writeDatagram(demande, adresse, port) != demande.size())
        return trouvees;
    QDeadlineTimer echeance(qMax(0, lDelaiMs));
    while (!echeance.hasExpired()) {
        if (!socket.hasPendingDatagrams() && !socket.waitForReadyRead(int(echeance.remainingTime())))
            break;
        while (socket.hasPendingDatagrams()) {
            const QNetworkDatagram datagramme = socket.receiveDatagram();
            if (!bDiffusion && !MemeAdresse(datagramme.senderAddress(), adresse))
                continue;
            const QList<InstanceSql> instances = AnalyseReponseSsrp(datagramme.data());
            trouvees << instances;
            if (bPremiere && !instances.isEmpty())
                return trouvees;
        }
    }
    return trouvees;
}

} // namespace

QList<InstanceSql> AnalyseReponseSsrp(const QByteArray &reponse)
{
    if (reponse.size() < 3 || reponse.at(0) != kSvrResp)
        return {};
    const int lTaille = quint8(reponse.at(1)) | (quint8(reponse.at(2)) << 8);
    if (lTaille == 0 || reponse.size() - 3 < lTaille)
        return {};
    return AnalyseDonnees(QString::fromLocal8Bit(reponse.mid(3, lTaille)));
}

QByteArray DemandeSsrpToutes()
{
    return QByteArray(1, kClntUcastEx);
}

QByteArray DemandeSsrpInstance(const QString &sInstance)
{
    const QByteArray nom = sInstance.toLocal8Bit();
    if (nom.isEmpty() || nom.size() > kLongueurMaxInstance || nom.contains('\0'))
        return QByteArray();
    return QByteArray(1, kClntUcastInst) + nom + QByteArray(1, '\0');
}

QList<InstanceSql> DemandeInstances(const QHostAddress &adresse, quint16 port, int lDelaiMs)
{
    return Echange(adresse, port, DemandeSsrpToutes(), lDelaiMs, true);
}

std::optional<InstanceSql> DemandeInstance(const QHostAddress &adresse, quint16 port,
                                           const QString &sInstance, int lDelaiMs)
{
    const QList<InstanceSql> instances = Echange(adresse, port, DemandeSsrpInstance(sInstance), lDelaiMs, true);
    for (const InstanceSql &instance : instances)
        if (instance.sInstance.compare(sInstance, Qt::CaseInsensitive) == 0)
            return instance;
    return std::nullopt;
}

QList<InstanceSql> DiffuseDemandeInstances(quint16 port, int lDelaiMs)
{
    return Echange(QHostAddress(QHostAddress::Broadcast), port, QByteArray(1, kClntBcastEx), lDelaiMs, false);
}
