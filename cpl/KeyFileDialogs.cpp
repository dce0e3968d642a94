// The open and save dialogs for key setting files.
#include "KeyMap.h"
#include "Module.h"

namespace {

KeyFileDialog g_pfnOpenDialog = nullptr;
KeyFileDialog g_pfnSaveDialog = nullptr;

// Pairs of description and pattern, ended by an empty pair.
const char kKeyFileFilter[] = "Keyboard Setting Files (*.ksf)\0*.ksf\0";
constexpr DWORD kNameBufferSize = 260;

OPENFILENAMEA MakeRequest(HWND hPage, char* pszName, DWORD dwFlags)
{
    OPENFILENAMEA ofn = {};
    // The small, older record: every version of the dialog accepts it.
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = hPage;
    ofn.hInstance = g_hInstance;
    ofn.lpstrFilter = kKeyFileFilter;
    ofn.lpstrFile = pszName;
    ofn.nMaxFile = kNameBufferSize;
    ofn.Flags = dwFlags;
    return ofn;
}

} // namespace

BOOL ChooseKeySettingFileToLoad(HWND hPage, char* pszName)
{
    OPENFILENAMEA ofn = MakeRequest(hPage, pszName, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY);
    return (g_pfnOpenDialog ? g_pfnOpenDialog : GetOpenFileNameA)(&ofn);
}

BOOL ChooseKeySettingFileToSave(HWND hPage, char* pszName)
{
    OPENFILENAMEA ofn =
        MakeRequest(hPage, pszName, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST);
    ofn.lpstrDefExt = "ksf";
    return (g_pfnSaveDialog ? g_pfnSaveDialog : GetSaveFileNameA)(&ofn);
}

KeyFileDialog SetKeyFileOpenDialog(KeyFileDialog pfnDialog)
{
    KeyFileDialog pfnPrevious = g_pfnOpenDialog;
    g_pfnOpenDialog = pfnDialog;
    return pfnPrevious;
}

KeyFileDialog SetKeyFileSaveDialog(KeyFileDialog pfnDialog)
{
    KeyFileDialog pfnPrevious = g_pfnSaveDialog;
    g_pfnSaveDialog = pfnDialog;
    return pfnPrevious;
}
