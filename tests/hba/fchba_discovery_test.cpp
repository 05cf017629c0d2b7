#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "discovery_scene.h"
#include "fake_hba_world.h"
#include "fchba_discovery.h"
#include "fchba_mra.h"
#include "hba_api.h"

namespace {

class Discovery : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(std::system("rm -rf /sys/devices"), 0);
    }
    void TearDown() override { HBA_FreeLibrary(); }

    // Discovers and returns what went to standard output meanwhile.
    std::string Discover() {
        ::testing::internal::CaptureStdout();
        discovery.Discover();
        std::fflush(stdout);
        return ::testing::internal::GetCapturedStdout();
    }

    FakeHbaWorld world;
    FcHbaDiscovery discovery;
};

TEST_F(Discovery, NoLibraryListNoRecordAndNothingPrinted) {
    std::remove("/etc/hba.conf");
    EXPECT_EQ(Discover(), "");
    EXPECT_TRUE(discovery.records.empty());
}

TEST_F(Discovery, TwoLibrariesGiveRecordsInEnumerationOrder) {
    LayTwoLibraryScene(world);
    EXPECT_EQ(Discover(), "");
    ASSERT_EQ(discovery.records.size(), 3u);

    const FcHbaDeviceRecord& q0 = *discovery.records[0];
    EXPECT_STREQ(q0.NodeWWN, "20:00:00:E0:8B:1C:2D:3E");
    EXPECT_STREQ(q0.PortWWN, "21:00:00:E0:8B:1C:2D:3E");
    EXPECT_STREQ(q0.PciId, "10772532");
    EXPECT_STREQ(q0.SubsystemId, "1077015d");
    EXPECT_STREQ(q0.DriverVersion, "8.07.00.08-k");
    EXPECT_STREQ(q0.FirmwareVersion, "5.06.02");
    EXPECT_STREQ(q0.OptionROMVersion, "2.02");
    EXPECT_STREQ(q0.Model, "QLE2562");

    const FcHbaDeviceRecord& q1 = *discovery.records[1];
    EXPECT_STREQ(q1.Model, "QLE2460");
    EXPECT_STREQ(q1.PciId, "N/A") << "not in sysfs";
    EXPECT_STREQ(q1.SubsystemId, "10770133");

    const FcHbaDeviceRecord& e0 = *discovery.records[2];
    EXPECT_STREQ(e0.Model, "LPe12002");
    EXPECT_STREQ(e0.PciId, "10dff100") << "found through the management library's address";
    EXPECT_STREQ(e0.SubsystemId, "10dff100");
    EXPECT_STREQ(e0.OptionROMVersion, "5.12a2");
}

TEST_F(Discovery, AdapterNotReadWholeIsRecordedWithStartValues) {
    world.InstallLibrary("/usr/lib/libqlsdm.so", "adapter qlogic-a\nfail attributes\nadapter qlogic-b\n");
    world.WriteHbaConf("ql\t/usr/lib/libqlsdm.so\n");
    EXPECT_EQ(Discover(), "MRA get returned failed status!\n");
    ASSERT_EQ(discovery.records.size(), 2u) << "the enumeration goes on";
    const FcHbaDeviceRecord& a = *discovery.records[0];
    EXPECT_STREQ(a.NodeWWN, "00:00:00:00:00:00:00:00");
    EXPECT_STREQ(a.PortWWN, "") << "no port was read";
    EXPECT_STREQ(a.Model, "Undefined");
    EXPECT_STREQ(a.OptionROMVersion, "Undefined");
    EXPECT_STREQ(a.SubsystemId, "00000000");
    EXPECT_STREQ(a.PciId, "N/A");
    EXPECT_STREQ(discovery.records[1]->Model, "FAKE-qlogic-b");
}

TEST_F(Discovery, VendorIdNotReplacedShowsItsHalvesLowFirst) {
    world.InstallLibrary("/usr/lib/libqlsdm.so", "adapter qlogic-a\nvendor-id 015d1077\n", FakeLibrary::ApiOnly);
    world.WriteHbaConf("ql\t/usr/lib/libqlsdm.so\n");
    Discover();
    ASSERT_EQ(discovery.records.size(), 1u);
    EXPECT_STREQ(discovery.records[0]->SubsystemId, "1077015d");
}

TEST_F(Discovery, EnumeratorStopsAfterTheLastAdapterLeavingTheStatus) {
    world.InstallLibrary("/usr/lib/libqlsdm.so", "adapter qlogic-a\nadapter qlogic-b\nfail open\n");
    world.WriteHbaConf("ql\t/usr/lib/libqlsdm.so\n");
    FcHbaMRA enumerator;
    ASSERT_EQ(enumerator.adapterCount, 2u);
    uint32_t status = 99;
    FcHbaAdapter* first = enumerator.GetFirstAdapter(&status);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(status, 0u);
    FcHbaAdapter* second = enumerator.GetNextAdapter(first, &status);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->index, 1u);
    EXPECT_EQ(status, 1u);
    EXPECT_EQ(enumerator.GetNextAdapter(second, &status), nullptr);
    EXPECT_EQ(status, 1u);
    delete second;
    delete first;
}

TEST_F(Discovery, EnumeratorWithoutLibraryListFindsNothing) {
    std::remove("/etc/hba.conf");
    FcHbaMRA enumerator;
    EXPECT_EQ(enumerator.adapterCount, 0u);
    uint32_t status = 99;
    EXPECT_EQ(enumerator.GetFirstAdapter(&status), nullptr);
    EXPECT_EQ(status, 0u);
}

}  // namespace
