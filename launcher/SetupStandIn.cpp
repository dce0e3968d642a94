#include <windows.h>

// Carried by the launcher when no setup program is named at build time: it starts, shows
// nothing and ends at once, so the launcher's whole road can run.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return 0;
}
