// The display controls drawn in real windows, checked pixel by pixel at the edge cases of
// their geometry.
#include "Controls.h"
#include "Module.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kDarkLine = RGB(64, 64, 64);
constexpr COLORREF kGreyArrow = RGB(128, 128, 128);

// A visible top-level window that plays the page, with the controls as its children.
class ControlPage : public ::testing::Test {
protected:
    // One page window for all tests: hiding a top-level window waits for a window manager
    // that Xvfb does not have.
    static void SetUpTestSuite()
    {
        RegisterDisplayControlClasses(g_hInstance);
        s_hPage = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 400,
                                  300, nullptr, nullptr, nullptr, nullptr);
    }

    static void TearDownTestSuite() { DestroyWindow(s_hPage); }

    void SetUp() override
    {
        hPage = s_hPage;
        ASSERT_NE(hPage, nullptr);
    }

    void TearDown() override
    {
        while (HWND hChild = GetWindow(hPage, GW_CHILD))
            DestroyWindow(hChild);
        Settle();
    }

    // A control's data word as the window holds it: the 32-bit LONG, which a 64-bit window's
    // wider slot holds sign-extended.
    LONG_PTR DataWord(int nId) const
    {
        return GetWindowLongPtrA(GetDlgItem(hPage, nId), GWLP_USERDATA);
    }
    static LONG_PTR Word(DWORD dw) { return static_cast<LONG_PTR>(static_cast<LONG>(dw)); }

    HWND Add(const char* pszClass, int nId, int nWidth, int nHeight, const char* pszText = "")
    {
        HWND hCtrl = CreateWindowExA(0, pszClass, pszText, WS_CHILD | WS_VISIBLE, 10, 10, nWidth,
                                     nHeight, hPage, reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)),
                                     g_hInstance, nullptr);
        EXPECT_NE(hCtrl, nullptr) << pszClass;
        RECT rc;
        GetClientRect(hCtrl, &rc);
        EXPECT_EQ(rc.right, nWidth);
        EXPECT_EQ(rc.bottom, nHeight);
        Settle();
        return hCtrl;
    }

    // Lets every pending paint happen.
    void Settle()
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }

    void Set(int nId, DWORD dwKind, DWORD dwValue)
    {
        SetControlValue(hPage, nId, dwKind, dwValue);
        Settle();
        m_shots.erase(nId);
    }

    void SetPov(int nId, DWORD dwValue)
    {
        SetPovValue(hPage, nId, dwValue);
        m_shots.erase(nId);
    }

    // Pixels come from one copy of the control per state: reading the window pixel by pixel
    // is slow under Wine.
    COLORREF Pixel(int nId, int x, int y)
    {
        auto it = m_shots.find(nId);
        if (it == m_shots.end())
            it = m_shots.emplace(nId, Capture(GetDlgItem(hPage, nId))).first;
        const Shot& shot = it->second;
        if (x < 0 || y < 0 || x >= shot.nWidth || y >= shot.nHeight)
            return CLR_INVALID;
        const DWORD dwBgrx = shot.pixels[static_cast<size_t>(y) * shot.nWidth + x];
        return RGB((dwBgrx >> 16) & 0xFF, (dwBgrx >> 8) & 0xFF, dwBgrx & 0xFF);
    }

    // "x" where the pixels along a row (or column) have the colour, "." where not.
    std::string Pattern(int nId, int nFixed, int nFrom, int nTo, COLORREF rgb, bool fRow = true)
    {
        std::string s;
        for (int n = nFrom; n < nTo; ++n)
            s += Pixel(nId, fRow ? n : nFixed, fRow ? nFixed : n) == rgb ? 'x' : '.';
        return s;
    }

    // First and one-past-last position of the colour along a row (or column), as "first-end".
    std::string Span(int nId, int nFixed, int nLength, COLORREF rgb, bool fRow = true)
    {
        std::string s = Pattern(nId, nFixed, 0, nLength, rgb, fRow);
        size_t nFirst = s.find('x');
        if (nFirst == std::string::npos)
            return "none";
        return std::to_string(nFirst) + "-" + std::to_string(s.rfind('x') + 1);
    }

    HWND hPage = nullptr;
    static HWND s_hPage;

