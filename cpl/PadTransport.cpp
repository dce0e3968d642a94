#include "PadAccess.h"

extern "C" {
#include <hidsdi.h>
}

namespace {

constexpr DWORD kWriteWaitMs = 250;

class EventHandle {
public:
    EventHandle() : m_hEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~EventHandle() { if (m_hEvent) CloseHandle(m_hEvent); }
    EventHandle(const EventHandle&) = delete;
    EventHandle& operator=(const EventHandle&) = delete;
    HANDLE Get() const { return m_hEvent; }

private:
    HANDLE m_hEvent;
};

// The handle is opened for overlapped I/O so that no read or write can hold the window
// thread longer than its wait; a transfer that does not finish in time is cancelled.
template <typename Start>
BOOL TransferWithin(HANDLE hPad, DWORD dwWaitMs, DWORD* pcbDone, Start start)
{
    *pcbDone = 0;
    EventHandle event;
    if (!event.Get())
        return FALSE;
    OVERLAPPED ov = {};
    ov.hEvent = event.Get();
    if (!start(&ov) && GetLastError() != ERROR_IO_PENDING)
        return FALSE;
    if (WaitForSingleObject(ov.hEvent, dwWaitMs) != WAIT_OBJECT_0)
        CancelIo(hPad);
    // After a cancel this waits only for the cancellation itself; a transfer that completed
    // in the meantime still counts.
    DWORD cbDone = 0;
    if (!GetOverlappedResult(hPad, &ov, &cbDone, TRUE)) {
        if (GetLastError() == ERROR_OPERATION_ABORTED)
            SetLastError(ERROR_TIMEOUT);
        return FALSE;
    }
    *pcbDone = cbDone;
    return TRUE;
}

class Win32PadTransport final : public PadTransport {
public:
    HANDLE Open(const char* pszPath) override
    {
        HANDLE hPad = CreateFileA(pszPath, GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OVERLAPPED, nullptr);
        return hPad == INVALID_HANDLE_VALUE ? nullptr : hPad;
    }

    BOOL Write(HANDLE hPad, const BYTE* pbReport, DWORD cb, DWORD* pcbWritten) override
    {
        return TransferWithin(hPad, kWriteWaitMs, pcbWritten, [&](OVERLAPPED* pov) {
            return WriteFile(hPad, pbReport, cb, nullptr, pov);
        });
    }

    BOOL GetFeature(HANDLE hPad, BYTE* pbReport, DWORD cb) override
    {
        return HidD_GetFeature(hPad, pbReport, cb) ? TRUE : FALSE;
    }

    BOOL ReadInput(HANDLE hPad, BYTE* pbReport, DWORD cb, DWORD* pcbRead,
                   DWORD dwTimeoutMs) override
    {
        return TransferWithin(hPad, dwTimeoutMs, pcbRead, [&](OVERLAPPED* pov) {
            return ReadFile(hPad, pbReport, cb, nullptr, pov);
        });
    }

    BOOL Close(HANDLE hPad) override { return CloseHandle(hPad); }
};

Win32PadTransport g_win32Transport;
PadTransport* g_pTransport = &g_win32Transport;

}  // namespace

PadTransport* SetPadTransport(PadTransport* pTransport)
{
    PadTransport* pPrevious = g_pTransport;
    g_pTransport = pTransport ? pTransport : &g_win32Transport;
    return pPrevious;
}

PadTransport& CurrentPadTransport()
{
    return *g_pTransport;
}
