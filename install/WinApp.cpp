#include "WinApp.h"

namespace {
CWinApp* g_pCurrentApp = nullptr;
}

CWinApp::CWinApp(LPCSTR pszAppName) : m_pszAppName(pszAppName)
{
    if (!g_pCurrentApp)
        g_pCurrentApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pCurrentApp == this)
        g_pCurrentApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::Run()
{
    MSG msg;
    BOOL bResult;
    while ((bResult = GetMessageA(&msg, nullptr, 0, 0)) != 0 && bResult != -1) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (bResult == 0)
        m_nQuitCode = static_cast<int>(msg.wParam);
    return ExitInstance();
}

int CWinApp::ExitInstance()
{
    return m_nQuitCode;
}

CWinApp* CWinApp::Current()
{
    return g_pCurrentApp;
}

int RunWinApp(CWinApp* pApp)
{
    // Keep what the process already had and add: no box for a missing disk or an unopenable file.
    const UINT uMode = SetErrorMode(0);
    SetErrorMode(uMode | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    if (!pApp)
        return 0;
    if (!pApp->InitInstance())
        return pApp->ExitInstance();
    return pApp->Run();
}
