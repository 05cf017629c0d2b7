// What only the wide engine does: characters beyond one byte, four-digit
// hexadecimal escapes, complements limited to codes 0 to 255, class ranges
// of any length, and reports written so they appear on standard error
// whatever was written there before.

#include "captured_output.h"
#include "variants.h"

namespace {

std::wstring wideClass(wchar_t first, wchar_t last) {
  return std::wstring(L"[") + first + L"-" + last + L"]";
}

TEST(WideEscapes, HexTakesFourDigitsWhenThere) {
  EXPECT_TRUE(UPattern::matches(L"\\x0041", L"A", NO_FLAGS));
  EXPECT_TRUE(UPattern::matches(L"\\x41", L"A", NO_FLAGS));
  EXPECT_TRUE(UPattern::matches(L"\\x41ab", std::wstring(1, wchar_t(0x41AB)), NO_FLAGS));
  EXPECT_TRUE(UPattern::matches(L"\\x41a", L"Aa", NO_FLAGS));
  EXPECT_TRUE(UPattern::matches(L"[\\x0100-\\x01FF]+", L"\x0150\x01ff", NO_FLAGS));
}

TEST(WideCharacters, BeyondOneByteAreLiterals) {
  EXPECT_TRUE(UPattern::matches(L"\x4e2d+\x6587", L"\x4e2d\x4e2d\x6587", NO_FLAGS));
  EXPECT_TRUE(UPattern::matches(L".", L"\x10348", NO_FLAGS));
  EXPECT_FALSE(UPattern::matches(L"\x0141", L"\x0041", NO_FLAGS));
  EXPECT_FALSE(UPattern::matches(L"\x0141", L"\x0041", IGNORE_CASE));
  EXPECT_EQ(UPattern::findAll(L"[\x3b1-\x3c9]+", L"ab\x3b1\x3b2 \x3c9", NO_FLAGS),
            (std::vector<std::wstring>{L"\x3b1\x3b2", L"\x3c9"}));
}

// A complement lists the codes 0 to 255 only, so a bracket class built from
// one never holds a wider character; an inverted escape outside brackets
// does.
TEST(WideClasses, ComplementStopsAt255) {
  const std::wstring wide(1, wchar_t(0x100));
  EXPECT_FALSE(UPattern::matches(L"[^a]", wide, NO_FLAGS));
  EXPECT_FALSE(UPattern::matches(L"[\\S]", wide, NO_FLAGS));
  EXPECT_TRUE(UPattern::matches(L"\\S", wide, NO_FLAGS));
  EXPECT_TRUE(UPattern::matches(L"\\D", wide, NO_FLAGS));
  EXPECT_TRUE(UPattern::matches(L"\\P{Alpha}", wide, NO_FLAGS));
  EXPECT_TRUE(UPattern::matches(L"[^a]", L"\xff", NO_FLAGS));
}

// Case folding changes the ASCII letters only.
TEST(WideIgnoreCase, FoldsAsciiLettersOnly) {
  EXPECT_TRUE(UPattern::matches(L"a", L"A", IGNORE_CASE));
  EXPECT_TRUE(UPattern::matches(L"\\Qab\\E", L"AB", IGNORE_CASE));
  EXPECT_FALSE(UPattern::matches(L"\x00e4", L"\x00c4", IGNORE_CASE));
  EXPECT_FALSE(UPattern::matches(L"[\x00e4]", L"\x00c4", IGNORE_CASE));
  EXPECT_FALSE(UPattern::matches(L"\\Q\x00e4\\E", L"\x00c4", IGNORE_CASE));
  EXPECT_TRUE(UPattern::matches(L"a\x00e4", L"A\x00e4", LITERAL_PATTERN | IGNORE_CASE));
}

// Classes far larger than the old fixed buffers: many plain members joined
// with a nested class, long ranges, and their intersections.
TEST(WideClasses, LargeClassesWork) {
  std::wstring many = L"[";
  for (wchar_t c = 0x1000; c < 0x1000 + 70000; ++c) many += c;
  many += L"[a]]";
  std::unique_ptr<UPattern> manyMembers(UPattern::compile(many, NO_FLAGS));
  ASSERT_NE(manyMembers, nullptr);
  EXPECT_TRUE(manyMembers->matches(std::wstring(1, wchar_t(0x1000 + 69999))));
  EXPECT_TRUE(manyMembers->matches(L"a"));
  EXPECT_FALSE(manyMembers->matches(L"b"));

  std::unique_ptr<UPattern> longRange(UPattern::compile(L"[\\x0100-\\x7fff&&[\\x0200-\\xffff]]",
                                                        NO_FLAGS));
  ASSERT_NE(longRange, nullptr);
  EXPECT_TRUE(longRange->matches(L"\x0200"));
  EXPECT_TRUE(longRange->matches(L"\x7fff"));
  EXPECT_FALSE(longRange->matches(L"\x01ff"));
  EXPECT_FALSE(longRange->matches(L"\x8000"));
}

TEST(WideClasses, DownwardRangeIsSyntaxError) {
  for (const std::wstring& pattern : {std::wstring(L"[z-a]"), std::wstring(L"[\\x0200-\\x0100]"),
                                      wideClass(0x10ffff, 0x100)}) {
    std::unique_ptr<UPattern> compiled;
    std::string report = stderrOf([&] { compiled.reset(UPattern::compile(pattern, NO_FLAGS)); });
    EXPECT_EQ(compiled, nullptr);
    EXPECT_NE(report.find("Syntax Error near here."), std::string::npos) << report;
  }
}

// A range of every 16-bit code but 0 holds them all, and its complement
// holds 0 alone; one over the whole of Unicode either works the same or is
// reported. How fast they compile is measured in bench/.
TEST(WideClasses, HugeRangeMatchesEveryCode) {
  std::unique_ptr<UPattern> bmp(UPattern::compile(wideClass(1, 0xffff) + L"+", NO_FLAGS));
  ASSERT_NE(bmp, nullptr);
  EXPECT_TRUE(bmp->matches(L"a\xffff\x4e2d"));
  EXPECT_FALSE(bmp->matches(std::wstring(1, L'\0')));
  std::unique_ptr<UPattern> negated(UPattern::compile(L"[^" + wideClass(1, 0xffff) + L"]",
                                                      NO_FLAGS));
  ASSERT_NE(negated, nullptr);
  EXPECT_TRUE(negated->matches(std::wstring(1, L'\0')));
  EXPECT_FALSE(negated->matches(L"a"));

  std::unique_ptr<UPattern> all;
  std::string report =
      stderrOf([&] { all.reset(UPattern::compile(wideClass(1, 0x10ffff) + L"+", NO_FLAGS)); });
  if (all) {
    EXPECT_TRUE(all->matches(L"a\x10ffff\x4e2d"));
    EXPECT_FALSE(all->matches(std::wstring(1, L'\0')));
  } else {
    EXPECT_NE(report.find("Syntax Error near here."), std::string::npos);
  }
}

// The wide report reaches standard error also after byte output there, and
// byte output still appears after it.
TEST(WideReports, AppearAmongByteOutput) {
  std::string written = stderrOf([] {
    std::fputs("before\n", stderr);
    EXPECT_EQ(UPattern::compile(L"a)", NO_FLAGS), nullptr);
    std::fputs("between\n", stderr);
    EXPECT_EQ(Pattern::compile("b)", NO_FLAGS), nullptr);
    EXPECT_EQ(UPattern::compile(L"c)", NO_FLAGS), nullptr);
  });
  const std::string meta = "Syntax Error near here. Possible unescaped meta character.\n";
  EXPECT_EQ(written, "before\na)\n ^\n" + meta + "between\nb)\n ^\n" + meta + "c)\n ^\n" + meta);
}

// Characters outside ASCII are spelled out in the line that shows the
// pattern, never written as their low byte (a NUL for U+0100, a ")" for
// U+0129, a "]" for U+FF5D); the caret and the message stay as they are, the
// message still chosen by the real character.
TEST(WideReports, SpellCharactersOutsideAscii) {
  const std::string meta = "Syntax Error near here. Possible unescaped meta character.\n";
  const std::string plain = "Syntax Error near here. \n";
  const struct {
    std::wstring pattern;
    std::string stderrText;
  } cases[] = {
      {L"\x100)", "\\x{100})\n ^\n" + meta},
      {L"a\x129)", "a\\x{129})\n  ^\n" + meta},
      {L"(\x129", "(\\x{129}\n ^\n" + plain + "(\\x{129}\n ^\n" + plain},
      {L"\\p{\xff5d}", "\\p{\\x{ff5d}}\n ^\n" + plain},
      {L"\x7f\x80)", "\x7f\\x{80})\n  ^\n" + meta},
      {std::wstring(L"x") + wchar_t(-1) + L"\x10ffff)",
       "x\\x{ffffffff}\\x{10ffff})\n   ^\n" + meta},
  };
  for (const auto& c : cases) {
    std::string written = stderrOf([&] { EXPECT_EQ(UPattern::compile(c.pattern, NO_FLAGS), nullptr); });
    EXPECT_EQ(written, c.stderrText);
  }
  // The byte report is unchanged: its pattern line carries the bytes as they are.
  std::string bytes = stderrOf([] { EXPECT_EQ(Pattern::compile("\xe9)", NO_FLAGS), nullptr); });
  EXPECT_EQ(bytes, "\xe9)\n ^\n" + meta);
}

// The report shows the whole wide pattern, characters beyond one byte and
// all; the line with the caret and the message are exact.
TEST(WideReports, ShowWholePattern) {
  std::string written = stderrOf([] {
    EXPECT_EQ(UPattern::compile(L"\x4e2d)", NO_FLAGS), nullptr);
  });
  const std::string tail = "\n ^\nSyntax Error near here. Possible unescaped meta character.\n";
  ASSERT_GE(written.size(), tail.size() + 2);
  EXPECT_EQ(written.substr(written.size() - tail.size()), tail);
  EXPECT_EQ(written[written.size() - tail.size() - 1], ')');
}

}  // namespace
