#pragma once

// Ends the test process when it runs longer than the given number of seconds, so a hang
// fails the test instead of stalling the run. Started once by the test main.
void StartWatchdog(unsigned seconds);

// Polls pred every millisecond until it holds or timeoutMs passes; returns its last value.
template <typename Pred>
bool WaitUntil(Pred pred, unsigned timeoutMs);

#include <windows.h>

template <typename Pred>
bool WaitUntil(Pred pred, unsigned timeoutMs)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!pred()) {
        if (GetTickCount64() >= end)
            return pred();
        Sleep(1);
    }
    return true;
}
