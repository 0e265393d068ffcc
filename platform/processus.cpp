#include "processus.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#endif

bool ProcessusActif(qint64 lIdentifiant)
{
    if (lIdentifiant <= 0)
        return false;
#ifdef Q_OS_WIN
    HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(lIdentifiant));
    if (!h)
        return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool bActif = GetExitCodeProcess(h, &code) && code == STILL_ACTIVE;
    CloseHandle(h);
    return bActif;
#else
    // Signal 0 only asks whether the process exists; EPERM: it does, another user's.
    return kill(pid_t(lIdentifiant), 0) == 0 || errno == EPERM;
#endif
}
