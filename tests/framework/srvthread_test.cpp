#include "ZR_SrvThread.h"
#include "watchdog.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

// A client whose hooks count their calls and can be told to fail or to take their time.
class ProbeClient : public CZR_SrvClient {
public:
    explicit ProbeClient(std::atomic<int>* pDestroyedAfterPasses = nullptr)
        : CZR_SrvClient(0, 0, nullptr, nullptr), pPassesAtDestruction(pDestroyedAfterPasses)
    {
    }
    ~ProbeClient() override
    {
        StopAndWait();
        if (pPassesAtDestruction)
            *pPassesAtDestruction = nPasses.load();
    }

    bool OnStart() override { return bAllowStart; }
    bool RunPass() override
    {
        ++nPasses;
        if (dwPassMs)
            Sleep(dwPassMs);
        return !bFailNextPass.exchange(false);
    }
    bool OnError() override
    {
        ++nErrors;
        return true;
    }

    HANDLE ThreadHandle() const { return hThread.load(); }

    std::atomic<int> nPasses{0};
    std::atomic<int> nErrors{0};
    std::atomic<bool> bFailNextPass{false};
    std::atomic<DWORD> dwPassMs{0};
    bool bAllowStart = true;

private:
    std::atomic<int>* pPassesAtDestruction;
};

TEST(SrvThreadTest, StartRunsPassesUntilStopped)
{
    ProbeClient client;
    EXPECT_EQ(client.GetState(), SRV_IDLE);
    EXPECT_EQ(client.GetThreadId(), static_cast<DWORD>(-1));
    ASSERT_TRUE(client.Start());
    EXPECT_NE(client.GetThreadId(), static_cast<DWORD>(-1));
    ASSERT_TRUE(WaitUntil([&] { return client.GetState() == SRV_RUNNING; }, 5000));
    ASSERT_TRUE(WaitUntil([&] { return client.nPasses > 10; }, 5000));
    EXPECT_FALSE(client.Start()) << "a running worker accepts no second start";

    client.StopAndWait();
    EXPECT_EQ(client.GetState(), SRV_STOPPED);
    const int nAfterStop = client.nPasses;
    Sleep(50);
    EXPECT_EQ(client.nPasses, nAfterStop);
    client.StopAndWait(); // a second call returns at once
    EXPECT_EQ(client.nErrors, 0);
}

TEST(SrvThreadTest, PauseAndResumeAreRefused)
{
    ProbeClient client;
    EXPECT_FALSE(client.Pause());
    EXPECT_FALSE(client.Resume());
    ASSERT_TRUE(client.Start());
    ASSERT_TRUE(WaitUntil([&] { return client.GetState() == SRV_RUNNING; }, 5000));
    EXPECT_FALSE(client.Pause());
    EXPECT_FALSE(client.Resume());
    EXPECT_EQ(client.GetState(), SRV_RUNNING);
}

// A class that allows pausing; its states are set by hand, as no worker carries a pause through.
class PausableThread : public CZR_SrvThread {
public:
    PausableThread() : CZR_SrvThread(nullptr, nullptr) {}
    bool CanPause() override { return true; }
    void ForceState(SrvState nNew) { nState = nNew; }
};

TEST(SrvThreadTest, PauseAndResumeFollowTheStateWhenAllowed)
{
    PausableThread thread;
    EXPECT_FALSE(thread.Pause());
    EXPECT_FALSE(thread.Resume());
    EXPECT_EQ(thread.GetState(), SRV_IDLE);

    thread.ForceState(SRV_PAUSED);
    EXPECT_TRUE(thread.Pause());
    EXPECT_EQ(thread.GetState(), SRV_PAUSED);
    EXPECT_TRUE(thread.Resume());
    EXPECT_EQ(thread.GetState(), SRV_RESUME_REQUESTED);

    thread.ForceState(SRV_RUNNING);
    EXPECT_TRUE(thread.Resume());
    EXPECT_EQ(thread.GetState(), SRV_RUNNING);
    EXPECT_TRUE(thread.Pause());
    EXPECT_EQ(thread.GetState(), SRV_PAUSE_REQUESTED);
    // Without a worker nobody answers the request: the wait before acting settles it as stopped.
    EXPECT_FALSE(thread.Resume());
    EXPECT_EQ(thread.GetState(), SRV_STOPPED);
}

TEST(SrvThreadTest, StopBeforeStartThenStart)
{
    ProbeClient client;
    EXPECT_TRUE(client.Stop());
    EXPECT_EQ(client.GetState(), SRV_STOPPED);
    ASSERT_TRUE(client.Start());
    ASSERT_TRUE(WaitUntil([&] { return client.nPasses > 0; }, 5000));
}

