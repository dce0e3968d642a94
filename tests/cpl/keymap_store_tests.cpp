// Key maps between the pad and the registry: refresh, restore, clear.
#include "KeyMap.h"
#include "FakePad.h"
#include "keymap_test_util.h"

#include <gtest/gtest.h>

namespace {

using Codes = std::vector<long long>;
const Codes kNoValues = {-1, -1, -1, -1};

class KeyMapStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearPadSettings();
        for (int n = 1; n <= 24; ++n)
            pad.SetKeys(n, BYTE(n + 3), 0, 0, BYTE(n));
        pad.SetKeys(3, 0x04, 0xE1);        // A, Shift
        pad.SetKeys(5, 0x00, 0x04);        // first place empty
        pad.SetKeys(6, 0x28, 0x58, 0x65);  // Enter, then two codes the table lacks
        pad.SetKeys(7, 0xE3);              // Win: named, though the picker has no button
    }
    void TearDown() override { ClearPadSettings(); }

    std::vector<BYTE> PadMapReport(int n)
    {
        const auto k = pad.Keys(n);
        return SetSlotReport(n, k[0], k[1], k[2], k[3]);
    }

    FakePad pad;
    HANDLE hPad = pad.Open("\\\\?\\hid#vid_7b5e&pid_4d19#test");
    KeyComboWindow combos;
};

TEST_F(KeyMapStore, RefreshStoresEverySlotAndNamesItsKeys)
{
    RefreshKeyMap(combos.Get(), hPad, 1);

    const auto writes = pad.Writes();
    ASSERT_EQ(writes.size(), 24u);
    for (int n = 1; n <= 24; ++n) {
        EXPECT_EQ(writes[n - 1], Bytes({0x01, 0xB1, n, 0, 0, 0, 0, 0})) << n;
        const auto k = pad.Keys(n);
        EXPECT_EQ(StoredCodes(1, n), (Codes{k[0], k[1], k[2], k[3]})) << n;
    }
    EXPECT_EQ(combos.Shown(3), " A Shift |1|2");
    EXPECT_EQ(combos.Shown(5), "Keyboard...|0|2");
    EXPECT_EQ(combos.Shown(6), " Enter |1|2");
    EXPECT_EQ(combos.Shown(7), " Win |1|2");
    EXPECT_EQ(StoredCodes(1, 5), (Codes{0, 4, 0, 0}));
    EXPECT_EQ(StoredCodes(2, 3), kNoValues);  // the other mode is not touched
}

TEST_F(KeyMapStore, RefreshKeepsStoredSlotsWithoutAValidReply)
{
    StoreCodes(2, 3, {0x1E, 0x1F, 0, 0});
    void (FakePad::*faults[])(bool) = {&FakePad::SetFailFeatureReads, &FakePad::SetWrongReplyCommand,
                                       &FakePad::SetWrongReplySlot, &FakePad::SetFailWrites};
    for (auto fault : faults) {
        (pad.*fault)(true);
        RefreshKeyMap(combos.Get(), hPad, 2);
        (pad.*fault)(false);
        EXPECT_EQ(StoredCodes(2, 3), (Codes{0x1E, 0x1F, 0, 0}));
        EXPECT_EQ(StoredCodes(2, 4), kNoValues);
        EXPECT_EQ(combos.Shown(3), "Keyboard...|0|2");
    }
}

TEST_F(KeyMapStore, RestoreSendsTheStoredMapInAscendingOrder)
{
    RefreshKeyMap(combos.Get(), hPad, 1);
    std::vector<std::vector<BYTE>> expected;
    for (int n = 1; n <= 24; ++n)
        expected.push_back(PadMapReport(n));
    ClearKeyMap(hPad);
    pad.ClearLog();

    RestoreKeyMap(hPad, 1);
    EXPECT_EQ(pad.Writes(), expected);
    EXPECT_EQ(pad.Keys(6), Bytes({0x28, 0x58, 0x65, 0}));
}

TEST_F(KeyMapStore, NoStoredMapLeavesThePadAlone)
{
    RestoreKeyMap(hPad, 2);
    RestoreKeyMap(hPad, 3);
    RefreshKeyMap(combos.Get(), hPad, 0);
    EXPECT_TRUE(pad.Writes().empty());
    EXPECT_EQ(combos.Shown(3), "Keyboard...|-1|2");

    // The refresh that follows stores the pad's own map.
    RefreshKeyMap(combos.Get(), hPad, 2);
    EXPECT_EQ(StoredCodes(2, 3), (Codes{0x04, 0xE1, 0, 0}));
}

TEST_F(KeyMapStore, RestoreReadsBadValuesAsNoKey)
{
    StoreCodes(1, 1, {0x04, 0x05, 0x06, 0x07});
    const BYTE rgbShort[2] = {0x08, 0x00};
    const unsigned long long qwLong = 0x09;
    const DWORD dwBig = 0x104;
    WriteValue(SlotKey(1, 1), "I1", REG_SZ, "4", 2);
    WriteValue(SlotKey(1, 1), "I2", REG_BINARY, rgbShort, 2);
    WriteValue(SlotKey(1, 1), "I3", REG_QWORD, &qwLong, 8);
    WriteValue(SlotKey(1, 1), "I4", REG_DWORD, &dwBig, 4);

    RestoreKeyMap(hPad, 1);  // slots without a stored copy are not sent
    EXPECT_EQ(pad.Writes(), std::vector<std::vector<BYTE>>{SetSlotReport(1)});
}

TEST_F(KeyMapStore, ClearEmptiesAllSlots)
{
    ClearKeyMap(hPad);
    const auto writes = pad.Writes();
    ASSERT_EQ(writes.size(), 24u);
    for (int n = 1; n <= 24; ++n) {
        EXPECT_EQ(writes[n - 1], SetSlotReport(n)) << n;
        EXPECT_EQ(pad.Keys(n), Bytes({0, 0, 0, 0})) << n;
    }
}

} // namespace
