#include "VersionResource.h"
#include "watchdog.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

const char kExpectedPath[] = "C:\\windows\\Temp\\Ornavel.exe";
const char kHoldEvent[] = "VantrelLauncherTestHold";

std::string WindowsPath(const char* pszTail)
{
    char szDir[MAX_PATH] = {};
    GetWindowsDirectoryA(szDir, MAX_PATH);
    return std::string(szDir) + pszTail;
}

const std::string& SetupPath()
{
    static const std::string path = WindowsPath("\\Temp\\Ornavel.exe");
    return path;
}

const std::string& ReportPath()
{
    static const std::string path = [] {
        char szTemp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, szTemp);
        return std::string(szTemp) + "vantrel_child_report.txt";
    }();
    return path;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadWhole(const std::string& path)
{
    HANDLE hFile = CreateFileA(path.c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return "(unreadable)";
    std::string bytes(GetFileSize(hFile, nullptr), '\0');
    DWORD cbRead = 0;
    ReadFile(hFile, &bytes[0], static_cast<DWORD>(bytes.size()), &cbRead, nullptr);
    CloseHandle(hFile);
    bytes.resize(cbRead);
    return bytes;
}

void WriteWhole(const std::string& path, const std::string& bytes)
{
    HANDLE hFile = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(hFile, INVALID_HANDLE_VALUE);
    DWORD cbWritten = 0;
    WriteFile(hFile, bytes.data(), static_cast<DWORD>(bytes.size()), &cbWritten, nullptr);
    CloseHandle(hFile);
}

// A launcher started by the test with the child's instructions in the environment. Teardown
// releases a held child and waits for both, so a failed case leaves nothing running.
class LauncherRun {
public:
    LauncherRun(const char* pszLauncher, int nChildExit, bool bHold)
        : hHold(CreateEventA(nullptr, TRUE, FALSE, kHoldEvent))
    {
        // A process of an earlier case may still keep the event open, and signalled.
        ResetEvent(hHold);
        DeleteFileA(ReportPath().c_str());
        SetEnvironmentVariableA("VANTREL_CHILD_REPORT", ReportPath().c_str());
        SetEnvironmentVariableA("VANTREL_CHILD_HOLD", bHold ? kHoldEvent : nullptr);
        SetEnvironmentVariableA("VANTREL_CHILD_EXIT", std::to_string(nChildExit).c_str());
        STARTUPINFOA startupInfo = {};
        startupInfo.cb = sizeof(startupInfo);
        char szCommandLine[] = "launcher.exe";
        if (!CreateProcessA(pszLauncher, szCommandLine, nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startupInfo, &processInfo))
            ADD_FAILURE() << "cannot start " << pszLauncher << ": " << GetLastError();
    }
    LauncherRun(const LauncherRun&) = delete;
    LauncherRun& operator=(const LauncherRun&) = delete;
    ~LauncherRun()
    {
        SetEvent(hHold);
        if (processInfo.hProcess) {
            if (WaitForSingleObject(processInfo.hProcess, 30000) != WAIT_OBJECT_0)
                TerminateProcess(processInfo.hProcess, 99);
            CloseHandle(processInfo.hProcess);
            CloseHandle(processInfo.hThread);
        }
        CloseHandle(hHold);
        SetEnvironmentVariableA("VANTREL_CHILD_REPORT", nullptr);
        SetEnvironmentVariableA("VANTREL_CHILD_HOLD", nullptr);
        SetEnvironmentVariableA("VANTREL_CHILD_EXIT", nullptr);
    }

    void Release() { SetEvent(hHold); }
    bool Running() const { return WaitForSingleObject(processInfo.hProcess, 0) == WAIT_TIMEOUT; }
    // The launcher's exit code once it has ended within the time, else a marker.
    DWORD ExitCode(DWORD dwTimeoutMs) const
    {
        if (!processInfo.hProcess ||
            WaitForSingleObject(processInfo.hProcess, dwTimeoutMs) != WAIT_OBJECT_0)
            return 0xDEAD;
        DWORD dwCode = 0xDEAD;
        GetExitCodeProcess(processInfo.hProcess, &dwCode);
        return dwCode;
    }

private:
    HANDLE hHold;
    PROCESS_INFORMATION processInfo = {};
};

// The lines of the child's report.
std::vector<std::string> ChildReport()
{
    std::vector<std::string> lines;
    const std::string report = ReadWhole(ReportPath());
    for (size_t pos = 0, end; (end = report.find('\n', pos)) != std::string::npos; pos = end + 1)
        lines.push_back(report.substr(pos, end - pos));
    return lines;
}

// The child ran from the written file, with exactly its path as the command line and shown
// as STARTF_USESHOWWINDOW with SW_SHOW asks. Its module path is compared without case: a
// prefix may spell the folder "temp".
void ExpectChildReport()
{
    const std::vector<std::string> lines = ChildReport();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], kExpectedPath);
    EXPECT_EQ(lstrcmpiA(lines[1].c_str(), kExpectedPath), 0) << lines[1];
    EXPECT_EQ(lines[2], "1 5");
}

