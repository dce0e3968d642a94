#pragma once

// DirectInput's default axis range, the one the pages' display and motor formulas are made
// for. A device set to another range, or a faulty state, can still report values outside it.
#include <windows.h>

#include <algorithm>

constexpr LONG kAxisMin = 0;
constexpr LONG kAxisMax = 65535;

// The axis value brought into 0..65535, so that bar levels, cross-hair positions and motor
// levels stay within their own ranges.
constexpr LONG ClampAxis(LONG lAxis)
{
    return std::clamp(lAxis, kAxisMin, kAxisMax);
}
