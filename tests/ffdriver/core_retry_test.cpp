// A pad that refuses writes (unplugged, or its path gone): the pass keeps trying, but with
// bounded effort, and the pad gets the latest totals, or the zero of a stop, once it is back.
#include "core_fixture.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

namespace {

// What a refusing pad may cost and what its return must bring: after a few failed writes in a
// row (kFreeRetries, retried on the next passes) the device is opened at most once per
// kRetryGapMs, and once it takes writes again the latest totals reach it within kDeliveryMs.
constexpr DWORD kFreeRetries = 3;
constexpr DWORD kRetryGapMs = 50;
constexpr DWORD kDeliveryMs = 100;

std::mutex& OpenMutex()
{
    static std::mutex mtx;
    return mtx;
}

// The test clock's tick at every open of the device path, in order.
std::vector<DWORD>& OpenTicks()
{
    static std::vector<DWORD> ticks;
    return ticks;
}

HANDLE WINAPI RecordingOpen(LPCSTR pszPath, DWORD dwAccess, DWORD dwShare,
                            LPSECURITY_ATTRIBUTES psa, DWORD dwDisposition, DWORD dwFlags,
                            HANDLE hTemplate)
{
    {
        std::lock_guard<std::mutex> lock(OpenMutex());
        OpenTicks().push_back(TestTick().load());
    }
    return CreateFileA(pszPath, dwAccess, dwShare, psa, dwDisposition, dwFlags, hTemplate);
}

class RetryTest : public ServerTest {
protected:
    void SetUp() override
    {
        ServerTest::SetUp();
        server->settings.dwStrength = 0; // a part of 10000 gives a total of 2000
        std::lock_guard<std::mutex> lock(OpenMutex());
        OpenTicks().clear();
        g_pfnOpenDevice = &RecordingOpen;
    }

    void TearDown() override
    {
        g_pfnOpenDevice = &CreateFileA;
        ServerTest::TearDown();
    }

    size_t OpenCount()
    {
        std::lock_guard<std::mutex> lock(OpenMutex());
        return OpenTicks().size();
    }

    // The ticks of the opens made since the count was nFrom.
    std::vector<DWORD> OpensSince(size_t nFrom)
    {
        std::lock_guard<std::mutex> lock(OpenMutex());
        return {OpenTicks().begin() + static_cast<std::ptrdiff_t>(nFrom), OpenTicks().end()};
    }

    // A full-scale constant force without end, stored and started at the tick dwTick.
    DWORD StartFullForce(EffectParams& params, DWORD dwTick)
    {
        params.Constant(10000).DurationMs(INFINITE);
        TestTick() = dwTick;
        const DWORD h = Add(params, 0);
        server->StartEffect(h);
        return h;
    }

    // One pass at every millisecond from dwFrom up to dwTo (not included); returns the ticks
    // of the opens those passes made.
    std::vector<DWORD> PassesFromTo(DWORD dwFrom, DWORD dwTo)
    {
        const size_t nBefore = OpenCount();
        for (DWORD t = dwFrom; t < dwTo; ++t)
            PassAt(t);
        return OpensSince(nBefore);
    }

    // Passes at every millisecond from dwFrom until the pass leaves the given totals standing
    // (delivered) or a second is over; returns the milliseconds that took (1000: never).
    DWORD PassesUntilDelivered(DWORD dwFrom, LONG lLeft, LONG lRight)
    {
        for (DWORD t = dwFrom; t < dwFrom + 1000; ++t) {
            PassAt(t);
            if (server->lLastLeft == lLeft && server->lLastRight == lRight)
                return t - dwFrom;
        }
        return 1000;
    }

