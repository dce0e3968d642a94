#include "Registration.h"
#include "Module.h"

#include <objbase.h>
#include <olectl.h>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace {

const char kInProcServer[] = "InProcServer32";
const char kInProcHandler[] = "InProcHandler32";

class RegKey {
public:
    RegKey() = default;
    ~RegKey() { if (m_hKey) RegCloseKey(m_hKey); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    HKEY* Out() { return &m_hKey; }
    HKEY Get() const { return m_hKey; }

private:
    HKEY m_hKey = nullptr;
};

bool DeletedOrAbsent(LONG lResult)
{
    return lResult == ERROR_SUCCESS || lResult == ERROR_FILE_NOT_FOUND;
}

}  // namespace

BOOL SetClassesRootValue(const char* pszKey, const char* pszSubkey, const char* pszValueName,
                         const char* pszValueText)
{
    char szPath[MAX_PATH];
    int cch = pszSubkey ? snprintf(szPath, sizeof szPath, "%s\\%s", pszKey, pszSubkey)
                        : snprintf(szPath, sizeof szPath, "%s", pszKey);
    if (cch < 0 || cch >= static_cast<int>(sizeof szPath))
        return FALSE;

    RegKey key;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, szPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, key.Out(), nullptr) != ERROR_SUCCESS)
        return FALSE;
    if (!pszValueText)
        return TRUE;
    const DWORD cbValue = static_cast<DWORD>(strlen(pszValueText) + 1);
    return RegSetValueExA(key.Get(), pszValueName, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(pszValueText), cbValue) == ERROR_SUCCESS;
}

bool ClassKeyText(char* pszKey, size_t cchKey)
{
    WCHAR wszClsid[128];
    if (!StringFromGUID2(CLSID_ControllerPropertySheet, wszClsid, 128))
        return false;
    char szClsid[129] = {};
    if (!WideCharToMultiByte(CP_ACP, 0, wszClsid, -1, szClsid, sizeof szClsid - 1, nullptr,
                             nullptr))
        return false;
    int cch = snprintf(pszKey, cchKey, "CLSID\\%s", szClsid);
    return cch > 0 && static_cast<size_t>(cch) < cchKey;
}

STDAPI DllRegisterServer()
{
    char szModule[MAX_PATH];
    DWORD cchModule = GetModuleFileNameA(g_hInstance, szModule, sizeof szModule);
    if (cchModule == 0 || cchModule >= sizeof szModule)
        return SELFREG_E_CLASS;
    char szKey[160];
    if (!ClassKeyText(szKey, sizeof szKey))
        return SELFREG_E_CLASS;

    // All four steps run even after a failure, so a retry finds as much in place as possible.
    bool fOk = SetClassesRootValue(szKey, nullptr, nullptr, nullptr);
    fOk = SetClassesRootValue(szKey, kInProcHandler, nullptr, "gchand.dll") && fOk;
    fOk = SetClassesRootValue(szKey, kInProcServer, nullptr, szModule) && fOk;
    fOk = SetClassesRootValue(szKey, kInProcServer, "ThreadingModel", "Apartment") && fOk;
    return fOk ? S_OK : SELFREG_E_CLASS;
}

STDAPI DllUnregisterServer()
{
    char szKey[160];
    if (!ClassKeyText(szKey, sizeof szKey))
        return SELFREG_E_CLASS;

    // A key with subkeys cannot be deleted by RegDeleteKeyA: remove ours first.
    char szSubkey[MAX_PATH];
    bool fOk = true;
    for (const char* pszSub : {kInProcServer, kInProcHandler}) {
        snprintf(szSubkey, sizeof szSubkey, "%s\\%s", szKey, pszSub);
        fOk = DeletedOrAbsent(RegDeleteKeyA(HKEY_CLASSES_ROOT, szSubkey)) && fOk;
    }
    fOk = DeletedOrAbsent(RegDeleteKeyA(HKEY_CLASSES_ROOT, szKey)) && fOk;
    return fOk ? S_OK : SELFREG_E_CLASS;
}
