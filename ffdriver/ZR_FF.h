#pragma once

// One device's effect server: the effect store, the mixing pass that plays it on the worker
// thread, and the motor report written to the pad. VANTREL_REVISION selects the revision:
// 1 writes the 4-byte ForceReport and reads its tuning block from HKEY_CURRENT_USER; 2 writes
// the 8-byte RumbleReport scaled by "Setting" and reads its tuning block from
// HKEY_LOCAL_MACHINE.
//
// How the effect-driver object drives a server:
//   FFServer* p = new (std::nothrow) FFServer(dwExternalId, g_pLog, g_pErrLog); // tuning block
//   p->SetDevicePath(pInit->wszDeviceInterface);            // or fill szDevicePath itself
//   p->bActive = 1;
//   p->SendMotorReport(0, 0);                               // the first zero report
//   p->Start();                                             // the worker runs RunPass
//   ...store operations, p->dwDeviceGain = gain, p->dwPlaySummary.load()...
//   delete p;                // last pass, effects freed, one zero report, worker joined

#ifndef VANTREL_REVISION
#error VANTREL_REVISION must be 1 or 2
#endif

#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0800
#endif

#include <windows.h>
#include <mmsystem.h>
#include <dinput.h>

#include <atomic>
#include <cstddef>

#include "ZR_SrvThread.h"

enum EffectPlayState : DWORD {
    EFFECT_STOPPED = 0,
    EFFECT_PAUSED = 1,
    EFFECT_PLAYING = 2,
};

// The registry value "CurrentValue": 28 little-endian 32-bit values, three of them used.
struct JoySettingBlock {
    DWORD rgdwUnused[24];
    DWORD dwPeriodScale;  // period multiplier k = dwPeriodScale * 3 / 255 + 1
    LONG dwStrength;      // motor factor f = dwStrength * 6 / 255 + 1, applied as f / 5
    DWORD dwRandomPeriod; // nonzero: k drawn from rand() for every periodic effect and pass
    DWORD dwUnused27;
};
static_assert(sizeof(JoySettingBlock) == 112, "tuning block is 112 bytes");

// First revision's motor report.
struct ForceReport {
    BYTE bReportId; // 0x00
    BYTE bLeft;
    BYTE bRight;
    BYTE bZero;
};
static_assert(sizeof(ForceReport) == 4, "ForceReport is 4 bytes");

// Later revision's motor report: HID output report 1, rumble command 0xA0.
struct RumbleReport {
    BYTE bReportId; // 0x01
    BYTE bCommand;  // 0xA0
    BYTE bLeft;
    BYTE bRight;
    BYTE rgbZero[4];
};
static_assert(sizeof(RumbleReport) == 8, "RumbleReport is 8 bytes");

// One downloaded effect, an element of FFServer::effects.
struct FFEffect {
    CZR_ListNode links;
    DWORD dwEffectId;   // kind: 0 constant, 1 ramp, 2 square, 3 sine, 4 triangle, 5/6 sawtooth
    DWORD dwFlags;      // DIEFFECT dwFlags of the creating download (coordinate system)
    DWORD dwDuration;   // milliseconds; INFINITE becomes 4294967
    DWORD dwSamplePeriod;
    DWORD dwGain;       // 0..10000, not clamped
    DWORD cAxes;        // at most 4
    DWORD rgdwAxes[4];
    LONG rglDirection[4];
    DIENVELOPE envelope; // times in microseconds; all zero without an envelope
    DWORD dwStartDelay;  // milliseconds
    DWORD cbTypeSpecificParams;
    void* lpvTypeSpecificParams; // owned; null when cbTypeSpecificParams is 0
    DWORD dwHandle;
    DWORD dwStartTick;
    DWORD dwPauseTick;
    DWORD dwDownloadFlags;
    DWORD dwState; // EffectPlayState
};

// A pad that refuses writes (unplugged, its path gone) is not opened on every pass for as
// long as it refuses: after kReportFreeRetries failed reports in a row the pass writes at most
// once per kReportRetryMs. What it then writes is its own totals, so the pad gets the latest
// ones (or the zero of a stop) within about kReportRetryMs of its return.
constexpr DWORD kReportFreeRetries = 3;
constexpr DWORD kReportRetryMs = 50;

// Motor byte for one total: 0 for 0, else total * 23 / 10000 + 8 (8..31). Totals above
// 10000 count as 10000, so no byte above 31 ever reaches the pad.
BYTE MotorLevel(DWORD dwTotal);

class FFServer : public CZR_SrvClient {
public:
    // The day logs are borrowed; the later revision has none and passes null.
    explicit FFServer(DWORD dwJoyIdArg, CZR_DayLog* pLogArg = nullptr,
                      CZR_DayLog* pErrLogArg = nullptr);
    ~FFServer() override;

