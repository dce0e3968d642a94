#pragma once

// The five display controls of the pages. Each control's whole state is its window's user
// data word (GWLP_USERDATA); pens and brushes live only for one paint.
#include <windows.h>

// Window classes; each returns 1 when the class was registered, else 0 (for instance when an
// earlier sheet object of the process registered it already).
BOOL RegisterProcessControlClass(HINSTANCE hInstance);  // "ProcessControl"
BOOL RegisterAxesControlClass(HINSTANCE hInstance);     // "AxesControl"
BOOL RegisterRumbleControlClass(HINSTANCE hInstance);   // "RumbleControl"
BOOL RegisterPovControlClass(HINSTANCE hInstance);      // "PovControl"
BOOL RegisterLampControlClass(HINSTANCE hInstance);     // "LampControl"

// All five in the sheet's order (Lamp, Axes, Pov, Process, Rumble); failures are ignored.
void RegisterDisplayControlClasses(HINSTANCE hInstance);

// Removes the five classes again (done when the DLL is unloaded, so no class outlives its
// window procedures); a class still in use by a window stays.
void UnregisterDisplayControlClasses(HINSTANCE hInstance);

// Stores kind * 65536 + value (unsigned 32-bit sum, so a negative value lowers the upper half
// by one) in the control's user data and invalidates it; the paint follows on WM_PAINT.
// ProcessControl: kind 0 horizontal, 1 vertical, 2 from the centre; value = level 0..100.
// AxesControl: kind = X, value = Y (0..65535 each). RumbleControl: kind = X, value = Y
// (-10000..10000 each). LampControl: kind 1 rectangular, else oval; value = red level.
void SetControlValue(HWND hDlg, int nCtrlId, DWORD dwKind, DWORD dwValue);

// Stores a POV value (hundredths of a degree clockwise from up; 36000 and above = centred)
// and paints the PovControl at once.
void SetPovValue(HWND hDlg, int nCtrlId, DWORD dwValue);

// Turns the points in place by the given whole degrees (clockwise in a y-up frame), each
// coordinate truncated toward zero.
void RotatePoints(POINT* pPoints, int nCount, int nDegrees);

// Window procedures.
LRESULT CALLBACK ProcessControlWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK AxesControlWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK RumbleControlWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK PovControlWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK LampControlWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
