#include "com_driver_dll.h"

#include <cstdlib>
#include <string>

const CLSID kClsidFFDriver = {
    0x3D9A61C7, 0x5B20, 0x4E8F, {0xA7, 0x13, 0x6C, 0x0B, 0x92, 0xE4, 0xD1, 0x55}};

namespace {

template <typename Fn>
void LoadExport(HMODULE hModule, const char* pszName, Fn* ppfn)
{
    *ppfn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(hModule, pszName)));
}

} // namespace

DriverDll& DriverDll::Get()
{
    static DriverDll dll = [] {
        // Inputs that other programs in this prefix may have left: the tests expect the
        // defaults (no tuning block, no "Setting").
        RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\HidJoySetting");
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\HidJoySetting");
        RegDeleteKeyValueA(HKEY_CURRENT_USER, "USB Joystick\\VID_7B5E&PID_4D19", "Setting");
        DriverDll d;
        d.hModule = LoadLibraryA(WindowsPath(VANTREL_DLL_PATH).c_str());
        if (!d.hModule)
            std::abort();
        LoadExport(d.hModule, "DllGetClassObject", &d.pfnGetClassObject);
        LoadExport(d.hModule, "DllCanUnloadNow", &d.pfnCanUnloadNow);
        LoadExport(d.hModule, "DllRegisterServer", &d.pfnRegisterServer);
        LoadExport(d.hModule, "DllUnregisterServer", &d.pfnUnregisterServer);
        if (!d.pfnGetClassObject || !d.pfnCanUnloadNow)
            std::abort();
        return d;
    }();
    return dll;
}

IClassFactory* DriverDll::Factory() const
{
    void* pv = nullptr;
    return SUCCEEDED(pfnGetClassObject(kClsidFFDriver, IID_IClassFactory, &pv))
               ? static_cast<IClassFactory*>(pv)
               : nullptr;
}

IDirectInputEffectDriver* DriverDll::CreateDriver() const
{
    IClassFactory* pFactory = Factory();
    void* pv = nullptr;
    if (pFactory) {
        pFactory->CreateInstance(nullptr, IID_IDirectInputEffectDriver, &pv);
        pFactory->Release();
    }
    return static_cast<IDirectInputEffectDriver*>(pv);
}

std::vector<BYTE> MotorReportBytes(BYTE bLeft, BYTE bRight)
{
#if COM_DLL_REVISION == 1
    return {0x00, bLeft, bRight, 0x00};
#else
    return {0x01, 0xA0, bLeft, bRight, 0x00, 0x00, 0x00, 0x00};
#endif
}

EffectParams::EffectParams(DWORD dwKind, LONG lMagnitude, LONG lDirection, DWORD dwDurationUs)
    : EffectDesc(lDirection, dwDurationUs)
{
    if (dwKind == KIND_CONSTANT)
        Constant(lMagnitude);
    else
        Periodic(static_cast<DWORD>(lMagnitude), 0, 90000);
}

void DriverTest::SetUp()
{
    ASSERT_TRUE(pad.Start());
    pDriver = dll.CreateDriver();
    ASSERT_NE(pDriver, nullptr);
}

void DriverTest::TearDown()
{
    if (pDriver) {
        EXPECT_EQ(pDriver->Release(), 0u);
    }
    EXPECT_EQ(dll.pfnCanUnloadNow(), S_OK);
}

HRESULT DriverTest::Open(DWORD dwId, const PadSimulator& sim, DWORD fBegin)
{
    DIHIDFFINITINFO init{sizeof(init), const_cast<LPWSTR>(sim.WidePath()), {}};
    return pDriver->DeviceID(0x0800, dwId, fBegin, dwId, &init);
}

void DriverTest::OpenQuiet(DWORD dwGain)
{
    ASSERT_EQ(Open(0, pad), S_OK);
    pad.WaitQuiet(100, 2000);
    ASSERT_EQ(pDriver->SetGain(0, dwGain), S_OK);
    pad.Clear();
}

DWORD DriverTest::Download(DWORD dwKind, LONG lMagnitude, LONG lDirection, DWORD dwFlags,
                           DWORD dwId)
{
    EffectParams params(dwKind, lMagnitude, lDirection);
    DWORD dwHandle = 0;
    EXPECT_EQ(pDriver->DownloadEffect(dwId, dwKind, &dwHandle, &params.eff, dwFlags), S_OK);
    return dwHandle;
}

DWORD DriverTest::Status(DWORD dwHandle, DWORD dwId)
{
    DWORD dwStatus = 0xBAD;
    EXPECT_EQ(pDriver->GetEffectStatus(dwId, dwHandle, &dwStatus), S_OK);
    return dwStatus;
}

DWORD DriverTest::DeviceState(DWORD dwId)
{
    DIDEVICESTATE ds{sizeof(ds), 0xBAD, 0xBAD};
    EXPECT_EQ(pDriver->GetForceFeedbackState(dwId, &ds), S_OK);
    EXPECT_EQ(ds.dwLoad, 0u);
    return ds.dwState;
}

std::vector<BYTE> DriverTest::ReleaseAndLastReport(const PadSimulator& sim)
{
    EXPECT_EQ(pDriver->Release(), 0u);
    pDriver = nullptr;
    EXPECT_EQ(dll.pfnCanUnloadNow(), S_OK);
    sim.WaitQuiet(100, 2000);
    const auto reports = sim.Reports();
    return reports.empty() ? std::vector<BYTE>{} : reports.back().bytes;
}
