#include "journal.h"

#include <cstdio>
#include <mutex>

namespace {
std::mutex verrouSorties;
}

void EcritLigne(const QString &sLigne)
{
    const QByteArray octets = sLigne.toUtf8();
    std::lock_guard<std::mutex> garde(verrouSorties);
    std::fwrite(octets.constData(), 1, size_t(octets.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void EcritErreur(const QString &sLigne)
{
    const QByteArray octets = sLigne.toUtf8();
    std::lock_guard<std::mutex> garde(verrouSorties);
    std::fwrite(octets.constData(), 1, size_t(octets.size()), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}
