#include "SheetSource.h"
#include "SheetFromFactory.h"

#include "FakeDirectInput.h"
#include "FakePad.h"

#include <objbase.h>

// A connected pad in controller mode, with a key on every slot.
struct SheetSource::Fakes {
    FakePad pad;
    FakeDirectInputScope directInput;

    Fakes()
    {
        for (int nSlot = 1; nSlot <= kKeySlotCount; ++nSlot)
            pad.SetKeys(nSlot, static_cast<BYTE>(0x03 + nSlot));
        pad.SetModeByte(0x10);
        directInput.device.state.lX = 32767;
        directInput.device.state.lY = 32767;
        directInput.device.state.rgdwPOV[0] = 0xFFFFFFFF;
        directInput.device.state.rgdwPOV[1] = 0xFFFFFFFF;
    }
};

SheetSource::SheetSource() : m_pFakes(new Fakes) {}

SheetSource::~SheetSource()
{
    delete m_pFakes;
}

IDIGameCntrlPropSheet* SheetSource::Create(const std::string&)
{
    return SheetFromFactory(DllGetClassObject, &m_error);
}
