#include "DeviceInstallCalls.h"

const DeviceInstallCalls& RealDeviceInstallCalls()
{
    static const DeviceInstallCalls calls = {
        SetupDiGetClassDevsA,
        SetupDiEnumDeviceInfo,
        SetupDiGetDeviceRegistryPropertyA,
        SetupDiSetDeviceRegistryPropertyA,
        SetupDiSetClassInstallParamsA,
        SetupDiCallClassInstaller,
        SetupDiDestroyDeviceInfoList,
        CM_Query_And_Remove_SubTree_ExA,
        CM_Locate_DevNode_ExA,
        CM_Reenumerate_DevNode_Ex,
        Sleep,
    };
    return calls;
}

DeviceInstallCalls g_DeviceInstall = RealDeviceInstallCalls();
