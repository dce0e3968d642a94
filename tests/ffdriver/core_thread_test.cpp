#include "core_fixture.h"
#include "watchdog.h"

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

    FFServer* StartedServer()
    {
        auto* p = new FFServer(0);
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
    // Three effects: left 2000 + 0 + 1414, right 0 + 2000 + 1414.
    ASSERT_TRUE(WaitUntil([&] { return server->lLastLeft == 3414; }, 5000));
    delete server;
    const double dDeleted = PadSimulator::NowMs();
    pad.Sync();
    const auto reports = pad.Reports();
    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports.front().bytes, ReportBytes(0, 0));
    // The worker's last report is the full mix, then the teardown's single zero report.
    EXPECT_EQ(reports[reports.size() - 2].bytes,
              ReportBytes(MotorLevel(3414), MotorLevel(3414)));
    EXPECT_EQ(reports.back().bytes, ReportBytes(0, 0));
    EXPECT_LE(reports.back().dMs, dDeleted + 500);
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
    delete server;
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
    delete server;
}

} // namespace
