// The rumble test page (dialog 108): the stick drives the two motors, a button runs both for a
// fixed time, and a trackbar sets the strength stored as "Amplify".
#pragma once

#include "GameCtrlPropSheet.h"

#include <windows.h>

constexpr UINT_PTR kRumblePageTimerId = 3;
constexpr UINT kRumblePageTimerMs = 10;
constexpr DWORD kRumbleTestMs = 3800;         // length of the both-motors test
constexpr LONG kRumbleDeadBand = 2500;        // smaller motor values are 0
constexpr LONG kRumbleDisplaySnap = 8750;     // the display shows +-10000 from here on
constexpr DWORD kRumbleDefaultStrength = 80;

// Motor level 0..31 of a motor value (-10000..10000) at a strength (0..100): the low byte of
// trunc(|value| * strength * 3.1e-05).
BYTE RumbleLevel(LONG lValue, DWORD dwStrength);

// Writes 01 A0 level1 level2 00 00 00 00; 0 on success, else the write's system error code.
DWORD SendRumbleReport(HANDLE hPad, LONG lMotor1, LONG lMotor2, DWORD dwStrength);

// One poll of the page (every WM_TIMER).
void RumblePageTick(IDIGameCntrlPropSheet* pSheet, HWND hPage);

// The millisecond clock of the timed test (timeGetTime), replaceable in tests. Null restores
// the real one; returns the previous clock.
using RumbleClock = DWORD (*)();
RumbleClock SetRumbleClock(RumbleClock pfnClock);