    // The opens of the passes from dwFrom to dwTo while every write fails. nFree of them may
    // follow each other at once (the first failures in a row); every later one comes at least
    // kRetryGapMs after the attempt before it (dwLastAttempt for the first of them). And the
    // passes keep trying: no stretch of the span longer than kDeliveryMs goes without an open.
    static void ExpectBoundedRetries(const std::vector<DWORD>& opens, DWORD dwFrom, DWORD dwTo,
                                     DWORD nFree, DWORD dwLastAttempt = 0)
    {
        ASSERT_FALSE(opens.empty());
        EXPECT_LE(opens.size(), nFree + (dwTo - dwFrom) / kRetryGapMs + 1);
        DWORD dwLongestWait = opens.front() - dwFrom;
        size_t cTooSoon = 0;
        for (size_t i = 0; i < opens.size(); ++i) {
            const DWORD dwPrevious = i == 0 ? dwLastAttempt : opens[i - 1];
            if (i >= nFree && opens[i] - dwPrevious < kRetryGapMs && cTooSoon++ == 0)
                ADD_FAILURE() << "open " << i << " at " << opens[i] << ", "
                              << opens[i] - dwPrevious << " ms after the attempt before it";
            if (i > 0)
                dwLongestWait = std::max(dwLongestWait, opens[i] - dwPrevious);
        }
        EXPECT_EQ(cTooSoon, 0u) << "opens less than " << kRetryGapMs << " ms apart";
        dwLongestWait = std::max(dwLongestWait, dwTo - opens.back());
        EXPECT_LE(dwLongestWait, kDeliveryMs);
    }
};

TEST_F(RetryTest, RefusingPadIsOpenedAtMostOncePer50MsAfterAFewFailures)
{
    EffectParams params;
    StartFullForce(params, 1000);
    pad.RefuseOpens(true);
    // Two seconds of passes, one per millisecond, and not one write gets through.
    const auto opens = PassesFromTo(1000, 3000);
    ASSERT_FALSE(opens.empty());
    EXPECT_EQ(opens.front(), 1000u); // the first pass tries at once
    ExpectBoundedRetries(opens, 1000, 3000, kFreeRetries);
    EXPECT_EQ(server->lLastLeft, 0);
    std::printf("[ figures  ] refusing pad: %zu opens in 2000 passes over 2 s (%.1f per second)\n",
                opens.size(), opens.size() / 2.0);
    RecordProperty("opens_per_second_refusing", static_cast<int>(opens.size() / 2));

    pad.RefuseOpens(false);
    EXPECT_EQ(Settled().size(), 0u);
}

TEST_F(RetryTest, LatestTotalsReachThePadWithin100MsOfItsReturn)
{
    EffectParams params;
    const DWORD h = StartFullForce(params, 1000);
    pad.RefuseOpens(true);
    auto opens = PassesFromTo(1000, 1500);
    // The totals change while the pad refuses: it must get the new ones, not the first ones.
    params.Constant(5000);
    ASSERT_TRUE(server->UpdateEffect(0, h, &params.eff, DIEP_TYPESPECIFICPARAMS));
    const auto later = PassesFromTo(1500, 3000);
    opens.insert(opens.end(), later.begin(), later.end());
    ExpectBoundedRetries(opens, 1000, 3000, kFreeRetries);

    pad.RefuseOpens(false);
    const DWORD dwDelay = PassesUntilDelivered(3000, 1000, 0);
    EXPECT_LE(dwDelay, kDeliveryMs);
    std::printf("[ figures  ] after 2 s of refusals the latest totals arrive %lu ms after "
                "the pad's return\n",
                static_cast<unsigned long>(dwDelay));
    // Passes on: the totals stand, nothing more is written.
    PassesFromTo(3000 + dwDelay + 1, 3300);
    const auto reports = Settled();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].bytes, ReportBytes(MotorLevel(1000), 0));
}

TEST_F(RetryTest, DelayAfterTheReturnStaysWithinTheBoundWhateverItsPhase)
{
    EffectParams params;
    const DWORD h = StartFullForce(params, 1000);
    ASSERT_EQ(PassAt(1000), 2000);
    DWORD t = 1001;
    DWORD dwWorst = 0;
    LONG lMagnitude = 10000;
    // 300 ms of refusals and up to the attempt after them; the pad comes back 1 to 49 ms
    // after that attempt (1 ms after it is the worst case: the next one is furthest away).
    for (DWORD dwPhase = 0; dwPhase < kRetryGapMs - 1; dwPhase += 8) {
        SCOPED_TRACE(dwPhase);
        lMagnitude = lMagnitude == 10000 ? 5000 : 10000;
        params.Constant(lMagnitude);
        ASSERT_TRUE(server->UpdateEffect(0, h, &params.eff, DIEP_TYPESPECIFICPARAMS));
        pad.RefuseOpens(true);
        const DWORD dwStart = t;
        auto opens = PassesFromTo(t, t + 300);
        t += 300;
        const size_t nBefore = opens.size();
        while (opens.size() == nBefore && t < dwStart + 300 + kDeliveryMs) {
            const auto next = PassesFromTo(t, t + 1);
            ++t;
            opens.insert(opens.end(), next.begin(), next.end());
        }
        ASSERT_GT(opens.size(), nBefore);
        ExpectBoundedRetries(opens, dwStart, t, kFreeRetries);
        const DWORD dwBack = opens.back() + 1 + dwPhase;
        EXPECT_EQ(PassesFromTo(t, dwBack), std::vector<DWORD>{});
        pad.RefuseOpens(false);
        const DWORD dwDelay = PassesUntilDelivered(dwBack, lMagnitude / 5, 0);
        EXPECT_LE(dwDelay, kDeliveryMs);
        dwWorst = std::max(dwWorst, dwDelay);
        t = dwBack + dwDelay + 1;
    }
    std::printf("[ figures  ] latest totals after the pad's return: at most %lu ms\n",
                static_cast<unsigned long>(dwWorst));
    const auto reports = Settled();
    ASSERT_EQ(reports.size(), 8u); // the first totals, then those of each of the 7 returns
    EXPECT_EQ(reports[7].bytes, ReportBytes(MotorLevel(lMagnitude / 5), 0));
}

