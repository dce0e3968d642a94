#pragma once

// The three property pages that the sheet object hands to the game-controller panel.
#include <windows.h>

enum : WORD {
    IDD_TESTPAGE = 107,
    IDD_RUMBLEPAGE = 108,
    IDD_ABOUTPAGE = 112,
};

// Dialog procedures. Each page finds the sheet object (ControllerPropertySheet*) in the
// lParam of its PROPSHEETPAGE at WM_INITDIALOG.
INT_PTR CALLBACK TestPageProc(HWND hPage, UINT uMsg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RumblePageProc(HWND hPage, UINT uMsg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutPageProc(HWND hPage, UINT uMsg, WPARAM wParam, LPARAM lParam);
