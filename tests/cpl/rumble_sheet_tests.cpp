// The test page and the rumble test page in one real, modeless property sheet with the fake
// pad: the motors stop however the sheet closes, and a page that is not active never takes
// the pad's handle from the one that is. Driven by messages, waiting only for what the pad sees.
#include "FakeDirectInput.h"
#include "FakePad.h"
#include "Module.h"
#include "PropertySheet.h"
#include "RumblePage.h"
#include "keymap_test_util.h"
#include "res_rumble.h"
#include "watchdog.h"

#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

enum class Closing { CancelButton, OkButton, EscapeKey, CloseBox };
enum class Driving { Stick, BothMotorsTest };

// The timed test never runs out on its own, however slow the machine.
DWORD StoppedClock() { return 1000; }

// The sheet is made hidden: a shown window waits for a window manager, which Xvfb lacks, for
// two seconds when it goes. Its pages work the same.
int CALLBACK KeepSheetHidden(HWND, UINT uMsg, LPARAM lParam)
{
    if (uMsg == PSCB_PRECREATE) {
        WORD* pwTemplate = reinterpret_cast<WORD*>(lParam);
        const bool fExtended = pwTemplate[1] == 0xFFFF;
        DWORD* pdwStyle = reinterpret_cast<DWORD*>(pwTemplate + (fExtended ? 6 : 0));
        *pdwStyle &= ~static_cast<DWORD>(WS_VISIBLE);
    }
    return 0;
}

class RumbleSheet : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearPadSettings();  // strength 80: both motors at 24
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&icc);
        SetRumbleClock(StoppedClock);
        ASSERT_EQ(pSheet->Initialize(), S_OK);
        hSheet = CreateSheet();
        ASSERT_NE(hSheet, nullptr);
        // The test page shows first and polls the pad.
        ASSERT_TRUE(PumpUntil([&] { return pad.OpenHandles() == 1; }));
    }
    void TearDown() override
    {
        if (IsWindow(hSheet))
            DestroyWindow(hSheet);
        pSheet->Release();
        SetRumbleClock(nullptr);
        ClearPadSettings();
    }

    // The sheet as the panel builds it from the sheet object's records.
    HWND CreateSheet()
    {
        DIGCSHEETINFO* pInfo = nullptr;
        DIGCPAGEINFO* pPageInfo = nullptr;
        pSheet->GetSheetInfo(&pInfo);
        pSheet->GetPageInfo(&pPageInfo);
        for (int i = 0; i < ControllerPropertySheet::kPageCount; ++i) {
            pages[i].dwSize = sizeof pages[i];
            pages[i].hInstance = pPageInfo[i].hInstance;
            pages[i].pszTemplate = pPageInfo[i].lpwszTemplate;
            pages[i].pfnDlgProc = pPageInfo[i].fpPageProc;
            pages[i].lParam = pPageInfo[i].lParam;
        }
        PROPSHEETHEADERW header = {};
        header.dwSize = sizeof header;
        header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_MODELESS | PSH_USECALLBACK;
        header.pfnCallback = KeepSheetHidden;
        header.hInstance = g_hInstance;
        header.pszCaption = pInfo->lpwszSheetCaption;
        header.nPages = pInfo->nNumPages;
        header.ppsp = pages;
        return reinterpret_cast<HWND>(PropertySheetW(&header));
    }

    // Runs the sheet's messages, its pages' timers included, until pred holds.
    template <typename Pred>
    bool PumpUntil(Pred pred)
    {
        return WaitUntil([&] {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (!IsWindow(hSheet) || !PropSheet_IsDialogMessage(hSheet, &msg)) {
                    TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
            }
            return pred();
        }, 10000);
    }

    // Shows the rumble page and waits until both motors run at 24.
    void DriveBothMotors(Driving driving)
    {
        DIJOYSTATE& state = scope.device.state;
        state.lX = state.lY = driving == Driving::Stick ? 0 : 0x8000;
        PropSheet_SetCurSel(hSheet, nullptr, 1);
        if (driving == Driving::BothMotorsTest)
            SendMessageW(PropSheet_IndexToHwnd(hSheet, 1), WM_COMMAND,
                         MAKEWPARAM(IDC_RUMBLE_START, BN_CLICKED), 0);
        ASSERT_TRUE(PumpUntil([&] { return pad.LastMotor1() == 24 && pad.LastMotor2() == 24; }));
    }

    int PadReads() const
    {
        int nReads = 0;
        for (const FakePad::Entry& entry : pad.Log())
            nReads += entry.op == FakePad::Op::ReadInput;
        return nReads;
    }

    FakeDirectInputScope scope;
    FakePad pad;
    ControllerPropertySheet* pSheet = new ControllerPropertySheet();
    PROPSHEETPAGEW pages[ControllerPropertySheet::kPageCount] = {};
    HWND hSheet = nullptr;
};

