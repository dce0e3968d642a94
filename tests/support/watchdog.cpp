#include "watchdog.h"

#include <cstdio>

namespace {

DWORD WINAPI WatchdogProc(LPVOID param)
{
    const DWORD seconds = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(param));
    Sleep(seconds * 1000);
    std::fprintf(stderr, "\nwatchdog: test still running after %lu s, ending it\n",
                 static_cast<unsigned long>(seconds));
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 99);
    return 0;
}

} // namespace

void StartWatchdog(unsigned seconds)
{
    HANDLE h = CreateThread(nullptr, 0, WatchdogProc,
                            reinterpret_cast<LPVOID>(static_cast<ULONG_PTR>(seconds)), 0, nullptr);
    if (h)
        CloseHandle(h);
}
