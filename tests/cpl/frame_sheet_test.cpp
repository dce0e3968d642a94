#include "Module.h"
#include "Pages.h"
#include "PropertySheet.h"
#include "res_about.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// The records as the panel reads them: the 32-bit layout the deliverable has, and the 64-bit
// layout of the test build, every pointer on its natural 8-byte boundary.
#ifdef _WIN64
constexpr DWORD kSheetSize = 32;
constexpr DWORD kPageSize = 80;
#else
constexpr DWORD kSheetSize = 20;
constexpr DWORD kPageSize = 40;
#endif
static_assert(sizeof(DIGCSHEETINFO) == kSheetSize, "sheet record as the panel reads it");
static_assert(sizeof(DIGCPAGEINFO) == kPageSize, "page record as the panel reads it");

// A sheet object made as the factory makes it, released at scope end.
struct Sheet {
    ControllerPropertySheet* p = new ControllerPropertySheet;
    ~Sheet() { p->Release(); }
};

// Appends a field at its natural alignment, zero bytes before it.
template <typename T>
void Put(std::vector<BYTE>& bytes, T value)
{
    bytes.resize((bytes.size() + alignof(T) - 1) / alignof(T) * alignof(T), 0);
    const BYTE* pb = reinterpret_cast<const BYTE*>(&value);
    bytes.insert(bytes.end(), pb, pb + sizeof value);
}

std::vector<BYTE> BytesOf(const void* pv, size_t cb)
{
    const BYTE* pb = static_cast<const BYTE*>(pv);
    return std::vector<BYTE>(pb, pb + cb);
}

int g_nCaptionAllocs = 0;
HLOCAL WINAPI CountingAlloc(UINT uFlags, SIZE_T cb)
{
    ++g_nCaptionAllocs;
    return LocalAlloc(uFlags, cb);
}
HLOCAL WINAPI FailingAlloc(UINT, SIZE_T)
{
    return nullptr;
}

TEST(SheetRecords, MatchThePanelsLayoutByteForByte)
{
    Sheet sheet;
    ASSERT_EQ(sheet.p->Initialize(), S_OK);
    DIGCSHEETINFO* pSheetInfo = nullptr;
    DIGCPAGEINFO* pPageInfo = nullptr;
    ASSERT_EQ(sheet.p->GetSheetInfo(&pSheetInfo), S_OK);
    ASSERT_EQ(sheet.p->GetPageInfo(&pPageInfo), S_OK);

    std::vector<BYTE> expectedSheet;
    Put<DWORD>(expectedSheet, kSheetSize);
    Put<USHORT>(expectedSheet, 3);
    Put<USHORT>(expectedSheet, 0);  // alignment
    Put<LPWSTR>(expectedSheet, pSheetInfo->lpwszSheetCaption);
    Put<BOOL>(expectedSheet, 1);
    Put<UINT_PTR>(expectedSheet, 32517);
    EXPECT_EQ(BytesOf(pSheetInfo, sizeof *pSheetInfo), expectedSheet);

    const struct {
        WORD wTemplate;
        DLGPROC pfnProc;
    } pages[] = {{107, TestPageProc}, {108, RumblePageProc}, {112, AboutPageProc}};
    for (int i = 0; i < 3; ++i) {
        std::vector<BYTE> expectedPage;
        Put<DWORD>(expectedPage, kPageSize);
        Put<LPWSTR>(expectedPage, nullptr);
        Put<DLGPROC>(expectedPage, pages[i].pfnProc);
        Put<BOOL>(expectedPage, 0);
        Put<DLGPROC>(expectedPage, nullptr);
        Put<BOOL>(expectedPage, 1);
        Put<UINT_PTR>(expectedPage, 32517);
        Put<UINT_PTR>(expectedPage, pages[i].wTemplate);
        Put<LPARAM>(expectedPage, reinterpret_cast<LPARAM>(sheet.p));
        Put<HINSTANCE>(expectedPage, g_hInstance);
        EXPECT_EQ(BytesOf(&pPageInfo[i], sizeof pPageInfo[i]), expectedPage) << "page " << i;
    }

    // The caption: string 3 in a zero-filled block of 64 UTF-16 units.
    ASSERT_NE(pSheetInfo->lpwszSheetCaption, nullptr);
    EXPECT_EQ(LocalSize(LocalHandle(pSheetInfo->lpwszSheetCaption)), 128u);
    std::vector<WCHAR> expectedCaption(64, 0);
    const WCHAR kProduct[] = L"TramfeldBrisquelOstrevan";
    std::copy(kProduct, kProduct + wcslen(kProduct), expectedCaption.begin());
    EXPECT_EQ(std::vector<WCHAR>(pSheetInfo->lpwszSheetCaption,
                                 pSheetInfo->lpwszSheetCaption + 64),
              expectedCaption);
}

