#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_component.h"
#include "usage_text.h"

namespace {

struct ParseCase {
    const char* name;
    std::vector<const char*> words;  // index 0 included
    int result;
    bool silent, force, discoverOnly;
    const char* path;
    bool usage;
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }

const ParseCase kCases[] = {
    {"no_option", {"prog"}, 1, false, false, false, "", false},
    {"silent_slash", {"prog", "/s"}, 1, true, false, false, "", false},
    {"silent_dash", {"prog", "-s"}, 1, true, false, false, "", false},
    {"force_both_forms", {"prog", "/f", "-f"}, 1, false, true, false, "", false},
    {"discover_with_path", {"prog", "/d", "out.xml"}, 1, false, false, true, "out.xml", false},
    {"discover_dash", {"prog", "-d", "x"}, 1, false, false, true, "x", false},
    {"path_word_is_examined", {"prog", "/d", "/f"}, 1, false, true, true, "/f", false},
    {"path_word_h_shows_usage", {"prog", "/d", "/h"}, 2, false, false, true, "/h", true},
    {"discover_last", {"prog", "/d"}, 0, false, false, true, "", true},
    {"discover_twice_at_end", {"prog", "/d", "/d"}, 0, false, false, true, "/d", true},
    {"last_path_wins", {"prog", "/d", "a", "/d", "b"}, 1, false, false, true, "b", false},
    {"help_stops_scan", {"prog", "/h", "/d"}, 2, false, false, false, "", true},
    {"flags_before_help_stay", {"prog", "/s", "/h"}, 2, true, false, false, "", true},
    {"program_name_is_a_word", {"-f"}, 1, false, true, false, "", false},
    {"upper_case_ignored", {"prog", "/S", "/F", "/D"}, 1, false, false, false, "", false},
    {"other_words_ignored", {"prog", "--force", "s", "/x"}, 1, false, false, false, "", false},
};

class ParseCommandLineTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseCommandLineTest, SetsFlagsAndResult) {
    const ParseCase& c = GetParam();
    TestCmp cmp;
    ::testing::internal::CaptureStdout();
    const int result = cmp.ParseCommandLine(static_cast<int>(c.words.size()), c.words.data());
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(cmp.silent, c.silent);
    EXPECT_EQ(cmp.force, c.force);
    EXPECT_EQ(cmp.discoverOnly, c.discoverOnly);
    EXPECT_EQ(cmp.discoveryXmlPath, c.path);
    EXPECT_EQ(out, c.usage ? kUsage : "");
}

INSTANTIATE_TEST_SUITE_P(Words, ParseCommandLineTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ParseCommandLine, SilentQuietsTheLogButNotTheUsage) {
    TestCmp cmp;
    const char* words[] = {"prog", "/s", "/h"};
    ::testing::internal::CaptureStdout();
    cmp.ParseCommandLine(3, words);
    cmp.log << "hidden\n";
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), kUsage);
}

}  // namespace
