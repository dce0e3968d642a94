#pragma once

#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0800
#endif
#include <windows.h>
#include <dinput.h>

enum : DWORD { KIND_CONSTANT = 0, KIND_RAMP = 1, KIND_SINE = 3 };

// One effect as a game describes it to the driver, owning everything DIEFFECT points to.
// Polar direction in hundredths of a degree (0 drives the left motor, 9000 the right one),
// times in microseconds.
struct EffectDesc {
    DWORD rgdwAxes[2] = {DIJOFS_X, DIJOFS_Y};
    LONG rglDirection[2] = {0, 0};
    DICONSTANTFORCE constant{};
    DIRAMPFORCE ramp{};
    DIPERIODIC periodic{};
    DIENVELOPE envelope{};
    DIEFFECT eff{};

    EffectDesc(LONG lDirection, DWORD dwDurationUs)
    {
        rglDirection[0] = lDirection;
        eff.dwSize = sizeof(eff);
        eff.dwFlags = DIEFF_POLAR | DIEFF_OBJECTOFFSETS;
        eff.dwDuration = dwDurationUs;
        eff.dwGain = 10000;
        eff.dwTriggerButton = DIEB_NOTRIGGER;
        eff.cAxes = 2;
        eff.rgdwAxes = rgdwAxes;
        eff.rglDirection = rglDirection;
    }
    EffectDesc(const EffectDesc&) = delete;
    EffectDesc& operator=(const EffectDesc&) = delete;

    void Constant(LONG lMagnitude)
    {
        constant.lMagnitude = lMagnitude;
        Params(&constant, sizeof(constant));
    }
    void Ramp(LONG lStart, LONG lEnd)
    {
        ramp = {lStart, lEnd};
        Params(&ramp, sizeof(ramp));
    }
    void Periodic(DWORD dwMagnitude, DWORD dwPhase, DWORD dwPeriodUs)
    {
        periodic = {dwMagnitude, 0, dwPhase, dwPeriodUs};
        Params(&periodic, sizeof(periodic));
    }
    void Envelope(DWORD dwAttackLevel, DWORD dwAttackUs, DWORD dwFadeLevel, DWORD dwFadeUs)
    {
        envelope = {sizeof(DIENVELOPE), dwAttackLevel, dwAttackUs, dwFadeLevel, dwFadeUs};
        eff.lpEnvelope = &envelope;
    }

private:
    void Params(void* pv, DWORD cb)
    {
        eff.cbTypeSpecificParams = cb;
        eff.lpvTypeSpecificParams = pv;
    }
};
