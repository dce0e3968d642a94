#include "core_fixture.h"

#include <cstdlib>

namespace {

TEST(MotorLevel, BytesAtTheEdgesOfEachStep)
{
    EXPECT_EQ(MotorLevel(0), 0);
    EXPECT_EQ(MotorLevel(1), 8);
    EXPECT_EQ(MotorLevel(434), 8);
    EXPECT_EQ(MotorLevel(435), 9);
    EXPECT_EQ(MotorLevel(5000), 19);
    EXPECT_EQ(MotorLevel(10000), 31);
    // Past full scale the byte stays at 31 instead of wrapping or climbing.
    EXPECT_EQ(MotorLevel(10435), 31);
    EXPECT_EQ(MotorLevel(0xFFFFFFFF), 31);
}

using ReportTest = ServerTest;

TEST_F(ReportTest, ReportsReachThePadByteForByte)
{
    EXPECT_TRUE(server->SendMotorReport(10000, 0));
    EXPECT_TRUE(server->SendMotorReport(435, 5000));
    EXPECT_TRUE(server->SendMotorReport(0, 0));
    EXPECT_TRUE(server->SendMotorReport(10000, 10000));
    const auto reports = Settled();
    ASSERT_EQ(reports.size(), 4u);
    EXPECT_EQ(reports[0].bytes, ReportBytes(0x1F, 0));
    EXPECT_EQ(reports[1].bytes, ReportBytes(9, 19));
    EXPECT_EQ(reports[2].bytes, ReportBytes(0, 0));
    EXPECT_EQ(reports[3].bytes, ReportBytes(0x1F, 0x1F));
}

TEST_F(ReportTest, UnopenablePathIsReportedAsNotSent)
{
    pad.RefuseOpens(true);
    EXPECT_FALSE(server->SendMotorReport(10000, 0));
    std::strcpy(server->szDevicePath, "\\\\.\\pipe\\vantrel-pad-nobody");
    EXPECT_FALSE(server->SendMotorReport(0, 0));
    server->szDevicePath[0] = '\0';
    EXPECT_FALSE(server->SendMotorReport(0, 0));
    std::strcpy(server->szDevicePath, pad.Path());
    pad.RefuseOpens(false);
    EXPECT_TRUE(server->SendMotorReport(10000, 0));
    ASSERT_EQ(Settled().size(), 1u);
    EXPECT_EQ(pad.Reports()[0].bytes, ReportBytes(0x1F, 0));
}

TEST_F(ReportTest, DevicePathConversionKeepsOnlyWholePaths)
{
    EXPECT_TRUE(server->SetDevicePath(L"\\\\?\\hid#vid_7b5e&pid_4d19#1"));
    EXPECT_STREQ(server->szDevicePath, "\\\\?\\hid#vid_7b5e&pid_4d19#1");
    std::wstring long_path(400, L'x');
    EXPECT_FALSE(server->SetDevicePath(long_path.c_str()));
    EXPECT_STREQ(server->szDevicePath, "");
}

#if VANTREL_REVISION >= 2

TEST_F(ReportTest, SettingScalesTheTotalsBeforeEveryReport)
{
    // Missing: 254, totals unchanged, and 254 kept.
    EXPECT_TRUE(server->SendMotorReport(10000, 10000));
    EXPECT_EQ(g_dwSetting.load(), 254u);
    // 127 halves them.
    SetStrengthSetting(127);
    EXPECT_TRUE(server->SendMotorReport(10000, 0));
    EXPECT_EQ(g_dwSetting.load(), 127u);
    // 0 counts as 254 on every report.
    SetStrengthSetting(0);
    EXPECT_TRUE(server->SendMotorReport(10000, 5000));
    EXPECT_EQ(g_dwSetting.load(), 254u);
    // Far above 254 the bytes stop at 31.
    SetStrengthSetting(100000);
    EXPECT_TRUE(server->SendMotorReport(10000, 434));
    // Removed again: the last value read stays in force.
    SetStrengthSetting(-1);
    EXPECT_TRUE(server->SendMotorReport(100, 0));
    EXPECT_EQ(g_dwSetting.load(), 100000u);

    const auto reports = Settled();
    ASSERT_EQ(reports.size(), 5u);
    EXPECT_EQ(reports[0].bytes, (std::vector<BYTE>{0x01, 0xA0, 0x1F, 0x1F, 0, 0, 0, 0}));
    EXPECT_EQ(reports[1].bytes, ReportBytes(19, 0));
    EXPECT_EQ(reports[2].bytes, ReportBytes(31, 19));
    EXPECT_EQ(reports[3].bytes, ReportBytes(31, 31));
    EXPECT_EQ(reports[4].bytes, ReportBytes(31, 0));
}

void SetRawSetting(const BYTE* pb, DWORD cb)
{
    HKEY hKey;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kPadKey, &hKey), ERROR_SUCCESS);
    RegSetValueExA(hKey, "Setting", 0, REG_BINARY, pb, cb);
    RegCloseKey(hKey);
}

