#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "test_component.h"

namespace {

const char kBanner[] = "---------------------------------------------------\n";
const char kLoaded[] = "Loading references...done.\nPerforming discovery...\n";

void WriteCatalogue() {
    std::ofstream("reference.xml") << "<taverin_fchba_reference><devices><device>"
                                      "<type value=\"HBA\"/><device_id value=\"1077.2532.1077.015d\"/>"
                                      "</device></devices></taverin_fchba_reference>";
}

using Actions = std::vector<std::wstring>;

struct RunCase {
    const char* name;
    bool adapters;                 // discovery finds an adapter
    std::vector<Actions> devices;  // matched devices, by their items' actions
    bool discoverOnly;
    const char* path;
    bool force;
    int flashStatus;
    int status;
    const char* tail;  // console after the banner and the loading lines
    int flashCalls;
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

const RunCase kRuns[] = {
    {"no_adapter", false, {}, false, "", false, 0, 7, "WARNING! : No supported adapters found.\n", 0},
    {"report_written", true, {{L"upgrade"}}, true, "report.xml", false, 0, 3,
     "Generating self-discovery XML...done.\n", 0},
    {"report_not_writable", true, {}, true, "no/such/dir/report.xml", false, 0, 7,
     "Generating self-discovery XML...FAILED!\ndone.\n", 0},
    {"report_wins_over_force", true, {{L"upgrade"}}, true, "report.xml", true, 0, 3,
     "Generating self-discovery XML...done.\n", 0},
    {"nothing_to_upgrade", true, {{L"rewrite"}, {L"downgrade"}}, false, "", false, 0, 3,
     "NOTICE : No operation was done.\n", 0},
    {"upgrade_compared_exactly", true, {{L"Upgrade"}}, false, "", false, 0, 3,
     "NOTICE : No operation was done.\n", 0},
    {"no_device_no_force", true, {}, false, "", false, 0, 3, "NOTICE : No operation was done.\n", 0},
    {"no_device_forced", true, {}, false, "", true, 0, 3, "ERROR! : No supported hardware was found.\n", 0},
    {"upgrade_flashes", true, {{L"rewrite"}, {L"upgrade"}}, false, "", false, 1, 1,
     "Performing flash -- DO NOT INTERRUPT!\nFlash complete [1]\n", 1},
    {"forced_rewrite_flashes", true, {{L"rewrite", L"downgrade"}}, false, "", true, 7, 7,
     "Performing flash -- DO NOT INTERRUPT!\nFlash complete [7]\n", 1},
    {"forced_unknown_flashes", true, {{L"unknown"}}, false, "", true, 18, 18,
     "Performing flash -- DO NOT INTERRUPT!\nFlash complete [18]\n", 1},
};

class RunTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(RunTest, EndsWithItsMessageAndStatus) {
    const RunCase& c = GetParam();
    WriteCatalogue();
    TestCmp cmp;
    if (c.adapters) cmp.AddAdapter("10772532", "1077015d");
    for (const Actions& a : c.devices) cmp.matched.push_back(DeviceWithActions(a));
    cmp.discoverOnly = c.discoverOnly;
    cmp.discoveryXmlPath = c.path;
    cmp.force = c.force;
    cmp.flashStatus = c.flashStatus;

    ::testing::internal::CaptureStdout();
    const int status = cmp.Run();
    const std::string out = ::testing::internal::GetCapturedStdout();

    EXPECT_EQ(status, c.status);
    EXPECT_EQ(out, std::string(kBanner) + kLoaded + c.tail);
    EXPECT_EQ(cmp.flashCalls, c.flashCalls);
    struct stat st;
    EXPECT_EQ(stat(c.path, &st) == 0, c.discoverOnly && c.status == 3);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, RunTest, ::testing::ValuesIn(kRuns),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Run, MissingCatalogueFailsBeforeDiscovery) {
    std::remove("reference.xml");
    TestCmp cmp;
    cmp.AddAdapter("10772532", "1077015d");
    cmp.matched.push_back(DeviceWithActions({L"upgrade"}));
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(cmp.Run(), 7);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), std::string(kBanner) + "Loading references...FAILED!\n");
    EXPECT_TRUE(cmp.discovery.devices.empty());
}

TEST(Run, DiscoverySetsTheHeaderFromTheFirstCatalogueDevice) {
    WriteCatalogue();
    TestCmp cmp;
    cmp.AddAdapter("N/A", "1077015d");
    cmp.log.SetQuiet(true);
    cmp.Run();
    EXPECT_EQ(cmp.discovery.type, L"HBA");
    EXPECT_EQ(cmp.discovery.alt_name, L"");
}

TEST(Run, BaseComponentListsNothingAndDoesNothing) {
    WriteCatalogue();
    struct Base : CBaseCmp {
        using CBaseCmp::force;
        using CBaseCmp::hbaDiscovery;
    } cmp;
    cmp.hbaDiscovery.records.push_back(std::make_unique<FcHbaDeviceRecord>());
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(cmp.Run(), 3);
    cmp.force = true;
    EXPECT_EQ(cmp.Run(), 3);
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("NOTICE : No operation was done.\n"), std::string::npos);
    EXPECT_NE(out.find("ERROR! : No supported hardware was found.\n"), std::string::npos);
}

struct SummaryCase {
    const char* name;
    std::vector<Actions> devices;
    int summary;
};

void PrintTo(const SummaryCase& c, std::ostream* os) { *os << c.name; }

const SummaryCase kSummaries[] = {
    {"empty", {}, 0},
    {"only_unknown", {{L"unknown"}, {L""}}, 0},
    {"rewrite", {{L"rewrite"}}, 2},
    {"downgrade_over_rewrite", {{L"rewrite"}, {L"downgrade"}}, 4},
    {"upgrade_over_all", {{L"downgrade", L"rewrite"}, {L"upgrade"}}, 1},
    {"upgrade_in_second_item", {{L"unknown", L"upgrade"}}, 1},
    {"case_matters", {{L"UPGRADE"}, {L"Rewrite"}}, 0},
};

class SummaryTest : public ::testing::TestWithParam<SummaryCase> {};

TEST_P(SummaryTest, RanksUpgradeDowngradeRewrite) {
    TestCmp cmp;
    for (const Actions& a : GetParam().devices) cmp.discovery.devices.push_back(DeviceWithActions(a));
    EXPECT_EQ(cmp.GetActionSummary(), GetParam().summary);
    EXPECT_EQ(cmp.HasDevices(), !GetParam().devices.empty());
}

INSTANTIATE_TEST_SUITE_P(Actions, SummaryTest, ::testing::ValuesIn(kSummaries),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
