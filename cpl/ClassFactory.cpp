#include "ClassFactory.h"
#include "Module.h"
#include "PropertySheet.h"

#include <new>

PropSheetClassFactory::PropSheetClassFactory() : m_cRefs(1)
{
    InterlockedIncrement(&ObjectCount);
}

PropSheetClassFactory::~PropSheetClassFactory()
{
    InterlockedDecrement(&ObjectCount);
}

HRESULT STDMETHODCALLTYPE PropSheetClassFactory::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory))
        return E_NOINTERFACE;
    *ppv = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE PropSheetClassFactory::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_cRefs));
}

ULONG STDMETHODCALLTYPE PropSheetClassFactory::Release()
{
    LONG cRefs = InterlockedDecrement(&m_cRefs);
    if (cRefs == 0)
        delete this;
    return static_cast<ULONG>(cRefs);
}

HRESULT STDMETHODCALLTYPE PropSheetClassFactory::CreateInstance(IUnknown* pUnkOuter, REFIID riid,
                                                                void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (pUnkOuter)
        return CLASS_E_NOAGGREGATION;
    ControllerPropertySheet* pSheet = new (std::nothrow) ControllerPropertySheet;
    if (!pSheet)
        return E_OUTOFMEMORY;
    HRESULT hr = pSheet->Initialize();
    if (SUCCEEDED(hr))
        hr = pSheet->QueryInterface(riid, ppv);
    pSheet->Release();
    return hr;
}

HRESULT STDMETHODCALLTYPE PropSheetClassFactory::LockServer(BOOL fLock)
{
    if (fLock)
        InterlockedIncrement(&ObjectCount);
    else
        InterlockedDecrement(&ObjectCount);
    return S_OK;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualCLSID(rclsid, CLSID_ControllerPropertySheet))
        return CLASS_E_CLASSNOTAVAILABLE;
    if (!IsEqualIID(riid, IID_IClassFactory))
        return E_NOINTERFACE;
    PropSheetClassFactory* pFactory = new (std::nothrow) PropSheetClassFactory;
    if (!pFactory)
        return E_OUTOFMEMORY;
    HRESULT hr = pFactory->QueryInterface(riid, ppv);
    pFactory->Release();
    return hr;
}

STDAPI DllCanUnloadNow()
{
    return ObjectCount != 0 ? S_FALSE : S_OK;
}
