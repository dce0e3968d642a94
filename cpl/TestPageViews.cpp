// The two views of the test page and the controller view's displays.
#include "AxisRange.h"
#include "Controls.h"
#include "TestPage.h"
#include "TestPageState.h"
#include "TestPageValues.h"
#include "res_testpage.h"

namespace {

constexpr int kControllerViewIds[] = {
    IDC_AXES_GROUP, IDC_AXES_LABEL, IDC_Z_LABEL, IDC_SLIDER_LABEL, IDC_RX_LABEL,
    IDC_RY_LABEL, IDC_RZ_LABEL, IDC_AXES, IDC_Z_BAR, IDC_SLIDER_BAR, IDC_RX_BAR, IDC_RY_BAR,
    IDC_RZ_BAR, IDC_POV_GROUP, IDC_POV1_LABEL, IDC_POV2_LABEL, IDC_POV1, IDC_POV2,
    IDC_BUTTON_GROUP,
};

constexpr int kKeyMapFrameIds[] = {
    IDC_KEYMAP_GROUP, IDC_DEFAULT_BUTTON, IDC_LOAD_BUTTON, IDC_SAVE_BUTTON,
    IDC_HAT_SLOT_GROUP, IDC_HAT1_SLOT_CAPTION, IDC_HAT2_SLOT_CAPTION,
};

// Bar kinds of ProcessControl.
constexpr DWORD kBarHorizontal = 0;
constexpr DWORD kBarVertical = 1;
constexpr DWORD kBarFromCentre = 2;

void ShowItem(HWND hPage, int nId, BOOL fShow)
{
    ShowWindow(GetDlgItem(hPage, nId), fShow ? SW_SHOW : SW_HIDE);
}

}  // namespace

void ShowControllerGroup(HWND hPage, BOOL fShow)
{
    for (int nId : kControllerViewIds)
        ShowItem(hPage, nId, fShow);
    for (int i = 0; i < BUTTON_LAMP_COUNT; ++i)
        ShowItem(hPage, IDC_BUTTON_LAMP_FIRST + i, fShow);
}

void ShowKeyMapGroup(HWND hPage, BOOL fShow)
{
    for (int nId : kKeyMapFrameIds)
        ShowItem(hPage, nId, fShow);
    for (int nSlot = 1; nSlot <= KEY_SLOT_COUNT; ++nSlot) {
        ShowItem(hPage, IDC_SLOT_LABEL_BASE + nSlot, fShow);
        ShowItem(hPage, IDC_SLOT_COMBO_BASE + nSlot, fShow);
    }
}

void FillKeyCombos(HWND hPage)
{
    for (int nSlot = 1; nSlot <= KEY_SLOT_COUNT; ++nSlot) {
        HWND hCombo = GetDlgItem(hPage, IDC_SLOT_COMBO_BASE + nSlot);
        SendMessageA(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(""));
        SendMessageA(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Keyboard..."));
    }
}

void ShowJoystickState(HWND hPage, const DIJOYSTATE& state)
{
    // Each display is repainted only when its source moved; the first state on a page is drawn
    // whole, so a source resting at 0 (a slider at its end) is not left at the display's
    // initial look.
    DIJOYSTATE& last = g_testPage.lastShown;
    const bool fAll = !g_testPage.fDisplaysSet;

    for (int i = 0; i < BUTTON_LAMP_COUNT; ++i) {
        if (fAll || state.rgbButtons[i] != last.rgbButtons[i])
            SetControlValue(hPage, IDC_BUTTON_LAMP_FIRST + i, kOvalLamp,
                            state.rgbButtons[i] != 0 ? kLampLit : kLampDim);
    }
    // Clamped, so that a value out of range cannot spill into the other half of the pair.
    if (fAll || state.lX != last.lX || state.lY != last.lY)
        SetControlValue(hPage, IDC_AXES, static_cast<DWORD>(ClampAxis(state.lX)),
                        static_cast<DWORD>(ClampAxis(state.lY)));
    if (fAll || state.lRx != last.lRx)
        SetControlValue(hPage, IDC_RX_BAR, kBarHorizontal, InvertedBarLevel(state.lRx));
    if (fAll || state.lRy != last.lRy)
        SetControlValue(hPage, IDC_RY_BAR, kBarHorizontal, InvertedBarLevel(state.lRy));
    if (fAll || state.lZ != last.lZ)
        SetControlValue(hPage, IDC_Z_BAR, kBarHorizontal, InvertedBarLevel(state.lZ));
    if (fAll || state.lRz != last.lRz)
        SetControlValue(hPage, IDC_RZ_BAR, kBarFromCentre, RisingBarLevel(state.lRz));
    if (fAll || state.rglSlider[0] != last.rglSlider[0])
        SetControlValue(hPage, IDC_SLIDER_BAR, kBarVertical,
                        InvertedBarLevel(state.rglSlider[0]));

    // The hats are set on every tick: a PovControl paints only when it is set.
    SetPovValue(hPage, IDC_POV1, state.rgdwPOV[0]);
    SetPovValue(hPage, IDC_POV2, PovFromHatCode(HatCodeFromButtons(&state.rgbButtons[16])));

    last = state;
    g_testPage.fDisplaysSet = true;
}
