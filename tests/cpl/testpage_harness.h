#pragma once

// A test page in a plain parent window, wired to the fake pad and fake DirectInput, with the
// key picker and the file dialogs replaced by scripted stand-ins.
#include "FakeDirectInput.h"
#include "FakePad.h"
#include "GameCtrlPropSheet.h"
#include "KeyMap.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <prsht.h>

class TestPageTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the page (WM_INITDIALOG runs the page device setup through fake DirectInput).
    void CreatePage();
    void Activate();    // PSN_SETACTIVE
    void Deactivate();  // PSN_KILLACTIVE
    void Tick();        // one WM_TIMER
    // Ticks once with the given mode byte (byte 11 of the input report).
    void TickInMode(BYTE bModeByte);

    // Chooses an entry of a slot combo as the user would.
    void ChooseComboEntry(int nSlot, int nEntry);
    void ClickButton(int nId);

    bool IsShown(int nId) const;
    DWORD UserData(int nId) const;
    std::string ItemText(int nId) const;
    std::string ComboEntryText(int nSlot, int nEntry) const;
    int ComboSelection(int nSlot) const;
    int ComboCount(int nSlot) const;

    // Output reports written since the last ClearLog, split by command byte.
    std::vector<std::vector<BYTE>> WritesWithCommand(BYTE bCommand) const;

    // Registry copy of one slot of a mode's key map ("Mode<m>\\k<n>", values I1..I4).
    static void StoreRegistrySlot(int nMode, int nSlot, BYTE k1, BYTE k2 = 0, BYTE k3 = 0,
                                  BYTE k4 = 0);
    static std::vector<DWORD> RegistrySlot(int nMode, int nSlot);  // empty when not stored
    static void DeletePadSettings();

    FakePad pad;
    FakeDirectInputScope di;
    IDIGameCntrlPropSheet* pSheet = nullptr;
    HWND hParent = nullptr;
    HWND hPage = nullptr;
    PROPSHEETPAGEA page = {};
};

// Scripted key picker: what the next picker run does, and what it saw.
struct ScriptedPicker {
    static int nRuns;
    static std::vector<BYTE> seen;                 // the buffer as the picker got it
    static INT_PTR nResult;                        // 1 = OK, 0 = Cancel
    static BYTE rgbPick[4];                        // codes written into bytes 3..6 on OK
    static std::function<void()> duringPicker;     // runs inside the modal picker
    static void Reset();
    static INT_PTR Run(HWND hOwner, BYTE* pbReply);
};

// Scripted file dialogs: each returns the scripted answer and copies the scripted name.
struct ScriptedFileDialog {
    static BOOL fOpenResult, fSaveResult;
    static std::string openName, saveName;
    static std::vector<std::string> shownOpen, shownSave;  // buffer contents when shown
    static void Reset();
    static BOOL WINAPI Open(LPOPENFILENAMEA pOfn);
    static BOOL WINAPI Save(LPOPENFILENAMEA pOfn);
};
