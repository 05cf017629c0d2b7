// Whole-text matches (`Matcher::matches`), one table per behaviour, each row
// run over both variants. A row lists the groups from group 1 on that it
// checks after the match.

#include "variants.h"

using namespace std::string_literals;

namespace {

struct WholeCase {
  const char* name;
  std::string pattern;
  std::uint64_t flags;
  std::string subject;
  bool matches;
  std::vector<Span> groups;
};

// Tables print as their row names in test output.
void PrintTo(const WholeCase& row, std::ostream* out) { *out << row.name; }

template <class C>
void expectWholeMatch(const WholeCase& row) {
  PatternPtr<C> pattern = compile<C>(row.pattern, row.flags);
  ASSERT_NE(pattern, nullptr) << "pattern does not compile: " << row.pattern;
  MatcherPtr<C> matcher(pattern->createMatcher(text<C>(row.subject)));
  EXPECT_EQ(matcher->matches(), row.matches);
  if (row.matches) {
    EXPECT_EQ(groupSpan(*matcher, 0), (Span{0, static_cast<int>(row.subject.size())}));
  }
  for (std::size_t i = 0; i < row.groups.size(); ++i) {
    EXPECT_EQ(groupSpan(*matcher, static_cast<int>(i) + 1), row.groups[i]) << "group " << i + 1;
  }
}

class WholeMatch : public testing::TestWithParam<WholeCase> {};

TEST_P(WholeMatch, BothVariants) { FOR_BOTH_VARIANTS(expectWholeMatch, GetParam()); }

const WholeCase kSequencesAndAlternation[] = {
    {"EmptyPatternEmptySubject", "", NO_FLAGS, "", true, {}},
    {"EmptyPatternNeedsEmptySubject", "", NO_FLAGS, "a", false, {}},
    {"CharDoesNotMatchLonger", "a", NO_FLAGS, "ab", false, {}},
    {"CharFailsAtEndOfSubject", "a", NO_FLAGS, "", false, {}},
    {"StarLeavesRest", "a*", NO_FLAGS, "aab", false, {}},
    {"FirstAlternativeEndsEarly", "a|ab", NO_FLAGS, "ab", true, {}},
    {"BarAloneMatchesEmpty", "|", NO_FLAGS, "", true, {}},
    {"BarAloneRejectsChar", "|", NO_FLAGS, "a", false, {}},
    {"EmptySecondAlternative", "a|", NO_FLAGS, "", true, {}},
    {"EmptyFirstAlternativeInGroup", "(|a)", NO_FLAGS, "a", true, {{0, 1}}},
    {"NestedAlternationReachesRest", "x(a|b|c)y", NO_FLAGS, "xcy", true, {{1, 2}}},
    {"NonCapturingAlternation", "x(?:a|b|c)y", NO_FLAGS, "xcy", true, {}},
    {"NonCapturingAlternationShort", "x(?:a|b|c)y", NO_FLAGS, "xc", false, {}},
    {"AlternationInsideAlternation", "((a|b)c|d)e", NO_FLAGS, "ace", true, {{0, 2}, {0, 1}}},
    {"SecondOuterAlternative", "((a|b)c|d)e", NO_FLAGS, "de", true, {{0, 1}, UNSET}},
    {"OuterAlternationNeedsTail", "((a|b)c|d)e", NO_FLAGS, "ac", false, {}},
    {"LongerAlternativeWhenNeeded", "(a|ab)(c|bcd)", NO_FLAGS, "abcd", true, {{0, 1}, {1, 4}}},
    {"LookAheadConsumesNothing", "(?=ab)a.", NO_FLAGS, "ab", true, {}},
    {"NegativeLookAheadRejects", "(?!a).", NO_FLAGS, "a", false, {}},
    {"NegativeLookAheadAccepts", "(?!a).", NO_FLAGS, "b", true, {}},
};
INSTANTIATE_TEST_SUITE_P(Sequences, WholeMatch, testing::ValuesIn(kSequencesAndAlternation),
                         RowName());

// Capturing groups take 1, 2, ... by their opening parentheses; nothing else
// takes a number, and a failed path leaves no group behind.
const WholeCase kGroupNumbering[] = {
    {"EmptyGroup", "()", NO_FLAGS, "", true, {{0, 0}}},
    {"EachAlternativeRecordsGroup", "(a|b)", NO_FLAGS, "b", true, {{0, 1}}},
    {"NonCapturingTakesNoNumber", "(a)(?:b)(c)", NO_FLAGS, "abc", true, {{0, 1}, {2, 3}, UNSET}},
    {"InlineFlagsTakeNoNumber", "(?i)(a)", NO_FLAGS, "A", true, {{0, 1}, UNSET}},
    {"LookAheadTakesNoNumber", "(?=a)(a)", NO_FLAGS, "a", true, {{0, 1}, UNSET}},
    {"AtomicTakesNoNumber", "(?>a)(b)", NO_FLAGS, "ab", true, {{1, 2}, UNSET}},
    {"UnusedAlternativeGroupUnset", "(a)|b", NO_FLAGS, "b", true, {UNSET}},
    {"FailedAlternativeRestoresGroup", "(a)b|ac", NO_FLAGS, "ac", true, {UNSET}},
    {"FailedMatchRestoresGroups", "(a)(b)c", NO_FLAGS, "abd", false, {UNSET, UNSET}},
    // A later failure on another path takes back what a look-ahead or an
    // atomic body recorded.
    {"LookAheadCaptureRestored", "(?=(a))b|a", NO_FLAGS, "a", true, {UNSET}},
    {"AtomicCaptureRestored", "(?>(a))b|a", NO_FLAGS, "a", true, {UNSET}},
    {"LookAheadCaptureKeptOnSuccess", "(?=(a))a", NO_FLAGS, "a", true, {{0, 1}}},
    {"AtomicCaptureKeptOnSuccess", "(?>(a))b", NO_FLAGS, "ab", true, {{0, 1}}},
    {"NestedLookAheadCaptureRestored", "(?=(a)(?=(b)))x|ab", NO_FLAGS, "ab", true, {UNSET, UNSET}},
    // Ten groups in one body, given back to what the first iteration left
    // when the second one fails after its body succeeded.
    {"ManyLookAheadCapturesRestored", "(?:(?=(.)(.)(.)(.)(.)(?:(.)(.)(.)(.)(.)))..........)*klmnopqrs!",
     NO_FLAGS, "abcdefghijklmnopqrs!", true,
     {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}, {7, 8}, {8, 9}, {9, 10}}},
    {"ManyAtomicCapturesRestored", "(?:(?>(.)(.)(.)(.)(.)(?:(.)(.)(.)(.)(.))))*klmnopqrs!", NO_FLAGS,
     "abcdefghijklmnopqrs!", true,
     {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}, {7, 8}, {8, 9}, {9, 10}}},
    {"TenGroupsThenReference", "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)\\10", NO_FLAGS, "abcdefghijj", true,
     {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}, {7, 8}, {8, 9}, {9, 10}}},
};
INSTANTIATE_TEST_SUITE_P(Groups, WholeMatch, testing::ValuesIn(kGroupNumbering), RowName());

