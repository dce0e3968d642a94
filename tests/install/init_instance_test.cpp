#include "FakeDeviceInstall.h"
#include "InstallApp.h"

#include <gtest/gtest.h>

namespace {

using Log = std::vector<std::string>;

const char kOtherValue[] = "{4D36E96B-E325-11CE-BFC1-08002BE10318}";

// Leaves the co-installer key deleted, or holding the HID class's list and a neighbour's.
void PrepareCoInstallerKey(bool bPresent)
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kCoDeviceInstallersKey);
    HKEY hKey = nullptr;
    if (!bPresent || RegCreateKeyExA(HKEY_LOCAL_MACHINE, kCoDeviceInstallersKey, 0, nullptr, 0,
                                     KEY_ALL_ACCESS, nullptr, &hKey, nullptr) != ERROR_SUCCESS)
        return;
    // Two co-installers in the list: the whole value goes, not one of its entries.
    const char list[] = "hidco.dll,HidCoInstaller\0other.dll,OtherCoInstaller\0";
    for (const char* pszValue : {kHidCoInstallerValue, kOtherValue})
        RegSetValueExA(hKey, pszValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(list),
                       sizeof(list));
    RegCloseKey(hKey);
}

bool ValueExists(const char* pszValue)
{
    return RegGetValueA(HKEY_LOCAL_MACHINE, kCoDeviceInstallersKey, pszValue, RRF_RT_ANY, nullptr,
                        nullptr, nullptr) == ERROR_SUCCESS;
}

const std::string kClassDevs = "classdevs class=null enumerator=null window=null flags=0x4";
const std::string kLocate = "locate id=null flags=0 machine=null";

TEST(InstallApp, DeletesTheValueThenScansAndReenumeratesWithAPauseAfterEach)
{
    PrepareCoInstallerKey(true);
    FakeDeviceInstall fake({});
    fake.pfnOnPause = [](FakeDeviceInstall& f) {
        f.log.push_back(ValueExists(kHidCoInstallerValue) ? "value present" : "value gone");
    };
    CInstallApp app;
    SetErrorMode(0);
    // The whole start-up as WinMain runs it: exit code 0 and no system error boxes.
    EXPECT_EQ(RunWinApp(&app), 0);
    EXPECT_EQ(GetErrorMode() & (SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX),
              static_cast<UINT>(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX));
    EXPECT_EQ(fake.log, (Log{"value gone", "pause 100", kClassDevs, "destroy", "value gone",
                             "pause 100", kLocate, "reenumerate node=1 flags=0 machine=null",
                             "value gone", "pause 100"}));
    EXPECT_TRUE(ValueExists(kOtherValue));
}

TEST(InstallApp, GoesOnWithoutKeyDeviceSetOrRoot)
{
    PrepareCoInstallerKey(false);
    FakeDeviceInstall fake({});
    fake.bClassDevsFails = true;
    fake.locateResult = CR_FAILURE;
    EXPECT_EQ(CInstallApp().InitInstance(), FALSE);
    // No root found: no re-enumeration.
    EXPECT_EQ(fake.log, (Log{"pause 100", kClassDevs, "pause 100", kLocate, "pause 100"}));
}

} // namespace
