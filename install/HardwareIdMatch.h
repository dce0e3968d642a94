#pragma once

#include <windows.h>

// The pad's vendor and product as they appear, lower-cased, in a hardware ID.
extern const char kPadHardwareIdText[];

// True when the first ID of a hardware-ID list contains kPadHardwareIdText in any mix of ASCII
// cases. Only the cbList bytes the read returned are looked at: the first ID ends at its zero
// or at the end of those bytes, whichever comes first.
bool FirstHardwareIdMatches(const BYTE* pList, DWORD cbList);
