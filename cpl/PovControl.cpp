#include "Controls.h"
#include "ControlPaint.h"
#include "GdiObjects.h"

#include <cmath>

namespace {

constexpr DWORD kNoDirection = 0x0064FFFF;
constexpr DWORD kFullCircle = 36000;  // hundredths of a degree
constexpr int kArrowPoints = 7;

struct ArrowShape {
    int hw, hh, A, B, D, F;
};

ArrowShape ArrowFor(int nWidth, int nHeight)
{
    ArrowShape s;
    s.hw = (nWidth - 1) / 2;
    s.hh = (nHeight - 1) / 2;
    s.A = static_cast<int>(s.hw * 0.055);
    s.B = static_cast<int>(s.hw * 0.12);
    s.D = static_cast<int>(s.hh * 0.7);
    s.F = static_cast<int>(s.hh * 0.47);
    return s;
}

// The arrow turned by nDegrees, in screen coordinates around (hw, hh).
void DrawArrow(HDC hdc, const ArrowShape& s, int nDegrees)
{
    POINT pts[kArrowPoints] = {
        {s.A, s.F}, {s.A, s.D}, {s.B, s.D}, {0, s.hh}, {-s.B, s.D}, {-s.A, s.D}, {-s.A, s.F}};
    RotatePoints(pts, kArrowPoints, nDegrees);
    for (POINT& pt : pts) {
        pt.x = s.hw + pt.x;
        pt.y = s.hh - pt.y;
    }
    Polygon(hdc, pts, kArrowPoints);
}

}  // namespace

void RotatePoints(POINT* pPoints, int nCount, int nDegrees)
{
    if (nCount <= 0)
        return;
    const double theta = nDegrees * 0.017453292519943295;
    const double c = std::cos(theta), s = std::sin(theta);
    for (int i = 0; i < nCount; ++i) {
        const double x = pPoints[i].x, y = pPoints[i].y;
        pPoints[i].x = static_cast<LONG>(x * c + y * s);
        pPoints[i].y = static_cast<LONG>(y * c - x * s);
    }
}

// Drawn on the window's own device context, not within WM_PAINT: the value shows at once.
void PaintPovControl(HWND hWnd)
{
    WindowDc dc(hWnd);
    HDC hdc = dc.Dc();
    if (!hdc)
        return;
    const DWORD dwValue = ControlData(hWnd) & 0xFFFF;

    SolidPen grey(RGB(100, 100, 100));
    SolidBrush red(RGB(255, 0, 0));
    RECT rcClient;
    GetClientRect(hWnd, &rcClient);
    const ArrowShape shape = ArrowFor(rcClient.right, rcClient.bottom);

    Selection penSelection(hdc, grey.Get());
    Selection brushSelection(hdc, red.Get());
    Ellipse(hdc, shape.hw - 5, shape.hh - 5, shape.hw + 6, shape.hh + 6);

    SelectObject(hdc, GetStockObject(GRAY_BRUSH));
    for (int nDegrees = 0; nDegrees < 360; nDegrees += 45)
        DrawArrow(hdc, shape, nDegrees);
    if (dwValue < kFullCircle) {
        SelectObject(hdc, red.Get());
        DrawArrow(hdc, shape, static_cast<int>(dwValue * 0.01));
    }
}

LRESULT CALLBACK PovControlWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_CREATE) {
        SetControlData(hWnd, kNoDirection);
        return 0;
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}
