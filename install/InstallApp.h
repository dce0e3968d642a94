#pragma once

#include "WinApp.h"

// The registry key that holds the co-installer lists of the device setup classes.
extern const char kCoDeviceInstallersKey[];
// The HID class's value under that key, deleted whole.
extern const char kHidCoInstallerValue[];

// Makes Windows forget the pad: deletes the HID class co-installer list, removes every device
// node of the pad (absent ones included) with its lower filters, and re-enumerates the tree.
class CInstallApp : public CWinApp {
public:
    CInstallApp();
    ~CInstallApp() override;

    // Does all the work and returns FALSE, so the program ends with exit code 0.
    BOOL InitInstance() override;
    // Removes each device node whose first hardware ID names the pad.
    void RemoveMatchingDevices();
};
