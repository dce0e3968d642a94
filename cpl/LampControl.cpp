#include "Controls.h"
#include "ControlPaint.h"
#include "GdiObjects.h"

namespace {

constexpr DWORD kRectangularLamp = 1;
constexpr COLORREF kCaptionColour = RGB(162, 162, 162);

void DrawCaption(HWND hWnd, HDC hdc, RECT rcCaption)
{
    char szCaption[64] = {};
    GetWindowTextA(hWnd, szCaption, sizeof szCaption);
    SetTextColor(hdc, kCaptionColour);
    SetBkMode(hdc, TRANSPARENT);
    DrawTextA(hdc, szCaption, -1, &rcCaption, DT_CENTER);
}

}  // namespace

void PaintLampControl(HWND hWnd)
{
    PaintScope paint(hWnd);
    HDC hdc = paint.Dc();
    RECT rcClient;
    GetClientRect(hWnd, &rcClient);
    const int W = rcClient.right, H = rcClient.bottom, m = H / 2;
    const DWORD dwData = ControlData(hWnd);
    SolidBrush lamp(static_cast<COLORREF>(dwData & 0xFFFF));

    if ((dwData >> 16) == kRectangularLamp) {
        DrawSunkenFrame(hdc, W, H, kProcessFrameColours, lamp.Brush());
        DrawCaption(hWnd, hdc, RECT{2, m - 8, W - 2, m + 8});
        return;
    }
    {
        Selection brushSelection(hdc, lamp.Get());
        Ellipse(hdc, 0, 0, W, H);
    }
    DrawCaption(hWnd, hdc, RECT{0, m - 8, W, m + 8});
    Selection penSelection(hdc, GetStockObject(WHITE_PEN));
    Arc(hdc, 0, 0, W, H, static_cast<int>(W * 0.3), static_cast<int>(H * 0.8),
        static_cast<int>(W * 0.8), static_cast<int>(H * 0.3));
}

LRESULT CALLBACK LampControlWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_PAINT) {
        PaintLampControl(hWnd);
        return 0;
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}