    // The mixing pass (the worker's unit of work) and the unused idle pass.
    bool RunPass() override;
    bool IdlePass() override;

    // Writes one motor report for the two totals (0..10000) to szDevicePath, opening and
    // closing the path. True only when the whole report was written. Counts nothing: the pass
    // and the store write through SendCountedReport.
    bool SendMotorReport(DWORD dwLeft, DWORD dwRight);

    // Converts the device interface path into szDevicePath. A path that does not fit leaves
    // szDevicePath empty and returns false.
    bool SetDevicePath(LPCWSTR pwszPath);

    // Effect store. Every operation does nothing and returns false while bActive is 0.
    bool AddEffect(DWORD dwKind, DWORD* pdwHandle, LPCDIEFFECT peff, DWORD dwDownloadFlags);
    bool UpdateEffect(DWORD dwKind, DWORD dwHandle, LPCDIEFFECT peff, DWORD dwDownloadFlags);
    bool RemoveEffect(DWORD dwHandle);
    bool Reset();
    bool StartEffect(DWORD dwHandle);
    bool StopEffect(DWORD dwHandle);
    bool StopAll();
    bool PauseAll();
    bool ContinueAll();
    EffectPlayState GetEffectState(DWORD dwHandle);
#if VANTREL_REVISION == 1
    bool RestartEffect(DWORD dwHandle);
    bool PauseEffect(DWORD dwHandle);
    bool ContinueEffect(DWORD dwHandle);
#endif

    // Arithmetic of the pass; they use nothing of the server.
    bool SplitForce(LONG* plLeft, LONG* plRight, LONG lForce, DWORD dwFlags,
                    const LONG* plDirection, DWORD cAxesArg);
    // (a * (c - d) + b * d) / c; b when the span c is 0.
    bool Interpolate(LONG* plResult, LONG a, LONG b, LONG c, LONG d);

    char szDevicePath[MAX_PATH];
    DWORD dwJoyId;
    DWORD dwProductId;
    std::atomic<BYTE> bActive;
    LONG lLastLeft;  // totals of the pass's last report that reached the pad; -1 unknown
    LONG lLastRight;
    // Reports of the pass and the store, in a row, that did not reach the pad (0 after one that
    // did), and the tick of the last report they tried. Guarded by the lock, like lLastLeft.
    DWORD dwFailedWrites;
    DWORD dwLastWriteTick;
    std::atomic<DWORD> dwDeviceGain;
    CZR_List effects;
    std::atomic<DWORD> dwPlaySummary; // EffectPlayState of the last pass
    JoySettingBlock settings;

private:
    LONG EffectLevel(FFEffect* pEffect, DWORD tau);
    void FreeAllEffects();
    void SendZeroReportLocked();
    // SendMotorReport, its outcome counted in dwFailedWrites and dwLastWriteTick (dwNow).
    // Lock held.
    bool SendCountedReport(DWORD dwLeft, DWORD dwRight, DWORD dwNow);
    // Whether the pass may write at dwNow: not while the last kReportFreeRetries or more
    // writes failed and the last of them is less than kReportRetryMs old. Lock held.
    bool ReportDue(DWORD dwNow) const;
};

// Writes this revision's zero report to a device path (open, write, close) and nothing else:
// no lock, no registry read, no allocation of its own, so it is safe where other threads may
// have died holding the server's lock. True when the whole report was written.
bool WriteZeroReport(const char* pszPath);

// Reads up to cbDest bytes of a registry value into pvDest, whatever the value's length; true
// with the count read, or false (pvDest then holds nothing defined) if nothing could be read.
bool ReadValuePrefix(HKEY hKey, LPCSTR pszName, void* pvDest, DWORD cbDest, DWORD* pcbRead);

// Zero reports re-sent by the passes of all servers since the last changed report (at most 5).
extern std::atomic<DWORD> g_dwZeroReportRepeats;

#if VANTREL_REVISION >= 2
// The last "Setting" read, shared by all servers; 0 counts as 254.
extern std::atomic<DWORD> g_dwSetting;
void ReadStrengthSetting();
#endif

// Replaceable calls, so tests can set the clock, the joystick caps and allocation failures,
// and see every open of the device path. Each defaults to the real call.
using FFTickSource = DWORD(WINAPI*)();
using FFJoyCapsSource = MMRESULT(WINAPI*)(UINT_PTR, LPJOYCAPSA, UINT);
using FFAllocator = void* (*)(size_t);
using FFDeviceOpener = HANDLE(WINAPI*)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD,
                                       DWORD, HANDLE);
extern std::atomic<FFTickSource> g_pfnTickSource;
extern std::atomic<FFJoyCapsSource> g_pfnJoyGetDevCaps;
extern std::atomic<FFAllocator> g_pfnEffectAlloc;
extern std::atomic<FFDeviceOpener> g_pfnOpenDevice; // CreateFileA, once per report written
