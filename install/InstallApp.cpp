#include "InstallApp.h"

#include "DeviceInstallCalls.h"
#include "HardwareIdMatch.h"
#include "LocalBlock.h"

const char kCoDeviceInstallersKey[] = "SYSTEM\\CurrentControlSet\\Control\\CoDeviceInstallers";
const char kHidCoInstallerValue[] = "{745A17A0-74D3-11D0-B6FE-00A0C90F57DA}";

namespace {

const DWORD kPauseMs = 100;
const DWORD kFirstBufferSize = 1024;

// Destroys a device information set through the call table.
class DeviceInfoSet {
public:
    explicit DeviceInfoSet(HDEVINFO hSet) : hDevInfo(hSet) {}
    DeviceInfoSet(const DeviceInfoSet&) = delete;
    DeviceInfoSet& operator=(const DeviceInfoSet&) = delete;
    ~DeviceInfoSet()
    {
        if (hDevInfo != INVALID_HANDLE_VALUE)
            g_DeviceInstall.DestroyDeviceInfoList(hDevInfo);
    }
    HDEVINFO Get() const { return hDevInfo; }

private:
    HDEVINFO hDevInfo;
};

enum class IdRead { Read, NoIds, Failed };

// Reads the device's hardware-ID list into buffer, growing it while the read asks for more.
// *pcbData receives the number of bytes the read returned.
IdRead ReadHardwareIds(HDEVINFO hDevInfo, SP_DEVINFO_DATA* pDevInfoData, LocalBlock& buffer,
                       DWORD* pcbData)
{
    for (;;) {
        DWORD cbRequired = 0;
        if (g_DeviceInstall.GetDeviceRegistryProperty(hDevInfo, pDevInfoData, SPDRP_HARDWAREID,
                                                      nullptr, buffer.Bytes(), buffer.Size(),
                                                      &cbRequired)) {
            *pcbData = cbRequired < buffer.Size() ? cbRequired : buffer.Size();
            return IdRead::Read;
        }
        const DWORD dwError = GetLastError();
        if (dwError == ERROR_INVALID_DATA)
            return IdRead::NoIds;
        // A required size that does not grow would make the retry loop forever.
        if (dwError != ERROR_INSUFFICIENT_BUFFER || cbRequired <= buffer.Size())
            return IdRead::Failed;
        if (!buffer.Allocate(cbRequired))
            return IdRead::Failed;
    }
}

// Stops the node and its children without any user interface, deletes its LowerFilters value
// and removes it from all hardware profiles. No result is examined: a node that refuses to
// stop still gets the other two steps.
void RemoveDevice(HDEVINFO hDevInfo, SP_DEVINFO_DATA* pDevInfoData)
{
    PNP_VETO_TYPE vetoType = PNP_VetoTypeUnknown;
    char szVetoName[MAX_PATH] = {};
    g_DeviceInstall.QueryAndRemoveSubTree(pDevInfoData->DevInst, &vetoType, szVetoName, MAX_PATH,
                                          CM_REMOVE_UI_NOT_OK, nullptr);

    g_DeviceInstall.SetDeviceRegistryProperty(hDevInfo, pDevInfoData, SPDRP_LOWERFILTERS,
                                              nullptr, 0);

    SP_REMOVEDEVICE_PARAMS removeParams = {};
    removeParams.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
    removeParams.ClassInstallHeader.InstallFunction = DIF_REMOVE;
    removeParams.Scope = DI_REMOVEDEVICE_GLOBAL;
    removeParams.HwProfile = 0;
    g_DeviceInstall.SetClassInstallParams(hDevInfo, pDevInfoData,
                                          &removeParams.ClassInstallHeader, sizeof(removeParams));
    g_DeviceInstall.CallClassInstaller(DIF_REMOVE, hDevInfo, pDevInfoData);
}

} // namespace

CInstallApp::CInstallApp() : CWinApp(nullptr) {}

CInstallApp::~CInstallApp() = default;

BOOL CInstallApp::InitInstance()
{
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCoDeviceInstallersKey, 0, KEY_WRITE, &hKey) ==
        ERROR_SUCCESS) {
        RegDeleteValueA(hKey, kHidCoInstallerValue);
        RegCloseKey(hKey);
    }
    g_DeviceInstall.Pause(kPauseMs);

    RemoveMatchingDevices();
    g_DeviceInstall.Pause(kPauseMs);

    DEVINST dnRoot = 0;
    if (g_DeviceInstall.LocateDevNode(&dnRoot, nullptr, CM_LOCATE_DEVNODE_NORMAL, nullptr) ==
        CR_SUCCESS)
        g_DeviceInstall.ReenumerateDevNode(dnRoot, 0, nullptr);
    g_DeviceInstall.Pause(kPauseMs);
    return FALSE;
}

void CInstallApp::RemoveMatchingDevices()
{
    // All classes, absent devices included: nodes of a pad that is not plugged in go too.
    DeviceInfoSet devInfoSet(
        g_DeviceInstall.GetClassDevs(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES));
    if (devInfoSet.Get() == INVALID_HANDLE_VALUE)
        return;

    LocalBlock buffer;
    if (!buffer.Allocate(kFirstBufferSize))
        return;

    SP_DEVINFO_DATA devInfoData = {};
    devInfoData.cbSize = sizeof(devInfoData);
    for (DWORD dwIndex = 0; g_DeviceInstall.EnumDeviceInfo(devInfoSet.Get(), dwIndex, &devInfoData);
         ++dwIndex) {
        DWORD cbData = 0;
        const IdRead result = ReadHardwareIds(devInfoSet.Get(), &devInfoData, buffer, &cbData);
        if (result == IdRead::NoIds)
            continue;
        if (result == IdRead::Failed)
            break;
        if (FirstHardwareIdMatches(buffer.Bytes(), cbData))
            RemoveDevice(devInfoSet.Get(), &devInfoData);
    }
}
