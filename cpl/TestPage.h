#pragma once

// The test page (dialog 107): live buttons, axes, hats and mode lamps of the pad in mode 0,
// the key-mapping view with Default, Load and Save in modes 1 and 2. TestPageProc itself is
// declared in Pages.h.
#include "GameCtrlPropSheet.h"

// Timer that polls the pad while the page is active.
constexpr UINT_PTR kTestPageTimerId = 1;
constexpr UINT kTestPageTimerMs = 10;

// One poll of the pad: connection status, joystick state, input report, mode and views.
void TestPageTick(HWND hPage, IDIGameCntrlPropSheet* pSheet);

// Shows (nonzero) or hides the controller view: axes, bars, hats and button lamps.
void ShowControllerGroup(HWND hPage, BOOL fShow);
// Shows (nonzero) or hides the key-mapping view: 24 slot combos with labels and the buttons.
void ShowKeyMapGroup(HWND hPage, BOOL fShow);
// Puts the two entries into each slot combo: "" (no keys) and "Keyboard..." (pick keys).
void FillKeyCombos(HWND hPage);
