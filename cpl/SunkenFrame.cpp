#include "ControlPaint.h"
#include "GdiObjects.h"

const FrameColours kProcessFrameColours = {
    RGB(128, 128, 128), RGB(255, 255, 255), RGB(64, 64, 64), RGB(212, 202, 200)};
const FrameColours kAxesFrameColours = {
    RGB(161, 157, 157), RGB(255, 255, 255), RGB(0, 0, 0), RGB(241, 239, 226)};

void DrawSunkenFrame(HDC hdc, int nWidth, int nHeight, const FrameColours& colours,
                     HBRUSH hInterior)
{
    SolidPen outerTopLeft(colours.outerTopLeft);
    SolidPen outerBottomRight(colours.outerBottomRight);
    SolidPen innerTopLeft(colours.innerTopLeft);
    SolidPen innerBottomRight(colours.innerBottomRight);

    RECT rc = {0, 0, nWidth - 1, nHeight - 1};
    HGDIOBJ hPreviousPen = SelectObject(hdc, outerTopLeft.Get());
    MoveToEx(hdc, rc.left, rc.bottom, nullptr);
    LineTo(hdc, rc.left, rc.top);
    LineTo(hdc, rc.right, rc.top);
    SelectObject(hdc, outerBottomRight.Get());
    MoveToEx(hdc, rc.right, rc.top, nullptr);
    LineTo(hdc, rc.right, rc.bottom);
    LineTo(hdc, rc.left, rc.bottom);

    InflateRect(&rc, -1, -1);
    SelectObject(hdc, innerTopLeft.Get());
    MoveToEx(hdc, rc.left, rc.bottom, nullptr);
    LineTo(hdc, rc.left, rc.top);
    LineTo(hdc, rc.right, rc.top);
    SelectObject(hdc, innerBottomRight.Get());
    LineTo(hdc, rc.right, rc.bottom);
    LineTo(hdc, rc.left, rc.bottom);
    SelectObject(hdc, hPreviousPen);

    InflateRect(&rc, -1, -1);
    rc.right += 1;
    rc.bottom += 1;
    FillRect(hdc, &rc, hInterior);
}
