// The effect-driver object on the ordinary road and at its edges, against a simulated pad.
#include "com_driver_dll.h"

#include <functional>
#include <string>

TEST_F(DriverTest, OrdinaryRoadFromOpenToFinalRelease)
{
    ASSERT_EQ(Open(0, pad), S_OK);
    // The open writes one zero report at once; the worker may repeat it up to 5 times.
    ASSERT_TRUE(pad.WaitForReports(1, 2000));
    pad.WaitQuiet(100, 2000);
    EXPECT_LE(pad.Count(), 6u);
    for (const auto& r : pad.Reports())
        EXPECT_TRUE(IsZeroReport(r.bytes));
    EXPECT_EQ(DeviceState(), static_cast<DWORD>(DIGFFS_STOPPED));
    ASSERT_EQ(pDriver->SetGain(0, 10000), S_OK);

    DWORD dwHandle = 0;
    EXPECT_EQ(NextReport([&] { dwHandle = Download(KIND_CONSTANT, 10000); }),
              MotorReportBytes(kFullLevel, 0));
    EXPECT_EQ(dwHandle, 1u);
    EXPECT_EQ(Status(dwHandle), static_cast<DWORD>(DIEGES_PLAYING));
    EXPECT_TRUE(WaitUntil([&] { return DeviceState() == 0; }, 1000));
    // Steady totals send nothing more.
    EXPECT_EQ(pad.WaitQuiet(100, 2000), 1u);

    EXPECT_EQ(NextReport([&] { pDriver->StopEffect(0, dwHandle); }), MotorReportBytes(0, 0));
    EXPECT_EQ(Status(dwHandle), 0u);
    EXPECT_TRUE(WaitUntil([&] { return DeviceState() == DIGFFS_STOPPED; }, 1000));

    EXPECT_EQ(NextReport([&] { dwHandle = Download(KIND_CONSTANT, 10000, 9000); }),
              MotorReportBytes(0, kFullLevel));
    EXPECT_EQ(dwHandle, 2u);

    // The final release ends the worker, frees the effects and leaves the pad at rest; a
    // new driver object then finds every entry free.
    EXPECT_EQ(ReleaseAndLastReport(pad), MotorReportBytes(0, 0));
    pDriver = dll.CreateDriver();
    ASSERT_NE(pDriver, nullptr);
    EXPECT_EQ(Download(KIND_CONSTANT, 10000), 0u);
}

TEST_F(DriverTest, DeviceOperationsCheckTheId)
{
    ASSERT_EQ(Open(0, pad), S_OK);
    EffectParams params(KIND_CONSTANT, 10000);
    // For an id out of range every device operation fails; for one never opened it succeeds
    // and changes nothing.
    const std::pair<DWORD, HRESULT> cases[] = {{16, E_FAIL}, {0xFFFFFFFF, E_FAIL}, {3, S_OK}};
    for (auto [dwId, hrExpected] : cases) {
        SCOPED_TRACE(dwId);
        DIHIDFFINITINFO init{sizeof(init), const_cast<LPWSTR>(pad.WidePath()), {}};
        EXPECT_EQ(pDriver->DeviceID(0x0800, dwId, hrExpected == S_OK ? 0 : 1, 0, &init),
                  hrExpected);
        EXPECT_EQ(pDriver->SetGain(dwId, 10000), hrExpected);
        EXPECT_EQ(pDriver->SendForceFeedbackCommand(dwId, DISFFC_STOPALL), hrExpected);
        DIDEVICESTATE ds{sizeof(ds), 7, 7};
        EXPECT_EQ(pDriver->GetForceFeedbackState(dwId, &ds), hrExpected);
        EXPECT_EQ(ds.dwState, 7u);
        EXPECT_EQ(ds.dwLoad, hrExpected == S_OK ? 0u : 7u);
        DWORD dwHandle = 0;
        EXPECT_EQ(pDriver->DownloadEffect(dwId, 0, &dwHandle, &params.eff, DIEP_START),
                  hrExpected);
        EXPECT_EQ(dwHandle, 0u);
        EXPECT_EQ(pDriver->DestroyEffect(dwId, 1), hrExpected);
        EXPECT_EQ(pDriver->StartEffect(dwId, 1, 0, 1), hrExpected);
        EXPECT_EQ(pDriver->StopEffect(dwId, 1), hrExpected);
        DWORD dwStatus = 7;
        EXPECT_EQ(pDriver->GetEffectStatus(dwId, 1, &dwStatus), hrExpected);
        EXPECT_EQ(dwStatus, 0u);
        EXPECT_EQ(pDriver->Escape(dwId, 1, nullptr), S_OK);
    }
}

