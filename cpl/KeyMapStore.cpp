// Moves key maps between the pad and the registry ("Mode1"/"Mode2" with "k1".."k24", each with
// the REG_DWORD codes "I1".."I4"), and fills the test page's key combos from the pad.
#include "KeyMap.h"
#include "KeyMapRegistry.h"
#include "PadAccess.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int kKeyComboIdBase = 3072;  // slot n is shown in combo box 3072 + n
const char kPickKeysEntry[] = "Keyboard...";

bool ModeKeyPath(int nPadMode, char (&szPath)[64])
{
    if (nPadMode != PadModeKeyMap1 && nPadMode != PadModeKeyMap2)
        return false;
    std::snprintf(szPath, sizeof szPath, "%s\\Mode%d", kPadSettingsKey, nPadMode);
    return true;
}

// Entry 0 of each combo is the empty entry; entry 1 shows the slot's keys or "Keyboard...".
void ShowSlotInCombo(HWND hPage, int nSlot, const char* pszKeys, bool fHasKeys)
{
    const int nComboId = kKeyComboIdBase + nSlot;
    SendDlgItemMessageA(hPage, nComboId, CB_DELETESTRING, 1, 0);
    SendDlgItemMessageA(hPage, nComboId, CB_INSERTSTRING, 1,
                        reinterpret_cast<LPARAM>(fHasKeys ? pszKeys : kPickKeysEntry));
    SendDlgItemMessageA(hPage, nComboId, CB_SETCURSEL, fHasKeys ? 1 : 0, 0);
}

// The codes of one stored slot; false when the slot has no stored copy at all.
bool ReadStoredSlot(const SettingsKey& modeKey, int nSlot, BYTE (&rgbCodes)[kKeysPerSlot])
{
    char szSlot[8];
    KeySlotName(nSlot, szSlot);
    SettingsKey slotKey;
    if (!slotKey.Open(modeKey.Get(), szSlot))
        return false;
    for (int i = 0; i < kKeysPerSlot; ++i) {
        char szCode[8];
        KeyPlaceName(i, szCode);
        DWORD dwCode = 0;
        // A value of another type or size, or outside a byte, is no key rather than a guess.
        rgbCodes[i] = (slotKey.ReadDword(szCode, &dwCode) && dwCode <= 0xFF)
                          ? static_cast<BYTE>(dwCode) : 0;
    }
    return true;
}

} // namespace

void RefreshKeyMap(HWND hPage, HANDLE hPad, int nPadMode)
{
    char szModePath[64];
    if (!ModeKeyPath(nPadMode, szModePath))
        return;
    SettingsKey modeKey;
    modeKey.Create(HKEY_CURRENT_USER, szModePath);

    for (int nSlot = 1; nSlot <= kKeySlotCount; ++nSlot) {
        char szKeys[260] = " ";
        KeySlotReply reply = {};
        // Only a reply that the pad really sent for this slot may replace the stored copy.
        const bool fValid = QueryKeySlot(hPad, static_cast<BYTE>(nSlot), &reply) != FALSE;
        if (fValid) {
            char szSlot[8];
            KeySlotName(nSlot, szSlot);
            SettingsKey slotKey;
            if (modeKey)
                slotKey.Create(modeKey.Get(), szSlot);
            for (int i = 0; i < kKeysPerSlot; ++i) {
                const BYTE bCode = reply[3 + i];
                char szCode[8];
                KeyPlaceName(i, szCode);
                slotKey.WriteDword(szCode, bCode);
                if (bCode != 0) {
                    const size_t cchUsed = std::strlen(szKeys);
                    std::snprintf(szKeys + cchUsed, sizeof szKeys - cchUsed, "%s",
                                  KeyNameFromIndex(KeyIndexFromCode(bCode)));
                }
            }
        }
        // The combo shows keys only when the first place holds one.
        ShowSlotInCombo(hPage, nSlot, szKeys, fValid && reply[3] != 0);
    }
}

void RestoreKeyMap(HANDLE hPad, int nPadMode)
{
    char szModePath[64];
    if (!ModeKeyPath(nPadMode, szModePath))
        return;
    SettingsKey modeKey;
    // No map stored for this mode yet: the pad keeps its own, and the refresh that follows
    // stores that one.
    if (!modeKey.Open(HKEY_CURRENT_USER, szModePath))
        return;
    for (int nSlot = 1; nSlot <= kKeySlotCount; ++nSlot) {
        BYTE rgbCodes[kKeysPerSlot] = {};
        if (ReadStoredSlot(modeKey, nSlot, rgbCodes))
            WritePadReport(hPad, EncodeSetSlotReport(static_cast<BYTE>(nSlot), rgbCodes));
    }
}

void ClearKeyMap(HANDLE hPad)
{
    const BYTE rgbNoKeys[kKeysPerSlot] = {};
    for (int nSlot = 1; nSlot <= kKeySlotCount; ++nSlot)
        WritePadReport(hPad, EncodeSetSlotReport(static_cast<BYTE>(nSlot), rgbNoKeys));
}
