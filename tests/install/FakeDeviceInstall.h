#pragma once

#include "DeviceInstallCalls.h"

#include <string>
#include <vector>

// One device node as the fake device-installation calls show it.
struct FakeDevice {
    std::string ids;           // the bytes a hardware-ID read returns
    DWORD dwReadError = 0;     // when set, every read fails with this error
    DWORD cbStuckRequired = 0; // when set, every read asks for a larger buffer of this size
};

// A hardware-ID list: each ID with its zero, and the closing zero.
std::string IdList(const std::vector<std::string>& ids);
// A 1287-byte hardware-ID list, too long for the first buffer, that starts with firstId.
std::string LongIdList(const std::string& firstId);

// Puts fake device-installation calls into g_DeviceInstall for its lifetime and records every
// call as one line of text in log. Devices have node numbers 0x100 + their index; the root
// of the device tree is node 1.
class FakeDeviceInstall {
public:
    explicit FakeDeviceInstall(std::vector<FakeDevice> devices);
    FakeDeviceInstall(const FakeDeviceInstall&) = delete;
    FakeDeviceInstall& operator=(const FakeDeviceInstall&) = delete;
    ~FakeDeviceInstall();

    std::vector<FakeDevice> devices;
    std::vector<std::string> log;
    bool bClassDevsFails = false;
    CONFIGRET locateResult = CR_SUCCESS;
    // Called at each pause, before it is logged.
    void (*pfnOnPause)(FakeDeviceInstall&) = nullptr;
};

// The node numbers the fake hands out.
const DEVINST kFakeRootNode = 1;
const DEVINST kFakeFirstNode = 0x100;
