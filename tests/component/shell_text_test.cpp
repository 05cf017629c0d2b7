#include <gtest/gtest.h>

#include <string>

#include "base_cmp.h"
#include "shell_command.h"
#include "text_conversion.h"

namespace {

TEST(ExecuteCommand, ReturnsOutputWithLineEnds) {
    EXPECT_EQ(ExecuteCommand("printf 'one\\ntwo\\n'"), "one\ntwo\n");
    EXPECT_EQ(ExecuteCommand("true"), "");
    EXPECT_EQ(ExecuteCommand("printf 'no end'"), "no end");
}

TEST(ExecuteCommand, LongLinesArriveWhole) {
    const std::string line(1000, 'x');
    EXPECT_EQ(ExecuteCommand("printf '%s\\n' " + line), line + "\n");
}

TEST(ExecuteCommand, StandardErrorAndStatusAreNotCaptured) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(ExecuteCommand("echo out; echo err >&2; exit 3"), "out\n");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "err\n");
}

TEST(ExecuteCommand, ReadsAFileLikeCat) {
    ASSERT_EQ(system("printf 'Red Hat Enterprise Linux Server release 5.4 (Tikanga)\\n' > release"), 0);
    EXPECT_EQ(ExecuteCommand("cat release"), "Red Hat Enterprise Linux Server release 5.4 (Tikanga)\n");
}

TEST(TextConversion, ToWide) {
    EXPECT_EQ(ToWide(""), L"");
    EXPECT_EQ(ToWide("QLE2562 v.2.10 build"), L"QLE2562 v.2.10 build");
    // The C locale converts no byte above 0x7F: what came before it is kept.
    EXPECT_EQ(ToWide("QLE\xE9x"), L"QLE");
    EXPECT_EQ(ToWide("\xC3\xA9"), L"");
}

TEST(TextConversion, ByteWideningRoundTrips) {
    const char bytes[] = "a\x80\xC3\xA9\xFFz";
    const std::wstring wide = WidenBytes(bytes);
    EXPECT_EQ(wide, (std::wstring{L'a', wchar_t(-128), wchar_t(-61), wchar_t(-87), wchar_t(-1), L'z'}));
    EXPECT_EQ(NarrowLowBytes(wide), bytes);
}

TEST(TextConversion, ToUpperChangesOnlyAsciiLetters) {
    const std::wstring text = L"10df.fe00-abz";
    EXPECT_EQ(CBaseCmp::ToUpper(text), L"10DF.FE00-ABZ");
    EXPECT_EQ(text, L"10df.fe00-abz");
    EXPECT_EQ(CBaseCmp::ToUpper(L"1077.2532"), L"1077.2532");
    EXPECT_EQ(CBaseCmp::ToUpper(std::wstring(1, wchar_t(0xE9))), std::wstring(1, wchar_t(0xE9)));
}

}  // namespace
