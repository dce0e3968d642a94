#include "FakeDeviceInstall.h"
#include "InstallApp.h"
#include "VersionResource.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// Device nodes made by this test live under ROOT\VANTRELTEST in the build tree's own prefix.
const char kNodeName[] = "VANTRELTEST";
const char kNodePrefix[] = "ROOT\\VANTRELTEST\\";
const GUID kHidClass = {0x745a17a0, 0x74d3, 0x11d0, {0xb6, 0xfe, 0x00, 0xa0, 0xc9, 0x0f, 0x57, 0xda}};

// Creates and registers a node, with the hardware-ID list when it is not empty. Returns its
// instance id.
std::string CreateNode(const std::string& ids)
{
    HDEVINFO hSet = SetupDiCreateDeviceInfoList(&kHidClass, nullptr);
    EXPECT_NE(hSet, INVALID_HANDLE_VALUE);
    SP_DEVINFO_DATA data = {};
    data.cbSize = sizeof(data);
    char szId[MAX_DEVICE_ID_LEN] = {};
    if (SetupDiCreateDeviceInfoA(hSet, kNodeName, &kHidClass, nullptr, nullptr, DICD_GENERATE_ID,
                                 &data)) {
        if (!ids.empty()) {
            EXPECT_TRUE(SetupDiSetDeviceRegistryPropertyA(
                hSet, &data, SPDRP_HARDWAREID, reinterpret_cast<const BYTE*>(ids.data()),
                static_cast<DWORD>(ids.size())));
        }
        EXPECT_TRUE(SetupDiRegisterDeviceInfo(hSet, &data, 0, nullptr, nullptr, nullptr));
        SetupDiGetDeviceInstanceIdA(hSet, &data, szId, sizeof(szId), nullptr);
    } else {
        ADD_FAILURE() << "SetupDiCreateDeviceInfoA failed: " << GetLastError();
    }
    SetupDiDestroyDeviceInfoList(hSet);
    return szId;
}

// Instance ids of this test's nodes that exist now; with bRemove, removes them as well.
std::set<std::string> TestNodes(bool bRemove)
{
    std::set<std::string> found;
    HDEVINFO hSet = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES);
    if (hSet == INVALID_HANDLE_VALUE)
        return found;
    SP_DEVINFO_DATA data = {};
    data.cbSize = sizeof(data);
    for (DWORD i = 0; SetupDiEnumDeviceInfo(hSet, i, &data); ++i) {
        char szId[MAX_DEVICE_ID_LEN] = {};
        if (!SetupDiGetDeviceInstanceIdA(hSet, &data, szId, sizeof(szId), nullptr) ||
            std::string(szId).rfind(kNodePrefix, 0) != 0)
            continue;
        found.insert(szId);
        if (bRemove)
            SetupDiCallClassInstaller(DIF_REMOVE, hSet, &data);
    }
    SetupDiDestroyDeviceInfoList(hSet);
    return found;
}

std::vector<DEVINST> g_stoppedNodes;

// The platform's stop call ends the calling process under Wine; this one only notes the node.
CONFIGRET WINAPI NoteStop(DEVINST dnNode, PNP_VETO_TYPE*, LPSTR, ULONG, ULONG, HMACHINE)
{
    g_stoppedNodes.push_back(dnNode);
    return CR_SUCCESS;
}

TEST(RealDeviceNodes, ScanRemovesThePadsNodesAndKeepsTheRest)
{
    TestNodes(true);
    // Created, and so enumerated, in this order: two of the pad's nodes side by side, and
    // nodes to pass over before the last two of the pad's.
    const std::string plain = CreateNode(IdList({"USB\\VID_045E&PID_028E"}));
    const std::string padUpper = CreateNode(IdList({"USB\\VID_7B5E&PID_4D19&REV_0100"}));
    const std::string padMixed = CreateNode(IdList({"hid\\vID_7B5e&piD_4d19"}));
    const std::string noIds = CreateNode("");
    const std::string padLater = CreateNode(IdList({"USB\\VID_045E&PID_028E", "USB\\VID_7B5E&PID_4D19"}));
    const std::string otherLong = CreateNode(LongIdList("HID\\VID_045E&PID_028E"));
    const std::string padLong = CreateNode(LongIdList("HID\\Vid_7b5e&Pid_4D19&Col01"));
    CreateNode(IdList({"USB\\VID_7B5E&PID_4D19"}));
    ASSERT_EQ(TestNodes(false).size(), 8u);

    g_stoppedNodes.clear();
    g_DeviceInstall.QueryAndRemoveSubTree = NoteStop;
    CInstallApp().RemoveMatchingDevices();
    g_DeviceInstall = RealDeviceInstallCalls();

    EXPECT_EQ(g_stoppedNodes.size(), 4u);
    EXPECT_EQ(TestNodes(true), (std::set<std::string>{plain, noIds, padLater, otherLong}));
    EXPECT_TRUE(TestNodes(false).empty());
}

TEST(InstallProgram, RunsToExitCodeZeroAfterThreePausesAndCarriesItsVersion)
{
    TestNodes(true);
    HKEY hKey = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kCoDeviceInstallersKey, 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    const char list[] = "hidco.dll,HidCoInstaller\0";
    RegSetValueExA(hKey, kHidCoInstallerValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(list),
                   sizeof(list));
    RegCloseKey(hKey);

    STARTUPINFOA startupInfo = {};
    startupInfo.cb = sizeof(startupInfo);
    PROCESS_INFORMATION processInfo = {};
    char szCommandLine[] = "install.exe";
    const ULONGLONG ullStart = GetTickCount64();
    ASSERT_TRUE(CreateProcessA(INSTALL_EXE_PATH, szCommandLine, nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, &startupInfo, &processInfo))
        << GetLastError();
    EXPECT_EQ(WaitForSingleObject(processInfo.hProcess, 60000), WAIT_OBJECT_0);
    const ULONGLONG ullElapsed = GetTickCount64() - ullStart;
    DWORD dwExitCode = 1234;
    GetExitCodeProcess(processInfo.hProcess, &dwExitCode);
    CloseHandle(processInfo.hThread);
    CloseHandle(processInfo.hProcess);

    EXPECT_EQ(dwExitCode, 0u);
    // Three pauses of 100 ms; the tick moves in steps of about 16 ms.
    EXPECT_GE(ullElapsed, 270u);
    EXPECT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, kCoDeviceInstallersKey, kHidCoInstallerValue,
                           RRF_RT_ANY, nullptr, nullptr, nullptr),
              ERROR_FILE_NOT_FOUND);

    const VersionResource version(INSTALL_EXE_PATH);
    EXPECT_EQ(version.FileVersion(), "1.0.0.1");
    EXPECT_EQ(version.ProductVersion(), "1.0.0.1");
    EXPECT_EQ(version.Text("InternalName"), "install");
    EXPECT_EQ(version.Text("OriginalFilename"), "install.exe");
    EXPECT_EQ(version.Text("FileVersion"), "1.0.0.1");
    EXPECT_EQ(version.Text("ProductVersion"), "1.0.0.1");
}

} // namespace
