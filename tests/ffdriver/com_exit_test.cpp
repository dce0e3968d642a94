#include "com_driver_dll.h"

#include <string>

namespace {

// Runs the host that quits with a force playing and the driver alive; its exit code, or a
// marker when it could not start or did not end in time.
DWORD RunExitHost(const PadSimulator& pad, LONG lDirection, const char* pszFrom)
{
    const std::string host = PrefixPath(FFEXITHOST_PATH);
    std::string commandLine = "\"" + host + "\" \"" VANTREL_DLL_PATH "\" " + pad.Path() + " " +
                              std::to_string(lDirection) + " " + pszFrom;
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

// ExitProcess ends the device worker wherever it is, and the driver object is never released:
// the module's process detach must still leave both motors at rest, with one zero report.
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
        PadSimulator pad;
        ASSERT_TRUE(pad.Start());
        EXPECT_EQ(RunExitHost(pad, c.lDirection, c.pszFrom), 0u);
        pad.Sync();
        const auto reports = pad.Reports();
        size_t nForce = reports.size();
        for (size_t i = 0; i < reports.size(); ++i)
            if (reports[i].bytes == c.force)
                nForce = i;
        ASSERT_LT(nForce, reports.size()) << "the force never reached the pad";
        EXPECT_EQ(reports.size(), nForce + 2) << "one report, the zero, after the force";
        EXPECT_TRUE(IsZeroReport(reports.back().bytes));
    }
}
