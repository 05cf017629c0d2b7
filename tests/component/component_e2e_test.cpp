// The real executable in the sandbox: exact console output, log file and
// exit status for the paths that need no adapter.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "address_sanitizer.h"
#include "catalogue_text.h"
#include "sandbox_run.h"
#include "usage_text.h"

namespace {

const char kParseError[] = "ERROR! : Failed to parse command line\n";
const char kBanner[] = "---------------------------------------------------\n";
const char kCatalogue[] =
    "<taverin_fchba_reference><devices><device><device_id value=\"1077.2532.1077.015d\"/>"
    "</device></devices></taverin_fchba_reference>";

struct E2eCase {
    const char* name;
    std::vector<std::string> words;
    bool catalogue;
    int status;
    std::string out;
    std::string log;
};

void PrintTo(const E2eCase& c, std::ostream* os) { *os << c.name; }

const std::string kNoCatalogue = std::string(kBanner) + "Loading references...FAILED!\n";
const std::string kNoAdapter = std::string(kBanner) +
                               "Loading references...done.\nPerforming discovery...\n"
                               "WARNING! : No supported adapters found.\n";

const E2eCase kCases[] = {
    {"usage", {"/h"}, true, 3, kUsage, ""},
    {"usage_when_silent", {"/s", "-h"}, true, 3, kUsage, ""},
    {"discover_without_path", {"/d"}, true, 7, std::string(kUsage) + kParseError, ""},
    {"discover_twice_at_end", {"/s", "/d", "/d"}, true, 7, std::string(kUsage) + kParseError, ""},
    {"path_word_h", {"-d", "/h"}, true, 3, kUsage, ""},
    {"catalogue_missing", {}, false, 7, kNoCatalogue, kNoCatalogue},
    {"catalogue_missing_silent", {"/s"}, false, 7, "", kNoCatalogue},
    {"no_adapter", {"/f"}, true, 7, kNoAdapter, kNoAdapter},
    {"no_adapter_report_asked", {"/d", "report.xml"}, true, 7, kNoAdapter, kNoAdapter},
};

class ComponentE2e : public ::testing::TestWithParam<E2eCase> {};

TEST_P(ComponentE2e, ConsoleLogAndStatus) {
    const E2eCase& c = GetParam();
    SandboxCase box;
    if (c.catalogue) box.Write("work/reference.xml", kCatalogue);
    const SandboxResult r = box.RunComponent(c.words);
    ASSERT_TRUE(r.ran) << r.err;
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.log, c.log);
    struct stat st;  // the log file exists after every start
    EXPECT_EQ(stat((r.resultDir + "/var-orbil/Component.log").c_str(), &st), 0);
    EXPECT_FALSE(r.HasWorkFile("report.xml"));
}

