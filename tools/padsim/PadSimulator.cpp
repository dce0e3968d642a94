#include "PadSimulator.h"

#include <cstdio>
#include <cstring>

namespace {

LONG g_nNextPipe = 0;

double TicksPerMs()
{
    static const double dPerMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    return dPerMs;
}

} // namespace

struct PadSimulator::Instance {
    OVERLAPPED ov;      // first member: the completion hands back this address
    HANDLE hPipe;
    HANDLE hDone;       // signalled when the pending operation has finished
    bool bConnected;
    BYTE rgbBuf[256];

    ~Instance()
    {
        if (hDone)
            CloseHandle(hDone);
    }
};

double PadSimulator::NowMs()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / TicksPerMs();
}

PadSimulator::PadSimulator() : hPort(nullptr), hThread(nullptr), hAck(nullptr), dLastMs(0)
{
    const LONG nPipe = InterlockedIncrement(&g_nNextPipe);
    std::snprintf(szPath, sizeof(szPath), "\\\\.\\pipe\\vantrel-pad-%lu-%ld",
                  GetCurrentProcessId(), nPipe);
    MultiByteToWideChar(CP_ACP, 0, szPath, -1, wszPath, 64);
    for (Instance*& pInst : rgpActive)
        pInst = nullptr;
}

PadSimulator::~PadSimulator()
{
    Stop();
}

bool PadSimulator::Start()
{
    if (hThread)
        return true;
    hPort = CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1);
    hAck = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!hPort || !hAck) {
        Stop();
        return false;
    }
    // Armed before the thread runs: their completions wait in the port.
    OpenAndArmAll();
    if (!rgpActive[kInstances - 1]) {
        Stop();
        return false;
    }
    hThread = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
    if (!hThread) {
        Stop();
        return false;
    }
    return true;
}

void PadSimulator::Stop()
{
    if (hThread) {
        PostQueuedCompletionStatus(hPort, 0, KEY_QUIT, nullptr);
        WaitForSingleObject(hThread, INFINITE);
        CloseHandle(hThread);
        hThread = nullptr;
    }
    CloseAll();
    if (hPort) {
        CloseHandle(hPort);
        hPort = nullptr;
    }
    if (hAck) {
        CloseHandle(hAck);
        hAck = nullptr;
    }
    for (Instance* pInst : allInstances)
        delete pInst;
    allInstances.clear();
}

PadSimulator::Instance* PadSimulator::OpenInstance()
{
    HANDLE hPipe = CreateNamedPipeA(szPath, PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                    PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT,
                                    PIPE_UNLIMITED_INSTANCES, 256, 256, 0, nullptr);
    if (hPipe == INVALID_HANDLE_VALUE)
        return nullptr;
    if (!CreateIoCompletionPort(hPipe, hPort, KEY_INSTANCE, 0)) {
        CloseHandle(hPipe);
        return nullptr;
    }
    auto* pInst = new Instance();
    pInst->hPipe = hPipe;
    pInst->hDone = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    pInst->bConnected = false;
    allInstances.push_back(pInst);
    return pInst;
}

void PadSimulator::OpenAndArmAll()
{
    for (Instance*& pInst : rgpActive) {
        if (!pInst && (pInst = OpenInstance()) != nullptr)
            Arm(*pInst);
    }
}

// Closed instances stay allocated until Stop: the cancelled operations still complete
// through the port and must find them, marked closed. The system writes the outcome of a
// cancelled operation into its OVERLAPPED, so each is waited for before the pipe is closed.
void PadSimulator::CloseAll()
{
    for (Instance*& pInst : rgpActive) {
        if (pInst) {
            CancelIoEx(pInst->hPipe, &pInst->ov);
            if (pInst->hDone)
                WaitForSingleObject(pInst->hDone, 1000);
            CloseHandle(pInst->hPipe);
            pInst->hPipe = INVALID_HANDLE_VALUE;
            pInst = nullptr;
        }
    }
}

// Puts the instance back to work: a connected one reads the next report, a free one waits
// for the next client. Either completes through the port.
void PadSimulator::Arm(Instance& inst)
{
    for (;;) {
        ZeroMemory(&inst.ov, sizeof(inst.ov));
        inst.ov.hEvent = inst.hDone;
        ResetEvent(inst.hDone);
        if (inst.bConnected) {
            if (ReadFile(inst.hPipe, inst.rgbBuf, sizeof(inst.rgbBuf), nullptr, &inst.ov) ||
                GetLastError() == ERROR_IO_PENDING || GetLastError() == ERROR_MORE_DATA)
                return;
            // The client is gone: free the instance for the next one.
            DisconnectNamedPipe(inst.hPipe);
            inst.bConnected = false;
            continue;
        }
        if (ConnectNamedPipe(inst.hPipe, &inst.ov))
            return; // completion is queued
        const DWORD dwError = GetLastError();
        if (dwError == ERROR_IO_PENDING)
            return;
        // A client connected before the listen: read what it wrote. One that has already
        // closed again (ERROR_NO_DATA) may have written its report too; the read finds out.
        if (dwError == ERROR_PIPE_CONNECTED || dwError == ERROR_NO_DATA) {
            inst.bConnected = true;
            continue;
        }
        DisconnectNamedPipe(inst.hPipe);
    }
}

