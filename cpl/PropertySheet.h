#pragma once

// The sheet object the game-controller panel asks for: one sheet record, three page records
// and the DirectInput objects the pages share.
#include "GameCtrlPropSheet.h"

class ControllerPropertySheet final : public IDIGameCntrlPropSheet {
public:
    ControllerPropertySheet();

    ControllerPropertySheet(const ControllerPropertySheet&) = delete;
    ControllerPropertySheet& operator=(const ControllerPropertySheet&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDIGameCntrlPropSheet
    HRESULT STDMETHODCALLTYPE GetSheetInfo(DIGCSHEETINFO** ppSheetInfo) override;
    HRESULT STDMETHODCALLTYPE GetPageInfo(DIGCPAGEINFO** ppPageInfo) override;
    HRESULT STDMETHODCALLTYPE SetID(USHORT nID) override;
    HRESULT STDMETHODCALLTYPE Initialize() override;
    USHORT STDMETHODCALLTYPE GetID() override;
    HRESULT STDMETHODCALLTYPE GetDevice(IDirectInputDevice2A** ppDevice) override;
    HRESULT STDMETHODCALLTYPE SetDevice(IDirectInputDevice2A* pDevice) override;
    HRESULT STDMETHODCALLTYPE GetJoyConfig(IDirectInputJoyConfig** ppJoyConfig) override;
    HRESULT STDMETHODCALLTYPE SetJoyConfig(IDirectInputJoyConfig* pJoyConfig) override;

    static constexpr int kPageCount = 3;
    static constexpr USHORT kNoJoystick = 0xFFFF;
    static constexpr WORD kSheetIcon = 32517;
    static constexpr int kCaptionChars = 64;

    // Replaceable allocation of the caption block (default LocalAlloc), so a test can make it
    // fail. Returns the previous function; null restores the default.
    using CaptionAllocProc = HLOCAL(WINAPI*)(UINT uFlags, SIZE_T cb);
    static CaptionAllocProc SetCaptionAllocator(CaptionAllocProc pfnAlloc);

private:
    ~ControllerPropertySheet();

    DIGCSHEETINFO m_sheetInfo;
    DIGCPAGEINFO m_rgPageInfo[kPageCount];
    IDirectInputDevice2A* m_pDevice;
    IDirectInputJoyConfig* m_pJoyConfig;
    volatile LONG m_cRefs;
    USHORT m_nID;
};
