// The rumble test page: polls the pad every 10 ms while active and sends a rumble report each
// time; leaving the page, destroying it or losing the pad silences the motors and closes the
// pad's HID handle. The handle is shared with the test page, and only the active page closes
// it.
#include "RumblePage.h"

#include "AxisRange.h"
#include "Controls.h"
#include "KeyMapRegistry.h"
#include "Module.h"
#include "PadAccess.h"
#include "Pages.h"
#include "res_rumble.h"

#include <commctrl.h>
#include <mmsystem.h>
#include <prsht.h>

#include <cstdio>
#include <cstdlib>

namespace {

enum class Connection { Unknown, Connected, NotConnected };
enum class RumbleTestMode { FollowStick, BothMotors };

// One page per module: the property sheet shows it once.
struct RumblePageState {
    IDIGameCntrlPropSheet* pSheet = nullptr;
    IDirectInputDevice2A* pDevice = nullptr;
    Connection connection = Connection::Unknown;
    RumbleTestMode mode = RumbleTestMode::FollowStick;
    DWORD dwTestStart = 0;
    LONG lShownX = 0, lShownY = 0;
    bool fActive = false;        // from PSN_SETACTIVE until the page is left: it polls the pad
    bool fMotorsMayRun = false;  // a non-zero level was sent since the last zero report
};

RumblePageState g_page;
RumbleClock g_pfnClock = nullptr;

DWORD Now()
{
    return g_pfnClock ? g_pfnClock() : timeGetTime();
}

void FollowStick()
{
    g_page.mode = RumbleTestMode::FollowStick;
    g_page.dwTestStart = 0;
}

DWORD StrengthPosition(HWND hPage)
{
    return static_cast<DWORD>(SendDlgItemMessageA(hPage, IDC_RUMBLE_STRENGTH, TBM_GETPOS, 0, 0));
}

// The label always shows the trackbar's own position: the strength the reports use.
void ShowStrengthLabel(HWND hPage)
{
    char szLabel[25];
    std::snprintf(szLabel, sizeof szLabel, "%d%c", static_cast<int>(StrengthPosition(hPage)), '%');
    SetDlgItemTextA(hPage, IDC_RUMBLE_STRENGTH_TXT, szLabel);
}

// The trackbar clamps to its range, so a stored 150 shows and works as 100.
void SetStrength(HWND hPage, DWORD dwStrength)
{
    SendDlgItemMessageA(hPage, IDC_RUMBLE_STRENGTH, TBM_SETPOS, TRUE, dwStrength);
    ShowStrengthLabel(hPage);
}

void ShowStatus(HWND hPage, UINT uStringId, bool fShowIcon)
{
    char szText[260] = "";
    LoadStringA(g_hInstance, uStringId, szText, sizeof szText);
    SetDlgItemTextA(hPage, IDC_RUMBLE_STATUS_TEXT, szText);
    ShowWindow(GetDlgItem(hPage, IDC_RUMBLE_STATUS_ICON), fShowIcon ? SW_SHOW : SW_HIDE);
}

// A HID handle of the page's own, closed when it goes out of scope.
class OwnPadHandle {
public:
    explicit OwnPadHandle(HANDLE hPad) : m_hPad(hPad) {}
    ~OwnPadHandle() { if (m_hPad) CurrentPadTransport().Close(m_hPad); }
    OwnPadHandle(const OwnPadHandle&) = delete;
    OwnPadHandle& operator=(const OwnPadHandle&) = delete;
    HANDLE Get() const { return m_hPad; }

private:
    HANDLE m_hPad;
};

// Sends a rumble report and remembers whether the motors may be running: a non-zero level
// counts even when its write failed, and only a zero report that went out clears it.
void DriveMotors(HANDLE hPad, LONG lMotor1, LONG lMotor2, DWORD dwStrength)
{
    const bool fMoving =
        RumbleLevel(lMotor1, dwStrength) != 0 || RumbleLevel(lMotor2, dwStrength) != 0;
    const DWORD dwError = SendRumbleReport(hPad, lMotor1, lMotor2, dwStrength);
    if (fMoving)
        g_page.fMotorsMayRun = true;
    else if (dwError == 0)
        g_page.fMotorsMayRun = false;
}

// Silences the motors and lets go of the pad.
void ReleasePad()
{
    if (PadHandle) {
        DriveMotors(PadHandle, 0, 0, 0);
        ClosePadHandle();
    }
}

// Leaving or closing the page. Only the active page closes the shared handle, since an
// inactive one would take it from the page that polls. Motors this page may have started are
// stopped even when another page closed the handle first (the sheet destroys its pages one
// by one): through a handle opened just for the zero report.
void SilenceOnLeave()
{
    if (g_page.fActive)
        ReleasePad();
    else if (PadHandle && g_page.fMotorsMayRun)
        DriveMotors(PadHandle, 0, 0, 0);
    if (!PadHandle && g_page.fMotorsMayRun) {
        OwnPadHandle pad(OpenHidHandle(g_page.pDevice));
        if (pad.Get())
            DriveMotors(pad.Get(), 0, 0, 0);
    }
}

void LeavePage(HWND hPage)
{
    if (g_page.pDevice)
        g_page.pDevice->Unacquire();
    KillTimer(hPage, kRumblePageTimerId);
    SilenceOnLeave();
    g_page.fActive = false;
    FollowStick();
}

void TakeDevice()
{
    g_page.pDevice = nullptr;
    if (g_page.pSheet)
        g_page.pSheet->GetDevice(&g_page.pDevice);
}

void LoadStoredStrength(HWND hPage)
{
    SettingsKey settings;
    DWORD dwAmplify = 0;
    if (settings.Open(HKEY_CURRENT_USER, kPadSettingsKey) && settings.ReadDword("Amplify", &dwAmplify))
        SetStrength(hPage, dwAmplify);
}

void StoreStrength(HWND hPage)
{
    const DWORD dwStrength = StrengthPosition(hPage);
    SettingsKey settings;
    if (settings.Create(HKEY_CURRENT_USER, kPadSettingsKey))
        settings.WriteDword("Amplify", dwStrength);
    ShowStrengthLabel(hPage);
}

LONG SnapForDisplay(LONG lValue)
{
    if (lValue <= -kRumbleDisplaySnap)
        return -10000;
    if (lValue >= kRumbleDisplaySnap)
        return 10000;
    return lValue;
}

// An axis of DirectInput's default range 0..65535 on the motor scale: -10000..9999. A value
// outside the range counts as its end, so no level goes above 31.
LONG StickToMotorValue(LONG lAxis)
{
    return static_cast<LONG>((static_cast<double>(ClampAxis(lAxis)) - 0x8000) * 0.30517578125);
}

LONG DeadBand(LONG lValue)
{
    return std::labs(lValue) < kRumbleDeadBand ? 0 : lValue;
}

INT_PTR OnInitDialog(HWND hPage, LPARAM lParam)
{
    const auto* pPage = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
    g_page.pSheet = pPage ? reinterpret_cast<IDIGameCntrlPropSheet*>(pPage->lParam) : nullptr;
    SetWindowLongPtrA(hPage, DWLP_USER, reinterpret_cast<LONG_PTR>(g_page.pSheet));
    // A new stick display starts at the centre.
    g_page.lShownX = g_page.lShownY = 0;
    if (FAILED(OpenPageDevice(GetParent(hPage), g_page.pSheet)))
        return TRUE;
    TakeDevice();
    SendDlgItemMessageA(hPage, IDC_RUMBLE_STRENGTH, TBM_SETRANGE, TRUE, MAKELONG(0, 100));
    SetStrength(hPage, kRumbleDefaultStrength);
    FollowStick();
    return FALSE;
}

INT_PTR OnNotify(HWND hPage, const NMHDR* pHeader)
{
    switch (pHeader ? pHeader->code : 0) {
    case PSN_SETACTIVE:
        TakeDevice();
        g_page.fActive = true;
        SetTimer(hPage, kRumblePageTimerId, kRumblePageTimerMs, nullptr);
        LoadStoredStrength(hPage);
        FollowStick();
        break;
    case PSN_KILLACTIVE:
        LeavePage(hPage);
        break;
    default:
        break;
    }
    SetWindowLongPtrA(hPage, DWLP_MSGRESULT, 0);
    return TRUE;
}

void OnCommand(WPARAM wParam)
{
    if (HIWORD(wParam) != 0)
        return;
    if (LOWORD(wParam) == IDC_RUMBLE_STOP) {
        FollowStick();
    } else if (LOWORD(wParam) == IDC_RUMBLE_START) {
        g_page.mode = RumbleTestMode::BothMotors;
        g_page.dwTestStart = Now();
    }
}

} // namespace

