#include "core_fixture.h"
#include "watchdog.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

namespace {

// These run the real worker and the real clock.
class WorkerTest : public ::testing::Test {
protected:
    PadSimulator pad;

    void SetUp() override
    {
        ResetModuleState(&GetTickCount);
        ASSERT_TRUE(pad.Start());
    }

    // Owned here, so a test that stops at a failed assertion still ends its worker before the
    // next test runs; destroyed before the pad.
    std::unique_ptr<FFServer> owned;

    FFServer* StartedServer()
    {
        owned.reset(new FFServer(0));
        FFServer* p = owned.get();
        EXPECT_TRUE(p->SetDevicePath(pad.WidePath()));
        p->bActive = 1;
        p->dwDeviceGain = 10000;
        p->SendMotorReport(0, 0);
        EXPECT_TRUE(p->Start());
        return p;
    }
};

TEST_F(WorkerTest, TeardownWhilePlayingEndsWithOneZeroReport)
{
    FFServer* server = StartedServer();
    EffectParams params;
    params.Constant(10000).DurationMs(INFINITE);
    const std::vector<LONG> directions = {0, 9000, 4500};
    for (LONG lDirection : directions) {
        params.rglDirection[0] = lDirection;
        DWORD h = 0;
        ASSERT_TRUE(server->AddEffect(0, &h, &params.eff, DIEP_START));
        server->StartEffect(h);
    }
    // Three effects: left 2000 + 0 + 1414, right 0 + 2000 + 1414. The mix reached the pad
    // before lLastLeft took it, and with the totals steady the worker writes nothing more.
    ASSERT_TRUE(WaitUntil([&] { return server->lLastLeft == 3414; }, 5000));
    const size_t nBefore = pad.Sync();
    auto reports = pad.Reports();
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports.front().bytes, ReportBytes(0, 0));
    EXPECT_EQ(reports.back().bytes, ReportBytes(MotorLevel(3414), MotorLevel(3414)));

    const double dDeleting = PadSimulator::NowMs();
    owned.reset();
    // Every report written before this Sync is recorded: the teardown's report is there,
    // written while delete ran (after dDeleting), and it is the only one teardown wrote.
    ASSERT_EQ(pad.Sync(), nBefore + 1);
    reports = pad.Reports();
    EXPECT_EQ(reports[nBefore - 1].bytes, ReportBytes(MotorLevel(3414), MotorLevel(3414)));
    EXPECT_EQ(reports.back().bytes, ReportBytes(0, 0));
    EXPECT_GE(reports.back().dMs, dDeleting);
    // The worker is joined and the server gone: nothing follows the zero report.
    pad.Clear();
    EXPECT_EQ(pad.WaitQuiet(100, 1000), 0u);
    EXPECT_EQ(pad.Sync(), 0u);
}

TEST_F(WorkerTest, ManyThreadsOnTheStoreWhileTheWorkerPlays)
{
    FFServer* server = StartedServer();
    std::atomic<bool> bGo{false};
    std::vector<std::thread> threads;
    for (int i = 0; i < 6; ++i) {
        threads.emplace_back([&, i] {
            while (!bGo)
                Sleep(0);
            EffectParams params;
            params.Periodic(8000, 0, 0, 30000).DurationMs(40);
            params.rglDirection[0] = 4500 * i;
            for (int n = 0; n < 60; ++n) {
                DWORD h = 0;
                server->AddEffect(3 + (n % 4), &h, &params.eff, 0);
                server->StartEffect(h);
                server->UpdateEffect(3, h, &params.eff, DIEP_TYPESPECIFICPARAMS | DIEP_START);
                server->GetEffectState(h);
                if (n % 7 == 0)
                    server->PauseAll();
                if (n % 7 == 3)
                    server->ContinueAll();
                if (n % 11 == 5)
                    server->StopAll();
                if (n % 3 == 0)
                    server->RemoveEffect(h);
                if (i == 0 && n % 20 == 19)
                    server->Reset();
            }
        });
    }
    bGo = true;
    for (auto& t : threads)
        t.join();
    // A level that stands until the reset.
    EffectParams steady;
    steady.Constant(10000).DurationMs(INFINITE);
    DWORD h = 0;
    ASSERT_TRUE(server->AddEffect(0, &h, &steady.eff, 0));
    server->StartEffect(h);
    ASSERT_TRUE(WaitUntil([&] { return server->lLastLeft == 2000; }, 5000));
    server->Reset();
    pad.WaitQuiet(100, 5000);
    pad.Sync();
    const auto reports = pad.Reports();
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().bytes, ReportBytes(0, 0));
    // And nothing follows.
    pad.Clear();
    EXPECT_EQ(pad.WaitQuiet(200, 3000), 0u);
    EXPECT_EQ(server->effects.nCount, 0u);
    EXPECT_EQ(server->lLastLeft, 0);
    EXPECT_EQ(server->lLastRight, 0);
    owned.reset();
}

