// Syntax errors: compile returns no pattern and standard error carries each
// report exactly: the pattern text, a caret under the character just read,
// and one of the two messages, once per report.

#include "captured_output.h"
#include "variants.h"

namespace {

const std::string META = "Syntax Error near here. Possible unescaped meta character.\n";
const std::string PLAIN = "Syntax Error near here. \n";

// One report: the pattern, `spaces` blanks and a caret, then the message.
std::string report(const std::string& pattern, int spaces, const std::string& message) {
  return pattern + "\n" + std::string(spaces, ' ') + "^\n" + message;
}

std::string times(int count, const std::string& text) {
  std::string out;
  for (int i = 0; i < count; ++i) out += text;
  return out;
}

struct ErrorCase {
  const char* name;
  std::string pattern;
  std::string stderrText;
};

// Tables print as their row names in test output.
void PrintTo(const ErrorCase& row, std::ostream* out) { *out << row.name; }

template <class C>
void expectSyntaxError(const ErrorCase& row) {
  PatternPtr<C> pattern;
  std::string written = stderrOf([&] { pattern = compile<C>(row.pattern, NO_FLAGS); });
  EXPECT_EQ(pattern, nullptr);
  EXPECT_EQ(written, row.stderrText);
}

class SyntaxError : public testing::TestWithParam<ErrorCase> {};
TEST_P(SyntaxError, BothVariants) { FOR_BOTH_VARIANTS(expectSyntaxError, GetParam()); }

const ErrorCase kStructure[] = {
    {"QuantifierFirst", "*a", report("*a", 1, META)},
    {"DoubleStar", "a**", report("a**", 2, META)},
    {"LazyThenQuestion", "a*??", report("a*??", 3, META)},
    {"PlusAfterBar", "a|+", report("a|+", 2, META)},
    {"CloseBracketAlone", "a]", report("a]", 1, META)},
    {"CloseBraceAlone", "}", report("}", 1, META)},
    {"CloseParenOutsideGroup", "a)", report("a)", 1, META)},
    {"CloseParenInTopAlternative", "a|b)", report("a|b)", 3, META)},
    {"UnclosedGroup", "(a", times(2, report("(a", 1, PLAIN))},
    {"UnclosedGroupAlternation", "(a|b", times(3, report("(a|b", 3, PLAIN))},
    {"UnclosedNestedGroups", "((a", times(4, report("((a", 2, PLAIN))},
    {"TrailingBackslash", "a\\", report("a\\", 1, PLAIN)},
    {"UnknownGroupLetter", "(?x)", times(2, report("(?x)", 1, META))},
    {"SecondDashInFlags", "(?i-m-s)", times(2, report("(?i-m-s)", 4, PLAIN))},
    {"LessThanWithoutKind", "(?<x)", times(2, report("(?<x)", 1, META))},
    {"GroupKindAtEnd", "(?", times(2, report("(?", 1, META))},
    {"QuantifiedLookAhead", "(?=a)*", report("(?=a)*", 5, META)},
    {"QuantifiedFlagGroup", "(?i)+", report("(?i)+", 4, META)},
    {"QuantifiedAtomicGroup", "(?>a)?", report("(?>a)?", 5, META)},
    {"BoundsWithoutClose", "a{2", report("a{2", 1, PLAIN)},
    {"BoundsLetterAfterComma", "a{1,x}", report("a{1,x}", 1, PLAIN)},
    {"BoundsSecondComma", "a{1,2,3}", report("a{1,2,3}", 1, PLAIN)},
    {"SecondBoundsReadAsName", "a{2}{3}", report("a{2}{3}", 4, PLAIN)},
    {"UnregisteredName", "a{x}", report("a{x}", 1, PLAIN)},
    {"UnregisteredNameFirst", "{ab}", report("{ab}", 1, PLAIN)},
    {"NameWithDash", "{a-b}", report("{a-b}", 1, PLAIN)},
    {"EmptyName", "a{}{}", report("a{}{}", 3, PLAIN)},
};
INSTANTIATE_TEST_SUITE_P(Structure, SyntaxError, testing::ValuesIn(kStructure), RowName());

const ErrorCase kLexical[] = {
    {"OctalNoDigit", "\\08", report("\\08", 1, PLAIN)},
    {"OctalAtEnd", "\\0", report("\\0", 1, PLAIN)},
    {"PosixNameCase", "\\p{lower}", report("\\p{lower}", 1, PLAIN)},
    {"PosixUnknownNegated", "\\P{Bogus}", report("\\P{Bogus}", 1, PLAIN)},
    {"RangeEndIsBracket", "[a-]", times(2, report("[a-]", 3, META))},
    {"ClassUnclosed", "[a", report("[a", 1, PLAIN)},
    {"IntersectionWithoutClass", "[a&&b]",
     report("[a&&b]", 3, PLAIN) + report("[a&&b]", 5, META)},
    {"QuoteInClass", "[\\Q]", report("[\\Q]", 2, PLAIN) + report("[\\Q]", 3, META)},
    {"ClassEndsInBackslash", "[a\\", times(2, report("[a\\", 3, PLAIN))},
    {"RangeEndNegatedEscape", "[a-\\D]", report("[a-\\D]", 4, PLAIN)},
    {"QuoteUnclosed", "\\Q", report("\\Q", 1, PLAIN)},
    {"QuoteCannotEndInBackslash", "\\Q\\\\E", report("\\Q\\\\E", 4, PLAIN)},
    {"LookBehindUnclosed", "(?<=a", report("(?<=a", 4, PLAIN)},
};
INSTANTIATE_TEST_SUITE_P(Lexical, SyntaxError, testing::ValuesIn(kLexical), RowName());

// Groups and bracket classes nest at most 100,000 levels. One level more is
// a syntax error, reported once (not again for each enclosing level) under
// the character that opens it.
constexpr int kMaxNesting = 100000;

struct NestingCase {
  const char* name;
  std::string open;   // one unit, opening one level (its last character opens it)
  std::string inner;
  std::string close;
};
void PrintTo(const NestingCase& row, std::ostream* out) { *out << row.name; }

std::string nested(const NestingCase& row, int levels) {
  return times(levels, row.open) + row.inner + times(levels, row.close);
}

class NestingBound : public testing::TestWithParam<NestingCase> {};

template <class C>
void expectNestingBound(const NestingCase& row) {
  PatternPtr<C> pattern;
  std::string written = stderrOf([&] { pattern = compile<C>(nested(row, kMaxNesting), NO_FLAGS); });
  EXPECT_NE(pattern, nullptr);
  EXPECT_EQ(written, "");

  const std::string tooDeep = nested(row, kMaxNesting + 1);
  const int caret = static_cast<int>(row.open.size()) * (kMaxNesting + 1) - 1;
  written = stderrOf([&] { pattern = compile<C>(tooDeep, NO_FLAGS); });
  EXPECT_EQ(pattern, nullptr);
  EXPECT_TRUE(written == report(tooDeep, caret, PLAIN)) << written.size() << " bytes written";
}
TEST_P(NestingBound, BothVariants) { FOR_BOTH_VARIANTS(expectNestingBound, GetParam()); }

const NestingCase kNesting[] = {
    {"Groups", "(", "a", ")"},
    {"GroupsInAlternatives", "a|(", "a", ")"},
    {"BracketClasses", "[", "a", "]"},
};
INSTANTIATE_TEST_SUITE_P(Levels, NestingBound, testing::ValuesIn(kNesting), RowName());

// Alternatives side by side open no level: far more of them than the bound
// compile, and each still matches.
template <class C>
void expectAlternativesOpenNoLevel() {
  std::string words;
  for (int i = 0; i <= kMaxNesting; ++i) words += "w" + std::to_string(i) + "|";
  for (const std::string& pattern : {times(kMaxNesting + 1, "a|") + "b", words + "end"}) {
    PatternPtr<C> compiled;
    EXPECT_EQ(stderrOf([&] { compiled = compile<C>(pattern, NO_FLAGS); }), "");
    ASSERT_NE(compiled, nullptr);
    EXPECT_EQ(compiled->matches(text<C>("a")), pattern[0] == 'a');
    EXPECT_EQ(compiled->matches(text<C>("b")), pattern[0] == 'a');
    EXPECT_EQ(compiled->matches(text<C>("w100000")), pattern[0] == 'w');
    EXPECT_EQ(compiled->matches(text<C>("end")), pattern[0] == 'w');
    EXPECT_FALSE(compiled->matches(text<C>("w100001")));
  }
}
TEST(NestingBound, AlternativesOpenNoLevelBothVariants) { FOR_BOTH_VARIANTS(expectAlternativesOpenNoLevel); }

// A class inside groups opens one level more than the groups.
template <class C>
void expectClassesCountWithGroups() {
  const std::string fits = times(kMaxNesting - 1, "(") + "[a]" + times(kMaxNesting - 1, ")");
  EXPECT_NE(compile<C>(fits, NO_FLAGS), nullptr);
  const std::string tooDeep = "(" + fits + ")";
  PatternPtr<C> compiled;
  const std::string written = stderrOf([&] { compiled = compile<C>(tooDeep, NO_FLAGS); });
  EXPECT_EQ(compiled, nullptr);
  EXPECT_TRUE(written == report(tooDeep, kMaxNesting, PLAIN)) << written.size() << " bytes written";
}
TEST(NestingBound, ClassesCountWithGroupsBothVariants) { FOR_BOTH_VARIANTS(expectClassesCountWithGroups); }

// Groups left open past the bound: the ")" each of them misses is not
// reported on top of the bound.
template <class C>
void expectUnclosedBeyondBoundReportedOnce() {
  const std::string pattern(kMaxNesting + 1, '(');
  PatternPtr<C> compiled;
  const std::string written = stderrOf([&] { compiled = compile<C>(pattern, NO_FLAGS); });
  EXPECT_EQ(compiled, nullptr);
  EXPECT_TRUE(written == report(pattern, kMaxNesting, PLAIN)) << written.size() << " bytes written";
}
TEST(NestingBound, UnclosedBeyondBoundBothVariants) { FOR_BOTH_VARIANTS(expectUnclosedBeyondBoundReportedOnce); }

// Far deeper nesting stops at the bound too, instead of overflowing a stack.
template <class C>
void expectDeepClassesStopAtBound() {
  const std::string pattern(5000000, '[');
  PatternPtr<C> compiled;
  const std::string written = stderrOf([&] { compiled = compile<C>(pattern, NO_FLAGS); });
  EXPECT_EQ(compiled, nullptr);
  EXPECT_TRUE(written == report(pattern, kMaxNesting, PLAIN)) << written.size() << " bytes written";
}
TEST(NestingBound, FiveMillionClassesBothVariants) { FOR_BOTH_VARIANTS(expectDeepClassesStopAtBound); }

// A pattern that ends in the middle of an escape, a class name, a bound or a
// group is reported, never read past its end. The long prefix puts the text
// on the heap, where reading past it is caught by the sanitizer build.
const std::string kLong = "0123456789abcdefghij";

class TruncatedPattern : public testing::TestWithParam<std::string> {};

template <class C>
void expectReportedWithoutOverread(const std::string& pattern) {
  PatternPtr<C> compiled;
  std::string written = stderrOf([&] { compiled = compile<C>(pattern, NO_FLAGS); });
  EXPECT_EQ(compiled, nullptr);
  EXPECT_NE(written.find("Syntax Error near here."), std::string::npos) << written;
}

TEST_P(TruncatedPattern, ReportedBothVariants) {
  FOR_BOTH_VARIANTS(expectReportedWithoutOverread, kLong + GetParam());
}

INSTANTIATE_TEST_SUITE_P(EndsInside, TruncatedPattern,
                         testing::Values("\\", "\\p", "\\p{Low", "\\P{XDigi", "\\0", "\\03", "a{",
                                         "a{1", "a{1,", "a{,", "{", "{ab", "[", "[^", "[a-",
                                         "[a-\\", "[\\", "[\\p{Alp", "[a&&", "\\Q", "\\Qab\\",
                                         "(?<=ab\\", "(?<=a\\)", "(?", "(?i", "(?i-", "(a|"));

// "\x" lacking its digits is no error, also at the very end of the pattern.
template <class C>
void expectHexAtEndIsSpace() {
  for (const std::string tail : {"\\x", "\\x4", "\\x41a"}) {
    PatternPtr<C> pattern = compile<C>(kLong + tail, NO_FLAGS);
    ASSERT_NE(pattern, nullptr) << tail;
  }
  EXPECT_TRUE(compile<C>(kLong + "\\x", NO_FLAGS)->matches(text<C>(kLong + " ")));
  EXPECT_TRUE(compile<C>(kLong + "\\x4", NO_FLAGS)->matches(text<C>(kLong + " 4")));
}
TEST(TruncatedHexEscape, IsSpaceBothVariants) { FOR_BOTH_VARIANTS(expectHexAtEndIsSpace); }

// Counts too large for an int are rejected or clamped, never wrapped: a
// clamped count is the largest repetition, so these subjects cannot match
// a bound that needs billions of repetitions, and always match an open one.
template <class C>
void expectHugeCountsSafe() {
  struct Case {
    std::string pattern;
    std::string subject;
    bool matches;
  };
  const Case cases[] = {
      {"a{2147483648}", "aa", false},
      {"a{99999999999999999999}", "a", false},
      {"a{4294967297}", "a", false},
      {"(a){4294967297}", "a", false},
      {"a{0,4294967297}", "aaa", true},
      {"a{0,99999999999999999999}", "aaa", true},
      {"(a){1,4294967296}", "aa", true},
      {"a{4294967296,1}", "", false},
  };
  for (const Case& c : cases) {
    PatternPtr<C> pattern;
    stderrOf([&] { pattern = compile<C>(c.pattern, NO_FLAGS); });
    if (pattern) {
      EXPECT_EQ(pattern->matches(text<C>(c.subject)), c.matches) << c.pattern;
    }
  }
}
TEST(HugeRepetitionCount, RejectedOrClampedBothVariants) {
  FOR_BOTH_VARIANTS(expectHugeCountsSafe);
}

}  // namespace
