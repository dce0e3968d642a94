#include "ZR_FF.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

const double kPi = 3.1415926535;
const LONGLONG kFullScale = 10000;
// Periods beyond this many milliseconds (about 24 days) play as this long; it keeps the
// interpolation products inside 64 bits.
const ULONGLONG kMaxPeriodMs = 0x7FFFFFFF;

LONG Saturate(LONGLONG llValue)
{
    if (llValue > LONG_MAX)
        return LONG_MAX;
    if (llValue < LONG_MIN)
        return LONG_MIN;
    return static_cast<LONG>(llValue);
}

LONG Saturate(double dValue)
{
    if (dValue >= 2147483647.0)
        return LONG_MAX;
    if (dValue <= -2147483648.0)
        return LONG_MIN;
    return static_cast<LONG>(dValue);
}

// Linear from a at d = 0 to b at d = c, in 64 bits; b over an empty span.
LONG Interpolate64(LONGLONG a, LONGLONG b, LONGLONG c, LONGLONG d)
{
    if (c == 0)
        return Saturate(b);
    return Saturate((a * (c - d) + b * d) / c);
}

// The record's block as the kind's structure: bytes the record does not own read as zero.
template <typename T>
T ReadBlock(const FFEffect* pEffect)
{
    T block{};
    if (pEffect->lpvTypeSpecificParams) {
        const DWORD cb = pEffect->cbTypeSpecificParams < sizeof(T)
                             ? pEffect->cbTypeSpecificParams
                             : static_cast<DWORD>(sizeof(T));
        std::memcpy(&block, pEffect->lpvTypeSpecificParams, cb);
    }
    return block;
}

template <typename T>
void WriteBlock(FFEffect* pEffect, const T& block)
{
    if (!pEffect->lpvTypeSpecificParams)
        return;
    const DWORD cb = pEffect->cbTypeSpecificParams < sizeof(T)
                         ? pEffect->cbTypeSpecificParams
                         : static_cast<DWORD>(sizeof(T));
    std::memcpy(pEffect->lpvTypeSpecificParams, &block, cb);
}

// Level at the start (bEnd false) or the end of the sustain, for the envelope.
LONG SustainEdge(const FFEffect* pEffect, bool bEnd)
{
    switch (pEffect->dwEffectId) {
    case 0:
        return ReadBlock<DICONSTANTFORCE>(pEffect).lMagnitude;
    case 1: {
        const DIRAMPFORCE ramp = ReadBlock<DIRAMPFORCE>(pEffect);
        return bEnd ? ramp.lEnd : ramp.lStart;
    }
    default:
        return static_cast<LONG>(ReadBlock<DIPERIODIC>(pEffect).dwMagnitude);
    }
}

LONG RampLevel(FFEffect* pEffect, DWORD tau)
{
    // The pair is rewritten in place as a step from 0 (rising) or to 0 (falling).
    DIRAMPFORCE ramp = ReadBlock<DIRAMPFORCE>(pEffect);
    if (ramp.lStart < ramp.lEnd) {
        const LONGLONG llStep = static_cast<LONGLONG>(ramp.lEnd) - ramp.lStart;
        ramp.lEnd = static_cast<LONG>(llStep > kFullScale ? kFullScale : llStep);
        ramp.lStart = 0;
    } else {
        const LONGLONG llStep = static_cast<LONGLONG>(ramp.lStart) - ramp.lEnd;
        ramp.lStart = static_cast<LONG>(llStep > kFullScale ? kFullScale : llStep);
        ramp.lEnd = 0;
    }
    WriteBlock(pEffect, ramp);
    return Interpolate64(ramp.lStart, ramp.lEnd, pEffect->dwDuration, tau);
}

