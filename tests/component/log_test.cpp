#include <gtest/gtest.h>
#include <sys/stat.h>

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

}  // namespace
