#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "fake_hba_world.h"
#include "shell_pipeline.h"
#include "sysfs_pci_identity.h"

namespace {

class SysfsPciIdentity : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(std::system("rm -rf /sys/devices"), 0);
    }
    FakeHbaWorld world;
};

TEST_F(SysfsPciIdentity, FindsTheDeviceAtTheAddress) {
    world.AddPciDevice("devices/pci0000:00/0000:00:03.0", 0x8086, 0x3c08, 0x1028, 0x04f8);
    world.AddPciDevice("devices/pci0000:00/0000:00:03.0/0000:0b:00.0", 0x1077, 0x2532, 0x1077, 0x015d);
    world.AddPciDevice("devices/pci0000:00/0000:00:03.0/0000:0b:00.1", 0x1077, 0x2533, 0x1077, 0x015d);
    EXPECT_EQ(FindPciIdInSysfs(0, 0x0b, 0, 0x1077, 0x015d), "10772532");
    EXPECT_EQ(FindPciIdInSysfs(0, 0x0b, 1, 0x1077, 0x015d), "10772533");
    EXPECT_EQ(FindPciIdInSysfs(0, 0x0b, 0, 0x1077, 0x0001), "N/A") << "subsystem device differs";
    EXPECT_EQ(FindPciIdInSysfs(1, 0x0b, 0, 0x1077, 0x015d), "N/A") << "no such domain";
}

TEST_F(SysfsPciIdentity, UpperCaseIdentitiesComeOutInLowerCase) {
    world.WriteFile("/sys/devices/pci0000:00/0000:0B:00.0/vendor", "0x10DF\n");
    world.WriteFile("/sys/devices/pci0000:00/0000:0B:00.0/device", "0xF100\n");
    world.WriteFile("/sys/devices/pci0000:00/0000:0B:00.0/subsystem_vendor", "0x10DF\n");
    world.WriteFile("/sys/devices/pci0000:00/0000:0B:00.0/subsystem_device", "0xF100\n");
    EXPECT_EQ(FindPciIdInSysfs(0, 0x0b, 0, 0x10df, 0xf100), "10dff100");
}

TEST_F(SysfsPciIdentity, ZeroAddressReachesDevicesBelowABridgeThere) {
    world.AddPciDevice("devices/pci0000:00/0000:00:00.0", 0x8086, 0x0e00, 0x8086, 0x0000);
    world.AddPciDevice("devices/pci0000:00/0000:00:00.0/0000:05:00.3", 0x1657, 0x0013, 0x1657, 0x0014);
    EXPECT_EQ(FindPciIdInSysfs(0, 0, 0, 0x1657, 0x0014), "16570013");
    EXPECT_EQ(FindPciIdInSysfs(0, 0, 0, 0x8086, 0x0000), "80860e00");
}

TEST_F(SysfsPciIdentity, FirstOfTwoPassingDirectoriesInFindOrderWins) {
    world.AddPciDevice("devices/pci0000:00/0000:00:02.0/0000:0b:00.0", 0x1077, 0x2532, 0x1077, 0x015d);
    world.AddPciDevice("devices/pci0000:00/0000:00:03.0/0000:0b:01.0", 0x1077, 0x2031, 0x1077, 0x015d);
    const std::vector<std::string> order = RunPipeline("find /sys -name subsystem_vendor");
    ASSERT_EQ(order.size(), 2u);
    const bool firstIs2532 = order[0].find("00:02.0") != std::string::npos;
    EXPECT_EQ(FindPciIdInSysfs(0, 0x0b, 0, 0x1077, 0x015d), firstIs2532 ? "10772532" : "10772031");
}

TEST_F(SysfsPciIdentity, EqualSubsystemIdsMustBeInBothFiles) {
    world.AddPciDevice("devices/pci0000:00/0000:0b:00.0", 0x1077, 0x2532, 0x1077, 0x0001);
    EXPECT_EQ(FindPciIdInSysfs(0, 0x0b, 0, 0x1077, 0x1077), "N/A") << "one file matches";
    world.AddPciDevice("devices/pci0000:00/0000:0b:00.0", 0x1077, 0x2532, 0x1077, 0x1077);
    EXPECT_EQ(FindPciIdInSysfs(0, 0x0b, 0, 0x1077, 0x1077), "10772532");
}

TEST_F(SysfsPciIdentity, DirectoryLackingAnIdentityFileIsPassedOver) {
    world.AddPciDevice("devices/pci0000:00/0000:0b:00.0", 0x1077, 0x2532, 0x1077, 0x015d);
    ASSERT_EQ(std::remove("/sys/devices/pci0000:00/0000:0b:00.0/device"), 0);
    EXPECT_EQ(FindPciIdInSysfs(0, 0x0b, 0, 0x1077, 0x015d), "N/A");
}

// Of two candidates that both name the subsystem, the first in find's order
// lacks an identity file: it is passed over and the second wins.
TEST_F(SysfsPciIdentity, SecondCandidateWinsWhenTheFirstLacksAnIdentityFile) {
    for (const char* missing : {"vendor", "device"}) {
        ASSERT_EQ(std::system("rm -rf /sys/devices"), 0);
        world.AddPciDevice("devices/pci0000:00/0000:00:02.0/0000:0b:00.0", 0x1077, 0x2532, 0x1077, 0x015d);
        world.AddPciDevice("devices/pci0000:00/0000:00:03.0/0000:0b:01.0", 0x1077, 0x2031, 0x1077, 0x015d);
        const std::vector<std::string> order = RunPipeline("find /sys -name subsystem_vendor");
        ASSERT_EQ(order.size(), 2u);
        const std::string first = order[0].substr(0, order[0].rfind('/'));
        ASSERT_EQ(std::remove((first + "/" + missing).c_str()), 0) << first;
        const bool secondIs2532 = order[1].find("00:02.0") != std::string::npos;
        EXPECT_EQ(FindPciIdInSysfs(0, 0x0b, 0, 0x1077, 0x015d), secondIs2532 ? "10772532" : "10772031")
            << "first lacks " << missing;
    }
}

TEST_F(SysfsPciIdentity, UnreadableIdentityGivesNA) {
    world.AddPciDevice("devices/pci0000:00/0000:0b:00.0", 0x1077, 0x2532, 0x1077, 0x015d);
    world.WriteFile("/sys/devices/pci0000:00/0000:0b:00.0/device", "");
    EXPECT_EQ(FindPciIdInSysfs(0, 0x0b, 0, 0x1077, 0x015d), "N/A");
}

TEST_F(SysfsPciIdentity, ShellCharactersInFolderNamesAreNeverRun) {
    const std::string folder = "devices/it's $(touch ran) `touch ran`; touch ran|/0000:0b:00.0";
    world.AddPciDevice(folder, 0x1077, 0x2532, 0x1077, 0x015d);
    EXPECT_EQ(FindPciIdInSysfs(0, 0x0b, 0, 0x1077, 0x015d), "10772532");
    EXPECT_FALSE(PathExists("ran")) << "a command hidden in a folder name ran";
}

}  // namespace
