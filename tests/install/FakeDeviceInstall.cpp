#include "FakeDeviceInstall.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

FakeDeviceInstall* g_pFake = nullptr;
const HDEVINFO kFakeSet = reinterpret_cast<HDEVINFO>(static_cast<INT_PTR>(0x5E7));

std::string Format(const char* pszFormat, ...)
{
    char szLine[256];
    va_list args;
    va_start(args, pszFormat);
    vsnprintf(szLine, sizeof(szLine), pszFormat, args);
    va_end(args);
    return szLine;
}

const char* NullOr(const void* p)
{
    return p ? "set" : "null";
}

size_t DeviceIndex(const SP_DEVINFO_DATA* pData)
{
    return pData->DevInst - kFakeFirstNode;
}

HDEVINFO WINAPI FakeGetClassDevs(const GUID* pClass, PCSTR pszEnumerator, HWND hwnd, DWORD dwFlags)
{
    g_pFake->log.push_back(Format("classdevs class=%s enumerator=%s window=%s flags=0x%lx",
                                  NullOr(pClass), NullOr(pszEnumerator), NullOr(hwnd), dwFlags));
    if (g_pFake->bClassDevsFails) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return kFakeSet;
}

BOOL WINAPI FakeEnumDeviceInfo(HDEVINFO hSet, DWORD dwIndex, SP_DEVINFO_DATA* pData)
{
    if (hSet != kFakeSet || !pData || pData->cbSize != sizeof(SP_DEVINFO_DATA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (dwIndex >= g_pFake->devices.size()) {
        SetLastError(ERROR_NO_MORE_ITEMS);
        return FALSE;
    }
    pData->DevInst = kFakeFirstNode + dwIndex;
    return TRUE;
}

BOOL WINAPI FakeGetProperty(HDEVINFO, SP_DEVINFO_DATA* pData, DWORD dwProperty, DWORD*, BYTE* pBuffer,
                            DWORD cbBuffer, DWORD* pcbRequired)
{
    const size_t index = DeviceIndex(pData);
    g_pFake->log.push_back(Format("read %zu property=%lu size=%lu", index, dwProperty, cbBuffer));
    const FakeDevice& device = g_pFake->devices[index];
    if (device.dwReadError) {
        SetLastError(device.dwReadError);
        return FALSE;
    }
    if (device.cbStuckRequired) {
        *pcbRequired = device.cbStuckRequired;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    const DWORD cbIds = static_cast<DWORD>(device.ids.size());
    *pcbRequired = cbIds;
    if (cbBuffer < cbIds) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memcpy(pBuffer, device.ids.data(), cbIds);
    return TRUE;
}

BOOL WINAPI FakeSetProperty(HDEVINFO, SP_DEVINFO_DATA* pData, DWORD dwProperty, const BYTE* pValue,
                            DWORD cbValue)
{
    g_pFake->log.push_back(Format("property %zu property=%lu data=%s size=%lu", DeviceIndex(pData),
                                  dwProperty, NullOr(pValue), cbValue));
    return TRUE;
}

BOOL WINAPI FakeSetClassInstallParams(HDEVINFO, SP_DEVINFO_DATA* pData,
                                      SP_CLASSINSTALL_HEADER* pHeader, DWORD cbParams)
{
    const auto* pRemove = reinterpret_cast<const SP_REMOVEDEVICE_PARAMS*>(pHeader);
    g_pFake->log.push_back(Format("params %zu header=%lu function=%u scope=%lu profile=%lu size=%lu",
                                  DeviceIndex(pData), pRemove->ClassInstallHeader.cbSize,
                                  pRemove->ClassInstallHeader.InstallFunction, pRemove->Scope,
                                  pRemove->HwProfile, cbParams));
    return TRUE;
}

BOOL WINAPI FakeCallClassInstaller(DI_FUNCTION function, HDEVINFO, SP_DEVINFO_DATA* pData)
{
    g_pFake->log.push_back(Format("installer %zu function=%u", DeviceIndex(pData), function));
    return TRUE;
}

BOOL WINAPI FakeDestroyDeviceInfoList(HDEVINFO hSet)
{
    g_pFake->log.push_back(hSet == kFakeSet ? "destroy" : "destroy other");
    return TRUE;
}

CONFIGRET WINAPI FakeQueryAndRemoveSubTree(DEVINST dnNode, PNP_VETO_TYPE* pVetoType,
                                           LPSTR pszVetoName, ULONG cchVetoName, ULONG ulFlags,
                                           HMACHINE hMachine)
{
    g_pFake->log.push_back(Format("stop %zu vetotype=%s vetoname=%s/%lu flags=%lu machine=%s",
                                  static_cast<size_t>(dnNode - kFakeFirstNode), NullOr(pVetoType),
                                  NullOr(pszVetoName), cchVetoName, ulFlags, NullOr(hMachine)));
    return CR_SUCCESS;
}

CONFIGRET WINAPI FakeLocateDevNode(DEVINST* pdnNode, DEVINSTID_A pszId, ULONG ulFlags,
                                   HMACHINE hMachine)
{
    g_pFake->log.push_back(Format("locate id=%s flags=%lu machine=%s", NullOr(pszId), ulFlags,
                                  NullOr(hMachine)));
    if (g_pFake->locateResult == CR_SUCCESS)
        *pdnNode = kFakeRootNode;
    return g_pFake->locateResult;
}

CONFIGRET WINAPI FakeReenumerateDevNode(DEVINST dnNode, ULONG ulFlags, HMACHINE hMachine)
{
    g_pFake->log.push_back(
        Format("reenumerate node=%lu flags=%lu machine=%s", dnNode, ulFlags, NullOr(hMachine)));
    return CR_SUCCESS;
}

void WINAPI FakePause(DWORD dwMilliseconds)
{
    if (g_pFake->pfnOnPause)
        g_pFake->pfnOnPause(*g_pFake);
    g_pFake->log.push_back(Format("pause %lu", dwMilliseconds));
}

} // namespace

std::string IdList(const std::vector<std::string>& ids)
{
    std::string list;
    for (const std::string& id : ids) {
        list += id;
        list += '\0';
    }
    list += '\0';
    return list;
}

std::string LongIdList(const std::string& firstId)
{
    std::vector<std::string> ids{firstId};
    size_t cb = firstId.size() + 2;
    while (cb + 42 < 1287) {
        ids.push_back("USB\\CLASS_03&SUBCLASS_00&PROT_00&FILLER_" + std::to_string(ids.size() % 10));
        cb += ids.back().size() + 1;
    }
    ids.push_back(std::string(1287 - cb - 1, 'Z'));
    return IdList(ids);
}

FakeDeviceInstall::FakeDeviceInstall(std::vector<FakeDevice> fakeDevices)
    : devices(std::move(fakeDevices))
{
    g_pFake = this;
    g_DeviceInstall = {FakeGetClassDevs,      FakeEnumDeviceInfo,        FakeGetProperty,
                       FakeSetProperty,       FakeSetClassInstallParams, FakeCallClassInstaller,
                       FakeDestroyDeviceInfoList, FakeQueryAndRemoveSubTree, FakeLocateDevNode,
                       FakeReenumerateDevNode, FakePause};
}

FakeDeviceInstall::~FakeDeviceInstall()
{
    g_DeviceInstall = RealDeviceInstallCalls();
    g_pFake = nullptr;
}
