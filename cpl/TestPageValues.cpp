#include "TestPageValues.h"

#include "AxisRange.h"

namespace {

// 100 / 255 as the double the bars were tuned with; 255 times it gives exactly 100.
constexpr double kAxisByteToPercent = 0.39215686274509803;

DWORD PercentOfAxisByte(LONG lAxisByte)
{
    return static_cast<DWORD>(static_cast<LONG>(lAxisByte * kAxisByteToPercent));
}

}  // namespace

DWORD InvertedBarLevel(LONG lAxis)
{
    return PercentOfAxisByte(255 - (ClampAxis(lAxis) >> 8));
}

DWORD RisingBarLevel(LONG lAxis)
{
    return PercentOfAxisByte(ClampAxis(lAxis) >> 8);
}

unsigned HatCodeFromButtons(const BYTE rgbHatButtons[4])
{
    unsigned uCode = 0;
    for (unsigned i = 0; i < 4; ++i) {
        if (rgbHatButtons[i] != 0)
            uCode |= 1u << i;
    }
    return uCode;
}

DWORD PovFromHatCode(unsigned uHatCode)
{
    switch (uHatCode) {
    case 1: return 0;       // up
    case 3: return 4500;    // up, right
    case 2: return 9000;    // right
    case 6: return 13500;   // right, down
    case 4: return 18000;   // down
    case 12: return 22500;  // down, left
    case 8: return 27000;   // left
    case 9: return 31500;   // up, left
    default: return 0xFFFFFFFF;
    }
}