private:
    struct Shot {
        int nWidth = 0, nHeight = 0;
        std::vector<DWORD> pixels;
    };

    static Shot Capture(HWND hCtrl)
    {
        Shot shot;
        RECT rc;
        GetClientRect(hCtrl, &rc);
        shot.nWidth = rc.right;
        shot.nHeight = rc.bottom;
        shot.pixels.resize(static_cast<size_t>(shot.nWidth) * shot.nHeight);
        HDC hdcWindow = GetDC(hCtrl);
        HDC hdcMem = CreateCompatibleDC(hdcWindow);
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
        bmi.bmiHeader.biWidth = shot.nWidth;
        bmi.bmiHeader.biHeight = -shot.nHeight;  // top-down
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        void* pvBits = nullptr;
        HBITMAP hBitmap = CreateDIBSection(hdcMem, &bmi, DIB_RGB_COLORS, &pvBits, nullptr, 0);
        HGDIOBJ hOld = SelectObject(hdcMem, hBitmap);
        BitBlt(hdcMem, 0, 0, shot.nWidth, shot.nHeight, hdcWindow, 0, 0, SRCCOPY);
        GdiFlush();
        memcpy(shot.pixels.data(), pvBits, shot.pixels.size() * sizeof(DWORD));
        SelectObject(hdcMem, hOld);
        DeleteObject(hBitmap);
        DeleteDC(hdcMem);
        ReleaseDC(hCtrl, hdcWindow);
        return shot;
    }

    std::map<int, Shot> m_shots;
};

HWND ControlPage::s_hPage = nullptr;

TEST_F(ControlPage, HorizontalBarFillsFromTheLeft)
{
    Add("ProcessControl", 1, 77, 18);
    EXPECT_EQ(Span(1, 8, 77, kRed), "none") << "a new control is empty";
    Set(1, 0, 50);
    EXPECT_EQ(Span(1, 8, 77, kRed), "2-39");
    EXPECT_EQ(Span(1, 20, 18, kRed, false), "2-16");
    Set(1, 0, 100);
    EXPECT_EQ(Span(1, 8, 77, kRed), "2-75");
    Set(1, 0, 0);
    EXPECT_EQ(Span(1, 8, 77, kRed), "none");
    Set(1, 0, 250);
    EXPECT_EQ(Span(1, 8, 77, kRed), "2-75");
    Set(1, 3, 50);
    EXPECT_EQ(Span(1, 8, 77, kRed), "2-39") << "kind 3 draws like kind 0";
    // Frame: outer top-left grey, inner top-left dark, interior white.
    EXPECT_EQ(Pixel(1, 40, 0), RGB(128, 128, 128));
    EXPECT_EQ(Pixel(1, 40, 1), kDarkLine);
    EXPECT_EQ(Pixel(1, 40, 17), kWhite);
    EXPECT_EQ(Pixel(1, 60, 8), kWhite);
}

TEST_F(ControlPage, CentredBarGrowsFromTheCentreLine)
{
    Add("ProcessControl", 2, 77, 18);
    const struct {
        DWORD dwLevel;
        const char* pszSpan;
    } cases[] = {{25, "18-37"}, {0, "2-37"}, {51, "38-39"}, {75, "38-57"},
                 {100, "38-75"}, {48, "35-37"}, {49, "none"}, {50, "none"}};
    for (const auto& c : cases) {
        Set(2, 2, c.dwLevel);
        EXPECT_EQ(Span(2, 8, 77, kRed), c.pszSpan) << "level " << c.dwLevel;
        EXPECT_EQ(Span(2, 37, 18, kDarkLine, false), "0-16") << "centre line, level " << c.dwLevel;
    }
}

TEST_F(ControlPage, VerticalBarGrowsFromTheBottom)
{
    Add("ProcessControl", 3, 18, 70);
    const struct {
        DWORD dwLevel;
        const char* pszSpan;
    } cases[] = {{0, "none"}, {1, "none"}, {50, "35-68"}, {100, "2-68"}};
    for (const auto& c : cases) {
        Set(3, 1, c.dwLevel);
        EXPECT_EQ(Span(3, 8, 70, kRed, false), c.pszSpan) << "level " << c.dwLevel;
    }
    EXPECT_EQ(Span(3, 40, 18, kRed), "2-16");
}

TEST_F(ControlPage, AxesCrossHairFollowsBothHalvesAndStaysInside)
{
    Add("AxesControl", 4, 80, 76);
    EXPECT_EQ(DataWord(4), Word(0x80008000));
    EXPECT_EQ(Span(4, 38, 80, kBlack), "1-46") << "the inner frame's black left column, then the arm";
    EXPECT_EQ(Pattern(4, 38, 33, 48, kBlack), "..xxxxxxxxxxx..");
    EXPECT_EQ(Pattern(4, 40, 31, 46, kBlack, false), "..xxxxxxxxxxx..");

    Set(4, 0, 0);
    EXPECT_EQ(Pattern(4, 3, 2, 12, kBlack), ".xxxxxx...");
    EXPECT_EQ(Pattern(4, 3, 2, 12, kBlack, false), ".xxxxxx...");

    Set(4, 65535, 65535);
    EXPECT_EQ(Pattern(4, 72, 69, 78, kBlack), "..xxxxx..");
    EXPECT_EQ(Pattern(4, 76, 65, 74, kBlack, false), "..xxxxx..");
}

