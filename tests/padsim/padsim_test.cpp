// The pad simulator records every report a client wrote while it accepted opens, the first
// one after a refusal included: the driver counts such a report as delivered.
#include "PadSimulator.h"

#include <gtest/gtest.h>

namespace {

// A client that, once told, opens the pad as fast as it can until one report is written.
class EagerClient {
public:
    explicit EagerClient(const char* pszPath) : pszPath(pszPath)
    {
        hThread = CreateThread(nullptr, 0, &EagerClient::Run, this, 0, nullptr);
    }
    ~EagerClient()
    {
        bQuit = true;
        SetEvent(hGo);
        WaitForSingleObject(hThread, INFINITE);
        CloseHandle(hThread);
        CloseHandle(hGo);
        CloseHandle(hDone);
    }
    void WriteOne() { SetEvent(hGo); }
    bool Written(DWORD dwTimeoutMs) { return WaitForSingleObject(hDone, dwTimeoutMs) == 0; }

private:
    static DWORD WINAPI Run(LPVOID pv)
    {
        auto* self = static_cast<EagerClient*>(pv);
        const BYTE report[8] = {0, 12, 0, 0, 0, 0, 0, 0};
        for (;;) {
            WaitForSingleObject(self->hGo, INFINITE);
            while (!self->bQuit) {
                HANDLE h = CreateFileA(self->pszPath, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                       0, nullptr);
                if (h == INVALID_HANDLE_VALUE)
                    continue;
                DWORD cb = 0;
                const BOOL bWritten = WriteFile(h, report, sizeof report, &cb, nullptr);
                CloseHandle(h);
                if (bWritten && cb == sizeof report)
                    break;
            }
            if (self->bQuit)
                return 0;
            SetEvent(self->hDone);
        }
    }

    const char* pszPath;
    volatile bool bQuit = false;
    HANDLE hGo = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE hDone = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE hThread = nullptr;
};

// The client is already hammering when the pad returns, so its open often lands on a fresh
// instance before the simulator listens on it, and the client has closed again by then.
TEST(PadSimulator, FirstReportAfterARefusalIsRecorded)
{
    PadSimulator pad;
    ASSERT_TRUE(pad.Start());
    EagerClient client(pad.Path());
    int nLost = 0;
    for (int i = 0; i < 100; ++i) {
        pad.RefuseOpens(true);
        pad.Clear();
        client.WriteOne();
        Sleep(i % 3);
        pad.RefuseOpens(false);
        ASSERT_TRUE(client.Written(5000)) << "return " << i;
        pad.Sync();
        if (pad.Reports().size() != 1)
            ++nLost;
    }
    EXPECT_EQ(nLost, 0) << "returns whose report was not recorded exactly once, of 100";
}

} // namespace
