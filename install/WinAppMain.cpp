#include "WinApp.h"

// The program reads no command line; everything happens in the application object.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return RunWinApp(CWinApp::Current());
}