// Inline flags hold to the end of the enclosing chain; a group with a colon
// changes them for its body only; an alternative starts under the flags in
// force at its bar.
const WholeCase kFlagScoping[] = {
    {"InlineFlagCoversAlternation", "(?i)a|b", NO_FLAGS, "B", true, {}},
    {"AlternativeStartsUnderFlagsAtBar", "a(?i)b|c", NO_FLAGS, "C", true, {}},
    {"InlineFlagEndsWithGroup", "(a(?i)b)c", NO_FLAGS, "aBc", true, {{0, 2}}},
    {"InlineFlagDoesNotLeaveGroup", "(a(?i)b)c", NO_FLAGS, "aBC", false, {}},
    {"ColonGroupScopesFlag", "(?i:a)b", NO_FLAGS, "Ab", true, {}},
    {"ColonGroupFlagEndsAtParen", "(?i:a)b", NO_FLAGS, "AB", false, {}},
    {"ClearingPartClearsCallerFlag", "(?-i)a", IGNORE_CASE, "A", false, {}},
    {"ClearingPartKeepsExactMatch", "(?-i)a", IGNORE_CASE, "a", true, {}},
    {"SetThenClear", "(?i-i)a", NO_FLAGS, "A", false, {}},
    {"EmptyFlagGroup", "(?)a", NO_FLAGS, "a", true, {}},
    {"EmptyClearingPart", "(?i-)a", NO_FLAGS, "A", true, {}},
    {"InlineFlagsAloneMatchEmpty", "(?i)", NO_FLAGS, "", true, {}},
    {"ColonGroupAlternation", "(?i:a|b)", NO_FLAGS, "B", true, {}},
    {"InlineFlagInAlternativeOfGroup", "(a|(?i)b)c", NO_FLAGS, "Bc", true, {{0, 1}}},
    {"InlineFlagInAlternativeEndsWithGroup", "(a|(?i)b)c", NO_FLAGS, "BC", false, {}},
    {"InlineDotAll", "(?s).", NO_FLAGS, "\n", true, {}},
    {"InlineUnixLinesAllowsReturn", "(?d).", NO_FLAGS, "\r", true, {}},
    {"InlineUnixLinesExcludesFeed", "(?d).", NO_FLAGS, "\n", false, {}},
    {"DotExcludesFeed", ".", NO_FLAGS, "\n", false, {}},
    {"DotExcludesReturn", ".", NO_FLAGS, "\r", false, {}},
    {"DotAllFlag", ".", DOT_ALL, "\r", true, {}},
    {"UnixLinesFlagAllowsReturn", ".", UNIX_LINES, "\r", true, {}},
    {"UnixLinesFlagExcludesFeed", ".", UNIX_LINES, "\n", false, {}},
    {"IgnoreCaseFlag", "abc", IGNORE_CASE, "AbC", true, {}},
    {"CaseMattersWithoutFlag", "abc", NO_FLAGS, "AbC", false, {}},
    {"IgnoreCaseUpperPattern", "ABC", IGNORE_CASE, "abc", true, {}},
    {"IgnoreCaseFoldsLettersOnly", "@", IGNORE_CASE, "`", false, {}},
};
INSTANTIATE_TEST_SUITE_P(Flags, WholeMatch, testing::ValuesIn(kFlagScoping), RowName());

