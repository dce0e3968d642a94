// Shows the test page in a property sheet with the fake pad connected, for a look under Xvfb.
// Not a test.
//   cpl_testpage_showpage.exe controller | keymap | unplugged
// Ends after 60 s or when the sheet is closed.
#include "Controls.h"
#include "FakeDirectInput.h"
#include "FakePad.h"
#include "Module.h"
#include "Pages.h"
#include "PropertySheet.h"

#include <commctrl.h>
#include <prsht.h>

#include <cstring>

namespace {

void CALLBACK EndAfterAWhile(HWND, UINT, UINT_PTR, DWORD)
{
    ExitProcess(0);
}

void PresetController(FakeDirectInputDevice& device)
{
    DIJOYSTATE& state = device.state;
    state.lX = 0xC000;
    state.lY = 0x3000;
    state.lZ = 0x4000;
    state.lRx = 0x0000;
    state.lRy = 0xFFFF;
    state.lRz = 0xE000;
    state.rglSlider[0] = 0x6000;
    state.rgdwPOV[0] = 9000;
    for (int i : {0, 3, 8, 13})
        state.rgbButtons[i] = 0x80;
    state.rgbButtons[16] = 0x80;  // second hat: up and left
    state.rgbButtons[19] = 0x80;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* pszView = argc > 1 ? argv[1] : "controller";
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    SetTimer(nullptr, 0, 60000, EndAfterAWhile);

    FakeDirectInputScope scope;
    FakePad pad;
    PresetController(scope.device);
    pad.SetKeys(1, 0x04);
    pad.SetKeys(2, 0x16, 0xE1);
    pad.SetKeys(5, 0x28);
    pad.SetKeys(17, 0x52);
    pad.SetKeys(21, 0x2C);
    pad.SetModeByte(std::strcmp(pszView, "keymap") == 0 ? 0x20 : 0x10);
    if (std::strcmp(pszView, "unplugged") == 0)
        scope.device.hrAcquire = DIERR_UNPLUGGED;

    auto* pSheet = new ControllerPropertySheet();
    pSheet->Initialize();

    PROPSHEETPAGEA page = {};
    page.dwSize = sizeof page;
    page.hInstance = g_hInstance;
    page.pszTemplate = MAKEINTRESOURCEA(IDD_TESTPAGE);
    page.pfnDlgProc = TestPageProc;
    page.lParam = reinterpret_cast<LPARAM>(pSheet);
    HPROPSHEETPAGE hPage = CreatePropertySheetPageA(&page);

    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_MODELESS;
    header.pszCaption = "Test page";
    header.nPages = 1;
    header.phpage = &hPage;
    HWND hSheet = reinterpret_cast<HWND>(PropertySheetA(&header));
    MSG msg;
    while (IsWindow(hSheet) && PropSheet_GetCurrentPageHwnd(hSheet) &&
           GetMessageA(&msg, nullptr, 0, 0)) {
        if (!PropSheet_IsDialogMessage(hSheet, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    DestroyWindow(hSheet);
    pSheet->Release();
    return 0;
}
