#include <windows.h>

#include <cstdlib>
#include <string>

// Plays the setup program in the launcher's tests, told what to do by its environment:
//   VANTREL_CHILD_REPORT  file that receives "<command line>\n<module path>\n<flags> <show>\n",
//                         the last line being its start-up information's flags and show state
//   VANTREL_CHILD_HOLD    name of an event to wait for (60 s at most) before ending
//   VANTREL_CHILD_EXIT    the exit code
//   VANTREL_CHILD_HANDOFF program to start instead, with this environment less this variable,
//                         before ending at once: a setup program that hands its work on
namespace {

std::string Environment(const char* pszName)
{
    char szValue[MAX_PATH] = {};
    const DWORD cch = GetEnvironmentVariableA(pszName, szValue, MAX_PATH);
    return cch > 0 && cch < MAX_PATH ? szValue : "";
}

// Written under a second name and renamed, so the test never reads half a report.
void WriteReport(const std::string& path)
{
    char szModule[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, szModule, MAX_PATH);
    STARTUPINFOA startupInfo = {};
    startupInfo.cb = sizeof(startupInfo);
    GetStartupInfoA(&startupInfo);
    const std::string report = std::string(GetCommandLineA()) + "\n" + szModule + "\n" +
                               std::to_string(startupInfo.dwFlags) + " " +
                               std::to_string(startupInfo.wShowWindow) + "\n";
    const std::string partial = path + ".partial";
    HANDLE hFile = CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return;
    DWORD cbWritten = 0;
    WriteFile(hFile, report.data(), static_cast<DWORD>(report.size()), &cbWritten, nullptr);
    CloseHandle(hFile);
    MoveFileExA(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

void HandOff(const std::string& program)
{
    SetEnvironmentVariableA("VANTREL_CHILD_HANDOFF", nullptr);
    STARTUPINFOA startupInfo = {};
    startupInfo.cb = sizeof(startupInfo);
    PROCESS_INFORMATION processInfo = {};
    char szCommandLine[] = "handed-off";
    if (CreateProcessA(program.c_str(), szCommandLine, nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startupInfo, &processInfo)) {
        CloseHandle(processInfo.hThread);
        CloseHandle(processInfo.hProcess);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const std::string handOff = Environment("VANTREL_CHILD_HANDOFF");
    if (!handOff.empty()) {
        HandOff(handOff);
        return 0;
    }
    const std::string report = Environment("VANTREL_CHILD_REPORT");
    if (!report.empty())
        WriteReport(report);
    const std::string hold = Environment("VANTREL_CHILD_HOLD");
    if (!hold.empty()) {
        if (HANDLE hEvent = OpenEventA(SYNCHRONIZE, FALSE, hold.c_str())) {
            WaitForSingleObject(hEvent, 60000);
            CloseHandle(hEvent);
        }
    }
    return std::atoi(Environment("VANTREL_CHILD_EXIT").c_str());
}
