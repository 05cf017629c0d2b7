#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <string>

#include "cmp_log.h"
#include "sandbox_run.h"

namespace {

TEST(CmpLog, ConstructionCreatesDirectoryAndFile) {
    CCmpLog log;
    struct stat st;
    EXPECT_EQ(stat("/var/orbil/Component.log", &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(ReadFile("/var/orbil/Component.log"), "");
}

TEST(CmpLog, EchoesAndAppendsPiecesIntoOneLine) {
    CCmpLog log;
    ::testing::internal::CaptureStdout();
    log << "Loading references...";
    log << "done.\n" << "Flash complete [" << 1 << "]\n" << -42 << std::wstring(L" wide\n");
    const char kExpected[] = "Loading references...done.\nFlash complete [1]\n-42 wide\n";
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), kExpected);
    EXPECT_EQ(ReadFile("/var/orbil/Component.log"), kExpected);
}

TEST(CmpLog, QuietSilencesOnlyTheConsole) {
    CCmpLog log;
    log.SetQuiet(true);
    ::testing::internal::CaptureStdout();
    log << "one\n" << 2 << "\n";
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(ReadFile("/var/orbil/Component.log"), "one\n2\n");
}

TEST(CmpLog, AppendsAfterEarlierRuns) {
    { CCmpLog first; first.SetQuiet(true); first << "run 1\n"; }
    CCmpLog second;  // touching the file again must not empty it
    second.SetQuiet(true);
    second << "run 2\n";
    EXPECT_EQ(ReadFile("/var/orbil/Component.log"), "run 1\nrun 2\n");
}

TEST(CmpLog, UnwritableFileReportsEveryMessageEvenWhenQuiet) {
    ASSERT_EQ(system("mkdir -p /var/orbil/Component.log"), 0);  // a directory cannot be appended to
    CCmpLog log;
    ::testing::internal::CaptureStdout();
    log << "shown\n";
    log.SetQuiet(true);
    log << "hidden\n" << 3;
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "shown\nERROR : Unable to write to log file\n"
              "ERROR : Unable to write to log file\n"
              "ERROR : Unable to write to log file\n");
}

const char kOwnLine[] = "ERROR! : Memory ran out; the run could not be made.\n";

struct OwnLineCase {
    const char* name;
    const char* before;  // the log file's content; null: no file
    std::string after;
};

void PrintTo(const OwnLineCase& c, std::ostream* os) { *os << c.name; }

const OwnLineCase kOwnLines[] = {
    {"after_a_line_left_open", "---\nLoading references...", std::string("---\nLoading references...\n") + kOwnLine},
    {"after_a_whole_line", "done.\n", std::string("done.\n") + kOwnLine},
    {"in_an_empty_log", "", kOwnLine},
    {"where_there_is_no_log", nullptr, kOwnLine},
};

class OwnLineTest : public ::testing::TestWithParam<OwnLineCase> {};

TEST_P(OwnLineTest, StandsOnALineOfItsOwnWithoutEcho) {
    ASSERT_EQ(system("mkdir -p /var/orbil && rm -f /var/orbil/Component.log"), 0);
    if (GetParam().before) std::ofstream("/var/orbil/Component.log") << GetParam().before;
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    CCmpLog::AppendOwnLine(kOwnLine);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(ReadFile("/var/orbil/Component.log"), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Logs, OwnLineTest, ::testing::ValuesIn(kOwnLines),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CmpLog, OwnLineIsDroppedWhereTheLogCannotBeOpened) {
    ASSERT_EQ(system("mkdir -p /var/orbil/Component.log"), 0);  // a directory cannot be appended to
    ::testing::internal::CaptureStdout();
    CCmpLog::AppendOwnLine(kOwnLine);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    struct stat st;
    ASSERT_EQ(stat("/var/orbil/Component.log", &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
}

}  // namespace
