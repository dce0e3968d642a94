// The module frame: class objects, the factory, reference counts and DllCanUnloadNow.
#include "com_driver_dll.h"

namespace {

const CLSID kOtherClsid = {0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
void* const kStale = reinterpret_cast<void*>(0x1234);

class FrameTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(dll.pfnCanUnloadNow(), S_OK); }
    HRESULT ClassObject(REFCLSID clsid, REFIID iid)
    {
        pv = kStale;
        const HRESULT hr = dll.pfnGetClassObject(clsid, iid, &pv);
        if (SUCCEEDED(hr))
            static_cast<IUnknown*>(pv)->Release();
        return hr;
    }
    DriverDll& dll = DriverDll::Get();
    void* pv = nullptr;
};

} // namespace

TEST_F(FrameTest, ClassObjectRefusalsMakeNoFactory)
{
#if COM_DLL_REVISION == 1
    EXPECT_EQ(ClassObject(kOtherClsid, IID_IClassFactory), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(pv, nullptr);
    EXPECT_EQ(ClassObject(kClsidFFDriver, IID_IDirectInputEffectDriver), E_NOINTERFACE);
#else
    // This revision serves any class, but only the factory's interfaces.
    EXPECT_EQ(ClassObject(kOtherClsid, IID_IClassFactory), S_OK);
    EXPECT_EQ(ClassObject(kOtherClsid, IID_IUnknown), S_OK);
    EXPECT_EQ(ClassObject(kClsidFFDriver, IID_IDirectInputEffectDriver),
              CLASS_E_CLASSNOTAVAILABLE);
#endif
    EXPECT_EQ(pv, nullptr);
    EXPECT_EQ(dll.pfnCanUnloadNow(), S_OK);
    EXPECT_EQ(dll.pfnGetClassObject(kClsidFFDriver, IID_IClassFactory, nullptr), E_POINTER);
}

TEST_F(FrameTest, FactoryLivesUntilItsLastCallerReleases)
{
    for (bool bFirstGoesFirst : {true, false}) {
        IClassFactory* pFirst = dll.Factory();
        IClassFactory* pSecond = dll.Factory();
        ASSERT_NE(pFirst, nullptr);
        ASSERT_EQ(pSecond, pFirst);
        // A factory held only by its first reference still runs this module's code.
        EXPECT_EQ((bFirstGoesFirst ? pFirst : pSecond)->Release(), 0u);
        EXPECT_EQ(dll.pfnCanUnloadNow(), S_FALSE);
        IClassFactory* pLeft = bFirstGoesFirst ? pSecond : pFirst;
        // A lock counts as one more reference.
        EXPECT_EQ(pLeft->LockServer(TRUE), S_OK);
        EXPECT_EQ(pLeft->AddRef(), 2u);
        EXPECT_EQ(pLeft->Release(), 1u);
        EXPECT_EQ(pLeft->LockServer(FALSE), S_OK);
        EXPECT_EQ(pLeft->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
        pv = kStale;
        EXPECT_EQ(pLeft->QueryInterface(IID_IDirectInputEffectDriver, &pv), E_NOINTERFACE);
        EXPECT_EQ(pv, nullptr);
        EXPECT_EQ(dll.pfnCanUnloadNow(), S_FALSE);
        EXPECT_EQ(pLeft->Release(), 0u);
        EXPECT_EQ(dll.pfnCanUnloadNow(), S_OK);
    }
}

TEST_F(FrameTest, CreateInstanceRefusalsLeaveNoDriver)
{
    IClassFactory* pFactory = dll.Factory();
    ASSERT_NE(pFactory, nullptr);
    pv = kStale;
    EXPECT_EQ(pFactory->CreateInstance(pFactory, IID_IUnknown, &pv), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(pv, nullptr);
    EXPECT_EQ(pFactory->CreateInstance(nullptr, IID_IUnknown, nullptr), E_POINTER);
    pv = kStale;
    EXPECT_EQ(pFactory->CreateInstance(nullptr, IID_IClassFactory, &pv), E_NOINTERFACE);
    EXPECT_EQ(pv, nullptr);
    EXPECT_EQ(pFactory->Release(), 0u);
}

TEST_F(FrameTest, DriverObjectIsSharedUntilItsLastRelease)
{
    for (bool bFirstGoesFirst : {true, false}) {
        SCOPED_TRACE(bFirstGoesFirst ? "first reference released first"
                                     : "second reference released first");
        IClassFactory* pFactory = dll.Factory();
        ASSERT_NE(pFactory, nullptr);
        IUnknown* pFirst = nullptr;
        pv = kStale;
        ASSERT_EQ(pFactory->CreateInstance(nullptr, IID_IUnknown, &pv), S_OK);
        pFirst = static_cast<IUnknown*>(pv);
        IDirectInputEffectDriver* pSecond = dll.CreateDriver();
        EXPECT_EQ(static_cast<IUnknown*>(pSecond), pFirst);
        EXPECT_EQ(pFactory->Release(), 0u);
        // The driver object alone, with its worker threads, keeps the module loaded.
        EXPECT_EQ(dll.pfnCanUnloadNow(), S_FALSE);
        EXPECT_EQ(pSecond->AddRef(), 3u);
        EXPECT_EQ(pSecond->Release(), 2u);
        EXPECT_EQ(pSecond->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
        EXPECT_EQ(pSecond->QueryInterface(IID_IClassFactory, &pv), E_NOINTERFACE);
        EXPECT_EQ(pv, nullptr);

        EXPECT_EQ(bFirstGoesFirst ? pFirst->Release() : pSecond->Release(), 1u);
        // Whichever reference is left still reaches a working driver object, and it is still
        // the one the module hands out.
        IUnknown* pLeft = bFirstGoesFirst ? static_cast<IUnknown*>(pSecond) : pFirst;
        pv = kStale;
        ASSERT_EQ(pLeft->QueryInterface(IID_IDirectInputEffectDriver, &pv), S_OK);
        auto* pDriver = static_cast<IDirectInputEffectDriver*>(pv);
        EXPECT_EQ(static_cast<IUnknown*>(pDriver), pLeft);
        DIDRIVERVERSIONS vers{sizeof(vers), 0, 0, 0};
        EXPECT_EQ(pDriver->GetVersions(&vers), S_OK);
        EXPECT_EQ(vers.dwFFDriverVersion, 0xF1Fu);
        EXPECT_EQ(pDriver->Release(), 1u);
        IDirectInputEffectDriver* pAgain = dll.CreateDriver();
        ASSERT_NE(pAgain, nullptr);
        EXPECT_EQ(static_cast<IUnknown*>(pAgain), pLeft);
        EXPECT_EQ(pAgain->Release(), 1u);
        EXPECT_EQ(dll.pfnCanUnloadNow(), S_FALSE);
        EXPECT_EQ(pLeft->Release(), 0u);
    }
}