TEST(SrvThreadTest, RefusedStartLeavesIdleWithoutThread)
{
    ProbeClient client;
    client.bAllowStart = false;
    EXPECT_FALSE(client.Start());
    EXPECT_EQ(client.GetState(), SRV_IDLE);
    EXPECT_EQ(client.ThreadHandle(), nullptr);
    EXPECT_EQ(client.GetThreadId(), static_cast<DWORD>(-1));
    client.bAllowStart = true;
    EXPECT_TRUE(client.Start());
}

TEST(SrvThreadTest, FailingPassGivesOneErrorAndEnds)
{
    ProbeClient client;
    client.bFailNextPass = true;
    ASSERT_TRUE(client.Start());
    ASSERT_TRUE(WaitUntil([&] { return client.GetState() == SRV_ENDED; }, 5000));
    EXPECT_EQ(client.nErrors, 1);
    EXPECT_EQ(client.nPasses, 1);
    EXPECT_FALSE(client.Start());
    EXPECT_TRUE(client.Stop());
    EXPECT_EQ(client.GetState(), SRV_ENDED);
}

TEST(SrvThreadTest, StopDuringLongPassLetsItFinish)
{
    ProbeClient client;
    client.dwPassMs = 200;
    ASSERT_TRUE(client.Start());
    ASSERT_TRUE(WaitUntil([&] { return client.nPasses == 1; }, 5000));
    client.StopAndWait();
    EXPECT_EQ(client.GetState(), SRV_STOPPED);
    EXPECT_EQ(client.nPasses, 1);
}

TEST(SrvThreadTest, RestartRunsANewWorkerWithoutLeakingTheOldHandle)
{
    ProbeClient client;
    ASSERT_TRUE(client.Start());
    const DWORD dwFirst = client.GetThreadId();
    client.StopAndWait();
    ASSERT_TRUE(client.Start());
    EXPECT_NE(client.GetThreadId(), dwFirst);
    ASSERT_TRUE(WaitUntil([&] { return client.GetState() == SRV_RUNNING; }, 5000));

    // The restart closes the ended worker's handle: the old value is either invalid now or
    // has been handed out again, to the new worker.
    const HANDLE hRunning = client.ThreadHandle();
    client.StopAndWait();
    ASSERT_TRUE(client.Start());
    DWORD dwFlags = 0;
    EXPECT_TRUE(!GetHandleInformation(hRunning, &dwFlags) || hRunning == client.ThreadHandle());
}

TEST(SrvThreadTest, DestructionJoinsTheWorkerAndNoPassFollows)
{
    std::atomic<int> nPassesAtDestruction{-1};
    auto* pClient = new ProbeClient(&nPassesAtDestruction);
    ASSERT_TRUE(pClient->Start());
    ASSERT_TRUE(WaitUntil([&] { return pClient->nPasses > 3; }, 5000));
    HANDLE hThread = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), pClient->ThreadHandle(), GetCurrentProcess(),
                                &hThread, 0, FALSE, DUPLICATE_SAME_ACCESS));
    delete pClient;
    EXPECT_EQ(WaitForSingleObject(hThread, 0), WAIT_OBJECT_0) << "the worker has ended";
    CloseHandle(hThread);
    EXPECT_GT(nPassesAtDestruction, 3);
}

TEST(SrvThreadTest, DestroyingNeverStartedObjectReturnsAtOnce)
{
    const ULONGLONG tStart = GetTickCount64();
    delete new ProbeClient;
    EXPECT_LT(GetTickCount64() - tStart, 1000u);
}

TEST(SrvThreadTest, DestructionAfterWorkerWasKilledReturns)
{
    auto* pClient = new ProbeClient;
    pClient->dwPassMs = 5;
    ASSERT_TRUE(pClient->Start());
    ASSERT_TRUE(WaitUntil([&] { return pClient->nPasses > 2; }, 5000));
    // Killed mid-pass, it never writes its final state.
    TerminateThread(pClient->ThreadHandle(), 1);
    WaitForSingleObject(pClient->ThreadHandle(), 5000);
    EXPECT_EQ(pClient->GetState(), SRV_RUNNING);
    const ULONGLONG tStart = GetTickCount64();
    delete pClient;
    EXPECT_LT(GetTickCount64() - tStart, 2000u);
}

TEST(SrvThreadTest, ConcurrentStopsAndWaitsAgree)
{
    ProbeClient client;
    ASSERT_TRUE(client.Start());
    HANDLE hThreads[4];
    for (HANDLE& h : hThreads)
        h = CreateThread(
            nullptr, 0,
            [](LPVOID p) WINAPI -> DWORD {
                static_cast<ProbeClient*>(p)->StopAndWait();
                return 0;
            },
            &client, 0, nullptr);
    EXPECT_EQ(WaitForMultipleObjects(4, hThreads, TRUE, 10000), WAIT_OBJECT_0);
    for (HANDLE h : hThreads)
        CloseHandle(h);
    EXPECT_EQ(client.GetState(), SRV_STOPPED);
}

} // namespace