const WholeCase kQuantifiers[] = {
    {"StarTakesAll", "a*", NO_FLAGS, "aaa", true, {}},
    {"StarGivesBack", "a*a", NO_FLAGS, "aaa", true, {}},
    {"PossessiveStarKeepsAll", "a*+a", NO_FLAGS, "aaa", false, {}},
    {"PlusNeedsOne", "a+", NO_FLAGS, "", false, {}},
    {"OptionalMissing", "a?b", NO_FLAGS, "b", true, {}},
    {"LazyStarExtendsWhenNeeded", "a*?b", NO_FLAGS, "aaab", true, {}},
    {"LazyPlusExtendsToEnd", "a+?", NO_FLAGS, "aaa", true, {}},
    {"PossessiveBoundNeverGivesBack", "a{0,2}+a", NO_FLAGS, "aa", false, {}},
    {"PossessivePlusThenOther", "a++b", NO_FLAGS, "aab", true, {}},
    {"PossessivePlusExactlyMinimum", "a++", NO_FLAGS, "a", true, {}},
    {"PossessiveBoundExactlyMinimum", "a{2,3}+", NO_FLAGS, "aa", true, {}},
    {"ZeroWidthStarEnds", "\\b*x", NO_FLAGS, "x", true, {}},
    {"QuantifiedQuote", "\\Qab\\E+", NO_FLAGS, "ababab", true, {}},
    {"QuantifiedClass", "[ab]{3}", NO_FLAGS, "bab", true, {}},
    {"QuoteCountedExactly", "\\Qab\\E{2}", NO_FLAGS, "abab", true, {}},
    {"QuoteCountedTooFew", "\\Qab\\E{2}", NO_FLAGS, "ab", false, {}},
    {"QuoteBoundedAbove", "\\Qab\\E{1,2}", NO_FLAGS, "ababab", false, {}},
    {"QuoteBoundedGivesBack", "\\Qab\\E{1,2}ab", NO_FLAGS, "abab", true, {}},
    {"QuotePossessiveTakesAll", "\\Qab\\E*+", NO_FLAGS, "ababab", true, {}},
    {"QuotePossessiveKeepsAll", "\\Qab\\E++ab", NO_FLAGS, "abab", false, {}},
    {"QuoteLazyBounded", "\\Qab\\E{1,2}?", NO_FLAGS, "ababab", false, {}},
    {"AnchorStarEnds", "^*a", NO_FLAGS, "a", true, {}},
    {"AtomicKeepsFirstWay", "(?>a|ab)c", NO_FLAGS, "abc", false, {}},
    {"AtomicFirstWayFits", "(?>a|ab)c", NO_FLAGS, "ac", true, {}},
    {"AtomicWholeBody", "(?>ab)", NO_FLAGS, "ab", true, {}},
    {"AtomicNoPrefix", "(?>ab)", NO_FLAGS, "a", false, {}},
    {"AtomicNoRepeat", "(?>ab)", NO_FLAGS, "abab", false, {}},
    {"AtomicStarThenOther", "(?>a*)b", NO_FLAGS, "aab", true, {}},
    {"AtomicStarKeepsAll", "(?>a*)a", NO_FLAGS, "aa", false, {}},
    {"DotStarAcrossLinesWithDotAll", ".*x.*", DOT_ALL, "a\nbx\nc", true, {}},
};
INSTANTIATE_TEST_SUITE_P(Quantifiers, WholeMatch, testing::ValuesIn(kQuantifiers), RowName());

