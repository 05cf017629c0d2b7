#include <gtest/gtest.h>

#include <string>

#include "fake_hba_world.h"
#include "fchba_adapter.h"
#include "hba_api.h"

namespace {

struct TidyCase {
    const char* label;
    std::string text;
    std::string tidied;
};

const TidyCase kTidy[] = {
    {"TrailingSpacesCut", "2.02  ", "2.02"},
    {"TrailingTildeCut", "2.02~", "2.02"},
    {"TrailingBraceKept", "v{2}", "v{2}"},
    {"TrailingHighBytesCut", "2.02\x80\xFF", "2.02"},
    {"TrailingTabCut", "2.02\t", "2.02"},
    {"InnerSpacesFolded", "QLE  2562   x", "QLE 2562 x"},
    {"TabsUntouched", "a\t\tb", "a\t\tb"},
    {"LeadingSpacesFoldedNotRemoved", "   x", " x"},
    {"OnlySpacesBecomeOne", "   ", " "},
    {"FirstByteAlwaysStays", "~", "~"},
    {"OneByteUnchanged", "a", "a"},
    {"EmptyUnchanged", "", ""},
};

void PrintTo(const TidyCase& c, std::ostream* os) { *os << c.label; }

class TidyString : public ::testing::TestWithParam<TidyCase> {};

TEST_P(TidyString, Tidies) {
    std::string buffer = GetParam().text;
    ::TidyString(&buffer[0]);
    EXPECT_EQ(std::string(buffer.c_str()), GetParam().tidied);
}

INSTANTIATE_TEST_SUITE_P(Texts, TidyString, ::testing::ValuesIn(kTidy),
                         [](const auto& info) { return std::string(info.param.label); });

const std::string kOwnLibrary = "/usr/lib/libqlsdm.so";
const char kQLogicAdapter[] =
    "adapter qlogic-QLE2562-0\n"
    "node 20:00:00:e0:8b:1c:2d:3e\n"
    "port 21:00:00:e0:8b:1c:2d:3e\n"
    "port 21:01:00:e0:8b:1c:2d:3e\n"
    "vendor-id 12345678\n"
    "subsystem 015d1077\n"
    "pci 0b 1 0\n"
    "attr Model QLE2562  \n"
    "attr OptionROMVersion 3.00  ~\n"
    "attr FirmwareVersion 5.06.02  (FLX)\n"
    "attr DriverVersion 8.07.00.08-k  \n";

class FcHbaAdapterTest : public ::testing::Test {
protected:
    void TearDown() override { HBA_FreeLibrary(); }

    // One library at path serving description; returns the refreshed adapter 0.
    uint32_t RefreshFirst(const std::string& description, const std::string& path = kOwnLibrary,
                          FakeLibrary build = FakeLibrary::Full) {
        world.InstallLibrary(path, description, build);
        world.WriteHbaConf("lib\t" + path + "\n");
        HBA_LoadLibrary();
        EXPECT_GE(HBA_GetNumberOfAdapters(), 1u);
        adapter.index = 0;
        return adapter.Refresh();
    }

