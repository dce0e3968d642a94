// Calls that race: first opens of one id, first hand-outs, factory releases, and hand-outs
// that meet final releases.
#include "com_driver_dll.h"

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace {

// Runs fn(i) on n threads that all start at the same moment.
template <typename Fn>
void RunTogether(int n, Fn fn)
{
    std::atomic<int> nWaiting{n};
    std::vector<std::thread> threads;
    for (int i = 0; i < n; ++i)
        threads.emplace_back([&, i] {
            --nWaiting;
            while (nWaiting.load() > 0)
                std::this_thread::yield();
            fn(i);
        });
    for (auto& t : threads)
        t.join();
}

} // namespace

TEST_F(DriverTest, ConcurrentFirstOpensMakeOneServer)
{
    constexpr int kThreads = 6;
    for (int nRound = 0; nRound < 5; ++nRound) {
        std::vector<std::unique_ptr<PadSimulator>> pads;
        for (int i = 0; i < kThreads; ++i) {
            pads.push_back(std::make_unique<PadSimulator>());
            ASSERT_TRUE(pads.back()->Start());
        }
        RunTogether(kThreads, [&](int i) { EXPECT_EQ(Open(5, *pads[i]), S_OK); });
        // One server: exactly one path receives reports, the effect's force included.
        ASSERT_EQ(pDriver->SetGain(5, 10000), S_OK);
        Download(KIND_CONSTANT, 10000, 0, DIEP_ALLPARAMS | DIEP_START, 5);
        Sleep(100);
        int nWritten = 0;
        for (auto& p : pads)
            nWritten += p->Count() > 0;
        EXPECT_EQ(nWritten, 1) << "round " << nRound;

        EXPECT_EQ(pDriver->Release(), 0u);
        pDriver = dll.CreateDriver();
        ASSERT_NE(pDriver, nullptr);
    }
}

TEST(DriverConcurrency, FirstHandOutsMakeOneObject)
{
    DriverDll& dll = DriverDll::Get();
    constexpr int kThreads = 6;
    for (int nRound = 0; nRound < 50; ++nRound) {
        IClassFactory* rgpFactory[kThreads] = {};
        void* rgpvDriver[kThreads] = {};
        // Every caller keeps what it was given until all have asked.
        RunTogether(kThreads, [&](int i) {
            rgpFactory[i] = dll.Factory();
            if (rgpFactory[i])
                rgpFactory[i]->CreateInstance(nullptr, IID_IDirectInputEffectDriver,
                                              &rgpvDriver[i]);
        });
        for (int i = 0; i < kThreads; ++i) {
            ASSERT_NE(rgpFactory[i], nullptr);
            ASSERT_NE(rgpvDriver[i], nullptr);
            EXPECT_EQ(rgpFactory[i], rgpFactory[0]) << "round " << nRound;
            EXPECT_EQ(rgpvDriver[i], rgpvDriver[0]) << "round " << nRound;
        }
        for (int i = 0; i < kThreads; ++i) {
            static_cast<IUnknown*>(rgpvDriver[i])->Release();
            rgpFactory[i]->Release();
        }
        ASSERT_EQ(dll.pfnCanUnloadNow(), S_OK) << "round " << nRound;
    }
}

TEST(DriverConcurrency, FactoryReleasesRaceWithoutDoubleDestroy)
{
    DriverDll& dll = DriverDll::Get();
    for (int nRound = 0; nRound < 200; ++nRound) {
        IClassFactory* pFactory = dll.Factory();
        ASSERT_NE(pFactory, nullptr);
        for (int i = 0; i < 3; ++i)
            pFactory->AddRef();
        std::atomic<int> nZeros{0};
        RunTogether(4, [&](int) { nZeros += pFactory->Release() == 0; });
        // Counts 2, 1 and 0, and the 0 of the release that destroys it.
        ASSERT_EQ(nZeros.load(), 2) << "round " << nRound;
        ASSERT_EQ(dll.pfnCanUnloadNow(), S_OK) << "round " << nRound;
    }
}

TEST(DriverConcurrency, HandOutsMeetFinalReleases)
{
    DriverDll& dll = DriverDll::Get();
    PadSimulator pad;
    ASSERT_TRUE(pad.Start());
    std::atomic<int> nFailures{0};
    // Each caller takes its own factory and driver reference, opens a device and drops
    // both, in one order or the other; many of these releases are final.
    RunTogether(4, [&](int t) {
        for (int i = 0; i < 60; ++i) {
            IClassFactory* pFactory = dll.Factory();
            void* pv = nullptr;
            if (!pFactory || FAILED(pFactory->CreateInstance(
                                 nullptr, IID_IDirectInputEffectDriver, &pv))) {
                ++nFailures;
                break;
            }
            auto* pDriver = static_cast<IDirectInputEffectDriver*>(pv);
            const bool bFactoryFirst = (i + t) % 2;
            if (bFactoryFirst)
                pFactory->Release();
            DIHIDFFINITINFO init{sizeof(init), const_cast<LPWSTR>(pad.WidePath()), {}};
            DIDRIVERVERSIONS vers{sizeof(vers), 0, 0, 0};
            if (pDriver->DeviceID(0x0800, i % 3, 1, 0, &init) != S_OK ||
                pDriver->GetVersions(&vers) != S_OK)
                ++nFailures;
            pDriver->Release();
            if (!bFactoryFirst)
                pFactory->Release();
        }
    });
    EXPECT_EQ(nFailures.load(), 0);
    EXPECT_EQ(dll.pfnCanUnloadNow(), S_OK);
    // Every server that was made has been torn down: the pad is left at rest.
    pad.WaitQuiet(50, 2000);
    ASSERT_GT(pad.Count(), 0u);
    EXPECT_TRUE(IsZeroReport(pad.Reports().back().bytes));
}
