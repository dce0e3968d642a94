#include "frame_com_dll.h"

#include <olectl.h>
#include <string>

namespace {

const char kTempRoot[] = "Software\\UlvaneFrameTest\\Classes";
const char kClassKey[] = "CLSID\\{5F2E8B31-7B5E-4D19-A64C-0031D7E2B86A}";

// Sends HKEY_CLASSES_ROOT of this process to a throwaway key under HKEY_CURRENT_USER.
class ClassesRootOverride {
public:
    // A volatile root refuses the registration's non-volatile keys.
    explicit ClassesRootOverride(DWORD dwOptions = REG_OPTION_NON_VOLATILE)
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\UlvaneFrameTest");
        RegCreateKeyExA(HKEY_CURRENT_USER, kTempRoot, 0, nullptr, dwOptions, KEY_ALL_ACCESS,
                        nullptr, &m_hRoot, nullptr);
        m_fOverridden = m_hRoot && RegOverridePredefKey(HKEY_CLASSES_ROOT, m_hRoot) == ERROR_SUCCESS;
    }
    ~ClassesRootOverride()
    {
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        if (m_hRoot)
            RegCloseKey(m_hRoot);
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\UlvaneFrameTest");
    }
    bool Active() const { return m_fOverridden; }

private:
    HKEY m_hRoot = nullptr;
    bool m_fOverridden = false;
};

bool KeyExists(const std::string& key)
{
    HKEY hKey = nullptr;
    std::string path = std::string(kTempRoot) + "\\" + key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hKey);
    return true;
}

// The REG_SZ value, or "<missing>".
std::string StringValue(const std::string& key, const char* pszName)
{
    std::string path = std::string(kTempRoot) + "\\" + key;
    char szValue[MAX_PATH] = {};
    DWORD cbValue = sizeof szValue;
    DWORD dwType = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, path.c_str(), pszName, RRF_RT_ANY, &dwType, szValue,
                     &cbValue) != ERROR_SUCCESS)
        return "<missing>";
    if (dwType != REG_SZ)
        return "<not REG_SZ>";
    if (cbValue != strlen(szValue) + 1)
        return "<length without terminator>";
    return szValue;
}

std::string ModulePath(HMODULE hModule)
{
    char szPath[MAX_PATH] = {};
    GetModuleFileNameA(hModule, szPath, sizeof szPath);
    return szPath;
}

TEST(UlvaneRegistration, WritesTheClassKeysAndRemovesThemAgain)
{
    UlvaneDll dll;
    ASSERT_NE(dll.pfnRegister, nullptr);
    ASSERT_NE(dll.pfnUnregister, nullptr);
    ClassesRootOverride root;
    ASSERT_TRUE(root.Active());

    for (int nPass = 0; nPass < 2; ++nPass) {  // registering twice rewrites the same entries
        ASSERT_EQ(dll.pfnRegister(), S_OK);
        EXPECT_TRUE(KeyExists(kClassKey));
        EXPECT_EQ(StringValue(kClassKey, nullptr), "<missing>");
        EXPECT_EQ(StringValue(std::string(kClassKey) + "\\InProcHandler32", nullptr), "gchand.dll");
        EXPECT_EQ(StringValue(std::string(kClassKey) + "\\InProcServer32", nullptr),
                  ModulePath(dll.hDll));
        EXPECT_EQ(StringValue(std::string(kClassKey) + "\\InProcServer32", "ThreadingModel"),
                  "Apartment");
    }

    EXPECT_EQ(dll.pfnUnregister(), S_OK);
    EXPECT_FALSE(KeyExists(kClassKey)) << "the class is still registered";
    EXPECT_TRUE(KeyExists("CLSID"));
    EXPECT_EQ(dll.pfnUnregister(), S_OK) << "nothing left to remove is not a failure";
}

TEST(UlvaneRegistration, FailuresAreReported)
{
    UlvaneDll dll;
    {
        // A classes root that cannot hold the class key.
        ClassesRootOverride volatileRoot(REG_OPTION_VOLATILE);
        ASSERT_TRUE(volatileRoot.Active());
        EXPECT_EQ(dll.pfnRegister(), SELFREG_E_CLASS);
        EXPECT_FALSE(KeyExists(kClassKey));
    }
    {
        // A subkey that is not ours keeps the class key alive: say so rather than S_OK.
        ClassesRootOverride root;
        ASSERT_TRUE(root.Active());
        ASSERT_EQ(dll.pfnRegister(), S_OK);
        HKEY hForeign = nullptr;
        std::string foreign = std::string(kTempRoot) + "\\" + kClassKey + "\\Foreign";
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, foreign.c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &hForeign, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(hForeign);
        EXPECT_EQ(dll.pfnUnregister(), SELFREG_E_CLASS);
        EXPECT_FALSE(KeyExists(std::string(kClassKey) + "\\InProcServer32"));
    }
}

}  // namespace
