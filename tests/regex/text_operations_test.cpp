// The class-level conveniences over matches: findAll, split, replace,
// findNthMatch, and the replacement expansion they use, each as a table run
// over both variants.

#include "captured_output.h"
#include "variants.h"

namespace {

struct FindAllCase {
  const char* name;
  std::string pattern;
  std::uint64_t flags;
  std::string subject;
  std::vector<std::string> found;
};

// Tables print as their row names in test output.
void PrintTo(const FindAllCase& row, std::ostream* out) { *out << row.name; }

template <class C>
void expectFindAll(const FindAllCase& row) {
  std::vector<std::basic_string<C>> found;
  stderrOf([&] {
    found = PatternT<C>::findAll(text<C>(row.pattern), text<C>(row.subject), row.flags);
  });
  EXPECT_EQ(found, texts<C>(row.found));
}

class FindAll : public testing::TestWithParam<FindAllCase> {};
TEST_P(FindAll, BothVariants) { FOR_BOTH_VARIANTS(expectFindAll, GetParam()); }

const FindAllCase kFindAll[] = {
    {"Runs", "\\d+", NO_FLAGS, "a12b345", {"12", "345"}},
    {"EmptyMatches", "x*", NO_FLAGS, "ab", {"", ""}},
    {"Literal", "a.", LITERAL_PATTERN, "a.bxa.", {"a.", "a."}},
    {"NotCompiled", "(", NO_FLAGS, "((", {}},
};
INSTANTIATE_TEST_SUITE_P(Texts, FindAll, testing::ValuesIn(kFindAll), RowName());

struct SplitCase {
  const char* name;
  std::string pattern;
  std::uint64_t flags;
  std::string subject;
  bool keepEmpty;
  std::uint64_t limit;
  std::vector<std::string> segments;
};

void PrintTo(const SplitCase& row, std::ostream* out) { *out << row.name; }

template <class C>
void expectSplit(const SplitCase& row) {
  std::vector<std::basic_string<C>> segments;
  stderrOf([&] {
    segments = PatternT<C>::split(text<C>(row.pattern), text<C>(row.subject), row.keepEmpty,
                                  row.limit, row.flags);
  });
  EXPECT_EQ(segments, texts<C>(row.segments));
}

class Split : public testing::TestWithParam<SplitCase> {};
TEST_P(Split, BothVariants) { FOR_BOTH_VARIANTS(expectSplit, GetParam()); }

const SplitCase kSplit[] = {
    {"DropsEmptySegments", ",", NO_FLAGS, ",a,,b,", false, 0, {"a", "b"}},
    {"KeepsEmptyButNotLast", ",", NO_FLAGS, ",a,,b,", true, 0, {"", "a", "", "b"}},
    {"LimitOneGivesTwo", ",", NO_FLAGS, "a,b,c", false, 1, {"a", "b,c"}},
    {"LimitTwoGivesThree", ",", NO_FLAGS, "a,b,c,d", false, 2, {"a", "b", "c,d"}},
    {"ZeroLimitIsNoLimit", ",", NO_FLAGS, "a,b,c", false, 0, {"a", "b", "c"}},
    {"EmptyMatchesPassedOver", "x*", NO_FLAGS, "ab", false, 0, {"ab"}},
    {"EmptyMatchesKept", "x*", NO_FLAGS, "ab", true, 0, {"", "a", "b"}},
    {"MatchAtEndLeavesNoEmptyLast", ",", NO_FLAGS, "a,", true, 0, {"a"}},
    {"NoMatchIsWholeSubject", ",", NO_FLAGS, "abc", false, 0, {"abc"}},
    {"EmptySubject", ",", NO_FLAGS, "", true, 0, {}},
    {"LiteralSeparator", ".", LITERAL_PATTERN, "a.b", false, 0, {"a", "b"}},
    {"NotCompiled", "(", NO_FLAGS, "a(b", false, 0, {}},
};
INSTANTIATE_TEST_SUITE_P(Segments, Split, testing::ValuesIn(kSplit), RowName());

struct ReplaceCase {
  const char* name;
  std::string pattern;
  std::uint64_t flags;
  std::string subject;
  std::string replacement;
  std::string result;
};

void PrintTo(const ReplaceCase& row, std::ostream* out) { *out << row.name; }

template <class C>
void expectReplace(const ReplaceCase& row) {
  std::basic_string<C> result;
  stderrOf([&] {
    result = PatternT<C>::replace(text<C>(row.pattern), text<C>(row.subject),
                                  text<C>(row.replacement), row.flags);
  });
  EXPECT_EQ(result, text<C>(row.result));
}

class Replace : public testing::TestWithParam<ReplaceCase> {};
TEST_P(Replace, BothVariants) { FOR_BOTH_VARIANTS(expectReplace, GetParam()); }

const ReplaceCase kReplace[] = {
    {"EveryMatch", "a", NO_FLAGS, "banana", "o", "bonono"},
    {"EmptyMatchesButNotAtEnd", "x*", NO_FLAGS, "ab", "-", "-a-b"},
    {"NoMatchKeepsSubject", "z", NO_FLAGS, "ab", "-", "ab"},
    {"GroupsSwapped", "(a)(n)", NO_FLAGS, "banana", "\\2\\1", "bnanaa"},
    {"WholeMatch", "b", NO_FLAGS, "abc", "[\\0]", "a[b]c"},
    {"DoubledBackslash", "b", NO_FLAGS, "abc", "\\\\", "a\\c"},
    {"BackslashLetterIsLetter", "b", NO_FLAGS, "abc", "\\n", "anc"},
    {"TrailingBackslashStays", "b", NO_FLAGS, "abc", "x\\", "ax\\c"},
    {"GroupBeyondPatternInsertsNothing", "(b)", NO_FLAGS, "abc", "<\\9>", "a<>c"},
    {"DigitsFormOneNumber", "(b)", NO_FLAGS, "abc", "<\\12>", "a<>c"},
    {"TwoDigitGroup", "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)", NO_FLAGS, "abcdefghijkl", "\\12\\1",
     "la"},
    {"HugeGroupNumberInsertsNothing", "(b)", NO_FLAGS, "abc", "<\\99999999999999999999>", "a<>c"},
    {"IntOverflowingGroupNumber", "(b)", NO_FLAGS, "abc", "<\\4294967297>", "a<>c"},
    {"UnsetGroupInsertsNothing", "(a)|b", NO_FLAGS, "b", "[\\1]", "[]"},
    {"LiteralPattern", "a.", LITERAL_PATTERN, "a.a.x", "-", "--x"},
    {"NotCompiledGivesEmptyText", "(", NO_FLAGS, "abc", "-", ""},
};
INSTANTIATE_TEST_SUITE_P(Texts, Replace, testing::ValuesIn(kReplace), RowName());

struct NthCase {
  const char* name;
  std::string pattern;
  std::string subject;
  int n;
  std::string match;
  int start;
};

void PrintTo(const NthCase& row, std::ostream* out) { *out << row.name; }

template <class C>
void expectNthMatch(const NthCase& row) {
  std::pair<std::basic_string<C>, int> result;
  stderrOf([&] {
    result = PatternT<C>::findNthMatch(text<C>(row.pattern), text<C>(row.subject), row.n, NO_FLAGS);
  });
  EXPECT_EQ(result.first, text<C>(row.match));
  EXPECT_EQ(result.second, row.start);
}

class NthMatch : public testing::TestWithParam<NthCase> {};
TEST_P(NthMatch, BothVariants) { FOR_BOTH_VARIANTS(expectNthMatch, GetParam()); }

const NthCase kNth[] = {
    {"First", "a", "banana", 0, "a", 1},
    {"Second", "a", "banana", 1, "a", 3},
    {"PastTheLast", "a", "banana", 3, "", -1},
    {"Negative", "a", "banana", -1, "", -1},
    {"EmptyMatch", "x*", "ab", 1, "", 1},
    {"NotCompiled", "(", "banana", 0, "", -1},
};
INSTANTIATE_TEST_SUITE_P(Positions, NthMatch, testing::ValuesIn(kNth), RowName());

// A pattern's own operations run on its own matcher, one after another.
template <class C>
void expectInstanceOperations() {
  PatternPtr<C> pattern = compile<C>("-", NO_FLAGS);
  EXPECT_EQ(pattern->split(text<C>("a-b"), false, 0), texts<C>({"a", "b"}));
  EXPECT_EQ(pattern->replace(text<C>("a-b"), text<C>("+")), text<C>("a+b"));
  EXPECT_EQ(pattern->findAll(text<C>("--")), texts<C>({"-", "-"}));
  EXPECT_TRUE(pattern->matches(text<C>("-")));
  EXPECT_FALSE(pattern->matches(text<C>("a-")));
  EXPECT_EQ(pattern->getPattern(), text<C>("-"));
}
TEST(PatternOperations, InstanceFormsShareOwnMatcher) {
  FOR_BOTH_VARIANTS(expectInstanceOperations);
}

// The matcher expands a replacement against its current match.
template <class C>
void expectReplacementExpandedAgainstMatch() {
  PatternPtr<C> pattern = compile<C>("(\\w+)=(\\w*)", NO_FLAGS);
  MatcherPtr<C> matcher(pattern->createMatcher(text<C>("key=value")));
  ASSERT_TRUE(matcher->matches());
  EXPECT_EQ(matcher->replaceWithGroups(text<C>("\\2:\\1 (\\0) \\3\\\\")),
            text<C>("value:key (key=value) \\"));
}
TEST(PatternOperations, ReplacementExpandedAgainstMatch) {
  FOR_BOTH_VARIANTS(expectReplacementExpandedAgainstMatch);
}

template <class C>
void expectClassLevelMatches() {
  EXPECT_TRUE(PatternT<C>::matches(text<C>("a+"), text<C>("aa"), NO_FLAGS));
  EXPECT_FALSE(PatternT<C>::matches(text<C>("a+"), text<C>("aab"), NO_FLAGS));
  std::string report = stderrOf([] {
    EXPECT_FALSE(PatternT<C>::matches(text<C>("a)"), text<C>("a)"), NO_FLAGS));
  });
  EXPECT_FALSE(report.empty());
}
TEST(PatternOperations, ClassLevelMatches) { FOR_BOTH_VARIANTS(expectClassLevelMatches); }

template <class C>
void expectFlagsKept() {
  PatternPtr<C> pattern = compile<C>("(?i)a", DOT_ALL | (1u << 10));
  EXPECT_EQ(pattern->getFlags(), DOT_ALL | (1u << 10));
  EXPECT_TRUE(pattern->matches(text<C>("A")));
}
TEST(PatternOperations, FlagsAfterCompileAreTheCallers) { FOR_BOTH_VARIANTS(expectFlagsKept); }

}  // namespace
