// The key picker: up to four keys for one slot, chosen on an on-screen keyboard.
#include "KeyMap.h"
#include "Module.h"
#include "res_keypicker.h"

#include <cstdio>
#include <cstring>

namespace {

// One picker at a time: the dialog is modal on the one window thread.
KeyPickerState g_picker;
KeyPickerRunner g_pfnPickerRunner = nullptr;

void ResetLabel(KeyPickerState& state)
{
    std::snprintf(state.szLabel, sizeof state.szLabel, "  Key%d :  ", state.bSlot);
}

void AppendName(KeyPickerState& state, const char* pszName)
{
    const size_t cchUsed = std::strlen(state.szLabel);
    std::snprintf(state.szLabel + cchUsed, sizeof state.szLabel - cchUsed, "%s", pszName);
}

bool IsKeyButton(int nControlId)
{
    const int nIndex = nControlId - kKeyButtonIdBase;
    return nIndex >= 1 && nIndex <= kKeyIndexCount && nIndex != kKeyIndexWithoutButton;
}

INT_PTR RunPickerDialog(HWND hOwner, BYTE* pbReply)
{
    return DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_KEYPICKER), hOwner, KeyPickerProc,
                           reinterpret_cast<LPARAM>(pbReply));
}

} // namespace

void KeyPickerBegin(KeyPickerState& state, BYTE* pbReply)
{
    state.szLabel[0] = '\0';
    state.pbReply = pbReply;
    state.bSlot = pbReply ? pbReply[2] : 0;
    ResetLabel(state);
    for (int i = 0; i < kKeysPerSlot; ++i) {
        // A code the table lacks keeps its place and goes back unchanged; it only has no name.
        const BYTE bCode = pbReply ? pbReply[3 + i] : 0;
        state.abPlaceCode[i] = bCode;
        if (bCode != 0)
            AppendName(state, KeyNameFromIndex(KeyIndexFromCode(bCode)));
    }
}

bool KeyPickerPress(KeyPickerState& state, int nControlId)
{
    if (!IsKeyButton(nControlId))
        return false;
    const int nIndex = nControlId - kKeyButtonIdBase;
    for (BYTE& bPlace : state.abPlaceCode) {
        if (bPlace == 0) {
            bPlace = KeyCodeFromIndex(nIndex);
            AppendName(state, KeyNameFromIndex(nIndex));
            return true;
        }
    }
    return false;
}

void KeyPickerClear(KeyPickerState& state)
{
    for (BYTE& bPlace : state.abPlaceCode)
        bPlace = 0;
    ResetLabel(state);
}

void KeyPickerCommit(const KeyPickerState& state)
{
    if (!state.pbReply)
        return;
    for (int i = 0; i < kKeysPerSlot; ++i)
        state.pbReply[3 + i] = state.abPlaceCode[i];
}

INT_PTR CALLBACK KeyPickerProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_INITDIALOG:
        KeyPickerBegin(g_picker, reinterpret_cast<BYTE*>(lParam));
        SetDlgItemTextA(hDlg, IDC_KEYPICKER_LABEL, g_picker.szLabel);
        return FALSE;
    case WM_COMMAND: {
        if (HIWORD(wParam) != 0)
            return FALSE;
        const int nId = LOWORD(wParam);
        if (nId == IDOK) {
            KeyPickerCommit(g_picker);
            EndDialog(hDlg, 1);
        } else if (nId == IDCANCEL) {
            EndDialog(hDlg, 0);
        } else if (nId == IDC_KEYPICKER_CLEAR) {
            KeyPickerClear(g_picker);
            SetDlgItemTextA(hDlg, IDC_KEYPICKER_LABEL, g_picker.szLabel);
        } else if (KeyPickerPress(g_picker, nId)) {
            SetDlgItemTextA(hDlg, IDC_KEYPICKER_LABEL, g_picker.szLabel);
        }
        return TRUE;
    }
    default:
        return FALSE;
    }
}

INT_PTR RunKeyPicker(HWND hOwner, BYTE* pbReply)
{
    return (g_pfnPickerRunner ? g_pfnPickerRunner : RunPickerDialog)(hOwner, pbReply);
}

KeyPickerRunner SetKeyPickerRunner(KeyPickerRunner pfnRunner)
{
    KeyPickerRunner pfnPrevious = g_pfnPickerRunner;
    g_pfnPickerRunner = pfnRunner;
    return pfnPrevious;
}
