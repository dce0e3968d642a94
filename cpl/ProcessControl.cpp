#include "Controls.h"
#include "ControlPaint.h"
#include "GdiObjects.h"

namespace {

enum : DWORD { kHorizontalBar = 0, kVerticalBar = 1, kCentredBar = 2 };

void FillBar(HDC hdc, int nLeft, int nTop, int nRight, int nBottom, HBRUSH hBrush)
{
    RECT rc = {nLeft, nTop, nRight, nBottom};
    FillRect(hdc, &rc, hBrush);
}

}  // namespace

void PaintProcessControl(HWND hWnd)
{
    PaintScope paint(hWnd);
    HDC hdc = paint.Dc();
    RECT rcClient;
    GetClientRect(hWnd, &rcClient);
    const DWORD dwData = ControlData(hWnd);
    const DWORD dwKind = dwData >> 16;
    DWORD dwLevel = dwData & 0xFFFF;
    if (dwLevel > 100)
        dwLevel = 100;
    const double v = dwLevel;

    SolidBrush white(RGB(255, 255, 255));
    SolidBrush red(RGB(255, 0, 0));
    DrawSunkenFrame(hdc, rcClient.right, rcClient.bottom, kProcessFrameColours, white.Brush());

    const int l = 2, t = 2, r = rcClient.right - 2, b = rcClient.bottom - 2;
    if (dwKind == kVerticalBar) {
        int y = static_cast<int>((b - 1) - (b - t + 1) * v * 0.01 + t);
        FillBar(hdc, l, y <= b ? y : b, r, b, red.Brush());
    } else if (dwKind == kCentredBar) {
        const int m = static_cast<int>((r - l) * 0.5 + 1);
        SolidPen centrePen(RGB(64, 64, 64));
        Selection penSelection(hdc, centrePen.Get());
        if (dwLevel >= 51) {
            int x = static_cast<int>((r - l) * (v - 50) * 0.01 + (m + 2));
            FillBar(hdc, m + 1, t, x > r ? r : x, b, red.Brush());
        } else if (dwLevel <= 48) {
            int x = static_cast<int>(m - (r - l) * (50 - v) * 0.01);
            FillBar(hdc, x < l ? l : x, t, m, b, red.Brush());
        }
        MoveToEx(hdc, m, 0, nullptr);
        LineTo(hdc, m, b);
    } else {
        int x = static_cast<int>((r - l + 1) * v * 0.01 + l);
        FillBar(hdc, l, t, x > r ? r : x, b, red.Brush());
    }
}

LRESULT CALLBACK ProcessControlWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_PAINT) {
        PaintProcessControl(hWnd);
        return 0;
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}
