#pragma once

#include "PadSimulator.h"

#include <windows.h>

#include <mutex>
#include <vector>

// The two motor bytes of either report form, {00, L, R, 00} or {01, A0, L, R, 0, 0, 0, 0};
// false for any other report.
bool MotorBytes(const std::vector<BYTE>& bytes, int* pnLeft, int* pnRight);

// Prints the reports that reach the simulated pad as they arrive: one line for every change
// of the two motor bytes, with the time since the start and a bar for each motor. Script
// steps are printed between them, on the same clock.
class Timeline {
public:
    explicit Timeline(const PadSimulator& padArg);
    ~Timeline();
    Timeline(const Timeline&) = delete;
    Timeline& operator=(const Timeline&) = delete;

    void Start();
    // Prints what has arrived so far and ends the printing thread.
    void Stop();
    void Step(const char* pszText);
    double ElapsedMs() const { return PadSimulator::NowMs() - dStartMs; }
    size_t ReportCount() const { return nSeen; }

private:
    static DWORD WINAPI ThreadProc(LPVOID pParam);
    void PrintNew();

    const PadSimulator& pad;
    double dStartMs = 0;
    HANDLE hThread = nullptr;
    HANDLE hStop = nullptr;
    std::mutex mtx;
    size_t nSeen = 0;
    int nLastLeft = -1;
    int nLastRight = -1;
};
