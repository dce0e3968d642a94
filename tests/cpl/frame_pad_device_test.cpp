#include "FakeDirectInput.h"
#include "FakePad.h"
#include "Module.h"
#include "PropertySheet.h"
#include "watchdog.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class PageDevice : public ::testing::Test {
protected:
    ~PageDevice() override
    {
        if (pSheet)
            pSheet->Release();
    }

    // Releases the sheet and checks that every fake was let go exactly once.
    void ReleaseSheetAndCheckReferences()
    {
        pSheet->Release();
        pSheet = nullptr;
        EXPECT_EQ(fakes.device.Refs(), 1) << "device references leaked";
        EXPECT_EQ(fakes.joyConfig.Refs(), 1) << "joy config references leaked";
        EXPECT_EQ(fakes.directInput.Refs(), 1) << "DirectInput references leaked";
        EXPECT_EQ(fakes.device.ExtraReleases(), 0);
        EXPECT_EQ(fakes.joyConfig.ExtraReleases(), 0);
        EXPECT_EQ(fakes.directInput.ExtraReleases(), 0);
    }

    FakeDirectInputScope fakes;
    ControllerPropertySheet* pSheet = new ControllerPropertySheet;
    HWND hParent = reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x1234));
};

TEST_F(PageDevice, FirstPageSetsUpTheSharedDeviceAndTheSecondFindsIt)
{
    pSheet->SetID(2);
    EXPECT_EQ(OpenPageDevice(hParent, pSheet), S_OK);
    EXPECT_EQ(fakes.nCreate, 1);
    EXPECT_EQ(fakes.dwLastVersion, 0x0500u);
    EXPECT_EQ(fakes.hLastInstance, g_hInstance);

    ASSERT_EQ(fakes.joyConfig.configIds.size(), 1u);
    EXPECT_EQ(fakes.joyConfig.configIds[0], 2u);
    EXPECT_EQ(fakes.joyConfig.configSizes[0], 1160u);
    EXPECT_EQ(fakes.joyConfig.configFlags[0], static_cast<DWORD>(DIJC_GUIDINSTANCE));
    ASSERT_EQ(fakes.directInput.createdFor.size(), 1u);
    EXPECT_TRUE(IsEqualGUID(fakes.directInput.createdFor[0], fakes.joyConfig.guidInstance));
    EXPECT_EQ(fakes.device.pDataFormat, &c_dfDIJoystick);
    EXPECT_EQ(fakes.device.hCooperativeWindow, hParent);
    EXPECT_EQ(fakes.device.dwCooperativeFlags, static_cast<DWORD>(DISCL_EXCLUSIVE | DISCL_BACKGROUND));

    // Dead zone 500 on X, Y, Z and Rz, in that order.
    ASSERT_EQ(fakes.device.deadZones.size(), 4u);
    const DWORD offsets[] = {0, 4, 8, 20};
    for (int i = 0; i < 4; ++i) {
        const auto& zone = fakes.device.deadZones[i];
        EXPECT_EQ(zone.dwObj, offsets[i]);
        EXPECT_EQ(zone.dwHow, static_cast<DWORD>(DIPH_BYOFFSET));
        EXPECT_EQ(zone.dwData, 500u);
        EXPECT_EQ(zone.dwSize, 20u);
        EXPECT_EQ(zone.dwHeaderSize, 16u);
    }

    IDirectInputDevice2A* pDevice = nullptr;
    IDirectInputJoyConfig* pJoyConfig = nullptr;
    pSheet->GetDevice(&pDevice);
    pSheet->GetJoyConfig(&pJoyConfig);
    EXPECT_EQ(pDevice, &fakes.device);
    EXPECT_EQ(pJoyConfig, &fakes.joyConfig);
    EXPECT_EQ(fakes.directInput.Refs(), 1) << "the DirectInput object lives for one call";

    EXPECT_EQ(OpenPageDevice(hParent, pSheet), S_FALSE);
    EXPECT_EQ(fakes.nCreate, 1) << "the second page created something";
    EXPECT_EQ(fakes.directInput.nCreateDevice, 1);

    ReleaseSheetAndCheckReferences();
    EXPECT_EQ(fakes.device.nUnacquire, 1);
    EXPECT_EQ(fakes.joyConfig.nUnacquire, 1);
}

TEST_F(PageDevice, JoystickIdIsWidenedWithItsSign)
{
    EXPECT_EQ(OpenPageDevice(hParent, pSheet), S_OK);  // id 0xFFFF from construction
    ASSERT_EQ(fakes.joyConfig.configIds.size(), 1u);
    EXPECT_EQ(fakes.joyConfig.configIds[0], 0xFFFFFFFFu);
    ReleaseSheetAndCheckReferences();
}