void PadSimulator::Command(ULONG_PTR key)
{
    PostQueuedCompletionStatus(hPort, 0, key, nullptr);
    WaitForSingleObject(hAck, INFINITE);
}

void PadSimulator::RefuseOpens(bool bRefuse)
{
    if (!hThread)
        return;
    // Closing the instances would throw away reports already written but not yet read.
    if (bRefuse)
        Sync();
    Command(bRefuse ? KEY_REFUSE : KEY_ACCEPT);
}

DWORD WINAPI PadSimulator::ThreadProc(LPVOID pParam)
{
    static_cast<PadSimulator*>(pParam)->Loop();
    return 0;
}

void PadSimulator::Loop()
{
    for (;;) {
        DWORD cb = 0;
        ULONG_PTR key = 0;
        OVERLAPPED* pov = nullptr;
        const BOOL bOk = GetQueuedCompletionStatus(hPort, &cb, &key, &pov, INFINITE);
        const DWORD dwError = bOk ? ERROR_SUCCESS : GetLastError();
        if (key == KEY_QUIT)
            return;
        if (key == KEY_REFUSE) {
            // No instance left listening, so every open fails until accepting again.
            CloseAll();
            SetEvent(hAck);
            continue;
        }
        if (key == KEY_ACCEPT) {
            OpenAndArmAll();
            SetEvent(hAck);
            continue;
        }
        if (!pov)
            continue;
        Instance& inst = *reinterpret_cast<Instance*>(pov);
        if (inst.hPipe == INVALID_HANDLE_VALUE)
            continue; // a cancelled operation of a closed instance
        if (!inst.bConnected) {
            inst.bConnected = bOk || dwError == ERROR_PIPE_CONNECTED;
            if (!inst.bConnected)
                DisconnectNamedPipe(inst.hPipe);
            Arm(inst);
            continue;
        }
        if (bOk || dwError == ERROR_MORE_DATA) {
            Report report;
            report.dMs = NowMs();
            report.bytes.assign(inst.rgbBuf, inst.rgbBuf + cb);
            {
                std::lock_guard<std::mutex> lock(mtx);
                dLastMs = report.dMs;
                reports.push_back(std::move(report));
            }
        }
        // One report per open, as the driver writes: the instance is freed at once instead of
        // waiting for the client's close, so it listens again as soon as possible.
        DisconnectNamedPipe(inst.hPipe);
        inst.bConnected = false;
        Arm(inst);
    }
}

size_t PadSimulator::Count() const
{
    std::lock_guard<std::mutex> lock(mtx);
    return reports.size();
}

std::vector<PadSimulator::Report> PadSimulator::Reports() const
{
    std::lock_guard<std::mutex> lock(mtx);
    return reports;
}

void PadSimulator::Clear()
{
    std::lock_guard<std::mutex> lock(mtx);
    reports.clear();
}

bool PadSimulator::WaitForReports(size_t n, DWORD dwTimeoutMs) const
{
    const ULONGLONG end = GetTickCount64() + dwTimeoutMs;
    while (Count() < n) {
        if (GetTickCount64() >= end)
            return Count() >= n;
        Sleep(1);
    }
    return true;
}

size_t PadSimulator::WaitQuiet(DWORD dwQuietMs, DWORD dwTimeoutMs) const
{
    const double dStart = NowMs();
    for (;;) {
        const double dNow = NowMs();
        double dLast;
        {
            std::lock_guard<std::mutex> lock(mtx);
            dLast = dLastMs > dStart ? dLastMs : dStart;
        }
        if (dNow - dLast >= static_cast<double>(dwQuietMs) || dNow - dStart >= dwTimeoutMs)
            return Count();
        Sleep(1);
    }
}

namespace {
const char kMarker[] = "padsim-marker";
}

size_t PadSimulator::Sync(DWORD dwTimeoutMs)
{
    HANDLE h = INVALID_HANDLE_VALUE;
    const ULONGLONG end = GetTickCount64() + dwTimeoutMs;
    while (h == INVALID_HANDLE_VALUE && GetTickCount64() < end) {
        h = CreateFileA(szPath, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            if (GetLastError() != ERROR_PIPE_BUSY)
                return WaitQuiet(100, dwTimeoutMs); // refusing opens: no marker can pass
            WaitNamedPipeA(szPath, 100);
        }
    }
    if (h == INVALID_HANDLE_VALUE)
        return Count();
    DWORD cb = 0;
    WriteFile(h, kMarker, sizeof(kMarker), &cb, nullptr);
    CloseHandle(h);
    auto isMarker = [](const Report& r) {
        return r.bytes.size() == sizeof(kMarker) &&
               std::memcmp(r.bytes.data(), kMarker, sizeof(kMarker)) == 0;
    };
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mtx);
            for (auto it = reports.begin(); it != reports.end(); ++it) {
                if (isMarker(*it)) {
                    reports.erase(it);
                    return reports.size();
                }
            }
        }
        if (GetTickCount64() >= end)
            return Count();
        Sleep(1);
    }
}