TEST(SheetRecords, JoystickIdAndInterfaces)
{
    Sheet sheet;
    EXPECT_EQ(sheet.p->GetID(), 0xFFFF);
    EXPECT_EQ(sheet.p->SetID(7), S_OK);
    EXPECT_EQ(sheet.p->GetID(), 7);
    EXPECT_EQ(sheet.p->SetID(0), S_OK);
    EXPECT_EQ(sheet.p->GetID(), 0);

    IDirectInputDevice2A* pDevice = reinterpret_cast<IDirectInputDevice2A*>(1);
    IDirectInputJoyConfig* pJoyConfig = reinterpret_cast<IDirectInputJoyConfig*>(1);
    EXPECT_EQ(sheet.p->GetDevice(&pDevice), S_OK);
    EXPECT_EQ(pDevice, nullptr);
    EXPECT_EQ(sheet.p->GetJoyConfig(&pJoyConfig), S_OK);
    EXPECT_EQ(pJoyConfig, nullptr);

    void* pv = reinterpret_cast<void*>(1);
    EXPECT_EQ(sheet.p->QueryInterface(IID_IClassFactory, &pv), E_NOINTERFACE);
    EXPECT_EQ(pv, nullptr);
    EXPECT_EQ(sheet.p->QueryInterface(IID_IDIGameCntrlPropSheet, &pv), S_OK);
    EXPECT_EQ(pv, static_cast<IDIGameCntrlPropSheet*>(sheet.p));
    EXPECT_EQ(sheet.p->Release(), 1u);
}

TEST(SheetRecords, CaptionBlockIsMadeOnceAndAFailureIsReported)
{
    {
        auto pfnPrevious = ControllerPropertySheet::SetCaptionAllocator(CountingAlloc);
        g_nCaptionAllocs = 0;
        Sheet sheet;
        ASSERT_EQ(sheet.p->Initialize(), S_OK);
        DIGCSHEETINFO* pSheetInfo = nullptr;
        sheet.p->GetSheetInfo(&pSheetInfo);
        LPWSTR pwszFirst = pSheetInfo->lpwszSheetCaption;
        ASSERT_EQ(sheet.p->Initialize(), S_OK);
        EXPECT_EQ(g_nCaptionAllocs, 1) << "a second Initialize leaked the first caption";
        EXPECT_EQ(pSheetInfo->lpwszSheetCaption, pwszFirst);
        EXPECT_EQ(std::wstring(pSheetInfo->lpwszSheetCaption), L"TramfeldBrisquelOstrevan");
        ControllerPropertySheet::SetCaptionAllocator(pfnPrevious);
    }
    {
        auto pfnPrevious = ControllerPropertySheet::SetCaptionAllocator(FailingAlloc);
        Sheet sheet;
        EXPECT_EQ(sheet.p->Initialize(), E_OUTOFMEMORY);
        DIGCSHEETINFO* pSheetInfo = nullptr;
        DIGCPAGEINFO* pPageInfo = nullptr;
        sheet.p->GetSheetInfo(&pSheetInfo);
        sheet.p->GetPageInfo(&pPageInfo);
        EXPECT_EQ(pSheetInfo->dwSize, kSheetSize);
        EXPECT_EQ(pSheetInfo->lpwszSheetCaption, nullptr);
        EXPECT_EQ(pPageInfo[2].fpPageProc, AboutPageProc);
        ControllerPropertySheet::SetCaptionAllocator(pfnPrevious);
    }
}

TEST(SheetRecords, EverySheetRegistersTheDisplayClassesOrFindsThemRegistered)
{
    Sheet first;
    Sheet second;
    EXPECT_EQ(first.p->Initialize(), S_OK);
    EXPECT_EQ(second.p->Initialize(), S_OK);
    WNDCLASSA wc;
    for (const char* pszClass :
         {"LampControl", "AxesControl", "PovControl", "ProcessControl", "RumbleControl"}) {
        ASSERT_TRUE(GetClassInfoA(g_hInstance, pszClass, &wc)) << pszClass;
        EXPECT_EQ(wc.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW)) << pszClass;
        EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)) << pszClass;
    }
}