TEST_F(RetryTest, StopPauseOrResetWhileThePadRefusesEndsWithTheMotorsAtZero)
{
    const struct {
        const char* pszName;
        bool (FFServer::*pfnCommand)();
        size_t cReports; // zero reports the command writes
    } commands[] = {
        {"StopAll", &FFServer::StopAll, 1},
        {"PauseAll", &FFServer::PauseAll, 1},
        {"Reset", &FFServer::Reset, 2},
    };
    DWORD t = 1000;
    for (const auto& command : commands) {
        SCOPED_TRACE(command.pszName);
        EffectParams params;
        const DWORD h = StartFullForce(params, t);
        ASSERT_EQ(PassAt(t), 2000); // on the pad
        ++t;

        // The pad goes away, and the pass has new totals for it.
        pad.RefuseOpens(true);
        pad.Clear();
        params.Constant(5000);
        ASSERT_TRUE(server->UpdateEffect(0, h, &params.eff, DIEP_TYPESPECIFICPARAMS));
        ExpectBoundedRetries(PassesFromTo(t, t + 500), t, t + 500, kFreeRetries);
        t += 500;

        // The command's zero report fails too; the passes go on trying, no more often.
        TestTick() = t;
        const size_t nBefore = OpenCount();
        (server->*command.pfnCommand)();
        EXPECT_EQ(OpenCount() - nBefore, command.cReports);
        ExpectBoundedRetries(PassesFromTo(t + 1, t + 1000), t + 1, t + 1000, 0, t);
        t += 1000;

        // Back: the zero arrives within the bound, and then only the usual 5 zero repeats.
        pad.RefuseOpens(false);
        const DWORD dwDelay = PassesUntilDelivered(t, 0, 0);
        EXPECT_LE(dwDelay, kDeliveryMs);
        PassesFromTo(t + dwDelay + 1, t + 300);
        t += 300;
        const auto reports = Settled();
        ASSERT_EQ(reports.size(), 6u);
        for (const auto& report : reports)
            EXPECT_EQ(report.bytes, ReportBytes(0, 0));
        EXPECT_EQ(g_dwZeroReportRepeats.load(), 5u);
        // And the pad stays at rest.
        pad.Clear();
        PassesFromTo(t, t + 100);
        t += 100;
        EXPECT_EQ(Settled().size(), 0u);
        server->StopAll();
        PassAt(t++);
        pad.Clear();
    }
}

// A write that fails now and then (a busy pad) is retried on the very next passes; only
// after kFreeRetries failures in a row do the retries slow down.
TEST_F(RetryTest, TheFirstFailuresInARowAreRetriedOnTheNextPasses)
{
    EffectParams params;
    StartFullForce(params, 1000);
    pad.RefuseOpens(true);
    EXPECT_EQ(PassesFromTo(1000, 1010), (std::vector<DWORD>{1000, 1001, 1002}));
    pad.RefuseOpens(false);
    // The next attempt comes kRetryGapMs after the last one, and delivers.
    EXPECT_EQ(PassesFromTo(1010, 1002 + kRetryGapMs), std::vector<DWORD>{});
    EXPECT_EQ(PassesFromTo(1002 + kRetryGapMs, 1003 + kRetryGapMs),
              std::vector<DWORD>{1002 + kRetryGapMs});
    EXPECT_EQ(server->lLastLeft, 2000);
    const auto reports = Settled();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].bytes, ReportBytes(MotorLevel(2000), 0));
}

} // namespace
