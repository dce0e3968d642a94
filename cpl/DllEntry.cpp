#include "Controls.h"
#include "Module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID pvReserved)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        g_hInstance = hInstance;
    } else if (dwReason == DLL_PROCESS_DETACH && !pvReserved) {
        // Unloaded while the process goes on: the classes' procedures go away with the DLL.
        UnregisterDisplayControlClasses(hInstance);
    }
    return TRUE;
}