TEST_F(DriverTest, RecordsPointersAndPathsAreChecked)
{
    DIDRIVERVERSIONS vers{15, 77, 77, 77};
    EXPECT_EQ(pDriver->GetVersions(&vers), E_INVALIDARG);
    EXPECT_EQ(vers.dwSize, 15u);
    EXPECT_EQ(vers.dwFirmwareRevision, 77u);
    vers.dwSize = 40;
    EXPECT_EQ(pDriver->GetVersions(&vers), S_OK);
    EXPECT_EQ(vers.dwSize, 16u);
    EXPECT_EQ(vers.dwFirmwareRevision, 3u);
    EXPECT_EQ(vers.dwHardwareRevision, 5u);
    EXPECT_EQ(vers.dwFFDriverVersion, 0xF1Fu);
    EXPECT_EQ(pDriver->GetVersions(nullptr), E_POINTER);

    ASSERT_EQ(Open(0, pad), S_OK);
    DIDEVICESTATE ds{11, 7, 7};
    EXPECT_EQ(pDriver->GetForceFeedbackState(0, &ds), E_INVALIDARG);
    EXPECT_EQ(ds.dwState + ds.dwLoad, 14u);
    EXPECT_EQ(pDriver->GetForceFeedbackState(0, nullptr), E_POINTER);
    EffectParams params(KIND_CONSTANT, 10000);
    DWORD dwHandle = 0;
    EXPECT_EQ(pDriver->DownloadEffect(0, 0, &dwHandle, nullptr, 0), E_POINTER);
    EXPECT_EQ(pDriver->DownloadEffect(0, 0, nullptr, &params.eff, 0), E_POINTER);
    EXPECT_EQ(pDriver->GetEffectStatus(0, 1, nullptr), S_OK);

    // A record, a path, and a path that fits its 260 bytes only without the terminator:
    // each is refused and the entry stays free.
    EXPECT_EQ(pDriver->DeviceID(0x0800, 2, 1, 2, nullptr), E_POINTER);
    DIHIDFFINITINFO init{sizeof(init), nullptr, {}};
    EXPECT_EQ(pDriver->DeviceID(0x0800, 2, 1, 2, &init), E_INVALIDARG);
    std::wstring path = L"\\\\.\\pipe\\" + std::wstring(260 - 9, L'x');
    init.pwszDeviceInterface = &path[0];
    EXPECT_EQ(pDriver->DeviceID(0x0800, 2, 1, 2, &init), E_INVALIDARG);
    EXPECT_EQ(Download(KIND_CONSTANT, 10000, 0, 0, 2), 0u);
    // 259 characters and the terminator fit exactly.
    path.pop_back();
    init.pwszDeviceInterface = &path[0];
    EXPECT_EQ(pDriver->DeviceID(0x0800, 2, 1, 2, &init), S_OK);
    EXPECT_EQ(Download(KIND_CONSTANT, 10000, 0, 0, 2), 1u);
}

TEST_F(DriverTest, SecondOpenKeepsFirstPathAndLettingGoKeepsPlaying)
{
    PadSimulator other;
    ASSERT_TRUE(other.Start());
    OpenQuiet();
    EXPECT_EQ(Open(0, other), S_OK);
    DWORD dwHandle = 0;
    EXPECT_EQ(NextReport([&] { dwHandle = Download(KIND_CONSTANT, 10000); }),
              MotorReportBytes(kFullLevel, 0));
    // DirectInput lets the device go: it goes on playing.
    pad.Clear();
    EXPECT_EQ(Open(0, pad, 0), S_OK);
    Sleep(100);
    EXPECT_EQ(pad.Count(), 0u);
    EXPECT_EQ(Status(dwHandle), static_cast<DWORD>(DIEGES_PLAYING));
    EXPECT_EQ(other.Count(), 0u);
}

TEST_F(DriverTest, GainIsZeroUntilSetAndCutToFullScale)
{
    OpenQuiet(0);
    const DWORD dwHandle = Download(KIND_CONSTANT, 10000);
    Sleep(100);
    EXPECT_EQ(Status(dwHandle), static_cast<DWORD>(DIEGES_PLAYING));
    for (const auto& r : pad.Reports())
        EXPECT_TRUE(IsZeroReport(r.bytes));
    EXPECT_EQ(NextReport([&] { pDriver->SetGain(0, 20000); }), MotorReportBytes(kFullLevel, 0));
    EXPECT_EQ(NextReport([&] { pDriver->SetGain(0, 5000); }), MotorReportBytes(kHalfLevel, 0));
    EXPECT_EQ(NextReport([&] { pDriver->SetGain(0, 0); }), MotorReportBytes(0, 0));
}

#if !defined(_WIN64)
// Only where no allocation of 4 GB can succeed.
TEST_F(DriverTest, EffectThatCannotBeStoredIsReported)
{
    OpenQuiet();
    EffectParams huge(KIND_CONSTANT, 10000);
    huge.eff.cbTypeSpecificParams = 0xFFFFFFF0u;
    huge.eff.lpvTypeSpecificParams = nullptr;
    DWORD dwHandle = 0;
    EXPECT_EQ(pDriver->DownloadEffect(0, 0, &dwHandle, &huge.eff, DIEP_ALLPARAMS),
              DIERR_OUTOFMEMORY);
    EXPECT_EQ(dwHandle, 0u);

    // A change that cannot be stored leaves the effect as it was, is reported, and the
    // restart asked with it does not happen: 600 ms end about 300 ms later, not 600.
    EffectParams timed(KIND_CONSTANT, 10000, 0, 600000);
    ASSERT_EQ(pDriver->DownloadEffect(0, 0, &dwHandle, &timed.eff, DIEP_ALLPARAMS | DIEP_START),
              S_OK);
    Sleep(300);
    EXPECT_EQ(pDriver->DownloadEffect(0, 0, &dwHandle, &huge.eff,
                                      DIEP_TYPESPECIFICPARAMS | DIEP_START),
              DIERR_OUTOFMEMORY);
    EXPECT_EQ(dwHandle, 1u);
    EXPECT_EQ(Status(dwHandle), static_cast<DWORD>(DIEGES_PLAYING));
    EXPECT_TRUE(WaitUntil([&] { return Status(dwHandle) == 0; }, 500));
}
#endif
