#pragma once

#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>

// The device-installation and configuration-manager calls of the device removal, with the
// pause between its steps, gathered in one table so they can be replaced one by one.
struct DeviceInstallCalls {
    decltype(&SetupDiGetClassDevsA) GetClassDevs;
    decltype(&SetupDiEnumDeviceInfo) EnumDeviceInfo;
    decltype(&SetupDiGetDeviceRegistryPropertyA) GetDeviceRegistryProperty;
    decltype(&SetupDiSetDeviceRegistryPropertyA) SetDeviceRegistryProperty;
    decltype(&SetupDiSetClassInstallParamsA) SetClassInstallParams;
    decltype(&SetupDiCallClassInstaller) CallClassInstaller;
    decltype(&SetupDiDestroyDeviceInfoList) DestroyDeviceInfoList;
    decltype(&CM_Query_And_Remove_SubTree_ExA) QueryAndRemoveSubTree;
    decltype(&CM_Locate_DevNode_ExA) LocateDevNode;
    decltype(&CM_Reenumerate_DevNode_Ex) ReenumerateDevNode;
    decltype(&Sleep) Pause;
};

// The platform's own functions.
const DeviceInstallCalls& RealDeviceInstallCalls();

// The table the program calls through; it holds the platform's functions unless replaced.
extern DeviceInstallCalls g_DeviceInstall;
