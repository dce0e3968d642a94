#include "ZR_Object.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

std::atomic<int> g_nDestroyed{0};
std::vector<int>* g_pOrder = nullptr;

struct Base : CZR_Object {
    ~Base() override
    {
        if (g_pOrder)
            g_pOrder->push_back(2);
        ++g_nDestroyed;
    }
};

struct Derived : Base {
    ~Derived() override
    {
        if (g_pOrder)
            g_pOrder->push_back(1);
    }
};

TEST(ObjectTest, FirstAddRefAndLastReleaseDestroy)
{
    std::vector<int> order;
    g_pOrder = &order;
    g_nDestroyed = 0;
    auto* p = new Derived;
    EXPECT_EQ(p->AddRef(), 1);
    EXPECT_EQ(p->Release(), 0);
    EXPECT_EQ(g_nDestroyed, 1);
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    g_pOrder = nullptr;
}

TEST(ObjectTest, ReleaseAtZeroGoesNegativeWithoutDestroying)
{
    g_nDestroyed = 0;
    auto* p = new Derived;
    EXPECT_EQ(p->Release(), -1);
    EXPECT_EQ(g_nDestroyed, 0);
    EXPECT_EQ(p->AddRef(), 0);
    delete p;
    EXPECT_EQ(g_nDestroyed, 1);
}

TEST(ObjectTest, ConcurrentPairsNeverDestroyAndLastReleaseDestroysOnce)
{
    g_nDestroyed = 0;
    auto* p = new Derived;
    p->AddRef();
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([p] {
            for (int i = 0; i < 20000; ++i) {
                p->AddRef();
                p->Release();
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(g_nDestroyed, 0);
    EXPECT_EQ(p->Release(), 0);
    EXPECT_EQ(g_nDestroyed, 1);
}

TEST(ObjectTest, RacingLastReleasesDestroyOnce)
{
    for (int round = 0; round < 200; ++round) {
        g_nDestroyed = 0;
        auto* p = new Derived;
        p->AddRef();
        p->AddRef();
        std::atomic<int> zeros{0};
        std::thread a([&] { zeros += p->Release() == 0; });
        std::thread b([&] { zeros += p->Release() == 0; });
        a.join();
        b.join();
        ASSERT_EQ(g_nDestroyed, 1);
        ASSERT_EQ(zeros, 1);
    }
}

TEST(DayLogTest, CreatesNothingAndWriteDoesNothing)
{
    const char* pszFolder = "c:\\vantrel-no-such-folder\\Log";
    auto* pLog = new CZR_DayLog(pszFolder);
    pLog->Write(nullptr, nullptr, 0);
    pLog->Write(pszFolder, &pLog, -1);
    EXPECT_EQ(GetFileAttributesA(pszFolder), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA("c:\\vantrel-no-such-folder"), INVALID_FILE_ATTRIBUTES);
    delete pLog;
}

} // namespace