TEST_F(ReportTest, SettingOfAnyLengthLeavesNoUndefinedBytes)
{
    // Longer than 4 bytes: its first 4.
    const BYTE rgbLong[8] = {127, 0, 0, 0, 0xEE, 0xEE, 0xEE, 0xEE};
    SetRawSetting(rgbLong, sizeof(rgbLong));
    ReadStrengthSetting();
    EXPECT_EQ(g_dwSetting.load(), 127u);
    // Shorter: zero-extended, not mixed with the bytes of the last value.
    g_dwSetting = 0xABCDEF00;
    const BYTE rgbShort[2] = {0x2C, 0x01};
    SetRawSetting(rgbShort, sizeof(rgbShort));
    ReadStrengthSetting();
    EXPECT_EQ(g_dwSetting.load(), 300u);
    // Empty: like a missing value, the last one stays in force.
    SetRawSetting(rgbShort, 0);
    ReadStrengthSetting();
    EXPECT_EQ(g_dwSetting.load(), 300u);
    SetStrengthSetting(-1);
}

#endif

// The tuning block of each revision lives in its own hive.
HKEY TuningHive()
{
#if VANTREL_REVISION == 1
    return HKEY_CURRENT_USER;
#else
    return HKEY_LOCAL_MACHINE;
#endif
}

void WriteTuningValue(const char* pszKey, const void* pData, DWORD cb)
{
    HKEY hKey;
    ASSERT_EQ(RegCreateKeyA(TuningHive(), pszKey, &hKey), ERROR_SUCCESS);
    RegSetValueExA(hKey, "CurrentValue", 0, REG_BINARY, static_cast<const BYTE*>(pData), cb);
    RegCloseKey(hKey);
}

MMRESULT WINAPI PadCaps(UINT_PTR, LPJOYCAPSA pjc, UINT)
{
    pjc->wPid = 0x4D19;
    return JOYERR_NOERROR;
}

// Fails the way an unknown joystick does, writing nothing.
MMRESULT WINAPI NoCaps(UINT_PTR, LPJOYCAPSA, UINT) { return JOYERR_PARMS; }

class TuningTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        g_pfnJoyGetDevCaps = &joyGetDevCapsA;
        RegDeleteKeyA(TuningHive(), "SOFTWARE\\HidJoySetting\\25");
        RegDeleteKeyA(TuningHive(), "SOFTWARE\\HidJoySetting\\0");
    }
};

TEST_F(TuningTest, PadReadsKey25AndShortValuesLeaveTheRestZero)
{
    g_pfnJoyGetDevCaps = &PadCaps;
    FFServer missing(0);
    const JoySettingBlock zero{};
    EXPECT_EQ(std::memcmp(&missing.settings, &zero, sizeof(zero)), 0);

    DWORD rgdw[28] = {};
    rgdw[24] = 170; // period scale
    rgdw[25] = 255; // strength, beyond the 100 bytes written
    WriteTuningValue("SOFTWARE\\HidJoySetting\\25", rgdw, 100);
    FFServer server(3);
    EXPECT_EQ(server.dwProductId, 0x4D19u);
    EXPECT_EQ(server.settings.dwPeriodScale, 170u);
    EXPECT_EQ(server.settings.dwStrength, 0);
}

TEST_F(TuningTest, OverlongValueAndFailedCapsQuery)
{
    BYTE rgb[200];
    for (int i = 0; i < 200; ++i)
        rgb[i] = static_cast<BYTE>(i);
    WriteTuningValue("SOFTWARE\\HidJoySetting\\0", rgb, sizeof(rgb));
    // The failed query writes nothing: product 0, key 0, and the block's first 112 bytes.
    g_pfnJoyGetDevCaps = &NoCaps;
    FFServer server(15);
    EXPECT_EQ(server.dwProductId, 0u);
    EXPECT_EQ(std::memcmp(&server.settings, rgb, 112), 0);
}

} // namespace