TEST(Strings, ComeOutInTheAnsiCodePage)
{
    ASSERT_EQ(GetACP(), 936u) << "the tests run with code page 936";
    char szText[MAX_PATH] = {};
    ASSERT_EQ(LoadStringA(g_hInstance, IDS_CONNECTED, szText, sizeof szText), 24);
    const BYTE kConnected[] = {0xc4, 0xe3, 0xb5, 0xc4, 0xd3, 0xce, 0xcf, 0xb7, 0xbf, 0xd8, 0xd6, 0xc6,
                               0xc6, 0xf7, 0xc1, 0xac, 0xbd, 0xd3, 0xd5, 0xfd, 0xc8, 0xb7, 0xa1, 0xa3};
    EXPECT_EQ(BytesOf(szText, 24), BytesOf(kConnected, sizeof kConnected));

    EXPECT_GT(LoadStringA(g_hInstance, IDS_NOT_CONNECTED, szText, sizeof szText), 0);
    EXPECT_EQ(LoadStringA(g_hInstance, IDS_PRODUCT_NAME, szText, sizeof szText), 24);
    EXPECT_STREQ(szText, "TramfeldBrisquelOstrevan");
    // 4: the version line, ending in "1.0a(2009.02)" after a full-width colon.
    ASSERT_GT(LoadStringA(g_hInstance, IDS_DRIVER_VERSION, szText, sizeof szText), 0);
    EXPECT_NE(strstr(szText, "\xa3\xba" "1.0a(2009.02)"), nullptr);
    // 5: the rights line names the product.
    ASSERT_GT(LoadStringA(g_hInstance, IDS_RIGHTS, szText, sizeof szText), 0);
    EXPECT_NE(strstr(szText, "TramfeldBrisquelOstrevan"), nullptr);
}

TEST(AboutPage, ShowsTheStringsAndLeavesOtherMessagesToTheDialogManager)
{
    HWND hParent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 600, 500, nullptr, nullptr,
                                   nullptr, nullptr);
    ASSERT_NE(hParent, nullptr);
    HWND hPage = CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(IDD_ABOUTPAGE), hParent,
                                    AboutPageProc, 0);
    ASSERT_NE(hPage, nullptr);

    WCHAR wszTitle[16] = {};
    GetWindowTextW(hPage, wszTitle, 16);
    EXPECT_EQ(std::wstring(wszTitle), L"\u5173\u4e8e");

    const struct {
        int nItem;
        UINT uString;
    } items[] = {{IDC_ABOUT_GROUP, IDS_PRODUCT_NAME},
                 {IDC_ABOUT_VERSION, IDS_DRIVER_VERSION},
                 {IDC_ABOUT_RIGHTS, IDS_RIGHTS}};
    for (const auto& item : items) {
        char szExpected[MAX_PATH] = {}, szShown[MAX_PATH] = {};
        LoadStringA(g_hInstance, item.uString, szExpected, sizeof szExpected);
        GetDlgItemTextA(hPage, item.nItem, szShown, sizeof szShown);
        EXPECT_STREQ(szShown, szExpected) << "item " << item.nItem;
    }
    HWND hGroup = GetDlgItem(hPage, IDC_ABOUT_GROUP);
    EXPECT_EQ(GetWindowLongA(hGroup, GWL_STYLE) & (BS_TYPEMASK | BS_CENTER),
              BS_GROUPBOX | BS_CENTER);

    EXPECT_EQ(AboutPageProc(hPage, WM_COMMAND, IDOK, 0), FALSE);
    EXPECT_EQ(AboutPageProc(hPage, WM_TIMER, 1, 0), FALSE);
    EXPECT_EQ(AboutPageProc(hPage, WM_ERASEBKGND, 0, 0), FALSE);

    DestroyWindow(hPage);
    DestroyWindow(hParent);
}

TEST(VersionResource, NamesTheFileAndItsLanguage)
{
    char szModule[MAX_PATH];
    GetModuleFileNameA(g_hInstance, szModule, sizeof szModule);
    DWORD dwHandle = 0;
    DWORD cbInfo = GetFileVersionInfoSizeA(szModule, &dwHandle);
    ASSERT_GT(cbInfo, 0u);
    std::vector<BYTE> info(cbInfo);
    ASSERT_TRUE(GetFileVersionInfoA(szModule, 0, cbInfo, info.data()));

    WORD* pTranslation = nullptr;
    UINT cb = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&pTranslation), &cb));
    ASSERT_GE(cb, 4u);
    EXPECT_EQ(pTranslation[0], 0x0804);
    EXPECT_EQ(pTranslation[1], 0x04B0);

    const struct {
        const char* pszName;
        const char* pszValue;
    } values[] = {{"FileDescription", "Tesmor32"}, {"InternalName", "Tesmor32"},
                  {"ProductName", "  Tesmor32"},   {"OriginalFilename", "Tesmor32.dll"},
                  {"CompanyName", " "},            {"FileVersion", "1, 0, 0, 1"},
                  {"ProductVersion", "1, 0, 0, 1"}, {"Comments", "chs"}};
    for (const auto& value : values) {
        std::string query = std::string("\\StringFileInfo\\080404b0\\") + value.pszName;
        char* pszValue = nullptr;
        ASSERT_TRUE(VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&pszValue),
                                   &cb))
            << value.pszName;
        EXPECT_STREQ(pszValue, value.pszValue) << value.pszName;
    }
    VS_FIXEDFILEINFO* pFixed = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&pFixed), &cb));
    EXPECT_EQ(pFixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(pFixed->dwFileVersionLS, 0x00000001u);
}

}  // namespace
