#pragma once

#include <windows.h>

#include <mutex>
#include <vector>

// A stand-in for the pad's HID device path: a named-pipe server that records every report the
// driver writes to it, byte for byte, with the time it arrived. The driver opens, writes and
// closes the path for every report, so 32 overlapped pipe instances on one completion port
// keep a listener ready at all times. Each open delivers one report (one
// message); the instance is freed for the next client as soon as it is read.
class PadSimulator {
public:
    struct Report {
        double dMs;               // QueryPerformanceCounter time of arrival, in milliseconds
        std::vector<BYTE> bytes;  // the report as written
    };

    PadSimulator();
    ~PadSimulator();
    PadSimulator(const PadSimulator&) = delete;
    PadSimulator& operator=(const PadSimulator&) = delete;

    // Creates the pipe instances and the listening thread; false if the pipe cannot be made.
    bool Start();
    // Ends the listening thread and closes every instance; also done by the destructor.
    void Stop();

    // The path to hand to the driver, \\.\pipe\vantrel-pad-<process>-<counter>.
    const char* Path() const { return szPath; }
    const wchar_t* WidePath() const { return wszPath; }

    size_t Count() const;
    std::vector<Report> Reports() const;
    void Clear();
    // Waits until at least n reports have arrived since the last Clear.
    bool WaitForReports(size_t n, DWORD dwTimeoutMs) const;
    // Waits until no report has arrived for dwQuietMs (or dwTimeoutMs passes); returns the count.
    size_t WaitQuiet(DWORD dwQuietMs, DWORD dwTimeoutMs) const;
    // Writes a marker through the path and waits for it: every report written before the call
    // has then been recorded. The marker is not kept. Returns the count of reports.
    size_t Sync(DWORD dwTimeoutMs = 5000);

    // While refusing, no instance listens, so opening the path fails. Reports written before
    // the call are recorded first.
    void RefuseOpens(bool bRefuse);

    static double NowMs();

private:
    struct Instance;
    enum : ULONG_PTR { KEY_INSTANCE = 1, KEY_QUIT, KEY_REFUSE, KEY_ACCEPT };
    static constexpr int kInstances = 32;

    static DWORD WINAPI ThreadProc(LPVOID pParam);
    void Loop();
    Instance* OpenInstance();
    void OpenAndArmAll();
    void CloseAll();
    void Arm(Instance& inst);
    void Command(ULONG_PTR key);

    char szPath[64];
    wchar_t wszPath[64];
    HANDLE hPort;
    HANDLE hThread;
    HANDLE hAck;
    Instance* rgpActive[kInstances];   // the listening instances; null while refusing
    std::vector<Instance*> allInstances; // every instance made, freed after the thread ends
    mutable std::mutex mtx;
    std::vector<Report> reports;
    double dLastMs;
};
