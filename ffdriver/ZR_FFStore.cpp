#include "ZR_FF.h"

#include <cstdlib>
#include <cstring>

namespace {

DWORD Now() { return g_pfnTickSource.load()(); }

// A record never holds more than its 4 axis slots; extra axes are dropped.
DWORD CappedAxes(DWORD cAxes) { return cAxes > 4 ? 4 : cAxes; }

DWORD DurationMs(DWORD dwMicroseconds)
{
    return dwMicroseconds == INFINITE ? 4294967 : dwMicroseconds / 1000;
}

// A caller with the older, shorter DIEFFECT has no start delay field.
DWORD StartDelayMs(LPCDIEFFECT peff)
{
    if (peff->dwSize < offsetof(DIEFFECT, dwStartDelay) + sizeof(peff->dwStartDelay))
        return 0;
    return peff->dwStartDelay / 1000;
}

void* CopyBlock(const void* pSource, DWORD cbSource)
{
    void* pBlock = g_pfnEffectAlloc.load()(cbSource);
    if (pBlock) {
        if (pSource)
            std::memcpy(pBlock, pSource, cbSource);
        else
            std::memset(pBlock, 0, cbSource);
    }
    return pBlock;
}

void FreeEffect(FFEffect* pEffect)
{
    std::free(pEffect->lpvTypeSpecificParams);
    std::free(pEffect);
}

// Visits every record once, in list order: each is taken from the head, handed to fn and put
// back at the tail. The caller holds the server's lock.
template <typename Fn>
void WalkEffects(CZR_List& effects, Fn fn)
{
    for (DWORD n = effects.nCount; n > 0; --n) {
        auto* pEffect = reinterpret_cast<FFEffect*>(effects.RemoveHead());
        fn(pEffect);
        effects.AddTail(&pEffect->links);
    }
}

// A walk under the server's lock that hands fn the records holding the handle.
template <typename Fn>
void WithHandle(FFServer& server, DWORD dwHandle, Fn fn)
{
    server.Lock();
    WalkEffects(server.effects, [&](FFEffect* pEffect) {
        if (pEffect->dwHandle == dwHandle)
            fn(pEffect);
    });
    server.Unlock();
}

// Play state changes of one record.
void PlayFromNow(FFEffect* pEffect)
{
    pEffect->dwState = EFFECT_PLAYING;
    pEffect->dwStartTick = pEffect->dwPauseTick = Now();
}

void StopRecord(FFEffect* pEffect)
{
    if (pEffect->dwState != EFFECT_STOPPED) {
        pEffect->dwState = EFFECT_STOPPED;
        pEffect->dwStartTick = pEffect->dwPauseTick = 0;
    }
}

void PauseRecord(FFEffect* pEffect)
{
    if (pEffect->dwState == EFFECT_PLAYING) {
        pEffect->dwState = EFFECT_PAUSED;
        pEffect->dwPauseTick = Now();
    }
}

// A paused record plays on, its start moved on by the time it stood paused.
void ContinueRecord(FFEffect* pEffect)
{
    if (pEffect->dwState == EFFECT_PAUSED) {
        pEffect->dwState = EFFECT_PLAYING;
        pEffect->dwStartTick = Now() - (pEffect->dwPauseTick - pEffect->dwStartTick);
        pEffect->dwPauseTick = pEffect->dwStartTick;
    }
}

} // namespace