INSTANTIATE_TEST_SUITE_P(Runs, ComponentE2e, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct CatalogueFileCase {
    const char* name;
    const char* make;  // shell command that makes ./reference.xml
    std::string out;
};

// A FIFO fed a well-formed catalogue for as long as the run lasts: a
// component that read it would find the catalogue, never wait for ever.
const char kFedFifo[] =
    "mkfifo reference.xml || exit; c=$(cat catalogue.xml);"
    " while :; do printf %s \"$c\" > reference.xml; done </dev/null >/dev/null 2>&1 &";

const CatalogueFileCase kCatalogueFiles[] = {
    {"fifo", kFedFifo, kNoCatalogue},
    {"directory", "mkdir reference.xml", kNoCatalogue},
    {"link_to_a_directory", "mkdir d && ln -s d reference.xml", kNoCatalogue},
    {"link_to_a_file", "mv catalogue.xml elsewhere.xml && ln -s elsewhere.xml reference.xml", kNoAdapter},
};

class CatalogueFileE2e : public ::testing::TestWithParam<CatalogueFileCase> {};

TEST_P(CatalogueFileE2e, OnlyARegularFileIsRead) {
    SandboxCase box;
    box.Write("work/catalogue.xml", kCatalogue);
    // Whatever the case left running in the background ends with the run.
    const SandboxResult r = box.RunShell("{ " + std::string(GetParam().make) + "\n} && " +
                                         ShellQuote(FCHBA_COMPONENT_EXE) +
                                         "; status=$?; kill $(jobs -p) 2>/dev/null; wait; exit $status");
    ASSERT_TRUE(r.ran) << r.err;
    EXPECT_EQ(r.status, 7);
    EXPECT_EQ(r.out, GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Kinds, CatalogueFileE2e, ::testing::ValuesIn(kCatalogueFiles),
                         [](const auto& info) { return std::string(info.param.name); });

// A catalogue of devices, behind the given entity declarations.
std::string Catalogue(const std::string& entities, const std::string& devices) {
    return "<!DOCTYPE catalogue [" + entities + "]><taverin_fchba_reference><devices>" + devices +
           "</devices></taverin_fchba_reference>";
}

const char kDeviceOfSevenReferences[] =
    "<device><type value=\"&e;\"/><device_id value=\"&e;\"/><model value=\"&e;\"/><firmware value=\"&e;\"/>"
    "<bios value=\"&e;\"/><boot value=\"&e;\"/><duration value=\"&e;\"/></device>";

// The sanitizer reserves terabytes of address space for itself, so its
// build runs the executable under no address-space limit.
std::string AddressLimit(int kilobytes) {
    return kAddressSanitizerBuild ? "" : "ulimit -v " + std::to_string(kilobytes) + " && ";
}

struct HostileCatalogueCase {
    const char* name;
    std::string xml;
    int addressLimitKb;
    const char* reason;
};

void PrintTo(const HostileCatalogueCase& c, std::ostream* os) { *os << c.name; }

const char kCatalogueRefusal[] = "reference.xml: its values together expand past the limit of 33554432 bytes\n";

// Small files that expand to gigabytes or cost minutes when read whole: each
// is refused while it is read, within the given address space.
const HostileCatalogueCase kHostileCatalogues[] = {
    // About 100 KB, one value using a 100,000-byte entity 2,000 times: 200
    // MB joined, four times that widened.
    {"value_past_its_limit",
     Catalogue(Entity("e", std::string(100000, 'x')),
               "<device><bios value=\"" + Repeated("&e;", 2000) + "\"/></device>"),
     262144, "reference.xml: a value expands past the limit of 65536 bytes\n"},
    // 393 KB, 2,000 devices whose seven values each name one 65,000-byte
    // entity: 910 MB of values, 3.6 GB widened.
    {"many_values_under_their_limit",
     Catalogue(Entity("e", std::string(65000, 'x')), Repeated(kDeviceOfSevenReferences, 2000)), 262144,
     kCatalogueRefusal},
    // 1.5 MB, 70,000 bios leaves of one device, each naming an entity of
    // 65,000 references to nothing: little memory, minutes of CPU.
    {"many_leaves_of_empty_references",
     Catalogue(Entity("n", "") + Entity("m", Repeated("&n;", 65000)),
               "<device>" + Repeated("<bios value=\"&m;\"/>", 70000) + "</device>"),
     262144, kCatalogueRefusal},
    // 48 KB, 2,500 references beside the devices list to an entity named
    // devices, each read as a list whose devices are the 2,500 instructions
    // named device after its declaration: 6.25 million devices, 1.4 GB. The
    // 590,000 made before the bound take up to 350 MB as their list grows.
    {"devices_from_nowhere",
     "<!DOCTYPE catalogue [" + Entity("devices", " ") + Repeated("<?device?>", 2500) +
         "]><taverin_fchba_reference><devices/>" + Repeated("&devices;", 2500) + "</taverin_fchba_reference>",
     524288, kCatalogueRefusal},
};

class HostileCatalogueE2e : public ::testing::TestWithParam<HostileCatalogueCase> {};

TEST_P(HostileCatalogueE2e, IsRefusedWhileItIsRead) {
    SandboxCase box;
    box.Write("work/reference.xml", GetParam().xml);
    const SandboxResult r =
        box.RunShell(AddressLimit(GetParam().addressLimitKb) + ShellQuote(FCHBA_COMPONENT_EXE));
    ASSERT_TRUE(r.ran) << r.err;
    EXPECT_EQ(r.status, 7);
    EXPECT_EQ(r.out, kNoCatalogue);
    EXPECT_EQ(r.log, kNoCatalogue);
    EXPECT_EQ(r.err, GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P(Files, HostileCatalogueE2e, ::testing::ValuesIn(kHostileCatalogues),
                         [](const auto& info) { return std::string(info.param.name); });

// Memory running out ends the run with 7 and the reason on standard error
// and in the log, on a line of its own. The catalogue is within its limits
// but takes 130 MB widened, past the 100 MB of address space the run is
// given. A first run sends both streams to one file, where what standard
// output held in its buffer (a file's, until then) comes before the reason;
// a second keeps them apart.
TEST(ComponentE2eMemory, RunningOutEndsWithSevenAndKeepsTheConsole) {
    if (kAddressSanitizerBuild) GTEST_SKIP() << kNoAddressLimitUnderSanitizer;
    SandboxCase box;
    box.Write("work/reference.xml", Catalogue(Entity("e", std::string(65000, 'x')),
                                              Repeated("<device><bios value=\"&e;\"/></device>", 500)));
    const std::string exe = ShellQuote(FCHBA_COMPONENT_EXE);
    const SandboxResult r = box.RunShell(AddressLimit(100000) + exe + " > console.txt 2>&1; " + exe);
    ASSERT_TRUE(r.ran) << r.err;
    EXPECT_EQ(r.status, 7);
    const std::string start = std::string(kBanner) + "Loading references...";
    const std::string reason = "ERROR! : Memory ran out; the run could not be made.\n";
    EXPECT_EQ(r.WorkFile("console.txt"), start + reason);
    EXPECT_EQ(r.out, start);
    EXPECT_EQ(r.err, reason);
    EXPECT_EQ(r.log, start + "\n" + reason + start + "\n" + reason);
}

TEST(ComponentE2eLog, TwoRunsAppend) {
    SandboxCase box;
    box.Write("var/orbil/Component.log", "earlier\n");
    const std::string exe = ShellQuote(FCHBA_COMPONENT_EXE);
    const SandboxResult r = box.RunShell(exe + " /s; " + exe + " /s");
    ASSERT_TRUE(r.ran) << r.err;
    EXPECT_EQ(r.log, "earlier\n" + kNoCatalogue + kNoCatalogue);
}

TEST(ComponentE2eLog, MissingLogDirectoryIsCreated) {
    SandboxCase box;
    box.StartWithoutLogDirectory();
    const SandboxResult r = box.RunShell("test ! -e /var/orbil && " + ShellQuote(FCHBA_COMPONENT_EXE));
    ASSERT_TRUE(r.ran) << r.err;
    EXPECT_EQ(r.status, 7);
    EXPECT_EQ(r.out, kNoCatalogue);
    EXPECT_EQ(r.log, kNoCatalogue);
}

TEST(ComponentE2eLog, UnwritableLogIsReportedPerMessage) {
    SandboxCase box;
    box.MakeDir("var/orbil/Component.log");  // a directory cannot be appended to
    const char kError[] = "ERROR : Unable to write to log file\n";
    SandboxResult r = box.RunComponent({});
    ASSERT_TRUE(r.ran) << r.err;
    EXPECT_EQ(r.status, 7);
    EXPECT_EQ(r.out, std::string(kBanner) + kError + "Loading references..." + kError + "FAILED!\n" + kError);
    r = box.RunComponent({"/s"});
    EXPECT_EQ(r.out, std::string(kError) + kError + kError);
}

TEST(ComponentE2eLog, ProgramNamedLikeAnOptionIsExamined) {
    SandboxCase box;
    const SandboxResult r = box.RunShell("exec -a /h " + ShellQuote(FCHBA_COMPONENT_EXE));
    ASSERT_TRUE(r.ran) << r.err;
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, kUsage);
}

}  // namespace
