// Whole runs of the executable on the demo machine (a QLE2562 listed in the
// catalogue and an LPe12002 that is not, behind two HBA API libraries), with
// a fake QLogic flash engine in the working directory: one table over the
// outcomes of a run.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "fake_hba_world.h"
#include "sandbox_run.h"

namespace {

const std::string kStart =
    "---------------------------------------------------\n"
    "Loading references...done.\n"
    "Performing discovery...\n";

// The catalogue entry for the QLE2562, whose installed boot BIOS is 2.02.
std::string Catalogue(const char* deviceId, const char* bios) {
    return std::string("<?xml version=\"1.0\"?>\n<taverin_fchba_reference><devices>") +
           "<device><type value=\"Fibre Channel HBA\"/><device_id value=\"" + deviceId +
           "\"/><model value=\"QLE2562\"/><bios value=\"" + bios +
           "\"/><duration value=\"120\"/></device></devices></taverin_fchba_reference>\n";
}

std::string FlashTail(const char* command, int code, int status) {
    return "Performing flash -- DO NOT INTERRUPT!\nExecuting flash engine: " + std::string(command) +
           "\nFlash Engine exit code: " + std::to_string(code) + "\nFlash complete [" + std::to_string(status) + "]\n";
}

struct RunCase {
    const char* name;
    const char* deviceId;  // of the one catalogue entry; null: no reference.xml
    const char* bios;
    bool adapters;         // false: no HBA API library listed
    std::vector<std::string> words;
    const char* engineEnds;
    int status;
    const char* engine;    // the engine command as logged; null: the engine must not run
    int code;              // the engine code logged
    const char* tail;      // console after the start lines, when the engine does not run
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

const char kQLE[] = "1077.2532.1077.015d";
const char kEngine[] = "./zorvqlafwupdate";

const RunCase kRuns[] = {
    {"catalogue_missing", nullptr, "", true, {"/f"}, "exit 0", 7, nullptr, 0, ""},
    {"no_adapter", kQLE, "3.00", false, {"/f"}, "exit 0", 7, nullptr, 0, "WARNING! : No supported adapters found.\n"},
    {"report", kQLE, "3.00", true, {"/d", "report.xml", "/f"}, "exit 0", 3, nullptr, 0,
     "Generating self-discovery XML...done.\n"},
    {"nothing_to_upgrade", kQLE, "2.02", true, {}, "exit 0", 3, nullptr, 0, "NOTICE : No operation was done.\n"},
    {"downgrade_not_forced", kQLE, "2.01", true, {}, "exit 0", 3, nullptr, 0, "NOTICE : No operation was done.\n"},
    {"no_match_forced", "1077.2532.1077.0999", "3.00", true, {"/f"}, "exit 0", 3, nullptr, 0,
     "ERROR! : No supported hardware was found.\n"},
    {"contained_id_matches", "QLE2562 family: 1077.2532.1077.015D", "3.00", true, {}, "exit 0", 1, kEngine, 0, ""},
    {"upgrade", kQLE, "3.00", true, {}, "exit 0", 1, kEngine, 0, ""},
    {"rewrite_forced", kQLE, "2.02", true, {"-f"}, "exit 1", 3, "./zorvqlafwupdate /f", 1, ""},
    {"engine_failed", kQLE, "3.00", true, {}, "exit 2", 7, kEngine, 2, ""},
    {"engine_code_passed_on", kQLE, "3.00", true, {}, "exit 11", 11, kEngine, 11, ""},
    {"engine_code_14", kQLE, "3.00", true, {}, "exit 14", 7, kEngine, 14, ""},
    {"engine_code_18", kQLE, "3.00", true, {}, "exit 18", 18, kEngine, 18, ""},
    {"engine_killed", kQLE, "3.00", true, {}, "kill KILL", 137, kEngine, 137, ""},
    {"silent_forced", kQLE, "3.00", true, {"/f", "/s"}, "exit 0", 1, "./zorvqlafwupdate /s /f", 0, ""},
};

class RunE2e : public ::testing::TestWithParam<RunCase> {};

TEST_P(RunE2e, ConsoleLogAndStatus) {
    const RunCase& c = GetParam();
    SandboxCase sandbox;
    LayDemoMachine(sandbox);
    std::remove(sandbox.SetupPath("work/reference.xml").c_str());
    if (c.deviceId) sandbox.Write("work/reference.xml", Catalogue(c.deviceId, c.bios));
    if (!c.adapters) sandbox.Write("etc/hba.conf", "# no adapter installed\n");
    sandbox.Write("work/zorvqlafwupdate", ReadFile(std::string(FCHBA_FIXTURES) + "/engines/fake-engine"), 0644);
    sandbox.Write("work/engine-status", std::string(c.engineEnds) + "\n");

    const SandboxResult r = sandbox.RunComponent(c.words);
    ASSERT_TRUE(r.ran) << r.err;
    EXPECT_EQ(r.status, c.status) << r.out;
    const std::string run = !c.deviceId ? "---------------------------------------------------\n"
                                          "Loading references...FAILED!\n"
                            : c.engine  ? kStart + FlashTail(c.engine, c.code, c.status)
                                        : kStart + c.tail;
    const bool silent = c.words.size() > 1 && c.words[1] == "/s";
    EXPECT_EQ(r.out, silent ? "" : run);
    if (!c.engine) {
        EXPECT_FALSE(r.HasWorkFile("engine-calls"));
        EXPECT_EQ(r.log, run);
        return;
    }
    EXPECT_EQ(r.WorkFile("engine-calls"), std::string(c.engine) + "\n");
    // Nothing logged is lost: the engine's three streams land, in order,
    // between "Executing" and its exit code (a shell may add its own word
    // on a killed engine).
    const size_t split = run.find("Flash Engine exit code");
    const std::string before = run.substr(0, split) + "engine stdout\nengine stderr\nengine fd3\n";
    EXPECT_EQ(r.log.substr(0, before.size()), before);
    ASSERT_GE(r.log.size(), before.size() + run.size() - split);
    EXPECT_EQ(r.log.substr(r.log.size() - (run.size() - split)), run.substr(split));
    struct stat st;
    ASSERT_EQ(stat((r.resultDir + "/work/zorvqlafwupdate").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0755u);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, RunE2e, ::testing::ValuesIn(kRuns),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RunE2eReport, ListsTheMatchedAdapterFieldByField) {
    SandboxCase sandbox;
    LayDemoMachine(sandbox);
    sandbox.Write("work/reference.xml", Catalogue(kQLE, "3.00"));
    const SandboxResult r = sandbox.RunComponent({"/d", "out/report.xml"});
    ASSERT_TRUE(r.ran) << r.err;
    EXPECT_EQ(r.status, 7) << "the report's directory does not exist";
    EXPECT_EQ(r.out, kStart + "Generating self-discovery XML...FAILED!\ndone.\n");

    const SandboxResult written = sandbox.RunShell("mkdir out && " + ShellQuote(FCHBA_COMPONENT_EXE) + " /d out/report.xml");
    EXPECT_EQ(written.status, 3);
    EXPECT_EQ(written.WorkFile("out/report.xml"),
              "<?xml version=\"1.0\"?>\n"
              "<zorv_rom_discovery version=\"2.0.0.0\">\n"
              "  <type value=\"Fibre Channel HBA\"/>\n"
              "  <alt_name value=\"\"/>\n"
              "  <version value=\"\"/>\n"
              "  <takes_effect value=\"\"/>\n"
              "  <devices>\n"
              "    <device>\n"
              "      <device_id value=\"1077.2532.1077.015d\"/>\n"
              "      <product_id value=\"QLE2562\"/>\n"
              "      <busnumber value=\"\"/>\n"
              "      <funcnumber value=\"\"/>\n"
              "      <fw_item>\n"
              "        <type value=\"Boot BIOS ROM\"/>\n"
              "        <firmware_id value=\"\"/>\n"
              "        <version value=\"3.00\"/>\n"
              "        <active_version value=\"2.02\"/>\n"
              "        <action value=\"upgrade\"/>\n"
              "        <duration value=\"120\"/>\n"
              "        <message value=\"\"/>\n"
              "        <shared value=\"no\"/>\n"
              "      </fw_item>\n"
              "    </device>\n"
              "  </devices>\n"
              "</zorv_rom_discovery>\n");
}

// A library that reports more ports than any adapter has: the adapter is
// taken as one whose attributes could not be read, and the log says so.
TEST(RunE2eDiscovery, PortCountPastTheBoundIsNotBelieved) {
    SandboxCase sandbox;
    LayDemoMachine(sandbox);
    sandbox.Write("work/reference.xml", Catalogue(kQLE, "3.00"));
    const std::string fixture = "usr/lib/libqlsdm.so.fixture";
    sandbox.Write(fixture, ReadFile(sandbox.SetupPath(fixture)) + "ports 4294967295\n");

    const SandboxResult r = sandbox.RunComponent({});
    ASSERT_TRUE(r.ran) << r.err;
    EXPECT_EQ(r.status, 3);
    const std::string warning =
        "WARNING! : Adapter qlogic-QLE2562-0 reports 4294967295 ports, more than 256: its attributes are not used.\n";
    EXPECT_EQ(r.out, kStart + "MRA get returned failed status!\n" + warning + "NOTICE : No operation was done.\n");
    EXPECT_EQ(r.log, kStart + warning + "NOTICE : No operation was done.\n");
}

// A vendor library that reports control bytes: the report shows them as
// control pictures instead of holding bytes that no XML parser reads.
TEST(RunE2eReport, ControlBytesFromTheVendorLibraryAreShownVisibly) {
    SandboxCase sandbox;
    LayDemoMachine(sandbox);
    sandbox.Write("work/reference.xml", Catalogue(kQLE, "3.00"));
    const std::string fixture = "usr/lib/libqlsdm.so.fixture";
    std::string adapter = ReadFile(sandbox.SetupPath(fixture));
    adapter.replace(adapter.find("attr Model QLE2562"), 18, "attr Model QLE\x01");
    adapter.replace(adapter.find("attr OptionROMVersion 2.02"), 26, "attr OptionROMVersion 1\x1b" "2");
    sandbox.Write(fixture, adapter);

    const SandboxResult r = sandbox.RunComponent({"/s", "/d", "report.xml"});
    ASSERT_TRUE(r.ran) << r.err;
    EXPECT_EQ(r.status, 3);
    const std::string report = r.WorkFile("report.xml");
    EXPECT_NE(report.find("<product_id value=\"QLE&#x2401;\"/>"), std::string::npos) << report;
    EXPECT_NE(report.find("<active_version value=\"1&#x241B;2\"/>"), std::string::npos) << report;
}

}  // namespace
