// The controller view in mode 0: bars, cross-hair, button lamps and both hats.
#include "testpage_harness.h"

#include "TestPageValues.h"

#include <climits>

namespace {

constexpr DWORD Bar(DWORD dwKind, DWORD dwLevel) { return dwKind * 65536 + dwLevel; }

TEST(TestPageValues, BarLevelsAtTheAxisEdges)
{
    EXPECT_EQ(100u, InvertedBarLevel(0));
    EXPECT_EQ(100u, InvertedBarLevel(255));
    EXPECT_EQ(99u, InvertedBarLevel(256));
    EXPECT_EQ(49u, InvertedBarLevel(32768));
    EXPECT_EQ(0u, InvertedBarLevel(65535));
    EXPECT_EQ(0u, RisingBarLevel(0));
    EXPECT_EQ(50u, RisingBarLevel(32768));
    EXPECT_EQ(100u, RisingBarLevel(65535));
    // Outside the range: the range's ends.
    EXPECT_EQ(100u, InvertedBarLevel(LONG_MIN));
    EXPECT_EQ(0u, InvertedBarLevel(70000));
    EXPECT_EQ(0u, RisingBarLevel(-1));
    EXPECT_EQ(100u, RisingBarLevel(LONG_MAX));
}

TEST(TestPageValues, EveryHatCode)
{
    const DWORD kCentred = 0xFFFFFFFF;
    const DWORD rgdwExpected[16] = {kCentred, 0,     9000,     4500,  18000, kCentred,
                                    13500,    kCentred, 27000, 31500, kCentred, kCentred,
                                    22500,    kCentred, kCentred, kCentred};
    for (unsigned uCode = 0; uCode < 16; ++uCode) {
        const BYTE rgbButtons[4] = {
            static_cast<BYTE>(uCode & 1 ? 0x80 : 0), static_cast<BYTE>(uCode & 2 ? 0x01 : 0),
            static_cast<BYTE>(uCode & 4 ? 0xFF : 0), static_cast<BYTE>(uCode & 8 ? 0x80 : 0)};
        EXPECT_EQ(uCode, HatCodeFromButtons(rgbButtons));
        EXPECT_EQ(rgdwExpected[uCode], PovFromHatCode(uCode)) << "hat code " << uCode;
    }
}

class TestPageDisplayTest : public TestPageTest {
protected:
    void SetUp() override
    {
        TestPageTest::SetUp();
        CreatePage();
        Activate();
        pad.SetModeByte(0x10);
    }

    DIJOYSTATE& State() { return di.device.state; }
};

TEST_F(TestPageDisplayTest, BarsFollowTheirAxes)
{
    State().lRx = 65535;
    State().lRy = 32768;
    State().lZ = 1000;
    State().lRz = 32768;
    State().rglSlider[0] = 65535;
    Tick();
    EXPECT_EQ(Bar(0, 0), UserData(1019));
    EXPECT_EQ(Bar(0, 49), UserData(1020));
    EXPECT_EQ(Bar(0, 98), UserData(1021));
    EXPECT_EQ(Bar(2, 50), UserData(1022));
    EXPECT_EQ(Bar(1, 0), UserData(1063));

    State().lRx = 0;
    State().lRz = 65535;
    State().rglSlider[0] = 0;
    Tick();
    EXPECT_EQ(Bar(0, 100), UserData(1019));
    EXPECT_EQ(Bar(2, 100), UserData(1022));
    EXPECT_EQ(Bar(1, 100), UserData(1063));

    State().lRx = 32768;
    Tick();
    EXPECT_EQ(Bar(0, 49), UserData(1019));
}

TEST_F(TestPageDisplayTest, FirstStateIsDrawnWholeEvenAtZero)
{
    Tick();
    EXPECT_EQ(Bar(0, 100), UserData(1019));
    EXPECT_EQ(Bar(0, 100), UserData(1021));
    EXPECT_EQ(Bar(2, 0), UserData(1022));
    EXPECT_EQ(Bar(1, 100), UserData(1063));
    EXPECT_EQ(0x00000000u, UserData(1012));
    EXPECT_EQ(0x00000096u, UserData(2000));

    // After that only what moved is set again.
    SetWindowLongPtrA(GetDlgItem(hPage, 1019), GWLP_USERDATA, 0);
    State().lRy = 65535;
    Tick();
    EXPECT_EQ(0u, UserData(1019));
    EXPECT_EQ(Bar(0, 0), UserData(1020));
}

// A page made again in the same module draws the state afresh, sources that did not move
// since the earlier page included.
TEST_F(TestPageDisplayTest, NewPageDrawsWhatTheOldOneShowed)
{
    State().lRy = 32768;
    Tick();
    DestroyWindow(hPage);
    CreatePage();
    Activate();
    EXPECT_EQ(0u, UserData(1020));
    Tick();
    EXPECT_EQ(Bar(0, 49), UserData(1020));
}

TEST_F(TestPageDisplayTest, CrossHairAndButtonLamps)
{
    State().lX = 0x1234;
    State().lY = 0xFFFF;
    State().rgbButtons[0] = 0x80;
    State().rgbButtons[15] = 0x01;  // any non-zero byte lights the lamp
    Tick();
    EXPECT_EQ(0x1234FFFFu, UserData(1012));
    EXPECT_EQ(0x000000FFu, UserData(2000));
    EXPECT_EQ(0x000000FFu, UserData(2015));
    EXPECT_EQ(0x00000096u, UserData(2001));

    State().rgbButtons[0] = 0;
    Tick();
    EXPECT_EQ(0x00000096u, UserData(2000));
}

// Values from another axis range keep each display's kind and stay inside it.
TEST_F(TestPageDisplayTest, AxesOutOfRangeShowAsTheRangesEnds)
{
    State().lRz = -1000;
    State().rglSlider[0] = 70000;
    State().lX = 70000;
    State().lY = -1;
    Tick();
    EXPECT_EQ(Bar(2, 0), UserData(1022));
    EXPECT_EQ(Bar(1, 0), UserData(1063));
    EXPECT_EQ(0xFFFF0000u, UserData(1012));
}

TEST_F(TestPageDisplayTest, HatsAreSetOnEveryTick)
{
    State().rgdwPOV[0] = 27000;
    State().rgbButtons[16] = 0x80;  // up
    State().rgbButtons[17] = 0x80;  // right
    Tick();
    EXPECT_EQ(27000u, UserData(1014));
    EXPECT_EQ(4500u, UserData(1015));

    State().rgbButtons[18] = 0x80;  // three directions: centred
    Tick();
    EXPECT_EQ(0xFFFFFFFFu, UserData(1015));

    State().rgbButtons[17] = 0;  // up and down: centred
    Tick();
    EXPECT_EQ(0xFFFFFFFFu, UserData(1015));

    // A control repainted by someone else is set again on the next tick, unchanged source.
    SetWindowLongPtrA(GetDlgItem(hPage, 1014), GWLP_USERDATA, 0);
    Tick();
    EXPECT_EQ(27000u, UserData(1014));
}

}  // namespace
