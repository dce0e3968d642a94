// The rumble test page against the fake pad and fake DirectInput. Ticks are sent by hand (the
// page's own timer never fires: nothing here pumps messages), and the clock is the test's.
#include "RumblePage.h"
#include "Controls.h"
#include "FakeDirectInput.h"
#include "FakePad.h"
#include "Module.h"
#include "Pages.h"
#include "PropertySheet.h"
#include "keymap_test_util.h"
#include "res_rumble.h"

#include <commctrl.h>
#include <prsht.h>

#include <climits>

#include <gtest/gtest.h>

namespace {

TEST(RumbleLevels, EdgeValuesAndStrengths)
{
    const struct { LONG lValue; DWORD dwStrength; BYTE bLevel; } cases[] = {
        {2500, 100, 7}, {5000, 100, 15}, {7500, 100, 23}, {9999, 100, 30}, {10000, 100, 31},
        {-10000, 100, 31}, {10000, 80, 24}, {2500, 80, 6}, {10000, 0, 0}, {0, 100, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(RumbleLevel(c.lValue, c.dwStrength), c.bLevel) << c.lValue << " @" << c.dwStrength;

    FakePad pad;
    pad.Open("pad");
    EXPECT_EQ(SendRumbleReport(FakePad::kHandle, -10000, 5000, 100), 0u);
    EXPECT_EQ(pad.Writes().back(), Bytes({0x01, 0xA0, 31, 15, 0, 0, 0, 0}));
    pad.SetFailWrites(true);
    EXPECT_NE(SendRumbleReport(FakePad::kHandle, 0, 0, 0), 0u);
    EXPECT_EQ(SendRumbleReport(nullptr, 0, 0, 0), DWORD(ERROR_INVALID_HANDLE));
}

DWORD g_dwNow = 0;
DWORD TestClock() { return g_dwNow; }

class RumblePage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearPadSettings();
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES};
        InitCommonControlsEx(&icc);
        RegisterDisplayControlClasses(g_hInstance);
        SetRumbleClock(TestClock);
        SetStick(0x8000, 0x8000);
        hParent = CreateWindowExA(0, "STATIC", "sheet", WS_OVERLAPPEDWINDOW, 0, 0, 600, 500,
                                  nullptr, nullptr, g_hInstance, nullptr);
        PROPSHEETPAGEA psp = {};
        psp.dwSize = sizeof psp;
        psp.lParam = reinterpret_cast<LPARAM>(pSheet);
        hPage = CreateDialogParamA(g_hInstance, MAKEINTRESOURCEA(IDD_RUMBLEPAGE), hParent,
                                   RumblePageProc, reinterpret_cast<LPARAM>(&psp));
        ASSERT_NE(hPage, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(hParent);
        pSheet->Release();
        SetRumbleClock(nullptr);
        ClearPadSettings();
    }

    void Notify(UINT code)
    {
        NMHDR header = {hParent, 0, code};
        SendMessageA(hPage, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
    }
    void Tick() { SendMessageA(hPage, WM_TIMER, kRumblePageTimerId, 0); }
    void Click(int nId) { SendMessageA(hPage, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED), 0); }
    void SetStick(LONG lX, LONG lY)
    {
        scope.device.state.lX = lX;
        scope.device.state.lY = lY;
    }
    std::vector<BYTE> LastReport() { return pad.Writes().back(); }
    static std::vector<BYTE> Rumble(int m1, int m2) { return Bytes({0x01, 0xA0, m1, m2, 0, 0, 0, 0}); }
    std::string Text(int nId)
    {
        char sz[260] = "";
        GetDlgItemTextA(hPage, nId, sz, sizeof sz);
        return sz;
    }
    // The status text and whether the not-connected icon shows.
    std::pair<std::string, bool> Status()
    {
        const LONG lStyle = GetWindowLongA(GetDlgItem(hPage, IDC_RUMBLE_STATUS_ICON), GWL_STYLE);
        return {Text(IDC_RUMBLE_STATUS_TEXT), (lStyle & WS_VISIBLE) != 0};
    }
    static std::pair<std::string, bool> Expected(UINT uStringId)
    {
        char sz[260] = "";
        LoadStringA(g_hInstance, uStringId, sz, sizeof sz);
        return {sz, uStringId == IDS_NOT_CONNECTED};
    }
    DWORD Display() { return static_cast<DWORD>(GetWindowLongPtrA(GetDlgItem(hPage, IDC_RUMBLE_STICK), GWLP_USERDATA)); }
    static DWORD Pair(LONG lX, LONG lY) { return static_cast<DWORD>(lX) * 65536u + static_cast<DWORD>(lY); }

    FakeDirectInputScope scope;
    FakePad pad;
    ControllerPropertySheet* pSheet = new ControllerPropertySheet();
    HWND hParent = nullptr, hPage = nullptr;
};

TEST_F(RumblePage, StickDrivesTheMotorsAndTheDisplay)
{
    EXPECT_EQ(Text(IDC_RUMBLE_STRENGTH_TXT), "80%");
    Notify(PSN_SETACTIVE);
    Tick();
    EXPECT_EQ(pad.OpenCount(), 1);
    EXPECT_EQ(LastReport(), Rumble(0, 0));  // at rest a report still goes out
    EXPECT_EQ(Status(), Expected(IDS_CONNECTED));

    SetStick(0x8000, 0);  // Y drives motor 1
    Tick();
    EXPECT_EQ(LastReport(), Rumble(24, 0));
    EXPECT_EQ(Display(), Pair(0, -10000));
    SetStick(65535, 0x8000 + 8189);  // X drives motor 2; Y' = 2499 is inside the dead band
    Tick();
    EXPECT_EQ(LastReport(), Rumble(0, 24));
    EXPECT_EQ(Display(), Pair(10000, 2499));  // 9999 shows as 10000
    EXPECT_EQ(pad.OpenCount(), 1);

    scope.device.hrGetDeviceState = DIERR_INPUTLOST;
    const size_t cWrites = pad.Writes().size();
    Tick();
    EXPECT_EQ(pad.Writes().size(), cWrites);
    EXPECT_EQ(Display(), Pair(0, 0));
}

TEST_F(RumblePage, BothMotorsTestEndsOnTheFirstTickPastItsTime)
{
    Notify(PSN_SETACTIVE);
    for (DWORD dwStart : {1000u, 0xFFFFFF00u}) {  // the second run crosses the clock's wrap
        g_dwNow = dwStart;
        Click(IDC_RUMBLE_START);
        Tick();
        EXPECT_EQ(LastReport(), Rumble(24, 24));
        g_dwNow = dwStart + 3800;
        Tick();
        EXPECT_EQ(LastReport(), Rumble(24, 24)) << dwStart;
        g_dwNow = dwStart + 3801;
        Tick();
        EXPECT_EQ(LastReport(), Rumble(0, 0)) << dwStart;
    }
    Click(IDC_RUMBLE_START);
    Tick();
    Click(IDC_RUMBLE_STOP);
    Tick();
    EXPECT_EQ(LastReport(), Rumble(0, 0));
}

TEST_F(RumblePage, LeavingSendsOneZeroReportAndClosesThePad)
{
    Notify(PSN_SETACTIVE);
    Click(IDC_RUMBLE_START);
    Tick();
    pad.ClearLog();
    Notify(PSN_KILLACTIVE);
    EXPECT_EQ(pad.Writes(), std::vector<std::vector<BYTE>>{Rumble(0, 0)});
    EXPECT_EQ(pad.OpenHandles(), 0);
    EXPECT_EQ(scope.device.nUnacquire, 1);

    Notify(PSN_SETACTIVE);  // back in follow-stick mode
    Tick();
    EXPECT_EQ(LastReport(), Rumble(0, 0));
    pad.ClearLog();
    DestroyWindow(hPage);
    EXPECT_EQ(pad.Writes(), std::vector<std::vector<BYTE>>{Rumble(0, 0)});
    EXPECT_EQ(pad.OpenHandles(), 0);
}

// Another page closed the shared handle first: motors this page started are still stopped,
// through a handle opened for that report alone; motors at rest need none.
TEST_F(RumblePage, LeavingWithoutAHandleStillStopsMotorsItStarted)
{
    Notify(PSN_SETACTIVE);
    Tick();
    ClosePadHandle();
    pad.ClearLog();
    Notify(PSN_KILLACTIVE);
    EXPECT_TRUE(pad.Log().empty());

    Notify(PSN_SETACTIVE);
    SetStick(0, 0x8000);
    Tick();
    ClosePadHandle();
    pad.ClearLog();
    Notify(PSN_KILLACTIVE);
    EXPECT_EQ(pad.Writes(), std::vector<std::vector<BYTE>>{Rumble(0, 0)});
    EXPECT_EQ(pad.OpenHandles(), 0);

    Notify(PSN_SETACTIVE);
    SetStick(0x8000, 0x8000);
    Click(IDC_RUMBLE_START);
    Tick();
    ClosePadHandle();
    pad.ClearLog();
    DestroyWindow(hPage);
    EXPECT_EQ(pad.Writes(), std::vector<std::vector<BYTE>>{Rumble(0, 0)});
    EXPECT_EQ(pad.OpenHandles(), 0);
}

TEST_F(RumblePage, StickOutOfRangeCountsAsTheRangesEnd)
{
    const DWORD dwFull = 100;
    WriteValue(PadKey(), "Amplify", REG_DWORD, &dwFull, 4);
    Notify(PSN_SETACTIVE);
    SetStick(70000, -5000);  // as 65535 and 0
    Tick();
    EXPECT_EQ(LastReport(), Rumble(31, 30));
    EXPECT_EQ(Display(), Pair(10000, -10000));
    SetStick(LONG_MIN, LONG_MAX);
    Tick();
    EXPECT_EQ(LastReport(), Rumble(30, 31));
    EXPECT_EQ(Display(), Pair(-10000, 10000));
}

TEST_F(RumblePage, StrengthComesFromTheRegistryAndIsStored)
{
    const DWORD dwStored = 150;
    WriteValue(PadKey(), "Amplify", REG_DWORD, &dwStored, 4);
    Notify(PSN_SETACTIVE);
    EXPECT_EQ(Text(IDC_RUMBLE_STRENGTH_TXT), "100%");  // what the trackbar can hold
    Click(IDC_RUMBLE_START);
    Tick();
    EXPECT_EQ(LastReport(), Rumble(31, 31));

    SendDlgItemMessageA(hPage, IDC_RUMBLE_STRENGTH, TBM_SETPOS, TRUE, 0);
    SendMessageA(hPage, WM_HSCROLL, TB_THUMBPOSITION,
                 reinterpret_cast<LPARAM>(GetDlgItem(hPage, IDC_RUMBLE_STRENGTH)));
    EXPECT_EQ(Text(IDC_RUMBLE_STRENGTH_TXT), "0%");
    EXPECT_EQ(ReadDword(PadKey(), "Amplify"), 0);
    Tick();
    EXPECT_EQ(LastReport(), Rumble(0, 0));  // strength 0 silences the test too

    // A value of another type is not taken.
    WriteValue(PadKey(), "Amplify", REG_SZ, "90", 3);
    Notify(PSN_SETACTIVE);
    EXPECT_EQ(Text(IDC_RUMBLE_STRENGTH_TXT), "0%");
}

TEST_F(RumblePage, LosingThePadSilencesItOnceAndFindingItAgainReopens)
{
    Notify(PSN_SETACTIVE);
    SetStick(0x8000, 0);
    Tick();
    pad.ClearLog();

    scope.device.hrAcquire = DIERR_INPUTLOST;
    Tick();
    Tick();
    EXPECT_EQ(pad.Writes(), std::vector<std::vector<BYTE>>{Rumble(0, 0)});
    EXPECT_EQ(pad.OpenHandles(), 0);
    EXPECT_EQ(Status(), Expected(IDS_NOT_CONNECTED));

    scope.device.hrAcquire = S_FALSE;  // already acquired counts as connected
    Tick();
    EXPECT_EQ(Status(), Expected(IDS_CONNECTED));
    EXPECT_EQ(pad.OpenCount(), 2);
    EXPECT_EQ(LastReport(), Rumble(24, 0));
}

} // namespace
