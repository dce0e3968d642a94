// The key-mapping view's commands: a slot combo's choice, Default, Load and Save.
#include "KeyMap.h"
#include "Module.h"
#include "PadAccess.h"
#include "TestPageState.h"
#include "res_testpage.h"

namespace {

constexpr LRESULT kEntryNoKeys = 0;
constexpr LRESULT kEntryPickKeys = 1;

// Holds PageLock for a scope.
class PageLockGuard {
public:
    PageLockGuard() { EnterCriticalSection(&PageLock); }
    ~PageLockGuard() { LeaveCriticalSection(&PageLock); }
    PageLockGuard(const PageLockGuard&) = delete;
    PageLockGuard& operator=(const PageLockGuard&) = delete;
};

// Asks the pad for the slot's keys, lets the user pick new ones and sends them. Nothing is
// written unless the pad gave a valid reply for this slot and the user confirmed the pick.
void PickKeysForSlot(HWND hCombo, BYTE bSlot)
{
    KeySlotReply reply = {};
    if (!QueryKeySlot(PadHandle, bSlot, &reply))
        return;
    if (RunKeyPicker(hCombo, reply.data()) == 0)
        return;
    BYTE rgbKeys[kKeysPerSlot];
    for (int i = 0; i < kKeysPerSlot; ++i)
        rgbKeys[i] = reply[3 + i];
    ReplyToSetSlotReport(reply, rgbKeys);
    // The picker runs a message loop in which a tick may have closed or reopened the handle.
    WritePadReport(PadHandle, reply);
}

}  // namespace

IDirectInputDevice2A* TestPageDevice()
{
    if (!g_testPage.pDevice && g_testPage.pSheet)
        g_testPage.pSheet->GetDevice(&g_testPage.pDevice);
    return g_testPage.pDevice;
}

void EnsurePadHandle()
{
    if (PadHandle)
        return;
    if (IDirectInputDevice2A* pDevice = TestPageDevice())
        PadHandle = OpenHidHandle(pDevice);
}

void OnKeySlotSelChange(HWND hPage, HWND hCombo, int nComboId)
{
    PageLockGuard lock;
    EnsurePadHandle();
    const BYTE bSlot = static_cast<BYTE>(nComboId & 0xFF);
    const LRESULT nEntry = SendMessageA(hCombo, CB_GETCURSEL, 0, 0);
    if (nEntry == kEntryNoKeys) {
        const BYTE rgbNoKeys[kKeysPerSlot] = {};
        WritePadReport(PadHandle, EncodeSetSlotReport(bSlot, rgbNoKeys));
    } else if (nEntry == kEntryPickKeys) {
        PickKeysForSlot(hCombo, bSlot);
    }
    // Whatever happened, the combo shows what the pad now holds.
    RefreshKeyMap(hPage, PadHandle, g_testPage.nPadMode);
}

void OnDefaultButton(HWND hPage)
{
    EnsurePadHandle();
    ClearKeyMap(PadHandle);
    RefreshKeyMap(hPage, PadHandle, g_testPage.nPadMode);
}

void OnLoadButton(HWND hPage)
{
    if (ChooseKeySettingFileToLoad(hPage, g_testPage.szLoadName)) {
        EnsurePadHandle();
        LoadKeySettingFile(PadHandle, g_testPage.szLoadName);
    }
    RefreshKeyMap(hPage, PadHandle, g_testPage.nPadMode);
}

void OnSaveButton(HWND hPage)
{
    if (ChooseKeySettingFileToSave(hPage, g_testPage.szSaveName)) {
        EnsurePadHandle();
        SaveKeySettingFile(PadHandle, g_testPage.szSaveName);
    }
}
