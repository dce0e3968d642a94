#include "HardwareIdMatch.h"

#include <cstring>
#include <string>

const char kPadHardwareIdText[] = "vid_7b5e&pid_4d19";

bool FirstHardwareIdMatches(const BYTE* pList, DWORD cbList)
{
    if (!pList)
        return false;
    const char* pszFirst = reinterpret_cast<const char*>(pList);
    std::string firstId(pszFirst, strnlen(pszFirst, cbList));
    // ASCII capitals only: hardware IDs are ASCII, and the code page must not change the match.
    for (char& ch : firstId) {
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    }
    return firstId.find(kPadHardwareIdText) != std::string::npos;
}
