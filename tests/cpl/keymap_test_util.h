// Helpers shared by the key-map and rumble tests: the pad settings key and the key combos.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

inline const char* PadKey() { return "USB Joystick\\VID_7B5E&PID_4D19"; }
inline void ClearPadSettings() { RegDeleteTreeA(HKEY_CURRENT_USER, PadKey()); }

inline std::string SlotKey(int nMode, int nSlot)
{
    return std::string(PadKey()) + "\\Mode" + std::to_string(nMode) + "\\k" + std::to_string(nSlot);
}

// A value as a number; -1 when it is missing or not a 4-byte REG_DWORD.
inline long long ReadDword(const std::string& key, const std::string& name)
{
    DWORD dwType = 0, dwValue = 0, cb = sizeof dwValue;
    if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_ANY, &dwType, &dwValue,
                     &cb) != ERROR_SUCCESS || dwType != REG_DWORD || cb != 4)
        return -1;
    return dwValue;
}

inline std::vector<long long> StoredCodes(int nMode, int nSlot)
{
    std::vector<long long> codes;
    for (int i = 1; i <= 4; ++i)
        codes.push_back(ReadDword(SlotKey(nMode, nSlot), "I" + std::to_string(i)));
    return codes;
}

inline void WriteValue(const std::string& key, const char* pszName, DWORD dwType, const void* pv,
                       DWORD cb)
{
    RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), pszName, dwType, pv, cb);
}

inline void StoreCodes(int nMode, int nSlot, std::vector<DWORD> codes)
{
    for (int i = 0; i < 4; ++i)
        WriteValue(SlotKey(nMode, nSlot), ("I" + std::to_string(i + 1)).c_str(), REG_DWORD,
                   &codes[i], 4);
}

inline std::vector<BYTE> Bytes(std::initializer_list<int> values)
{
    return std::vector<BYTE>(values.begin(), values.end());
}

inline std::vector<BYTE> SetSlotReport(int nSlot, int c1 = 0, int c2 = 0, int c3 = 0, int c4 = 0)
{
    return Bytes({0x01, 0xA1, nSlot, c1, c2, c3, c4, 0x00});
}

// A window with the test page's 24 key combos (3073..3096): the empty entry and "Keyboard...".
class KeyComboWindow {
public:
    KeyComboWindow()
    {
        m_hWnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
        for (int nSlot = 1; nSlot <= 24; ++nSlot) {
            HWND hCombo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST, 0, 0,
                                          200, 200, m_hWnd, HMENU(INT_PTR(3072 + nSlot)),
                                          nullptr, nullptr);
            SendMessageA(hCombo, CB_ADDSTRING, 0, LPARAM(""));
            SendMessageA(hCombo, CB_ADDSTRING, 0, LPARAM("Keyboard..."));
        }
    }
    ~KeyComboWindow() { DestroyWindow(m_hWnd); }
    HWND Get() const { return m_hWnd; }

    // Entry 1's text, the selection and the entry count, e.g. " A Shift |1|2".
    std::string Shown(int nSlot) const
    {
        char sz[260] = "";
        SendDlgItemMessageA(m_hWnd, 3072 + nSlot, CB_GETLBTEXT, 1, LPARAM(sz));
        return std::string(sz) + "|" +
               std::to_string(SendDlgItemMessageA(m_hWnd, 3072 + nSlot, CB_GETCURSEL, 0, 0)) +
               "|" + std::to_string(SendDlgItemMessageA(m_hWnd, 3072 + nSlot, CB_GETCOUNT, 0, 0));
    }

private:
    HWND m_hWnd;
};
