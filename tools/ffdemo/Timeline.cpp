#include "Timeline.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kMaxLevel = 31;

std::string Bar(int nLevel)
{
    const int nFill = nLevel > kMaxLevel ? kMaxLevel : nLevel;
    return "|" + std::string(nFill, '#') + std::string(kMaxLevel - nFill, ' ') + "|";
}

} // namespace

bool MotorBytes(const std::vector<BYTE>& bytes, int* pnLeft, int* pnRight)
{
    if (bytes.size() == 4 && bytes[0] == 0x00) {
        *pnLeft = bytes[1];
        *pnRight = bytes[2];
        return true;
    }
    if (bytes.size() == 8 && bytes[0] == 0x01 && bytes[1] == 0xA0) {
        *pnLeft = bytes[2];
        *pnRight = bytes[3];
        return true;
    }
    return false;
}

Timeline::Timeline(const PadSimulator& padArg) : pad(padArg) {}

Timeline::~Timeline()
{
    Stop();
}

void Timeline::Start()
{
    dStartMs = PadSimulator::NowMs();
    std::printf("   time     left motor                          right motor\n");
    hStop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    hThread = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
}

void Timeline::Stop()
{
    if (!hThread)
        return;
    SetEvent(hStop);
    WaitForSingleObject(hThread, INFINITE);
    CloseHandle(hThread);
    CloseHandle(hStop);
    hThread = hStop = nullptr;
    PrintNew();
}

void Timeline::Step(const char* pszText)
{
    PrintNew();
    std::lock_guard<std::mutex> lock(mtx);
    std::printf("%8.3f s  -- %s\n", ElapsedMs() / 1000.0, pszText);
    std::fflush(stdout);
}

DWORD WINAPI Timeline::ThreadProc(LPVOID pParam)
{
    auto* pThis = static_cast<Timeline*>(pParam);
    while (WaitForSingleObject(pThis->hStop, 2) == WAIT_TIMEOUT)
        pThis->PrintNew();
    return 0;
}

void Timeline::PrintNew()
{
    std::lock_guard<std::mutex> lock(mtx);
    const auto reports = pad.Reports();
    for (; nSeen < reports.size(); ++nSeen) {
        const auto& report = reports[nSeen];
        int nLeft = 0, nRight = 0;
        if (!MotorBytes(report.bytes, &nLeft, &nRight)) {
            std::printf("%8.3f s  unexpected report of %u bytes\n",
                        (report.dMs - dStartMs) / 1000.0,
                        static_cast<unsigned>(report.bytes.size()));
            continue;
        }
        if (nLeft == nLastLeft && nRight == nLastRight)
            continue;
        nLastLeft = nLeft;
        nLastRight = nRight;
        std::printf("%8.3f s  %2d %s  %2d %s\n", (report.dMs - dStartMs) / 1000.0, nLeft,
                    Bar(nLeft).c_str(), nRight, Bar(nRight).c_str());
    }
    std::fflush(stdout);
}
