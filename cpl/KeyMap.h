// Key mapping: the key vocabulary, the moves of a key map between the pad, the registry and key
// setting files, and the key picker (dialog 265).
//
// Every operation takes the pad's HID handle as the caller holds it (normally PadHandle); none
// opens or closes it and none returns a result. A slot's stored copy (registry value, file
// section) is only ever replaced by a valid reply from the pad, so a failing pad never wipes a
// user's map.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "PadReports.h"

// Key index 1..102 <-> HID keyboard usage code (usage page 0x07); code 0 = no key.
constexpr int kKeyIndexCount = 102;                 // indices 1..102
constexpr int kKeyButtonIdBase = 1150;              // key button of index i has id 1150 + i
constexpr int kKeyIndexWithoutButton = 55;          // "Win " has no button in the picker

// Entry 0 = 0, entries 1..102 the codes of the key indices, entry 103 = 0 (end of table).
extern const BYTE KeyCodeTable[kKeyIndexCount + 2];
// Display name of each key index, each ending in a blank; entry 0 is "".
extern const char* const KeyNameTable[kKeyIndexCount + 1];
// The picker buttons' captions: line 1 and line 2 (null when the button has one line). Entry 0
// and entry 55 (no button) are null. "&&" shows as one ampersand.
struct KeyButtonCaption {
    const char* pszLine1;
    const char* pszLine2;
};
extern const KeyButtonCaption KeyCaptionTable[kKeyIndexCount + 1];

// Code -> key index: the first index whose code matches (0x28 -> 28, never 100); 0 when the code
// is 0 or unknown to the table.
int KeyIndexFromCode(BYTE bCode);
// Key index -> code; 0 for index 0 or an index outside 1..102.
BYTE KeyCodeFromIndex(int nIndex);
// Key index -> name; "" for index 0 or an index outside 1..102.
const char* KeyNameFromIndex(int nIndex);

// The names a key map is kept under, in the registry and in key setting files alike: slot n is
// "k<n>", place i (0..3) of a slot is "I<i+1>".
void KeySlotName(int nSlot, char (&szName)[8]);
void KeyPlaceName(int nPlace, char (&szName)[8]);

// Reads all 24 slots from the pad, stores each valid reply under "Mode1"/"Mode2" and rewrites
// entry 1 of the combo boxes 3073..3096 of hPage. Modes other than 1 and 2 do nothing.
void RefreshKeyMap(HWND hPage, HANDLE hPad, int nPadMode);
// Sends the key map stored under "Mode1"/"Mode2" to the pad. Without a stored map for the mode
// nothing is sent (the pad keeps its own map). Modes other than 1 and 2 do nothing.
void RestoreKeyMap(HANDLE hPad, int nPadMode);
// Empties all 24 slots of the pad.
void ClearKeyMap(HANDLE hPad);
// Sends the key map of a key setting file to the pad. A file with none of the sections "k1".."k24"
// changes nothing.
void LoadKeySettingFile(HANDLE hPad, const char* pszPath);
// Writes the pad's key map into a key setting file, section by section; other sections and lines
// of the file stay as they are.
void SaveKeySettingFile(HANDLE hPad, const char* pszPath);

// The key picker's state, kept apart from the window so it can be driven without one.
struct KeyPickerState {
    char szLabel[260];   // "  Key<slot> :  " followed by the picked keys' names
    BYTE* pbReply;       // the 8-byte KeySlotReply being edited
    BYTE bSlot;          // byte 2 of that reply
    BYTE abPlaceCode[kKeysPerSlot];  // the code of each place; 0 = empty
};
// Starts from a reply: label, slot, and the four places from bytes 3..6.
void KeyPickerBegin(KeyPickerState& state, BYTE* pbReply);
// A key button was pressed (control id 1151..1252). Returns true when a place took the key; a
// fifth key and ids that are not key buttons are ignored.
bool KeyPickerPress(KeyPickerState& state, int nControlId);
// Empties the four places and resets the label.
void KeyPickerClear(KeyPickerState& state);
// Writes the four places into bytes 3..6 of the reply (OK).
void KeyPickerCommit(const KeyPickerState& state);

// Dialog procedure of the key picker (dialog 265); lParam of WM_INITDIALOG is the reply buffer.
// Ends with 1 after OK (bytes 3..6 then hold the chosen codes), 0 after Cancel (buffer untouched).
INT_PTR CALLBACK KeyPickerProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Runs the key picker modally for one 8-byte reply buffer; returns the dialog's result. Goes
// through the replaceable runner below (tests install their own).
using KeyPickerRunner = INT_PTR (*)(HWND hOwner, BYTE* pbReply);
INT_PTR RunKeyPicker(HWND hOwner, BYTE* pbReply);
// Installs a runner (null restores the real modal dialog); returns the previous one.
KeyPickerRunner SetKeyPickerRunner(KeyPickerRunner pfnRunner);

// The open and save dialogs for key setting files, filtered to "Keyboard Setting Files (*.ksf)".
// pszName is the caller's 260-byte name buffer: it gives the name shown first and receives the
// chosen one. TRUE when the user chose a file.
BOOL ChooseKeySettingFileToLoad(HWND hPage, char* pszName);
BOOL ChooseKeySettingFileToSave(HWND hPage, char* pszName);
// The platform calls behind them (GetOpenFileNameA / GetSaveFileNameA), replaceable in tests.
// Null restores the real ones; each setter returns the previous function.
using KeyFileDialog = BOOL (WINAPI*)(LPOPENFILENAMEA pOfn);
KeyFileDialog SetKeyFileOpenDialog(KeyFileDialog pfnDialog);
KeyFileDialog SetKeyFileSaveDialog(KeyFileDialog pfnDialog);
