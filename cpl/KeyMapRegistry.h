// The pad settings key under HKEY_CURRENT_USER and a small owner for its open keys.
#pragma once

#include <windows.h>

// "Amplify" (rumble strength) and the key maps "Mode1"/"Mode2" live here.
constexpr const char kPadSettingsKey[] = "USB Joystick\\VID_7B5E&PID_4D19";

// Closes the key it holds when it goes out of scope.
class SettingsKey {
public:
    SettingsKey() = default;
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;
    ~SettingsKey() { Reset(); }

    // Opens an existing key for reading.
    bool Open(HKEY hParent, const char* pszSubKey)
    {
        Reset();
        return RegOpenKeyExA(hParent, pszSubKey, 0, KEY_READ, &m_hKey) == ERROR_SUCCESS;
    }
    // Opens or creates a key for writing.
    bool Create(HKEY hParent, const char* pszSubKey)
    {
        Reset();
        return RegCreateKeyExA(hParent, pszSubKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                               KEY_WRITE, nullptr, &m_hKey, nullptr) == ERROR_SUCCESS;
    }
    void Reset()
    {
        if (m_hKey)
            RegCloseKey(m_hKey);
        m_hKey = nullptr;
    }
    HKEY Get() const { return m_hKey; }
    explicit operator bool() const { return m_hKey != nullptr; }

    // Reads a REG_DWORD of exactly 4 bytes; false for a missing value or one of another type
    // or size, so no stray bytes are ever taken for a setting.
    bool ReadDword(const char* pszName, DWORD* pdwValue) const
    {
        DWORD dwType = 0, dwValue = 0, cb = sizeof dwValue;
        if (!m_hKey || RegQueryValueExA(m_hKey, pszName, nullptr, &dwType,
                                        reinterpret_cast<BYTE*>(&dwValue), &cb) != ERROR_SUCCESS)
            return false;
        if (dwType != REG_DWORD || cb != sizeof dwValue)
            return false;
        *pdwValue = dwValue;
        return true;
    }
    bool WriteDword(const char* pszName, DWORD dwValue) const
    {
        return m_hKey && RegSetValueExA(m_hKey, pszName, 0, REG_DWORD,
                                        reinterpret_cast<const BYTE*>(&dwValue),
                                        sizeof dwValue) == ERROR_SUCCESS;
    }

private:
    HKEY m_hKey = nullptr;
};
