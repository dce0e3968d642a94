#include <windows.h>

#include <cstring>
#include <memory>
#include <new>

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

// True when the file holds exactly the given bytes: one byte more is asked for, so a longer
// file shows too.
bool HoldsExactly(HANDLE hFile, const BYTE* pData, DWORD cbData)
{
    // No memory for the copy counts as a mismatch: nothing is started.
    std::unique_ptr<BYTE[]> bytes(new (std::nothrow) BYTE[static_cast<size_t>(cbData) + 1]);
    DWORD cbRead = 0;
    return bytes && ReadFile(hFile, bytes.get(), cbData + 1, &cbRead, nullptr) &&
           cbRead == cbData && memcmp(bytes.get(), pData, cbData) == 0;
}

// Any user may write to the Temp folder, so the name may be a link planted to any file: the
// launcher's own opens take the link itself, never what it points to.
const DWORD kNoLinkFollowing = FILE_FLAG_OPEN_REPARSE_POINT;

// Removes a file left from an earlier run, but only one that nobody holds open: a held file
// may belong to another process, which would then decide what runs. A planted link is removed
// itself and its target stays; a folder or a junction cannot be opened like this and stays
// too. True when no file is left.
bool RemoveLeftover(const char* pszFile)
{
    ScopedHandle leftover(CreateFileA(pszFile, DELETE, 0, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_DELETE_ON_CLOSE | kNoLinkFollowing, nullptr));
    if (leftover.Get() == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    return true;
}

// Starts the file with its own path as the whole command line and waits until it ends. The
// caller holds the file open against writers, so what starts is what it checked.
void RunAndWait(const char* pszFile, ScopedHandle& guard)
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
    const BOOL bStarted = CreateProcessA(pszFile, szCommandLine, nullptr, nullptr, FALSE, 0,
                                         nullptr, nullptr, &startupInfo, &processInfo);
    guard.Close();
    if (!bStarted)
        return;
    ScopedHandle process(processInfo.hProcess);
    ScopedHandle thread(processInfo.hThread);
    WaitForSingleObject(process.Get(), INFINITE);
}

// Writes the program into a file of its own, made anew and shared with no writer, then opens
// it again for reading only, still shared with no writer, and checks every byte. Returns that
// read handle, which keeps the bytes fixed until the program has started; INVALID_HANDLE_VALUE
// when the file could not be made ours, and false in bCreated when it is not ours to delete.
HANDLE WriteSetupProgram(const char* pszFile, const BYTE* pSetup, DWORD cbSetup, bool& bCreated)
{
    bCreated = false;
    if (!RemoveLeftover(pszFile))
        return INVALID_HANDLE_VALUE;
    // Unflagged, a create follows a link to a missing target and makes that target; flagged,
    // it fails on the link like on any other name already taken.
    ScopedHandle file(CreateFileA(pszFile, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | kNoLinkFollowing, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE)
        return INVALID_HANDLE_VALUE;
    bCreated = true;
    const bool bWhole = WriteWhole(file.Get(), pSetup, cbSetup);
    file.Close();
    // A program written only in part is never started.
    if (!bWhole)
        return INVALID_HANDLE_VALUE;
    // Between the close and this open another writer could slip in: the bytes are checked.
    HANDLE hGuard = CreateFileA(pszFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | kNoLinkFollowing, nullptr);
    if (hGuard != INVALID_HANDLE_VALUE && !HoldsExactly(hGuard, pSetup, cbSetup)) {
        CloseHandle(hGuard);
        return INVALID_HANDLE_VALUE;
    }
    return hGuard;
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

    bool bCreated = false;
    ScopedHandle guard(
        WriteSetupProgram(szFile, static_cast<const BYTE*>(pSetup), cbSetup, bCreated));
    FreeResource(hResource);
    // Held or made by someone else: leave it alone, start nothing.
    if (!bCreated)
        return 0;
    if (guard.Get() != INVALID_HANDLE_VALUE)
        RunAndWait(szFile, guard);
    DeleteFileA(szFile);
    return 0;
}
