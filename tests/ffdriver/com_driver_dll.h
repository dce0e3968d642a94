#pragma once

// The built driver DLL as a host sees it: loaded by path, reached only through its exports
// and the interfaces they hand out; and a fixture with a driver object and a simulated pad.

#define DIRECTINPUT_VERSION 0x0800
#include <windows.h>
#include <dinput.h>
#include <dinputd.h>

#include "EffectDesc.h"
#include "PadSimulator.h"
#include "WindowsPath.h"
#include "watchdog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

extern const CLSID kClsidFFDriver;

struct DriverDll {
    HMODULE hModule = nullptr;
    HRESULT(WINAPI* pfnGetClassObject)(REFCLSID, REFIID, LPVOID*) = nullptr;
    HRESULT(WINAPI* pfnCanUnloadNow)() = nullptr;
    HRESULT(WINAPI* pfnRegisterServer)() = nullptr;
    HRESULT(WINAPI* pfnUnregisterServer)() = nullptr;

    // The DLL under test, loaded once per process.
    static DriverDll& Get();
    IClassFactory* Factory() const;
    // A driver object from a fresh factory (released again), or null.
    IDirectInputEffectDriver* CreateDriver() const;
};

// The report the driver writes for two motor bytes, in this DLL's revision.
std::vector<BYTE> MotorReportBytes(BYTE bLeft, BYTE bRight);
inline bool IsZeroReport(const std::vector<BYTE>& b) { return b == MotorReportBytes(0, 0); }

// Full force with all defaults (no tuning block: a part of 10000 becomes 2000) gives the
// motor byte 2000 * 23 / 10000 + 8; half force gives 10.
constexpr BYTE kFullLevel = 12;
constexpr BYTE kHalfLevel = 10;

// A constant force, or a sine of 90 ms, at full effect gain.
struct EffectParams : EffectDesc {
    EffectParams(DWORD dwKind, LONG lMagnitude, LONG lDirection = 0,
                 DWORD dwDurationUs = INFINITE);
};

// A driver object and one simulated pad. Every test leaves the module with nothing alive.
class DriverTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens a device on a simulator the way DirectInput does.
    HRESULT Open(DWORD dwId, const PadSimulator& sim, DWORD fBegin = 1);
    // Opens id 0 on the pad, waits out its zero reports and sets the gain.
    void OpenQuiet(DWORD dwGain = 10000);
    DWORD Download(DWORD dwKind, LONG lMagnitude, LONG lDirection = 0,
                   DWORD dwFlags = DIEP_ALLPARAMS | DIEP_START, DWORD dwId = 0);
    DWORD Status(DWORD dwHandle, DWORD dwId = 0);
    DWORD DeviceState(DWORD dwId = 0);
    // Clears the pad once it is quiet, runs the action and returns the first report after it.
    template <typename Action>
    std::vector<BYTE> NextReport(Action action)
    {
        pad.WaitQuiet(40, 1000);
        pad.Clear();
        action();
        return pad.WaitForReports(1, 2000) ? pad.Reports().front().bytes : std::vector<BYTE>{};
    }
    // Releases the driver and returns the last report the pad had when it fell quiet.
    std::vector<BYTE> ReleaseAndLastReport(const PadSimulator& sim);

    DriverDll& dll = DriverDll::Get();
    PadSimulator pad;
    IDirectInputEffectDriver* pDriver = nullptr;
};
