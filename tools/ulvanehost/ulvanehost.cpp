// ulvanehost: shows Ulvane's property sheet the way the game-controller panel does, so the
// pages can be looked at (and photographed) without the panel.
//
//   ulvanehost.exe [--dll PATH] [--page N] [--id JOYID] [--close-after MS]
//
// --dll          the Ulvane.dll to load (default: this tree's build of it beside this program,
//                then the search path); ulvanehost_fake ignores it and uses its linked-in copy with a
//                fake pad and fake DirectInput, so the pages show a connected pad
// --page         page to open first: 0 test page, 1 rumble test page, 2 About (default 0)
// --id           joystick id handed to the sheet with SetID (default 0)
// --close-after  cancel the sheet after this many milliseconds (default: stay open)
//
// scripts/page-shot.sh runs it on the virtual display and takes the screenshot, for example
//   bash scripts/page-shot.sh --no-pad 2 /tmp/about.png
// The pages are shown with PropertySheetW so their Chinese captions survive any code page.
// Exit code: 0 when the sheet was shown, else 1.
#include "SheetSource.h"

#include <commctrl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Options {
    std::string dllPath;
    int nStartPage = 0;
    USHORT nJoystickId = 0;
    UINT uCloseAfterMs = 0;
};

UINT g_uCloseAfterMs = 0;

bool ParseOptions(int argc, char** argv, Options* pOptions)
{
    for (int i = 1; i < argc; ++i) {
        const char* pszArg = argv[i];
        if (i + 1 >= argc)
            return false;
        const char* pszValue = argv[++i];
        if (!strcmp(pszArg, "--dll"))
            pOptions->dllPath = pszValue;
        else if (!strcmp(pszArg, "--page"))
            pOptions->nStartPage = atoi(pszValue);
        else if (!strcmp(pszArg, "--id"))
            pOptions->nJoystickId = static_cast<USHORT>(atoi(pszValue));
        else if (!strcmp(pszArg, "--close-after"))
            pOptions->uCloseAfterMs = static_cast<UINT>(atoi(pszValue));
        else
            return false;
    }
    return true;
}

void CALLBACK CloseSheet(HWND hSheet, UINT, UINT_PTR idTimer, DWORD)
{
    KillTimer(hSheet, idTimer);
    PostMessageW(hSheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

int CALLBACK SheetCallback(HWND hSheet, UINT uMsg, LPARAM)
{
    if (uMsg == PSCB_INITIALIZED && g_uCloseAfterMs)
        SetTimer(hSheet, 1, g_uCloseAfterMs, CloseSheet);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        fprintf(stderr, "usage: ulvanehost [--dll PATH] [--page N] [--id JOYID] [--close-after MS]\n");
        return 1;
    }
    g_uCloseAfterMs = options.uCloseAfterMs;

    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    SheetSource source;
    IDIGameCntrlPropSheet* pSheet = source.Create(options.dllPath);
    if (!pSheet) {
        fprintf(stderr, "ulvanehost: %s\n", source.Error().c_str());
        return 1;
    }
    pSheet->SetID(options.nJoystickId);

    DIGCSHEETINFO* pSheetInfo = nullptr;
    DIGCPAGEINFO* pPageInfo = nullptr;
    pSheet->GetSheetInfo(&pSheetInfo);
    pSheet->GetPageInfo(&pPageInfo);

    PROPSHEETPAGEW pages[8] = {};
    const int nPages = pSheetInfo->nNumPages < 8 ? pSheetInfo->nNumPages : 8;
    for (int i = 0; i < nPages; ++i) {
        const DIGCPAGEINFO& info = pPageInfo[i];
        PROPSHEETPAGEW& page = pages[i];
        page.dwSize = sizeof page;
        page.dwFlags = info.lpwszPageTitle ? PSP_USETITLE : PSP_DEFAULT;
        page.hInstance = info.hInstance;
        page.pszTemplate = info.lpwszTemplate;
        page.pfnDlgProc = info.fpPageProc;
        page.pszTitle = info.lpwszPageTitle;
        page.lParam = info.lParam;
    }

    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_USECALLBACK;
    header.hwndParent = nullptr;
    header.hInstance = GetModuleHandleW(nullptr);
    header.pszCaption = pSheetInfo->lpwszSheetCaption;
    header.nPages = static_cast<UINT>(nPages);
    header.nStartPage = static_cast<UINT>(options.nStartPage);
    header.ppsp = pages;
    header.pfnCallback = SheetCallback;
    INT_PTR nResult = PropertySheetW(&header);

    pSheet->Release();
    return nResult < 0 ? 1 : 0;
}
