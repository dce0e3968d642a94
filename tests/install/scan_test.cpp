#include "FakeDeviceInstall.h"
#include "InstallApp.h"

#include <gtest/gtest.h>

namespace {

using Log = std::vector<std::string>;

std::string Read(int index, DWORD cbBuffer)
{
    return "read " + std::to_string(index) + " property=1 size=" + std::to_string(cbBuffer);
}

// The four calls that remove one node, with the parameters they must carry.
Log Removal(int index)
{
    const std::string n = std::to_string(index);
    return {"stop " + n + " vetotype=set vetoname=set/260 flags=1 machine=null",
            "property " + n + " property=18 data=null size=0",
            "params " + n + " header=8 function=5 scope=1 profile=0 size=16",
            "installer " + n + " function=5"};
}

Log Concat(std::initializer_list<Log> parts)
{
    Log all;
    for (const Log& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const std::string kClassDevs = "classdevs class=null enumerator=null window=null flags=0x4";

TEST(RemoveMatchingDevices, RemovesNodesWhoseFirstIdNamesThePadAndScansOn)
{
    const std::string longMatch = LongIdList("USB\\VID_7B5E&PID_4D19&REV_0110");
    const std::string longOther = LongIdList("USB\\VID_045E&PID_028E");
    ASSERT_EQ(longMatch.size(), 1287u);
    ASSERT_EQ(longOther.size(), 1287u);

    FakeDeviceInstall fake({
        {IdList({"USB\\VID_7B5E&PID_4D19&REV_0100", "USB\\VID_7B5E&PID_4D19"})},
        {IdList({"HID\\Vid_7b5E&pID_4d19&Col01"})},
        {IdList({"USB\\VID_045E&PID_028E", "USB\\VID_7B5E&PID_4D19"})},
        {"", ERROR_INVALID_DATA},
        {longMatch},
        {longOther},
        {IdList({"hid\\vid_7b5e&pid_4d19"})},
    });
    CInstallApp app;
    app.RemoveMatchingDevices();

    const Log expected = Concat({
        {kClassDevs, Read(0, 1024)}, Removal(0),
        {Read(1, 1024)}, Removal(1),
        {Read(2, 1024)},                      // the pad only in a later ID: left alone
        {Read(3, 1024)},                      // no IDs: passed over
        {Read(4, 1024), Read(4, 1287)}, Removal(4),
        {Read(5, 1287)},                      // the grown buffer stays
        {Read(6, 1287)}, Removal(6),
        {"destroy"},
    });
    EXPECT_EQ(fake.log, expected);
}

TEST(RemoveMatchingDevices, ReadFailuresOtherThanMissingIdsEndTheScan)
{
    {
        FakeDeviceInstall fake({
            {IdList({"USB\\VID_7B5E&PID_4D19"})},
            {"", ERROR_ACCESS_DENIED},
            {IdList({"USB\\VID_7B5E&PID_4D19"})},
        });
        CInstallApp().RemoveMatchingDevices();
        EXPECT_EQ(fake.log, Concat({{kClassDevs, Read(0, 1024)}, Removal(0),
                                    {Read(1, 1024), "destroy"}}));
    }
    {
        // A reported size no larger than the buffer would make the retry loop forever.
        FakeDevice stuck;
        stuck.cbStuckRequired = 1024;
        FakeDeviceInstall fake({stuck, {IdList({"USB\\VID_7B5E&PID_4D19"})}});
        CInstallApp().RemoveMatchingDevices();
        EXPECT_EQ(fake.log, (Log{kClassDevs, Read(0, 1024), "destroy"}));
    }
}

TEST(RemoveMatchingDevices, LooksOnlyAtTheBytesTheReadReturned)
{
    // The second read returns a cut ID with no terminator; the first one's bytes still lie in
    // the buffer behind it and must not complete it.
    const std::string cut = "USB\\VID_7B5E";
    // The pad at the very end of a full, unterminated buffer still counts.
    const std::string full = std::string(1024 - 17, 'x') + "VID_7B5E&PID_4D19";
    FakeDeviceInstall fake({
        {IdList({"USB\\VID_7B5E&PID_4D19&REV_0100"})},
        {cut},
        {full},
    });
    CInstallApp().RemoveMatchingDevices();
    EXPECT_EQ(fake.log, Concat({{kClassDevs, Read(0, 1024)}, Removal(0),
                                {Read(1, 1024), Read(2, 1024)}, Removal(2),
                                {"destroy"}}));
}

} // namespace
