// Searches: the sequence of matches that `Matcher::findNext` reports from a
// fresh matcher (how empty matches step on, where assertions hold), then the
// matcher's own state rules.

#include <algorithm>

#include "variants.h"

namespace {

struct SearchCase {
  const char* name;
  std::string pattern;
  std::uint64_t flags;
  std::string subject;
  std::vector<Span> found;
  std::vector<Span> groupsOfFirst;  // from group 1 on, in the first match
};

// Tables print as their row names in test output.
void PrintTo(const SearchCase& row, std::ostream* out) { *out << row.name; }

template <class C>
void expectSearches(const SearchCase& row) {
  PatternPtr<C> pattern = compile<C>(row.pattern, row.flags);
  ASSERT_NE(pattern, nullptr) << "pattern does not compile: " << row.pattern;
  MatcherPtr<C> matcher(pattern->createMatcher(text<C>(row.subject)));
  std::vector<Span> found;
  for (int guard = 0; guard <= static_cast<int>(row.subject.size()) + 1 && matcher->findNext();
       ++guard) {
    if (found.empty()) {
      for (std::size_t i = 0; i < row.groupsOfFirst.size(); ++i) {
        EXPECT_EQ(groupSpan(*matcher, static_cast<int>(i) + 1), row.groupsOfFirst[i])
            << "group " << i + 1;
      }
    }
    found.push_back(groupSpan(*matcher, 0));
  }
  EXPECT_EQ(found, row.found);
}

class Search : public testing::TestWithParam<SearchCase> {};

TEST_P(Search, BothVariants) { FOR_BOTH_VARIANTS(expectSearches, GetParam()); }

const SearchCase kStepping[] = {
    {"RetriesLaterStart", "b", NO_FLAGS, "ab", {{1, 2}}, {}},
    {"EveryOccurrence", "a", NO_FLAGS, "banana", {{1, 2}, {3, 4}, {5, 6}}, {}},
    {"EmptyPatternAtEachStart", "", NO_FLAGS, "ab", {{0, 0}, {1, 1}}, {}},
    {"EmptyPatternEmptySubject", "", NO_FLAGS, "", {{0, 0}}, {}},
    {"EmptyMatchesNoSearchAtEnd", "x*", NO_FLAGS, "ab", {{0, 0}, {1, 1}}, {}},
    {"EmptyMatchThenReal", "b*", NO_FLAGS, "ab", {{0, 0}, {1, 2}}, {}},
    {"EndAnchorFoundAtSize", "$", NO_FLAGS, "ab", {{2, 2}}, {}},
    {"FirstAlternativeWins", "a|ab", NO_FLAGS, "ab", {{0, 1}}, {}},
    {"LazyStarEmpty", "a*?", NO_FLAGS, "aaa", {{0, 0}, {1, 1}, {2, 2}}, {}},
    {"LazyPlusOne", "a+?", NO_FLAGS, "aaa", {{0, 1}, {1, 2}, {2, 3}}, {}},
    {"LazyBoundsMinimum", "a{2,3}?", NO_FLAGS, "aaaa", {{0, 2}, {2, 4}}, {}},
    {"LazyGroupLoop", "(a)*?b", NO_FLAGS, "aab", {{0, 3}}, {{1, 2}}},
    {"GroupInSecondAlternative", "a|(b)", NO_FLAGS, "b", {{0, 1}}, {{0, 1}}},
    {"LookBehindGroup", "(?<=x)(a)", NO_FLAGS, "xa", {{1, 2}}, {{1, 2}}},
    {"QuoteIgnoringCaseFound", "\\QAb\\E", IGNORE_CASE, "xxaB!", {{2, 4}}, {}},
    {"NoMatch", "x", NO_FLAGS, "ab", {}, {}},
};
INSTANTIATE_TEST_SUITE_P(Stepping, Search, testing::ValuesIn(kStepping), RowName());

// Where a match may begin: patterns whose first character is optional,
// folded, negated or not a character at all.
const SearchCase kMatchStarts[] = {
    {"EmptyQuote", "\\Q\\E", NO_FLAGS, "ab", {{0, 0}, {1, 1}}, {}},
    {"EmptyQuoteThenChar", "\\Q\\Eb", NO_FLAGS, "ab", {{1, 2}}, {}},
    {"EmptyFoldedQuote", "\\Q\\E", IGNORE_CASE, "ab", {{0, 0}, {1, 1}}, {}},
    {"OptionalFirst", "a?b", NO_FLAGS, "xb", {{1, 2}}, {}},
    {"StarFirst", "x*b", NO_FLAGS, "ab", {{1, 2}}, {}},
    {"LazyFirst", "x*?b", NO_FLAGS, "ab", {{1, 2}}, {}},
    {"EmptyAlternative", "(a|)b", NO_FLAGS, "cb", {{1, 2}}, {{1, 1}}},
    {"SecondAlternativeFirst", "a|b", NO_FLAGS, "cb", {{1, 2}}, {}},
    {"FoldedChar", "b", IGNORE_CASE, "aB", {{1, 2}}, {}},
    {"FoldedByInlineFlag", "(?i)b", NO_FLAGS, "aB", {{1, 2}}, {}},
    {"FoldedClass", "[b-c]", IGNORE_CASE, "aC", {{1, 2}}, {}},
    {"FoldedQuote", "\\Qbc\\E", IGNORE_CASE, "aBC", {{1, 3}}, {}},
    {"NegatedClass", "[^a]", NO_FLAGS, "ab", {{1, 2}}, {}},
    {"NegatedEscape", "\\D", NO_FLAGS, "1x", {{1, 2}}, {}},
    {"ReferenceFirst", "\\1?b(a)?", NO_FLAGS, "xb", {{1, 2}}, {}},
    {"LookBehindFirst", "(?<=a)b", NO_FLAGS, "bab", {{2, 3}}, {}},
    {"LookAheadFirst", "(?=b)\\w", NO_FLAGS, "ab", {{1, 2}}, {}},
    {"NegativeLookAheadFirst", "(?!a)\\w", NO_FLAGS, "ab", {{1, 2}}, {}},
    {"BoundaryFirst", "\\bb", NO_FLAGS, "a b", {{2, 3}}, {}},
    {"LineStartFirst", "^b", MULTI_LINE, "a\nb", {{2, 3}}, {}},
    {"GroupLoopFirst", "(?:xy)*b", NO_FLAGS, "ab", {{1, 2}}, {}},
    {"GroupLoopAtLeastOnce", "(?:xy)+b", NO_FLAGS, "bxyb", {{1, 4}}, {}},
    {"AtomicFirst", "(?>x?)b", NO_FLAGS, "ab", {{1, 2}}, {}},
    {"ZeroCountFirst", "x{0}b", NO_FLAGS, "ab", {{1, 2}}, {}},
    {"HighByteFirst", "\\xe9", NO_FLAGS, "a\xe9", {{1, 2}}, {}},
    {"NulFirst", "\\x00b", NO_FLAGS, std::string("a\0b", 3), {{1, 3}}, {}},
};
INSTANTIATE_TEST_SUITE_P(MatchStarts, Search, testing::ValuesIn(kMatchStarts), RowName());

const SearchCase kAssertions[] = {
    {"LineStartsAfterFeed", "^", MULTI_LINE, "a\nb", {{0, 0}, {2, 2}}, {}},
    {"LineStartAfterFinalFeed", "^", MULTI_LINE, "a\n", {{0, 0}, {2, 2}}, {}},
    {"LineStartsAroundReturnFeed", "^", MULTI_LINE, "a\r\nb", {{0, 0}, {2, 2}, {3, 3}}, {}},
    {"LineEndsBeforeFeed", "$", MULTI_LINE, "a\nb", {{1, 1}, {3, 3}}, {}},
    {"LineEndsAroundReturnFeed", "$", MULTI_LINE, "a\r\nb", {{1, 1}, {2, 2}, {4, 4}}, {}},
    {"UnixLinesKeepsReturnAsLineEnd", "$", MULTI_LINE | UNIX_LINES, "a\rb", {{1, 1}, {3, 3}}, {}},
    {"InputStartOnlyWithoutMultiLine", "^", NO_FLAGS, "a\nb", {{0, 0}}, {}},
    {"InputEndNotBeforeFeed", "a$", NO_FLAGS, "a\n", {}, {}},
    {"FinalTerminatorFeed", "a\\Z", NO_FLAGS, "a\n", {{0, 1}}, {}},
    {"FinalTerminatorReturn", "a\\Z", NO_FLAGS, "a\r", {{0, 1}}, {}},
    {"FinalTerminatorPair", "a\\Z", NO_FLAGS, "a\r\n", {{0, 1}}, {}},
    {"TwoFeedsAreNotFinal", "a\\Z", NO_FLAGS, "a\n\n", {}, {}},
    {"FeedReturnIsNotFinal", "a\\Z", NO_FLAGS, "a\n\r", {}, {}},
    {"AbsoluteEndNotBeforeFeed", "a\\z", NO_FLAGS, "a\n", {}, {}},
    {"InputStartEscape", "\\Ab", NO_FLAGS, "bb", {{0, 1}}, {}},
    {"WordBoundaries", "\\b", NO_FLAGS, "ab cd", {{0, 0}, {2, 2}, {3, 3}, {5, 5}}, {}},
    {"UpperCaseLettersAreWordLetters", "\\bAZ\\b", NO_FLAGS, " AZ ", {{1, 3}}, {}},
    {"LowerCaseLettersAreWordLetters", "\\baz\\b", NO_FLAGS, " az ", {{1, 3}}, {}},
    {"DigitIsNotWordLetter", "\\b", NO_FLAGS, "a1", {{0, 0}, {1, 1}}, {}},
    {"NoBoundaryAtEndAfterDigit", "1\\b", NO_FLAGS, "a1", {}, {}},
    {"UnderscoreIsNotWordLetter", "\\b", NO_FLAGS, "_a", {{1, 1}}, {}},
    {"NoBoundaryAtEndAfterBlank", " \\b", NO_FLAGS, "ab ", {}, {}},
    {"BoundaryAtEndAfterLetter", "b\\b", NO_FLAGS, "ab", {{1, 2}}, {}},
    {"NonBoundaryInsideWord", "\\B", NO_FLAGS, "abc", {{1, 1}, {2, 2}}, {}},
    {"NonBoundaryAtEndAfterBlank", "\\B", NO_FLAGS, "ab ", {{1, 1}, {3, 3}}, {}},
    {"NonBoundaryBetweenLetters", "a\\Bb", NO_FLAGS, "ab", {{0, 2}}, {}},
    {"NoNonBoundaryAtEndAfterLetter", "b\\B", NO_FLAGS, "ab", {}, {}},
    {"EndOfPreviousMatch", "\\Ga", NO_FLAGS, "aab", {{0, 1}, {1, 2}}, {}},
    {"EndOfPreviousMatchOnlyFirstTry", "\\Ga", NO_FLAGS, "ba", {}, {}},
    {"LookBehind", "(?<=ab)c", NO_FLAGS, "abc", {{2, 3}}, {}},
    {"LookBehindMismatch", "(?<=ab)c", NO_FLAGS, "xbc", {}, {}},
    {"NegativeLookBehind", "(?<!ab)c", NO_FLAGS, "xbc", {{2, 3}}, {}},
    {"NegativeLookBehindAtStart", "(?<!ab)c", NO_FLAGS, "c", {{0, 1}}, {}},
    {"LookBehindExactIgnoringCase", "(?i)(?<=ab)c", NO_FLAGS, "ABc", {}, {}},
    {"LookBehindEscapedParen", "(?<=a\\))b", NO_FLAGS, "a)b", {{2, 3}}, {}},
    {"LookBehindEscapeIsLiteral", "(?<=\\t)x", NO_FLAGS, "\tx tx", {{4, 5}}, {}},
    {"LookAheadAloneIsEmpty", "(?=a)", NO_FLAGS, "ba", {{1, 1}}, {}},
};
INSTANTIATE_TEST_SUITE_P(Assertions, Search, testing::ValuesIn(kAssertions), RowName());

// "\b" holds at exactly the listed positions of each subject, the end
// included, and "\B" at every other one. Searches never begin at the end,
// so each position p is tested by a whole match of ".{p}" before the
// assertion.
template <class C>
void expectBoundariesAt(const std::string& subject, const std::vector<int>& boundaries) {
  const int size = static_cast<int>(subject.size());
  for (int p = 0; p <= size; ++p) {
    const std::string prefix = "(?s).{" + std::to_string(p) + "}";
    const bool boundary =
        std::find(boundaries.begin(), boundaries.end(), p) != boundaries.end();
    EXPECT_EQ(PatternT<C>::matches(text<C>(prefix + "\\b.*"), text<C>(subject), NO_FLAGS), boundary)
        << "\\b in '" << subject << "' at " << p;
    EXPECT_EQ(PatternT<C>::matches(text<C>(prefix + "\\B.*"), text<C>(subject), NO_FLAGS), !boundary)
        << "\\B in '" << subject << "' at " << p;
  }
}
TEST(WordBoundary, NonBoundaryIsItsOppositeEverywhere) {
  const struct {
    std::string subject;
    std::vector<int> boundaries;
  } cases[] = {
      {"", {}},        {"a", {0, 1}},       {"1", {}},        {"ab cd", {0, 2, 3, 5}},
      {"a1", {0, 1}},  {"_a", {1, 2}},      {"ab ", {0, 2}},  {" Z", {1, 2}},
      {"a\xe9", {0, 1}}, {"\xe9\n", {}},
  };
  for (const auto& c : cases) FOR_BOTH_VARIANTS(expectBoundariesAt, c.subject, c.boundaries);
}

// Matcher state: first use, the switch between whole-text match and search,
// the end of a search and reset.
template <class C>
void expectFreshMatcherGroupZeroEmptyAtStart() {
  PatternPtr<C> pattern = compile<C>("(a)b", NO_FLAGS);
  MatcherPtr<C> matcher(pattern->createMatcher(text<C>("ab")));
  EXPECT_EQ(matcher->getGroup(0), text<C>(""));
  EXPECT_EQ(groupSpan(*matcher, 0), (Span{0, 0}));
  EXPECT_EQ(groupSpan(*matcher, 1), (Span{0, 0}));
}
TEST(MatcherState, FreshMatcherReadsEmptyGroupsAtZero) {
  FOR_BOTH_VARIANTS(expectFreshMatcherGroupZeroEmptyAtStart);
}

template <class C>
void expectSearchRestartsAfterWholeMatch() {
  PatternPtr<C> pattern = compile<C>("a", NO_FLAGS);
  MatcherPtr<C> matcher(pattern->createMatcher(text<C>("aa")));
  EXPECT_FALSE(matcher->matches());
  EXPECT_EQ(matcher->getGroup(0), text<C>(""));
  EXPECT_EQ(matcher->getEnd(0), -1);
  ASSERT_TRUE(matcher->findNext());
  EXPECT_EQ(groupSpan(*matcher, 0), (Span{0, 1}));
  ASSERT_TRUE(matcher->findNext());
  EXPECT_EQ(groupSpan(*matcher, 0), (Span{1, 2}));
  EXPECT_TRUE(matcher->findFirst());
  EXPECT_EQ(groupSpan(*matcher, 0), (Span{0, 1}));
  matcher->setString(text<C>("a"));
  ASSERT_TRUE(matcher->findNext());
  EXPECT_TRUE(matcher->matches());
  EXPECT_EQ(groupSpan(*matcher, 0), (Span{0, 1}));
}
TEST(MatcherState, SearchStartsOverAfterWholeMatch) {
  FOR_BOTH_VARIANTS(expectSearchRestartsAfterWholeMatch);
}

// Once a search has come back false, further calls stay false (they must not
// start again at position 0, nor read before the subject) until a reset.
template <class C>
void expectExhaustedSearchStaysFalse(const std::string& pattern, const std::string& subject,
                                     int firstStart) {
  PatternPtr<C> compiled = compile<C>(pattern, NO_FLAGS);
  MatcherPtr<C> matcher(compiled->createMatcher(text<C>(subject)));
  ASSERT_TRUE(matcher->findNext());
  while (matcher->findNext()) {
  }
  EXPECT_FALSE(matcher->findNext());
  EXPECT_FALSE(matcher->findNext());
  matcher->reset();
  EXPECT_TRUE(matcher->findNext());
  EXPECT_EQ(matcher->getStart(0), firstStart);
}
TEST(MatcherState, ExhaustedSearchStaysFalseUntilReset) {
  // Ended by a failed search in the middle, by the stop at the end of the
  // subject, and after an empty match just before the end.
  FOR_BOTH_VARIANTS(expectExhaustedSearchStaysFalse, "a", "ab", 0);
  FOR_BOTH_VARIANTS(expectExhaustedSearchStaysFalse, "a", "ba", 1);
  FOR_BOTH_VARIANTS(expectExhaustedSearchStaysFalse, "a*", "ab", 0);
}

template <class C>
void expectSetStringResets() {
  PatternPtr<C> pattern = compile<C>("a", NO_FLAGS);
  MatcherPtr<C> matcher(pattern->createMatcher(text<C>("a")));
  ASSERT_TRUE(matcher->findNext());
  EXPECT_FALSE(matcher->findNext());
  matcher->setString(text<C>("xa"));
  EXPECT_EQ(matcher->getString(), text<C>("xa"));
  ASSERT_TRUE(matcher->findNext());
  EXPECT_EQ(groupSpan(*matcher, 0), (Span{1, 2}));
}
TEST(MatcherState, SetStringStartsOver) { FOR_BOTH_VARIANTS(expectSetStringResets); }

template <class C>
void expectGroupAccessors() {
  PatternPtr<C> pattern = compile<C>("(a)(x)?(b)", NO_FLAGS);
  MatcherPtr<C> matcher(pattern->createMatcher(text<C>("ab")));
  ASSERT_TRUE(matcher->matches());
  EXPECT_EQ(matcher->getGroups(true), texts<C>({"ab", "a", "", "b"}));
  EXPECT_EQ(matcher->getGroups(false), texts<C>({"a", "", "b"}));
  EXPECT_EQ(matcher->getGroup(3), text<C>("b"));
  for (int outside : {-1, 4, 1000}) {
    EXPECT_EQ(matcher->getGroup(outside), text<C>(""));
    EXPECT_EQ(matcher->getStart(outside), -1);
    EXPECT_EQ(matcher->getEnd(outside), -1);
  }

  PatternPtr<C> plain = compile<C>("(?:a)b", NO_FLAGS);
  MatcherPtr<C> plainMatcher(plain->createMatcher(text<C>("ab")));
  ASSERT_TRUE(plainMatcher->matches());
  EXPECT_TRUE(plainMatcher->getGroups(false).empty());
}
TEST(MatcherState, GroupAccessors) { FOR_BOTH_VARIANTS(expectGroupAccessors); }

// Several matchers of one pattern, used in turn, keep their own state.
template <class C>
void expectMatchersIndependent() {
  PatternPtr<C> pattern = compile<C>("(\\d+)", NO_FLAGS);
  MatcherPtr<C> first(pattern->createMatcher(text<C>("1 22")));
  MatcherPtr<C> second(pattern->createMatcher(text<C>("333 4")));
  ASSERT_TRUE(first->findNext());
  ASSERT_TRUE(second->findNext());
  ASSERT_TRUE(first->findNext());
  EXPECT_EQ(first->getGroup(1), text<C>("22"));
  EXPECT_EQ(second->getGroup(1), text<C>("333"));
  EXPECT_TRUE(pattern->matches(text<C>("55")));
  ASSERT_TRUE(second->findNext());
  EXPECT_EQ(second->getGroup(1), text<C>("4"));
}
TEST(MatcherState, MatchersOfOnePatternAreIndependent) {
  FOR_BOTH_VARIANTS(expectMatchersIndependent);
}

}  // namespace
