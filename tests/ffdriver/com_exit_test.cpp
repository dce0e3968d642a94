#include "com_driver_dll.h"

#include <memory>
#include <string>

namespace {

// Device ids the host opens, each on a pad of its own: the first entry of the table, one
// between and the last.
const DWORD kExitIds[] = {0, 7, 15};

// Runs the host that quits with a force playing on every pad and the driver alive; its exit
// code, or a marker when it could not start or did not end in time.
DWORD RunExitHost(const std::vector<std::unique_ptr<PadSimulator>>& pads, LONG lDirection,
                  const char* pszFrom)
{
    const std::string host = WindowsPath(FFEXITHOST_PATH);
    std::string commandLine = "\"" + host + "\" \"" VANTREL_DLL_PATH "\" " +
                              std::to_string(lDirection) + " " + pszFrom;
    for (size_t i = 0; i < pads.size(); ++i)
        commandLine += " " + std::to_string(kExitIds[i]) + " " + pads[i]->Path();
    STARTUPINFOA startupInfo{};
    startupInfo.cb = sizeof(startupInfo);
    PROCESS_INFORMATION processInfo{};
    if (!CreateProcessA(host.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startupInfo, &processInfo))
        return 0xBAD;
    DWORD dwCode = 0xDEAD;
    if (WaitForSingleObject(processInfo.hProcess, 30000) == WAIT_OBJECT_0)
        GetExitCodeProcess(processInfo.hProcess, &dwCode);
    else
        TerminateProcess(processInfo.hProcess, 0xDEAD);
    CloseHandle(processInfo.hThread);
    CloseHandle(processInfo.hProcess);
    return dwCode;
}

} // namespace

// ExitProcess ends the device workers wherever they are, and the driver object is never
// released: the module's process detach must still leave every pad's motors at rest, with one
// zero report each.
TEST(ProcessEnd, QuittingWithoutReleasingTheDriverStopsTheMotors)
{
    DriverDll::Get(); // clears tuning inputs that would change the motor bytes
    struct Case {
        LONG lDirection;
        const char* pszFrom;
        std::vector<BYTE> force;
    };
    const Case cases[] = {{0, "main", MotorReportBytes(kFullLevel, 0)},
                          {9000, "thread", MotorReportBytes(0, kFullLevel)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszFrom);
        std::vector<std::unique_ptr<PadSimulator>> pads;
        for (size_t i = 0; i < sizeof(kExitIds) / sizeof(kExitIds[0]); ++i) {
            pads.push_back(std::make_unique<PadSimulator>());
            ASSERT_TRUE(pads.back()->Start());
        }
        EXPECT_EQ(RunExitHost(pads, c.lDirection, c.pszFrom), 0u);
        for (size_t i = 0; i < pads.size(); ++i) {
            SCOPED_TRACE("device " + std::to_string(kExitIds[i]));
            pads[i]->Sync();
            const auto reports = pads[i]->Reports();
            size_t nForce = reports.size();
            for (size_t n = 0; n < reports.size(); ++n)
                if (reports[n].bytes == c.force)
                    nForce = n;
            ASSERT_LT(nForce, reports.size()) << "the force never reached the pad";
            EXPECT_EQ(reports.size(), nForce + 2) << "one report, the zero, after the force";
            EXPECT_TRUE(IsZeroReport(reports.back().bytes));
        }
    }
}