const WholeCase kBounds[] = {
    {"ExactTooFew", "a{2}", NO_FLAGS, "a", false, {}},
    {"Exact", "a{2}", NO_FLAGS, "aa", true, {}},
    {"ExactTooMany", "a{2}", NO_FLAGS, "aaa", false, {}},
    {"NineDigitCount", "a{9}", NO_FLAGS, "aaaaaaaaa", true, {}},
    {"NineDigitUpperBound", "a{1,9}b", NO_FLAGS, "aaaaaaaaab", true, {}},
    {"OpenUpper", "a{2,}", NO_FLAGS, "aaaaa", true, {}},
    {"OpenUpperTooFew", "a{2,}", NO_FLAGS, "a", false, {}},
    {"OpenLowerEmpty", "a{,2}", NO_FLAGS, "", true, {}},
    {"OpenLowerMax", "a{,2}", NO_FLAGS, "aa", true, {}},
    {"OpenLowerTooMany", "a{,2}", NO_FLAGS, "aaa", false, {}},
    {"OpenBothEmpty", "a{,}", NO_FLAGS, "", true, {}},
    {"OpenBothMany", "a{,}", NO_FLAGS, "aaaa", true, {}},
    {"EmptyBracesMatchEmpty", "a{}", NO_FLAGS, "", true, {}},
    {"EmptyBracesRejectChar", "a{}", NO_FLAGS, "a", false, {}},
    {"ZeroCount", "a{0}", NO_FLAGS, "", true, {}},
    {"ZeroCountRejectsChar", "a{0}", NO_FLAGS, "a", false, {}},
    {"RangeTooFew", "a{2,3}", NO_FLAGS, "a", false, {}},
    {"RangeLow", "a{2,3}", NO_FLAGS, "aa", true, {}},
    {"RangeHigh", "a{2,3}", NO_FLAGS, "aaa", true, {}},
    {"RangeTooMany", "a{2,3}", NO_FLAGS, "aaaa", false, {}},
    {"LazyRangeExtends", "a{2,3}?", NO_FLAGS, "aaa", true, {}},
    {"PossessiveRangeTakesMax", "a{2,3}+a", NO_FLAGS, "aaa", false, {}},
    {"PossessiveRangeThenRest", "a{2,3}+a", NO_FLAGS, "aaaa", true, {}},
    {"MinAboveMaxRunsMin", "a{3,1}", NO_FLAGS, "aaa", true, {}},
    {"MinAboveMaxNoFewer", "a{3,1}", NO_FLAGS, "a", false, {}},
    {"MinAboveMaxNoMore", "a{3,1}", NO_FLAGS, "aaaa", false, {}},
    {"MinAboveMaxCompiles", "a{5,2}", NO_FLAGS, "aaaaa", true, {}},
    {"BoundsAfterGroup", "(ab){2}", NO_FLAGS, "abab", true, {{2, 4}}},
    {"BoundsBetweenChars", "x{2}y", NO_FLAGS, "xxy", true, {}},
};
INSTANTIATE_TEST_SUITE_P(Bounds, WholeMatch, testing::ValuesIn(kBounds), RowName());

