#include "ZR_FFFactory.h"

#include "ZR_FFDriver.h"
#include "ZR_FFModule.h"

STDMETHODIMP CZR_FFFactory::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
        AddRef();
        *ppv = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CZR_FFFactory::AddRef()
{
    return static_cast<ULONG>(++g_cDllRefs);
}

STDMETHODIMP_(ULONG) CZR_FFFactory::Release()
{
    for (;;) {
        LONG nRefs = g_cDllRefs.load();
        if (nRefs != 0) {
            // Test and decrement in one step: two releases at once take one count each.
            if (g_cDllRefs.compare_exchange_weak(nRefs, nRefs - 1))
                return static_cast<ULONG>(nRefs - 1);
            continue;
        }
        // The caller holds the last reference. DllGetClassObject hands the factory out under
        // the module lock, so a count still at 0 under that lock cannot rise any more.
        ModuleLock lock;
        if (g_cDllRefs.load() != 0)
            continue;
        g_pFactory = nullptr;
        delete this;
        return 0;
    }
}

STDMETHODIMP CZR_FFFactory::CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (pUnkOuter)
        return CLASS_E_NOAGGREGATION;
    // A final Release of the driver object takes the module lock before its count reaches 0,
    // so the object found here is not dying.
    return HandOutObject(g_pDriver, riid, ppv);
}

STDMETHODIMP CZR_FFFactory::LockServer(BOOL fLock)
{
    if (fLock)
        AddRef();
    else
        Release();
    return S_OK;
}
