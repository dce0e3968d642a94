// Key setting files (*.ksf): an INI file with the sections "k1".."k24", each with the keys
// "I1".."I4" holding decimal codes. Read and written key by key through the profile functions,
// so whatever else a file holds stays as it is.
#include "KeyMap.h"
#include "PadAccess.h"

#include <cctype>
#include <cstdio>

namespace {

// Decimal as the files have always been read: leading blanks, an optional sign, then digits up
// to the first other character. Anything outside 0..255 is no key, never a wrapped code.
BYTE ParseCode(const char* psz)
{
    while (std::isspace(static_cast<unsigned char>(*psz)))
        ++psz;
    bool fNegative = false;
    if (*psz == '+' || *psz == '-')
        fNegative = (*psz++ == '-');
    long long llValue = 0;  // at most 9 characters reach here, so this cannot overflow
    while (std::isdigit(static_cast<unsigned char>(*psz)))
        llValue = llValue * 10 + (*psz++ - '0');
    if (fNegative)
        llValue = -llValue;
    return (llValue >= 0 && llValue <= 0xFF) ? static_cast<BYTE>(llValue) : 0;
}

bool HasSection(const char* pszPath, const char* pszSection)
{
    char szKeys[64];
    // With no key name the profile function lists the section's keys; nothing = no section.
    return GetPrivateProfileStringA(pszSection, nullptr, "", szKeys, sizeof szKeys, pszPath) > 0;
}

bool HasAnySlotSection(const char* pszPath)
{
    for (int nSlot = 1; nSlot <= kKeySlotCount; ++nSlot) {
        char szSection[8];
        KeySlotName(nSlot, szSection);
        if (HasSection(pszPath, szSection))
            return true;
    }
    return false;
}

} // namespace

void LoadKeySettingFile(HANDLE hPad, const char* pszPath)
{
    // A file that holds no key map at all (wrong file, empty file) must not empty the pad.
    if (!pszPath || !HasAnySlotSection(pszPath))
        return;
    for (int nSlot = 1; nSlot <= kKeySlotCount; ++nSlot) {
        char szSection[8];
        KeySlotName(nSlot, szSection);
        BYTE rgbCodes[kKeysPerSlot] = {};
        for (int i = 0; i < kKeysPerSlot; ++i) {
            char szKey[8];
            KeyPlaceName(i, szKey);
            char szValue[10];
            GetPrivateProfileStringA(szSection, szKey, "", szValue, sizeof szValue, pszPath);
            rgbCodes[i] = ParseCode(szValue);
        }
        WritePadReport(hPad, EncodeSetSlotReport(static_cast<BYTE>(nSlot), rgbCodes));
    }
}

void SaveKeySettingFile(HANDLE hPad, const char* pszPath)
{
    if (!pszPath)
        return;
    for (int nSlot = 1; nSlot <= kKeySlotCount; ++nSlot) {
        KeySlotReply reply = {};
        // Without a valid reply the slot's old section stays as it was.
        if (!QueryKeySlot(hPad, static_cast<BYTE>(nSlot), &reply))
            continue;
        char szSection[8];
        KeySlotName(nSlot, szSection);
        for (int i = 0; i < kKeysPerSlot; ++i) {
            char szKey[8];
            KeyPlaceName(i, szKey);
            char szValue[8];
            std::snprintf(szValue, sizeof szValue, "%d", reply[3 + i]);
            WritePrivateProfileStringA(szSection, szKey, szValue, pszPath);
        }
    }
}