TEST(Launcher, OverwritesWritesStartsWaitsForAndDeletesTheSetupProgram)
{
    ASSERT_EQ(SetupPath(), kExpectedPath);
    // A left-over from an earlier run, larger than the program, must not survive in any part.
    WriteWhole(SetupPath(), std::string(400000, 'L'));

    LauncherRun run(LAUNCHER_WITH_CHILD_EXE, 0, true);
    ASSERT_TRUE(WaitUntil([] { return Exists(ReportPath()); }, 30000));
    ExpectChildReport();
    EXPECT_EQ(ReadWhole(SetupPath()), ReadWhole(SETUP_CHILD_EXE));
    EXPECT_TRUE(run.Running());
    EXPECT_FALSE(WaitUntil([&] { return !run.Running(); }, 300)) << "did not wait for the child";

    run.Release();
    EXPECT_EQ(run.ExitCode(30000), 0u);
    EXPECT_FALSE(Exists(SetupPath()));
}

// Moves the Windows Temp folder aside for one case and puts it back afterwards, under the name
// it has on disk; a folder left aside by an interrupted run is put back first.
class TempFolderAside {
public:
    TempFolderAside()
    {
        if (Exists(aside))
            PutBack(temp);
        WIN32_FIND_DATAA found = {};
        HANDLE hFind = FindFirstFileA(temp.c_str(), &found);
        if (hFind != INVALID_HANDLE_VALUE) {
            FindClose(hFind);
            restored = WindowsPath("\\") + found.cFileName;
            bMoved = MoveFileA(temp.c_str(), aside.c_str());
        }
    }
    TempFolderAside(const TempFolderAside&) = delete;
    TempFolderAside& operator=(const TempFolderAside&) = delete;
    ~TempFolderAside()
    {
        if (bMoved)
            PutBack(restored);
    }

    const std::string temp = WindowsPath("\\Temp");

private:
    void PutBack(const std::string& name)
    {
        DeleteFileA(SetupPath().c_str());
        RemoveDirectoryA(temp.c_str());
        MoveFileA(aside.c_str(), name.c_str());
    }

    const std::string aside = WindowsPath("\\Temp.vantrel-aside");
    std::string restored;
    bool bMoved = false;
};

TEST(Launcher, CreatesAMissingTempFolderAndEndsWithZeroWhateverTheChildReturns)
{
    TempFolderAside folder;
    ASSERT_FALSE(Exists(folder.temp));
    {
        LauncherRun run(LAUNCHER_WITH_CHILD_EXE, 7, false);
        EXPECT_EQ(run.ExitCode(30000), 0u);
    }
    EXPECT_TRUE(Exists(folder.temp));
    ExpectChildReport();
    EXPECT_FALSE(Exists(SetupPath()));
}

