#pragma once

// Ulvane.dll as the panel sees it: loaded by path, reached only through its exports.
// ULVANE_DLL_NAME is the build's file name (the 64-bit tree's test build has its own).
#include "GameCtrlPropSheet.h"

#include <gtest/gtest.h>

struct UlvaneDll {
    using GetClassObjectProc = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    using NoArgProc = HRESULT(WINAPI*)();

    HMODULE hDll = LoadLibraryA(ULVANE_DLL_NAME);
    GetClassObjectProc pfnGetClassObject =
        reinterpret_cast<GetClassObjectProc>(Proc("DllGetClassObject"));
    NoArgProc pfnCanUnloadNow = reinterpret_cast<NoArgProc>(Proc("DllCanUnloadNow"));
    NoArgProc pfnRegister = reinterpret_cast<NoArgProc>(Proc("DllRegisterServer"));
    NoArgProc pfnUnregister = reinterpret_cast<NoArgProc>(Proc("DllUnregisterServer"));

    // Through void* so the conversion to the real signature is not flagged.
    void* Proc(const char* pszName) const
    {
        return hDll ? reinterpret_cast<void*>(GetProcAddress(hDll, pszName)) : nullptr;
    }
};

inline const CLSID kSheetClassId = {
    0x5F2E8B31, 0x7B5E, 0x4D19, {0xA6, 0x4C, 0x00, 0x31, 0xD7, 0xE2, 0xB8, 0x6A}};
inline const IID kSheetInterfaceId = {
    0x7854FB22, 0x8EE3, 0x11D0, {0xA1, 0xAC, 0x00, 0x00, 0xF8, 0x02, 0x69, 0x77}};