// Repeated groups: positions of the last iteration on the successful path,
// empty iterations end the loop and stay recorded.
const WholeCase kGroupLoops[] = {
    {"StarGroupLastIteration", "(ab)*", NO_FLAGS, "abab", true, {{2, 4}}},
    {"StarGroupNoIteration", "(ab)*", NO_FLAGS, "", true, {UNSET}},
    {"EmptyIterationEndsLoop", "(a?)*", NO_FLAGS, "aa", true, {{2, 2}}},
    {"EmptyIterationBelowMinimum", "(a?){3}", NO_FLAGS, "", true, {{0, 0}}},
    {"PossessiveGroupStarKeepsAll", "(a)*+a", NO_FLAGS, "aa", false, {}},
    {"PossessiveGroupAtMaxGivesBackOne", "(a){0,2}+a", NO_FLAGS, "aa", true, {{0, 1}}},
    {"PossessiveGroupExact", "(ab){2}+", NO_FLAGS, "abab", true, {{2, 4}}},
    {"LazyGroupExtends", "(ab)*?c", NO_FLAGS, "ababc", true, {{2, 4}}},
    {"GroupLoopGivesBack", "(a|ab)*b", NO_FLAGS, "abab", true, {{2, 3}}},
    {"AlternationLoopGroup", "x(a|b)*y", NO_FLAGS, "xabby", true, {{3, 4}}},
    {"NonCapturingLoop", "(?:ab)+c", NO_FLAGS, "ababc", true, {}},
    {"NestedLoops", "((a)b)*", NO_FLAGS, "abab", true, {{2, 4}, {2, 3}}},
    {"LoopBoundsTooFew", "(ab){2,3}", NO_FLAGS, "ab", false, {}},
    {"LoopBoundsTooMany", "(ab){2,3}", NO_FLAGS, "abababab", false, {}},
    {"LoopMinAboveMax", "(a){3,1}", NO_FLAGS, "aaa", true, {{2, 3}}},
    {"LoopZeroMaxSkipsGroup", "(a){0}b", NO_FLAGS, "b", true, {UNSET}},
    {"EmptySecondIterationKept", "(a*)*", NO_FLAGS, "aaa", true, {{3, 3}}},
    {"EmptyIterationOnEmptySubject", "(a?)*", NO_FLAGS, "", true, {{0, 0}}},
    {"LazyLoopNoIterationOnEmptySubject", "(a?)*?", NO_FLAGS, "", true, {UNSET}},
    {"PossessiveEmptyIterationOnEmptySubject", "(a?)*+", NO_FLAGS, "", true, {{0, 0}}},
    {"LazyLoopWithMinimum", "(a){2,}?", NO_FLAGS, "aaaa", true, {{3, 4}}},
    // A possessive loop keeps its iterations, but an iteration that fails
    // may still take another way through the group's own alternatives.
    {"PossessiveLoopRetriesInsideIteration", "(a|ab)*+c", NO_FLAGS, "abc", true, {{0, 2}}},
};
INSTANTIATE_TEST_SUITE_P(GroupLoops, WholeMatch, testing::ValuesIn(kGroupLoops), RowName());

