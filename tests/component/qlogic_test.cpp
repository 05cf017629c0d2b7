#include <gtest/gtest.h>

#include <string>

#include "engine_fixture.h"
#include "test_component.h"
#include "vendors/qlogic_component.h"

namespace {

using QLogic = Exposed<QLogicComp::CComponent>;

TEST(QLogicNormalizeVersion, CutsAtBlankThenDropsFirstVDot) {
    QLogicComp::CComponent cmp;
    EXPECT_EQ(cmp.NormalizeVersion(L"v.2.10 build 7"), L"2.10");
    EXPECT_EQ(cmp.NormalizeVersion(L"2.10"), L"2.10");
    EXPECT_EQ(cmp.NormalizeVersion(L"1v.2v.3"), L"12v.3");
    EXPECT_EQ(cmp.NormalizeVersion(L"V.2.10"), L"V.2.10");
    EXPECT_EQ(cmp.NormalizeVersion(L"2.10 v.3"), L"2.10");
    EXPECT_EQ(cmp.NormalizeVersion(L""), L"");
}

TEST(QLogicFindReferenceDevice, ExactFirstThenContained) {
    QLogic cmp;
    cmp.AddCatalogueDevice(L"10df.fe00.10df.fe00");
    cmp.AddCatalogueDevice(L"list: 1077.2532.1077.015D, 1077.2532.1077.015e");
    cmp.AddCatalogueDevice(L"1077.2532");
    cmp.AddCatalogueDevice(L"1077.2532.1077.015d");
    EXPECT_EQ(cmp.FindReferenceDevice(L"1077.2532.1077.015D"), 3);  // exact beats an earlier contained one
    EXPECT_EQ(cmp.FindReferenceDevice(L"1077.2532.1077.015e"), 1);
    EXPECT_EQ(cmp.FindReferenceDevice(L"10DF.FE00"), 0);
    EXPECT_EQ(cmp.FindReferenceDevice(L"1077.2532.1077.0999"), -1);  // a catalogue id inside the identity is no match
    EXPECT_EQ(cmp.CBaseCmp::FindReferenceDevice(L"1077.2532.1077.015e"), -1);
}

TEST(QLogicBuildDeviceList, OneBootBiosItemPerMatchedAdapter) {
    QLogic cmp;
    cmp.AddCatalogueDevice(L"x 1077.2532.1077.015D x", L"3.00");
    cmp.AddAdapter("10772532", "1077015d", "QLE2562", "v.2.10 (build)");
    cmp.AddAdapter("N/A", "10df1234", "LPe", "1.0");  // not in the catalogue
    cmp.AddAdapter("10772532", "1077015d", "QLE2562-second", "3.00");
    cmp.BuildDeviceList();
    ASSERT_EQ(cmp.discovery.devices.size(), 2u);
    const CDevice& first = cmp.discovery.devices[0];
    EXPECT_EQ(first.device_id, L"x 1077.2532.1077.015D x");
    EXPECT_EQ(first.product_id, L"QLE2562");
    EXPECT_EQ(first.busnumber, L"");
    ASSERT_EQ(first.fw_items.size(), 1u);
    const CFwItem& item = first.fw_items[0];
    EXPECT_EQ(item.type, L"Boot BIOS ROM");
    EXPECT_EQ(item.version, L"3.00");
    EXPECT_EQ(item.active_version, L"2.10");
    EXPECT_EQ(item.action, L"upgrade");
    EXPECT_EQ(item.duration, L"90");
    EXPECT_EQ(item.shared, L"no");
    EXPECT_EQ(item.firmware_id, L"");
    EXPECT_EQ(cmp.discovery.devices[1].product_id, L"QLE2562-second");
    EXPECT_EQ(cmp.discovery.devices[1].fw_items[0].action, L"rewrite");
}

TEST(QLogicDiscover, CatalogueWithoutDevicesMatchesNothing) {
    QLogic cmp;
    cmp.AddAdapter("10772532", "1077015d", "QLE2562", "2.10");
    cmp.discovery.type = L"stale";  // discovery sets the header, also to the empty text
    cmp.log.SetQuiet(true);
    ASSERT_TRUE(cmp.Discover());
    EXPECT_EQ(cmp.discovery.type, L"");
    EXPECT_TRUE(cmp.discovery.devices.empty());
    EXPECT_EQ(cmp.FindReferenceDevice(L"1077.2532.1077.015d"), -1);
    EXPECT_EQ(cmp.FindReferenceDevice(L""), -1);
    EXPECT_EQ(cmp.CBaseCmp::FindReferenceDevice(L""), -1);
}

struct FlashCase {
    const char* name;
    const char* ends;  // how the engine ends
    int code;          // logged engine code
    int status;        // returned exit status
};

void PrintTo(const FlashCase& c, std::ostream* os) { *os << c.name; }

const FlashCase kFlashes[] = {
    {"ok", "exit 0", 0, 1},           {"one", "exit 1", 1, 3},     {"two", "exit 2", 2, 7},
    {"ten", "exit 10", 10, 7},        {"eleven", "exit 11", 11, 11}, {"fourteen", "exit 14", 14, 7},
    {"fifteen", "exit 15", 15, 15},   {"sixteen", "exit 16", 16, 7}, {"seventeen", "exit 17", 17, 7},
    {"eighteen", "exit 18", 18, 18},  {"max", "exit 255", 255, 255},
    {"killed", "kill KILL", 137, 137}, {"terminated", "kill TERM", 143, 143},
    {"shell_killed", "kill-shell KILL", 137, 137},
};

class QLogicFlashTest : public ::testing::TestWithParam<FlashCase> {};

TEST_P(QLogicFlashTest, MapsTheEngineCode) {
    const FlashCase& c = GetParam();
    InstallEngine("./zorvqlafwupdate");
    EngineEnds(c.ends);
    QLogic cmp;
    cmp.log.SetQuiet(true);
    EXPECT_EQ(cmp.Flash(), c.status);
    EXPECT_TRUE(LoggedEngineCode(c.code));
}

INSTANTIATE_TEST_SUITE_P(Codes, QLogicFlashTest, ::testing::ValuesIn(kFlashes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(QLogicFlash, PassesSwitchesInOrderAndKeepsTheLog) {
    InstallEngine("./zorvqlafwupdate");
    EngineEnds("exit 0");
    QLogic cmp;
    cmp.silent = cmp.force = true;
    cmp.log << "before\n";
    ::testing::internal::CaptureStdout();
    cmp.Flash();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "Executing flash engine: ./zorvqlafwupdate /s /f\nFlash Engine exit code: 0\n");
    EXPECT_EQ(ReadFile("engine-calls"), "./zorvqlafwupdate /s /f\n");
    // Nothing logged before is lost, and no engine stream overwrites another.
    EXPECT_EQ(ReadFile("/var/orbil/Component.log"),
              "before\nExecuting flash engine: ./zorvqlafwupdate /s /f\n"
              "engine stdout\nengine stderr\nengine fd3\nFlash Engine exit code: 0\n");
    EXPECT_EQ(FileMode("./zorvqlafwupdate"), 0755);
}

TEST(QLogicFlash, MissingEngineGivesTheShellsCode) {
    QLogic cmp;
    cmp.log.SetQuiet(true);
    EXPECT_EQ(cmp.Flash(), 127);
}

}  // namespace
