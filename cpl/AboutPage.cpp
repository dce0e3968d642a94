#include "Module.h"
#include "Pages.h"
#include "res_about.h"

namespace {

void SetItemFromString(HWND hPage, int nItem, UINT uString)
{
    char szText[MAX_PATH] = {};
    LoadStringA(g_hInstance, uString, szText, sizeof szText);
    SetDlgItemTextA(hPage, nItem, szText);
}

}  // namespace

INT_PTR CALLBACK AboutPageProc(HWND hPage, UINT uMsg, WPARAM, LPARAM)
{
    if (uMsg != WM_INITDIALOG)
        return FALSE;  // the dialog manager does the default handling
    SetItemFromString(hPage, IDC_ABOUT_GROUP, IDS_PRODUCT_NAME);
    SetItemFromString(hPage, IDC_ABOUT_VERSION, IDS_DRIVER_VERSION);
    SetItemFromString(hPage, IDC_ABOUT_RIGHTS, IDS_RIGHTS);
    return TRUE;
}
