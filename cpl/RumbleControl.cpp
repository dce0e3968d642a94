#include "Controls.h"
#include "ControlPaint.h"
#include "GdiObjects.h"

void PaintRumbleControl(HWND hWnd)
{
    PaintScope paint(hWnd);
    HDC hdc = paint.Dc();
    RECT rcClient;
    GetClientRect(hWnd, &rcClient);
    const int W = rcClient.right, H = rcClient.bottom;
    const DWORD dwData = ControlData(hWnd);

    SolidBrush white(RGB(255, 255, 255));
    SolidBrush red(RGB(255, 0, 0));
    SolidPen black(RGB(0, 0, 0));
    DrawSunkenFrame(hdc, W, H, kAxesFrameColours, white.Brush());

    const RECT area = {7, 7, W - 7, H - 7};
    const int cx = (area.left + area.right) / 2, cy = (area.top + area.bottom) / 2;
    const int hx = (area.right - area.left) / 2, hy = (area.bottom - area.top) / 2;

    Selection penSelection(hdc, black.Get());
    MoveToEx(hdc, cx - 9, cy, nullptr);
    LineTo(hdc, cx + 10, cy);
    MoveToEx(hdc, cx, cy - 9, nullptr);
    LineTo(hdc, cx, cy + 10);

    const SHORT X = static_cast<SHORT>(dwData >> 16);
    const SHORT Y = static_cast<SHORT>(dwData & 0xFFFF);
    const int px = static_cast<int>(X * 0.0001 * hx + cx);
    const int py = static_cast<int>(hy * (Y * 0.0001) + cy);
    Selection brushSelection(hdc, red.Get());
    Ellipse(hdc, px - 5, py - 5, px + 6, py + 6);
}

LRESULT CALLBACK RumbleControlWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_CREATE:
        return 0;
    case WM_PAINT:
        PaintRumbleControl(hWnd);
        return 0;
    default:
        return DefWindowProcA(hWnd, uMsg, wParam, lParam);
    }
}