TEST_F(ControlPage, RumbleDotMovesWithTheSignedHalves)
{
    Add("RumbleControl", 5, 90, 81);
    const struct {
        DWORD dwKind, dwValue;
        int cx, cy;  // centre of the dot box
    } cases[] = {
        {0, 0, 45, 40},
        {10000, 10000, 83, 73},
        {static_cast<DWORD>(-10000), static_cast<DWORD>(-10000), 7, 7},
        {0, static_cast<DWORD>(-10000), 44, 7},  // the sum lowers X to -1
    };
    for (const auto& c : cases) {
        Set(5, c.dwKind, c.dwValue);
        EXPECT_EQ(Pixel(5, c.cx, c.cy), kRed) << c.dwKind << "," << c.dwValue;
        EXPECT_EQ(Pixel(5, c.cx + 2, c.cy + 2), kRed) << c.dwKind << "," << c.dwValue;
    }

    Set(5, 0, static_cast<DWORD>(-10000));
    EXPECT_EQ(DataWord(5), Word(0xFFFFD8F0u));
    EXPECT_EQ(Span(5, 7, 90, kRed), "40-49") << "box 39..50, one column left of the centre";
    Set(5, static_cast<DWORD>(-10000), static_cast<DWORD>(-10000));
    EXPECT_EQ(DataWord(5), Word(0xD8EFD8F0u));
    EXPECT_EQ(Span(5, 7, 90, kRed), "2-11") << "box 1..12";
    Set(5, 10000, 10000);
    EXPECT_EQ(Span(5, 73, 90, kRed), "79-88") << "box 78..89";
    Set(5, 0, 0);
    EXPECT_EQ(Span(5, 38, 90, kRed), "41-50") << "box 40..51";
    EXPECT_EQ(Pixel(5, 45, 31), kBlack) << "cross arm top (cy - 9)";
    EXPECT_EQ(Pixel(5, 45, 30), kWhite);
    EXPECT_EQ(Pixel(5, 45, 49), kBlack) << "cross arm bottom (cy + 9)";
    EXPECT_EQ(Pixel(5, 45, 50), kWhite);
}

TEST_F(ControlPage, SetControlValueOnlyInvalidates)
{
    Add("ProcessControl", 6, 77, 18);
    SetControlValue(hPage, 6, 0, 100);
    RECT rcUpdate;
    EXPECT_TRUE(GetUpdateRect(GetDlgItem(hPage, 6), &rcUpdate, FALSE));
    EXPECT_EQ(Span(6, 8, 77, kRed), "none") << "painted before WM_PAINT";
    Set(6, 0, 100);
    EXPECT_EQ(Span(6, 8, 77, kRed), "2-75");
}

TEST_F(ControlPage, PovArrowsPointWhereTheValueSays)
{
    Add("PovControl", 7, 93, 86);
    EXPECT_EQ(DataWord(7), Word(0x0064FFFFu));
    // WM_PAINT draws nothing: until the first set only the class background shows.
    EXPECT_EQ(Pixel(7, 46, 42), GetSysColor(COLOR_BTNFACE)) << "painted before the first set";
    EXPECT_EQ(Pixel(7, 46, 8), GetSysColor(COLOR_BTNFACE));

    SetPov(7, 0xFFFF);
    EXPECT_EQ(Pixel(7, 46, 42), kRed) << "centre dot";
    EXPECT_EQ(Span(7, 42, 93, kRed), "42-51") << "dot box 41..52";
    EXPECT_EQ(Pixel(7, 46, 8), kGreyArrow) << "up arrow head";
    EXPECT_EQ(Pixel(7, 46, 18), kGreyArrow) << "up arrow shaft";
    EXPECT_EQ(Pixel(7, 80, 42), kGreyArrow) << "right arrow head";
    EXPECT_EQ(Pixel(7, 70, 42), kGreyArrow) << "right arrow shaft";

    SetPov(7, 9000);
    EXPECT_EQ(Pixel(7, 80, 42), kRed);
    EXPECT_EQ(Pixel(7, 70, 41), kRed);
    EXPECT_EQ(Pixel(7, 46, 8), kGreyArrow);
    // The right arrow's outline as the geometry puts it: tip at (88, 42), head rows 37..46.
    EXPECT_EQ(Pixel(7, 88, 42), RGB(100, 100, 100));
    EXPECT_EQ(Pixel(7, 89, 42), GetSysColor(COLOR_BTNFACE)) << "past the tip";

    SetPov(7, 35999);  // 359 degrees: almost straight up
    EXPECT_EQ(Pixel(7, 46, 8), kRed);
    EXPECT_EQ(Pixel(7, 80, 42), kGreyArrow) << "the grey arrow covers the old red one";

    SetPov(7, 4550);  // 45 degrees
    EXPECT_EQ(Pixel(7, 46, 8), kGreyArrow);
    EXPECT_EQ(Pixel(7, 70, 18), kRed) << "up-right arrow";

    for (DWORD dwCentred : {36000u, 0xFFFFu, 0xFFFFFFFFu, 0x0064FFFFu}) {
        SetPov(7, 4550);
        SetPov(7, dwCentred);
        EXPECT_EQ(Pixel(7, 70, 18), kGreyArrow) << std::hex << dwCentred;
        EXPECT_EQ(Pixel(7, 46, 8), kGreyArrow) << std::hex << dwCentred;
    }
}

