#include "ZR_FFDriver.h"

#include "ZR_FFModule.h"

#include <cstring>
#include <new>

FFServerEntry FFServerTable[kMaxDevices];

namespace {

// The server of a live entry, or null. Callers test the id against kMaxDevices first.
FFServer* LiveServer(DWORD dwExternalID)
{
    FFServerEntry& entry = FFServerTable[dwExternalID];
    return entry.bInUse.load(std::memory_order_acquire) == 1 ? entry.pServer : nullptr;
}

// DirectInput's answer for a server's play summary.
DWORD DeviceStateOf(DWORD dwPlaySummary)
{
    switch (dwPlaySummary) {
    case EFFECT_STOPPED:
        return DIGFFS_STOPPED;
    case EFFECT_PAUSED:
        return DIGFFS_PAUSED;
    default:
        return 0;
    }
}

} // namespace

CZR_FFDriver::CZR_FFDriver()
    : nRefCount(1)
#if VANTREL_REVISION == 1
      , log("c:\\FF\\Log")
#endif
{
}

STDMETHODIMP CZR_FFDriver::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDirectInputEffectDriver)) {
        AddRef();
        *ppv = static_cast<IDirectInputEffectDriver*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CZR_FFDriver::AddRef()
{
    return static_cast<ULONG>(++nRefCount);
}

STDMETHODIMP_(ULONG) CZR_FFDriver::Release()
{
    for (;;) {
        LONG nRefs = nRefCount.load();
        if (nRefs <= 0)
            return 0; // an over-release: the count never goes below 0
        if (nRefs > 1) {
            if (nRefCount.compare_exchange_weak(nRefs, nRefs - 1))
                return static_cast<ULONG>(nRefs - 1);
            continue;
        }
        // The last reference. CreateInstance hands the object out under the module lock, so
        // the step to 0 is taken under it too: the object is then either handed out again
        // first or torn down before anyone can find it.
        ModuleLock lock;
        if (nRefs != 1 || !nRefCount.compare_exchange_strong(nRefs, 0))
            continue;
        TearDownTable();
        delete this;
        g_pDriver = nullptr;
        return 0;
    }
}

void CZR_FFDriver::TearDownTable()
{
    for (FFServerEntry& entry : FFServerTable) {
        if (entry.bInUse.load() != 1)
            continue;
        // The destructor stops the worker after its last pass, frees the effects and writes
        // the final zero report before it returns.
        delete entry.pServer;
        entry.pServer = nullptr;
        entry.bInUse = 0;
    }
}

void StopMotorsAtProcessEnd()
{
    // The acquire load pairs with DeviceID's release store: a live entry's path is whole.
    for (const FFServerEntry& entry : FFServerTable)
        if (entry.bInUse.load(std::memory_order_acquire) == 1)
            WriteZeroReport(entry.szDevicePath);
}

STDMETHODIMP CZR_FFDriver::DeviceID(DWORD /*dwDirectInputVersion*/, DWORD dwExternalID,
                                    DWORD fBegin, DWORD /*dwInternalID*/, LPVOID pvInit)
{
    if (dwExternalID >= kMaxDevices)
        return E_FAIL;
    // DirectInput lets the device go: it keeps its server, effects and worker.
    if (!fBegin)
        return S_OK;
    const auto* pInit = static_cast<const DIHIDFFINITINFO*>(pvInit);
    if (!pInit)
        return E_POINTER;
    if (!pInit->pwszDeviceInterface)
        return E_INVALIDARG;

    // One filler at a time, and none after this object's teardown has begun: two first
    // calls for one id must not make two servers or start two workers.
    ModuleLock lock;
    if (g_pDriver.load() != this)
        return E_FAIL;
    FFServerEntry& entry = FFServerTable[dwExternalID];
    if (entry.bInUse.load() == 1)
        return S_OK;

    // A path that does not fit, terminator included, would be cut and name another file:
    // it is refused before any server is made.
    char szPath[sizeof(FFServer::szDevicePath)];
    if (WideCharToMultiByte(CP_ACP, 0, pInit->pwszDeviceInterface, -1, szPath,
                            sizeof(szPath), nullptr, nullptr) == 0)
        return E_INVALIDARG;

    FFServer* pServer = new (std::nothrow) FFServer(dwExternalID, ModuleDayLog(), ModuleErrorDayLog());
    if (!pServer)
        return E_FAIL;
    std::memcpy(pServer->szDevicePath, szPath, sizeof(szPath));
    std::memcpy(entry.szDevicePath, szPath, sizeof(szPath));
    pServer->bActive = 1;
    entry.pServer = pServer;
    entry.bInUse.store(1, std::memory_order_release);

    pServer->SendMotorReport(0, 0);
    pServer->Start();
    return S_OK;
}

STDMETHODIMP CZR_FFDriver::GetVersions(LPDIDRIVERVERSIONS pvers)
{
    if (!pvers)
        return E_POINTER;
    if (pvers->dwSize < sizeof(DIDRIVERVERSIONS))
        return E_INVALIDARG;
    pvers->dwSize = sizeof(DIDRIVERVERSIONS);
    pvers->dwFirmwareRevision = 3;
    pvers->dwHardwareRevision = 5;
    pvers->dwFFDriverVersion = 0xF1F;
    return S_OK;
}

STDMETHODIMP CZR_FFDriver::Escape(DWORD /*dwExternalID*/, DWORD /*dwEffect*/,
                                  LPDIEFFESCAPE /*pesc*/)
{
    return S_OK;
}

STDMETHODIMP CZR_FFDriver::SetGain(DWORD dwExternalID, DWORD dwGain)
{
    if (dwExternalID >= kMaxDevices)
        return E_FAIL;
    if (FFServer* pServer = LiveServer(dwExternalID))
        pServer->dwDeviceGain = dwGain > 10000 ? 10000 : dwGain;
    return S_OK;
}

STDMETHODIMP CZR_FFDriver::SendForceFeedbackCommand(DWORD dwExternalID, DWORD dwCommand)
{
    if (dwExternalID >= kMaxDevices)
        return E_FAIL;
    FFServer* pServer = LiveServer(dwExternalID);
    if (!pServer)
        return S_OK;
    // Single commands only: a combination of bits does nothing.
    switch (dwCommand) {
    case DISFFC_RESET:
        pServer->Reset();
        break;
    case DISFFC_STOPALL:
        pServer->StopAll();
        break;
    case DISFFC_PAUSE:
        pServer->PauseAll();
        break;
    case DISFFC_CONTINUE:
        pServer->ContinueAll();
        break;
    default:
        break;
    }
    return S_OK;
}

STDMETHODIMP CZR_FFDriver::GetForceFeedbackState(DWORD dwExternalID, LPDIDEVICESTATE pds)
{
    if (dwExternalID >= kMaxDevices)
        return E_FAIL;
    if (!pds)
        return E_POINTER;
    if (pds->dwSize < sizeof(DIDEVICESTATE))
        return E_INVALIDARG;
    if (FFServer* pServer = LiveServer(dwExternalID))
        pds->dwState = DeviceStateOf(pServer->dwPlaySummary.load());
    pds->dwLoad = 0;
    return S_OK;
}

STDMETHODIMP CZR_FFDriver::DownloadEffect(DWORD dwExternalID, DWORD dwEffectId,
                                          LPDWORD pdwEffect, LPCDIEFFECT peff, DWORD dwFlags)
{
    if (dwExternalID >= kMaxDevices)
        return E_FAIL;
    if (!pdwEffect || !peff)
        return E_POINTER;
    FFServer* pServer = LiveServer(dwExternalID);
    if (!pServer)
        return S_OK;
    // An effect that could not be stored, or a change that could not be made, is reported:
    // the caller must not take a dead handle or an unchanged effect for a success.
    if (*pdwEffect == 0) {
        if (!pServer->AddEffect(dwEffectId, pdwEffect, peff, dwFlags))
            return DIERR_OUTOFMEMORY;
    } else if (!pServer->UpdateEffect(dwEffectId, *pdwEffect, peff, dwFlags)) {
        return DIERR_OUTOFMEMORY;
    }
    if (dwFlags & DIEP_START)
        pServer->StartEffect(*pdwEffect);
    return S_OK;
}

STDMETHODIMP CZR_FFDriver::DestroyEffect(DWORD dwExternalID, DWORD dwEffect)
{
    if (dwExternalID >= kMaxDevices)
        return E_FAIL;
    if (FFServer* pServer = LiveServer(dwExternalID))
        pServer->RemoveEffect(dwEffect);
    return S_OK;
}

STDMETHODIMP CZR_FFDriver::StartEffect(DWORD dwExternalID, DWORD dwEffect, DWORD /*dwMode*/,
                                       DWORD dwCount)
{
    if (dwExternalID >= kMaxDevices)
        return E_FAIL;
    // Any count above 0, INFINITE included, plays the effect once.
    FFServer* pServer = LiveServer(dwExternalID);
    if (pServer && dwCount > 0)
        pServer->StartEffect(dwEffect);
    return S_OK;
}

STDMETHODIMP CZR_FFDriver::StopEffect(DWORD dwExternalID, DWORD dwEffect)
{
    if (dwExternalID >= kMaxDevices)
        return E_FAIL;
    if (FFServer* pServer = LiveServer(dwExternalID))
        pServer->StopEffect(dwEffect);
    return S_OK;
}

STDMETHODIMP CZR_FFDriver::GetEffectStatus(DWORD dwExternalID, DWORD dwEffect,
                                           LPDWORD pdwStatus)
{
    if (pdwStatus)
        *pdwStatus = 0;
    if (dwExternalID >= kMaxDevices)
        return E_FAIL;
    FFServer* pServer = LiveServer(dwExternalID);
    if (!pServer || !pdwStatus)
        return S_OK;
    // A paused effect still counts as playing.
    if (pServer->GetEffectState(dwEffect) != EFFECT_STOPPED)
        *pdwStatus = DIEGES_PLAYING;
    return S_OK;
}