const WholeCase kEscapes[] = {
    {"HexPair", "\\x41", NO_FLAGS, "A", true, {}},
    {"HexPairOneCharEvenIgnoringCase", "\\x41", IGNORE_CASE, "a", false, {}},
    {"HexMissingDigitsIsSpace", "\\xZZ", NO_FLAGS, " ZZ", true, {}},
    {"HexOneDigitAtEnd", "\\x4", NO_FLAGS, " 4", true, {}},
    {"HexAtEnd", "\\x", NO_FLAGS, " ", true, {}},
    {"EscapeEIsEscapeChar", "\\e", NO_FLAGS, "\x1b", true, {}},
    {"EscapeEIsNotReturn", "\\e", NO_FLAGS, "\r", false, {}},
    {"OctalThreeDigits", "\\0101", NO_FLAGS, "A", true, {}},
    {"OctalHighest", "\\0377", NO_FLAGS, "\xff", true, {}},
    {"OctalHighFirstTakesTwo", "\\0400", NO_FLAGS, " 0", true, {}},
    {"OctalTwoDigits", "\\012", NO_FLAGS, "\n", true, {}},
    {"Tab", "\\t", NO_FLAGS, "\t", true, {}},
    {"LineFeed", "\\n", NO_FLAGS, "\n", true, {}},
    {"Return", "\\r", NO_FLAGS, "\r", true, {}},
    {"FormFeed", "\\f", NO_FLAGS, "\f", true, {}},
    {"Bell", "\\a", NO_FLAGS, "\a", true, {}},
    {"UnknownLetterIsItself", "\\v", NO_FLAGS, "v", true, {}},
    {"EscapedDot", "\\.", NO_FLAGS, ".", true, {}},
    {"EscapedDotIsLiteral", "\\.", NO_FLAGS, "x", false, {}},
    {"EscapedBackslash", "\\\\", NO_FLAGS, "\\", true, {}},
    {"EscapedMeta", "\\*\\+\\?\\(\\)\\[\\]\\{\\}\\|\\^\\$", NO_FLAGS, "*+?()[]{}|^$", true, {}},
    {"Digits", "\\d+", NO_FLAGS, "0123456789", true, {}},
    {"DigitsRejectLetter", "\\d+", NO_FLAGS, "1a", false, {}},
    {"NotDigit", "\\D", NO_FLAGS, "a", true, {}},
    {"NotDigitRejectsDigit", "\\D", NO_FLAGS, "7", false, {}},
    {"NotDigitNeedsChar", "\\D", NO_FLAGS, "", false, {}},
    {"SpaceSet", "\\s\\s\\s\\s\\s", NO_FLAGS, " \t\r\n\f", true, {}},
    {"SpaceSetNoVerticalTab", "\\s", NO_FLAGS, "\v", false, {}},
    {"NotSpace", "\\S", NO_FLAGS, "x", true, {}},
    {"Word", "\\w+", NO_FLAGS, "azAZ09_", true, {}},
    {"WordRejectsDash", "\\w", NO_FLAGS, "-", false, {}},
    {"NotWord", "\\W", NO_FLAGS, "-", true, {}},
    {"PosixLower", "\\p{Lower}+", NO_FLAGS, "az", true, {}},
    {"PosixLowerRejectsUpper", "\\p{Lower}", NO_FLAGS, "A", false, {}},
    {"PosixUpper", "\\p{Upper}+", NO_FLAGS, "AZ", true, {}},
    {"PosixAlpha", "\\p{Alpha}+", NO_FLAGS, "aZ", true, {}},
    {"PosixDigit", "\\p{Digit}+", NO_FLAGS, "09", true, {}},
    {"PosixAlnum", "\\p{Alnum}+", NO_FLAGS, "a0Z", true, {}},
    {"PosixPunct", "\\p{Punct}+", NO_FLAGS, "!/:@[`{~", true, {}},
    {"PosixPunctRejectsSpace", "\\p{Punct}", NO_FLAGS, " ", false, {}},
    {"PosixGraphRejectsSpace", "\\p{Graph}", NO_FLAGS, " ", false, {}},
    {"PosixGraph", "\\p{Graph}+", NO_FLAGS, "a!9", true, {}},
    {"PosixPrintSpace", "\\p{Print}", NO_FLAGS, " ", true, {}},
    {"PosixBlank", "\\p{Blank}\\p{Blank}", NO_FLAGS, " \t", true, {}},
    {"PosixSpaceVerticalTab", "\\p{Space}", NO_FLAGS, "\v", true, {}},
    {"PosixCntrlNul", "\\p{Cntrl}", NO_FLAGS, "\0"s, true, {}},
    {"PosixCntrlDelete", "\\p{Cntrl}", NO_FLAGS, "\x7f", true, {}},
    {"PosixAsciiTop", "\\p{ASCII}", NO_FLAGS, "\x7f", true, {}},
    {"PosixAsciiNotHigh", "\\p{ASCII}", NO_FLAGS, "\x80", false, {}},
    {"PosixXDigitTakesEight", "\\p{XDigit}g", NO_FLAGS, "Fg", true, {}},
    {"PosixNegated", "\\P{Digit}", NO_FLAGS, "a", true, {}},
    {"PosixNegatedRejects", "\\P{Digit}", NO_FLAGS, "5", false, {}},
};
INSTANTIATE_TEST_SUITE_P(Escapes, WholeMatch, testing::ValuesIn(kEscapes), RowName());

