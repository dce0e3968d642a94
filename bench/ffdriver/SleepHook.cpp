#include "SleepHook.h"

#include <cstring>

namespace SleepHook {

std::atomic<LONG> nPassSleeps{0};
std::atomic<DWORD> dwLastWorkerId{0};
std::atomic<bool> bSkipPassSleep{false};

namespace {

using SleepFn = VOID(WINAPI*)(DWORD);
SleepFn g_pfnRealSleep = nullptr;

VOID WINAPI HookedSleep(DWORD dwMilliseconds)
{
    if (dwMilliseconds == 1) {
        ++nPassSleeps;
        dwLastWorkerId = GetCurrentThreadId();
        if (bSkipPassSleep.load())
            return;
    }
    g_pfnRealSleep(dwMilliseconds);
}

template <typename T>
T* At(HMODULE hModule, DWORD dwRva)
{
    return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(hModule) + dwRva);
}

} // namespace

bool Install(HMODULE hModule)
{
    auto* pDos = reinterpret_cast<IMAGE_DOS_HEADER*>(hModule);
    auto* pNt = At<IMAGE_NT_HEADERS>(hModule, pDos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        pNt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (dir.VirtualAddress == 0)
        return false;
    for (auto* pDesc = At<IMAGE_IMPORT_DESCRIPTOR>(hModule, dir.VirtualAddress); pDesc->Name;
         ++pDesc) {
        if (_stricmp(At<char>(hModule, pDesc->Name), "KERNEL32.dll") != 0)
            continue;
        auto* pNames = At<IMAGE_THUNK_DATA>(hModule, pDesc->OriginalFirstThunk);
        auto* pSlots = At<IMAGE_THUNK_DATA>(hModule, pDesc->FirstThunk);
        for (; pNames->u1.AddressOfData; ++pNames, ++pSlots) {
            if (IMAGE_SNAP_BY_ORDINAL(pNames->u1.Ordinal))
                continue;
            auto* pByName = At<IMAGE_IMPORT_BY_NAME>(
                hModule, static_cast<DWORD>(pNames->u1.AddressOfData));
            if (std::strcmp(reinterpret_cast<char*>(pByName->Name), "Sleep") != 0)
                continue;
            DWORD dwOld = 0;
            if (!VirtualProtect(&pSlots->u1.Function, sizeof(pSlots->u1.Function),
                                PAGE_READWRITE, &dwOld))
                return false;
            g_pfnRealSleep = reinterpret_cast<SleepFn>(pSlots->u1.Function);
            pSlots->u1.Function = reinterpret_cast<ULONG_PTR>(&HookedSleep);
            VirtualProtect(&pSlots->u1.Function, sizeof(pSlots->u1.Function), dwOld, &dwOld);
            return true;
        }
    }
    return false;
}

} // namespace SleepHook