LONG PeriodicLevel(const FFEffect* pEffect, DWORD tau, const JoySettingBlock& settings)
{
    const DIPERIODIC wave = ReadBlock<DIPERIODIC>(pEffect);
    const LONGLONG llMagnitude = wave.dwMagnitude;
    const LONGLONG llOffset = wave.lOffset;
    if (wave.dwPeriod / 1000 == 0)
        return Saturate(llMagnitude + llOffset);

    LONGLONG k;
    if (settings.dwRandomPeriod != 0)
        k = static_cast<LONGLONG>(std::rand()) * 3 / 32767 + 1;
    else
        k = static_cast<LONGLONG>(settings.dwPeriodScale) * 3 / 255 + 1;
    ULONGLONG T = static_cast<ULONGLONG>(wave.dwPeriod) * static_cast<ULONGLONG>(k) / 3;
    if (T / 1000 == 0)
        T = 2000;
    ULONGLONG P = T / 1000;
    if (P > kMaxPeriodMs)
        P = kMaxPeriodMs;
    const ULONGLONG h = P / 2;
    const ULONGLONG p = tau % P;

    switch (pEffect->dwEffectId) {
    case 2: // square
        return Saturate(p < h ? llMagnitude + llOffset : llOffset);
    case 3: { // sine, sampled at whole degrees
        const ULONGLONG deg = (p * 360 / P + wave.dwPhase / 100) % 360;
        const double phi = (2 * kPi) * static_cast<double>(deg % 90) / 360;
        const double M = static_cast<double>(wave.dwMagnitude);
        double dValue;
        if (deg < 90)
            dValue = M * std::sin(phi);
        else if (deg < 180)
            dValue = M * std::cos(phi);
        else if (deg < 270)
            dValue = -M * std::sin(phi);
        else
            dValue = -M * std::cos(phi);
        return Saturate(std::trunc(dValue + static_cast<double>(wave.lOffset)));
    }
    case 4: { // triangle; the phase shifts it by whole hundredths of the period
        const ULONGLONG shift = (wave.dwPhase / 360) * P / 100;
        const ULONGLONG q = (tau + shift) % P;
        if (q < h)
            return Interpolate64(llOffset, static_cast<LONG>(wave.dwMagnitude), h, q);
        return Interpolate64(static_cast<LONG>(wave.dwMagnitude), llOffset, h, q - h);
    }
    case 5: // sawtooth up: two rising teeth per period
        return Interpolate64(llOffset, static_cast<LONG>(wave.dwMagnitude), h, p < h ? p : p - h);
    default: // 6, sawtooth down
        return Interpolate64(static_cast<LONG>(wave.dwMagnitude), llOffset, h, p < h ? p : p - h);
    }
}

} // namespace

bool FFServer::Interpolate(LONG* plResult, LONG a, LONG b, LONG c, LONG d)
{
    *plResult = Interpolate64(a, b, c, d);
    return true;
}

bool FFServer::SplitForce(LONG* plLeft, LONG* plRight, LONG lForce, DWORD dwFlags,
                          const LONG* plDirection, DWORD cAxesArg)
{
    const LONG lFirst = plDirection ? plDirection[0] : 0;
    const LONG lSecond = plDirection && cAxesArg >= 2 ? plDirection[1] : 0;
    if (dwFlags & DIEFF_POLAR) {
        const LONG theta = (lFirst / 100) % 360;
        if (theta < 0)
            return true;
        const double phi = kPi * (theta % 90) / 180;
        const double L = lForce;
        const LONG Ls = Saturate(std::fabs(L * std::sin(phi)));
        const LONG Lc = Saturate(std::fabs(L * std::cos(phi)));
        if (theta < 90) {
            *plLeft = Lc;
            *plRight = Ls;
        } else if (theta < 180) {
            *plLeft = Ls;
            *plRight = -Lc;
        } else if (theta < 270) {
            *plLeft = -Lc;
            *plRight = -Ls;
        } else {
            *plLeft = -Ls;
            *plRight = Lc;
        }
    } else if (dwFlags & DIEFF_CARTESIAN) {
        const LONGLONG llSum = static_cast<LONGLONG>(lFirst) + lSecond;
        if (cAxesArg == 1 || llSum == 0 || (lFirst == 0 && lSecond == 0)) {
            *plLeft = *plRight = lForce;
        } else {
            *plLeft = Saturate(static_cast<LONGLONG>(lForce) * lFirst / llSum);
            *plRight = Saturate(static_cast<LONGLONG>(lForce) * lSecond / llSum);
        }
    } else {
        *plLeft = *plRight = lForce;
    }
    return true;
}

LONG FFServer::EffectLevel(FFEffect* pEffect, DWORD tau)
{
    switch (pEffect->dwEffectId) {
    case 0:
        return ReadBlock<DICONSTANTFORCE>(pEffect).lMagnitude;
    case 1:
        return RampLevel(pEffect, tau);
    default:
        return PeriodicLevel(pEffect, tau, settings);
    }
}

