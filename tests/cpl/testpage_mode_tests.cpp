// The test page's poll: connection status, mode lamps from input byte 11, the switch between
// the two views and the key-map restore that goes with a change of mode.
#include "testpage_harness.h"

#include "Module.h"
#include "PadAccess.h"
#include "TestPage.h"
#include "watchdog.h"

#include <algorithm>

namespace {

constexpr DWORD kLitModeLamp = 0x000100FF;  // rectangular lamp, red 255
constexpr DWORD kDimModeLamp = 0x00010096;  // rectangular lamp, red 150

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// A pad that sends no input report: every read waits out its whole timeout. Everything else
// goes to the fake pad.
class SilentPadTransport final : public PadTransport {
public:
    explicit SilentPadTransport(PadTransport& inner) : m_inner(inner) {}
    int nReads = 0;

    HANDLE Open(const char* pszPath) override { return m_inner.Open(pszPath); }
    BOOL Write(HANDLE h, const BYTE* pb, DWORD cb, DWORD* pcb) override
    {
        return m_inner.Write(h, pb, cb, pcb);
    }
    BOOL GetFeature(HANDLE h, BYTE* pb, DWORD cb) override { return m_inner.GetFeature(h, pb, cb); }
    BOOL ReadInput(HANDLE, BYTE*, DWORD, DWORD* pcbRead, DWORD dwTimeoutMs) override
    {
        ++nReads;
        *pcbRead = 0;
        Sleep(dwTimeoutMs);
        SetLastError(ERROR_TIMEOUT);
        return FALSE;
    }
    BOOL Close(HANDLE h) override { return m_inner.Close(h); }

private:
    PadTransport& m_inner;
};

std::string LoadModuleString(UINT uId)
{
    char sz[MAX_PATH] = "";
    LoadStringA(g_hInstance, uId, sz, sizeof sz);
    return sz;
}

class TestPageModeTest : public TestPageTest {
protected:
    void SetUp() override
    {
        TestPageTest::SetUp();
        CreatePage();
        Activate();
    }

    void ExpectLamps(DWORD dwMode0, DWORD dwMode1, DWORD dwMode2)
    {
        EXPECT_EQ(dwMode0, UserData(2020));
        EXPECT_EQ(dwMode1, UserData(2021));
        EXPECT_EQ(dwMode2, UserData(2022));
    }

    void ExpectControllerView()
    {
        EXPECT_TRUE(IsShown(1055));
        EXPECT_TRUE(IsShown(2015));
        EXPECT_FALSE(IsShown(1090));
        EXPECT_FALSE(IsShown(3096));
    }

    void ExpectKeyMapView()
    {
        EXPECT_FALSE(IsShown(1055));
        EXPECT_FALSE(IsShown(2015));
        EXPECT_TRUE(IsShown(1090));
        EXPECT_TRUE(IsShown(3073));
        EXPECT_TRUE(IsShown(1115));
        EXPECT_TRUE(IsShown(1091));
    }

    // Every slot of a mode stored in the registry, slot n with the code 3 + n.
    static void StoreWholeMap(int nMode)
    {
        for (int nSlot = 1; nSlot <= 24; ++nSlot)
            StoreRegistrySlot(nMode, nSlot, static_cast<BYTE>(3 + nSlot + 30 * (nMode - 1)));
    }
};

TEST_F(TestPageModeTest, ViewsStayHiddenUntilTheFirstTick)
{
    EXPECT_FALSE(IsShown(1055));
    EXPECT_FALSE(IsShown(1090));
    EXPECT_FALSE(IsShown(1024));
    ExpectLamps(kDimModeLamp, kDimModeLamp, kDimModeLamp);
    EXPECT_EQ(0x00000096u, UserData(2000));  // oval lamp, dim
    EXPECT_EQ(2, ComboCount(1));
    EXPECT_EQ("Keyboard...", ComboEntryText(24, 1));

    // The opened list has room for both entries below the selection field.
    for (int nSlot : {1, 16, 17, 24}) {
        HWND hCombo = GetDlgItem(hPage, 3072 + nSlot);
        RECT rcDropped = {}, rcField = {};
        SendMessageA(hCombo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&rcDropped));
        GetWindowRect(hCombo, &rcField);
        const LONG cyItem = static_cast<LONG>(SendMessageA(hCombo, CB_GETITEMHEIGHT, 0, 0));
        EXPECT_GE(rcDropped.bottom - rcDropped.top, (rcField.bottom - rcField.top) + 2 * cyItem)
            << "slot " << nSlot;
    }
}

