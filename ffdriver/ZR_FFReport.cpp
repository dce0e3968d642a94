#include "ZR_FF.h"

#if VANTREL_REVISION >= 2
std::atomic<DWORD> g_dwSetting{0};
#endif

namespace {

// Every report opens the path, writes it whole and closes it; nothing stays open to the pad.
bool WriteReport(const char* pszPath, const void* pReport, DWORD cbReport)
{
    HANDLE hDevice = g_pfnOpenDevice.load()(pszPath, GENERIC_READ | GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hDevice == INVALID_HANDLE_VALUE)
        return false;
    DWORD Ret = 0;
    const BOOL bWritten = WriteFile(hDevice, pReport, cbReport, &Ret, nullptr);
    CloseHandle(hDevice);
    return bWritten && Ret == cbReport;
}

// Writes this revision's report layout with the two motor bytes.
bool WriteMotorBytes(const char* pszPath, BYTE bLeft, BYTE bRight)
{
#if VANTREL_REVISION == 1
    ForceReport Buf{};
#else
    RumbleReport Buf{};
    Buf.bReportId = 0x01;
    Buf.bCommand = 0xA0;
#endif
    Buf.bLeft = bLeft;
    Buf.bRight = bRight;
    return WriteReport(pszPath, &Buf, sizeof(Buf));
}

} // namespace

BYTE MotorLevel(DWORD dwTotal)
{
    if (dwTotal == 0)
        return 0;
    if (dwTotal > 10000)
        dwTotal = 10000;
    return static_cast<BYTE>(dwTotal * 23 / 10000 + 8);
}

bool WriteZeroReport(const char* pszPath)
{
    // Both motors at 0 whatever "Setting" says, so it is not read.
    return WriteMotorBytes(pszPath, 0, 0);
}

#if VANTREL_REVISION == 1

bool FFServer::SendMotorReport(DWORD dwLeft, DWORD dwRight)
{
    return WriteMotorBytes(szDevicePath, MotorLevel(dwLeft), MotorLevel(dwRight));
}

#else

void ReadStrengthSetting()
{
    HKEY hKey = nullptr;
    if (RegCreateKeyA(HKEY_CURRENT_USER, "USB Joystick\\VID_7B5E&PID_4D19", &hKey) !=
        ERROR_SUCCESS)
        return;
    // A value shorter than 4 bytes is zero-extended, a longer one gives its first 4 bytes; a
    // missing or empty one leaves the last value in force.
    DWORD dwValue = 0;
    DWORD cbRead = 0;
    if (ReadValuePrefix(hKey, "Setting", &dwValue, sizeof(dwValue), &cbRead) && cbRead > 0)
        g_dwSetting = dwValue;
    RegCloseKey(hKey);
}

bool FFServer::SendMotorReport(DWORD dwLeft, DWORD dwRight)
{
    ReadStrengthSetting();
    DWORD s = g_dwSetting.load();
    if (s == 0) {
        s = 254;
        g_dwSetting = 254;
    }
    // 64-bit, and MotorLevel caps the scaled totals: a "Setting" above 254 cannot push a
    // motor byte past 31.
    const auto dwScaledLeft = static_cast<ULONGLONG>(dwLeft) * s / 254;
    const auto dwScaledRight = static_cast<ULONGLONG>(dwRight) * s / 254;
    return WriteMotorBytes(
        szDevicePath,
        MotorLevel(dwScaledLeft > 10000 ? 10000 : static_cast<DWORD>(dwScaledLeft)),
        MotorLevel(dwScaledRight > 10000 ? 10000 : static_cast<DWORD>(dwScaledRight)));
}

#endif

bool FFServer::SendCountedReport(DWORD dwLeft, DWORD dwRight, DWORD dwNow)
{
    const bool bSent = SendMotorReport(dwLeft, dwRight);
    if (bSent)
        dwFailedWrites = 0;
    else if (dwFailedWrites != MAXDWORD)
        ++dwFailedWrites;
    dwLastWriteTick = dwNow;
    return bSent;
}

bool FFServer::ReportDue(DWORD dwNow) const
{
    return dwFailedWrites < kReportFreeRetries || dwNow - dwLastWriteTick >= kReportRetryMs;
}
