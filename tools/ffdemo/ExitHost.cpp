// ffexithost DLL DIRECTION main|thread ID PAD-PATH [ID PAD-PATH]...: a game that quits without
// releasing the driver. It opens each device id on its pad through the driver as DirectInput
// does, sets full gain, starts a full-scale constant force on each in the given polar
// direction (0 left, 9000 right) and, 300 ms later, calls ExitProcess from its main thread or
// from a second thread, with the driver object still alive. Exit code 0 only from that
// ExitProcess.
#include "DriverHost.h"
#include "EffectDesc.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

DWORD WINAPI ExitFromThread(LPVOID)
{
    ExitProcess(0);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 6 || argc % 2 != 0 ||
        (std::strcmp(argv[3], "main") != 0 && std::strcmp(argv[3], "thread") != 0)) {
        std::fprintf(stderr,
                     "usage: ffexithost DLL DIRECTION main|thread ID PAD-PATH [ID PAD-PATH]...\n");
        return 2;
    }
    // Its destructor would release the driver: only the failure returns reach it.
    DriverHost host;
    if (!host.Load(argv[1]))
        return 3;
    IDirectInputEffectDriver* pDriver = host.Driver();
    EffectDesc force(std::atol(argv[2]), INFINITE);
    force.Constant(10000);
    for (int i = 4; i < argc; i += 2) {
        const DWORD dwId = std::strtoul(argv[i], nullptr, 10);
        const std::wstring padPath(argv[i + 1], argv[i + 1] + std::strlen(argv[i + 1]));
        if (FAILED(host.OpenDevice(dwId, padPath.c_str())))
            return 4;
        DWORD dwHandle = 0;
        if (FAILED(pDriver->DownloadEffect(dwId, KIND_CONSTANT, &dwHandle, &force.eff,
                                           DIEP_ALLPARAMS | DIEP_START)))
            return 5;
    }
    Sleep(300);
    if (argv[3][0] == 'm')
        ExitProcess(0);
    HANDLE hThread = CreateThread(nullptr, 0, &ExitFromThread, nullptr, 0, nullptr);
    if (hThread)
        WaitForSingleObject(hThread, INFINITE);
    return 6;
}
