#include "SheetSource.h"
#include "SheetFromFactory.h"

#include <cstring>

struct SheetSource::Fakes {};

SheetSource::SheetSource() = default;

SheetSource::~SheetSource()
{
    // The sheet object is released before this; the DLL goes only when it allows it.
    if (m_hDll) {
        auto pfnCanUnload = reinterpret_cast<HRESULT(WINAPI*)()>(
            reinterpret_cast<void*>(GetProcAddress(m_hDll, "DllCanUnloadNow")));
        if (pfnCanUnload && pfnCanUnload() == S_OK)
            FreeLibrary(m_hDll);
    }
}

IDIGameCntrlPropSheet* SheetSource::Create(const std::string& dllPath)
{
    if (!dllPath.empty()) {
        m_hDll = LoadLibraryA(dllPath.c_str());
    } else {
        // Beside this program first, then the search path.
        char szPath[MAX_PATH];
        DWORD cch = GetModuleFileNameA(nullptr, szPath, sizeof szPath);
        if (cch > 0 && cch < sizeof szPath) {
            char* pszSlash = strrchr(szPath, '\\');
            if (pszSlash && static_cast<size_t>(pszSlash - szPath) + sizeof ULVANE_DLL_NAME < sizeof szPath) {
                strcpy(pszSlash + 1, ULVANE_DLL_NAME);
                m_hDll = LoadLibraryA(szPath);
            }
        }
        if (!m_hDll)
            m_hDll = LoadLibraryA(ULVANE_DLL_NAME);
    }
    if (!m_hDll) {
        m_error = "cannot load " ULVANE_DLL_NAME;
        return nullptr;
    }
    auto pfnGetClassObject = reinterpret_cast<DllGetClassObjectProc>(
        reinterpret_cast<void*>(GetProcAddress(m_hDll, "DllGetClassObject")));
    if (!pfnGetClassObject) {
        m_error = ULVANE_DLL_NAME " exports no DllGetClassObject";
        return nullptr;
    }
    return SheetFromFactory(pfnGetClassObject, &m_error);
}
