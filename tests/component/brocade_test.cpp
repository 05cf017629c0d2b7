#include <gtest/gtest.h>

#include <string>

#include "engine_fixture.h"
#include "test_component.h"
#include "vendors/brocade_component.h"

namespace {

using Brocade = Exposed<BrocadeComp::CComponent>;

TEST(BrocadeNormalizeVersion, KeepsTheLastDottedQuad) {
    BrocadeComp::CComponent cmp;
    EXPECT_EQ(cmp.NormalizeVersion(L"3.0.12.255"), L"3.0.12.255");
    EXPECT_EQ(cmp.NormalizeVersion(L"12.1.0.0"), L"2.1.0.0");  // the greedy lead keeps one digit
    EXPECT_EQ(cmp.NormalizeVersion(L"BIOS 2.1.0.4 build 7"), L"2.1.0.4");
    EXPECT_EQ(cmp.NormalizeVersion(L"1.2.3.4.5"), L"2.3.4.5");
    EXPECT_EQ(cmp.NormalizeVersion(L"2.1.0"), L"2.1.0");
    EXPECT_EQ(cmp.NormalizeVersion(L"v2.1.0.4\nsecond line"), L"2.1.0.4");
}

TEST(BrocadeBuildDeviceList, DevicesCarryTheAdaptersOwnIdentity) {
    Brocade cmp;
    cmp.AddCatalogueDevice(L"1657.0013.1657.0014", L"3.0.0.0");
    cmp.AddAdapter("16570013", "16570014", "Brocade-825", "BIOS 2.1.0.4 build 7");
    cmp.AddAdapter("16570013", "16570015", "other", "1.0");
    cmp.AddAdapter("16570013", "16570014", "Brocade-825b", "12.1.0.0");
    cmp.BuildDeviceList();
    ASSERT_EQ(cmp.discovery.devices.size(), 2u);
    for (const CDevice& d : cmp.discovery.devices) {
        EXPECT_EQ(d.device_id, L"1657.0013.1657.0014");
        ASSERT_EQ(d.fw_items.size(), 1u);
        EXPECT_EQ(d.fw_items[0].type, L"Boot BIOS ROM");
        EXPECT_EQ(d.fw_items[0].shared, L"no");
    }
    EXPECT_EQ(cmp.discovery.devices[0].fw_items[0].active_version, L"2.1.0.4");
    EXPECT_EQ(cmp.discovery.devices[0].fw_items[0].action, L"upgrade");
    EXPECT_EQ(cmp.discovery.devices[1].product_id, L"Brocade-825b");
    EXPECT_EQ(cmp.discovery.devices[1].fw_items[0].active_version, L"2.1.0.0");
}

TEST(BrocadeBuildDeviceList, UpperCaseCatalogueMatchesLowerCaseIdentity) {
    Brocade cmp;
    cmp.AddCatalogueDevice(L"1657.00AB.1657.00CD");
    cmp.AddAdapter("165700ab", "165700cd");
    cmp.BuildDeviceList();
    ASSERT_EQ(cmp.discovery.devices.size(), 1u);
    EXPECT_EQ(cmp.discovery.devices[0].device_id, L"1657.00ab.1657.00cd");
}

class BrocadeFlashTest : public ::testing::TestWithParam<EngineCase> {};

TEST_P(BrocadeFlashTest, SuccessOnlyOnZero) {
    InstallEngine("./bcu");
    EngineEnds(GetParam().ends);
    Brocade cmp;
    cmp.log.SetQuiet(true);
    EXPECT_EQ(cmp.Flash(), GetParam().status);
    EXPECT_TRUE(LoggedEngineCode(GetParam().code));
}

INSTANTIATE_TEST_SUITE_P(Codes, BrocadeFlashTest,
                         ::testing::Values(EngineCase{"exit 0", 0, 1}, EngineCase{"exit 1", 1, 7},
                                           EngineCase{"exit 2", 2, 7}, EngineCase{"exit 255", 255, 7},
                                           EngineCase{"kill KILL", 137, 7}, EngineCase{"kill SEGV", 139, 7},
                                           EngineCase{"kill-shell KILL", 137, 7}));

TEST(BrocadeFlash, CommandLineWithAndWithoutForce) {
    InstallEngine("./bcu");
    EngineEnds("exit 0");
    Brocade cmp;
    cmp.silent = true;  // not passed to the utility
    cmp.log << "kept\n";
    cmp.Flash();
    cmp.force = true;
    cmp.Flash();
    EXPECT_EQ(ReadFile("engine-calls"), "./bcu boot --update bfa_boot_fw -a\n./bcu boot --update bfa_boot_fw -a force\n");
    EXPECT_EQ(ReadFile("/var/orbil/Component.log").rfind("kept\nExecuting flash engine: ./bcu boot --update bfa_boot_fw -a\n", 0), 0u);
    EXPECT_EQ(FileMode("./bcu"), 0755);
}

}  // namespace