bool FFServer::AddEffect(DWORD dwKind, DWORD* pdwHandle, LPCDIEFFECT peff, DWORD dwDownloadFlags)
{
    if (!bActive || !peff || !pdwHandle)
        return false;
    auto* pEffect = static_cast<FFEffect*>(g_pfnEffectAlloc.load()(sizeof(FFEffect)));
    if (!pEffect)
        return false;
    std::memset(pEffect, 0, sizeof(*pEffect));

    pEffect->dwEffectId = dwKind;
    pEffect->cAxes = CappedAxes(peff->cAxes);
    for (DWORD i = 0; i < pEffect->cAxes; ++i) {
        if (peff->rgdwAxes)
            pEffect->rgdwAxes[i] = peff->rgdwAxes[i];
        if (peff->rglDirection)
            pEffect->rglDirection[i] = peff->rglDirection[i];
    }
    pEffect->dwDuration = DurationMs(peff->dwDuration);
    pEffect->dwStartDelay = StartDelayMs(peff);
    pEffect->dwFlags = peff->dwFlags;
    pEffect->dwGain = peff->dwGain;
    pEffect->dwSamplePeriod = peff->dwSamplePeriod;
    pEffect->cbTypeSpecificParams = peff->cbTypeSpecificParams;
    if (peff->cbTypeSpecificParams != 0) {
        pEffect->lpvTypeSpecificParams =
            CopyBlock(peff->lpvTypeSpecificParams, peff->cbTypeSpecificParams);
        if (!pEffect->lpvTypeSpecificParams) {
            std::free(pEffect);
            return false;
        }
    }
    pEffect->dwDownloadFlags = dwDownloadFlags;
    pEffect->dwState = EFFECT_STOPPED;
    if (peff->lpEnvelope)
        pEffect->envelope = *peff->lpEnvelope;

    Lock();
    // The smallest handle that no record holds.
    DWORD h = 1;
    for (bool bTaken = true; bTaken;) {
        bTaken = false;
        for (DWORD n = effects.nCount; n > 0 && !bTaken; --n) {
            auto* pOther = reinterpret_cast<FFEffect*>(effects.RemoveHead());
            bTaken = pOther->dwHandle == h;
            effects.AddTail(&pOther->links);
        }
        if (bTaken)
            ++h;
    }
    pEffect->dwHandle = h;
    *pdwHandle = h;
    effects.AddTail(&pEffect->links);
    Unlock();
    return true;
}

bool FFServer::UpdateEffect(DWORD dwKind, DWORD dwHandle, LPCDIEFFECT peff,
                            DWORD dwDownloadFlags)
{
    if (!bActive || !peff)
        return false;
    // A new block is made before anything changes: if it cannot be, the effect stays as it was.
    void* pNewBlock = nullptr;
    const bool bNewBlock = (dwDownloadFlags & DIEP_TYPESPECIFICPARAMS) != 0;
    if (bNewBlock && peff->cbTypeSpecificParams != 0) {
        pNewBlock = CopyBlock(peff->lpvTypeSpecificParams, peff->cbTypeSpecificParams);
        if (!pNewBlock)
            return false;
    }

    WithHandle(*this, dwHandle, [&](FFEffect* pEffect) {
        pEffect->dwEffectId = dwKind;
        if (dwDownloadFlags & DIEP_DURATION)
            pEffect->dwDuration = DurationMs(peff->dwDuration);
        if (dwDownloadFlags & DIEP_STARTDELAY)
            pEffect->dwStartDelay = StartDelayMs(peff);
        if (dwDownloadFlags & DIEP_SAMPLEPERIOD)
            pEffect->dwSamplePeriod = peff->dwSamplePeriod;
        if (dwDownloadFlags & DIEP_GAIN)
            pEffect->dwGain = peff->dwGain;
        if (dwDownloadFlags & DIEP_AXES) {
            pEffect->cAxes = CappedAxes(peff->cAxes);
            for (DWORD i = 0; i < pEffect->cAxes && peff->rgdwAxes; ++i)
                pEffect->rgdwAxes[i] = peff->rgdwAxes[i];
        }
        if (dwDownloadFlags & DIEP_DIRECTION) {
            pEffect->cAxes = CappedAxes(peff->cAxes);
            for (DWORD i = 0; i < pEffect->cAxes && peff->rglDirection; ++i)
                pEffect->rglDirection[i] = peff->rglDirection[i];
        }
        if ((dwDownloadFlags & DIEP_ENVELOPE) && peff->lpEnvelope)
            pEffect->envelope = *peff->lpEnvelope;
        if (bNewBlock) {
            std::free(pEffect->lpvTypeSpecificParams);
            pEffect->lpvTypeSpecificParams = pNewBlock;
            pEffect->cbTypeSpecificParams = pNewBlock ? peff->cbTypeSpecificParams : 0;
            pNewBlock = nullptr; // handles are unique: no second record takes it
        }
        if ((dwDownloadFlags & DIEP_START) && pEffect->dwState != EFFECT_STOPPED)
            pEffect->dwStartTick = pEffect->dwPauseTick = Now();
    });
    std::free(pNewBlock); // no record held the handle
    return true;
}

