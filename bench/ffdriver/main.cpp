// ffbench [driver.dll...]: measures every driver build of this architecture (or the DLLs
// named), each in a process of its own, and prints the figures. It never fails.
#include "DriverHost.h"
#include "EffectDesc.h"
#include "PadSimulator.h"
#include "SleepHook.h"
#include "Stats.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// A sine of full magnitude and 90 ms period, or a constant force, playing without end.
std::unique_ptr<EffectDesc> Sine(DWORD dwPhase, LONG lDirection = 0)
{
    auto p = std::make_unique<EffectDesc>(lDirection, INFINITE);
    p->Periodic(10000, dwPhase, 90000);
    return p;
}

std::unique_ptr<EffectDesc> Constant(LONG lMagnitude)
{
    auto p = std::make_unique<EffectDesc>(0, INFINITE);
    p->Constant(lMagnitude);
    return p;
}

double QpcMs()
{
    return PadSimulator::NowMs();
}

// CPU time of a thread or process in milliseconds.
double CpuMs(const FILETIME& kernel, const FILETIME& user)
{
    auto ms = [](const FILETIME& ft) {
        return static_cast<double>((static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) |
                                   ft.dwLowDateTime) /
               10000.0;
    };
    return ms(kernel) + ms(user);
}

double ThreadCpuMs(HANDLE hThread)
{
    FILETIME c, e, k, u;
    return GetThreadTimes(hThread, &c, &e, &k, &u) ? CpuMs(k, u) : 0;
}

double ProcessCpuMs()
{
    FILETIME c, e, k, u;
    return GetProcessTimes(GetCurrentProcess(), &c, &e, &k, &u) ? CpuMs(k, u) : 0;
}

bool IsZero(const std::vector<BYTE>& bytes)
{
    for (size_t i = 1; i < bytes.size(); ++i)
        if (bytes[i] != 0 && !(bytes.size() == 8 && i == 1))
            return false;
    return true;
}

class DriverBench {
public:
    bool Init(const char* pszDll)
    {
        for (auto& pad : pads)
            if (!pad.Start())
                return false;
        if (!host.Load(pszDll))
            return false;
        if (!SleepHook::Install(host.Module())) {
            std::printf("  (cannot hook the pass's sleep: pass figures unavailable)\n");
            bHooked = false;
        }
        return true;
    }

    IDirectInputEffectDriver* Driver() { return host.Driver(); }
    void ReleaseDriver() { host.ReleaseDriver(); }

    bool Open(DWORD dwId)
    {
        return host.OpenDevice(dwId, pads[dwId].WidePath()) == S_OK;
    }

    DWORD Download(DWORD dwId, DWORD dwKind, EffectDesc& effect, DWORD dwFlags)
    {
        DWORD dwHandle = 0;
        Driver()->DownloadEffect(dwId, dwKind, &dwHandle, &effect.eff, dwFlags);
        return dwHandle;
    }

    void PassCost()
    {
        if (!bHooked)
            return;
        std::printf("  mixing pass, one device, sines playing (pass sleep skipped):\n");
        for (int nEffects : {1, 16, 64}) {
            std::vector<std::unique_ptr<EffectDesc>> effects;
            for (int i = 0; i < nEffects; ++i) {
                effects.push_back(Sine(static_cast<DWORD>(i * 36000 / nEffects), (i % 4) * 9000));
                Download(0, KIND_SINE, *effects.back(), DIEP_ALLPARAMS | DIEP_START);
            }
            Sleep(100);
            HANDLE hWorker = OpenThread(THREAD_QUERY_INFORMATION, FALSE,
                                        SleepHook::dwLastWorkerId.load());
            pads[0].Clear();
            SleepHook::bSkipPassSleep = true;
            const LONG nStart = SleepHook::nPassSleeps.load();
            const double dCpuStart = hWorker ? ThreadCpuMs(hWorker) : 0;
            const double dStart = QpcMs();
            Sleep(1000);
            const LONG nPasses = SleepHook::nPassSleeps.load() - nStart;
            const double dWall = QpcMs() - dStart;
            const double dCpu = hWorker ? ThreadCpuMs(hWorker) - dCpuStart : 0;
            SleepHook::bSkipPassSleep = false;
            const size_t nReports = pads[0].Count();
            std::printf("    %2d effects: %8.2f us/pass wall, %8.2f us/pass CPU "
                        "(%ld passes, %u reports)\n",
                        nEffects, nPasses ? dWall * 1000.0 / nPasses : 0.0,
                        nPasses ? dCpu * 1000.0 / nPasses : 0.0, static_cast<long>(nPasses),
                        static_cast<unsigned>(nReports));
            if (hWorker)
                CloseHandle(hWorker);
            Driver()->SendForceFeedbackCommand(0, DISFFC_RESET);
        }
    }

