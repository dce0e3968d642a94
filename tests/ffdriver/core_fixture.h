#pragma once

#include "PadSimulator.h"
#include "ZR_FF.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <vector>

// The clock the server reads while a test owns time.
inline std::atomic<DWORD>& TestTick()
{
    static std::atomic<DWORD> tick{1000};
    return tick;
}
inline DWORD WINAPI TestTickSource() { return TestTick().load(); }

// The report bytes each revision writes for two motor bytes.
inline std::vector<BYTE> ReportBytes(BYTE bLeft, BYTE bRight)
{
#if VANTREL_REVISION == 1
    return {0x00, bLeft, bRight, 0x00};
#else
    return {0x01, 0xA0, bLeft, bRight, 0, 0, 0, 0};
#endif
}

constexpr const char* kPadKey = "USB Joystick\\VID_7B5E&PID_4D19";

// "Setting" under the pad settings key; a negative value removes it.
inline void SetStrengthSetting(LONGLONG llValue)
{
    HKEY hKey;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kPadKey, &hKey), ERROR_SUCCESS);
    if (llValue < 0) {
        RegDeleteValueA(hKey, "Setting");
    } else {
        const DWORD dw = static_cast<DWORD>(llValue);
        RegSetValueExA(hKey, "Setting", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dw), 4);
    }
    RegCloseKey(hKey);
}

// Module-wide state as a test starts: the given clock, the real device opener, the
// zero-report repeats used up (so only reports a test causes reach the pad) and, in the later
// revision, no "Setting".
inline void ResetModuleState(FFTickSource pfnTick)
{
    g_pfnTickSource = pfnTick;
    g_pfnOpenDevice = &CreateFileA;
    g_dwZeroReportRepeats = 5;
#if VANTREL_REVISION >= 2
    g_dwSetting = 0;
    SetStrengthSetting(-1);
#endif
}

// An effect description with its own storage for axes, directions, envelope and block.
struct EffectParams {
    DIEFFECT eff{};
    DWORD rgdwAxes[8] = {DIJOFS_X, DIJOFS_Y, DIJOFS_Z, DIJOFS_RX, DIJOFS_RY, DIJOFS_RZ, 0, 0};
    LONG rglDirection[8] = {};
    DIENVELOPE env{};
    union {
        DICONSTANTFORCE constant;
        DIRAMPFORCE ramp;
        DIPERIODIC periodic;
        BYTE raw[64];
    } block{};

    EffectParams()
    {
        eff.dwSize = sizeof(DIEFFECT);
        eff.dwFlags = DIEFF_POLAR | DIEFF_OBJECTOFFSETS;
        eff.dwDuration = 1000000;
        eff.dwGain = 10000;
        eff.cAxes = 2;
        eff.rgdwAxes = rgdwAxes;
        eff.rglDirection = rglDirection;
        eff.lpEnvelope = nullptr;
        env.dwSize = sizeof(DIENVELOPE);
    }
    EffectParams& Constant(LONG lMagnitude)
    {
        block.constant.lMagnitude = lMagnitude;
        return Block(sizeof(DICONSTANTFORCE));
    }
    EffectParams& Ramp(LONG lStart, LONG lEnd)
    {
        block.ramp.lStart = lStart;
        block.ramp.lEnd = lEnd;
        return Block(sizeof(DIRAMPFORCE));
    }
    EffectParams& Periodic(DWORD dwMagnitude, LONG lOffset, DWORD dwPhase, DWORD dwPeriod)
    {
        block.periodic = {dwMagnitude, lOffset, dwPhase, dwPeriod};
        return Block(sizeof(DIPERIODIC));
    }
    EffectParams& Block(DWORD cb)
    {
        eff.cbTypeSpecificParams = cb;
        eff.lpvTypeSpecificParams = cb ? &block : nullptr;
        return *this;
    }
    EffectParams& DurationMs(DWORD dwMs)
    {
        eff.dwDuration = dwMs == INFINITE ? INFINITE : dwMs * 1000;
        return *this;
    }
    EffectParams& Envelope(DWORD dwAttackLevel, DWORD dwAttackUs, DWORD dwFadeLevel, DWORD dwFadeUs)
    {
        env = {sizeof(DIENVELOPE), dwAttackLevel, dwAttackUs, dwFadeLevel, dwFadeUs};
        eff.lpEnvelope = &env;
        return *this;
    }
};

// A server whose worker is not started, on a fresh pad, with the test's clock. Device gain
// 10000 and a strength factor of 5 (dwStrength 170) make a motor total equal to the size of
// the level that reached it.
class ServerTest : public ::testing::Test {
protected:
    PadSimulator pad;
    FFServer* server = nullptr;

    void SetUp() override
    {
        TestTick() = 1000;
        ResetModuleState(&TestTickSource);
        ASSERT_TRUE(pad.Start());
        server = NewServer();
    }

    void TearDown() override
    {
        delete server;
        g_pfnTickSource = &GetTickCount;
        g_pfnEffectAlloc = &std::malloc;
    }

    FFServer* NewServer()
    {
        auto* p = new FFServer(0);
        std::strcpy(p->szDevicePath, pad.Path());
        p->bActive = 1;
        p->dwDeviceGain = 10000;
        p->settings.dwStrength = 170;
        return p;
    }

    DWORD Add(EffectParams& params, DWORD dwKind)
    {
        DWORD dwHandle = 0;
        EXPECT_TRUE(server->AddEffect(dwKind, &dwHandle, &params.eff, 0));
        return dwHandle;
    }

    // One pass at the given tick; returns the left total the pass left standing.
    LONG PassAt(DWORD dwTick)
    {
        TestTick() = dwTick;
        server->RunPass();
        return server->lLastLeft;
    }

    // Every report written so far, as the pad recorded it.
    std::vector<PadSimulator::Report> Settled()
    {
        pad.Sync();
        return pad.Reports();
    }
};