TEST(Launcher, FileHeldWithoutSharingMeansNothingStartedOrDeleted)
{
    CreateDirectoryA(WindowsPath("\\Temp").c_str(), nullptr);
    HANDLE hHeld = CreateFileA(SetupPath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(hHeld, INVALID_HANDLE_VALUE);
    DWORD cbWritten = 0;
    WriteFile(hHeld, "held", 4, &cbWritten, nullptr);
    {
        LauncherRun run(LAUNCHER_WITH_CHILD_EXE, 0, false);
        EXPECT_EQ(run.ExitCode(30000), 0u);
    }
    EXPECT_FALSE(Exists(ReportPath()));
    char szContent[8] = {};
    DWORD cbRead = 0;
    SetFilePointer(hHeld, 0, nullptr, FILE_BEGIN);
    ReadFile(hHeld, szContent, sizeof(szContent), &cbRead, nullptr);
    EXPECT_EQ(std::string(szContent, cbRead), "held");
    CloseHandle(hHeld);
    EXPECT_TRUE(Exists(SetupPath()));
    DeleteFileA(SetupPath().c_str());
}

// A file that another process made first, or holds open even with full sharing, could be
// rewritten by it after the launcher wrote it: the launcher must neither write it nor start it.
TEST(Launcher, FileHeldWithFullSharingIsNeitherWrittenNorStarted)
{
    CreateDirectoryA(WindowsPath("\\Temp").c_str(), nullptr);
    HANDLE hHeld = CreateFileA(SetupPath().c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(hHeld, INVALID_HANDLE_VALUE);
    // A program that runs, and differs from the one the launcher carries by a tail.
    const std::string substitute = ReadWhole(SETUP_CHILD_EXE) + "substitute";
    DWORD cbWritten = 0;
    WriteFile(hHeld, substitute.data(), static_cast<DWORD>(substitute.size()), &cbWritten,
              nullptr);
    {
        LauncherRun run(LAUNCHER_WITH_CHILD_EXE, 0, false);
        EXPECT_EQ(run.ExitCode(30000), 0u);
    }
    EXPECT_FALSE(Exists(ReportPath())) << "a program was started from a file held by another";
    EXPECT_TRUE(ReadWhole(SetupPath()) == substitute) << "the held file was rewritten";
    CloseHandle(hHeld);
    EXPECT_TRUE(Exists(SetupPath()));
    DeleteFileA(SetupPath().c_str());
}

TEST(Launcher, WaitsOnlyForTheProcessItStarted)
{
    // The child starts a grandchild, held until this case ends, and ends at once: the launcher
    // must end and delete the file while the grandchild still runs.
    SetEnvironmentVariableA("VANTREL_CHILD_HANDOFF", SETUP_CHILD_EXE);
    LauncherRun run(LAUNCHER_WITH_CHILD_EXE, 0, true);
    SetEnvironmentVariableA("VANTREL_CHILD_HANDOFF", nullptr);
    EXPECT_EQ(run.ExitCode(30000), 0u);
    EXPECT_FALSE(Exists(SetupPath()));
    ASSERT_TRUE(WaitUntil([] { return Exists(ReportPath()); }, 30000));
    const std::vector<std::string> lines = ChildReport();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "handed-off");
}

TEST(Launcher, ShippedProgramCarriesItsSetupProgramIconAndVersionAndRuns)
{
    HMODULE hModule = LoadLibraryExA(LAUNCHER_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(hModule, nullptr);
    HRSRC hResInfo = FindResourceA(hModule, "SETUPEXE", "MYEXEBIN");
    ASSERT_NE(hResInfo, nullptr);
    const char* pBytes = static_cast<const char*>(LockResource(LoadResource(hModule, hResInfo)));
    EXPECT_EQ(std::string(pBytes, SizeofResource(hModule, hResInfo)),
              ReadWhole(LAUNCHER_CARRIED_FILE));
    EXPECT_NE(FindResourceA(hModule, MAKEINTRESOURCEA(1), reinterpret_cast<LPCSTR>(RT_GROUP_ICON)),
              nullptr);
    FreeLibrary(hModule);

    const VersionResource version(LAUNCHER_EXE);
    EXPECT_EQ(version.FileVersion(), "2.0.0.0");
    EXPECT_EQ(version.ProductVersion(), "2.0.0.0");
    EXPECT_EQ(version.Text("FileDescription"), "Quindarel Installation");
    EXPECT_EQ(version.Text("FileVersion"), "2.0.0.0");
    EXPECT_EQ(version.Text("ProductVersion"), "2.0.0.0");

    LauncherRun run(LAUNCHER_EXE, 0, false);
    EXPECT_EQ(run.ExitCode(30000), 0u);
    EXPECT_FALSE(Exists(SetupPath()));
}

} // namespace
