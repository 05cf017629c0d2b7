#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <fstream>
#include <string>

#include "sandbox_run.h"
#include "test_component.h"

namespace {

TEST(DiscoveryReport, EmptyRecordHasHeaderAndEmptyDevices) {
    TestCmp cmp;
    cmp.discoveryXmlPath = "report.xml";
    ASSERT_TRUE(cmp.WriteDiscoveryXml());
    EXPECT_EQ(ReadFile("report.xml"),
              "<?xml version=\"1.0\"?>\n"
              "<zorv_rom_discovery version=\"2.0.0.0\">\n"
              "  <type value=\"\"/>\n"
              "  <alt_name value=\"\"/>\n"
              "  <version value=\"\"/>\n"
              "  <takes_effect value=\"\"/>\n"
              "  <devices/>\n"
              "</zorv_rom_discovery>\n");
}

CFwItem Item(const wchar_t* type, const wchar_t* version, const wchar_t* active, const wchar_t* action,
             const wchar_t* shared) {
    CFwItem item;
    item.type = type;
    item.version = version;
    item.active_version = active;
    item.action = action;
    item.duration = L"120";
    item.shared = shared;
    return item;
}

TEST(DiscoveryReport, TwoDevicesInOrderWithCatalogueBytes) {
    TestCmp cmp;
    cmp.discoveryXmlPath = "report.xml";
    // The UTF-8 bytes of "é" as the catalogue reader widens them.
    cmp.discovery.type = std::wstring{L'H', L'B', L'A', wchar_t(-61), wchar_t(-87)};
    cmp.discovery.osName = L"rhel5";  // never written
    CDevice first;
    first.device_id = L"1077.2532.1077.015d";
    first.product_id = L"QLE2562 \"dual\" & <co>";
    first.fw_items.push_back(Item(L"Boot BIOS ROM", L"3.00", L"2.10", L"upgrade", L"no"));
    CDevice second;
    second.device_id = L"10df.fe00.10df.fe00";
    second.product_id = L"LPe12002";
    second.fw_items.push_back(Item(L"Firmware", L"2.01", L"2.01", L"rewrite", L"no"));
    second.fw_items.push_back(Item(L"Boot BIOS ROM", L"5.1", L"6.0", L"downgrade", L""));
    cmp.discovery.devices = {first, second};

    ASSERT_TRUE(cmp.WriteDiscoveryXml());
    const std::string item1 =
        "        <type value=\"Boot BIOS ROM\"/>\n"
        "        <firmware_id value=\"\"/>\n"
        "        <version value=\"3.00\"/>\n"
        "        <active_version value=\"2.10\"/>\n"
        "        <action value=\"upgrade\"/>\n"
        "        <duration value=\"120\"/>\n"
        "        <message value=\"\"/>\n"
        "        <shared value=\"no\"/>\n";
    EXPECT_EQ(ReadFile("report.xml"),
              "<?xml version=\"1.0\"?>\n"
              "<zorv_rom_discovery version=\"2.0.0.0\">\n"
              "  <type value=\"HBA&#xE9;\"/>\n"  // no encoding declared: a character reference
              "  <alt_name value=\"\"/>\n"
              "  <version value=\"\"/>\n"
              "  <takes_effect value=\"\"/>\n"
              "  <devices>\n"
              "    <device>\n"
              "      <device_id value=\"1077.2532.1077.015d\"/>\n"
              "      <product_id value=\"QLE2562 &quot;dual&quot; &amp; &lt;co&gt;\"/>\n"
              "      <busnumber value=\"\"/>\n"
              "      <funcnumber value=\"\"/>\n"
              "      <fw_item>\n" +
                  item1 +
                  "      </fw_item>\n"
                  "    </device>\n"
                  "    <device>\n"
                  "      <device_id value=\"10df.fe00.10df.fe00\"/>\n"
                  "      <product_id value=\"LPe12002\"/>\n"
                  "      <busnumber value=\"\"/>\n"
                  "      <funcnumber value=\"\"/>\n"
                  "      <fw_item>\n"
                  "        <type value=\"Firmware\"/>\n"
                  "        <firmware_id value=\"\"/>\n"
                  "        <version value=\"2.01\"/>\n"
                  "        <active_version value=\"2.01\"/>\n"
                  "        <action value=\"rewrite\"/>\n"
                  "        <duration value=\"120\"/>\n"
                  "        <message value=\"\"/>\n"
                  "        <shared value=\"no\"/>\n"
                  "      </fw_item>\n"
                  "      <fw_item>\n"
                  "        <type value=\"Boot BIOS ROM\"/>\n"
                  "        <firmware_id value=\"\"/>\n"
                  "        <version value=\"5.1\"/>\n"
                  "        <active_version value=\"6.0\"/>\n"
                  "        <action value=\"downgrade\"/>\n"
                  "        <duration value=\"120\"/>\n"
                  "        <message value=\"\"/>\n"
                  "        <shared value=\"\"/>\n"
                  "      </fw_item>\n"
                  "    </device>\n"
                  "  </devices>\n"
                  "</zorv_rom_discovery>\n");
}

TEST(DiscoveryReport, ReplacesAnExistingFile) {
    std::ofstream("report.xml") << "stale stale stale stale stale stale stale stale stale stale stale";
    TestCmp cmp;
    cmp.discoveryXmlPath = "report.xml";
    ASSERT_TRUE(cmp.WriteDiscoveryXml());
    EXPECT_EQ(ReadFile("report.xml").rfind("<?xml", 0), 0u);
    EXPECT_EQ(ReadFile("report.xml").find("stale"), std::string::npos);
}

TEST(DiscoveryReport, UnwritablePathIsAFailure) {
    TestCmp cmp;
    cmp.discoveryXmlPath = "missing/dir/report.xml";
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(cmp.WriteDiscoveryXml());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "missing/dir/report.xml: No such file or directory\n");
}

