#include "ZR_SrvServer.h"
#include "watchdog.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

std::atomic<int> g_nClientsDestroyed{0};

class CountedClient : public CZR_SrvClient {
public:
    CountedClient() : CZR_SrvClient(0, 0, nullptr, nullptr) {}
    ~CountedClient() override
    {
        StopAndWait();
        ++g_nClientsDestroyed;
    }
    void ForceState(SrvState nNew) { nState = nNew; }
    bool RunPass() override
    {
        Sleep(1);
        return true;
    }
};

class SrvServerTest : public testing::Test {
protected:
    void SetUp() override { g_nClientsDestroyed = 0; }
    CZR_SrvServer server{nullptr, nullptr};
};

TEST_F(SrvServerTest, EmptyServer)
{
    EXPECT_EQ(server.GetClientCount(), 0u);
    EXPECT_EQ(server.TakeFirstClient(), nullptr);
    EXPECT_EQ(server.GetClientAt(0), nullptr);
    EXPECT_EQ(server.GetState(), SRV_ERROR);
    // The error left by a failed lookup on a server without a worker must not hang a stop.
    server.StopAndWait();
    EXPECT_EQ(server.GetState(), SRV_STOPPED);
    server.AddClient(nullptr);
    EXPECT_EQ(server.GetClientCount(), 0u);
}

TEST_F(SrvServerTest, LookupTakeAndDelete)
{
    auto* c1 = new CountedClient;
    auto* c2 = new CountedClient;
    auto* c3 = new CountedClient;
    server.AddClient(c1);
    server.AddClient(c2);
    server.AddClient(c3);
    EXPECT_EQ(server.GetClientCount(), 3u);
    EXPECT_EQ(server.GetClientAt(0), c1);
    EXPECT_EQ(server.GetClientAt(2), c3);
    EXPECT_EQ(server.TakeFirstClient(), c1);
    EXPECT_EQ(server.GetClientAt(0), c2);
    delete c1;
    ASSERT_TRUE(c2->Start());
    ASSERT_TRUE(c3->Start());
    server.DeleteAllClients();
    EXPECT_EQ(server.GetClientCount(), 0u);
    EXPECT_EQ(g_nClientsDestroyed, 3);
}

TEST_F(SrvServerTest, CleanupDestroysFinishedClientsAndKeepsOrder)
{
    CountedClient* c[4];
    const SrvState states[4] = {SRV_RUNNING, SRV_STOPPED, SRV_IDLE, SRV_ENDED};
    for (int i = 0; i < 4; ++i) {
        c[i] = new CountedClient;
        server.AddClient(c[i]);
    }
    ASSERT_TRUE(c[0]->Start());
    ASSERT_TRUE(WaitUntil([&] { return c[0]->GetState() == SRV_RUNNING; }, 5000));
    for (int i = 1; i < 4; ++i)
        c[i]->ForceState(states[i]);
    server.Cleanup();
    EXPECT_EQ(g_nClientsDestroyed, 2);
    ASSERT_EQ(server.GetClientCount(), 2u);
    EXPECT_EQ(server.GetClientAt(0), c[0]);
    EXPECT_EQ(server.GetClientAt(1), c[2]);
}

TEST_F(SrvServerTest, DestroyingARunningServerStopsItsRunningClients)
{
    auto* pServer = new CZR_SrvServer(nullptr, nullptr);
    for (int i = 0; i < 3; ++i) {
        auto* pClient = new CountedClient;
        pServer->AddClient(pClient);
        ASSERT_TRUE(pClient->Start());
    }
    ASSERT_TRUE(pServer->Start());
    ASSERT_TRUE(WaitUntil([&] { return pServer->GetState() == SRV_RUNNING; }, 5000));
    delete pServer;
    EXPECT_EQ(g_nClientsDestroyed, 3);
}

TEST_F(SrvServerTest, FailedLookupOnRunningServerEndsItsWorker)
{
    ASSERT_TRUE(server.Start());
    ASSERT_TRUE(WaitUntil([&] { return server.GetState() == SRV_RUNNING; }, 5000));
    EXPECT_EQ(server.GetClientAt(5), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return server.GetState() == SRV_ENDED; }, 5000));
    // A second failed lookup after the worker ended must not leave a stop waiting for ever.
    EXPECT_EQ(server.GetClientAt(5), nullptr);
    server.StopAndWait();
    EXPECT_EQ(server.GetState(), SRV_ENDED);
}

} // namespace