const WholeCase kClasses[] = {
    {"Members", "[abc]+", NO_FLAGS, "cab", true, {}},
    {"Range", "[a-c]+", NO_FLAGS, "abc", true, {}},
    {"RangeExcludes", "[a-c]", NO_FLAGS, "d", false, {}},
    {"Negated", "[^a-c]", NO_FLAGS, "d", true, {}},
    {"NegatedExcludes", "[^a-c]", NO_FLAGS, "b", false, {}},
    {"NegatedNeedsChar", "[^a]", NO_FLAGS, "", false, {}},
    {"ReferenceDigitIsMember", "[\\1]", NO_FLAGS, "1", true, {}},
    {"WordBoundaryLetterIsMember", "[\\b]", NO_FLAGS, "b", true, {}},
    {"EscapedOpenBracket", "[\\[]", NO_FLAGS, "[", true, {}},
    {"EscapedCloseBracket", "[\\]]", NO_FLAGS, "]", true, {}},
    {"EmptyNestedHasNoMember", "[[]]", NO_FLAGS, "[", false, {}},
    {"EmptyNestedNoCloseBracket", "[[]]", NO_FLAGS, "]", false, {}},
    {"EscapedDashIsMember", "[a\\-z]", NO_FLAGS, "-", true, {}},
    {"EscapedDashMakesNoRange", "[a\\-z]", NO_FLAGS, "b", false, {}},
    {"CaretNotFirstIsMember", "[a^]", NO_FLAGS, "^", true, {}},
    {"SingleRange", "[a-a]", NO_FLAGS, "a", true, {}},
    {"SingleRangeExcludes", "[a-a]", NO_FLAGS, "b", false, {}},
    {"DashRangeStart", "[--/]+", NO_FLAGS, "-./", true, {}},
    {"DashRangeExcludes", "[--/]", NO_FLAGS, ",", false, {}},
    {"LeadingDashIsMember", "[-a]+", NO_FLAGS, "-a", true, {}},
    {"SingleAmpersand", "[a&b]+", NO_FLAGS, "a&b", true, {}},
    {"Intersection", "[a-z&&[^aeiou]]", NO_FLAGS, "b", true, {}},
    {"IntersectionExcludes", "[a-z&&[^aeiou]]", NO_FLAGS, "a", false, {}},
    {"MembersAfterIntersection", "[a-z&&[aeiou]x]+", NO_FLAGS, "aex", true, {}},
    {"MembersAfterIntersectionOnly", "[a-z&&[aeiou]x]", NO_FLAGS, "b", false, {}},
    {"EscapeClassIntersection", "[\\w&&[\\d]]", NO_FLAGS, "5", true, {}},
    {"EscapeClassIntersectionExcludes", "[\\w&&[\\d]]", NO_FLAGS, "a", false, {}},
    {"NestedUnion", "[a-c[x-z]]", NO_FLAGS, "y", true, {}},
    {"EscapeThenDashIsMember", "[\\d-z]+", NO_FLAGS, "5-z", true, {}},
    {"EscapeThenDashNoRange", "[\\d-z]", NO_FLAGS, "a", false, {}},
    {"HexRange", "[\\x41-\\x5A]+", NO_FLAGS, "AMZ", true, {}},
    {"HexRangeExcludes", "[\\x41-\\x5A]", NO_FLAGS, "a", false, {}},
    {"OctalMember", "[\\0101]", NO_FLAGS, "A", true, {}},
    {"EscapeEMember", "[\\e]", NO_FLAGS, "\x1b", true, {}},
    {"EscapeEMemberIsNotReturn", "[\\e]", NO_FLAGS, "\r", false, {}},
    {"CaretOnlyHoldsAll", "[^]", NO_FLAGS, "x", true, {}},
    {"EmptyMatchesNothing", "[]", NO_FLAGS, "x", false, {}},
    {"IgnoreCaseRangeLower", "[A-C]", IGNORE_CASE, "b", true, {}},
    {"IgnoreCaseRangeUpper", "[A-C]", IGNORE_CASE, "B", true, {}},
    {"IgnoreCaseNegatedLower", "(?i)[^a]", NO_FLAGS, "a", false, {}},
    {"IgnoreCaseNegatedUpper", "(?i)[^a]", NO_FLAGS, "A", false, {}},
    {"IgnoreCaseNegatedOther", "(?i)[^a]", NO_FLAGS, "b", true, {}},
    {"IgnoreCaseNegatedLastLetter", "[^z]", IGNORE_CASE, "z", false, {}},
    {"IgnoreCaseNegatedLastLetterUpper", "[^z]", IGNORE_CASE, "Z", false, {}},
    {"IgnoreCaseNegatedUpperLastLetter", "[^Z]", IGNORE_CASE, "z", false, {}},
    {"IgnoreCaseNegatedNeighbour", "[^z]", IGNORE_CASE, "{", true, {}},
    {"IgnoreCaseEscapeClass", "\\p{Lower}", IGNORE_CASE, "Q", true, {}},
    {"CntrlClassHoldsNul", "[\\p{Cntrl}]", NO_FLAGS, "\0"s, true, {}},
    {"NulHexMember", "[\\x00]", NO_FLAGS, "\0"s, true, {}},
    {"ComplementHoldsNul", "[^a]", NO_FLAGS, "\0"s, true, {}},
    {"DotMatchesNul", ".", NO_FLAGS, "\0"s, true, {}},
};
INSTANTIATE_TEST_SUITE_P(Classes, WholeMatch, testing::ValuesIn(kClasses), RowName());

