#pragma once

// The pad's own HID reports. Byte 0 of each is the report id (1). Output reports are always
// 8 bytes, the feature reply 8 bytes, the input report 12 bytes.
#include <windows.h>
#include <array>

constexpr BYTE kPadReportId = 0x01;
constexpr BYTE kPadCmdRumble = 0xA0;     // RumbleReport
constexpr BYTE kPadCmdSetSlot = 0xA1;    // KeyMapReport: set a slot's keys
constexpr BYTE kPadCmdQuerySlot = 0xB1;  // KeyMapReport: ask for a slot's keys
constexpr BYTE kPadCmdSlotReply = 0xB2;  // KeySlotReply, the feature report answering a query

constexpr DWORD kPadCommandReportSize = 8;
constexpr DWORD kPadInputReportSize = 12;
constexpr int kKeySlotCount = 24;
constexpr int kKeysPerSlot = 4;
constexpr BYTE kMaxMotorLevel = 31;

// 8-byte output report; byte 1 is the command.
using PadCommandReport = std::array<BYTE, kPadCommandReportSize>;
// 01 A0 motor1 motor2 00 00 00 00
using RumbleReport = PadCommandReport;
// 01 A1 slot k1 k2 k3 k4 00 (set) or 01 B1 slot 00 00 00 00 00 (query)
using KeyMapReport = PadCommandReport;
// 01 B2 slot k1 k2 k3 k4 xx, read into the buffer that held the query
using KeySlotReply = PadCommandReport;
// 12-byte input report; byte 11 carries the mode bits
using PadInputReport = std::array<BYTE, kPadInputReportSize>;

enum PadMode : int {
    PadModeController = 0,  // bit 0x10: controller display
    PadModeKeyMap1 = 1,     // bit 0x20: key map "Mode1"
    PadModeKeyMap2 = 2,     // bit 0x40: key map "Mode2"
};

// The 24 mappable inputs; the slot number is the byte sent in the key-map reports and the
// low byte of the test page's combo box id (3072 + slot).
enum KeySlot : BYTE {
    KeySlotButton1 = 1,   // buttons 1..16 are slots 1..16
    KeySlotButton16 = 16,
    KeySlotPov2Up = 17,
    KeySlotPov2Right = 18,
    KeySlotPov2Down = 19,
    KeySlotPov2Left = 20,
    KeySlotPov1Up = 21,
    KeySlotPov1Right = 22,
    KeySlotPov1Down = 23,
    KeySlotPov1Left = 24,
};

// Encoders: each starts from 8 zero bytes.
RumbleReport EncodeRumbleReport(BYTE bMotor1, BYTE bMotor2);
KeyMapReport EncodeSetSlotReport(BYTE bSlot, const BYTE rgbKeys[kKeysPerSlot]);
KeyMapReport EncodeQuerySlotReport(BYTE bSlot);

// A reply is valid when its command byte is 0xB2 and it names the slot that was queried.
bool IsValidKeySlotReply(const KeySlotReply& reply, BYTE bQueriedSlot);

// Turns a valid reply into the set report for the same slot: byte 1 becomes 0xA1 and bytes
// 3..6 the given keys; bytes 0, 2 and 7 stay as the pad sent them.
void ReplyToSetSlotReport(KeySlotReply& buffer, const BYTE rgbKeys[kKeysPerSlot]);

// The buffer an input read starts from: report id 1, the rest zero.
PadInputReport MakePadInputBuffer();

// The mode from byte 11: the first of the bits 0x10, 0x20, 0x40 that is set; none set = 0.
PadMode PadModeFromByte(BYTE bModeByte);

// Decodes a read of cbRead bytes; false (and *pMode untouched) for a read shorter than 12.
bool DecodePadMode(const PadInputReport& report, DWORD cbRead, PadMode* pMode);
