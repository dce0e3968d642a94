#include "testpage_harness.h"

#include "KeyMap.h"
#include "Module.h"
#include "Pages.h"
#include "PropertySheet.h"

#include "keymap_test_util.h"

#include <cstring>

namespace {

KeyPickerRunner g_pfnPreviousPicker = nullptr;
KeyFileDialog g_pfnPreviousOpen = nullptr;
KeyFileDialog g_pfnPreviousSave = nullptr;

}  // namespace

int ScriptedPicker::nRuns = 0;
std::vector<BYTE> ScriptedPicker::seen;
INT_PTR ScriptedPicker::nResult = 0;
BYTE ScriptedPicker::rgbPick[4] = {};
std::function<void()> ScriptedPicker::duringPicker;

void ScriptedPicker::Reset()
{
    nRuns = 0;
    seen.clear();
    nResult = 0;
    std::memset(rgbPick, 0, sizeof rgbPick);
    duringPicker = nullptr;
}

INT_PTR ScriptedPicker::Run(HWND, BYTE* pbReply)
{
    ++nRuns;
    seen.assign(pbReply, pbReply + 8);
    if (duringPicker)
        duringPicker();
    if (nResult != 0)
        std::memcpy(pbReply + 3, rgbPick, sizeof rgbPick);
    return nResult;
}

BOOL ScriptedFileDialog::fOpenResult = FALSE;
BOOL ScriptedFileDialog::fSaveResult = FALSE;
std::string ScriptedFileDialog::openName;
std::string ScriptedFileDialog::saveName;
std::vector<std::string> ScriptedFileDialog::shownOpen;
std::vector<std::string> ScriptedFileDialog::shownSave;

void ScriptedFileDialog::Reset()
{
    fOpenResult = fSaveResult = FALSE;
    openName.clear();
    saveName.clear();
    shownOpen.clear();
    shownSave.clear();
}

BOOL WINAPI ScriptedFileDialog::Open(LPOPENFILENAMEA pOfn)
{
    shownOpen.push_back(pOfn->lpstrFile);
    if (fOpenResult)
        lstrcpynA(pOfn->lpstrFile, openName.c_str(), pOfn->nMaxFile);
    return fOpenResult;
}

BOOL WINAPI ScriptedFileDialog::Save(LPOPENFILENAMEA pOfn)
{
    shownSave.push_back(pOfn->lpstrFile);
    if (fSaveResult)
        lstrcpynA(pOfn->lpstrFile, saveName.c_str(), pOfn->nMaxFile);
    return fSaveResult;
}

void TestPageTest::SetUp()
{
    DeletePadSettings();
    ScriptedPicker::Reset();
    ScriptedFileDialog::Reset();
    g_pfnPreviousPicker = SetKeyPickerRunner(ScriptedPicker::Run);
    g_pfnPreviousOpen = SetKeyFileOpenDialog(ScriptedFileDialog::Open);
    g_pfnPreviousSave = SetKeyFileSaveDialog(ScriptedFileDialog::Save);

    auto* pNewSheet = new ControllerPropertySheet();
    ASSERT_EQ(S_OK, pNewSheet->Initialize());  // registers the display control classes
    pSheet = pNewSheet;
    hParent = CreateWindowExA(0, "STATIC", "test page host", WS_OVERLAPPEDWINDOW, 0, 0, 700,
                              520, nullptr, nullptr, g_hInstance, nullptr);
    ASSERT_NE(nullptr, hParent);
}

void TestPageTest::TearDown()
{
    if (hPage)
        DestroyWindow(hPage);
    if (hParent)
        DestroyWindow(hParent);
    if (pSheet)
        pSheet->Release();
    SetKeyPickerRunner(g_pfnPreviousPicker);
    SetKeyFileOpenDialog(g_pfnPreviousOpen);
    SetKeyFileSaveDialog(g_pfnPreviousSave);
    DeletePadSettings();
}

