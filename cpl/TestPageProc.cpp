// The test page's dialog procedure: setup, activation, the poll timer and the commands.
#include "Controls.h"
#include "PadAccess.h"
#include "Pages.h"
#include "TestPage.h"
#include "TestPageState.h"
#include "res_testpage.h"

#include <prsht.h>

TestPageState g_testPage = {};

namespace {

IDIGameCntrlPropSheet* SheetOfPage(HWND hPage)
{
    return reinterpret_cast<IDIGameCntrlPropSheet*>(GetWindowLongPtrA(hPage, DWLP_USER));
}

// Leaving or closing the page: stop polling and let go of the pad; the next activation starts
// from an unknown status and mode, so the key map is restored again when it shows. The handle
// is shared: a page that is not active (the sheet destroys every page when it closes) leaves
// it to the page that is using it.
void StopPolling(HWND hPage)
{
    KillTimer(hPage, kTestPageTimerId);
    if (g_testPage.fActive)
        ClosePadHandle();
    g_testPage.fActive = false;
    g_testPage.nPadMode = 0;
    g_testPage.connection = PadConnection::Unknown;
}

BOOL OnInitDialog(HWND hPage, const PROPSHEETPAGEA* pPage)
{
    IDIGameCntrlPropSheet* pSheet =
        pPage ? reinterpret_cast<IDIGameCntrlPropSheet*>(pPage->lParam) : nullptr;
    SetWindowLongPtrA(hPage, DWLP_USER, reinterpret_cast<LONG_PTR>(pSheet));
    g_testPage.pSheet = pSheet;
    g_testPage.pDevice = nullptr;
    g_testPage.fActive = false;
    // The new page's displays show nothing yet: the first state read is drawn in full.
    g_testPage.lastShown = DIJOYSTATE{};
    g_testPage.fDisplaysSet = false;

    // What needs no device is set up in any case, so that views shown later, once the sheet
    // has gained a device, have their lamps and combo entries.
    for (int i = 0; i < BUTTON_LAMP_COUNT; ++i)
        SetControlValue(hPage, IDC_BUTTON_LAMP_FIRST + i, kOvalLamp, kLampDim);
    for (int i = 0; i < 3; ++i)
        SetControlValue(hPage, IDC_MODE0_LAMP + i, kRectangularLamp, kLampDim);
    FillKeyCombos(hPage);
    ShowControllerGroup(hPage, FALSE);
    ShowKeyMapGroup(hPage, FALSE);

    if (!pSheet || OpenPageDevice(GetParent(hPage), pSheet) < 0)
        return TRUE;
    pSheet->GetDevice(&g_testPage.pDevice);
    return FALSE;
}

void OnCommand(HWND hPage, WPARAM wParam, LPARAM lParam)
{
    const int nId = LOWORD(wParam);
    const UINT uCode = HIWORD(wParam);
    if (uCode == CBN_SELCHANGE && nId > IDC_SLOT_COMBO_BASE &&
        nId <= IDC_SLOT_COMBO_BASE + KEY_SLOT_COUNT) {
        HWND hCombo = lParam ? reinterpret_cast<HWND>(lParam) : GetDlgItem(hPage, nId);
        OnKeySlotSelChange(hPage, hCombo, nId);
        return;
    }
    if (uCode != BN_CLICKED)
        return;
    switch (nId) {
    case IDC_DEFAULT_BUTTON: OnDefaultButton(hPage); break;
    case IDC_LOAD_BUTTON: OnLoadButton(hPage); break;
    case IDC_SAVE_BUTTON: OnSaveButton(hPage); break;
    default: break;
    }
}

void OnNotify(HWND hPage, const NMHDR* pHeader)
{
    if (pHeader) {
        if (pHeader->code == static_cast<UINT>(PSN_SETACTIVE)) {
            g_testPage.fActive = true;
            SetTimer(hPage, kTestPageTimerId, kTestPageTimerMs, nullptr);
        } else if (pHeader->code == static_cast<UINT>(PSN_KILLACTIVE)) {
            StopPolling(hPage);
        }
    }
    // Activation accepted, leaving allowed.
    SetWindowLongPtrA(hPage, DWLP_MSGRESULT, 0);
}

}  // namespace

INT_PTR CALLBACK TestPageProc(HWND hPage, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_INITDIALOG:
        return OnInitDialog(hPage, reinterpret_cast<const PROPSHEETPAGEA*>(lParam));
    case WM_NOTIFY:
        OnNotify(hPage, reinterpret_cast<const NMHDR*>(lParam));
        return TRUE;
    case WM_TIMER:
        TestPageTick(hPage, SheetOfPage(hPage));
        return TRUE;
    case WM_COMMAND:
        OnCommand(hPage, wParam, lParam);
        return TRUE;
    case WM_DESTROY:
        StopPolling(hPage);
        g_testPage.pSheet = nullptr;
        g_testPage.pDevice = nullptr;
        return TRUE;
    default:
        // The dialog manager's own handling: answering through DefWindowProc here would mark
        // messages such as WM_NCHITTEST handled with a result of 0.
        return FALSE;
    }
}
