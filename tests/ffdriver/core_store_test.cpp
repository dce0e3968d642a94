#include "core_fixture.h"

#include <cstdlib>

namespace {

using StoreTest = ServerTest;

FFEffect* Record(FFServer* server, DWORD dwHandle)
{
    CZR_ListNode* pNode = server->effects.pHead;
    for (DWORD n = server->effects.nCount; n > 0; --n, pNode = pNode->pNext) {
        if (reinterpret_cast<FFEffect*>(pNode)->dwHandle == dwHandle)
            return reinterpret_cast<FFEffect*>(pNode);
    }
    return nullptr;
}

TEST_F(StoreTest, HandlesAreTheSmallestFreeNumbers)
{
    EffectParams params;
    params.Constant(5000);
    EXPECT_EQ(Add(params, 0), 1u);
    EXPECT_EQ(Add(params, 0), 2u);
    EXPECT_EQ(Add(params, 0), 3u);
    server->RemoveEffect(2);
    EXPECT_EQ(Add(params, 0), 2u);
    EXPECT_EQ(Add(params, 0), 4u);
}

TEST_F(StoreTest, DownloadedTimesAreWholeMilliseconds)
{
    EffectParams params;
    params.eff.dwDuration = 1500;
    params.eff.dwStartDelay = 999;
    FFEffect* pShort = Record(server, Add(params, 0));
    params.eff.dwDuration = INFINITE;
    FFEffect* pInfinite = Record(server, Add(params, 0));
    // An older, shorter DIEFFECT has no start delay to read.
    params.eff.dwSize = sizeof(DIEFFECT_DX5);
    params.eff.dwStartDelay = 50000;
    FFEffect* pOld = Record(server, Add(params, 0));
    EXPECT_EQ(pShort->dwDuration, 1u);
    EXPECT_EQ(pShort->dwStartDelay, 0u);
    EXPECT_EQ(pInfinite->dwDuration, 4294967u);
    EXPECT_EQ(pOld->dwStartDelay, 0u);
}

TEST_F(StoreTest, MoreThanFourAxesAreCutToFour)
{
    EffectParams params;
    params.eff.cAxes = 6;
    for (LONG i = 0; i < 6; ++i)
        params.rglDirection[i] = 100 * (i + 1);
    FFEffect* pEffect = Record(server, Add(params, 0));
    ASSERT_NE(pEffect, nullptr);
    EXPECT_EQ(pEffect->cAxes, 4u);
    EXPECT_EQ(pEffect->rglDirection[3], 400);
    EXPECT_EQ(pEffect->envelope.dwSize, 0u); // the field after the arrays

    params.eff.cAxes = 8;
    server->UpdateEffect(0, pEffect->dwHandle, &params.eff, DIEP_AXES | DIEP_DIRECTION);
    EXPECT_EQ(pEffect->cAxes, 4u);
    EXPECT_EQ(pEffect->rglDirection[0], 100);
    EXPECT_EQ(pEffect->envelope.dwSize, 0u);
}

void* FailingAlloc(size_t) { return nullptr; }

TEST_F(StoreTest, FailedAllocationsLeaveTheStoreAsItWas)
{
    EffectParams params;
    params.Constant(6000);
    const DWORD h = Add(params, 0);
    FFEffect* pEffect = Record(server, h);

    g_pfnEffectAlloc = &FailingAlloc;
    DWORD dwHandle = 0xABCD;
    EXPECT_FALSE(server->AddEffect(0, &dwHandle, &params.eff, 0));
    EXPECT_EQ(dwHandle, 0xABCDu);
    // A new block that cannot be made keeps the effect, old block and all.
    EffectParams change;
    change.Constant(100);
    change.eff.dwGain = 1;
    EXPECT_FALSE(server->UpdateEffect(0, h, &change.eff, DIEP_TYPESPECIFICPARAMS | DIEP_GAIN));
    g_pfnEffectAlloc = &std::malloc;

    ASSERT_EQ(server->effects.nCount, 1u);
    EXPECT_EQ(Record(server, h), pEffect);
    EXPECT_EQ(pEffect->dwGain, 10000u);
    server->StartEffect(h);
    EXPECT_EQ(PassAt(1000), 6000);
}

TEST_F(StoreTest, InactiveServerChangesNothing)
{
    server->bActive = 0;
    EffectParams params;
    DWORD dwHandle = 7;
    EXPECT_FALSE(server->AddEffect(0, &dwHandle, &params.eff, 0));
    EXPECT_EQ(dwHandle, 7u);
    EXPECT_FALSE(server->StopAll());
    EXPECT_FALSE(server->Reset());
    EXPECT_EQ(Settled().size(), 0u);
}

TEST_F(StoreTest, StartRestartsOnlyWhatIsNotPlaying)
{
    EffectParams params;
    const DWORD h = Add(params, 0);
    FFEffect* pEffect = Record(server, h);
    // DIEP_START on a stopped effect leaves it stopped; the caller's start starts it.
    server->UpdateEffect(0, h, &params.eff, DIEP_START);
    EXPECT_EQ(server->GetEffectState(h), EFFECT_STOPPED);
    TestTick() = 2000;
    server->StartEffect(h);
    TestTick() = 2100;
    server->StartEffect(h);
    EXPECT_EQ(pEffect->dwStartTick, 2000u);
    server->PauseAll();
    TestTick() = 2500;
    server->StartEffect(h);
    EXPECT_EQ(server->GetEffectState(h), EFFECT_PLAYING);
    EXPECT_EQ(pEffect->dwStartTick, 2500u);
    EXPECT_EQ(server->GetEffectState(42), EFFECT_STOPPED);
}

TEST_F(StoreTest, PausedAt300AndContinued500LaterPlaysOnFrom300)
{
    // A ramp 0 -> 10000 over 1000 ms: the level tells where in its time the effect is.
    EffectParams params;
    params.Ramp(0, 10000).DurationMs(1000);
    const DWORD h = Add(params, 1);
    TestTick() = 10000;
    server->StartEffect(h);
    EXPECT_EQ(PassAt(10300), 3000);
    server->PauseAll();
    EXPECT_EQ(PassAt(10500), 0);
    EXPECT_EQ(server->dwPlaySummary.load(), static_cast<DWORD>(EFFECT_PAUSED));
    TestTick() = 10800;
    server->ContinueAll();
    EXPECT_EQ(PassAt(10800), 3000);
    EXPECT_EQ(PassAt(10900), 4000);
}

TEST_F(StoreTest, ZeroReportsOfStopPauseResetAndContinue)
{
    auto countFor = [&](auto op) {
        pad.Clear();
        op();
        const auto reports = Settled();
        for (const auto& report : reports)
            EXPECT_EQ(report.bytes, ReportBytes(0, 0));
        return reports.size();
    };
    // Even with nothing playing.
    EXPECT_EQ(countFor([&] { server->StopAll(); }), 1u);
    EXPECT_EQ(countFor([&] { server->PauseAll(); }), 1u);
    EXPECT_EQ(countFor([&] { server->Reset(); }), 2u);
    EXPECT_EQ(countFor([&] { server->ContinueAll(); }), 0u);
    EffectParams params;
    server->StartEffect(Add(params, 0));
    server->StartEffect(Add(params, 0));
    EXPECT_EQ(countFor([&] { server->Reset(); }), 2u);
    EXPECT_EQ(server->effects.nCount, 0u);
}

TEST_F(StoreTest, PauseAndContinueBetweenPassesRestoreTheLevel)
{
    EffectParams params;
    params.Constant(10000).DurationMs(INFINITE);
    server->settings.dwStrength = 0;
    server->StartEffect(Add(params, 0));
    PassAt(1000);
    server->PauseAll();
    server->ContinueAll();
    PassAt(1001);
    server->StopAll();
    PassAt(1002);
    const auto reports = Settled();
    const BYTE bLevel = MotorLevel(2000);
    ASSERT_EQ(reports.size(), 5u);
    EXPECT_EQ(reports[0].bytes, ReportBytes(bLevel, 0));
    EXPECT_EQ(reports[1].bytes, ReportBytes(0, 0)); // PauseAll
    EXPECT_EQ(reports[2].bytes, ReportBytes(bLevel, 0));
    EXPECT_EQ(reports[3].bytes, ReportBytes(0, 0)); // StopAll
    EXPECT_EQ(reports[4].bytes, ReportBytes(0, 0)); // the pass, its totals now 0
}

} // namespace
