// The key vocabulary and the key picker, as plain state and as the real dialog.
#include "KeyMap.h"
#include "Module.h"
#include "res_keypicker.h"
#include "keymap_test_util.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace {

TEST(KeyTables, LookupsAndCoverage)
{
    EXPECT_EQ(KeyIndexFromCode(0x28), 28);  // Enter, never keypad Enter (100)
    EXPECT_EQ(KeyCodeFromIndex(100), 0x28);
    EXPECT_EQ(KeyIndexFromCode(0xE3), 55);
    EXPECT_STREQ(KeyNameFromIndex(60), "Up Arrow  ");
    EXPECT_EQ(KeyCodeFromIndex(103), 0);
    EXPECT_STREQ(KeyNameFromIndex(-1), "");

    // Every usage 0x04..0x63 but 0x32 and 0x58, and 0xE0..0xE6; 0x28 twice; names end in a blank.
    const std::multiset<int> codes(KeyCodeTable + 1, KeyCodeTable + 103);
    EXPECT_EQ(KeyCodeTable[103], 0);
    EXPECT_EQ(codes.count(0x28), 2u);
    for (int c = 0; c < 256; ++c) {
        const bool fKnown = (c >= 0x04 && c <= 0x63 && c != 0x32 && c != 0x58) || (c >= 0xE0 && c <= 0xE6);
        EXPECT_EQ(codes.count(c) > 0, fKnown) << c;
        EXPECT_EQ(KeyIndexFromCode(BYTE(c)) != 0, fKnown) << c;
    }
    for (int i = 1; i <= 102; ++i)
        EXPECT_EQ(std::string(KeyNameTable[i]).back(), ' ') << i;
}

BYTE g_reply[8];

void StartReply(std::initializer_list<int> slotAndKeys)
{
    const auto v = Bytes(slotAndKeys);
    const BYTE rgb[8] = {0x01, 0xB2, v[0], v[1], v[2], v[3], v[4], 0x77};
    std::memcpy(g_reply, rgb, 8);
}

std::vector<BYTE> Reply() { return std::vector<BYTE>(g_reply, g_reply + 8); }

TEST(KeyPickerLogic, LabelPlacesAndLimits)
{
    KeyPickerState state;
    StartReply({7, 0x04, 0xE1, 0, 0});
    KeyPickerBegin(state, g_reply);
    EXPECT_STREQ(state.szLabel, "  Key7 :  A Shift ");
    EXPECT_TRUE(KeyPickerPress(state, 1150 + 100));  // keypad Enter
    EXPECT_TRUE(KeyPickerPress(state, 1150 + 30));   // A again
    EXPECT_FALSE(KeyPickerPress(state, 1150 + 64));  // a fifth key
    EXPECT_STREQ(state.szLabel, "  Key7 :  A Shift Enter A ");
    KeyPickerCommit(state);
    EXPECT_EQ(Reply(), Bytes({0x01, 0xB2, 7, 0x04, 0xE1, 0x28, 0x04, 0x77}));

    KeyPickerClear(state);
    EXPECT_STREQ(state.szLabel, "  Key7 :  ");
    for (int nId : {1150, 1205, 1253, IDC_KEYPICKER_LABEL, IDOK, -1})  // not key buttons
        EXPECT_FALSE(KeyPickerPress(state, nId)) << nId;
    KeyPickerCommit(state);
    EXPECT_EQ(Reply(), Bytes({0x01, 0xB2, 7, 0, 0, 0, 0, 0x77}));
}

TEST(KeyPickerLogic, UnknownCodesKeepTheirPlace)
{
    KeyPickerState state;
    StartReply({24, 0x58, 0x00, 0x65, 0x00});
    KeyPickerBegin(state, g_reply);
    EXPECT_STREQ(state.szLabel, "  Key24 :  ");
    EXPECT_TRUE(KeyPickerPress(state, 1150 + 30));
    EXPECT_TRUE(KeyPickerPress(state, 1150 + 31));
    EXPECT_FALSE(KeyPickerPress(state, 1150 + 32));
    KeyPickerCommit(state);
    EXPECT_EQ(Reply(), Bytes({0x01, 0xB2, 24, 0x58, 0x04, 0x65, 0x16, 0x77}));
}

// Drives the real modal dialog: a timer on the same thread presses buttons and ends it.
std::vector<int> g_presses;
std::string g_label;

BOOL CALLBACK FindPicker(HWND hWnd, LPARAM lParam)
{
    if (GetDlgItem(hWnd, IDC_KEYPICKER_LABEL))
        *reinterpret_cast<HWND*>(lParam) = hWnd;
    return *reinterpret_cast<HWND*>(lParam) == nullptr;
}

void CALLBACK PressButtons(HWND, UINT, UINT_PTR idTimer, DWORD)
{
    HWND hDlg = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindPicker, LPARAM(&hDlg));
    if (!hDlg)
        return;
    KillTimer(nullptr, idTimer);
    char sz[260] = "";
    for (int nId : g_presses) {
        GetDlgItemTextA(hDlg, IDC_KEYPICKER_LABEL, sz, sizeof sz);
        SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED), LPARAM(GetDlgItem(hDlg, nId)));
    }
    g_label = sz;
}

INT_PTR RunWithPresses(std::vector<int> presses)
{
    g_presses = std::move(presses);
    SetTimer(nullptr, 0, 50, PressButtons);
    return RunKeyPicker(nullptr, g_reply);
}

TEST(KeyPickerDialog, OkWritesTheChosenCodesAndCancelNothing)
{
    StartReply({3, 0x04, 0, 0, 0});
    EXPECT_EQ(RunWithPresses({IDC_KEYPICKER_CLEAR, 1150 + 41, 1150 + 28, IDOK}), 1);
    EXPECT_EQ(g_label, "  Key3 :  Shift Enter ");
    EXPECT_EQ(Reply(), Bytes({0x01, 0xB2, 3, 0xE1, 0x28, 0, 0, 0x77}));

    EXPECT_EQ(RunWithPresses({IDC_KEYPICKER_CLEAR, 1150 + 30, IDCANCEL}), 0);
    EXPECT_EQ(g_label, "  Key3 :  A ");
    EXPECT_EQ(Reply(), Bytes({0x01, 0xB2, 3, 0xE1, 0x28, 0, 0, 0x77}));
}

TEST(KeyPickerDialog, ButtonsCarryTheTableCaptions)
{
    HWND hDlg = CreateDialogParamA(g_hInstance, MAKEINTRESOURCEA(IDD_KEYPICKER), nullptr,
                                   KeyPickerProc, LPARAM(g_reply));
    ASSERT_NE(hDlg, nullptr);
    EXPECT_EQ(GetDlgItem(hDlg, 1150 + 55), nullptr);
    for (int i = 1; i <= 102; ++i) {
        if (i == 55)
            continue;
        char sz[64] = "";
        GetDlgItemTextA(hDlg, 1150 + i, sz, sizeof sz);
        const auto& caption = KeyCaptionTable[i];
        EXPECT_EQ(sz, std::string(caption.pszLine1) +
                          (caption.pszLine2 ? std::string("\n") + caption.pszLine2 : "")) << i;
    }
    DestroyWindow(hDlg);
}

} // namespace
