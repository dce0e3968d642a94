// Key setting files (*.ksf) and their dialogs.
#include "KeyMap.h"
#include "FakePad.h"
#include "keymap_test_util.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

namespace {

class KeySettingFiles : public ::testing::Test {
protected:
    void SetUp() override { DeleteFileA(path.c_str()); }
    void TearDown() override { DeleteFileA(path.c_str()); }

    void WriteText(const char* pszText) { std::ofstream(path, std::ios::binary) << pszText; }
    std::string Text() const
    {
        std::ostringstream text;
        text << std::ifstream(path, std::ios::binary).rdbuf();
        return text.str();
    }

    FakePad pad;
    HANDLE hPad = pad.Open("\\\\?\\hid#vid_7b5e&pid_4d19#test");
    std::string path = [] {
        char sz[MAX_PATH];
        GetTempPathA(sizeof sz, sz);
        return std::string(sz) + "keymap_test.ksf";
    }();
};

TEST_F(KeySettingFiles, SaveThenLoadRoundTripsAndKeepsOtherLines)
{
    WriteText("[Owner]\r\nName=pad one\r\n[k2]\r\nNote=mine\r\nI1=9\r\n");
    for (int n = 1; n <= 24; ++n)
        pad.SetKeys(n, BYTE(n), 0xE1, 0, BYTE(200 + n));

    SaveKeySettingFile(hPad, path.c_str());
    const std::string text = Text();
    EXPECT_EQ(text.rfind("[Owner]\r\nName=pad one\r\n[k2]\r\nNote=mine\r\nI1=2\r\nI2=225\r\nI3=0\r\n"
                         "I4=202\r\n[k1]\r\nI1=1\r\nI2=225\r\nI3=0\r\nI4=201\r\n[k3]\r\nI1=3\r\n", 0),
              0u) << text;
    EXPECT_NE(text.find("[k24]\r\nI1=24\r\nI2=225\r\nI3=0\r\nI4=224\r\n"), std::string::npos);

    ClearKeyMap(hPad);
    pad.ClearLog();
    LoadKeySettingFile(hPad, path.c_str());
    const auto writes = pad.Writes();
    ASSERT_EQ(writes.size(), 24u);
    for (int n = 1; n <= 24; ++n)
        EXPECT_EQ(writes[n - 1], SetSlotReport(n, n, 0xE1, 0, 200 + n)) << n;
}

TEST_F(KeySettingFiles, SaveLeavesASectionAloneWithoutAValidReply)
{
    const char* pszOld = "[k1]\r\nI1=30\r\nI2=31\r\nI3=0\r\nI4=0\r\n";
    WriteText(pszOld);
    pad.SetKeys(1, 0x04);
    void (FakePad::*faults[])(bool) = {&FakePad::SetFailFeatureReads, &FakePad::SetWrongReplyCommand,
                                       &FakePad::SetWrongReplySlot, &FakePad::SetFailWrites};
    for (auto fault : faults) {
        (pad.*fault)(true);
        SaveKeySettingFile(hPad, path.c_str());
        (pad.*fault)(false);
        EXPECT_EQ(Text(), pszOld);
    }
}

TEST_F(KeySettingFiles, LoadTakesOnlyCodesOfAByte)
{
    WriteText("[k1]\r\nI1=300\r\nI2=-1\r\nI3=0x1E\r\nI4=  7\r\n"
              "[k2]\r\nI1=abc\r\nI2=+9\r\nI3=0000000004\r\nI4=255\r\n[k3]\r\nI1=256\r\n");
    LoadKeySettingFile(hPad, path.c_str());
    const auto writes = pad.Writes();
    ASSERT_EQ(writes.size(), 24u);
    EXPECT_EQ(writes[0], SetSlotReport(1, 0, 0, 0, 7));
    EXPECT_EQ(writes[1], SetSlotReport(2, 0, 9, 0, 255));  // 9 characters read: "000000000"
    EXPECT_EQ(writes[2], SetSlotReport(3));
    EXPECT_EQ(writes[6], SetSlotReport(7));  // a missing section empties its slot
}

TEST_F(KeySettingFiles, LoadOfAFileWithoutAKeyMapChangesNothing)
{
    WriteText("[Owner]\r\nName=pad one\r\n[k25]\r\nI1=4\r\n[k3]\r\n");
    LoadKeySettingFile(hPad, path.c_str());
    DeleteFileA(path.c_str());
    LoadKeySettingFile(hPad, path.c_str());
    EXPECT_TRUE(pad.Writes().empty());
}

std::string g_seen;

BOOL WINAPI FakeDialog(LPOPENFILENAMEA pOfn)
{
    std::ostringstream seen;
    seen << pOfn->lStructSize << ' ' << pOfn->nMaxFile << ' ' << std::hex << pOfn->Flags << ' '
         << (pOfn->lpstrDefExt ? pOfn->lpstrDefExt : "-") << ' ' << pOfn->lpstrFile << ' ';
    for (const char* psz = pOfn->lpstrFilter; *psz; psz += std::strlen(psz) + 1)
        seen << psz << '|';
    g_seen = seen.str();
    std::strcpy(pOfn->lpstrFile, "C:\\chosen.ksf");
    return TRUE;
}

// The request's size is the 4.0 OPENFILENAME: 76 bytes on 32-bit, 136 on 64-bit.
#ifdef _WIN64
#define OFN_400_SIZE "136"
#else
#define OFN_400_SIZE "76"
#endif

TEST(KeySettingFileDialogs, AskForKsfFiles)
{
    SetKeyFileOpenDialog(FakeDialog);
    SetKeyFileSaveDialog(FakeDialog);
    char szName[260] = "last.ksf";
    EXPECT_TRUE(ChooseKeySettingFileToLoad(nullptr, szName));
    EXPECT_EQ(g_seen, OFN_400_SIZE " 260 1004 - last.ksf Keyboard Setting Files (*.ksf)|*.ksf|");
    EXPECT_TRUE(ChooseKeySettingFileToSave(nullptr, szName));
    EXPECT_EQ(g_seen, OFN_400_SIZE " 260 806 ksf C:\\chosen.ksf Keyboard Setting Files (*.ksf)|*.ksf|");
    SetKeyFileOpenDialog(nullptr);
    SetKeyFileSaveDialog(nullptr);
}

} // namespace
