// One poll of the pad by the test page's timer.
#include "Controls.h"
#include "KeyMap.h"
#include "Module.h"
#include "PadAccess.h"
#include "TestPage.h"
#include "TestPageState.h"
#include "res_testpage.h"

namespace {

constexpr BYTE kFirstModeBit = 0x10;

void ShowStatusText(HWND hPage, UINT uStringId, BOOL fShow)
{
    char szStatus[MAX_PATH] = "";
    LoadStringA(g_hInstance, uStringId, szStatus, sizeof szStatus);
    SetDlgItemTextA(hPage, IDC_STATUS_TEXT, szStatus);
    const int nShow = fShow ? SW_SHOW : SW_HIDE;
    ShowWindow(GetDlgItem(hPage, IDC_STATUS_TEXT), nShow);
    ShowWindow(GetDlgItem(hPage, IDC_STATUS_ICON), nShow);
}

void EnterNotConnected(HWND hPage)
{
    if (g_testPage.connection != PadConnection::NotConnected) {
        ShowStatusText(hPage, IDS_NOT_CONNECTED, TRUE);
        ShowControllerGroup(hPage, FALSE);
        ShowKeyMapGroup(hPage, FALSE);
        g_testPage.connection = PadConnection::NotConnected;
    }
    // A pad that went away takes its handle with it; nothing is sent to it.
    g_testPage.nPadMode = PadModeController;
    ClosePadHandle();
}

void EnterConnected(HWND hPage)
{
    if (g_testPage.connection != PadConnection::Connected) {
        ShowStatusText(hPage, IDS_CONNECTED, FALSE);
        g_testPage.connection = PadConnection::Connected;
    }
}

void ShowModeLamps(HWND hPage, BYTE bModeByte)
{
    for (int i = 0; i < 3; ++i) {
        const bool fLit = (bModeByte & (kFirstModeBit << i)) != 0;
        SetControlValue(hPage, IDC_MODE0_LAMP + i, kRectangularLamp, fLit ? kLampLit : kLampDim);
    }
}

// Mode 1 or 2: the key-mapping view. The stored map goes into the pad once per change of
// mode, and is read back so the registry and the combos show what the pad holds.
void ShowKeyMapMode(HWND hPage, PadMode mode)
{
    ShowControllerGroup(hPage, FALSE);
    ShowKeyMapGroup(hPage, TRUE);
    if (g_testPage.nPadMode != mode) {
        RestoreKeyMap(PadHandle, mode);
        RefreshKeyMap(hPage, PadHandle, mode);
    }
    g_testPage.nPadMode = mode;
}

void ShowControllerMode(HWND hPage, const DIJOYSTATE& state)
{
    g_testPage.nPadMode = PadModeController;
    ShowKeyMapGroup(hPage, FALSE);
    ShowControllerGroup(hPage, TRUE);
    ShowJoystickState(hPage, state);
}

}  // namespace

void TestPageTick(HWND hPage, IDIGameCntrlPropSheet* pSheet)
{
    if (!pSheet)
        return;

    IDirectInputDevice2A* pDevice = nullptr;
    pSheet->GetDevice(&pDevice);
    const HRESULT hrAcquire = pDevice ? pDevice->Acquire() : E_FAIL;
    if (hrAcquire != DI_OK && hrAcquire != S_FALSE) {
        EnterNotConnected(hPage);
        return;
    }
    EnterConnected(hPage);
    if (!g_testPage.pDevice)
        g_testPage.pDevice = pDevice;

    DIJOYSTATE state = {};
    if (FAILED(pDevice->GetDeviceState(sizeof state, &state)))
        return;

    if (!PadHandle)
        PadHandle = OpenHidHandle(pDevice);
    if (!PadHandle)
        return;

    // Waits less than one timer period, so a silent pad never stalls the window thread.
    PadInputReport report = {};
    DWORD cbRead = 0;
    PadMode mode = PadModeController;
    if (!ReadPadInputReport(PadHandle, &report, &cbRead) || !DecodePadMode(report, cbRead, &mode))
        return;

    ShowModeLamps(hPage, report[kPadInputReportSize - 1]);
    if (mode != PadModeController)
        ShowKeyMapMode(hPage, mode);
    else
        ShowControllerMode(hPage, state);
}
