#include "Controls.h"
#include "ControlPaint.h"
#include "GdiObjects.h"

namespace {

constexpr DWORD kCentre = 0x80008000;

int Clamp(int n, int nLow, int nHigh)
{
    if (n < nLow)
        n = nLow;
    if (n > nHigh)
        n = nHigh;
    return n;
}

}  // namespace

void PaintAxesControl(HWND hWnd)
{
    PaintScope paint(hWnd);
    HDC hdc = paint.Dc();
    RECT rcClient;
    GetClientRect(hWnd, &rcClient);
    const int W = rcClient.right, H = rcClient.bottom;
    const DWORD dwData = ControlData(hWnd);

    SolidBrush white(RGB(255, 255, 255));
    DrawSunkenFrame(hdc, W, H, kAxesFrameColours, white.Brush());

    const ULONGLONG X = dwData >> 16, Y = dwData & 0xFFFF;
    const int x = Clamp(static_cast<int>((X * static_cast<ULONGLONG>(W)) >> 16), 3, W - 4);
    const int y = Clamp(static_cast<int>((Y * static_cast<ULONGLONG>(H)) >> 16), 3, H - 4);

    SolidPen black(RGB(0, 0, 0));
    Selection penSelection(hdc, black.Get());
    MoveToEx(hdc, x < 8 ? 3 : x - 5, y, nullptr);
    LineTo(hdc, x + 5 > W - 4 ? W - 4 : x + 6, y);
    MoveToEx(hdc, x, y < 8 ? 3 : y - 5, nullptr);
    LineTo(hdc, x, y + 5 > H - 4 ? H - 4 : y + 6);
}

LRESULT CALLBACK AxesControlWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_CREATE:
        SetControlData(hWnd, kCentre);
        return 0;
    case WM_PAINT:
        PaintAxesControl(hWnd);
        return 0;
    default:
        return DefWindowProcA(hWnd, uMsg, wParam, lParam);
    }
}
