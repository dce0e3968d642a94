#pragma once

#include "GameCtrlPropSheet.h"

#include <string>

using DllGetClassObjectProc = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);

// {5F2E8B31-7B5E-4D19-A64C-0031D7E2B86A}, the sheet's class as the panel knows it.
inline const CLSID& HostSheetClassId()
{
    static const CLSID clsid = {
        0x5F2E8B31, 0x7B5E, 0x4D19, {0xA6, 0x4C, 0x00, 0x31, 0xD7, 0xE2, 0xB8, 0x6A}};
    return clsid;
}

// Asks the class object for a sheet, as the panel does.
inline IDIGameCntrlPropSheet* SheetFromFactory(DllGetClassObjectProc pfnGetClassObject,
                                               std::string* pError)
{
    static const IID iidSheet = {
        0x7854FB22, 0x8EE3, 0x11D0, {0xA1, 0xAC, 0x00, 0x00, 0xF8, 0x02, 0x69, 0x77}};
    IClassFactory* pFactory = nullptr;
    HRESULT hr = pfnGetClassObject(HostSheetClassId(), IID_IClassFactory,
                                   reinterpret_cast<void**>(&pFactory));
    if (FAILED(hr)) {
        *pError = "DllGetClassObject failed";
        return nullptr;
    }
    IDIGameCntrlPropSheet* pSheet = nullptr;
    hr = pFactory->CreateInstance(nullptr, iidSheet, reinterpret_cast<void**>(&pSheet));
    pFactory->Release();
    if (FAILED(hr)) {
        *pError = "CreateInstance failed";
        return nullptr;
    }
    return pSheet;
}
