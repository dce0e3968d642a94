// Shows the key picker for slot 7 holding A, Shift and Enter, for a look under Xvfb; ends after
// 60 s or when the picker is closed. Not a test. (The rumble page shows in ulvanehost_fake.)
#include "KeyMap.h"

#include <commctrl.h>

static void CALLBACK EndAfterAWhile(HWND, UINT, UINT_PTR, DWORD)
{
    ExitProcess(0);
}

int main()
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    SetTimer(nullptr, 0, 60000, EndAfterAWhile);
    BYTE rgbReply[8] = {0x01, 0xB2, 7, 0x04, 0xE1, 0x28, 0x00, 0x00};
    return static_cast<int>(RunKeyPicker(nullptr, rgbReply));
}