    FakeHbaWorld world;
    FcHbaAdapter adapter;
};

TEST_F(FcHbaAdapterTest, NodeWWNText) {
    RefreshFirst("adapter a\nnode 20:00:00:e0:8b:1c:2d:3e\n");
    EXPECT_EQ(adapter.GetNodeWWNString(), "20:00:00:E0:8B:1C:2D:3E");
}

TEST_F(FcHbaAdapterTest, RefreshReadsAttributesAndPorts) {
    ASSERT_EQ(RefreshFirst(kQLogicAdapter), 0u);
    EXPECT_EQ(adapter.GetName(), "qlogic-QLE2562-0");
    EXPECT_EQ(adapter.GetModel(), "QLE2562  ") << "not tidied";
    EXPECT_EQ(adapter.GetDriverVersion(), "8.07.00.08-k  ") << "not tidied";
    EXPECT_EQ(adapter.GetOptionROMVersion(), "3.00");
    EXPECT_EQ(adapter.GetFirmwareVersion(), "5.06.02 (FLX)");
    EXPECT_EQ(adapter.GetIdWord(), 0x12345678u);
    EXPECT_EQ(adapter.GetNumberOfPorts(), 2u);
    ASSERT_EQ(adapter.GetPorts().size(), 2u);
    EXPECT_EQ(adapter.GetPorts()[1].GetPortWWNString(), "21:01:00:E0:8B:1C:2D:3E");
    EXPECT_EQ(adapter.GetPorts()[1].GetStatistic(3), 8) << "RxFrames of port 1";
    const std::string trace = world.Trace(kOwnLibrary);
    EXPECT_EQ(CountOf(trace, "OpenAdapter"), 1);
    EXPECT_EQ(CountOf(trace, "CloseAdapter"), 1);
}

TEST_F(FcHbaAdapterTest, FailingFirstPortIsLeftOut) {
    EXPECT_EQ(RefreshFirst(std::string(kQLogicAdapter) + "fail port 0\n"), 1u);
    ASSERT_EQ(adapter.GetPorts().size(), 1u);
    EXPECT_EQ(adapter.GetPorts()[0].GetPortIndex(), 1u);
}

TEST_F(FcHbaAdapterTest, PortWithoutStatisticsIsKeptWithZeroCounters) {
    EXPECT_EQ(RefreshFirst(std::string(kQLogicAdapter) + "fail stats 0\n"), 1u);
    ASSERT_EQ(adapter.GetPorts().size(), 2u);
    EXPECT_EQ(adapter.GetPorts()[0].GetStatistic(0), 0);
    EXPECT_EQ(adapter.GetPorts()[1].GetStatistic(0), 3600);
}

TEST_F(FcHbaAdapterTest, FailedAttributesLeaveStartValues) {
    EXPECT_EQ(RefreshFirst(std::string(kQLogicAdapter) + "fail attributes\n"), 1u);
    EXPECT_EQ(adapter.GetName(), "qlogic-QLE2562-0");
    EXPECT_EQ(adapter.GetModel(), "Undefined");
    EXPECT_EQ(adapter.GetNodeWWNString(), "00:00:00:00:00:00:00:00");
    EXPECT_EQ(adapter.GetIdWord(), 0u);
    EXPECT_TRUE(adapter.GetPorts().empty());
    EXPECT_EQ(CountOf(world.Trace(kOwnLibrary), "CloseAdapter"), 1) << "the handle is closed";
}

// A port count no adapter has is not believed: the adapter is taken as one
// whose attributes could not be read, and a log line says so.
TEST_F(FcHbaAdapterTest, PortCountPastTheBoundLeavesStartValues) {
    const struct {
        const char* ports;
        bool believed;
    } cases[] = {{"256", true}, {"257", false}, {"4294967295", false}};
    for (const auto& c : cases) {
        HBA_FreeLibrary();
        FcHbaAdapter fresh;
        fresh.index = 0;
        world.InstallLibrary(kOwnLibrary, std::string(kQLogicAdapter) + "ports " + c.ports + "\n");
        world.WriteHbaConf("lib\t" + kOwnLibrary + "\n");
        HBA_LoadLibrary();
        ASSERT_EQ(HBA_GetNumberOfAdapters(), 1u);
        EXPECT_EQ(fresh.Refresh(), 1u) << c.ports << ": ports past the two listed fail or none is read";
        EXPECT_EQ(fresh.GetModel(), c.believed ? "QLE2562  " : "Undefined") << c.ports;
        EXPECT_EQ(fresh.GetNumberOfPorts(), c.believed ? 256u : 0u) << c.ports;
        EXPECT_EQ(fresh.GetPorts().size(), c.believed ? 2u : 0u) << c.ports;
        EXPECT_EQ(fresh.GetIdWord(), c.believed ? 0x12345678u : 0u) << c.ports;
        EXPECT_EQ(fresh.GetNodeWWNString(), c.believed ? "20:00:00:E0:8B:1C:2D:3E" : "00:00:00:00:00:00:00:00");
        EXPECT_EQ(fresh.GetRefusal(), c.believed ? "" :
                  "WARNING! : Adapter qlogic-QLE2562-0 reports " + std::string(c.ports) +
                      " ports, more than 256: its attributes are not used.\n");
        EXPECT_EQ(CountOf(world.Trace(kOwnLibrary), "CloseAdapter"), 1) << c.ports << ": the handle is closed";
    }
}

// The same adapter read again, once its library reports a port count it may
// have, carries no refusal from the earlier refresh.
TEST_F(FcHbaAdapterTest, RefusalSpeaksOfTheLatestRefreshOnly) {
    RefreshFirst(std::string(kQLogicAdapter) + "ports 257\n");
    ASSERT_NE(adapter.GetRefusal(), "");
    HBA_FreeLibrary();
    EXPECT_EQ(RefreshFirst(std::string(kQLogicAdapter) + "ports 256\n"), 1u);
    EXPECT_EQ(adapter.GetNumberOfPorts(), 256u);
    EXPECT_EQ(adapter.GetRefusal(), "");
}

TEST_F(FcHbaAdapterTest, FailedOpenStoresOnlyTheName) {
    EXPECT_EQ(RefreshFirst(std::string(kQLogicAdapter) + "fail open\n"), 1u);
    EXPECT_EQ(adapter.GetName(), "qlogic-QLE2562-0");
    EXPECT_EQ(adapter.GetFirmwareVersion(), "Undefined");
}

// The layer cannot carry a vendor handle whose low 16 bits are 0.
TEST_F(FcHbaAdapterTest, UnrepresentableHandleFailsAndLeavesNothingOpen) {
    EXPECT_EQ(RefreshFirst(std::string(kQLogicAdapter) + "handle 30000\n"), 1u);
    EXPECT_EQ(adapter.GetName(), "qlogic-QLE2562-0");
    EXPECT_EQ(adapter.GetModel(), "Undefined");
    const std::string trace = world.Trace(kOwnLibrary);
    EXPECT_EQ(CountOf(trace, "OpenAdapter"), 1);
    EXPECT_EQ(CountOf(trace, "CloseAdapter 196608\n"), 1) << trace;
}

TEST_F(FcHbaAdapterTest, IndexPastTheTableChangesNothing) {
    RefreshFirst("adapter a\n");
    FcHbaAdapter beyond;
    beyond.index = 1;
    EXPECT_EQ(beyond.Refresh(), 1u);
    EXPECT_EQ(beyond.GetName(), "Undefined");
}

TEST_F(FcHbaAdapterTest, TextsFillingTheirFieldAreCutNotOverrun) {
    RefreshFirst("adapter a\nfill Manufacturer m\nfill Model o\nfill OptionROMVersion r\nfill DriverName d\n");
    EXPECT_EQ(adapter.GetManufacturer(), std::string(63, 'm'));
    EXPECT_EQ(adapter.GetModel(), std::string(256, 'o')) << "read up to its bound";
    EXPECT_EQ(adapter.GetOptionROMVersion(), std::string(255, 'r'));
    EXPECT_EQ(adapter.GetDriverName(), std::string(256, 'd'));
}

TEST_F(FcHbaAdapterTest, LibraryWithoutAttributeEntryPointGivesEmptyTexts) {
    RefreshFirst("adapter a\nomit GetAdapterAttributes\n");
    EXPECT_EQ(adapter.GetModel(), "");
    EXPECT_EQ(adapter.GetNumberOfPorts(), 0u);
}

// The adapter's own HBA API library is its vendor's management library.
TEST_F(FcHbaAdapterTest, OwnLibraryGivesIdentityAndAddress) {
    RefreshFirst(kQLogicAdapter);
    adapter.LocatePciDevice();
    EXPECT_EQ(adapter.GetIdWord(), 0x015d1077u);
    EXPECT_EQ(adapter.GetPciBus(), 0x0b);
    EXPECT_EQ(adapter.GetPciFunction(), 1);
    EXPECT_EQ(adapter.GetPciDomain(), 0);
    const std::string trace = world.Trace(kOwnLibrary);
    EXPECT_NE(trace.find("ORBILFC_GetAdapterAttributes2 1\n"), std::string::npos) << trace;
    EXPECT_EQ(CountOf(trace, "LoadLibrary"), 1) << "no reload on this route";
    EXPECT_EQ(CountOf(trace, "OpenAdapter"), CountOf(trace, "CloseAdapter"));
}

TEST_F(FcHbaAdapterTest, OwnLibraryWithoutExtensionLeavesVendorId) {
    RefreshFirst(kQLogicAdapter, kOwnLibrary, FakeLibrary::ApiOnly);
    adapter.LocatePciDevice();
    EXPECT_EQ(adapter.GetIdWord(), 0x12345678u);
    EXPECT_EQ(adapter.GetPciBus(), 0);
}

TEST_F(FcHbaAdapterTest, OwnLibraryNotKnowingTheWWNLeavesVendorId) {
    RefreshFirst(std::string(kQLogicAdapter) + "ext-node 20:00:00:00:00:00:00:01\n");
    adapter.LocatePciDevice();
    EXPECT_EQ(adapter.GetIdWord(), 0x12345678u);
    EXPECT_EQ(adapter.GetPciBus(), 0);
    EXPECT_NE(world.Trace(kOwnLibrary).find("ORBILFC_GetAdapterAttributes2"), std::string::npos);
}

// An Emulex adapter reported by a plain HBA API library: its management
// library is loaded on its own, and the HBA API libraries are reloaded.
TEST_F(FcHbaAdapterTest, DirectRouteScansTheVendorLibraryAndReloads) {
    const std::string emulex =
        "adapter Emulex-LPe12002-0\nnode 20:00:00:00:c9:aa:bb:01\nvendor-id 0000f100\n"
        "subsystem f10010df\npci 0e 1 0\n";
    world.InstallLibrary("/usr/lib64/libemsdm.so", "adapter Emulex-other\nnode 20:00:00:00:c9:00:00:09\n" + emulex);
    RefreshFirst(emulex, "/usr/lib/libemhbaapi.so", FakeLibrary::ApiOnly);
    adapter.LocatePciDevice();
    EXPECT_EQ(adapter.GetIdWord(), 0xf10010dfu);
    EXPECT_EQ(adapter.GetPciBus(), 0x0e);
    EXPECT_EQ(adapter.GetPciFunction(), 1);

    const std::string hba = world.Trace("/usr/lib/libemhbaapi.so");
    EXPECT_EQ(CountOf(hba, "FreeLibrary"), 1);
    EXPECT_EQ(CountOf(hba, "LoadLibrary"), 2) << "loaded again after the scan";
    EXPECT_NE(HBA_OpenAdapter("Emulex-LPe12002-0"), 0u) << "the reloaded library answers";
    const std::string vendor = world.Trace("/usr/lib64/libemsdm.so");
    EXPECT_EQ(CountOf(vendor, "ORBILFC_OpenAdapter"), 2) << vendor;
    EXPECT_EQ(CountOf(vendor, "ORBILFC_CloseAdapter"), 2) << vendor;
    EXPECT_EQ(CountOf(vendor, "ORBILFC_FreeLibrary"), 1) << vendor;
}

TEST_F(FcHbaAdapterTest, DirectRouteWithoutVendorLibraryLeavesVendorId) {
    RefreshFirst("adapter Emulex-LPe12002-0\nvendor-id 0000f100\n", "/usr/lib/libemhbaapi.so");
    adapter.LocatePciDevice();
    EXPECT_EQ(adapter.GetIdWord(), 0x0000f100u);
    EXPECT_EQ(adapter.GetPciDomain(), 0);
    EXPECT_NE(HBA_OpenAdapter("Emulex-LPe12002-0"), 0u);
}

}  // namespace
