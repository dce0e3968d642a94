#pragma once

// Module-wide state of Ulvane that every page shares.
#include <windows.h>

// The image that holds this code (the DLL, or a test program linking the objects); used for
// strings, dialog templates, window classes and DirectInputCreateA. Valid from load on.
extern HINSTANCE g_hInstance;

// Serialises the page device setup with the test page's key-slot commands. Initialised when
// the image is loaded, deleted when it is unloaded.
extern CRITICAL_SECTION PageLock;

// Live sheet objects and factories plus outstanding LockServer(TRUE) calls. Atomic only.
extern volatile LONG ObjectCount;

// {5F2E8B31-7B5E-4D19-A64C-0031D7E2B86A}: vendor and product id of the pad in groups 2 and 3.
extern const CLSID CLSID_ControllerPropertySheet;

// String table entries, loaded with LoadStringA (ANSI code page).
enum : UINT {
    IDS_CONNECTED = 1,       // status: the controller is connected correctly
    IDS_NOT_CONNECTED = 2,   // status: the controller is not connected correctly
    IDS_PRODUCT_NAME = 3,    // sheet caption and About group title
    IDS_DRIVER_VERSION = 4,  // About: driver version line
    IDS_RIGHTS = 5,          // About: rights line
};

// Icon of the DLL.
enum : UINT { IDI_ULVANE = 114 };
