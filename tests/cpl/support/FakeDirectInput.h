#pragma once

// DirectInput without a device: a DirectInput object, a joystick device and a
// joystick-configuration object that count their references and play back scripted results.
// FakeDirectInputScope installs the creation hook for its lifetime.
#include "PadAccess.h"

#include <string>
#include <vector>

class FakeJoyConfig;
class FakeDirectInputDevice;

// Common reference counting: objects are not freed at zero, so a test can check for leaks
// (Refs() > 0 after every owner let go) and double releases (ExtraReleases() > 0).
class FakeRefCount {
public:
    LONG Refs() const { return m_cRefs; }
    LONG ExtraReleases() const { return m_cExtraReleases; }

protected:
    ULONG DoAddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_cRefs)); }
    ULONG DoRelease();

private:
    volatile LONG m_cRefs = 1;  // the creator's reference
    volatile LONG m_cExtraReleases = 0;
};

class FakeDirectInputDevice final : public IDirectInputDevice2A, public FakeRefCount {
public:
    // Scripted results.
    HRESULT hrAcquire = DI_OK;
    HRESULT hrGetDeviceState = DI_OK;
    HRESULT hrSetDataFormat = DI_OK;
    HRESULT hrSetCooperativeLevel = DI_OK;
    HRESULT hrGetPathProperty = DI_OK;
    HRESULT hrQueryDevice2 = S_OK;  // QueryInterface for IDirectInputDevice2A
    DIJOYSTATE state = {};
    std::wstring path = L"\\\\?\\hid#vid_7b5e&pid_4d19#fake#{4d1e55b2-f16f-11cf-88cb-001111000030}";