TEST(DiscoveryReport, ShortWriteIsAFailure) {
    TestCmp cmp;
    cmp.discoveryXmlPath = "/dev/full";  // opens, then every write fails
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(cmp.WriteDiscoveryXml());
    EXPECT_NE(::testing::internal::GetCapturedStderr(), "");  // libxml2's own report
}

size_t OpenDescriptors() {
    const std::filesystem::directory_iterator fds("/proc/self/fd");
    return static_cast<size_t>(std::distance(std::filesystem::begin(fds), std::filesystem::end(fds)));
}

// The report's file is closed again, whether the report was written or not.
TEST(DiscoveryReport, LeavesNoDescriptorOpen) {
    for (const char* path : {"report.xml", "/dev/full"}) {
        TestCmp cmp;
        cmp.discoveryXmlPath = path;
        const size_t before = OpenDescriptors();
        ::testing::internal::CaptureStderr();
        for (int i = 0; i < 3; ++i) cmp.WriteDiscoveryXml();
        ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(OpenDescriptors(), before) << path;
    }
}

class ReportPathTest : public ::testing::TestWithParam<const char*> {};

// The path names a file relative to the working directory, as it is: no
// percent escape is decoded and "-" is no standard output.
TEST_P(ReportPathTest, WritesExactlyTheNamedFile) {
    ASSERT_EQ(std::system("mkdir -p b"), 0);  // where "b%2Fc.xml" decoded would lead
    TestCmp cmp;
    cmp.discoveryXmlPath = GetParam();
    ::testing::internal::CaptureStdout();
    ASSERT_TRUE(cmp.WriteDiscoveryXml());
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(ReadFile(GetParam()).rfind("<?xml version=\"1.0\"?>\n<zorv_rom_discovery", 0), 0u);
    EXPECT_EQ(std::system("test -z \"$(ls -A b)\""), 0) << "a decoded name was written";
}

INSTANTIATE_TEST_SUITE_P(Names, ReportPathTest,
                         ::testing::Values("a%41.xml", "b%2Fc.xml", "-"));

// A vendor library may hand over control bytes; XML cannot carry them, so the
// report shows each as its control picture and stays well-formed.
TEST(DiscoveryReport, ControlBytesBecomeVisibleStandIns) {
    TestCmp cmp;
    cmp.discoveryXmlPath = "report.xml";
    CDevice device;
    device.product_id = L"\x01";
    device.busnumber = std::wstring(L"a\tb\nc\rd\x7f") + wchar_t(0x11f);  // allowed bytes, and a low byte of 0x1f
    CFwItem item;
    item.active_version = L"1\x1b" L"2\x1f";
    device.fw_items.push_back(item);
    cmp.discovery.devices.push_back(device);
    ASSERT_TRUE(cmp.WriteDiscoveryXml());

    const std::string report = ReadFile("report.xml");
    EXPECT_NE(report.find("<product_id value=\"&#x2401;\"/>"), std::string::npos) << report;
    EXPECT_NE(report.find("<busnumber value=\"a&#9;b&#10;c&#13;d\x7f&#x241F;\"/>"), std::string::npos) << report;
    EXPECT_NE(report.find("<active_version value=\"1&#x241B;2&#x241F;\"/>"), std::string::npos) << report;
    xmlDoc* parsed = xmlReadMemory(report.data(), static_cast<int>(report.size()), "report.xml", nullptr, XML_PARSE_NONET);
    EXPECT_NE(parsed, nullptr) << "the report is not well-formed";
    xmlFreeDoc(parsed);
}

}  // namespace
