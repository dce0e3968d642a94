// The key-mapping view's commands: a slot combo's choice with the key picker, and the Default,
// Load and Save buttons, through the fake pad and real key setting files.
#include "testpage_harness.h"

#include "Module.h"
#include "PadAccess.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

using Bytes = std::vector<BYTE>;

std::string TempFilePath(const char* pszName)
{
    char szDir[MAX_PATH] = "";
    GetTempPathA(sizeof szDir, szDir);
    return std::string(szDir) + pszName;
}

std::string ReadFileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Reports in *pv whether PageLock could be taken from another thread.
DWORD WINAPI TryPageLockElsewhere(void* pv)
{
    const BOOL fGot = TryEnterCriticalSection(&PageLock);
    if (fGot)
        LeaveCriticalSection(&PageLock);
    *static_cast<bool*>(pv) = fGot != FALSE;
    return 0;
}

class TestPageCommandTest : public TestPageTest {
protected:
    void SetUp() override
    {
        TestPageTest::SetUp();
        CreatePage();
        Activate();
        TickInMode(0x20);  // key map view, mode 1
        pad.ClearLog();
    }
};

TEST_F(TestPageCommandTest, EmptyEntryClearsTheSlotAndRefreshes)
{
    pad.SetKeys(8, 0x04, 0x05);
    ChooseComboEntry(8, 0);
    const auto writes = pad.Writes();
    ASSERT_EQ(25u, writes.size());
    EXPECT_EQ((Bytes{0x01, 0xA1, 0x08, 0, 0, 0, 0, 0}), writes.front());
    EXPECT_EQ(24u, WritesWithCommand(0xB1).size());
    EXPECT_EQ((Bytes{0, 0, 0, 0}), pad.Keys(8));
    EXPECT_EQ(0, ComboSelection(8));
    EXPECT_EQ(0, ScriptedPicker::nRuns);
}

TEST_F(TestPageCommandTest, PickedKeysGoBackAsASetReportFromTheReply)
{
    pad.SetKeys(21, 0x28);
    ScriptedPicker::nResult = 1;
    ScriptedPicker::rgbPick[0] = 0x04;
    ScriptedPicker::rgbPick[1] = 0xE1;
    ChooseComboEntry(21, 1);

    ASSERT_EQ(1, ScriptedPicker::nRuns);
    EXPECT_EQ(0x01, ScriptedPicker::seen[0]);
    EXPECT_EQ(0xB2, ScriptedPicker::seen[1]);
    EXPECT_EQ(21, ScriptedPicker::seen[2]);
    EXPECT_EQ(0x28, ScriptedPicker::seen[3]);
    const auto writes = pad.Writes();
    ASSERT_EQ(2u + 24u, writes.size());
    EXPECT_EQ((Bytes{0x01, 0xB1, 21, 0, 0, 0, 0, 0}), writes[0]);
    EXPECT_EQ(0xA1, writes[1][1]);
    EXPECT_EQ(21, writes[1][2]);
    EXPECT_EQ((Bytes{0x04, 0xE1, 0, 0}), Bytes(writes[1].begin() + 3, writes[1].begin() + 7));
    EXPECT_EQ((Bytes{0x04, 0xE1, 0, 0}), pad.Keys(21));
    EXPECT_EQ(" A Shift ", ComboEntryText(21, 1));
    EXPECT_EQ((std::vector<DWORD>{0x04, 0xE1, 0, 0}), RegistrySlot(1, 21));
}

TEST_F(TestPageCommandTest, CancelledPickerWritesNothing)
{
    pad.SetKeys(2, 0x1E);
    ScriptedPicker::nResult = 0;
    ChooseComboEntry(2, 1);
    EXPECT_EQ(1, ScriptedPicker::nRuns);
    EXPECT_TRUE(WritesWithCommand(0xA1).empty());
    EXPECT_EQ(1u + 24u, WritesWithCommand(0xB1).size());
    EXPECT_EQ((Bytes{0x1E, 0, 0, 0}), pad.Keys(2));
    EXPECT_EQ(" 1 ", ComboEntryText(2, 1));
    EXPECT_EQ(1, ComboSelection(2));
}