BYTE RumbleLevel(LONG lValue, DWORD dwStrength)
{
    const double dProduct = static_cast<double>(std::llabs(static_cast<long long>(lValue))) *
                            static_cast<double>(dwStrength);
    return static_cast<BYTE>(static_cast<unsigned long long>(dProduct * 3.1e-05) & 0xFF);
}

DWORD SendRumbleReport(HANDLE hPad, LONG lMotor1, LONG lMotor2, DWORD dwStrength)
{
    const RumbleReport report =
        EncodeRumbleReport(RumbleLevel(lMotor1, dwStrength), RumbleLevel(lMotor2, dwStrength));
    return WritePadReport(hPad, report) ? 0 : GetLastError();
}

void RumblePageTick(IDIGameCntrlPropSheet* pSheet, HWND hPage)
{
    if (!pSheet)
        return;
    IDirectInputDevice2A* pDevice = nullptr;
    pSheet->GetDevice(&pDevice);
    const HRESULT hrAcquire = pDevice ? pDevice->Acquire() : E_FAIL;
    if (!pDevice || (hrAcquire != DI_OK && hrAcquire != S_FALSE)) {
        ReleasePad();
        if (g_page.connection != Connection::NotConnected) {
            ShowStatus(hPage, IDS_NOT_CONNECTED, true);
            g_page.connection = Connection::NotConnected;
            FollowStick();
        }
        return;
    }
    if (g_page.connection != Connection::Connected) {
        ShowStatus(hPage, IDS_CONNECTED, false);
        g_page.connection = Connection::Connected;
    }

    LONG lX = 0, lY = 0;
    DIJOYSTATE state = {};
    if (SUCCEEDED(pDevice->GetDeviceState(sizeof state, &state))) {
        if (!PadHandle)
            PadHandle = OpenHidHandle(pDevice);
        lX = StickToMotorValue(state.lX);
        lY = StickToMotorValue(state.lY);
        // Unsigned difference, so the test also ends across a wrap of the clock.
        if (g_page.mode == RumbleTestMode::BothMotors && Now() - g_page.dwTestStart > kRumbleTestMs)
            FollowStick();
        LONG lMotor1 = lY, lMotor2 = lX;  // the Y axis drives motor 1, the X axis motor 2
        if (g_page.mode == RumbleTestMode::BothMotors)
            lMotor1 = lMotor2 = 10000;
        DriveMotors(PadHandle, DeadBand(lMotor1), DeadBand(lMotor2), StrengthPosition(hPage));
    }

    // Compared after snapping, so a stick held at an edge does not repaint on every tick.
    const LONG lShowX = SnapForDisplay(lX), lShowY = SnapForDisplay(lY);
    if (lShowX != g_page.lShownX || lShowY != g_page.lShownY) {
        SetControlValue(hPage, IDC_RUMBLE_STICK, static_cast<DWORD>(lShowX),
                        static_cast<DWORD>(lShowY));
        g_page.lShownX = lShowX;
        g_page.lShownY = lShowY;
    }
}

RumbleClock SetRumbleClock(RumbleClock pfnClock)
{
    RumbleClock pfnPrevious = g_pfnClock;
    g_pfnClock = pfnClock;
    return pfnPrevious;
}

INT_PTR CALLBACK RumblePageProc(HWND hPage, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_INITDIALOG:
        return OnInitDialog(hPage, lParam);
    case WM_NOTIFY:
        return OnNotify(hPage, reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
        OnCommand(wParam);
        return TRUE;
    case WM_TIMER:
        RumblePageTick(g_page.pSheet, hPage);
        return TRUE;
    case WM_HSCROLL:
        StoreStrength(hPage);
        return TRUE;
    case WM_DESTROY:
        LeavePage(hPage);
        g_page.connection = Connection::Unknown;
        // The sheet may go before the module does; nothing of this page uses it any more.
        g_page.pSheet = nullptr;
        g_page.pDevice = nullptr;
        return TRUE;
    default:
        return FALSE;
    }
}
