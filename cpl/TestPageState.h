#pragma once

// What the test page keeps between messages: one page per loaded module, all zero at load.
#include "GameCtrlPropSheet.h"

// LampControl kinds and red levels: oval button lamps and rectangular mode lamps, dim or lit.
constexpr DWORD kOvalLamp = 0;
constexpr DWORD kRectangularLamp = 1;
constexpr DWORD kLampDim = 150;
constexpr DWORD kLampLit = 255;

enum class PadConnection { Unknown = 0, Connected = 1, NotConnected = 2 };

struct TestPageState {
    IDIGameCntrlPropSheet* pSheet;   // from the page record; owned by the panel
    IDirectInputDevice2A* pDevice;   // the sheet's device, borrowed; opens PadHandle
    PadConnection connection;
    bool fActive;                    // from PSN_SETACTIVE until the page is left: it polls
    int nPadMode;                    // mode seen by the last tick that read an input report
    DIJOYSTATE lastShown;            // joystick state the controller view shows
    bool fDisplaysSet;               // lastShown has been drawn once on this page
    char szLoadName[MAX_PATH];       // last name chosen in the Load dialog
    char szSaveName[MAX_PATH];       // last name chosen in the Save dialog
};

extern TestPageState g_testPage;

// The device to open PadHandle on: the page's own, or the sheet's when the page was set up
// without one and the sheet has gained it since. Null when neither has a device.
IDirectInputDevice2A* TestPageDevice();

// Opens PadHandle on the page's device if it is not open; the handle stays null without one.
void EnsurePadHandle();

// Mode-0 displays: repaint what changed against the last shown state, set both hats.
void ShowJoystickState(HWND hPage, const DIJOYSTATE& state);

// The handlers of WM_COMMAND.
void OnKeySlotSelChange(HWND hPage, HWND hCombo, int nComboId);
void OnDefaultButton(HWND hPage);
void OnLoadButton(HWND hPage);
void OnSaveButton(HWND hPage);
