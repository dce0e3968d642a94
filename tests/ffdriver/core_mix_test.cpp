#include "core_fixture.h"

#include <climits>

namespace {

using MixTest = ServerTest;

TEST_F(MixTest, DirectionSplitsALevelBetweenTheMotors)
{
    const DWORD P = DIEFF_POLAR, C = DIEFF_CARTESIAN;
    const struct {
        DWORD dwFlags;
        LONG rglDirection[4];
        DWORD cAxes;
        LONG lLeft, lRight; // 0 and 0 also where nothing may be written
    } cases[] = {
        {P, {0}, 2, 10000, 0},        {P, {3000}, 2, 8660, 4999},   {P, {4500}, 2, 7071, 7071},
        {P, {9000}, 2, 0, -10000},    {P, {18000}, 2, -10000, 0},   {P, {27000}, 2, 0, 10000},
        {P, {35999}, 2, -9998, 174},  {P, {36000}, 2, 10000, 0},    {P, {-9000}, 2, 0, 0},
        {P, {-100}, 2, 0, 0},         {P | C, {9000, 1}, 2, 0, -10000},
        {C, {1, 3}, 2, 2500, 7500},   {C, {100, -100}, 2, 10000, 10000},
        {C, {5, 500}, 1, 10000, 10000}, {C, {0, 0}, 2, 10000, 10000}, {0, {1, 3}, 2, 10000, 10000},
        {C, {LONG_MAX, 1}, 2, 9999, 0}, // products past 32 bits
    };
    for (const auto& c : cases) {
        LONG lLeft = 0, lRight = 0;
        server->SplitForce(&lLeft, &lRight, 10000, c.dwFlags, c.rglDirection, c.cAxes);
        EXPECT_EQ(lLeft, c.lLeft) << c.dwFlags << " " << c.rglDirection[0];
        EXPECT_EQ(lRight, c.lRight) << c.dwFlags << " " << c.rglDirection[0];
    }
}

TEST_F(MixTest, InterpolateIsLinearAndDefinedOverAnEmptySpan)
{
    LONG l = -1;
    server->Interpolate(&l, 2000, 8000, 100, 50);
    EXPECT_EQ(l, 5000);
    server->Interpolate(&l, 10000, 0, 3, 1);
    EXPECT_EQ(l, 6666);
    server->Interpolate(&l, 7, 42, 0, 0);
    EXPECT_EQ(l, 42);
    // 10000 over an infinite duration: the 32-bit product would overflow.
    server->Interpolate(&l, 0, 10000, 4294967, 4294966);
    EXPECT_EQ(l, 9999);
}

// Plays one effect from tick 1000 and returns the left total at each elapsed time.
class LevelTest : public ServerTest {
protected:
    std::vector<LONG> Levels(EffectParams& params, DWORD dwKind, std::vector<DWORD> times)
    {
        const DWORD h = Add(params, dwKind);
        TestTick() = 1000;
        server->StartEffect(h);
        std::vector<LONG> levels;
        for (DWORD t : times)
            levels.push_back(PassAt(1000 + t));
        return levels;
    }
};

TEST_F(LevelTest, EnvelopeTimeline)
{
    // Delay 100, attack 50 from 0, sustain 200 at 8000, fade 100 to 2000.
    EffectParams params;
    params.Constant(8000).DurationMs(200).Envelope(0, 50000, 2000, 100000);
    params.eff.dwStartDelay = 100000;
    const auto levels =
        Levels(params, 0, {0, 99, 100, 125, 149, 150, 350, 351, 400, 449, 450, 451});
    EXPECT_EQ(levels, (std::vector<LONG>{0, 0, 0, 4000, 7840, 8000, 8000, 7940, 5000, 2060, 0,
                                         0}));
    EXPECT_EQ(server->GetEffectState(1), EFFECT_STOPPED);

    // A fade under 2 ms is no fade: stopped on the first pass past the sustain.
    server->Reset();
    EffectParams shortFade;
    shortFade.Constant(8000).DurationMs(10).Envelope(0, 0, 0, 1999);
    EXPECT_EQ(Levels(shortFade, 0, {10, 11}), (std::vector<LONG>{8000, 0}));
}

TEST_F(LevelTest, PeriodicWaveforms)
{
    // Periods play at a third of their length with an all-zero tuning block.
    const struct {
        DWORD dwKind, dwMagnitude;
        LONG lOffset;
        DWORD dwPhase, dwPeriod;
        std::vector<DWORD> times;
        std::vector<LONG> levels; // sizes: a negative level drives a motor as hard
    } cases[] = {
        {3, 10000, 0, 0, 1080000, {0, 30, 90, 150, 210, 300}, {0, 4999, 10000, 5000, 4999, 8660}},
        {2, 6000, 1000, 0, 300000, {0, 49, 50, 99, 100}, {7000, 7000, 1000, 1000, 7000}},
        {2, 3000, 500, 0, 500, {0, 1, 2}, {3500, 3500, 3500}},
        {2, 3000, 0, 0, 1500, {0, 1, 2, 3}, {3000, 0, 3000, 0}}, // 500 us played as 2 ms
        {5, 5000, 0, 0, 300000, {0, 25, 49, 50, 75, 99}, {0, 2500, 4900, 0, 2500, 4900}},
        {6, 5000, 0, 0, 300000, {0, 25, 49, 50}, {5000, 2500, 100, 5000}},
        {4, 10000, 0, 0, 300000, {0, 25, 50, 75}, {0, 5000, 10000, 5000}},
        {4, 10000, 0, 9000, 300000, {0, 25, 50, 75}, {5000, 10000, 5000, 0}},
    };
    for (const auto& c : cases) {
        server->Reset();
        EffectParams params;
        params.Periodic(c.dwMagnitude, c.lOffset, c.dwPhase, c.dwPeriod).DurationMs(5000);
        EXPECT_EQ(Levels(params, c.dwKind, c.times), c.levels)
            << "kind " << c.dwKind << " period " << c.dwPeriod;
    }
}

TEST_F(LevelTest, OneMillisecondPeriodsAndZeroRampsDoNotDivideByZero)
{
    // 3000..5999 us at a third: P = 1 ms, half period 0.
    EffectParams tri;
    tri.Periodic(4000, 100, 0, 3000).DurationMs(100);
    EXPECT_EQ(Levels(tri, 4, {0, 1}), (std::vector<LONG>{100, 100}));
    server->Reset();
    EffectParams saw;
    saw.Periodic(4000, 100, 0, 3000).DurationMs(100);
    EXPECT_EQ(Levels(saw, 5, {0, 1}), (std::vector<LONG>{4000, 4000}));
    server->Reset();
    EffectParams ramp;
    ramp.Ramp(0, 6000).DurationMs(0);
    EXPECT_EQ(Levels(ramp, 1, {0, 1}), (std::vector<LONG>{6000, 0}));
}

TEST_F(LevelTest, RampIsRewrittenInPlaceAsAStep)
{
    EffectParams params;
    params.Ramp(2000, 8000).DurationMs(1000);
    EXPECT_EQ(Levels(params, 1, {500}), (std::vector<LONG>{3000}));
    auto* pEffect = reinterpret_cast<FFEffect*>(server->effects.pHead);
    auto* pRamp = static_cast<DIRAMPFORCE*>(pEffect->lpvTypeSpecificParams);
    EXPECT_EQ(pRamp->lStart, 0);
    EXPECT_EQ(pRamp->lEnd, 6000);

    server->Reset();
    EffectParams falling;
    falling.Ramp(9000, -9000).DurationMs(1000);
    EXPECT_EQ(Levels(falling, 1, {0, 500}), (std::vector<LONG>{10000, 5000}));
    pEffect = reinterpret_cast<FFEffect*>(server->effects.pHead);
    pRamp = static_cast<DIRAMPFORCE*>(pEffect->lpvTypeSpecificParams);
    EXPECT_EQ(pRamp->lStart, 10000);
    EXPECT_EQ(pRamp->lEnd, 0);
}

TEST_F(LevelTest, InfiniteRampDoesNotOverflow)
{
    EffectParams params;
    params.Ramp(0, 10000).DurationMs(INFINITE);
    const auto levels = Levels(params, 1, {429496, 4294967});
    EXPECT_EQ(levels, (std::vector<LONG>{999, 10000}));
    EXPECT_EQ(PassAt(1000 + 4294968), 0);
    EXPECT_EQ(server->GetEffectState(1), EFFECT_STOPPED);
}

TEST_F(LevelTest, MissingAndShortBlocksPlayTheirMissingFieldsAsZero)
{
    // A periodic block of 4 bytes: magnitude only, no period (constant magnitude + 0).
    EffectParams shortBlock;
    shortBlock.Periodic(7000, 2000, 0, 300000).DurationMs(100).Block(4);
    EXPECT_EQ(Levels(shortBlock, 2, {0}), (std::vector<LONG>{7000}));
    auto* pEffect = reinterpret_cast<FFEffect*>(server->effects.pHead);
    EXPECT_EQ(pEffect->cbTypeSpecificParams, 4u);
    server->Reset();

    EffectParams none;
    none.Constant(7000).DurationMs(100).Block(0);
    EXPECT_EQ(Levels(none, 0, {0}), (std::vector<LONG>{0}));
    server->Reset();

    // A ramp with only its start: rewritten within its own 4 bytes.
    EffectParams halfRamp;
    halfRamp.Ramp(3000, 9999).DurationMs(100).Block(4);
    EXPECT_EQ(Levels(halfRamp, 1, {0}), (std::vector<LONG>{3000}));
    pEffect = reinterpret_cast<FFEffect*>(server->effects.pHead);
    EXPECT_EQ(*static_cast<LONG*>(pEffect->lpvTypeSpecificParams), 3000);
}

TEST_F(LevelTest, GainsStrengthAndClamp)
{
    const struct {
        LONG lMagnitude;
        DWORD dwGain, dwDeviceGain;
        LONG dwStrength;
        LONG lTotal;
    } cases[] = {
        {10000, 5000, 5000, 170, 2500},
        {10000, 5000, 10000, 255, 7000},         // factor 7
        {10000, 10000, 10000, 255, 10000},       // 14000 clamped
        {10000, 0xFFFFFFFF, 10000, 255, 10000},  // products past 32 bits do not wrap
        {1, 10000, 10000, 0x7FFFFFFF, 10000},
        {10000, 10000, 0, 170, 0},               // no SetGain yet: silent
    };
    for (const auto& c : cases) {
        server->Reset();
        server->dwDeviceGain = c.dwDeviceGain;
        server->settings.dwStrength = c.dwStrength;
        EffectParams params;
        params.Constant(c.lMagnitude).DurationMs(1000);
        params.eff.dwGain = c.dwGain;
        EXPECT_EQ(Levels(params, 0, {0}), std::vector<LONG>{c.lTotal}) << c.dwGain;
    }
}

TEST_F(LevelTest, StrengthZeroDividesByFive)
{
    server->settings.dwStrength = 0;
    EffectParams params;
    params.Constant(10000).DurationMs(1000);
    EXPECT_EQ(Levels(params, 0, {0}), (std::vector<LONG>{2000}));
    ASSERT_EQ(Settled().size(), 1u);
    EXPECT_EQ(pad.Reports().back().bytes, ReportBytes(MotorLevel(2000), 0));
}

TEST_F(LevelTest, KindsSevenToElevenStopAndTwelveUpIsIgnored)
{
    EffectParams params;
    params.Constant(10000).DurationMs(1000);
    params.eff.dwStartDelay = 10000;
    const DWORD hCustom = Add(params, 7);
    const DWORD hUnknown = Add(params, 12);
    TestTick() = 1000;
    server->StartEffect(hCustom);
    server->StartEffect(hUnknown);
    PassAt(1009);
    EXPECT_EQ(server->GetEffectState(hCustom), EFFECT_PLAYING);
    PassAt(1010);
    EXPECT_EQ(server->GetEffectState(hCustom), EFFECT_STOPPED);
    EXPECT_EQ(server->GetEffectState(hUnknown), EFFECT_PLAYING);
    EXPECT_EQ(server->lLastLeft, 0);
    EXPECT_EQ(server->dwPlaySummary.load(), static_cast<DWORD>(EFFECT_PLAYING));
}

TEST_F(MixTest, ZeroReportRepeatsOnePlusFiveThenSilence)
{
    server->settings.dwStrength = 0;
    EffectParams params;
    params.Constant(10000).DurationMs(10);
    const DWORD h = Add(params, 0);
    TestTick() = 1000;
    server->StartEffect(h);
    for (DWORD t = 0; t <= 10; ++t)
        PassAt(1000 + t);
    for (DWORD t = 11; t < 30; ++t)
        PassAt(1000 + t);
    const auto reports = Settled();
    ASSERT_EQ(reports.size(), 7u);
    EXPECT_EQ(reports[0].bytes, ReportBytes(MotorLevel(2000), 0));
    for (size_t i = 1; i < 7; ++i)
        EXPECT_EQ(reports[i].bytes, ReportBytes(0, 0));
    EXPECT_EQ(g_dwZeroReportRepeats.load(), 5u);
}

TEST_F(MixTest, IdleServerSendsZerosUntilTheSharedCountIsFive)
{
    g_dwZeroReportRepeats = 2;
    for (int i = 0; i < 10; ++i)
        server->RunPass();
    EXPECT_EQ(Settled().size(), 3u);
    EXPECT_EQ(server->dwPlaySummary.load(), static_cast<DWORD>(EFFECT_STOPPED));
}

TEST_F(MixTest, UnsentReportIsRetriedOnALaterPass)
{
    EffectParams params;
    params.Constant(10000).DurationMs(1000);
    server->settings.dwStrength = 0;
    const DWORD h = Add(params, 0);
    server->StartEffect(h);
    pad.RefuseOpens(true);
    PassAt(1000);
    PassAt(1001);
    EXPECT_EQ(server->lLastLeft, 0);
    pad.RefuseOpens(false);
    PassAt(1002);
    EXPECT_EQ(server->lLastLeft, 2000);
    const auto reports = Settled();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].bytes, ReportBytes(MotorLevel(2000), 0));
}

} // namespace