bool FFServer::RemoveEffect(DWORD dwHandle)
{
    if (!bActive)
        return false;
    Lock();
    for (DWORD n = effects.nCount; n > 0; --n) {
        auto* pEffect = reinterpret_cast<FFEffect*>(effects.RemoveHead());
        if (pEffect->dwHandle == dwHandle)
            FreeEffect(pEffect);
        else
            effects.AddTail(&pEffect->links);
    }
    Unlock();
    return true;
}

void FFServer::FreeAllEffects()
{
    while (effects.nCount > 0) {
        auto* pEffect = reinterpret_cast<FFEffect*>(effects.RemoveHead());
        if (!pEffect)
            break;
        FreeEffect(pEffect);
    }
}

bool FFServer::Reset()
{
    if (!bActive)
        return false;
    StopAll();
    Lock();
    FreeAllEffects();
    SendZeroReportLocked();
    Unlock();
    return true;
}

bool FFServer::StartEffect(DWORD dwHandle)
{
    if (!bActive)
        return false;
    WithHandle(*this, dwHandle, [](FFEffect* pEffect) {
        if (pEffect->dwState != EFFECT_PLAYING)
            PlayFromNow(pEffect);
    });
    return true;
}

bool FFServer::StopEffect(DWORD dwHandle)
{
    if (!bActive)
        return false;
    WithHandle(*this, dwHandle, StopRecord);
    return true;
}

// The zero reports of StopAll, PauseAll and Reset go out before the lock is released, so no
// report of a pass can overtake them or be overtaken by them. The pass's last totals no
// longer stand on the pad afterwards: unless they were zero already, they are marked as
// unknown, so the next pass sends its totals whatever they are (a pause and continue between
// two passes would otherwise leave the motor at 0 under a playing effect). The same marking
// makes the pass send the zero again when this one does not reach the pad, under the pass's
// bounded retry; and the outcome counts for that retry like the pass's own writes.
void FFServer::SendZeroReportLocked()
{
    SendCountedReport(0, 0, Now());
    if (lLastLeft != 0 || lLastRight != 0)
        lLastLeft = lLastRight = -1;
}

bool FFServer::StopAll()
{
    if (!bActive)
        return false;
    Lock();
    WalkEffects(effects, StopRecord);
    SendZeroReportLocked();
    Unlock();
    return true;
}

bool FFServer::PauseAll()
{
    if (!bActive)
        return false;
    Lock();
    WalkEffects(effects, PauseRecord);
    SendZeroReportLocked();
    Unlock();
    return true;
}

bool FFServer::ContinueAll()
{
    if (!bActive)
        return false;
    Lock();
    WalkEffects(effects, ContinueRecord);
    Unlock();
    return true;
}

EffectPlayState FFServer::GetEffectState(DWORD dwHandle)
{
    if (!bActive)
        return EFFECT_STOPPED;
    EffectPlayState state = EFFECT_STOPPED;
    WithHandle(*this, dwHandle, [&](FFEffect* pEffect) {
        state = static_cast<EffectPlayState>(pEffect->dwState);
    });
    return state;
}

#if VANTREL_REVISION == 1

bool FFServer::RestartEffect(DWORD dwHandle)
{
    if (!bActive)
        return false;
    WithHandle(*this, dwHandle, PlayFromNow);
    return true;
}

bool FFServer::PauseEffect(DWORD dwHandle)
{
    if (!bActive)
        return false;
    WithHandle(*this, dwHandle, PauseRecord);
    return true;
}

bool FFServer::ContinueEffect(DWORD dwHandle)
{
    if (!bActive)
        return false;
    WithHandle(*this, dwHandle, ContinueRecord);
    return true;
}

#endif
