#include "PadReports.h"

RumbleReport EncodeRumbleReport(BYTE bMotor1, BYTE bMotor2)
{
    RumbleReport report = {};
    report[0] = kPadReportId;
    report[1] = kPadCmdRumble;
    report[2] = bMotor1;
    report[3] = bMotor2;
    return report;
}

KeyMapReport EncodeSetSlotReport(BYTE bSlot, const BYTE rgbKeys[kKeysPerSlot])
{
    KeyMapReport report = {};
    report[0] = kPadReportId;
    report[1] = kPadCmdSetSlot;
    report[2] = bSlot;
    for (int i = 0; i < kKeysPerSlot; ++i)
        report[3 + i] = rgbKeys[i];
    return report;
}

KeyMapReport EncodeQuerySlotReport(BYTE bSlot)
{
    KeyMapReport report = {};
    report[0] = kPadReportId;
    report[1] = kPadCmdQuerySlot;
    report[2] = bSlot;
    return report;
}

bool IsValidKeySlotReply(const KeySlotReply& reply, BYTE bQueriedSlot)
{
    return reply[1] == kPadCmdSlotReply && reply[2] == bQueriedSlot;
}

void ReplyToSetSlotReport(KeySlotReply& buffer, const BYTE rgbKeys[kKeysPerSlot])
{
    buffer[1] = kPadCmdSetSlot;
    for (int i = 0; i < kKeysPerSlot; ++i)
        buffer[3 + i] = rgbKeys[i];
}

PadInputReport MakePadInputBuffer()
{
    PadInputReport report = {};
    report[0] = kPadReportId;
    return report;
}

PadMode PadModeFromByte(BYTE bModeByte)
{
    if (bModeByte & 0x10)
        return PadModeController;
    if (bModeByte & 0x20)
        return PadModeKeyMap1;
    if (bModeByte & 0x40)
        return PadModeKeyMap2;
    return PadModeController;
}

bool DecodePadMode(const PadInputReport& report, DWORD cbRead, PadMode* pMode)
{
    if (cbRead < kPadInputReportSize)
        return false;
    *pMode = PadModeFromByte(report[11]);
    return true;
}
