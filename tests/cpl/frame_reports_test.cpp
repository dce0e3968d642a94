#include "FakePad.h"
#include "PadReports.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<BYTE> Bytes(const PadCommandReport& report)
{
    return std::vector<BYTE>(report.begin(), report.end());
}

TEST(PadReports, EncodersGiveTheExactEightBytes)
{
    EXPECT_EQ(Bytes(EncodeRumbleReport(0, 0)),
              (std::vector<BYTE>{0x01, 0xA0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Bytes(EncodeRumbleReport(31, 7)),
              (std::vector<BYTE>{0x01, 0xA0, 0x1F, 0x07, 0x00, 0x00, 0x00, 0x00}));

    const BYTE keysAEnter[4] = {0x04, 0x28, 0x00, 0x00};
    EXPECT_EQ(Bytes(EncodeSetSlotReport(5, keysAEnter)),
              (std::vector<BYTE>{0x01, 0xA1, 0x05, 0x04, 0x28, 0x00, 0x00, 0x00}));
    const BYTE fourKeys[4] = {0xE0, 0xE1, 0x2C, 0x29};
    EXPECT_EQ(Bytes(EncodeSetSlotReport(24, fourKeys)),
              (std::vector<BYTE>{0x01, 0xA1, 0x18, 0xE0, 0xE1, 0x2C, 0x29, 0x00}));
    const BYTE noKeys[4] = {};
    EXPECT_EQ(Bytes(EncodeSetSlotReport(1, noKeys)),
              (std::vector<BYTE>{0x01, 0xA1, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00}));

    EXPECT_EQ(Bytes(EncodeQuerySlotReport(24)),
              (std::vector<BYTE>{0x01, 0xB1, 0x18, 0x00, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Bytes(EncodeQuerySlotReport(1)),
              (std::vector<BYTE>{0x01, 0xB1, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00}));
}

TEST(PadReports, ReplyIsValidOnlyWithItsCommandAndTheQueriedSlot)
{
    KeySlotReply reply = {0x01, 0xB2, 0x07, 0x04, 0x05, 0x00, 0x00, 0x99};
    EXPECT_TRUE(IsValidKeySlotReply(reply, 7));
    EXPECT_FALSE(IsValidKeySlotReply(reply, 8)) << "a reply for another slot";
    reply[1] = 0xB1;
    EXPECT_FALSE(IsValidKeySlotReply(reply, 7)) << "the query echoed back";
    reply[1] = 0x00;
    EXPECT_FALSE(IsValidKeySlotReply(reply, 7)) << "a reply that never came";

    // Turned into the set report, bytes 0, 2 and 7 stay as the pad sent them.
    KeySlotReply buffer = {0x01, 0xB2, 0x07, 0x04, 0x05, 0x00, 0x00, 0x99};
    const BYTE keys[4] = {0x1E, 0x1F, 0x20, 0x00};
    ReplyToSetSlotReport(buffer, keys);
    EXPECT_EQ(Bytes(buffer), (std::vector<BYTE>{0x01, 0xA1, 0x07, 0x1E, 0x1F, 0x20, 0x00, 0x99}));
}

TEST(PadReports, ModeComesFromTheFirstSetBitOfByteEleven)
{
    EXPECT_EQ(PadModeFromByte(0x00), PadModeController);
    EXPECT_EQ(PadModeFromByte(0x10), PadModeController);
    EXPECT_EQ(PadModeFromByte(0x20), PadModeKeyMap1);
    EXPECT_EQ(PadModeFromByte(0x40), PadModeKeyMap2);
    EXPECT_EQ(PadModeFromByte(0x60), PadModeKeyMap1);
    EXPECT_EQ(PadModeFromByte(0x70), PadModeController);
    EXPECT_EQ(PadModeFromByte(0x8F), PadModeController);
    EXPECT_EQ(PadModeFromByte(0xCF), PadModeKeyMap2);

    PadInputReport report = MakePadInputBuffer();
    EXPECT_EQ(report[0], 0x01);
    for (size_t i = 1; i < report.size(); ++i)
        EXPECT_EQ(report[i], 0) << "byte " << i;
    report[11] = 0x40;
    PadMode mode = PadModeKeyMap1;
    EXPECT_TRUE(DecodePadMode(report, 12, &mode));
    EXPECT_EQ(mode, PadModeKeyMap2);
    mode = PadModeKeyMap1;
    EXPECT_FALSE(DecodePadMode(report, 11, &mode)) << "a short read is not decoded";
    EXPECT_FALSE(DecodePadMode(report, 0, &mode));
    EXPECT_EQ(mode, PadModeKeyMap1);
}

class PadExchange : public ::testing::Test {
protected:
    void SetUp() override { PadHandle = pad.Open("\\\\?\\hid#fake"); }
    void TearDown() override { ClosePadHandle(); }
    FakePad pad;
};

TEST_F(PadExchange, QueryReadsTheReplyIntoTheQueryBuffer)
{
    pad.SetKeys(9, 0x04, 0x05, 0x06, 0x07);
    KeySlotReply reply = {};
    EXPECT_TRUE(QueryKeySlot(PadHandle, 9, &reply));
    EXPECT_EQ(Bytes(reply), (std::vector<BYTE>{0x01, 0xB2, 0x09, 0x04, 0x05, 0x06, 0x07, 0x00}));
    ASSERT_EQ(pad.Writes().size(), 1u);
    EXPECT_EQ(pad.Writes()[0], (std::vector<BYTE>{0x01, 0xB1, 0x09, 0, 0, 0, 0, 0}));
    auto log = pad.Log();
    ASSERT_EQ(log.back().op, FakePad::Op::GetFeature);
}

TEST_F(PadExchange, BadRepliesAndFailuresAreRefused)
{
    KeySlotReply reply = {};
    pad.SetWrongReplyCommand(true);
    EXPECT_FALSE(QueryKeySlot(PadHandle, 3, &reply));
    pad.SetWrongReplyCommand(false);

    pad.SetWrongReplySlot(true);
    EXPECT_FALSE(QueryKeySlot(PadHandle, 3, &reply));
    EXPECT_EQ(reply[2], 4) << "the reply names the next slot";
    pad.SetWrongReplySlot(false);

    pad.SetFailFeatureReads(true);
    EXPECT_FALSE(QueryKeySlot(PadHandle, 3, &reply));
    EXPECT_EQ(reply[1], 0) << "a failed read leaves the cleared command byte";
    pad.SetFailFeatureReads(false);

    pad.ClearLog();
    pad.SetFailWrites(true);
    EXPECT_FALSE(QueryKeySlot(PadHandle, 3, &reply));
    for (const auto& entry : pad.Log())
        EXPECT_NE(entry.op, FakePad::Op::GetFeature) << "read after a failed query write";
    EXPECT_FALSE(WritePadReport(PadHandle, EncodeRumbleReport(1, 1)));
    pad.SetFailWrites(false);

    EXPECT_FALSE(WritePadReport(nullptr, EncodeRumbleReport(1, 1)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(PadExchange, SetReportsChangeTheSlotsAndRumbleTheMotors)
{
    const BYTE keys[4] = {0x04, 0x28, 0, 0};
    EXPECT_TRUE(WritePadReport(PadHandle, EncodeSetSlotReport(5, keys)));
    EXPECT_EQ(pad.Keys(5), (std::vector<BYTE>{0x04, 0x28, 0, 0}));
    EXPECT_TRUE(WritePadReport(PadHandle, EncodeRumbleReport(20, 31)));
    EXPECT_EQ(pad.LastMotor1(), 20);
    EXPECT_EQ(pad.LastMotor2(), 31);
}

TEST_F(PadExchange, InputReportsAreReadAndShortOnesAreNotDecoded)
{
    pad.SetModeByte(0x20);
    PadInputReport report;
    DWORD cbRead = 0;
    PadMode mode = PadModeController;
    ASSERT_TRUE(ReadPadInputReport(PadHandle, &report, &cbRead));
    EXPECT_EQ(cbRead, 12u);
    EXPECT_TRUE(DecodePadMode(report, cbRead, &mode));
    EXPECT_EQ(mode, PadModeKeyMap1);

    pad.SetShortInput(true);
    ASSERT_TRUE(ReadPadInputReport(PadHandle, &report, &cbRead));
    EXPECT_EQ(cbRead, 6u);
    mode = PadModeController;
    EXPECT_FALSE(DecodePadMode(report, cbRead, &mode));
    EXPECT_EQ(report[11], 0) << "the buffer starts zero-filled";
    pad.SetShortInput(false);

    pad.SetSilent(true);
    EXPECT_FALSE(ReadPadInputReport(PadHandle, &report, &cbRead));
    EXPECT_EQ(cbRead, 0u);
    pad.SetSilent(false);

    pad.Unplug();
    EXPECT_FALSE(ReadPadInputReport(PadHandle, &report, &cbRead));
    EXPECT_FALSE(WritePadReport(PadHandle, EncodeRumbleReport(0, 0)));
    ClosePadHandle();
    EXPECT_EQ(PadHandle, nullptr);
    EXPECT_EQ(pad.OpenHandles(), 0);
    ClosePadHandle();  // closing twice does nothing
    EXPECT_EQ(pad.CloseCount(), 1);
}

}  // namespace
