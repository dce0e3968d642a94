#include "frame_com_dll.h"

namespace {

class ComFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(dll.hDll, nullptr);
        ASSERT_NE(dll.pfnGetClassObject, nullptr);
        ASSERT_NE(dll.pfnCanUnloadNow, nullptr);
        ASSERT_EQ(dll.pfnCanUnloadNow(), S_OK) << "an earlier test left an object alive";
    }

    IClassFactory* Factory()
    {
        IClassFactory* pFactory = nullptr;
        EXPECT_EQ(dll.pfnGetClassObject(kSheetClassId, IID_IClassFactory,
                                        reinterpret_cast<void**>(&pFactory)),
                  S_OK);
        return pFactory;
    }

    UlvaneDll dll;
};

TEST(UlvaneExports, NamesAndOrdinalsMatchAndDllMainIsHidden)
{
    UlvaneDll dll;
    ASSERT_NE(dll.hDll, nullptr);
    const char* names[] = {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                           "DllUnregisterServer"};
    for (WORD wOrdinal = 1; wOrdinal <= 4; ++wOrdinal) {
        void* pByName = dll.Proc(names[wOrdinal - 1]);
        ASSERT_NE(pByName, nullptr) << names[wOrdinal - 1];
        EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(dll.hDll, MAKEINTRESOURCEA(wOrdinal))),
                  pByName)
            << "ordinal " << wOrdinal;
    }
    EXPECT_EQ(GetProcAddress(dll.hDll, MAKEINTRESOURCEA(5)), nullptr);
    EXPECT_EQ(dll.Proc("DllMain"), nullptr);
    EXPECT_EQ(dll.Proc("DllMain@12"), nullptr);
}

TEST_F(ComFrame, ClassObjectRefusesOtherClassesAndInterfaces)
{
    void* pv = reinterpret_cast<void*>(1);
    EXPECT_EQ(dll.pfnGetClassObject(IID_IClassFactory, IID_IClassFactory, &pv),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(pv, nullptr);
    pv = reinterpret_cast<void*>(1);
    EXPECT_EQ(dll.pfnGetClassObject(IID_IUnknown, IID_IUnknown, &pv), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(pv, nullptr);
    pv = reinterpret_cast<void*>(1);
    EXPECT_EQ(dll.pfnGetClassObject(kSheetClassId, IID_IUnknown, &pv), E_NOINTERFACE);
    EXPECT_EQ(pv, nullptr);
    EXPECT_EQ(dll.pfnCanUnloadNow(), S_OK);
}

TEST_F(ComFrame, FactoryAnswersItsInterfacesAndCountsItself)
{
    IClassFactory* pFactory = Factory();
    ASSERT_NE(pFactory, nullptr);
    EXPECT_EQ(dll.pfnCanUnloadNow(), S_FALSE);

    IUnknown* pUnknown = nullptr;
    EXPECT_EQ(pFactory->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&pUnknown)), S_OK);
    EXPECT_EQ(pUnknown, static_cast<IUnknown*>(pFactory));
    EXPECT_EQ(pUnknown->Release(), 1u);
    void* pv = reinterpret_cast<void*>(1);
    EXPECT_EQ(pFactory->QueryInterface(kSheetInterfaceId, &pv), E_NOINTERFACE);
    EXPECT_EQ(pv, nullptr);

    EXPECT_EQ(pFactory->Release(), 0u);
    EXPECT_EQ(dll.pfnCanUnloadNow(), S_OK);
}

TEST_F(ComFrame, CreateInstanceErrorsLeaveNothingAlive)
{
    IClassFactory* pFactory = Factory();
    ASSERT_NE(pFactory, nullptr);

    void* pv = reinterpret_cast<void*>(1);
    EXPECT_EQ(pFactory->CreateInstance(reinterpret_cast<IUnknown*>(pFactory), kSheetInterfaceId, &pv),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(pv, nullptr);

    pv = reinterpret_cast<void*>(1);
    EXPECT_EQ(pFactory->CreateInstance(nullptr, IID_IClassFactory, &pv), E_NOINTERFACE);
    EXPECT_EQ(pv, nullptr);

    pFactory->Release();
    EXPECT_EQ(dll.pfnCanUnloadNow(), S_OK) << "the refused sheet object is still alive";
}

TEST_F(ComFrame, SheetKeepsTheModuleUntilItsLastRelease)
{
    IClassFactory* pFactory = Factory();
    ASSERT_NE(pFactory, nullptr);
    IDIGameCntrlPropSheet* pSheet = nullptr;
    ASSERT_EQ(pFactory->CreateInstance(nullptr, kSheetInterfaceId, reinterpret_cast<void**>(&pSheet)),
              S_OK);
    pFactory->Release();
    ASSERT_NE(pSheet, nullptr);
    EXPECT_EQ(dll.pfnCanUnloadNow(), S_FALSE);

    IUnknown* pUnknown = nullptr;
    EXPECT_EQ(pSheet->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&pUnknown)), S_OK);
    EXPECT_EQ(pUnknown->Release(), 1u);
    EXPECT_EQ(pSheet->Release(), 0u);
    EXPECT_EQ(dll.pfnCanUnloadNow(), S_OK);
}

TEST_F(ComFrame, LockServerHoldsTheModuleWithoutObjects)
{
    IClassFactory* pFactory = Factory();
    ASSERT_NE(pFactory, nullptr);
    EXPECT_EQ(pFactory->LockServer(TRUE), S_OK);
    EXPECT_EQ(pFactory->Release(), 0u);
    EXPECT_EQ(dll.pfnCanUnloadNow(), S_FALSE);

    pFactory = Factory();
    ASSERT_NE(pFactory, nullptr);
    EXPECT_EQ(pFactory->LockServer(FALSE), S_OK);
    pFactory->Release();
    EXPECT_EQ(dll.pfnCanUnloadNow(), S_OK);
}

// Several threads creating and releasing sheets at once must leave the count at zero.
TEST_F(ComFrame, ConcurrentCreationKeepsTheObjectCountExact)
{
    struct Worker {
        UlvaneDll::GetClassObjectProc pfnGetClassObject;
        LONG nFailures = 0;
    } worker{dll.pfnGetClassObject};
    auto run = [](void* pv) WINAPI -> DWORD {
        Worker* pWorker = static_cast<Worker*>(pv);
        for (int i = 0; i < 200; ++i) {
            IClassFactory* pFactory = nullptr;
            IDIGameCntrlPropSheet* pSheet = nullptr;
            if (FAILED(pWorker->pfnGetClassObject(kSheetClassId, IID_IClassFactory,
                                                  reinterpret_cast<void**>(&pFactory))) ||
                FAILED(pFactory->CreateInstance(nullptr, kSheetInterfaceId,
                                                reinterpret_cast<void**>(&pSheet)))) {
                InterlockedIncrement(&pWorker->nFailures);
                if (pFactory)
                    pFactory->Release();
                continue;
            }
            pSheet->AddRef();
            pFactory->Release();
            pSheet->Release();
            pSheet->Release();
        }
        return 0;
    };
    HANDLE threads[4];
    for (HANDLE& hThread : threads)
        hThread = CreateThread(nullptr, 0, run, &worker, 0, nullptr);
    EXPECT_EQ(WaitForMultipleObjects(4, threads, TRUE, 60000), WAIT_OBJECT_0);
    for (HANDLE hThread : threads)
        CloseHandle(hThread);
    EXPECT_EQ(worker.nFailures, 0);
    EXPECT_EQ(dll.pfnCanUnloadNow(), S_OK);
}

}  // namespace
