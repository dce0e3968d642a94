#pragma once

// Painting of the display controls and what they share.
#include <windows.h>

// A control's whole state: the 32-bit user data word of its window.
inline DWORD ControlData(HWND hWnd)
{
    return static_cast<DWORD>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
}

inline void SetControlData(HWND hWnd, DWORD dwData)
{
    SetWindowLongPtrA(hWnd, GWLP_USERDATA, static_cast<LONG>(dwData));
}

// Colours of the two-pixel sunken frame.
struct FrameColours {
    COLORREF outerTopLeft;
    COLORREF outerBottomRight;
    COLORREF innerTopLeft;
    COLORREF innerBottomRight;
};
extern const FrameColours kProcessFrameColours;  // ProcessControl, rectangular LampControl
extern const FrameColours kAxesFrameColours;     // AxesControl, RumbleControl

// Draws the frame on a W x H client area and fills the interior (2, 2, W - 2, H - 2) with
// hInterior.
void DrawSunkenFrame(HDC hdc, int nWidth, int nHeight, const FrameColours& colours,
                     HBRUSH hInterior);

void PaintProcessControl(HWND hWnd);
void PaintAxesControl(HWND hWnd);
void PaintRumbleControl(HWND hWnd);
void PaintPovControl(HWND hWnd);
void PaintLampControl(HWND hWnd);