    // What was done.
    int nAcquire = 0, nUnacquire = 0, nGetDeviceState = 0;
    const DIDATAFORMAT* pDataFormat = nullptr;
    HWND hCooperativeWindow = nullptr;
    DWORD dwCooperativeFlags = 0;
    struct DeadZone { DWORD dwObj; DWORD dwHow; DWORD dwData; DWORD dwSize; DWORD dwHeaderSize; };
    std::vector<DeadZone> deadZones;
    std::vector<BYTE> lastPathHeader;  // the DIPROPHEADER handed to GetProperty (16 bytes)

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return DoAddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return DoRelease(); }
    // IDirectInputDeviceA
    HRESULT STDMETHODCALLTYPE GetCapabilities(LPDIDEVCAPS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKA, LPVOID, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetProperty(REFGUID rguidProp, LPDIPROPHEADER pdiph) override;
    HRESULT STDMETHODCALLTYPE SetProperty(REFGUID rguidProp, LPCDIPROPHEADER pdiph) override;
    HRESULT STDMETHODCALLTYPE Acquire() override { ++nAcquire; return hrAcquire; }
    HRESULT STDMETHODCALLTYPE Unacquire() override { ++nUnacquire; return DI_OK; }
    HRESULT STDMETHODCALLTYPE GetDeviceState(DWORD cbData, LPVOID lpvData) override;
    HRESULT STDMETHODCALLTYPE GetDeviceData(DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetDataFormat(LPCDIDATAFORMAT lpdf) override { pDataFormat = lpdf; return hrSetDataFormat; }
    HRESULT STDMETHODCALLTYPE SetEventNotification(HANDLE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND hwnd, DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE GetObjectInfo(LPDIDEVICEOBJECTINSTANCEA, DWORD, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDeviceInfo(LPDIDEVICEINSTANCEA) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RunControlPanel(HWND, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Initialize(HINSTANCE, DWORD, REFGUID) override { return E_NOTIMPL; }
    // IDirectInputDevice2A
    HRESULT STDMETHODCALLTYPE CreateEffect(REFGUID, LPCDIEFFECT, LPDIRECTINPUTEFFECT*, LPUNKNOWN) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumEffects(LPDIENUMEFFECTSCALLBACKA, LPVOID, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetEffectInfo(LPDIEFFECTINFOA, REFGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetForceFeedbackState(LPDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SendForceFeedbackCommand(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumCreatedEffectObjects(LPDIENUMCREATEDEFFECTOBJECTSCALLBACK, LPVOID, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Escape(LPDIEFFESCAPE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Poll() override { return DI_OK; }
    HRESULT STDMETHODCALLTYPE SendDeviceData(DWORD, LPCDIDEVICEOBJECTDATA, LPDWORD, DWORD) override { return E_NOTIMPL; }
};

class FakeJoyConfig final : public IDirectInputJoyConfig, public FakeRefCount {
public:
    HRESULT hrGetConfig = DI_OK;
    GUID guidInstance = {0x4d197b5e, 0x0001, 0x0002, {1, 2, 3, 4, 5, 6, 7, 8}};
    int nUnacquire = 0;
    std::vector<UINT> configIds;      // joystick ids asked for
    std::vector<DWORD> configSizes;   // dwSize of each record handed in
    std::vector<DWORD> configFlags;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return DoAddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return DoRelease(); }
    HRESULT STDMETHODCALLTYPE Acquire() override { return DI_OK; }
    HRESULT STDMETHODCALLTYPE Unacquire() override { ++nUnacquire; return DI_OK; }
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND, DWORD) override { return DI_OK; }
    HRESULT STDMETHODCALLTYPE SendNotify() override { return DI_OK; }
    HRESULT STDMETHODCALLTYPE EnumTypes(LPVOID, LPVOID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(LPCWSTR, LPDIJOYTYPEINFO, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTypeInfo(LPCWSTR, LPCDIJOYTYPEINFO, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeleteType(LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetConfig(UINT nId, LPDIJOYCONFIG pjc, DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE SetConfig(UINT, LPCDIJOYCONFIG, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeleteConfig(UINT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetUserValues(LPDIJOYUSERVALUES, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetUserValues(LPCDIJOYUSERVALUES, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddNewHardware(HWND, REFGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OpenTypeKey(LPCWSTR, DWORD, HKEY*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OpenConfigKey(UINT, DWORD, HKEY*) override { return E_NOTIMPL; }
};

class FakeDirectInput final : public IDirectInputA, public FakeRefCount {
public:
    FakeDirectInput(FakeJoyConfig* pJoyConfig, FakeDirectInputDevice* pDevice)
        : m_pJoyConfig(pJoyConfig), m_pDevice(pDevice) {}

    HRESULT hrQueryJoyConfig = S_OK;
    HRESULT hrCreateDevice = DI_OK;
    std::vector<GUID> createdFor;  // instance GUIDs handed to CreateDevice
    int nCreateDevice = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return DoAddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return DoRelease(); }
    HRESULT STDMETHODCALLTYPE CreateDevice(REFGUID rguid, LPDIRECTINPUTDEVICEA* ppDevice, LPUNKNOWN pUnkOuter) override;
    HRESULT STDMETHODCALLTYPE EnumDevices(DWORD, LPDIENUMDEVICESCALLBACKA, LPVOID, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDeviceStatus(REFGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RunControlPanel(HWND, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Initialize(HINSTANCE, DWORD) override { return E_NOTIMPL; }

private:
    FakeJoyConfig* m_pJoyConfig;
    FakeDirectInputDevice* m_pDevice;
};

// Installs the creation hook for its lifetime: every DirectInputCreateA call gets the same
// FakeDirectInput (with one reference added), or hrCreate when that is a failure.
class FakeDirectInputScope {
public:
    FakeDirectInputScope();
    ~FakeDirectInputScope();
    FakeDirectInputScope(const FakeDirectInputScope&) = delete;
    FakeDirectInputScope& operator=(const FakeDirectInputScope&) = delete;

    FakeJoyConfig joyConfig;
    FakeDirectInputDevice device;
    FakeDirectInput directInput{&joyConfig, &device};
    HRESULT hrCreate = DI_OK;
    int nCreate = 0;
    DWORD dwLastVersion = 0;
    HINSTANCE hLastInstance = nullptr;

private:
    static HRESULT WINAPI Create(HINSTANCE hInst, DWORD dwVersion, IDirectInputA** ppDI, IUnknown* pUnkOuter);
    DirectInputCreateProc m_pfnPrevious;
};
