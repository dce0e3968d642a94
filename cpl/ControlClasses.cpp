#include "Controls.h"
#include "ControlPaint.h"

#include <initializer_list>

namespace {

BOOL RegisterControlClass(HINSTANCE hInstance, const char* pszClass, WNDPROC pfnWndProc)
{
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = pfnWndProc;
    wc.hInstance = hInstance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = pszClass;
    return RegisterClassA(&wc) != 0 ? 1 : 0;
}

}  // namespace

BOOL RegisterProcessControlClass(HINSTANCE hInstance)
{
    return RegisterControlClass(hInstance, "ProcessControl", ProcessControlWndProc);
}

BOOL RegisterAxesControlClass(HINSTANCE hInstance)
{
    return RegisterControlClass(hInstance, "AxesControl", AxesControlWndProc);
}

BOOL RegisterRumbleControlClass(HINSTANCE hInstance)
{
    return RegisterControlClass(hInstance, "RumbleControl", RumbleControlWndProc);
}

BOOL RegisterPovControlClass(HINSTANCE hInstance)
{
    return RegisterControlClass(hInstance, "PovControl", PovControlWndProc);
}

BOOL RegisterLampControlClass(HINSTANCE hInstance)
{
    return RegisterControlClass(hInstance, "LampControl", LampControlWndProc);
}

void RegisterDisplayControlClasses(HINSTANCE hInstance)
{
    RegisterLampControlClass(hInstance);
    RegisterAxesControlClass(hInstance);
    RegisterPovControlClass(hInstance);
    RegisterProcessControlClass(hInstance);
    RegisterRumbleControlClass(hInstance);
}

void UnregisterDisplayControlClasses(HINSTANCE hInstance)
{
    for (const char* pszClass :
         {"LampControl", "AxesControl", "PovControl", "ProcessControl", "RumbleControl"})
        UnregisterClassA(pszClass, hInstance);
}

void SetControlValue(HWND hDlg, int nCtrlId, DWORD dwKind, DWORD dwValue)
{
    HWND hCtrl = GetDlgItem(hDlg, nCtrlId);
    if (!hCtrl)
        return;
    SetControlData(hCtrl, dwKind * 65536u + dwValue);
    RedrawWindow(hCtrl, nullptr, nullptr, RDW_INVALIDATE);
}

void SetPovValue(HWND hDlg, int nCtrlId, DWORD dwValue)
{
    HWND hCtrl = GetDlgItem(hDlg, nCtrlId);
    if (!hCtrl)
        return;
    SetControlData(hCtrl, dwValue);
    PaintPovControl(hCtrl);
}