const WholeCase kQuotesAndLiterals[] = {
    {"QuotedMeta", "\\Q*+?\\E", NO_FLAGS, "*+?", true, {}},
    {"EmptyQuote", "\\Q\\E", NO_FLAGS, "", true, {}},
    {"QuoteBackslashTakesNext", "\\Qa\\tb\\E", NO_FLAGS, "atb", true, {}},
    {"QuoteThenPattern", "\\Q.\\Ex+", NO_FLAGS, ".xx", true, {}},
    {"QuoteIgnoringCase", "\\QAb\\E", IGNORE_CASE, "aB", true, {}},
    {"LiteralDotIsDot", "a.b", LITERAL_PATTERN, "a.b", true, {}},
    {"LiteralDotNotAny", "a.b", LITERAL_PATTERN, "axb", false, {}},
    {"LiteralIgnoringCase", "a.B", LITERAL_PATTERN | IGNORE_CASE, "A.b", true, {}},
    {"LiteralIgnoringCaseDotStillLiteral", "a.B", LITERAL_PATTERN | IGNORE_CASE, "AxB", false, {}},
    {"LiteralOpenParen", "(", LITERAL_PATTERN, "(", true, {}},
    {"LiteralEmpty", "", LITERAL_PATTERN, "", true, {}},
    // Quoted text compares all its characters, a NUL among them.
    {"QuoteIgnoringCaseComparesPastNul", "a\0b"s, LITERAL_PATTERN | IGNORE_CASE, "A\0c"s, false, {}},
    {"QuoteIgnoringCaseWithNul", "a\0b"s, LITERAL_PATTERN | IGNORE_CASE, "A\0B"s, true, {}},
    {"QuoteWithNul", "\\Qa\0b\\E"s, IGNORE_CASE, "a\0x"s, false, {}},
};
INSTANTIATE_TEST_SUITE_P(Quotes, WholeMatch, testing::ValuesIn(kQuotesAndLiterals), RowName());

const WholeCase kBackReferences[] = {
    {"EmptyGroupReferenceIsZeroWidth", "(a*)b\\1", NO_FLAGS, "b", true, {{0, 0}}},
    {"ReferenceRepeatsText", "(a*)b\\1", NO_FLAGS, "aabaa", true, {{0, 2}}},
    {"ReferenceNeedsWholeText", "(a*)b\\1", NO_FLAGS, "aaba", false, {}},
    {"UnsetGroupReferenceIsZeroWidth", "(a)?x\\1", NO_FLAGS, "x", true, {UNSET}},
    {"ReferenceExactIgnoringCase", "(?i)(a)\\1", NO_FLAGS, "aA", false, {}},
    {"ReferenceSameCaseIgnoringCase", "(?i)(a)\\1", NO_FLAGS, "Aa", false, {}},
    {"ReferenceEqualIgnoringCase", "(?i)(a)\\1", NO_FLAGS, "AA", true, {}},
    {"MissingGroupIsZeroWidth", "a\\5", NO_FLAGS, "a", true, {}},
    {"ReferenceToGroupCountIsZeroWidth", "(a)\\2", NO_FLAGS, "a", true, {{0, 1}}},
    {"ReferenceWithoutGroupsIsZeroWidth", "a\\1", NO_FLAGS, "a", true, {}},
    {"SecondDigitAlwaysTaken", "(a)\\11", NO_FLAGS, "a", true, {}},
    {"LetterEndsReference", "(a)\\1a", NO_FLAGS, "aaa", true, {}},
    {"ReferenceInsideLoop", "(a|b)\\1+", NO_FLAGS, "bbb", true, {{0, 1}}},
    {"ReferenceInsideOwnGroupIsZeroWidth", "(a\\1)", NO_FLAGS, "a", true, {{0, 1}}},
    {"ReferenceBeforeGroupIsZeroWidth", "\\2(a)(b)", NO_FLAGS, "ab", true, {{0, 1}, {1, 2}}},
    {"QuantifiedReference", "(ab)\\1*", NO_FLAGS, "ababab", true, {{0, 2}}},
    {"QuantifiedEmptyReference", "()\\1*", NO_FLAGS, "", true, {{0, 0}}},
    {"ReferenceCountedExactly", "(a)\\1{2}", NO_FLAGS, "aaa", true, {{0, 1}}},
    {"ReferenceCountedTooFew", "(a)\\1{2}", NO_FLAGS, "aa", false, {}},
    {"ReferenceBoundedAbove", "(a)\\1{0,1}", NO_FLAGS, "aaa", false, {}},
    {"ThirdDigitOnlyBelowGroupCount", "(a)(b)\\123", NO_FLAGS, "ab3", true, {}},
    {"ThirdDigitWhileBelowGroupCount", "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)\\123", NO_FLAGS,
     "abcdefghijkl", true, {}},
    {"ThirdDigitNotAtGroupCount", "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)\\133", NO_FLAGS,
     "abcdefghijkl3", true, {}},
};
INSTANTIATE_TEST_SUITE_P(BackReferences, WholeMatch, testing::ValuesIn(kBackReferences),
                         RowName());

}  // namespace
