#pragma once

// Module-wide state of the effect-driver DLL, one copy per loaded module.

#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0800
#endif

#include <windows.h>

#include <atomic>
#include <new>

class CZR_DayLog;
class CZR_FFFactory;
class CZR_FFDriver;

// {3D9A61C7-5B20-4E8F-A713-6C0B92E4D155}, the same in both revisions.
extern const CLSID CLSID_FFDriver;

extern HINSTANCE g_hInstance;
// References to the factory beyond its first one, each LockServer(TRUE) counting as one.
extern std::atomic<LONG> g_cDllRefs;
extern std::atomic<CZR_FFFactory*> g_pFactory;
extern std::atomic<CZR_FFDriver*> g_pDriver;
#if VANTREL_REVISION == 1
extern CZR_DayLog* g_pLog;
extern CZR_DayLog* g_pErrLog;
inline CZR_DayLog* ModuleDayLog() { return g_pLog; }
inline CZR_DayLog* ModuleErrorDayLog() { return g_pErrLog; }
#else
// The later revision keeps no day logs; its servers are handed none.
inline CZR_DayLog* ModuleDayLog() { return nullptr; }
inline CZR_DayLog* ModuleErrorDayLog() { return nullptr; }
#endif

// One recursive lock for the moments when an object is made, handed out or torn down, and
// for filling a device entry: without it two first callers could make two objects, or one
// caller could hand out an object that a final Release is destroying. Held for a scope.
class ModuleLock {
public:
    ModuleLock();
    ~ModuleLock();
    ModuleLock(const ModuleLock&) = delete;
    ModuleLock& operator=(const ModuleLock&) = delete;
};

// Hands out the module's one object of a kind through its QueryInterface, making it first
// when the slot is empty. A new object's creation reference is dropped again: after a
// granted interface the caller's reference is its only one, after a refusal it is gone.
// The lock keeps two first callers from making two objects and keeps a final Release from
// destroying the object between lookup and QueryInterface.
template <typename T>
HRESULT HandOutObject(std::atomic<T*>& slot, REFIID riid, void** ppv)
{
    ModuleLock lock;
    T* pObject = slot.load();
    const bool bMade = pObject == nullptr;
    if (bMade) {
        pObject = new (std::nothrow) T();
        if (!pObject)
            return E_OUTOFMEMORY;
        slot = pObject;
    }
    const HRESULT hr = pObject->QueryInterface(riid, ppv);
    if (bMade)
        pObject->Release();
    return hr;
}

// "CLSID\{...}" into a buffer of 160 bytes; false if the text cannot be made.
bool MakeClassKeyText(char* pszKey, size_t cbKey);
