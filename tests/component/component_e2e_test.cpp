// The real executable in the sandbox: exact console output, log file and
// exit status for the paths that need no adapter.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

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

// A file of about 100 KB whose one value uses a 100,000-byte entity 2,000
// times: joined whole it would be 200 MB, four times that widened. It is
// refused while it is joined, within an address-space limit that the whole
// value would break.
TEST(ComponentE2eCatalogue, ValueExpandingPastItsLimitIsRefused) {
    std::string references;
    for (int i = 0; i < 2000; ++i) references += "&e;";
    SandboxCase box;
    box.Write("work/reference.xml", "<!DOCTYPE catalogue [<!ENTITY e \"" + std::string(100000, 'x') +
                                        "\">]><taverin_fchba_reference><devices><device><bios value=\"" +
                                        references + "\"/></device></devices></taverin_fchba_reference>");
#ifdef __SANITIZE_ADDRESS__
    const std::string limit;  // the sanitizer reserves terabytes of address space for itself
#else
    const std::string limit = "ulimit -v 262144 && ";
#endif
    const SandboxResult r = box.RunShell(limit + ShellQuote(FCHBA_COMPONENT_EXE));
    ASSERT_TRUE(r.ran) << r.err;
    EXPECT_EQ(r.status, 7);
    EXPECT_EQ(r.out, kNoCatalogue);
    EXPECT_EQ(r.log, kNoCatalogue);
    EXPECT_NE(r.err.find("reference.xml: a value expands past the limit of 65536 bytes\n"), std::string::npos)
        << r.err;
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
