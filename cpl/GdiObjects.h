#pragma once

// Scoped GDI objects for one paint: a created pen or brush is deleted when it goes out of
// scope, a selection puts the previous object back. Declare the objects before their
// selections so the selections are undone first.
#include <windows.h>

class GdiObject {
public:
    explicit GdiObject(HGDIOBJ hObject) : m_hObject(hObject) {}
    ~GdiObject() { if (m_hObject) DeleteObject(m_hObject); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    HGDIOBJ Get() const { return m_hObject; }

private:
    HGDIOBJ m_hObject;
};

class SolidPen : public GdiObject {
public:
    explicit SolidPen(COLORREF rgb) : GdiObject(CreatePen(PS_SOLID, 1, rgb)) {}
};

class SolidBrush : public GdiObject {
public:
    explicit SolidBrush(COLORREF rgb) : GdiObject(CreateSolidBrush(rgb)) {}
    HBRUSH Brush() const { return static_cast<HBRUSH>(Get()); }
};

// Selects an object and restores the previously selected one of that type; an object that
// could not be created is not selected.
class Selection {
public:
    Selection(HDC hdc, HGDIOBJ hObject)
        : m_hdc(hdc), m_hPrevious(hObject ? SelectObject(hdc, hObject) : nullptr) {}
    ~Selection() { if (m_hPrevious) SelectObject(m_hdc, m_hPrevious); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC m_hdc;
    HGDIOBJ m_hPrevious;
};

class PaintScope {
public:
    explicit PaintScope(HWND hWnd) : m_hWnd(hWnd), m_hdc(BeginPaint(hWnd, &m_ps)) {}
    ~PaintScope() { EndPaint(m_hWnd, &m_ps); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC Dc() const { return m_hdc; }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps;
    HDC m_hdc;
};

class WindowDc {
public:
    explicit WindowDc(HWND hWnd) : m_hWnd(hWnd), m_hdc(GetDC(hWnd)) {}
    ~WindowDc() { if (m_hdc) ReleaseDC(m_hWnd, m_hdc); }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Dc() const { return m_hdc; }

private:
    HWND m_hWnd;
    HDC m_hdc;
};