TEST_F(WorkerTest, StoreZeroReportsAndPassReportsEndAtTheLevelTheEffectsGive)
{
    FFServer* server = StartedServer();
    EffectParams params;
    params.Constant(10000).DurationMs(INFINITE);
    DWORD h = 0;
    ASSERT_TRUE(server->AddEffect(0, &h, &params.eff, 0));
    for (int round = 0; round < 30; ++round) {
        server->StartEffect(h);
        Sleep(round % 3);
        server->PauseAll();
        Sleep(round % 2);
        server->ContinueAll();
    }
    // Still playing: the pad ends at the effect's level.
    pad.WaitQuiet(100, 5000);
    pad.Sync();
    auto reports = pad.Reports();
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().bytes, ReportBytes(MotorLevel(2000), 0));

    for (int round = 0; round < 30; ++round) {
        server->StartEffect(h);
        Sleep(round % 3);
        server->StopAll();
    }
    // Stopped: the pad ends at 0.
    pad.WaitQuiet(100, 5000);
    pad.Sync();
    reports = pad.Reports();
    EXPECT_EQ(reports.back().bytes, ReportBytes(0, 0));
    owned.reset();
}

std::mutex g_openMutex;
std::vector<double> g_openTimes; // PadSimulator::NowMs() of every open of the device path

HANDLE WINAPI TimingOpen(LPCSTR pszPath, DWORD dwAccess, DWORD dwShare,
                         LPSECURITY_ATTRIBUTES psa, DWORD dwDisposition, DWORD dwFlags,
                         HANDLE hTemplate)
{
    {
        std::lock_guard<std::mutex> lock(g_openMutex);
        g_openTimes.push_back(PadSimulator::NowMs());
    }
    return CreateFileA(pszPath, dwAccess, dwShare, psa, dwDisposition, dwFlags, hTemplate);
}

// The real worker and clock against a pad that refuses for 2 s: the opens stay within what
// a retry at most every 50 ms (after the first 3 failures) allows for the ticks that passed,
// and once the pad is back the latest totals reach it. Prints the figures; the exact bounds
// are those of the tests on the test clock (core_retry_test.cpp).
TEST_F(WorkerTest, RefusingPadCostsBoundedOpensAndGetsTheLatestTotalsBack)
{
    FFServer* server = StartedServer(); // no tuning block: a part of 10000 gives 2000
    EffectParams params;
    params.Constant(10000).DurationMs(INFINITE);
    DWORD h = 0;
    ASSERT_TRUE(server->AddEffect(0, &h, &params.eff, 0));
    server->StartEffect(h);
    ASSERT_TRUE(WaitUntil([&] { return server->lLastLeft == 2000; }, 5000));

    pad.RefuseOpens(true);
    pad.Clear();
    {
        std::lock_guard<std::mutex> lock(g_openMutex);
        g_openTimes.clear();
    }
    g_pfnOpenDevice = &TimingOpen;
    const DWORD dwFrom = GetTickCount();
    params.Constant(5000);
    ASSERT_TRUE(server->UpdateEffect(0, h, &params.eff, DIEP_TYPESPECIFICPARAMS));
    Sleep(2000);
    std::vector<double> opens;
    {
        std::lock_guard<std::mutex> lock(g_openMutex);
        opens = g_openTimes;
    }
    const DWORD dwSpan = GetTickCount() - dwFrom;
    // Every open counted came at a tick from dwFrom to dwFrom + dwSpan, and after the first 3
    // each one at least 50 ticks after the one before.
    EXPECT_LE(opens.size(), 3 + dwSpan / 50 + 1) << "over " << dwSpan << " ms";
    ASSERT_GE(opens.size(), 4u);
    EXPECT_EQ(server->lLastLeft, 2000);
    // The longest real wait between two retries: a pad back just after one waits that long.
    double dLongestGap = 0;
    for (size_t i = 3; i < opens.size(); ++i)
        dLongestGap = std::max(dLongestGap, opens[i] - opens[i - 1]);

    const double dBack = PadSimulator::NowMs();
    pad.RefuseOpens(false);
    ASSERT_TRUE(WaitUntil([&] { return server->lLastLeft == 1000; }, 5000));
    g_pfnOpenDevice = &CreateFileA;
    pad.Sync();
    const auto reports = pad.Reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].bytes, ReportBytes(MotorLevel(1000), 0));
    const double dDelay = reports[0].dMs - dBack;
    // Only a delivery that does not come in any reasonable time fails here.
    EXPECT_LT(dDelay, 1000.0);
    std::printf("[ figures  ] real clock: %zu opens in %lu ms of refusals (%.1f per second), "
                "retries at most %.1f ms apart; latest totals %.1f ms after the pad's return\n",
                opens.size(), static_cast<unsigned long>(dwSpan), opens.size() * 1000.0 / dwSpan,
                dLongestGap, dDelay);
    owned.reset();
}

} // namespace