TEST_F(TestPageModeTest, ModeByteLightsLampsAndPicksTheFirstSetBit)
{
    TickInMode(0x30);  // modes 0 and 1 both flagged: the first wins
    ExpectLamps(kLitModeLamp, kLitModeLamp, kDimModeLamp);
    ExpectControllerView();

    TickInMode(0x00);  // no mode bit: mode 0, every lamp dim
    ExpectLamps(kDimModeLamp, kDimModeLamp, kDimModeLamp);
    ExpectControllerView();

    TickInMode(0x6F);  // modes 1 and 2: mode 1; the low bits mean nothing
    ExpectLamps(kDimModeLamp, kLitModeLamp, kLitModeLamp);
    ExpectKeyMapView();

    TickInMode(0x40);
    ExpectLamps(kDimModeLamp, kDimModeLamp, kLitModeLamp);
    ExpectKeyMapView();
}

TEST_F(TestPageModeTest, EachChangeOfModeRestoresAndRefreshesOnce)
{
    StoreWholeMap(1);
    StoreWholeMap(2);
    TickInMode(0x10);
    EXPECT_TRUE(pad.Writes().empty());

    pad.ClearLog();
    TickInMode(0x20);
    auto sets = WritesWithCommand(0xA1);
    ASSERT_EQ(24u, sets.size());
    EXPECT_EQ((std::vector<BYTE>{0x01, 0xA1, 0x01, 0x04, 0, 0, 0, 0}), sets.front());
    EXPECT_EQ((std::vector<BYTE>{0x01, 0xA1, 0x18, 0x1B, 0, 0, 0, 0}), sets.back());
    auto queries = WritesWithCommand(0xB1);
    ASSERT_EQ(24u, queries.size());
    EXPECT_EQ((std::vector<BYTE>{0x01, 0xB1, 0x18, 0, 0, 0, 0, 0}), queries.back());
    // The restore comes first, then the read-back.
    EXPECT_EQ(0xA1, pad.Writes().front()[1]);
    EXPECT_EQ(0xB1, pad.Writes().back()[1]);
    EXPECT_EQ((std::vector<BYTE>{0x04, 0, 0, 0}), pad.Keys(1));
    EXPECT_EQ(" A ", ComboEntryText(1, 1));
    EXPECT_EQ(1, ComboSelection(1));

    pad.ClearLog();
    TickInMode(0x20);
    TickInMode(0x20);
    EXPECT_TRUE(pad.Writes().empty());

    pad.ClearLog();
    TickInMode(0x40);
    EXPECT_EQ(24u, WritesWithCommand(0xA1).size());
    EXPECT_EQ(24u, WritesWithCommand(0xB1).size());
    EXPECT_EQ((std::vector<BYTE>{34, 0, 0, 0}), pad.Keys(1));

    // Back through mode 0: the next key mode is restored again.
    TickInMode(0x10);
    pad.ClearLog();
    TickInMode(0x40);
    EXPECT_EQ(24u, WritesWithCommand(0xA1).size());
    EXPECT_EQ(24u, WritesWithCommand(0xB1).size());
}

TEST_F(TestPageModeTest, ShortOrMissingInputReportChangesNothing)
{
    StoreWholeMap(1);
    TickInMode(0x10);
    pad.ClearLog();

    pad.SetShortInput(true);
    TickInMode(0x20);
    ExpectLamps(kLitModeLamp, kDimModeLamp, kDimModeLamp);
    ExpectControllerView();
    EXPECT_TRUE(pad.Writes().empty());

    pad.SetShortInput(false);
    pad.SetSilent(true);
    TickInMode(0x20);
    ExpectControllerView();
    EXPECT_TRUE(pad.Writes().empty());

    // The next full report switches, and restores once.
    pad.SetSilent(false);
    TickInMode(0x20);
    ExpectKeyMapView();
    EXPECT_EQ(24u, WritesWithCommand(0xA1).size());
}