std::string CaseName(const ::testing::TestParamInfo<std::tuple<Closing, Driving>>& info)
{
    static const char* const rgszClosing[] = {"Cancel", "Ok", "Escape", "CloseBox"};
    static const char* const rgszDriving[] = {"Stick", "BothMotorsTest"};
    return std::string(rgszClosing[static_cast<int>(std::get<0>(info.param))]) + "_" +
           rgszDriving[static_cast<int>(std::get<1>(info.param))];
}

class RumbleSheetClosing : public RumbleSheet,
                           public ::testing::WithParamInterface<std::tuple<Closing, Driving>> {};

TEST_P(RumbleSheetClosing, LastReportStopsTheMotors)
{
    const Closing closing = std::get<0>(GetParam());
    ASSERT_NO_FATAL_FAILURE(DriveBothMotors(std::get<1>(GetParam())));

    switch (closing) {
    case Closing::CancelButton: PropSheet_PressButton(hSheet, PSBTN_CANCEL); break;
    case Closing::OkButton: PropSheet_PressButton(hSheet, PSBTN_OK); break;
    case Closing::EscapeKey:  // the dialog manager turns it into IDCANCEL
        PostMessageW(GetDlgItem(hSheet, IDCANCEL), WM_KEYDOWN, VK_ESCAPE, 0);
        break;
    case Closing::CloseBox: PostMessageW(hSheet, WM_SYSCOMMAND, SC_CLOSE, 0); break;
    }
    // A modeless sheet that was closed has no current page; its owner then destroys it.
    ASSERT_TRUE(PumpUntil([&] { return PropSheet_GetCurrentPageHwnd(hSheet) == nullptr; }));
    DestroyWindow(hSheet);

    EXPECT_EQ(pad.Writes().back(), Bytes({0x01, 0xA0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(pad.OpenHandles(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    EveryWay, RumbleSheetClosing,
    ::testing::Combine(::testing::Values(Closing::CancelButton, Closing::OkButton,
                                         Closing::EscapeKey, Closing::CloseBox),
                       ::testing::Values(Driving::Stick, Driving::BothMotorsTest)),
    CaseName);

// The sheet drops a page that is not shown; the shown page keeps polling on its handle.
TEST_F(RumbleSheet, DroppingTheTestPageLeavesTheRumblePageItsHandle)
{
    ASSERT_NO_FATAL_FAILURE(DriveBothMotors(Driving::Stick));
    const int nCloses = pad.CloseCount();
    const size_t cWrites = pad.Writes().size();
    PropSheet_RemovePage(hSheet, 0, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return pad.Writes().size() >= cWrites + 2; }));
    EXPECT_EQ(pad.CloseCount(), nCloses);
    EXPECT_EQ(pad.LastMotor1(), 24);
}

TEST_F(RumbleSheet, DroppingTheRumblePageLeavesTheTestPageItsHandle)
{
    ASSERT_NO_FATAL_FAILURE(DriveBothMotors(Driving::Stick));
    PropSheet_SetCurSel(hSheet, nullptr, 0);  // the rumble page stops its motors as it goes
    pad.ClearLog();
    ASSERT_TRUE(PumpUntil([&] { return PadReads() > 0; }));
    const int nCloses = pad.CloseCount();
    pad.ClearLog();
    PropSheet_RemovePage(hSheet, 1, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return PadReads() >= 2; }));
    EXPECT_EQ(pad.CloseCount(), nCloses);
    EXPECT_TRUE(pad.Writes().empty());
}

}  // namespace
