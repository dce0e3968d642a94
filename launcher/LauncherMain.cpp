#include <windows.h>

#include <cstring>

namespace {

const char kTempFolder[] = "\\Temp";
const char kSetupFileName[] = "\\Ornavel.exe";
const char kSetupResourceName[] = "SETUPEXE";
const char kSetupResourceType[] = "MYEXEBIN";

// Closes a kernel handle when it leaves scope.
class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE hHandle = nullptr) : h(hHandle) {}
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ~ScopedHandle() { Close(); }
    HANDLE Get() const { return h; }
    void Close()
    {
        if (h && h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
        h = nullptr;
    }

private:
    HANDLE h;
};

// Writes the whole block in one write; false when the write fails or falls short.
bool WriteWhole(HANDLE hFile, const void* pData, DWORD cbData)
{
    DWORD cbWritten = 0;
    return WriteFile(hFile, pData, cbData, &cbWritten, nullptr) && cbWritten == cbData;
}

// Starts the file with its own path as the whole command line and waits until it ends.
void RunAndWait(const char* pszFile)
{
    char szCommandLine[MAX_PATH];
    strcpy(szCommandLine, pszFile);

    STARTUPINFOA startupInfo = {};
    startupInfo.cb = sizeof(startupInfo);
    startupInfo.dwFlags = STARTF_USESHOWWINDOW;
    startupInfo.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION processInfo = {};
    // The path goes in as the program name too: unquoted on the command line alone, a Windows
    // folder with a space in its name would start whatever program its first word names.
    if (!CreateProcessA(pszFile, szCommandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startupInfo, &processInfo))
        return;
    ScopedHandle process(processInfo.hProcess);
    ScopedHandle thread(processInfo.hThread);
    WaitForSingleObject(process.Get(), INFINITE);
}

} // namespace

// Writes the setup program it carries to the Windows Temp folder, runs it, waits for it and
// deletes it. Reads no command line, shows nothing and always ends with exit code 0.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char szWindowsDir[MAX_PATH];
    const UINT cchWindowsDir = GetWindowsDirectoryA(szWindowsDir, MAX_PATH);
    if (cchWindowsDir == 0 ||
        cchWindowsDir + strlen(kTempFolder) + strlen(kSetupFileName) > MAX_PATH - 1)
        return 0;

    char szFolder[MAX_PATH];
    strcpy(szFolder, szWindowsDir);
    strcat(szFolder, kTempFolder);
    // An existing folder is fine; any other failure shows when the file is created.
    CreateDirectoryA(szFolder, nullptr);

    char szFile[MAX_PATH];
    strcpy(szFile, szFolder);
    strcat(szFile, kSetupFileName);

    HRSRC hResInfo = FindResourceA(nullptr, kSetupResourceName, kSetupResourceType);
    if (!hResInfo)
        return 0;
    HGLOBAL hResource = LoadResource(nullptr, hResInfo);
    if (!hResource)
        return 0;
    const DWORD cbSetup = SizeofResource(nullptr, hResInfo);
    const void* pSetup = LockResource(hResource);
    if (!pSetup) {
        FreeResource(hResource);
        return 0;
    }

    ScopedHandle file(CreateFileA(szFile, GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) {
        // Held by someone else: leave it alone, start nothing.
        FreeResource(hResource);
        return 0;
    }
    const bool bWhole = WriteWhole(file.Get(), pSetup, cbSetup);
    file.Close();
    FreeResource(hResource);

    // A program written only in part is never started; it is deleted all the same.
    if (bWhole)
        RunAndWait(szFile);
    DeleteFileA(szFile);
    return 0;
}
