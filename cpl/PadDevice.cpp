#include "PadAccess.h"
#include "Module.h"
#include "PropertySheet.h"

#include <cwchar>
#include <memory>

static_assert(sizeof(DIJOYCONFIG_DX5) == 1160, "the DirectInput 5 configuration record");
static_assert(sizeof(DIPROPGUIDANDPATH) == 552, "the path property record");

namespace {

constexpr DWORD kDeadZone = 500;
// Offsets of X, Y, Z and Rz in DIJOYSTATE.
constexpr DWORD kDeadZoneAxes[] = {0, 4, 8, 20};

DirectInputCreateProc g_pfnDirectInputCreate = DirectInputCreateA;

class CriticalSectionLock {
public:
    explicit CriticalSectionLock(CRITICAL_SECTION& cs) : m_cs(cs) { EnterCriticalSection(&m_cs); }
    ~CriticalSectionLock() { LeaveCriticalSection(&m_cs); }
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

private:
    CRITICAL_SECTION& m_cs;
};

// Releases the held interface when it goes out of scope unless it was handed on.
template <typename T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() { if (m_p) m_p->Release(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T** Out() { return &m_p; }
    T* Get() const { return m_p; }
    T* Detach() { T* p = m_p; m_p = nullptr; return p; }

private:
    T* m_p = nullptr;
};

bool IsUsablePointer(const void* p, UINT_PTR cb)
{
    return p && !IsBadReadPtr(p, cb) && !IsBadWritePtr(const_cast<void*>(p), cb);
}

void SetDeadZones(IDirectInputDevice2A* pDevice)
{
    for (DWORD dwAxis : kDeadZoneAxes) {
        DIPROPDWORD dipdw = {};
        dipdw.diph.dwSize = sizeof(DIPROPDWORD);
        dipdw.diph.dwHeaderSize = sizeof(DIPROPHEADER);
        dipdw.diph.dwObj = dwAxis;
        dipdw.diph.dwHow = DIPH_BYOFFSET;
        dipdw.dwData = kDeadZone;
        pDevice->SetProperty(DIPROP_DEADZONE, &dipdw.diph);
    }
}

}  // namespace

DirectInputCreateProc SetDirectInputCreateHook(DirectInputCreateProc pfnCreate)
{
    DirectInputCreateProc pfnPrevious = g_pfnDirectInputCreate;
    g_pfnDirectInputCreate = pfnCreate ? pfnCreate : DirectInputCreateA;
    return pfnPrevious;
}

HRESULT OpenPageDevice(HWND hParent, IDIGameCntrlPropSheet* pSheet)
{
    CriticalSectionLock lock(PageLock);

    if (!IsUsablePointer(pSheet, sizeof(ControllerPropertySheet)))
        return E_POINTER;

    IDirectInputDevice2A* pDevice = nullptr;
    IDirectInputJoyConfig* pJoyConfig = nullptr;
    pSheet->GetDevice(&pDevice);
    pSheet->GetJoyConfig(&pJoyConfig);
    if (pDevice && pJoyConfig)
        return S_FALSE;

    ComRef<IDirectInputA> directInput;
    HRESULT hr = g_pfnDirectInputCreate(g_hInstance, kPadDirectInputVersion, directInput.Out(),
                                        nullptr);
    if (FAILED(hr))
        return hr;

    if (!pJoyConfig) {
        hr = directInput.Get()->QueryInterface(IID_IDirectInputJoyConfig,
                                               reinterpret_cast<void**>(&pJoyConfig));
        if (FAILED(hr))
            return hr;
        pSheet->SetJoyConfig(pJoyConfig);
    }
    if (pDevice)
        return S_FALSE;
    if (!pJoyConfig)
        return E_FAIL;

    ComRef<IDirectInputDevice2A> device;
    hr = CreateJoystickDevice(static_cast<SHORT>(pSheet->GetID()), hParent, directInput.Get(),
                              pJoyConfig, device.Out());
    if (FAILED(hr))
        return hr;
    SetDeadZones(device.Get());
    pSheet->SetDevice(device.Detach());
    return hr;
}

HRESULT CreateJoystickDevice(SHORT nJoystickId, HWND hParent, IDirectInputA* pDirectInput,
                             IDirectInputJoyConfig* pJoyConfig, IDirectInputDevice2A** ppDevice)
{
    if (!IsUsablePointer(pDirectInput, sizeof(void*)) ||
        !IsUsablePointer(pJoyConfig, sizeof(void*)) || !IsUsablePointer(ppDevice, sizeof(void*)))
        return E_POINTER;
    *ppDevice = nullptr;

    DIJOYCONFIG_DX5 config = {};
    config.dwSize = sizeof config;
    HRESULT hr = pJoyConfig->GetConfig(static_cast<UINT>(static_cast<int>(nJoystickId)),
                                       reinterpret_cast<LPDIJOYCONFIG>(&config), DIJC_GUIDINSTANCE);
    if (FAILED(hr))
        return hr;

    ComRef<IDirectInputDeviceA> firstDevice;
    hr = pDirectInput->CreateDevice(config.guidInstance, firstDevice.Out(), nullptr);
    if (FAILED(hr))
        return hr;

    // The out pointer gets the device only once it is fully set up, so a failure leaves
    // nothing behind for the caller to release.
    ComRef<IDirectInputDevice2A> device;
    hr = firstDevice.Get()->QueryInterface(IID_IDirectInputDevice2A,
                                           reinterpret_cast<void**>(device.Out()));
    if (FAILED(hr))
        return hr;
    hr = device.Get()->SetDataFormat(&c_dfDIJoystick);
    if (FAILED(hr))
        return hr;
    hr = device.Get()->SetCooperativeLevel(hParent, DISCL_EXCLUSIVE | DISCL_BACKGROUND);
    if (FAILED(hr))
        return hr;
    *ppDevice = device.Detach();
    return hr;
}

BOOL GetDevicePath(WCHAR wszPath[MAX_PATH], IDirectInputDevice2A* pDevice)
{
    if (!pDevice)
        return FALSE;
    DIPROPGUIDANDPATH dipgp = {};
    dipgp.diph.dwSize = sizeof dipgp;
    dipgp.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    dipgp.diph.dwObj = 0;
    dipgp.diph.dwHow = DIPH_DEVICE;
    if (FAILED(pDevice->GetProperty(DIPROP_GUIDANDPATH, &dipgp.diph)))
        return FALSE;
    // A path that filled the whole member was cut short and names no device.
    if (wcsnlen(dipgp.wszPath, MAX_PATH) == MAX_PATH)
        return FALSE;
    memcpy(wszPath, dipgp.wszPath, sizeof dipgp.wszPath);
    return TRUE;
}

HANDLE OpenHidHandle(IDirectInputDevice2A* pDevice)
{
    WCHAR wszPath[MAX_PATH];
    if (!GetDevicePath(wszPath, pDevice))
        return nullptr;
    // A path that does not fit (terminator included) gives no handle rather than a cut one.
    std::unique_ptr<char[]> pszPath(new (std::nothrow) char[MAX_PATH]);
    if (!pszPath)
        return nullptr;
    // A character the code page cannot hold would turn into '?' and name another file.
    BOOL fUsedDefaultChar = FALSE;
    const bool fUtf8 = GetACP() == CP_UTF8;  // takes no default-character query
    if (WideCharToMultiByte(CP_ACP, fUtf8 ? 0 : WC_NO_BEST_FIT_CHARS, wszPath, -1, pszPath.get(),
                            MAX_PATH, nullptr, fUtf8 ? nullptr : &fUsedDefaultChar) == 0 ||
        fUsedDefaultChar)
        return nullptr;
    return CurrentPadTransport().Open(pszPath.get());
}