TEST_F(PageDevice, SheetWithADeviceButNoJoyConfigGetsOneAndKeepsItsDevice)
{
    fakes.device.AddRef();  // the reference the sheet takes over
    pSheet->SetDevice(&fakes.device);
    EXPECT_EQ(OpenPageDevice(hParent, pSheet), S_FALSE);
    IDirectInputJoyConfig* pJoyConfig = nullptr;
    pSheet->GetJoyConfig(&pJoyConfig);
    EXPECT_EQ(pJoyConfig, &fakes.joyConfig);
    EXPECT_EQ(fakes.directInput.nCreateDevice, 0);
    ReleaseSheetAndCheckReferences();
}

TEST_F(PageDevice, FailuresArePassedThroughAndLeakNothing)
{
    fakes.hrCreate = DIERR_NOTINITIALIZED;
    EXPECT_EQ(OpenPageDevice(hParent, pSheet), DIERR_NOTINITIALIZED);
    fakes.hrCreate = DI_OK;

    // Wine's own DirectInput answers so: the pages then show "not connected".
    fakes.directInput.hrQueryJoyConfig = E_NOINTERFACE;
    EXPECT_EQ(OpenPageDevice(hParent, pSheet), E_NOINTERFACE);
    fakes.directInput.hrQueryJoyConfig = S_OK;

    fakes.joyConfig.hrGetConfig = DIERR_NOMOREITEMS;
    EXPECT_EQ(OpenPageDevice(hParent, pSheet), DIERR_NOMOREITEMS);
    fakes.joyConfig.hrGetConfig = DI_OK;
    IDirectInputJoyConfig* pJoyConfig = nullptr;
    pSheet->GetJoyConfig(&pJoyConfig);
    EXPECT_EQ(pJoyConfig, &fakes.joyConfig) << "stored before the failure, so it stays";

    fakes.directInput.hrCreateDevice = DIERR_DEVICENOTREG;
    EXPECT_EQ(OpenPageDevice(hParent, pSheet), DIERR_DEVICENOTREG);
    fakes.directInput.hrCreateDevice = DI_OK;

    fakes.device.hrQueryDevice2 = E_NOINTERFACE;
    EXPECT_EQ(OpenPageDevice(hParent, pSheet), E_NOINTERFACE);
    fakes.device.hrQueryDevice2 = S_OK;

    fakes.device.hrSetDataFormat = DIERR_ACQUIRED;
    EXPECT_EQ(OpenPageDevice(hParent, pSheet), DIERR_ACQUIRED);
    fakes.device.hrSetDataFormat = DI_OK;
    EXPECT_EQ(fakes.device.Refs(), 1) << "a half set-up device was kept";

    fakes.device.hrSetCooperativeLevel = E_HANDLE;
    EXPECT_EQ(OpenPageDevice(hParent, pSheet), E_HANDLE);
    fakes.device.hrSetCooperativeLevel = DI_OK;

    IDirectInputDevice2A* pDevice = nullptr;
    pSheet->GetDevice(&pDevice);
    EXPECT_EQ(pDevice, nullptr);
    EXPECT_EQ(fakes.directInput.Refs(), 1);

    EXPECT_EQ(OpenPageDevice(hParent, pSheet), S_OK) << "a later page tries again";
    ReleaseSheetAndCheckReferences();
}

TEST_F(PageDevice, BadPointersAreRefused)
{
    EXPECT_EQ(OpenPageDevice(hParent, nullptr), E_POINTER);
    EXPECT_EQ(OpenPageDevice(hParent, reinterpret_cast<IDIGameCntrlPropSheet*>(16)), E_POINTER);
    IDirectInputDevice2A* pDevice = nullptr;
    EXPECT_EQ(CreateJoystickDevice(0, hParent, nullptr, &fakes.joyConfig, &pDevice), E_POINTER);
    EXPECT_EQ(CreateJoystickDevice(0, hParent, &fakes.directInput, nullptr, &pDevice), E_POINTER);
    EXPECT_EQ(CreateJoystickDevice(0, hParent, &fakes.directInput, &fakes.joyConfig, nullptr),
              E_POINTER);
    EXPECT_EQ(fakes.nCreate, 0);
}

// Counts the DirectInput objects asked for, then lets the fakes answer.
DirectInputCreateProc g_pfnFakeCreate = nullptr;
volatile LONG g_cCreateCalls = 0;

HRESULT WINAPI CountingCreate(HINSTANCE hInst, DWORD dwVersion, IDirectInputA** ppDI,
                              IUnknown* pUnkOuter)
{
    InterlockedIncrement(&g_cCreateCalls);
    return g_pfnFakeCreate(hInst, dwVersion, ppDI, pUnkOuter);
}