TEST_F(TestPageModeTest, DisconnectShowsTheStatusAndClosesTheHandleSilently)
{
    TickInMode(0x20);
    ASSERT_EQ(1, pad.OpenHandles());
    pad.ClearLog();

    di.device.hrAcquire = DIERR_INPUTLOST;
    Tick();
    EXPECT_TRUE(IsShown(1024));
    EXPECT_TRUE(IsShown(1037));
    EXPECT_EQ(LoadModuleString(IDS_NOT_CONNECTED), ItemText(1024));
    EXPECT_FALSE(IsShown(1055));
    EXPECT_FALSE(IsShown(1090));
    EXPECT_EQ(0, pad.OpenHandles());
    EXPECT_EQ(nullptr, PadHandle);
    EXPECT_TRUE(pad.Writes().empty());
    // The mode lamps keep their last state.
    ExpectLamps(kDimModeLamp, kLitModeLamp, kDimModeLamp);
    Tick();
    EXPECT_EQ(1, pad.CloseCount());

    // Back again (S_FALSE: acquired already): status hidden, the key map restored afresh.
    StoreWholeMap(1);
    di.device.hrAcquire = S_FALSE;
    TickInMode(0x20);
    EXPECT_FALSE(IsShown(1024));
    EXPECT_FALSE(IsShown(1037));
    EXPECT_EQ(LoadModuleString(IDS_CONNECTED), ItemText(1024));
    ExpectKeyMapView();
    EXPECT_EQ(24u, WritesWithCommand(0xA1).size());
    EXPECT_EQ(1, pad.OpenHandles());
}

TEST_F(TestPageModeTest, FailedStateReadOrHandleOpenEndsTheTick)
{
    di.device.hrGetDeviceState = DIERR_NOTACQUIRED;
    TickInMode(0x20);
    EXPECT_FALSE(IsShown(1090));
    EXPECT_EQ(0, pad.OpenCount());

    di.device.hrGetDeviceState = DI_OK;
    pad.Unplug();
    TickInMode(0x20);
    EXPECT_FALSE(IsShown(1090));
    EXPECT_EQ(nullptr, PadHandle);

    pad.Plug();
    TickInMode(0x20);
    ExpectKeyMapView();
}

TEST_F(TestPageModeTest, LeavingThePageClosesTheHandleAndForgetsTheMode)
{
    StoreWholeMap(1);
    TickInMode(0x20);
    pad.ClearLog();
    Deactivate();
    EXPECT_EQ(0, pad.OpenHandles());
    EXPECT_TRUE(pad.Writes().empty());

    Activate();
    TickInMode(0x20);
    EXPECT_EQ(24u, WritesWithCommand(0xA1).size());
}

TEST_F(TestPageModeTest, SilentPadNeverHoldsTheTickBeyondOneTimerPeriod)
{
    SilentPadTransport silent(pad);
    PadTransport* pPrevious = SetPadTransport(&silent);
    LARGE_INTEGER freq, start, end;
    QueryPerformanceFrequency(&freq);
    double dQuickestMs = 1e9;
    const ULONGLONG ullStart = GetTickCount64();
    for (int i = 0; i < 20; ++i) {
        QueryPerformanceCounter(&start);
        Tick();
        QueryPerformanceCounter(&end);
        const double dMs = (end.QuadPart - start.QuadPart) * 1000.0 / freq.QuadPart;
        dQuickestMs = std::min(dQuickestMs, dMs);
    }
    const ULONGLONG ullElapsed = GetTickCount64() - ullStart;
    SetPadTransport(pPrevious);

    EXPECT_EQ(20, silent.nReads);
    // Every tick waits the silent pad out. A busy machine only lengthens ticks, so the quickest
    // of them shows the wait itself: it must end within one timer period.
    EXPECT_LT(dQuickestMs, static_cast<double>(kTestPageTimerMs));
    EXPECT_LT(ullElapsed, 2000u);  // 20 ticks of at most ~10 ms each, with room for Wine
    EXPECT_FALSE(IsShown(1055));
    EXPECT_FALSE(IsShown(1090));
}

TEST_F(TestPageModeTest, TimerPollsOnlyWhileThePageIsActive)
{
    pad.SetModeByte(0x20);
    EXPECT_TRUE(WaitUntil([&] { PumpMessages(); return IsShown(1090); }, 5000));

    Deactivate();
    pad.ClearLog();
    WaitUntil([&] { PumpMessages(); return false; }, 300);
    EXPECT_TRUE(pad.Log().empty());
}

TEST_F(TestPageModeTest, DestroyingThePageMidPollLeavesNoHandle)
{
    TickInMode(0x20);
    DestroyWindow(hPage);
    hPage = nullptr;
    EXPECT_EQ(0, pad.OpenHandles());
    EXPECT_EQ(nullptr, PadHandle);
}

}  // namespace
