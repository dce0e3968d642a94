// The real HID transport, driven against a named pipe that stands in for the pad's device
// interface: a pad that sends nothing must not hold the window thread.
#include "PadAccess.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const char kPipePath[] = "\\\\.\\pipe\\ulvane_frame_transport";

class PipePad : public ::testing::Test {
protected:
    void SetUp() override
    {
        hServer = CreateNamedPipeA(kPipePath, PIPE_ACCESS_DUPLEX,
                                   PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1, 64,
                                   64, 0, nullptr);
        ASSERT_NE(hServer, INVALID_HANDLE_VALUE);
        PadHandle = CurrentPadTransport().Open(kPipePath);
        ASSERT_NE(PadHandle, nullptr);
    }

    void TearDown() override
    {
        ClosePadHandle();
        if (hServer != INVALID_HANDLE_VALUE)
            CloseHandle(hServer);
    }

    void SendFromPad(const std::vector<BYTE>& bytes)
    {
        DWORD cbWritten = 0;
        ASSERT_TRUE(WriteFile(hServer, bytes.data(), static_cast<DWORD>(bytes.size()), &cbWritten,
                              nullptr));
    }

    HANDLE hServer = INVALID_HANDLE_VALUE;
};

TEST_F(PipePad, SilentPadNeverHoldsTheCallerLongerThanATimerPeriod)
{
    LARGE_INTEGER freq, start, end;
    QueryPerformanceFrequency(&freq);
    double maxMs = 0;
    for (int i = 0; i < 20; ++i) {
        PadInputReport report;
        DWORD cbRead = 123;
        QueryPerformanceCounter(&start);
        BOOL fRead = ReadPadInputReport(PadHandle, &report, &cbRead);
        QueryPerformanceCounter(&end);
        EXPECT_FALSE(fRead);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TIMEOUT));
        EXPECT_EQ(cbRead, 0u);
        double ms = (end.QuadPart - start.QuadPart) * 1000.0 / freq.QuadPart;
        if (ms > maxMs)
            maxMs = ms;
    }
    // The wait itself is 8 ms; the bound leaves room for a slow, busy machine.
    EXPECT_LT(maxMs, 250.0);

    // A report that arrives after cancelled reads is still read whole.
    SendFromPad({0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x40});
    PadInputReport report;
    DWORD cbRead = 0;
    ASSERT_TRUE(ReadPadInputReport(PadHandle, &report, &cbRead));
    ASSERT_EQ(cbRead, 12u);
    PadMode mode = PadModeController;
    EXPECT_TRUE(DecodePadMode(report, cbRead, &mode));
    EXPECT_EQ(mode, PadModeKeyMap2);
}

TEST_F(PipePad, ShortReportsAndWritesGoThroughWhole)
{
    SendFromPad({0x01, 0x02, 0x03, 0x04, 0x05});
    PadInputReport report;
    DWORD cbRead = 0;
    ASSERT_TRUE(ReadPadInputReport(PadHandle, &report, &cbRead));
    EXPECT_EQ(cbRead, 5u);
    PadMode mode = PadModeKeyMap1;
    EXPECT_FALSE(DecodePadMode(report, cbRead, &mode));

    const BYTE keys[4] = {0x04, 0x28, 0, 0};
    ASSERT_TRUE(WritePadReport(PadHandle, EncodeSetSlotReport(5, keys)));
    BYTE received[16] = {};
    DWORD cbReceived = 0;
    ASSERT_TRUE(ReadFile(hServer, received, sizeof received, &cbReceived, nullptr));
    EXPECT_EQ(std::vector<BYTE>(received, received + cbReceived),
              (std::vector<BYTE>{0x01, 0xA1, 0x05, 0x04, 0x28, 0x00, 0x00, 0x00}));
}

TEST_F(PipePad, UnpluggedPadFailsAtOnce)
{
    CloseHandle(hServer);
    hServer = INVALID_HANDLE_VALUE;
    PadInputReport report;
    DWORD cbRead = 0;
    DWORD dwStart = GetTickCount();
    EXPECT_FALSE(ReadPadInputReport(PadHandle, &report, &cbRead));
    EXPECT_FALSE(WritePadReport(PadHandle, EncodeRumbleReport(0, 0)));
    EXPECT_LT(GetTickCount() - dwStart, 1000u);
}

TEST(PadTransportDefault, MissingDeviceGivesNullNotInvalidHandle)
{
    EXPECT_EQ(CurrentPadTransport().Open("\\\\?\\hid#vid_7b5e&pid_4d19#nothing-here"), nullptr);
}

}  // namespace
