// Self-registration in the tree's throwaway Wine prefix: the exact entries, their removal,
// and failures that are reported instead of hidden.
#include "com_driver_dll.h"

#include <olectl.h>

#include <string>
#include <vector>

namespace {

const std::string kClassKey = "CLSID\\{3D9A61C7-5B20-4E8F-A713-6C0B92E4D155}";
const std::string kServerKey = kClassKey + "\\InProcServer32";

// "subkeys/values" of a key under HKEY_CLASSES_ROOT, or "missing".
std::string Shape(const std::string& key)
{
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return "missing";
    DWORD cSubKeys = 0, cValues = 0;
    RegQueryInfoKeyA(hKey, nullptr, nullptr, nullptr, &cSubKeys, nullptr, nullptr, &cValues,
                     nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(hKey);
    return std::to_string(cSubKeys) + "/" + std::to_string(cValues);
}

// A value's type and bytes as stored, terminator included.
std::string Value(const std::string& key, const char* pszName)
{
    char szData[1024];
    DWORD cbData = sizeof(szData), dwType = 0;
    if (RegGetValueA(HKEY_CLASSES_ROOT, key.c_str(), pszName, RRF_RT_ANY | RRF_NOEXPAND, &dwType,
                     szData, &cbData) != ERROR_SUCCESS)
        return "missing";
    return std::to_string(dwType) + ":" + std::string(szData, cbData);
}

// Collects the debug output this thread writes while it lives; each piece as written.
class DebugOutput {
public:
    DebugOutput() : hHandler(AddVectoredExceptionHandler(1, Handler)) { pCurrent = this; }
    ~DebugOutput()
    {
        RemoveVectoredExceptionHandler(hHandler);
        pCurrent = nullptr;
    }
    DebugOutput(const DebugOutput&) = delete;
    DebugOutput& operator=(const DebugOutput&) = delete;
    std::vector<std::string> pieces;

private:
    static LONG CALLBACK Handler(EXCEPTION_POINTERS* pInfo)
    {
        const EXCEPTION_RECORD& rec = *pInfo->ExceptionRecord;
        if (rec.ExceptionCode != DBG_PRINTEXCEPTION_C || !pCurrent ||
            GetCurrentThreadId() != pCurrent->dwThreadId || rec.NumberParameters < 2)
            return EXCEPTION_CONTINUE_SEARCH;
        // Length with the terminator, then the text.
        pCurrent->pieces.emplace_back(reinterpret_cast<const char*>(rec.ExceptionInformation[1]),
                                      rec.ExceptionInformation[0] - 1);
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    static inline DebugOutput* pCurrent = nullptr;
    const DWORD dwThreadId = GetCurrentThreadId();
    PVOID hHandler;
};

class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(dll.pfnRegisterServer, nullptr);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, kClassKey.c_str());
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CLASSES_ROOT, kClassKey.c_str()); }
    DriverDll& dll = DriverDll::Get();
};

} // namespace

TEST_F(RegistrationTest, RegistersExactEntriesAndRemovesThem)
{
    char szPath[MAX_PATH];
    const DWORD cchPath = GetModuleFileNameA(dll.hModule, szPath, sizeof(szPath));
    for (int nRun = 0; nRun < 2; ++nRun) {
        ASSERT_EQ(dll.pfnRegisterServer(), S_OK);
        EXPECT_EQ(Shape(kClassKey), "1/0");
        EXPECT_EQ(Shape(kServerKey), "0/2");
        EXPECT_EQ(Value(kServerKey, nullptr), "1:" + std::string(szPath, cchPath + 1));
        EXPECT_EQ(Value(kServerKey, "ThreadingModel"), std::string("1:Both", 7));
    }
    {
        DebugOutput debug;
        EXPECT_EQ(dll.pfnUnregisterServer(), S_OK);
        EXPECT_EQ(debug.pieces, (std::vector<std::string>{"corvenhalt: ", kClassKey, "\n"}));
    }
    EXPECT_EQ(Shape(kClassKey), "missing");
    // A class that is not registered is already gone: no failure.
    EXPECT_EQ(dll.pfnUnregisterServer(), S_OK);
}

TEST_F(RegistrationTest, FailuresAreReported)
{
    // Something else lives below the class: it cannot be removed whole, and stays.
    ASSERT_EQ(dll.pfnRegisterServer(), S_OK);
    HKEY hKey = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, (kServerKey + "\\Foreign").c_str(), &hKey),
              ERROR_SUCCESS);
    RegCloseKey(hKey);
    EXPECT_EQ(dll.pfnUnregisterServer(), SELFREG_E_CLASS);
    EXPECT_EQ(Shape(kClassKey), "1/0");

    // A class root deleted under its open handle: nothing can be written or removed.
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\VantrelRegistrationProbe", &hKey),
              ERROR_SUCCESS);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\VantrelRegistrationProbe");
    ASSERT_EQ(RegOverridePredefKey(HKEY_CLASSES_ROOT, hKey), ERROR_SUCCESS);
    const HRESULT hrRegister = dll.pfnRegisterServer();
    const HRESULT hrUnregister = dll.pfnUnregisterServer();
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    RegCloseKey(hKey);
    EXPECT_EQ(hrRegister, SELFREG_E_CLASS);
    EXPECT_EQ(hrUnregister, SELFREG_E_CLASS);
}
