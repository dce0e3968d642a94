#include "ZR_FFModule.h"

#include "ZR_FFDriver.h"
#include "ZR_FFFactory.h"
#include "ZR_Object.h"

#include <new>

// {3D9A61C7-5B20-4E8F-A713-6C0B92E4D155}
const CLSID CLSID_FFDriver = {
    0x3D9A61C7, 0x5B20, 0x4E8F, {0xA7, 0x13, 0x6C, 0x0B, 0x92, 0xE4, 0xD1, 0x55}};

HINSTANCE g_hInstance = nullptr;
std::atomic<LONG> g_cDllRefs{0};
std::atomic<CZR_FFFactory*> g_pFactory{nullptr};
std::atomic<CZR_FFDriver*> g_pDriver{nullptr};
#if VANTREL_REVISION == 1
CZR_DayLog* g_pLog = nullptr;
CZR_DayLog* g_pErrLog = nullptr;
#endif

namespace {

// Made before DllMain runs and gone after it: static construction and destruction of the
// module bracket every call that can reach it.
struct ModuleSection {
    CRITICAL_SECTION cs;
    ModuleSection() { InitializeCriticalSection(&cs); }
    ~ModuleSection() { DeleteCriticalSection(&cs); }
} g_moduleSection;

} // namespace

ModuleLock::ModuleLock() { EnterCriticalSection(&g_moduleSection.cs); }
ModuleLock::~ModuleLock() { LeaveCriticalSection(&g_moduleSection.cs); }

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID pReserved)
{
    switch (dwReason) {
    case DLL_PROCESS_ATTACH:
        g_hInstance = hInstance;
#if VANTREL_REVISION == 1
        g_pLog = new (std::nothrow) CZR_DayLog("c:\\FF\\Log");
        g_pErrLog = new (std::nothrow) CZR_DayLog("c:\\FF\\Log\\Err");
#endif
        break;
    case DLL_PROCESS_DETACH:
        // A reserved pointer means the process is ending, perhaps with devices open and their
        // workers killed mid-pass. A FreeLibrary detach (null) comes only after
        // DllCanUnloadNow said S_OK, with no device open.
        if (pReserved)
            StopMotorsAtProcessEnd();
#if VANTREL_REVISION == 1
        delete g_pErrLog;
        g_pErrLog = nullptr;
        delete g_pLog;
        g_pLog = nullptr;
#endif
        g_hInstance = hInstance;
        break;
    default:
        break;
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
#if VANTREL_REVISION == 1
    if (!IsEqualCLSID(rclsid, CLSID_FFDriver))
        return CLASS_E_CLASSNOTAVAILABLE;
#else
    // This revision serves whatever class it is asked for, but only the factory's interfaces.
    (void)rclsid;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory))
        return CLASS_E_CLASSNOTAVAILABLE;
#endif
    return HandOutObject(g_pFactory, riid, ppv);
}

STDAPI DllCanUnloadNow()
{
    // A live factory or driver object (and the driver's worker threads) runs this module's
    // code even while the module count is 0.
    if (g_cDllRefs.load() != 0 || g_pFactory.load() != nullptr || g_pDriver.load() != nullptr)
        return S_FALSE;
    return S_OK;
}
