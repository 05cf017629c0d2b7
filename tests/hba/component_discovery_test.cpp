// The component's base discovery over the HBA discovery subsystem: records
// become dotted adapter identities that are looked up in the catalogue.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "base_cmp.h"
#include "discovery_scene.h"
#include "fake_hba_world.h"

namespace {

class ProbeCmp : public CBaseCmp {
public:
    using CBaseCmp::discovery;
    using CBaseCmp::hbaDiscovery;
    using CBaseCmp::reference;
};

const char kCatalogue[] = R"(<?xml version="1.0"?>
<taverin_fchba_reference>
  <discovery_app_path><![CDATA[./fchba-component]]></discovery_app_path>
  <installer_app_path><![CDATA[./zorvqlafwupdate]]></installer_app_path>
  <devices>
    <device><type value="Fibre Channel HBA"/><device_id value="1077.2532.1077.015D"/><model value="QLE2562"/>
      <firmware value="5.06.02"/><bios value="3.00"/><boot value="yes"/><duration value="120"/></device>
    <device><type value="other"/><device_id value="1077.0133"/><model value="QLE2460"/>
      <firmware value="1"/><bios value="1"/><boot value="no"/><duration value="60"/></device>
    <device><type value="other"/><device_id value="1077.0133"/><model value="duplicate"/>
      <firmware value="1"/><bios value="1"/><boot value="no"/><duration value="60"/></device>
  </devices>
</taverin_fchba_reference>
)";

class ComponentDiscovery : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(std::system("rm -rf /sys/devices"), 0);
        std::ofstream("reference.xml") << kCatalogue;
        ASSERT_TRUE(component.reference.Load());
    }

    FakeHbaWorld world;
    ProbeCmp component;
};

TEST_F(ComponentDiscovery, IdentitiesOfTwoLibrariesAdaptersFindTheirCatalogueEntries) {
    LayTwoLibraryScene(world);
    ASSERT_TRUE(component.Discover());
    ASSERT_EQ(component.hbaDiscovery.records.size(), 3u);
    EXPECT_EQ(component.GetAdapterId(0), L"1077.2532.1077.015d");
    EXPECT_EQ(component.GetAdapterId(1), L"1077.0133") << "no PCI identity in sysfs";
    EXPECT_EQ(component.GetAdapterId(2), L"10df.f100.10df.f100");

    EXPECT_EQ(component.FindReferenceDevice(component.GetAdapterId(0)), 0) << "case is ignored";
    EXPECT_EQ(component.FindReferenceDevice(component.GetAdapterId(1)), 1) << "the first of two entries";
    EXPECT_EQ(component.FindReferenceDevice(component.GetAdapterId(2)), -1);
    EXPECT_EQ(component.discovery.type, L"Fibre Channel HBA");
}

TEST_F(ComponentDiscovery, NoAdapterEndsDiscovery) {
    std::remove("/etc/hba.conf");
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(component.Discover());
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("WARNING! : No supported adapters found."),
              std::string::npos);
}

TEST_F(ComponentDiscovery, NotAvailableInAnyCaseLeavesTheSubsystemGroups) {
    LayTwoLibraryScene(world);
    ASSERT_TRUE(component.Discover());
    snprintf(component.hbaDiscovery.records[0]->PciId, 256, "n/A");
    EXPECT_EQ(component.GetAdapterId(0), L"1077.015d");
}

}  // namespace
