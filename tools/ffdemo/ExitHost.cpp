// ffexithost DLL PAD-PATH DIRECTION main|thread: a game that quits without releasing the
// driver. It opens the pad through the driver as DirectInput does, sets full gain, starts a
// full-scale constant force in the given polar direction (0 left, 9000 right) and, 300 ms
// later, calls ExitProcess from its main thread or from a second thread, with the driver
// object still alive. Exit code 0 only from that ExitProcess.
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
    if (argc != 5 || (std::strcmp(argv[4], "main") != 0 && std::strcmp(argv[4], "thread") != 0)) {
        std::fprintf(stderr, "usage: ffexithost DLL PAD-PATH DIRECTION main|thread\n");
        return 2;
    }
    // Its destructor would release the driver: only the failure returns reach it.
    DriverHost host;
    if (!host.Load(argv[1]))
        return 3;
    const std::wstring padPath(argv[2], argv[2] + std::strlen(argv[2]));
    if (FAILED(host.OpenDevice(0, padPath.c_str())))
        return 4;
    IDirectInputEffectDriver* pDriver = host.Driver();
    EffectDesc force(std::atol(argv[3]), INFINITE);
    force.Constant(10000);
    DWORD dwHandle = 0;
    if (FAILED(pDriver->DownloadEffect(0, KIND_CONSTANT, &dwHandle, &force.eff,
                                       DIEP_ALLPARAMS | DIEP_START)))
        return 5;
    Sleep(300);
    if (argv[4][0] == 'm')
        ExitProcess(0);
    HANDLE hThread = CreateThread(nullptr, 0, &ExitFromThread, nullptr, 0, nullptr);
    if (hThread)
        WaitForSingleObject(hThread, INFINITE);
    return 6;
}
