// The patterns the component itself compiles, on the texts it meets: the
// numeric test of a version part, the release-file names, the Emulex
// adapter line and the Brocade version quad.

#include "variants.h"

namespace {

TEST(VersionPart, DigitsAndNothingElse) {
  EXPECT_TRUE(UPattern::matches(L"\\d+", L"0", NO_FLAGS));
  EXPECT_TRUE(UPattern::matches(L"\\d+", L"2147483648", NO_FLAGS));
  for (const wchar_t* part : {L"", L"1a", L"a1", L" 1", L"1 ", L"-1", L"1.2", L"\x0661"}) {
    EXPECT_FALSE(UPattern::matches(L"\\d+", part, NO_FLAGS)) << "part " << part;
  }
}

TEST(ReleaseFile, WholeTextAcrossLines) {
  const std::uint64_t flags = DOT_ALL | MULTI_LINE;
  const std::string rhel5 = "Red Hat Enterprise Linux Server release 5.8 (Tikanga)\nKernel \\r\n";
  EXPECT_TRUE(Pattern::matches("Red Hat Enterprise Linux.*release 5.*", rhel5, flags));
  EXPECT_FALSE(Pattern::matches("Red Hat Enterprise Linux.*release 4.*", rhel5, flags));
  EXPECT_FALSE(Pattern::matches("Red Hat Enterprise Linux.*release 5.*", " " + rhel5, flags));
  EXPECT_FALSE(Pattern::matches("Red Hat Enterprise Linux.*release 5.*",
                                "red hat enterprise linux release 5", flags));
  const std::string sles = "SUSE Linux Enterprise Server 11 (x86_64)\nVERSION = 11\nPATCHLEVEL = 1\n";
  EXPECT_TRUE(Pattern::matches("SUSE Linux Enterprise Server 11.*", sles, flags));
  EXPECT_FALSE(Pattern::matches("SUSE Linux Enterprise Server 10.*", sles, flags));
}

const char* const kAdapterLine =
    "HBA=(.+),.*PCI ID=(\\w{1,4}),.*VID=(\\w{1,4}),.*SSID=(\\w{1,4}),.*SVID=(\\w{1,4}),"
    ".*Firmware=(\\w+),.*Boot Code=(\\w+).*";

TEST(AdapterLine, GroupsOfOneLine) {
  PatternPtr<char> pattern = compile<char>(kAdapterLine, DOT_ALL);
  ASSERT_NE(pattern, nullptr);
  MatcherPtr<char> matcher(pattern->createMatcher(
      "HBA=LPe12002-M8, PCI ID=f100, VID=10df, SSID=f100, SVID=10df, Firmware=US202A3, "
      "Boot Code=UU503A9, Link=Up"));
  ASSERT_TRUE(matcher->matches());
  EXPECT_EQ(matcher->getGroups(false),
            (std::vector<std::string>{"LPe12002-M8", "f100", "10df", "f100", "10df", "US202A3", "UU503A9"}));
  EXPECT_FALSE(pattern->matches("HBA=LPe12002, PCI ID=f100, VID=10df"));
}

// The leading ".*" is greedy, so the quad starts as far right as it can.
TEST(VersionQuad, RightmostQuad) {
  struct Case {
    const wchar_t* installed;
    const wchar_t* quad;
  };
  const Case cases[] = {{L"3.0.12.255", L"3.0.12.255"},
                        {L"12.1.0.0", L"2.1.0.0"},
                        {L"BIOS 2.1.0.4 build 7", L"2.1.0.4"},
                        {L"1.2.3.4.5", L"2.3.4.5"}};
  std::unique_ptr<UPattern> pattern(UPattern::compile(L".*(\\d+\\.\\d+\\.\\d+\\.\\d+).*", DOT_ALL));
  ASSERT_NE(pattern, nullptr);
  for (const Case& c : cases) {
    std::unique_ptr<UMatcher> matcher(pattern->createMatcher(c.installed));
    ASSERT_TRUE(matcher->matches()) << c.installed;
    EXPECT_EQ(matcher->getGroup(1), c.quad);
  }
  std::unique_ptr<UMatcher> three(pattern->createMatcher(L"2.1.0"));
  EXPECT_FALSE(three->matches());
}

}  // namespace