    void PassRate()
    {
        if (!bHooked)
            return;
        auto sine = Sine(0);
        Download(0, KIND_SINE, *sine, DIEP_ALLPARAMS | DIEP_START);
        Sleep(100);
        const LONG nStart = SleepHook::nPassSleeps.load();
        const double dStart = QpcMs();
        Sleep(2000);
        const double dPerSecond =
            (SleepHook::nPassSleeps.load() - nStart) * 1000.0 / (QpcMs() - dStart);
        std::printf("  passes per second (one device, one sine): %.0f\n", dPerSecond);
        Driver()->SendForceFeedbackCommand(0, DISFFC_RESET);
    }

    void StartLatency()
    {
        auto force = Constant(10000);
        const DWORD dwHandle = Download(0, KIND_CONSTANT, *force, DIEP_ALLPARAMS);
        std::vector<double> samples;
        for (int i = 0; i < 250; ++i) {
            pads[0].WaitQuiet(15, 1000);
            pads[0].Clear();
            const double dStart = QpcMs();
            Driver()->StartEffect(0, dwHandle, 0, 1);
            double dFirst = -1;
            for (int nPoll = 0; nPoll < 2000 && dFirst < 0; ++nPoll) {
                for (const auto& r : pads[0].Reports())
                    if (!IsZero(r.bytes)) {
                        dFirst = r.dMs;
                        break;
                    }
                if (dFirst < 0)
                    Sleep(1);
            }
            if (dFirst >= 0)
                samples.push_back(dFirst - dStart);
            Driver()->StopEffect(0, dwHandle);
        }
        std::printf("  StartEffect to first non-zero report: median %.3f ms, p99 %.3f ms "
                    "(%u starts)\n",
                    Percentile(samples, 0.5), Percentile(samples, 0.99),
                    static_cast<unsigned>(samples.size()));
        Driver()->SendForceFeedbackCommand(0, DISFFC_RESET);
    }

    void DownloadLatency()
    {
        auto sine = Sine(0);
        Download(0, KIND_SINE, *sine, DIEP_ALLPARAMS | DIEP_START);
        auto force = Constant(2000);
        DWORD dwHandle = Download(0, KIND_CONSTANT, *force, DIEP_ALLPARAMS | DIEP_START);
        Sleep(50);
        std::vector<double> samples;
        for (int i = 0; i < 500; ++i) {
            force->constant.lMagnitude = 2000 + (i % 10) * 100;
            const double dStart = QpcMs();
            Driver()->DownloadEffect(0, KIND_CONSTANT, &dwHandle, &force->eff,
                                     DIEP_TYPESPECIFICPARAMS);
            samples.push_back((QpcMs() - dStart) * 1000.0);
            Sleep(1);
        }
        std::printf("  DownloadEffect while a sine plays: median %.1f us, p99 %.1f us "
                    "(%u calls)\n",
                    Percentile(samples, 0.5), Percentile(samples, 0.99),
                    static_cast<unsigned>(samples.size()));
        Driver()->SendForceFeedbackCommand(0, DISFFC_RESET);
    }

