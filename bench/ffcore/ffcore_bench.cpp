// Prints how many of 1000 reports paced at 1 ms reach the simulated pad, in order, and what
// one mixing pass costs with 0, 16 and 64 playing effects.
#include "PadSimulator.h"
#include "ZR_FF.h"

#include <cstdio>
#include <cstring>

namespace {

void ReportDelivery()
{
    PadSimulator pad;
    if (!pad.Start()) {
        std::printf("pad simulator did not start\n");
        return;
    }
    FFServer server(0);
    std::strcpy(server.szDevicePath, pad.Path());
    const int kReports = 1000;
    int nWritten = 0;
    const double dStart = PadSimulator::NowMs();
    for (int i = 0; i < kReports; ++i) {
        // Every report differs from the one before, so order shows in the bytes.
        if (server.SendMotorReport((i * 37) % 10001, (i * 91) % 10001))
            ++nWritten;
        Sleep(1);
    }
    const double dSpent = PadSimulator::NowMs() - dStart;
    pad.WaitForReports(kReports, 5000);
    const auto reports = pad.Reports();
    int nInOrder = 0;
    double dMaxGap = 0;
    for (size_t i = 0; i < reports.size(); ++i) {
        if (reports[i].bytes.size() == sizeof(ForceReport) &&
            reports[i].bytes[1] == MotorLevel((i * 37) % 10001) &&
            reports[i].bytes[2] == MotorLevel((i * 91) % 10001))
            ++nInOrder;
        if (i > 0 && reports[i].dMs - reports[i - 1].dMs > dMaxGap)
            dMaxGap = reports[i].dMs - reports[i - 1].dMs;
    }
    std::printf("reports: %d written, %zu received, %d in order, %.1f ms for %d "
                "(%.2f ms each), largest gap %.1f ms\n",
                nWritten, reports.size(), nInOrder, dSpent, kReports, dSpent / kReports, dMaxGap);
}

void PassCost(int nEffects)
{
    PadSimulator pad;
    pad.Start();
    FFServer server(0);
    std::strcpy(server.szDevicePath, pad.Path());
    server.bActive = 1;
    server.dwDeviceGain = 10000;
    DIPERIODIC wave = {5000, 0, 0, 100000};
    DWORD rgdwAxes[2] = {0, 4};
    LONG rglDirection[2] = {0, 0};
    DIEFFECT eff{};
    eff.dwSize = sizeof(eff);
    eff.dwFlags = DIEFF_POLAR;
    eff.dwDuration = INFINITE;
    eff.dwGain = 10000;
    eff.cAxes = 2;
    eff.rgdwAxes = rgdwAxes;
    eff.rglDirection = rglDirection;
    eff.cbTypeSpecificParams = sizeof(wave);
    eff.lpvTypeSpecificParams = &wave;
    for (int i = 0; i < nEffects; ++i) {
        DWORD h = 0;
        rglDirection[0] = (i * 1000) % 36000;
        server.AddEffect(3, &h, &eff, 0);
        server.StartEffect(h);
    }
    const int kPasses = 300;
    const double dStart = PadSimulator::NowMs();
    for (int i = 0; i < kPasses; ++i)
        server.RunPass();
    const double dSpent = PadSimulator::NowMs() - dStart;
    pad.WaitQuiet(50, 2000);
    std::printf("pass with %2d effects: %.3f ms each (1 ms of it asleep), %zu reports in %d "
                "passes\n",
                nEffects, dSpent / kPasses, pad.Count(), kPasses);
}

} // namespace

int main()
{
    ReportDelivery();
    for (int n : {0, 16, 64})
        PassCost(n);
    return 0;
}
