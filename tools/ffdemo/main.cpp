// ffdemo [driver.dll]: plays a short scripted sequence of effects through the driver on a
// simulated pad and prints the motor reports as they arrive.
#include "DriverHost.h"
#include "EffectDesc.h"
#include "Timeline.h"

#include <cstdio>

namespace {

constexpr DWORD kPad = 0; // DirectInput's external joystick id of the pad

class Demo {
public:
    Demo(IDirectInputEffectDriver* pDriverArg, Timeline& timelineArg)
        : pDriver(pDriverArg), timeline(timelineArg)
    {
    }

    // Downloads and starts an effect in one call; its handle, or 0.
    DWORD Play(DWORD dwKind, EffectDesc& effect, const char* pszStep)
    {
        timeline.Step(pszStep);
        DWORD dwHandle = 0;
        const HRESULT hr = pDriver->DownloadEffect(kPad, dwKind, &dwHandle, &effect.eff,
                                                   DIEP_ALLPARAMS | DIEP_START);
        if (FAILED(hr))
            std::printf("           DownloadEffect failed: 0x%08lX\n",
                        static_cast<unsigned long>(hr));
        return dwHandle;
    }

    void Command(DWORD dwCommand, const char* pszStep)
    {
        timeline.Step(pszStep);
        pDriver->SendForceFeedbackCommand(kPad, dwCommand);
    }

    // Waits until the script's clock reaches the given time.
    void Until(double dElapsedMs)
    {
        const double dLeft = dElapsedMs - timeline.ElapsedMs();
        if (dLeft > 0)
            Sleep(static_cast<DWORD>(dLeft));
    }

    void Run()
    {
        Until(200);
        EffectDesc left(0, 400000);
        left.Constant(10000);
        Play(KIND_CONSTANT, left, "constant force to the left, 0.4 s");

        Until(800);
        EffectDesc right(9000, 400000);
        right.Constant(10000);
        Play(KIND_CONSTANT, right, "constant force to the right, 0.4 s");

        Until(1400);
        EffectDesc sine(0, 1000000);
        sine.Periodic(10000, 0, 1500000); // played at a third of its length without tuning
        Play(KIND_SINE, sine, "sine on the left motor, 1 s");

        Until(2600);
        EffectDesc ramp(9000, 800000);
        ramp.Ramp(0, 10000);
        Play(KIND_RAMP, ramp, "ramp up on the right motor, 0.8 s");

        Until(3600);
        EffectDesc swell(4500, 200000);
        swell.Constant(10000);
        swell.Envelope(0, 300000, 0, 300000);
        Play(KIND_CONSTANT, swell, "envelope on both motors: 0.3 s attack, 0.2 s, 0.3 s fade");

        Until(4600);
        EffectDesc held(0, 2000000);
        held.Constant(10000);
        Play(KIND_CONSTANT, held, "constant force to the left, 2 s");
        Until(4900);
        Command(DISFFC_PAUSE, "pause");
        Until(5300);
        Command(DISFFC_CONTINUE, "continue");
        Until(5600);
        Command(DISFFC_STOPALL, "stop");
        Until(5800);
    }

private:
    IDirectInputEffectDriver* pDriver;
    Timeline& timeline;
};

} // namespace

int main(int argc, char** argv)
{
    const char* pszDll = argc > 1 ? argv[1] : FFDEMO_DLL_PATH;
    PadSimulator pad;
    if (!pad.Start()) {
        std::fprintf(stderr, "cannot create the simulated pad\n");
        return 1;
    }
    DriverHost host;
    if (!host.Load(pszDll))
        return 1;
    IDirectInputEffectDriver* pDriver = host.Driver();
    std::printf("Driver %s\nSimulated pad %s\n", pszDll, pad.Path());
    std::printf("Motor bytes run from 8 (weakest) to 31; with no tuning block in the registry a\n"
                "full-scale effect on one motor gives 12 (the envelope's diagonal gives each\n"
                "motor a share: 11). One line per change of the motor bytes.\n\n");

    Timeline timeline(pad);
    timeline.Start();
    timeline.Step("open the pad (DeviceID) and set full gain");
    const HRESULT hr = host.OpenDevice(kPad, pad.WidePath());
    if (FAILED(hr)) {
        timeline.Stop();
        std::fprintf(stderr, "cannot open the pad: 0x%08lX\n", static_cast<unsigned long>(hr));
        return 1;
    }

    Demo(pDriver, timeline).Run();

    timeline.Step("release the driver: every device stops");
    const bool bUnloadable = host.ReleaseDriver();
    pad.WaitQuiet(100, 2000);
    timeline.Stop();

    const auto reports = pad.Reports();
    int nLeft = -1, nRight = -1;
    const bool bAtRest = !reports.empty() && MotorBytes(reports.back().bytes, &nLeft, &nRight) &&
                         nLeft == 0 && nRight == 0;
    std::printf("\n%u reports in all; the pad is %s; the driver %s be unloaded.\n",
                static_cast<unsigned>(reports.size()), bAtRest ? "at rest" : "NOT at rest",
                bUnloadable ? "can" : "can NOT");
    return bAtRest && bUnloadable ? 0 : 1;
}
