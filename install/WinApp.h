#pragma once

#include <windows.h>

// The application object of a program: exactly one is built as a global before WinMain runs,
// and WinMain hands control to it.
class CWinApp {
public:
    explicit CWinApp(LPCSTR pszAppName = nullptr);
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    // Sets the program up. FALSE ends the program at once: no message loop, just ExitInstance.
    virtual BOOL InitInstance();
    // Pumps the thread's messages until WM_QUIT, then returns ExitInstance().
    virtual int Run();
    // The process's exit code: the WM_QUIT code, or 0 when the loop never ran.
    virtual int ExitInstance();

    // The application object built first in this process, or null.
    static CWinApp* Current();

    LPCSTR m_pszAppName;

protected:
    int m_nQuitCode = 0;
};

// The start-up that WinMain performs on the application object: no system error boxes, then
// InitInstance and either the message loop or ExitInstance. Returns the exit code.
int RunWinApp(CWinApp* pApp);