void TestPageTest::CreatePage()
{
    page.dwSize = sizeof page;
    page.hInstance = g_hInstance;
    page.lParam = reinterpret_cast<LPARAM>(pSheet);
    hPage = CreateDialogParamA(g_hInstance, MAKEINTRESOURCEA(IDD_TESTPAGE), hParent,
                               TestPageProc, reinterpret_cast<LPARAM>(&page));
    ASSERT_NE(nullptr, hPage);
}

void TestPageTest::Activate()
{
    NMHDR header = {hParent, 0, static_cast<UINT>(PSN_SETACTIVE)};
    SendMessageA(hPage, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
}

void TestPageTest::Deactivate()
{
    NMHDR header = {hParent, 0, static_cast<UINT>(PSN_KILLACTIVE)};
    SendMessageA(hPage, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
}

void TestPageTest::Tick()
{
    SendMessageA(hPage, WM_TIMER, 1, 0);
}

void TestPageTest::TickInMode(BYTE bModeByte)
{
    pad.SetModeByte(bModeByte);
    Tick();
}

void TestPageTest::ChooseComboEntry(int nSlot, int nEntry)
{
    const int nId = 3072 + nSlot;
    HWND hCombo = GetDlgItem(hPage, nId);
    SendMessageA(hCombo, CB_SETCURSEL, nEntry, 0);
    SendMessageA(hPage, WM_COMMAND, MAKEWPARAM(nId, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(hCombo));
}

void TestPageTest::ClickButton(int nId)
{
    SendMessageA(hPage, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(hPage, nId)));
}

bool TestPageTest::IsShown(int nId) const
{
    return (GetWindowLongA(GetDlgItem(hPage, nId), GWL_STYLE) & WS_VISIBLE) != 0;
}

DWORD TestPageTest::UserData(int nId) const
{
    return static_cast<DWORD>(GetWindowLongPtrA(GetDlgItem(hPage, nId), GWLP_USERDATA));
}

std::string TestPageTest::ItemText(int nId) const
{
    char szText[MAX_PATH] = "";
    GetDlgItemTextA(hPage, nId, szText, sizeof szText);
    return szText;
}

std::string TestPageTest::ComboEntryText(int nSlot, int nEntry) const
{
    char szText[MAX_PATH] = "";
    SendDlgItemMessageA(hPage, 3072 + nSlot, CB_GETLBTEXT, nEntry,
                        reinterpret_cast<LPARAM>(szText));
    return szText;
}

int TestPageTest::ComboSelection(int nSlot) const
{
    return static_cast<int>(SendDlgItemMessageA(hPage, 3072 + nSlot, CB_GETCURSEL, 0, 0));
}

int TestPageTest::ComboCount(int nSlot) const
{
    return static_cast<int>(SendDlgItemMessageA(hPage, 3072 + nSlot, CB_GETCOUNT, 0, 0));
}

std::vector<std::vector<BYTE>> TestPageTest::WritesWithCommand(BYTE bCommand) const
{
    std::vector<std::vector<BYTE>> writes;
    for (const auto& report : pad.Writes()) {
        if (report.size() > 1 && report[1] == bCommand)
            writes.push_back(report);
    }
    return writes;
}

void TestPageTest::StoreRegistrySlot(int nMode, int nSlot, BYTE k1, BYTE k2, BYTE k3, BYTE k4)
{
    StoreCodes(nMode, nSlot, {k1, k2, k3, k4});
}

std::vector<DWORD> TestPageTest::RegistrySlot(int nMode, int nSlot)
{
    std::vector<DWORD> codes;
    for (long long llCode : StoredCodes(nMode, nSlot)) {
        if (llCode >= 0)
            codes.push_back(static_cast<DWORD>(llCode));
    }
    return codes;
}

void TestPageTest::DeletePadSettings()
{
    ClearPadSettings();
}
