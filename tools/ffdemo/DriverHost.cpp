#include "DriverHost.h"

#include "WindowsPath.h"

#include <cstdio>
#include <string>

namespace {

// {3D9A61C7-5B20-4E8F-A713-6C0B92E4D155}
const CLSID kClsidFFDriver = {
    0x3D9A61C7, 0x5B20, 0x4E8F, {0xA7, 0x13, 0x6C, 0x0B, 0x92, 0xE4, 0xD1, 0x55}};

template <typename Fn>
Fn Export(HMODULE hModule, const char* pszName)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(hModule, pszName)));
}

} // namespace

DriverHost::~DriverHost()
{
    ReleaseDriver();
    if (hModule)
        FreeLibrary(hModule);
}

bool DriverHost::Load(const char* pszDllPath)
{
    const std::string path = WindowsPath(pszDllPath);
    hModule = LoadLibraryA(path.c_str());
    if (!hModule) {
        std::fprintf(stderr, "cannot load %s (error %lu)\n", path.c_str(), GetLastError());
        return false;
    }
    pfnGetClassObject =
        Export<HRESULT(WINAPI*)(REFCLSID, REFIID, LPVOID*)>(hModule, "DllGetClassObject");
    pfnCanUnloadNow = Export<HRESULT(WINAPI*)()>(hModule, "DllCanUnloadNow");
    if (!pfnGetClassObject || !pfnCanUnloadNow) {
        std::fprintf(stderr, "%s does not export the COM entry points\n", path.c_str());
        return false;
    }
    return CreateDriver();
}

bool DriverHost::CreateDriver()
{
    if (pDriver || !pfnGetClassObject)
        return pDriver != nullptr;
    IClassFactory* pFactory = nullptr;
    HRESULT hr = pfnGetClassObject(kClsidFFDriver, IID_IClassFactory,
                                   reinterpret_cast<void**>(&pFactory));
    if (FAILED(hr)) {
        std::fprintf(stderr, "DllGetClassObject failed: 0x%08lX\n",
                     static_cast<unsigned long>(hr));
        return false;
    }
    hr = pFactory->CreateInstance(nullptr, IID_IDirectInputEffectDriver,
                                  reinterpret_cast<void**>(&pDriver));
    pFactory->Release();
    if (FAILED(hr)) {
        std::fprintf(stderr, "CreateInstance failed: 0x%08lX\n", static_cast<unsigned long>(hr));
        pDriver = nullptr;
        return false;
    }
    return true;
}

HRESULT DriverHost::OpenDevice(DWORD dwId, const wchar_t* pwszPath)
{
    if (!pDriver)
        return E_POINTER;
    DIHIDFFINITINFO init{sizeof(init), const_cast<LPWSTR>(pwszPath), {}};
    const HRESULT hr = pDriver->DeviceID(0x0800, dwId, 1, dwId, &init);
    return SUCCEEDED(hr) ? pDriver->SetGain(dwId, 10000) : hr;
}

bool DriverHost::ReleaseDriver()
{
    if (pDriver) {
        pDriver->Release();
        pDriver = nullptr;
    }
    return pfnCanUnloadNow && pfnCanUnloadNow() == S_OK;
}