// PageLock serialises the setup: while it is held, pages setting up on other threads create
// nothing; once it is free they finish, with one device between them.
TEST_F(PageDevice, ConcurrentSetupCreatesOneDevice)
{
    g_cCreateCalls = 0;
    g_pfnFakeCreate = SetDirectInputCreateHook(CountingCreate);
    struct Caller {
        ControllerPropertySheet* pSheet;
        HANDLE hCalling;
        HRESULT hr;
    } callers[2];
    HANDLE threads[2], calling[2];
    auto run = [](void* pv) WINAPI -> DWORD {
        Caller* pCaller = static_cast<Caller*>(pv);
        SetEvent(pCaller->hCalling);
        pCaller->hr = OpenPageDevice(nullptr, pCaller->pSheet);
        return 0;
    };

    EnterCriticalSection(&PageLock);
    for (int i = 0; i < 2; ++i) {
        calling[i] = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        callers[i] = Caller{pSheet, calling[i], E_PENDING};
        threads[i] = CreateThread(nullptr, 0, run, &callers[i], 0, nullptr);
    }
    EXPECT_EQ(WaitForMultipleObjects(2, calling, TRUE, 30000), WAIT_OBJECT_0);
    // Both are in the call; without the lock they would reach the creation at once.
    EXPECT_FALSE(WaitUntil([] { return g_cCreateCalls > 0; }, 250)) << "set up under the lock";
    EXPECT_EQ(WaitForMultipleObjects(2, threads, FALSE, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    LeaveCriticalSection(&PageLock);

    EXPECT_EQ(WaitForMultipleObjects(2, threads, TRUE, 30000), WAIT_OBJECT_0);
    for (int i = 0; i < 2; ++i) {
        CloseHandle(threads[i]);
        CloseHandle(calling[i]);
    }
    SetDirectInputCreateHook(g_pfnFakeCreate);

    EXPECT_EQ(callers[0].hr == S_OK ? callers[1].hr : callers[0].hr, S_FALSE);
    EXPECT_TRUE(callers[0].hr == S_OK || callers[1].hr == S_OK);
    EXPECT_EQ(g_cCreateCalls, 1);
    EXPECT_EQ(fakes.directInput.nCreateDevice, 1);
    ReleaseSheetAndCheckReferences();
}

class HidHandle : public ::testing::Test {
protected:
    FakePad pad;
    FakeDirectInputDevice device;
};

TEST_F(HidHandle, OpensThePathInTheAnsiCodePage)
{
    WCHAR wszPath[MAX_PATH];
    ASSERT_TRUE(GetDevicePath(wszPath, &device));
    EXPECT_EQ(std::wstring(wszPath), device.path);
    ASSERT_EQ(device.lastPathHeader.size(), 16u);
    const DWORD* pdwHeader = reinterpret_cast<const DWORD*>(device.lastPathHeader.data());
    EXPECT_EQ(pdwHeader[0], 552u);
    EXPECT_EQ(pdwHeader[1], 16u);
    EXPECT_EQ(pdwHeader[2], 0u);
    EXPECT_EQ(pdwHeader[3], static_cast<DWORD>(DIPH_DEVICE));

    HANDLE hPad = OpenHidHandle(&device);
    EXPECT_EQ(hPad, FakePad::kHandle);
    EXPECT_EQ(pad.LastOpenPath(), std::string(device.path.begin(), device.path.end()));
    pad.Close(hPad);
}

TEST_F(HidHandle, NoPathOrNoPadGivesNoHandle)
{
    device.hrGetPathProperty = DIERR_UNSUPPORTED;
    WCHAR wszPath[MAX_PATH];
    EXPECT_FALSE(GetDevicePath(wszPath, &device));
    EXPECT_EQ(OpenHidHandle(&device), nullptr);
    EXPECT_EQ(pad.OpenCount(), 0);
    device.hrGetPathProperty = DI_OK;

    pad.Unplug();
    EXPECT_EQ(OpenHidHandle(&device), nullptr) << "never an invalid handle";
    pad.Plug();
    EXPECT_EQ(OpenHidHandle(&device), FakePad::kHandle) << "a later need tries again";
    EXPECT_EQ(OpenHidHandle(nullptr), nullptr);
}

TEST_F(HidHandle, PathsThatDoNotFitAreRefusedWholly)
{
    // 259 bytes fit with the terminator; 260 ASCII units, or 200 Chinese characters (400
    // bytes in code page 936), do not.
    device.path = L"\\\\?\\" + std::wstring(255, L'a');
    EXPECT_EQ(OpenHidHandle(&device), FakePad::kHandle);
    EXPECT_EQ(pad.LastOpenPath().size(), 259u);

    device.path = L"\\\\?\\" + std::wstring(256, L'b');  // no terminator in the record
    EXPECT_EQ(OpenHidHandle(&device), nullptr);
    device.path = std::wstring(200, L'\u4e2d');
    EXPECT_EQ(OpenHidHandle(&device), nullptr);
    device.path = L"\\\\?\\hid#\u0e01";  // no such character in code page 936
    EXPECT_EQ(OpenHidHandle(&device), nullptr);
    EXPECT_EQ(pad.OpenCount(), 1);
    device.path = L"\\\\?\\hid#\u4e2d";
    EXPECT_EQ(OpenHidHandle(&device), FakePad::kHandle);
    EXPECT_EQ(pad.LastOpenPath(), "\\\\?\\hid#\xd6\xd0");
}

}  // namespace
