#pragma once

#include <windows.h>
#include <unknwn.h>

// The class factory that hands out the process's one effect-driver object. Its reference
// count is the module count g_cDllRefs: a factory that exists while the count is 0 is held
// by exactly one reference.
class CZR_FFFactory final : public IClassFactory {
public:
    CZR_FFFactory() = default;
    CZR_FFFactory(const CZR_FFFactory&) = delete;
    CZR_FFFactory& operator=(const CZR_FFFactory&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) override;
    STDMETHODIMP LockServer(BOOL fLock) override;
};
