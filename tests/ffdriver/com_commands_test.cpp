// Device commands, start counts, changes in place and the teardown of several devices.
#include "com_driver_dll.h"

#include <memory>

TEST_F(DriverTest, CommandsPauseContinueStopAndReset)
{
    OpenQuiet();
    const DWORD dwHandle = Download(KIND_CONSTANT, 10000);
    ASSERT_TRUE(pad.WaitForReports(1, 2000));
    pad.WaitQuiet(50, 1000);
    // Combined bits and other commands do nothing.
    pad.Clear();
    EXPECT_EQ(pDriver->SendForceFeedbackCommand(0, DISFFC_RESET | DISFFC_STOPALL), S_OK);
    EXPECT_EQ(pDriver->SendForceFeedbackCommand(0, DISFFC_SETACTUATORSON), S_OK);
    Sleep(60);
    EXPECT_EQ(pad.Count(), 0u);

    // A paused effect is silent but still reported as playing.
    EXPECT_EQ(NextReport([&] { pDriver->SendForceFeedbackCommand(0, DISFFC_PAUSE); }),
              MotorReportBytes(0, 0));
    EXPECT_EQ(Status(dwHandle), static_cast<DWORD>(DIEGES_PLAYING));
    EXPECT_TRUE(WaitUntil([&] { return DeviceState() == DIGFFS_PAUSED; }, 1000));
    EXPECT_EQ(NextReport([&] { pDriver->SendForceFeedbackCommand(0, DISFFC_CONTINUE); }),
              MotorReportBytes(kFullLevel, 0));
    EXPECT_TRUE(WaitUntil([&] { return DeviceState() == 0; }, 1000));
    EXPECT_EQ(NextReport([&] { pDriver->SendForceFeedbackCommand(0, DISFFC_STOPALL); }),
              MotorReportBytes(0, 0));
    EXPECT_EQ(Status(dwHandle), 0u);

    // Reset destroys the effects: handles start again at 1.
    EXPECT_EQ(Download(KIND_CONSTANT, 10000, 0, DIEP_ALLPARAMS), 2u);
    EXPECT_EQ(pDriver->SendForceFeedbackCommand(0, DISFFC_RESET), S_OK);
    EXPECT_EQ(Download(KIND_CONSTANT, 10000, 0, DIEP_ALLPARAMS), 1u);
}

TEST_F(DriverTest, AnyStartCountPlaysOnce)
{
    OpenQuiet();
    EffectParams params(KIND_CONSTANT, 10000, 0, 100000);
    DWORD dwHandle = 0;
    ASSERT_EQ(pDriver->DownloadEffect(0, 0, &dwHandle, &params.eff, DIEP_ALLPARAMS), S_OK);
    EXPECT_EQ(pDriver->StartEffect(0, dwHandle, 0, 0), S_OK);
    Sleep(50);
    EXPECT_EQ(Status(dwHandle), 0u);
    // The solo flag is ignored: the right motor's effect plays on throughout.
    const DWORD dwOther = Download(KIND_CONSTANT, 10000, 9000);
    for (DWORD dwCount : {DWORD{1}, DWORD{5}, DWORD{INFINITE}}) {
        SCOPED_TRACE(dwCount);
        const double dStart = PadSimulator::NowMs();
        EXPECT_EQ(NextReport([&] { pDriver->StartEffect(0, dwHandle, DIES_SOLO, dwCount); }),
                  MotorReportBytes(kFullLevel, kFullLevel));
        ASSERT_TRUE(WaitUntil([&] { return Status(dwHandle) == 0; }, 3000));
        // One play of 100 ms (Wine's tick moves in 16 ms steps), not several or endless ones.
        const double dPlayed = PadSimulator::NowMs() - dStart;
        EXPECT_GT(dPlayed, 60.0);
        EXPECT_LT(dPlayed, 450.0);
        EXPECT_EQ(Status(dwOther), static_cast<DWORD>(DIEGES_PLAYING));
    }
}

TEST_F(DriverTest, DownloadChangesInPlace)
{
    OpenQuiet();
    EffectParams params(KIND_CONSTANT, 10000);
    DWORD dwHandle = 0;
    ASSERT_EQ(pDriver->DownloadEffect(0, 0, &dwHandle, &params.eff, DIEP_ALLPARAMS | DIEP_START),
              S_OK);
    // With or without DIEP_NORESTART the level changes and the effect plays on.
    params.constant.lMagnitude = 5000;
    EXPECT_EQ(NextReport([&] {
                  pDriver->DownloadEffect(0, 0, &dwHandle, &params.eff,
                                          DIEP_TYPESPECIFICPARAMS | DIEP_NORESTART);
              }),
              MotorReportBytes(kHalfLevel, 0));
    params.rglDirection[0] = 9000;
    EXPECT_EQ(NextReport([&] {
                  pDriver->DownloadEffect(0, 0, &dwHandle, &params.eff, DIEP_DIRECTION);
              }),
              MotorReportBytes(0, kHalfLevel));
    EXPECT_EQ(dwHandle, 1u);
    EXPECT_EQ(Status(dwHandle), static_cast<DWORD>(DIEGES_PLAYING));
    EXPECT_EQ(NextReport([&] { pDriver->DestroyEffect(0, dwHandle); }), MotorReportBytes(0, 0));
    EXPECT_EQ(Status(dwHandle), 0u);
}

TEST_F(DriverTest, FinalReleaseEndsEveryDevice)
{
    const DWORD rgdwIds[] = {0, 3, 15};
    std::unique_ptr<PadSimulator> pads[3];
    for (int i = 0; i < 3; ++i) {
        pads[i] = std::make_unique<PadSimulator>();
        ASSERT_TRUE(pads[i]->Start());
        ASSERT_EQ(Open(rgdwIds[i], *pads[i]), S_OK);
        ASSERT_EQ(pDriver->SetGain(rgdwIds[i], 10000), S_OK);
        Download(KIND_SINE, 10000, 0, DIEP_ALLPARAMS | DIEP_START, rgdwIds[i]);
    }
    for (auto& p : pads)
        ASSERT_TRUE(WaitUntil([&] { return p->Count() > 8; }, 2000));
    // Torn down while every worker writes sine levels: each pad is left at rest.
    EXPECT_EQ(ReleaseAndLastReport(*pads[0]), MotorReportBytes(0, 0));
    for (auto& p : pads) {
        p->WaitQuiet(100, 2000);
        EXPECT_TRUE(IsZeroReport(p->Reports().back().bytes));
    }
    pDriver = dll.CreateDriver();
    ASSERT_NE(pDriver, nullptr);
    for (DWORD dwId : rgdwIds)
        EXPECT_EQ(DeviceState(dwId), 0xBADu);
}
