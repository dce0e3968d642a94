#pragma once

// The game-controller panel's property-sheet interface and its two records, which the
// platform headers do not declare. Layout as the panel reads it: on 32-bit the sheet record
// is 20 bytes and a page record 40 bytes.
#include "DInput.h"

struct DIGCSHEETINFO {
    DWORD dwSize;               // 20
    USHORT nNumPages;           // number of page records
    LPWSTR lpwszSheetCaption;   // caption text, or null
    BOOL fSheetIconFlag;        // lpwszSheetIcon is an icon (1)
    LPWSTR lpwszSheetIcon;      // integer resource id or name
};

struct DIGCPAGEINFO {
    DWORD dwSize;               // 40
    LPWSTR lpwszPageTitle;      // null: the dialog's own title
    DLGPROC fpPageProc;         // the page's dialog procedure
    BOOL fProcFlag;             // 0: no pre-page procedure
    DLGPROC fpPrePageProc;      // null
    BOOL fIconFlag;             // lpwszPageIcon is an icon (1)
    LPWSTR lpwszPageIcon;       // integer resource id or name
    LPWSTR lpwszTemplate;       // dialog id as an integer resource id
    LPARAM lParam;              // handed to the page as PROPSHEETPAGE lParam
    HINSTANCE hInstance;        // module that holds the template
};

// {7854FB22-8EE3-11D0-A1AC-0000F8026977}
extern const IID IID_IDIGameCntrlPropSheet;

struct IDIGameCntrlPropSheet : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetSheetInfo(DIGCSHEETINFO** ppSheetInfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPageInfo(DIGCPAGEINFO** ppPageInfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetID(USHORT nID) = 0;
    virtual HRESULT STDMETHODCALLTYPE Initialize() = 0;
    virtual USHORT STDMETHODCALLTYPE GetID() = 0;
    // The getters hand out the stored pointer without a reference; the setters take over the
    // caller's reference.
    virtual HRESULT STDMETHODCALLTYPE GetDevice(IDirectInputDevice2A** ppDevice) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetDevice(IDirectInputDevice2A* pDevice) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetJoyConfig(IDirectInputJoyConfig** ppJoyConfig) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetJoyConfig(IDirectInputJoyConfig* pJoyConfig) = 0;
};
