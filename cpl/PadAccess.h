#pragma once

// How the pages reach the pad: the DirectInput device every page shares, the one HID handle
// PadHandle, and the report exchanges on it. All HID traffic goes through the PadTransport
// below (real Win32/HID calls by default); never call ReadFile/WriteFile/CloseHandle on
// PadHandle directly.
#include "DInput.h"
#include "GameCtrlPropSheet.h"
#include "PadReports.h"

// ---- DirectInput -------------------------------------------------------------------------

// The DirectInput version the control panel asks for.
constexpr DWORD kPadDirectInputVersion = 0x0500;

// Makes sure the sheet holds a joystick-configuration object and a configured device
// (dead zone 500 on X, Y, Z, Rz). S_FALSE when the device was there already; E_POINTER for a
// bad sheet pointer; E_FAIL without a joystick-configuration object; DirectInput failures are
// passed through. Takes PageLock.
HRESULT OpenPageDevice(HWND hParent, IDIGameCntrlPropSheet* pSheet);

// Creates the joystick device for a joystick id (widened with its sign), sets the joystick
// data format and the exclusive background cooperative level.
HRESULT CreateJoystickDevice(SHORT nJoystickId, HWND hParent, IDirectInputA* pDirectInput,
                             IDirectInputJoyConfig* pJoyConfig, IDirectInputDevice2A** ppDevice);

// The device's HID interface path (MAX_PATH UTF-16 units, always terminated); FALSE when the
// property cannot be read.
BOOL GetDevicePath(WCHAR wszPath[MAX_PATH], IDirectInputDevice2A* pDevice);

// Opens the device's HID interface through the transport; null when the path cannot be had,
// does not fit into MAX_PATH - 1 bytes of the ANSI code page, or cannot be opened.
HANDLE OpenHidHandle(IDirectInputDevice2A* pDevice);

// Replaceable creation of the DirectInput object (default: DirectInputCreateA). Returns the
// previous hook; null restores the default.
using DirectInputCreateProc = HRESULT(WINAPI*)(HINSTANCE, DWORD, IDirectInputA**, IUnknown*);
DirectInputCreateProc SetDirectInputCreateHook(DirectInputCreateProc pfnCreate);

// ---- HID transport -----------------------------------------------------------------------

// The five HID operations the control panel performs on the pad.
class PadTransport {
public:
    // Opens the device interface path for reading and writing; null on failure.
    virtual HANDLE Open(const char* pszPath) = 0;
    // Writes one output report; TRUE when all cb bytes went out.
    virtual BOOL Write(HANDLE hPad, const BYTE* pbReport, DWORD cb, DWORD* pcbWritten) = 0;
    // Reads a feature report into pbReport (byte 0 holds the report id on entry).
    virtual BOOL GetFeature(HANDLE hPad, BYTE* pbReport, DWORD cb) = 0;
    // Reads one input report, waiting at most dwTimeoutMs; FALSE when nothing came in time.
    virtual BOOL ReadInput(HANDLE hPad, BYTE* pbReport, DWORD cb, DWORD* pcbRead,
                           DWORD dwTimeoutMs) = 0;
    virtual BOOL Close(HANDLE hPad) = 0;

protected:
    ~PadTransport() = default;
};

// Installs a transport (null: the real one) and returns the previous one.
PadTransport* SetPadTransport(PadTransport* pTransport);
PadTransport& CurrentPadTransport();

// ---- The pad's HID handle and exchanges ----------------------------------------------------

// The one module-wide HID handle of the pad, shared by the test and rumble pages; null while
// closed. Opened with OpenHidHandle, closed with ClosePadHandle.
extern HANDLE PadHandle;

// Closes PadHandle if it is open and sets it back to null.
void ClosePadHandle();

// Longest wait for an input report: shorter than the pages' 10 ms timer, so a pad that sends
// nothing never freezes the window thread.
constexpr DWORD kPadInputWaitMs = 8;

// Writes one 8-byte output report; TRUE when all 8 bytes went out. On failure the last error
// is set (ERROR_INVALID_HANDLE for a null handle).
BOOL WritePadReport(HANDLE hPad, const PadCommandReport& report);

// Reads a feature report (HidD_GetFeature); the callers pass 8 bytes whose byte 0 is 0x01.
BOOL GetFeatureReport(HANDLE hPad, void* pBuffer, ULONG cb);

// Sends the query for a slot and reads the reply into *pReply (byte 1 cleared before the
// read, so only the pad's 0xB2 passes). TRUE only for a valid reply naming that slot.
BOOL QueryKeySlot(HANDLE hPad, BYTE bSlot, KeySlotReply* pReply);

// Reads one input report into a fresh buffer (id 1, rest zero) within kPadInputWaitMs.
// TRUE when a report came in; *pcbRead holds its length (decode only if it is 12).
BOOL ReadPadInputReport(HANDLE hPad, PadInputReport* pReport, DWORD* pcbRead);