TEST_F(TestPageCommandTest, InvalidRepliesOpenNoPickerAndWriteNothing)
{
    struct Case {
        const char* pszName;
        void (FakePad::*pfnSet)(bool);
    };
    const Case cases[] = {
        {"failed feature read", &FakePad::SetFailFeatureReads},
        {"wrong command byte", &FakePad::SetWrongReplyCommand},
        {"wrong slot", &FakePad::SetWrongReplySlot},
    };
    ScriptedPicker::nResult = 1;
    ScriptedPicker::rgbPick[0] = 0x04;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        pad.SetKeys(5, 0x1F);
        pad.ClearLog();
        (pad.*c.pfnSet)(true);
        ChooseComboEntry(5, 1);
        (pad.*c.pfnSet)(false);
        EXPECT_EQ(0, ScriptedPicker::nRuns);
        EXPECT_TRUE(WritesWithCommand(0xA1).empty());
        EXPECT_EQ((Bytes{0x1F, 0, 0, 0}), pad.Keys(5));
    }

    // A query that cannot be written is not followed by a feature read.
    pad.SetFailWrites(true);
    pad.ClearLog();
    ChooseComboEntry(5, 1);
    pad.SetFailWrites(false);
    EXPECT_EQ(0, ScriptedPicker::nRuns);
    for (const auto& entry : pad.Log())
        EXPECT_NE(FakePad::Op::GetFeature, entry.op);
    EXPECT_EQ("Keyboard...", ComboEntryText(5, 1));
}

TEST_F(TestPageCommandTest, PageLockIsHeldAcrossThePicker)
{
    bool fLockFreeDuringPicker = true;
    ScriptedPicker::nResult = 0;
    ScriptedPicker::duringPicker = [&] {
        HANDLE hThread =
            CreateThread(nullptr, 0, TryPageLockElsewhere, &fLockFreeDuringPicker, 0, nullptr);
        WaitForSingleObject(hThread, 5000);
        CloseHandle(hThread);
    };
    ChooseComboEntry(3, 1);
    EXPECT_EQ(1, ScriptedPicker::nRuns);
    EXPECT_FALSE(fLockFreeDuringPicker);
    EXPECT_TRUE(TryEnterCriticalSection(&PageLock));
    LeaveCriticalSection(&PageLock);
}

TEST_F(TestPageCommandTest, HandleClosedByATickDuringThePickerIsNotUsedStale)
{
    ScriptedPicker::nResult = 1;
    ScriptedPicker::rgbPick[0] = 0x04;
    ScriptedPicker::duringPicker = [&] {
        di.device.hrAcquire = DIERR_INPUTLOST;  // the pad goes away while the user picks
        Tick();
    };
    ChooseComboEntry(6, 1);
    EXPECT_EQ(1, ScriptedPicker::nRuns);
    EXPECT_TRUE(WritesWithCommand(0xA1).empty());
    EXPECT_EQ(0, pad.OpenHandles());
    EXPECT_EQ(nullptr, PadHandle);
}

TEST_F(TestPageCommandTest, DefaultClearsEverySlotThenRefreshes)
{
    pad.SetKeys(1, 0x04);
    pad.SetKeys(24, 0x05, 0x06);
    ClickButton(1072);
    const auto sets = WritesWithCommand(0xA1);
    ASSERT_EQ(24u, sets.size());
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ((Bytes{0x01, 0xA1, static_cast<BYTE>(i + 1), 0, 0, 0, 0, 0}), sets[i]);
    EXPECT_EQ(24u, WritesWithCommand(0xB1).size());
    EXPECT_EQ(0xB1, pad.Writes().back()[1]);
    EXPECT_EQ((Bytes{0, 0, 0, 0}), pad.Keys(24));
    EXPECT_EQ(0, ComboSelection(24));
    EXPECT_EQ((std::vector<DWORD>{0, 0, 0, 0}), RegistrySlot(1, 24));
}