TEST(RotatePoints, TurnsClockwiseAndTruncates)
{
    POINT pts[] = {{2, 19}, {-2, 19}, {0, 42}};
    RotatePoints(pts, 3, 90);
    EXPECT_EQ(pts[0].x, 19);
    EXPECT_EQ(pts[0].y, -1);
    EXPECT_EQ(pts[1].x, 19);
    EXPECT_EQ(pts[1].y, 2);
    EXPECT_EQ(pts[2].x, 42);
    EXPECT_EQ(pts[2].y, 0);

    POINT half[] = {{2, 19}};
    RotatePoints(half, 1, 180);
    EXPECT_EQ(half[0].x, -1);
    EXPECT_EQ(half[0].y, -19);

    POINT same[] = {{5, -7}};
    RotatePoints(same, 1, 0);
    EXPECT_EQ(same[0].x, 5);
    EXPECT_EQ(same[0].y, -7);
    RotatePoints(same, 0, 90);
    RotatePoints(same, -1, 90);
    EXPECT_EQ(same[0].x, 5);
    EXPECT_EQ(same[0].y, -7);
}

TEST_F(ControlPage, LampsAreOvalOrFramedInTheirColour)
{
    Add("LampControl", 8, 30, 24);
    EXPECT_EQ(Pixel(8, 15, 12), kBlack) << "never set: oval and black";
    EXPECT_EQ(Pixel(8, 0, 0), GetSysColor(COLOR_BTNFACE)) << "outside the oval";

    Set(8, 0, 150);
    EXPECT_EQ(Pixel(8, 15, 12), RGB(150, 0, 0));
    EXPECT_EQ(Pixel(8, 0, 0), GetSysColor(COLOR_BTNFACE));
    EXPECT_NE(Span(8, 0, 30, kBlack), "none") << "black outline on the top row";
    bool fArc = false;
    for (int y = 0; y < 24 && !fArc; ++y)
        fArc = Span(8, y, 30, kWhite) != "none";
    EXPECT_TRUE(fArc) << "the white arc";

    Set(8, 5, 255);
    EXPECT_EQ(Pixel(8, 15, 12), kRed) << "kind 5 is oval too";
    EXPECT_EQ(Pixel(8, 0, 0), GetSysColor(COLOR_BTNFACE));

    Set(8, 1, 255);
    EXPECT_EQ(Pixel(8, 15, 12), kRed);
    EXPECT_EQ(Pixel(8, 0, 5), RGB(128, 128, 128)) << "outer frame";
    EXPECT_EQ(Pixel(8, 1, 5), kDarkLine) << "inner frame";
    EXPECT_EQ(Pixel(8, 2, 2), kRed) << "interior from (2, 2)";
    EXPECT_EQ(Pixel(8, 27, 21), kRed) << "interior to (W - 2, H - 2)";
}

TEST_F(ControlPage, LampCaptionIsDrawnInGrey)
{
    Add("LampControl", 9, 36, 30, "16");
    Set(9, 0, 255);
    int nCaption = 0;
    for (int y = 7; y < 23; ++y)
        for (int x = 0; x < 36; ++x)
            nCaption += Pixel(9, x, y) == RGB(162, 162, 162);
    EXPECT_GT(nCaption, 5) << "no caption pixels";
}

}  // namespace
