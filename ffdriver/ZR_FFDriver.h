#pragma once

#include "ZR_FF.h"

#include <dinputd.h>

#include <atomic>

// One entry of FFServerTable per DirectInput external joystick id. The entry is live only
// while bInUse is 1; it is set after the server and the entry have the path and cleared at
// teardown, after the server's final report.
struct FFServerEntry {
    FFServer* pServer;
    std::atomic<BYTE> bInUse;
    // The server's device path, kept in the entry so that the process-end zero report never
    // reads a server that a teardown cut short may have freed already.
    char szDevicePath[MAX_PATH];
};

constexpr DWORD kMaxDevices = 16;
extern FFServerEntry FFServerTable[kMaxDevices];

// At process end the host's threads, the device workers among them, are gone, perhaps in
// the middle of a pass: writes one zero report to every live entry's path, so no motor keeps
// running after the game has quit. Takes no lock and frees nothing.
void StopMotorsAtProcessEnd();

// The effect-driver object that DirectInput drives: it checks the device id, dispatches to
// the device's FFServer and translates the answers into DirectInput's structures and codes.
class CZR_FFDriver final : public IDirectInputEffectDriver {
public:
    CZR_FFDriver();
    CZR_FFDriver(const CZR_FFDriver&) = delete;
    CZR_FFDriver& operator=(const CZR_FFDriver&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP DeviceID(DWORD dwDirectInputVersion, DWORD dwExternalID, DWORD fBegin,
                          DWORD dwInternalID, LPVOID pvInit) override;
    STDMETHODIMP GetVersions(LPDIDRIVERVERSIONS pvers) override;
    STDMETHODIMP Escape(DWORD dwExternalID, DWORD dwEffect, LPDIEFFESCAPE pesc) override;
    STDMETHODIMP SetGain(DWORD dwExternalID, DWORD dwGain) override;
    STDMETHODIMP SendForceFeedbackCommand(DWORD dwExternalID, DWORD dwCommand) override;
    STDMETHODIMP GetForceFeedbackState(DWORD dwExternalID, LPDIDEVICESTATE pds) override;
    STDMETHODIMP DownloadEffect(DWORD dwExternalID, DWORD dwEffectId, LPDWORD pdwEffect,
                                LPCDIEFFECT peff, DWORD dwFlags) override;
    STDMETHODIMP DestroyEffect(DWORD dwExternalID, DWORD dwEffect) override;
    STDMETHODIMP StartEffect(DWORD dwExternalID, DWORD dwEffect, DWORD dwMode,
                             DWORD dwCount) override;
    STDMETHODIMP StopEffect(DWORD dwExternalID, DWORD dwEffect) override;
    STDMETHODIMP GetEffectStatus(DWORD dwExternalID, DWORD dwEffect,
                                 LPDWORD pdwStatus) override;

private:
    ~CZR_FFDriver() = default;
    // Destroys every live server in ascending id order and frees its entry.
    static void TearDownTable();

    std::atomic<LONG> nRefCount;
#if VANTREL_REVISION == 1
    CZR_DayLog log;
#endif
};
