#include "FakeDirectInput.h"

#include <cstring>

namespace {

FakeDirectInputScope* g_pScope = nullptr;

}  // namespace

ULONG FakeRefCount::DoRelease()
{
    LONG cRefs = InterlockedDecrement(&m_cRefs);
    if (cRefs < 0) {
        InterlockedIncrement(&m_cRefs);
        InterlockedIncrement(&m_cExtraReleases);
        return 0;
    }
    return static_cast<ULONG>(cRefs);
}

HRESULT STDMETHODCALLTYPE FakeDirectInputDevice::QueryInterface(REFIID riid, void** ppv)
{
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IDirectInputDevice2A)) {
        if (FAILED(hrQueryDevice2))
            return hrQueryDevice2;
    } else if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDirectInputDeviceA)) {
        return E_NOINTERFACE;
    }
    *ppv = static_cast<IDirectInputDevice2A*>(this);
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeDirectInputDevice::GetProperty(REFGUID rguidProp, LPDIPROPHEADER pdiph)
{
    if (&rguidProp != &DIPROP_GUIDANDPATH)
        return DIERR_UNSUPPORTED;
    const BYTE* pbHeader = reinterpret_cast<const BYTE*>(pdiph);
    lastPathHeader.assign(pbHeader, pbHeader + sizeof(DIPROPHEADER));
    if (FAILED(hrGetPathProperty))
        return hrGetPathProperty;
    if (pdiph->dwSize != sizeof(DIPROPGUIDANDPATH))
        return DIERR_INVALIDPARAM;
    auto* pdipgp = reinterpret_cast<DIPROPGUIDANDPATH*>(pdiph);
    // Fills the whole member like DirectInput does; a path of 260 units has no terminator.
    size_t cch = path.size() < MAX_PATH ? path.size() : MAX_PATH;
    memcpy(pdipgp->wszPath, path.data(), cch * sizeof(WCHAR));
    if (cch < MAX_PATH)
        pdipgp->wszPath[cch] = L'\0';
    return hrGetPathProperty;
}

HRESULT STDMETHODCALLTYPE FakeDirectInputDevice::SetProperty(REFGUID rguidProp, LPCDIPROPHEADER pdiph)
{
    if (&rguidProp != &DIPROP_DEADZONE)
        return DIERR_UNSUPPORTED;
    auto* pdipdw = reinterpret_cast<const DIPROPDWORD*>(pdiph);
    deadZones.push_back(DeadZone{pdiph->dwObj, pdiph->dwHow, pdipdw->dwData, pdiph->dwSize,
                                 pdiph->dwHeaderSize});
    return DI_OK;
}

HRESULT STDMETHODCALLTYPE FakeDirectInputDevice::GetDeviceState(DWORD cbData, LPVOID lpvData)
{
    ++nGetDeviceState;
    if (FAILED(hrGetDeviceState))
        return hrGetDeviceState;
    if (cbData != sizeof(DIJOYSTATE))
        return DIERR_INVALIDPARAM;
    memcpy(lpvData, &state, sizeof state);
    return hrGetDeviceState;
}

HRESULT STDMETHODCALLTYPE FakeDirectInputDevice::SetCooperativeLevel(HWND hwnd, DWORD dwFlags)
{
    hCooperativeWindow = hwnd;
    dwCooperativeFlags = dwFlags;
    return hrSetCooperativeLevel;
}

HRESULT STDMETHODCALLTYPE FakeJoyConfig::QueryInterface(REFIID riid, void** ppv)
{
    *ppv = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDirectInputJoyConfig))
        return E_NOINTERFACE;
    *ppv = static_cast<IDirectInputJoyConfig*>(this);
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeJoyConfig::GetConfig(UINT nId, LPDIJOYCONFIG pjc, DWORD dwFlags)
{
    configIds.push_back(nId);
    configSizes.push_back(pjc->dwSize);
    configFlags.push_back(dwFlags);
    if (FAILED(hrGetConfig))
        return hrGetConfig;
    pjc->guidInstance = guidInstance;
    return hrGetConfig;
}

HRESULT STDMETHODCALLTYPE FakeDirectInput::QueryInterface(REFIID riid, void** ppv)
{
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IDirectInputJoyConfig)) {
        if (FAILED(hrQueryJoyConfig))
            return hrQueryJoyConfig;
        return m_pJoyConfig->QueryInterface(riid, ppv);
    }
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDirectInputA))
        return E_NOINTERFACE;
    *ppv = static_cast<IDirectInputA*>(this);
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeDirectInput::CreateDevice(REFGUID rguid, LPDIRECTINPUTDEVICEA* ppDevice,
                                                        LPUNKNOWN pUnkOuter)
{
    ++nCreateDevice;
    createdFor.push_back(rguid);
    *ppDevice = nullptr;
    if (pUnkOuter)
        return CLASS_E_NOAGGREGATION;
    if (FAILED(hrCreateDevice))
        return hrCreateDevice;
    m_pDevice->AddRef();
    *ppDevice = m_pDevice;
    return hrCreateDevice;
}

FakeDirectInputScope::FakeDirectInputScope()
{
    // The scope's objects start with the test's own reference; it is not counted as an owner.
    g_pScope = this;
    m_pfnPrevious = SetDirectInputCreateHook(Create);
}

FakeDirectInputScope::~FakeDirectInputScope()
{
    SetDirectInputCreateHook(m_pfnPrevious);
    g_pScope = nullptr;
}

HRESULT WINAPI FakeDirectInputScope::Create(HINSTANCE hInst, DWORD dwVersion, IDirectInputA** ppDI,
                                            IUnknown*)
{
    FakeDirectInputScope* pScope = g_pScope;
    *ppDI = nullptr;
    if (!pScope)
        return E_FAIL;
    ++pScope->nCreate;
    pScope->dwLastVersion = dwVersion;
    pScope->hLastInstance = hInst;
    if (FAILED(pScope->hrCreate))
        return pScope->hrCreate;
    pScope->directInput.AddRef();
    *ppDI = &pScope->directInput;
    return pScope->hrCreate;
}