TEST_F(TestPageCommandTest, LoadSendsTheFileAndRefreshes)
{
    const std::string path = TempFilePath("testpage_load.ksf");
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << "[k3]\r\nI1=4\r\nI2=225\r\nI3=0\r\nI4=0\r\n[k17]\r\nI1=82\r\n";
    }
    ScriptedFileDialog::fOpenResult = TRUE;
    ScriptedFileDialog::openName = path;
    ClickButton(1089);

    EXPECT_EQ((Bytes{0x04, 0xE1, 0, 0}), pad.Keys(3));
    EXPECT_EQ((Bytes{0x52, 0, 0, 0}), pad.Keys(17));
    EXPECT_EQ(" A Shift ", ComboEntryText(3, 1));
    EXPECT_EQ(" Up Arrow  ", ComboEntryText(17, 1));
    EXPECT_EQ(24u, WritesWithCommand(0xB1).size());
    EXPECT_EQ(0xB1, pad.Writes().back()[1]);

    // Cancelled: nothing is sent, the combos are still read back from the pad; the dialog
    // opens with the name chosen last time.
    pad.ClearLog();
    ScriptedFileDialog::fOpenResult = FALSE;
    ClickButton(1089);
    EXPECT_TRUE(WritesWithCommand(0xA1).empty());
    EXPECT_EQ(24u, WritesWithCommand(0xB1).size());
    ASSERT_EQ(2u, ScriptedFileDialog::shownOpen.size());
    EXPECT_EQ(path, ScriptedFileDialog::shownOpen[1]);
    DeleteFileA(path.c_str());
}

TEST_F(TestPageCommandTest, SaveWritesThePadsMapAndNothingElse)
{
    const std::string path = TempFilePath("testpage_save.ksf");
    DeleteFileA(path.c_str());
    pad.SetKeys(3, 0x04, 0xE1);
    pad.SetKeys(24, 0xFF);

    // Cancelled: no traffic at all.
    ScriptedFileDialog::fSaveResult = FALSE;
    ClickButton(1091);
    EXPECT_TRUE(pad.Log().empty());

    ScriptedFileDialog::fSaveResult = TRUE;
    ScriptedFileDialog::saveName = path;
    ClickButton(1091);
    EXPECT_EQ(24u, WritesWithCommand(0xB1).size());
    EXPECT_TRUE(WritesWithCommand(0xA1).empty());
    const std::string text = ReadFileText(path);
    EXPECT_NE(std::string::npos, text.find("[k3]\r\nI1=4\r\nI2=225\r\nI3=0\r\nI4=0\r\n")) << text;
    EXPECT_NE(std::string::npos, text.find("[k24]\r\nI1=255\r\n")) << text;
    EXPECT_EQ(24u * 4u, static_cast<size_t>(std::count(text.begin(), text.end(), '=')));

    ClickButton(1091);
    ASSERT_EQ(3u, ScriptedFileDialog::shownSave.size());
    EXPECT_EQ(path, ScriptedFileDialog::shownSave[2]);
    DeleteFileA(path.c_str());
}

// The page made while the sheet had no device: no crash on ticks and commands, and the
// combos are ready once the sheet gains a device and the key-mapping view shows.
TEST_F(TestPageTest, PageWithoutDeviceAtSetupRecovers)
{
    di.hrCreate = DIERR_NOTINITIALIZED;
    CreatePage();
    Activate();
    Tick();
    EXPECT_TRUE(IsShown(1024));
    EXPECT_TRUE(IsShown(1037));
    EXPECT_FALSE(IsShown(1090));

    ScriptedFileDialog::fOpenResult = TRUE;
    ScriptedFileDialog::openName = TempFilePath("testpage_missing.ksf");
    ClickButton(1072);
    ClickButton(1089);
    ChooseComboEntry(4, 1);
    ChooseComboEntry(4, 0);
    EXPECT_EQ(0, pad.OpenCount());
    EXPECT_TRUE(pad.Log().empty());

    // The sheet gets its device later (as when another page of the sheet sets it up).
    di.device.AddRef();
    pSheet->SetDevice(&di.device);
    pad.SetKeys(4, 0x04);
    TickInMode(0x20);
    EXPECT_FALSE(IsShown(1024));
    EXPECT_TRUE(IsShown(1090));
    EXPECT_EQ(2, ComboCount(4));
    EXPECT_EQ(" A ", ComboEntryText(4, 1));

    ChooseComboEntry(4, 0);
    EXPECT_EQ((Bytes{0, 0, 0, 0}), pad.Keys(4));
}

}  // namespace
