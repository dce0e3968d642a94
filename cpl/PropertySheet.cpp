#include "PropertySheet.h"
#include "Controls.h"
#include "Module.h"
#include "Pages.h"

#include <cstring>

namespace {

struct PageEntry {
    WORD wTemplate;
    DLGPROC pfnProc;
};

// The order in which the panel shows the pages.
const PageEntry kPages[ControllerPropertySheet::kPageCount] = {
    {IDD_TESTPAGE, TestPageProc},
    {IDD_RUMBLEPAGE, RumblePageProc},
    {IDD_ABOUTPAGE, AboutPageProc},
};

ControllerPropertySheet::CaptionAllocProc g_pfnCaptionAlloc = LocalAlloc;

}  // namespace

ControllerPropertySheet::CaptionAllocProc ControllerPropertySheet::SetCaptionAllocator(
    CaptionAllocProc pfnAlloc)
{
    CaptionAllocProc pfnPrevious = g_pfnCaptionAlloc;
    g_pfnCaptionAlloc = pfnAlloc ? pfnAlloc : LocalAlloc;
    return pfnPrevious;
}

ControllerPropertySheet::ControllerPropertySheet()
    : m_pDevice(nullptr), m_pJoyConfig(nullptr), m_cRefs(1), m_nID(kNoJoystick)
{
    memset(&m_sheetInfo, 0, sizeof m_sheetInfo);
    memset(m_rgPageInfo, 0, sizeof m_rgPageInfo);
    InterlockedIncrement(&ObjectCount);
}

ControllerPropertySheet::~ControllerPropertySheet()
{
    if (m_pDevice) {
        m_pDevice->Unacquire();
        m_pDevice->Release();
        m_pDevice = nullptr;
    }
    if (m_pJoyConfig) {
        m_pJoyConfig->Unacquire();
        m_pJoyConfig->Release();
        m_pJoyConfig = nullptr;
    }
    // The host may read the caption as long as the object lives, and no longer.
    if (m_sheetInfo.lpwszSheetCaption)
        LocalFree(m_sheetInfo.lpwszSheetCaption);
    InterlockedDecrement(&ObjectCount);
}

HRESULT STDMETHODCALLTYPE ControllerPropertySheet::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDIGameCntrlPropSheet))
        return E_NOINTERFACE;
    *ppv = static_cast<IDIGameCntrlPropSheet*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE ControllerPropertySheet::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_cRefs));
}

ULONG STDMETHODCALLTYPE ControllerPropertySheet::Release()
{
    LONG cRefs = InterlockedDecrement(&m_cRefs);
    if (cRefs == 0)
        delete this;
    return static_cast<ULONG>(cRefs);
}

HRESULT STDMETHODCALLTYPE ControllerPropertySheet::GetSheetInfo(DIGCSHEETINFO** ppSheetInfo)
{
    if (!ppSheetInfo)
        return E_POINTER;
    *ppSheetInfo = &m_sheetInfo;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ControllerPropertySheet::GetPageInfo(DIGCPAGEINFO** ppPageInfo)
{
    if (!ppPageInfo)
        return E_POINTER;
    *ppPageInfo = m_rgPageInfo;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ControllerPropertySheet::SetID(USHORT nID)
{
    m_nID = nID;
    return S_OK;
}

USHORT STDMETHODCALLTYPE ControllerPropertySheet::GetID()
{
    return m_nID;
}

HRESULT STDMETHODCALLTYPE ControllerPropertySheet::Initialize()
{
    for (int i = 0; i < kPageCount; ++i) {
        DIGCPAGEINFO& page = m_rgPageInfo[i];
        page.dwSize = sizeof(DIGCPAGEINFO);
        page.lpwszPageTitle = nullptr;
        page.fpPageProc = kPages[i].pfnProc;
        page.fProcFlag = FALSE;
        page.fpPrePageProc = nullptr;
        page.fIconFlag = TRUE;
        page.lpwszPageIcon = MAKEINTRESOURCEW(kSheetIcon);
        page.lpwszTemplate = MAKEINTRESOURCEW(kPages[i].wTemplate);
        page.lParam = reinterpret_cast<LPARAM>(this);
        page.hInstance = g_hInstance;
    }

    m_sheetInfo.dwSize = sizeof(DIGCSHEETINFO);
    m_sheetInfo.nNumPages = kPageCount;
    m_sheetInfo.fSheetIconFlag = TRUE;
    m_sheetInfo.lpwszSheetIcon = MAKEINTRESOURCEW(kSheetIcon);

    // A second Initialize reuses the block it made the first time.
    LPWSTR pwszCaption = m_sheetInfo.lpwszSheetCaption;
    if (!pwszCaption) {
        pwszCaption = static_cast<LPWSTR>(
            g_pfnCaptionAlloc(LMEM_ZEROINIT, kCaptionChars * sizeof(WCHAR)));
        if (!pwszCaption)
            return E_OUTOFMEMORY;
    }
    memset(pwszCaption, 0, kCaptionChars * sizeof(WCHAR));
    char szCaption[kCaptionChars] = {};
    int cchCaption = LoadStringA(g_hInstance, IDS_PRODUCT_NAME, szCaption, sizeof szCaption);
    if (cchCaption > 0)
        MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, szCaption, cchCaption, pwszCaption,
                            kCaptionChars - 1);
    m_sheetInfo.lpwszSheetCaption = pwszCaption;

    RegisterDisplayControlClasses(g_hInstance);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ControllerPropertySheet::GetDevice(IDirectInputDevice2A** ppDevice)
{
    if (!ppDevice)
        return E_POINTER;
    *ppDevice = m_pDevice;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ControllerPropertySheet::SetDevice(IDirectInputDevice2A* pDevice)
{
    // Callers set it only while none is stored; a replaced one would otherwise leak.
    if (m_pDevice && m_pDevice != pDevice)
        m_pDevice->Release();
    m_pDevice = pDevice;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ControllerPropertySheet::GetJoyConfig(IDirectInputJoyConfig** ppJoyConfig)
{
    if (!ppJoyConfig)
        return E_POINTER;
    *ppJoyConfig = m_pJoyConfig;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ControllerPropertySheet::SetJoyConfig(IDirectInputJoyConfig* pJoyConfig)
{
    if (m_pJoyConfig && m_pJoyConfig != pJoyConfig)
        m_pJoyConfig->Release();
    m_pJoyConfig = pJoyConfig;
    return S_OK;
}
