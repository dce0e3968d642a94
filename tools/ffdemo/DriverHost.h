#pragma once

#define DIRECTINPUT_VERSION 0x0800
#include <windows.h>
#include <dinput.h>
#include <dinputd.h>

// Loads an effect-driver DLL by path and takes its driver object the way DirectInput does:
// DllGetClassObject for the driver's class, then the factory's CreateInstance.
class DriverHost {
public:
    DriverHost() = default;
    ~DriverHost();
    DriverHost(const DriverHost&) = delete;
    DriverHost& operator=(const DriverHost&) = delete;

    // False, with a message on stderr, when the DLL or its driver object cannot be had.
    bool Load(const char* pszDllPath);
    // A new driver object after ReleaseDriver, as a host that opens the pad again would get.
    bool CreateDriver();
    IDirectInputEffectDriver* Driver() const { return pDriver; }
    // Opens device dwId on a pad path with DeviceID, as DirectInput does, and sets full gain.
    HRESULT OpenDevice(DWORD dwId, const wchar_t* pwszPath);
    HMODULE Module() const { return hModule; }
    // Releases the driver object (its last reference ends every device); true when the
    // module then answers that it can be unloaded.
    bool ReleaseDriver();

private:
    HMODULE hModule = nullptr;
    IDirectInputEffectDriver* pDriver = nullptr;
    HRESULT(WINAPI* pfnGetClassObject)(REFCLSID, REFIID, LPVOID*) = nullptr;
    HRESULT(WINAPI* pfnCanUnloadNow)() = nullptr;
};
