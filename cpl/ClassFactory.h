#pragma once

#include <windows.h>
#include <unknwn.h>

// The class factory of the sheet object.
class PropSheetClassFactory final : public IClassFactory {
public:
    PropSheetClassFactory();

    PropSheetClassFactory(const PropSheetClassFactory&) = delete;
    PropSheetClassFactory& operator=(const PropSheetClassFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) override;

private:
    ~PropSheetClassFactory();

    volatile LONG m_cRefs;
};
