#include "ZR_FF.h"

#include <cstdlib>
#include <cstring>

std::atomic<DWORD> g_dwZeroReportRepeats{0};
std::atomic<FFTickSource> g_pfnTickSource{&GetTickCount};
std::atomic<FFJoyCapsSource> g_pfnJoyGetDevCaps{&joyGetDevCapsA};
std::atomic<FFAllocator> g_pfnEffectAlloc{&std::malloc};
std::atomic<FFDeviceOpener> g_pfnOpenDevice{&CreateFileA};

namespace {

#if VANTREL_REVISION == 1
const HKEY kTuningHive = HKEY_CURRENT_USER;
#else
const HKEY kTuningHive = HKEY_LOCAL_MACHINE;
#endif

// Reads "CurrentValue" into the block: a shorter value fills its bytes and leaves the rest
// zero, a longer one gives its first 112 bytes.
void ReadTuningBlock(DWORD dwProductId, JoySettingBlock* pBlock)
{
    char szKey[256];
    wsprintfA(szKey, "SOFTWARE\\HidJoySetting\\%d", static_cast<int>(dwProductId & 0xFF));
    HKEY hKey = nullptr;
    // Read access only: a standard user cannot open HKEY_LOCAL_MACHINE with full access.
    if (RegOpenKeyExA(kTuningHive, szKey, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS)
        return;
    JoySettingBlock block{};
    DWORD cbRead = 0;
    if (ReadValuePrefix(hKey, "CurrentValue", &block, sizeof(block), &cbRead))
        *pBlock = block;
    RegCloseKey(hKey);
}

} // namespace

bool ReadValuePrefix(HKEY hKey, LPCSTR pszName, void* pvDest, DWORD cbDest, DWORD* pcbRead)
{
    *pcbRead = 0;
    DWORD cb = cbDest;
    LONG lResult =
        RegQueryValueExA(hKey, pszName, nullptr, nullptr, static_cast<BYTE*>(pvDest), &cb);
    if (lResult == ERROR_SUCCESS) {
        *pcbRead = cb;
        return true;
    }
    // Too long for the buffer: what the failed query left there is undefined, so the value is
    // read whole into a buffer of its own size and only its first bytes are kept.
    if (lResult != ERROR_MORE_DATA || cb <= cbDest)
        return false;
    BYTE* pBig = static_cast<BYTE*>(std::malloc(cb));
    if (!pBig)
        return false;
    DWORD cbBig = cb;
    lResult = RegQueryValueExA(hKey, pszName, nullptr, nullptr, pBig, &cbBig);
    const bool bRead = lResult == ERROR_SUCCESS && cbBig >= cbDest;
    if (bRead) {
        std::memcpy(pvDest, pBig, cbDest);
        *pcbRead = cbDest;
    }
    std::free(pBig);
    return bRead;
}

FFServer::FFServer(DWORD dwJoyIdArg, CZR_DayLog* pLogArg, CZR_DayLog* pErrLogArg)
    : CZR_SrvClient(0, 0, pLogArg, pErrLogArg), dwJoyId(dwJoyIdArg), dwProductId(0), bActive(0),
      lLastLeft(0), lLastRight(0), dwFailedWrites(0), dwLastWriteTick(0), dwDeviceGain(0),
      dwPlaySummary(EFFECT_STOPPED), settings{}
{
    szDevicePath[0] = '\0';
    effects.Init();

    // Zeroed first: the call fails for an unknown joystick (and always under some hosts),
    // and the product id then reads as 0 rather than stack garbage.
    JOYCAPSA jc;
    std::memset(&jc, 0, sizeof(jc));
    g_pfnJoyGetDevCaps.load()(dwJoyId, &jc, sizeof(jc));
    dwProductId = jc.wPid;

    ReadTuningBlock(dwProductId, &settings);
}

FFServer::~FFServer()
{
    // The pass reads the records: it must have made its last call before they are freed.
    StopAndWait();
    Lock();
    FreeAllEffects();
    // Sent under the lock so that no late report of any other thread follows it.
    SendMotorReport(0, 0);
    Unlock();
}

bool FFServer::SetDevicePath(LPCWSTR pwszPath)
{
    char szPath[MAX_PATH];
    if (!pwszPath ||
        WideCharToMultiByte(CP_ACP, 0, pwszPath, -1, szPath, MAX_PATH, nullptr, nullptr) == 0) {
        szDevicePath[0] = '\0';
        return false;
    }
    szPath[MAX_PATH - 1] = '\0';
    std::memcpy(szDevicePath, szPath, MAX_PATH);
    return true;
}

bool FFServer::IdlePass()
{
    Sleep(10);
    SendMotorReport(0, 0);
    return true;
}
