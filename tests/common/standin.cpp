#include "standin.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// A UDP port that is free on the loopback address right now (the stand-in binds it next).
int freeUdpPort()
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}
}

StandIn::StandIn() : StandIn(Options()) {}

StandIn::StandIn(const Options &options) : m_options(options)
{
    if (m_options.ssrp)
        m_ssrpPort = freeUdpPort();
    start();
}

StandIn::~StandIn() { stop(); }

bool StandIn::start()
{
    QStringList args{QStringLiteral("--data"), m_dir.path(),
                     QStringLiteral("--port"), QString::number(m_port),
                     QStringLiteral("--password"), m_options.password};
    if (m_options.seedDemo)
        args << QStringLiteral("--seed") << QStringLiteral("demo");
    if (!m_options.seedLarge.isEmpty())
        args << QStringLiteral("--seed-large") << m_options.seedLarge;
    if (m_ssrpPort > 0)
        args << QStringLiteral("--ssrp-port") << QString::number(m_ssrpPort);
    if (!m_options.instance.isEmpty())
        args << QStringLiteral("--instance") << m_options.instance;
    if (!m_options.profil.isEmpty())
        args << QStringLiteral("--profil") << m_options.profil;
    if (!m_options.chiffrement.isEmpty())
        args << QStringLiteral("--chiffrement") << m_options.chiffrement;
    args << m_options.extraArguments;

    // After a restart the output still holds the last run's "listening on"
    // line: only the new process's own output tells that it listens.
    const qsizetype lDebut = m_output.size();
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::SeparateChannels);
    m_process->start(QStringLiteral(SQLSTANDIN_PATH), args);
    if (!m_process->waitForStarted(10000))
        return false;
    static const QRegularExpression ready(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 60000) {
        m_process->waitForReadyRead(200);
        m_output += QString::fromUtf8(m_process->readAllStandardOutput());
        m_output += QString::fromUtf8(m_process->readAllStandardError());
        const auto match = ready.match(m_output, lDebut);
        if (match.hasMatch()) {
            m_port = match.captured(1).toInt();
            return true;
        }
        if (m_process->state() == QProcess::NotRunning)
            break;
    }
    m_port = 0;
    return false;
}

QString StandIn::serverName() const
{
    return QStringLiteral("127.0.0.1,%1").arg(m_port);
}

QString StandIn::output() const
{
    if (m_process) {
        // Without an event loop nothing drains the pipe: pull in what is already there.
        while (m_process->state() == QProcess::Running && m_process->waitForReadyRead(20)) {
            m_output += QString::fromUtf8(m_process->readAllStandardOutput());
            m_output += QString::fromUtf8(m_process->readAllStandardError());
        }
        m_output += QString::fromUtf8(m_process->readAllStandardOutput());
        m_output += QString::fromUtf8(m_process->readAllStandardError());
    }
    return m_output;
}

QStringList StandIn::outputLines(const QString &prefix) const
{
    QStringList found;
    const auto lines = output().split(QLatin1Char('\n'));
    for (const QString &line : lines)
        if (line.startsWith(prefix))
            found << line.trimmed();
    return found;
}

bool StandIn::restart()
{
    const int port = m_port;
    stop();
    m_port = port;
    m_options.seedDemo = false;   // the data folder already holds the databases
    m_options.seedLarge.clear();
    return start();
}

bool StandIn::restart(const QStringList &extraArguments)
{
    m_options.extraArguments = extraArguments;
    return restart();
}

void StandIn::stop()
{
    if (m_process) {
        output();
        m_process->kill();
        m_process->waitForFinished(5000);
        m_process.reset();
    }
    m_port = 0;
}
