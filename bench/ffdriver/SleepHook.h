#pragma once

#include <windows.h>

#include <atomic>

// Replaces the driver module's import of Sleep. The mixing pass ends with Sleep(1), so the
// hook counts passes and names the worker thread, and can skip that sleep so the worker runs
// passes back to back and their cost shows as passes per second.
namespace SleepHook {

bool Install(HMODULE hModule);

extern std::atomic<LONG> nPassSleeps;
extern std::atomic<DWORD> dwLastWorkerId;
extern std::atomic<bool> bSkipPassSleep;

} // namespace SleepHook
