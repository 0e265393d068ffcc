#include "serveurtds.h"

#include "session.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <thread>

void ServeurTds::incomingConnection(qintptr descripteur)
{
    const int fd = int(descripteur);
    const int un = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &un, sizeof un);
    const Configuration &configuration = m_configuration;
    std::thread([fd, &configuration]() {
        Session session(fd, configuration);
        session.deroule();
    }).detach();
}