bool FFServer::RunPass()
{
    Lock();
    const DWORD n = effects.nCount;
    LONGLONG llLeftTotal = 0;
    LONGLONG llRightTotal = 0;
    DWORD dwSummary = EFFECT_STOPPED;
    const FFTickSource pfnTick = g_pfnTickSource.load();

    for (DWORD i = 0; i < n; ++i) {
        LONG lLForce = 0;
        LONG lRForce = 0;
        auto* pEffect = reinterpret_cast<FFEffect*>(effects.RemoveHead());
        const DWORD dwStartDelay = pEffect->dwStartDelay;
        const DWORD dwDuration = pEffect->dwDuration;

        if (pEffect->dwState == EFFECT_PLAYING)
            dwSummary = EFFECT_PLAYING;
        else if (pEffect->dwState == EFFECT_PAUSED && dwSummary == EFFECT_STOPPED)
            dwSummary = EFFECT_PAUSED;

        const DWORD t = pfnTick() - pEffect->dwStartTick;
        if (t < dwStartDelay) {
            effects.AddTail(&pEffect->links);
            continue;
        }

        if (pEffect->dwState == EFFECT_PLAYING && pEffect->dwEffectId < 12) {
            if (pEffect->dwEffectId >= 7) {
                pEffect->dwState = EFFECT_STOPPED;
            } else {
                const DIENVELOPE& env = pEffect->envelope;
                const DWORD A = env.dwAttackTime / 1000;
                const DWORD F = env.dwFadeTime / 1000;
                const DWORD dwSinceDelay = t - dwStartDelay;
                bool bOver = false;
                LONG lForce = 0;
                if (dwSinceDelay < A) {
                    Interpolate(&lForce, static_cast<LONG>(env.dwAttackLevel),
                                SustainEdge(pEffect, false), static_cast<LONG>(A),
                                static_cast<LONG>(dwSinceDelay));
                } else {
                    const DWORD tau = dwSinceDelay - A;
                    if (tau <= dwDuration) {
                        lForce = EffectLevel(pEffect, tau);
                    } else if (tau - dwDuration < F) {
                        Interpolate(&lForce, SustainEdge(pEffect, true),
                                    static_cast<LONG>(env.dwFadeLevel), static_cast<LONG>(F),
                                    static_cast<LONG>(tau - dwDuration));
                    } else {
                        bOver = true;
                    }
                }
                if (bOver) {
                    SplitForce(&lLForce, &lRForce, 0, pEffect->dwFlags, pEffect->rglDirection,
                               pEffect->cAxes);
                    pEffect->dwState = EFFECT_STOPPED;
                } else {
                    LONGLONG llForce = static_cast<LONGLONG>(lForce) * pEffect->dwGain / 10000;
                    llForce = llForce * dwDeviceGain.load() / 10000;
                    SplitForce(&lLForce, &lRForce, Saturate(llForce), pEffect->dwFlags,
                               pEffect->rglDirection, pEffect->cAxes);
                }
            }
        }
        effects.AddTail(&pEffect->links);

        if (lLForce != 0 || lRForce != 0) {
            // Parts are never negative, so one above full scale clamps the total alike.
            const LONGLONG f = static_cast<LONGLONG>(settings.dwStrength) * 6 / 255 + 1;
            const LONGLONG llLeft = std::llabs(f * lLForce / 5);
            const LONGLONG llRight = std::llabs(f * lRForce / 5);
            llLeftTotal += llLeft > kFullScale ? kFullScale : llLeft;
            llRightTotal += llRight > kFullScale ? kFullScale : llRight;
        }
    }

    dwPlaySummary = dwSummary;
    const LONG lLeft = static_cast<LONG>(llLeftTotal > kFullScale ? kFullScale : llLeftTotal);
    const LONG lRight = static_cast<LONG>(llRightTotal > kFullScale ? kFullScale : llRightTotal);

    // A pad that refused the last few writes is tried again only every kReportRetryMs; the
    // passes in between write nothing and use up no zero repeat.
    const DWORD dwNow = pfnTick();
    if (ReportDue(dwNow)) {
        if (lLeft != lLastLeft || lRight != lLastRight) {
            // Only a report that reached the pad counts as sent; otherwise a later pass sends
            // its own totals, the latest ones.
            if (SendCountedReport(static_cast<DWORD>(lLeft), static_cast<DWORD>(lRight),
                                  dwNow)) {
                lLastLeft = lLeft;
                lLastRight = lRight;
                g_dwZeroReportRepeats = 0;
            }
        } else if (lLastLeft == 0 && lLastRight == 0) {
            DWORD dwRepeats = g_dwZeroReportRepeats.load();
            while (dwRepeats < 5 &&
                   !g_dwZeroReportRepeats.compare_exchange_weak(dwRepeats, dwRepeats + 1)) {
            }
            if (dwRepeats < 5)
                SendCountedReport(0, 0, dwNow);
        }
    }
    Unlock();
    Sleep(1);
    return true;
}
