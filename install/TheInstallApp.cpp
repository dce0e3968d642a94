#include "InstallApp.h"

// The program's one application object; WinMain finds it through CWinApp::Current().
CInstallApp theInstallApp;
