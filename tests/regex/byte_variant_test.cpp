// What only the byte engine does: bytes from 0x80 up as plain signed chars,
// and classes counted over all 256 byte values.

#include "variants.h"

namespace {

// Number of the 256 byte values that the whole-text pattern accepts.
int bytesAccepted(const std::string& pattern, std::uint64_t flags = NO_FLAGS) {
  PatternPtr<char> compiled = compile<char>(pattern, flags);
  if (!compiled) return -1;
  int accepted = 0;
  for (int value = 0; value < 256; ++value) {
    if (compiled->matches(std::string(1, static_cast<char>(value)))) ++accepted;
  }
  return accepted;
}

TEST(ByteClasses, CountsOverAllByteValues) {
  EXPECT_EQ(bytesAccepted("[\\s\\S]"), 256);
  EXPECT_EQ(bytesAccepted("[^]"), 256);
  EXPECT_EQ(bytesAccepted("[]"), 0);
  EXPECT_EQ(bytesAccepted("[z-a]"), 232);
  EXPECT_EQ(bytesAccepted("[a-z&&[^aeiou]]"), 21);
  EXPECT_EQ(bytesAccepted("\\p{Graph}"), 94);
  EXPECT_EQ(bytesAccepted("\\p{Print}"), 95);
  EXPECT_EQ(bytesAccepted("\\p{Punct}"), 32);
  EXPECT_EQ(bytesAccepted("\\p{Cntrl}"), 33);
  EXPECT_EQ(bytesAccepted("\\p{ASCII}"), 128);
  EXPECT_EQ(bytesAccepted("\\P{ASCII}"), 128);
  EXPECT_EQ(bytesAccepted("[^a]", IGNORE_CASE), 254);
  EXPECT_EQ(bytesAccepted("."), 254);
  EXPECT_EQ(bytesAccepted(".", UNIX_LINES), 255);
  EXPECT_EQ(bytesAccepted(".", DOT_ALL), 256);
}

TEST(ByteClasses, DownwardRangeWrapsThroughHighBytes) {
  PatternPtr<char> pattern = compile<char>("[z-a]", NO_FLAGS);
  ASSERT_NE(pattern, nullptr);
  EXPECT_TRUE(pattern->matches("\xff"));
  EXPECT_TRUE(pattern->matches(std::string(1, '\0')));
  EXPECT_TRUE(pattern->matches("a"));
  EXPECT_FALSE(pattern->matches("b"));
}

// Plain members are gathered without looking for duplicates, so a union or
// intersection may meet far more characters than there are byte values.
TEST(ByteClasses, ManyRepeatedMembersWork) {
  const std::string repeats(5000, 'a');
  EXPECT_EQ(bytesAccepted("[" + repeats + "[b]]"), 2);
  EXPECT_EQ(bytesAccepted("[" + repeats + "b&&[a]]"), 1);
  EXPECT_EQ(bytesAccepted("[" + repeats + "&&[" + repeats + "]]"), 1);
  EXPECT_EQ(bytesAccepted("[^" + repeats + "[b]]"), 254);
}

// Case folding touches A to Z only: no byte from 0x80 up has a partner,
// and folding never goes through a negative char.
TEST(ByteIgnoreCase, HighBytesMatchOnlyThemselves) {
  for (const char* pattern : {"\xc4", "[\xc4]", "\\Q\xc4\\E", "\\xc4"}) {
    PatternPtr<char> compiled = compile<char>(pattern, IGNORE_CASE);
    ASSERT_NE(compiled, nullptr) << pattern;
    EXPECT_TRUE(compiled->matches("\xc4")) << pattern;
    EXPECT_FALSE(compiled->matches("\xe4")) << pattern;
    EXPECT_FALSE(compiled->matches("\x84")) << pattern;
  }
  EXPECT_EQ(bytesAccepted("[\\x80-\\xff]", IGNORE_CASE), 128);
  EXPECT_EQ(bytesAccepted("\xc1", IGNORE_CASE), 1);
  EXPECT_EQ(bytesAccepted("a", IGNORE_CASE), 2);
  EXPECT_TRUE(Pattern::matches("\xc4\xe4" "ab", "\xc4\xe4" "AB", LITERAL_PATTERN | IGNORE_CASE));
  EXPECT_FALSE(Pattern::matches("\xc4" "a", "\xe4" "A", LITERAL_PATTERN | IGNORE_CASE));
}

TEST(ByteEscapes, HexTakesTwoDigitsOnly) {
  EXPECT_TRUE(Pattern::matches("\\x41ab", "Aab", NO_FLAGS));
  EXPECT_TRUE(Pattern::matches("\\xff", "\xff", NO_FLAGS));
}

// A byte from 0x80 up written in the pattern is a literal like any other.
TEST(ByteLiterals, HighBytesAreLiterals) {
  EXPECT_TRUE(Pattern::matches("\xe9+", "\xe9\xe9", NO_FLAGS));
  EXPECT_EQ(Pattern::findAll("[\x80-\xff]+", "ab\xc3\xa9" "cd\xff", NO_FLAGS),
            (std::vector<std::string>{"\xc3\xa9", "\xff"}));
}

}  // namespace
