#pragma once

// The test page's conversions from the joystick state to display values.
#include <windows.h>

// Bar level 0..100 of a 0..65535 axis, full at 0 and empty at 65535 (Rotary X/Y, Throttle,
// Slide): trunc((255 - (lAxis >> 8)) * 100 / 255). Values outside the range count as its ends.
DWORD InvertedBarLevel(LONG lAxis);

// Bar level 0..100 of a 0..65535 axis, growing with the axis (Twist, drawn from the centre):
// trunc((lAxis >> 8) * 100 / 255). Values outside the range count as its ends.
DWORD RisingBarLevel(LONG lAxis);

// The second hat comes as buttons 17 to 20 (up, right, down, left): bit 0 for button 17 up to
// bit 3 for button 20. rgbHatButtons points at button 17.
unsigned HatCodeFromButtons(const BYTE rgbHatButtons[4]);

// POV value of a hat code in hundredths of a degree clockwise from up; 0xFFFFFFFF (centred)
// for no direction, opposite directions, three or four directions.
DWORD PovFromHatCode(unsigned uHatCode);
