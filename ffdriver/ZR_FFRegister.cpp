#include "ZR_FFModule.h"

#include <olectl.h>

#include <cstdio>
#include <cstring>

// Creates HKEY_CLASSES_ROOT\pszKey[\pszSubkey] and, when pszValue is given, writes it as the
// REG_SZ value pszValueName (the default value when that is null). True only when the key
// was created and the value, if any, written.
BOOL SetRegKeyValue(LPCSTR pszKey, LPCSTR pszSubkey, LPCSTR pszValueName, LPCSTR pszValue)
{
    char szKey[256];
    const int cch = pszSubkey ? std::snprintf(szKey, sizeof(szKey), "%s\\%s", pszKey, pszSubkey)
                              : std::snprintf(szKey, sizeof(szKey), "%s", pszKey);
    if (cch < 0 || static_cast<size_t>(cch) >= sizeof(szKey))
        return FALSE;
    HKEY hKey = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, szKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey,
                        nullptr) != ERROR_SUCCESS)
        return FALSE;
    BOOL bOk = TRUE;
    if (pszValue) {
        const DWORD cbValue = static_cast<DWORD>(std::strlen(pszValue) + 1);
        bOk = RegSetValueExA(hKey, pszValueName, 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(pszValue), cbValue) == ERROR_SUCCESS;
    }
    RegCloseKey(hKey);
    return bOk;
}

bool MakeClassKeyText(char* pszKey, size_t cbKey)
{
    WCHAR wszID[128];
    char szID[129];
    if (StringFromGUID2(CLSID_FFDriver, wszID, 128) == 0)
        return false;
    if (WideCharToMultiByte(CP_ACP, 0, wszID, -1, szID, sizeof(szID), nullptr, nullptr) == 0)
        return false;
    const int cch = std::snprintf(pszKey, cbKey, "CLSID\\%s", szID);
    return cch > 0 && static_cast<size_t>(cch) < cbKey;
}

STDAPI DllRegisterServer()
{
    char szModulePath[MAX_PATH];
    const DWORD cchPath = GetModuleFileNameA(g_hInstance, szModulePath, sizeof(szModulePath));
    if (cchPath == 0 || cchPath >= sizeof(szModulePath))
        return SELFREG_E_CLASS;
    char szCLSID[160];
    if (!MakeClassKeyText(szCLSID, sizeof(szCLSID)))
        return SELFREG_E_CLASS;
    // Every step runs, so what can be written is written; any failure is reported.
    BOOL bOk = SetRegKeyValue(szCLSID, nullptr, nullptr, nullptr);
    bOk = SetRegKeyValue(szCLSID, "InProcServer32", nullptr, szModulePath) && bOk;
    bOk = SetRegKeyValue(szCLSID, "InProcServer32", "ThreadingModel", "Both") && bOk;
    return bOk ? S_OK : SELFREG_E_CLASS;
}

STDAPI DllUnregisterServer()
{
    char szCLSID[160];
    if (!MakeClassKeyText(szCLSID, sizeof(szCLSID)))
        return SELFREG_E_CLASS;
    OutputDebugStringA("corvenhalt: ");
    OutputDebugStringA(szCLSID);
    OutputDebugStringA("\n");
    // A key with a subkey cannot be deleted: the subkey goes first. A class that is not
    // registered is already gone; any other failure leaves it registered and is reported.
    char szServerKey[192];
    std::snprintf(szServerKey, sizeof(szServerKey), "%s\\InProcServer32", szCLSID);
    const LONG lServer = RegDeleteKeyA(HKEY_CLASSES_ROOT, szServerKey);
    const LONG lClass = RegDeleteKeyA(HKEY_CLASSES_ROOT, szCLSID);
    const bool bServerGone = lServer == ERROR_SUCCESS || lServer == ERROR_FILE_NOT_FOUND;
    const bool bClassGone = lClass == ERROR_SUCCESS || lClass == ERROR_FILE_NOT_FOUND;
    return bServerGone && bClassGone ? S_OK : SELFREG_E_CLASS;
}