    void IdleCpu()
    {
        pads[0].WaitQuiet(100, 2000);
        HANDLE hWorker =
            OpenThread(THREAD_QUERY_INFORMATION, FALSE, SleepHook::dwLastWorkerId.load());
        const double dWorkerStart = hWorker ? ThreadCpuMs(hWorker) : 0;
        const double dProcessStart = ProcessCpuMs();
        const double dStart = QpcMs();
        Sleep(5000);
        const double dWall = QpcMs() - dStart;
        const double dWorker = hWorker ? ThreadCpuMs(hWorker) - dWorkerStart : 0;
        const double dProcess = ProcessCpuMs() - dProcessStart;
        std::printf("  open device, no effect, %.1f s: worker %.0f ms CPU (%.1f%%), "
                    "whole process %.0f ms CPU\n"
                    "    (each counted in whole clock ticks, 10 ms under Wine, and read at its "
                    "own moment:\n"
                    "    either can be a tick off, so the worker can show a tick more than its "
                    "process)\n",
                    dWall / 1000.0, dWorker, dWorker * 100.0 / dWall, dProcess);
        if (hWorker)
            CloseHandle(hWorker);
    }

    void ReleaseTime()
    {
        for (DWORD nDevices : {1u, 4u}) {
            std::vector<double> samples;
            for (int nTrial = 0; nTrial < 5; ++nTrial) {
                if (!host.CreateDriver())
                    return;
                std::vector<std::unique_ptr<EffectDesc>> effects;
                for (DWORD dwId = 0; dwId < nDevices; ++dwId) {
                    Open(dwId);
                    effects.push_back(Sine(0));
                    Download(dwId, KIND_SINE, *effects.back(), DIEP_ALLPARAMS | DIEP_START);
                }
                Sleep(100);
                const double dStart = QpcMs();
                host.ReleaseDriver();
                samples.push_back(QpcMs() - dStart);
            }
            std::printf("  final Release with %lu open device%s (sines playing): median %.2f ms, "
                        "max %.2f ms\n",
                        static_cast<unsigned long>(nDevices), nDevices > 1 ? "s" : "",
                        Percentile(samples, 0.5),
                        Percentile(samples, 1.0));
        }
    }

private:
    DriverHost host;
    PadSimulator pads[4];
    bool bHooked = true;
};

int RunOne(const char* pszDll)
{
    std::printf("== %s\n", pszDll);
    std::fflush(stdout);
    DriverBench bench;
    if (!bench.Init(pszDll) || !bench.Open(0)) {
        std::printf("  cannot load the driver or open the simulated pad\n");
        return 0;
    }
    bench.PassCost();
    bench.PassRate();
    bench.StartLatency();
    bench.DownloadLatency();
    bench.IdleCpu();
    // ReleaseTime makes its own driver objects.
    bench.ReleaseDriver();
    bench.ReleaseTime();
    std::fflush(stdout);
    return 0;
}

// Each DLL in its own process: two builds share the module name Vantrel.dll.
void RunChild(const char* pszDll)
{
    char szSelf[MAX_PATH];
    GetModuleFileNameA(nullptr, szSelf, sizeof(szSelf));
    std::string cmd = std::string("\"") + szSelf + "\" --dll \"" + pszDll + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                        &pi)) {
        std::printf("== %s\n  cannot start a process for it\n", pszDll);
        return;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--dll") == 0)
        return RunOne(argv[2]);
    std::vector<std::string> dlls;
    for (int i = 1; i < argc; ++i)
        dlls.push_back(argv[i]);
    if (dlls.empty()) {
        std::string all = FFBENCH_DLLS;
        for (size_t pos = 0; pos <= all.size();) {
            const size_t bar = all.find('|', pos);
            const size_t end = bar == std::string::npos ? all.size() : bar;
            dlls.push_back(all.substr(pos, end - pos));
            pos = end + 1;
        }
    }
    std::fflush(stdout);
    for (const auto& dll : dlls)
        RunChild(dll.c_str());
    return 0;
}
