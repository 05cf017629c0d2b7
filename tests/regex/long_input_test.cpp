// Long subjects and long patterns: matches whose backtracking nests once per
// character, per iteration or per alternative must finish with the right
// answer, in the sanitizer build too. How fast they do is measured in bench/.

#include <time.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "class_algebra.h"
#include "small_stack.h"
#include "variants.h"

namespace {

constexpr std::size_t MB = 1 << 20;

std::string repeated(const std::string& unit, std::size_t totalSize) {
  std::string out;
  out.reserve(totalSize);
  while (out.size() + unit.size() <= totalSize) out += unit;
  return out;
}

// CPU time of the calling thread: unlike wall time, it does not run on while
// other work holds the processor.
double threadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// No time limit holds on a busy machine, so a guard against a pathological
// slowdown compares two runs that differ in size only: run in turn several
// times, so that both meet the same load, each taken at its fastest.
struct Fastest {
  double smaller = INFINITY;
  double larger = INFINITY;
};

template <class Smaller, class Larger>
Fastest fastestInTurn(Smaller&& smaller, Larger&& larger) {
  const int kTries = 7;
  auto seconds = [](auto& run) {
    const double start = threadSeconds();
    run();
    return threadSeconds() - start;
  };
  Fastest fastest;
  for (int i = 0; i < kTries; ++i) {
    fastest.smaller = std::min(fastest.smaller, seconds(smaller));
    fastest.larger = std::min(fastest.larger, seconds(larger));
  }
  return fastest;
}

TEST(RepeatedAtom, GreedyDotStarOver16MB) {
  std::string subject(16 * MB, 'a');
  subject[subject.size() / 2] = 'x';
  PatternPtr<char> pattern = compile<char>(".*x.*", NO_FLAGS);
  MatcherPtr<char> matcher(pattern->createMatcher(subject));
  EXPECT_TRUE(matcher->matches());
  EXPECT_FALSE(pattern->matches(std::string(16 * MB, 'a')));
}

TEST(RepeatedAtom, GreedyDotStarGroupsOver16MB) {
  std::string subject(16 * MB, 'a');
  subject[100] = 'x';
  PatternPtr<char> pattern = compile<char>("(.*)x(.*)", NO_FLAGS);
  MatcherPtr<char> matcher(pattern->createMatcher(subject));
  ASSERT_TRUE(matcher->matches());
  EXPECT_EQ(groupSpan(*matcher, 1), (Span{0, 100}));
  EXPECT_EQ(groupSpan(*matcher, 2), (Span{101, static_cast<int>(subject.size())}));
}

TEST(RepeatedAtom, LazyAndPossessiveOver16MB) {
  std::string subject(16 * MB, 'a');
  subject.back() = 'x';
  EXPECT_TRUE(Pattern::matches(".*?x", subject, NO_FLAGS));
  EXPECT_TRUE(Pattern::matches("a*+x", subject, NO_FLAGS));
  EXPECT_FALSE(Pattern::matches(".*+x", subject, NO_FLAGS));
  EXPECT_TRUE(Pattern::matches("[a-z]{1,}?", subject, NO_FLAGS));
}

TEST(RepeatedAtom, SearchOverLongText) {
  std::string subject(4 * MB, 'b');
  subject += "aaa";
  EXPECT_EQ(Pattern::findNthMatch("a+", subject, 0, NO_FLAGS),
            (std::pair<std::string, int>{"aaa", static_cast<int>(4 * MB)}));
}

TEST(RepeatedAtom, WideDotStarOver4MB) {
  std::wstring subject(4 * MB, L'a');
  subject[subject.size() / 2] = L'x';
  EXPECT_TRUE(UPattern::matches(L".*x.*", subject, NO_FLAGS));
  EXPECT_TRUE(UPattern::matches(L".*?x.*+", subject, NO_FLAGS));
}

TEST(RepeatedGroup, GreedyGroupLoopOver2MB) {
  const std::string subject = repeated("ab", 2 * MB);
  PatternPtr<char> pattern = compile<char>("(ab)*", NO_FLAGS);
  MatcherPtr<char> matcher(pattern->createMatcher(subject));
  ASSERT_TRUE(matcher->matches());
  const int size = static_cast<int>(subject.size());
  EXPECT_EQ(groupSpan(*matcher, 1), (Span{size - 2, size}));
  EXPECT_FALSE(pattern->matches(subject + "a"));
}

TEST(RepeatedGroup, LazyAndPossessiveGroupLoopsOver2MB) {
  const std::string subject = repeated("ab", 2 * MB);
  EXPECT_TRUE(Pattern::matches("(ab)*?", subject, NO_FLAGS));
  EXPECT_TRUE(Pattern::matches("(ab)*+", subject, NO_FLAGS));
  EXPECT_TRUE(Pattern::matches("(?:ab)*?c", subject + "c", NO_FLAGS));
  EXPECT_FALSE(Pattern::matches("(ab)*+ab", subject, NO_FLAGS));
}

TEST(RepeatedGroup, AlternationLoopOver1MB) {
  const std::string subject = repeated("abc", MB);
  EXPECT_TRUE(Pattern::matches("(?:a|bc)*", subject, NO_FLAGS));
  EXPECT_FALSE(Pattern::matches("(a|b|c)*d", subject, NO_FLAGS));
  EXPECT_TRUE(Pattern::matches("((a)(b)c)+", subject, NO_FLAGS));
}

TEST(RepeatedGroup, WideGroupLoopOver1MB) {
  std::wstring subject;
  for (std::size_t i = 0; i < MB / 2; ++i) subject += L"ab";
  EXPECT_TRUE(UPattern::matches(L"(ab)*", subject, NO_FLAGS));
}

// A search that outgrows the caller's stack is run again on a stack of its
// own from the same start, where "\G" must hold as it did the first time:
// here only at 1, where the look-ahead forbids "x".
template <class C>
void expectEndOfMatchKeptOnLargeStack(int pairs) {
  PatternPtr<C> pattern = compile<C>("(?!\\G)x|(?:ab)*c", NO_FLAGS);
  ASSERT_NE(pattern, nullptr);
  MatcherPtr<C> matcher(pattern->createMatcher(text<C>("cx" + repeated("ab", 2 * pairs))));
  ASSERT_TRUE(matcher->findNext());
  EXPECT_EQ(groupSpan(*matcher, 0), (Span{0, 1}));
  EXPECT_FALSE(matcher->findNext()) << "found at " << matcher->getStart(0);
  EXPECT_FALSE(matcher->exhaustedStack());
}

TEST(RepeatedGroup, EndOfMatchKeptWhenSearchMovesToLargeStack) {
  FOR_BOTH_VARIANTS(expectEndOfMatchKeptOnLargeStack, 1000);
  FOR_BOTH_VARIANTS(expectEndOfMatchKeptOnLargeStack, 4000);
}

// An iteration that consumes nothing ends a repetition at once, whatever
// its kind and bound; taking it again up to the two-billion bound would give
// the same answer only much later.
template <class C>
void expectZeroWidthRepetitionsEnd() {
  struct Case {
    const char* pattern;
    const char* subject;
  };
  const Case cases[] = {{"\\b*x", "x"},     {"\\b*?x", "x"},        {"\\b*+x", "x"},
                        {"^+a", "a"},       {"^+?a", "a"},          {"^++a", "a"},
                        {"\\Q\\E*a", "a"},  {"\\Q\\E*+a", "a"},     {"()\\1*+a", "a"},
                        {"(?:\\b)*x", "x"}, {"(?:\\b)*+x", "x"},    {"(?:)*?a", "a"}};
  for (const Case& c : cases) {
    EXPECT_TRUE(PatternT<C>::matches(text<C>(c.pattern), text<C>(c.subject), NO_FLAGS))
        << c.pattern;
  }
  // The same when what follows the repetition never matches.
  for (const char* pattern : {"\\b*y", "\\b*?y", "\\b*+y", "\\Q\\E*?y", "\\Q\\E*+y",
                              "(?:\\b)*?y", "(?:\\b)*+y", "()\\1*?y"}) {
    EXPECT_FALSE(PatternT<C>::matches(text<C>(pattern), text<C>("x"), NO_FLAGS)) << pattern;
  }
}

TEST(ZeroWidthRepetition, EndsAtOnce) { FOR_BOTH_VARIANTS(expectZeroWidthRepetitionsEnd); }

// The pattern form with its "#" replaced by the bound.
std::string withBound(std::string form, const char* bound) {
  return form.replace(form.find('#'), 1, bound);
}

// The same, shown without waiting for the bound: with a body that consumes
// nothing, a bound of 1,000,000 takes little longer than one of 1,000 (less
// than 32 times, where taking the iterations would take 1,000 times), for
// each kind of repetition and for the iterations it must take.
template <class C>
void expectZeroWidthCostIndependentOfBound() {
  struct Case {
    const char* form;
    bool matches;
  };
  const Case cases[] = {{"\\b{0,#}x", true},       {"\\b{0,#}?y", false}, {"\\b{0,#}+y", false},
                        {"\\b{#}x", true},         {"\\b{#,}?y", false},
                        {"(?:\\b){0,#}?y", false}, {"(?:\\b){0,#}+y", false}};
  const std::basic_string<C> subject = text<C>("x");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.form);
    PatternPtr<C> low = compile<C>(withBound(c.form, "1000"), NO_FLAGS);
    PatternPtr<C> high = compile<C>(withBound(c.form, "1000000"), NO_FLAGS);
    ASSERT_TRUE(low && high);
    MatcherPtr<C> lowMatcher(low->createMatcher(subject));
    MatcherPtr<C> highMatcher(high->createMatcher(subject));
    const Fastest fastest = fastestInTurn([&] { EXPECT_EQ(lowMatcher->matches(), c.matches); },
                                          [&] { EXPECT_EQ(highMatcher->matches(), c.matches); });
    EXPECT_LT(fastest.larger, 32 * fastest.smaller)
        << "a 1,000 times higher bound took " << fastest.larger / fastest.smaller << " times as long";
  }
}

TEST(ZeroWidthRepetition, HigherBoundTakesNoLonger) {
  FOR_BOTH_VARIANTS(expectZeroWidthCostIndependentOfBound);
}

std::string alternatives(int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += (i ? "|w" : "w") + std::to_string(i);
  return out;
}

TEST(LongPattern, LongAlternationChain) {
  const int count = 20000;
  PatternPtr<char> pattern = compile<char>(alternatives(count), NO_FLAGS);
  ASSERT_NE(pattern, nullptr);
  EXPECT_TRUE(pattern->matches("w" + std::to_string(count - 1)));
  EXPECT_TRUE(pattern->matches("w0"));
  EXPECT_FALSE(pattern->matches("w" + std::to_string(count)));
  EXPECT_EQ(Pattern::findAll("(?:" + alternatives(count) + ")x", "w19999x w5x", NO_FLAGS),
            (std::vector<std::string>{"w19999x", "w5x"}));
}

TEST(LongPattern, DeeplyNestedGroups) {
  const int depth = 5000;
  const std::string pattern = std::string(depth, '(') + "a" + std::string(depth, ')');
  PatternPtr<char> compiled = compile<char>(pattern, NO_FLAGS);
  ASSERT_NE(compiled, nullptr);
  MatcherPtr<char> matcher(compiled->createMatcher("a"));
  ASSERT_TRUE(matcher->matches());
  EXPECT_EQ(matcher->getGroup(depth), "a");
}

// Every atom optional: where a match may start is known only at the end of
// the pattern.
TEST(LongPattern, LongChainOfOptionalAtoms) {
  std::string pattern;
  for (int i = 0; i < 50000; ++i) pattern += "x?";
  PatternPtr<char> compiled = compile<char>(pattern + "y", NO_FLAGS);
  ASSERT_NE(compiled, nullptr);
  MatcherPtr<char> matcher(compiled->createMatcher("zzxy"));
  ASSERT_TRUE(matcher->findNext());
  EXPECT_EQ(groupSpan(*matcher, 0), (Span{2, 4}));
}

// A body holding very many groups saves and gives back every one of them,
// on whichever stack the match runs; saving them takes stack too, which is
// bounded like every other step (a thread of 1 MB leaves the match enough).
template <class C>
void expectManyGroupsGivenBack(const std::string& opening) {
  const int groups = 100000;
  std::string body;
  for (int i = 0; i < groups; ++i) body += "(a)";
  PatternPtr<C> pattern = compile<C>(opening + body + ")b|a*", NO_FLAGS);
  ASSERT_NE(pattern, nullptr);
  MatcherPtr<C> matcher(pattern->createMatcher(text<C>(std::string(groups, 'a'))));
  ASSERT_TRUE(matcher->matches());
  for (int group : {1, 8, 9, groups}) EXPECT_EQ(groupSpan(*matcher, group), UNSET) << group;
}
TEST(LongPattern, ManyGroupsInLookAheadAndAtomicBodies) {
  onSmallStack(MB, [] {
    FOR_BOTH_VARIANTS(expectManyGroupsGivenBack, "(?=");
    FOR_BOTH_VARIANTS(expectManyGroupsGivenBack, "(?>");
  });
}

// A 96 KB class of letters and escapes holds its members and nothing else.
template <class C>
void expectLongClassHoldsItsMembers() {
  PatternPtr<C> pattern = compile<C>("[" + repeated("a\\d", 3 * 32000) + "]", NO_FLAGS);
  ASSERT_NE(pattern, nullptr);
  for (const char* member : {"a", "0", "9"}) EXPECT_TRUE(pattern->matches(text<C>(member))) << member;
  for (const char* other : {"b", "d", "\\", ""}) EXPECT_FALSE(pattern->matches(text<C>(other))) << other;
}

TEST(LongPattern, LongClassHoldsItsMembers) { FOR_BOTH_VARIANTS(expectLongClassHoldsItsMembers); }

// A wide class of count different characters from U+0100 on, each followed
// by "\\d", intersected at the end with its first member alone: the class
// node then holds one member, so that compiling it costs what gathering
// the members costs.
std::wstring distinctMembersClass(int count) {
  std::wstring pattern = L"[";
  for (int i = 0; i < count; ++i) pattern += std::wstring(1, wchar_t(0x100 + i)) + L"\\d";
  return pattern + L"&&[\\x0100]]";
}

void expectCompilesToFirstMember(const std::wstring& pattern) {
  std::unique_ptr<UPattern> compiled(UPattern::compile(pattern, NO_FLAGS));
  ASSERT_NE(compiled, nullptr);
  EXPECT_TRUE(compiled->matches(L"\x0100"));
  EXPECT_FALSE(compiled->matches(L"\x0101"));
}

// Members of a bracket class are gathered in time near linear in the class:
// a class of 64 times the members may take up to 8 times 64 as long, where
// quadratic gathering takes 64 times 64 or more. The members all differ, so
// that sorting them on every add shows as well as letting repeats pile up.
TEST(LongPattern, ClassGatheringGrowsNearLinearly) {
  const int kMembers = 250, kGrowth = 64;
  const std::wstring small = distinctMembersClass(kMembers);
  const std::wstring large = distinctMembersClass(kGrowth * kMembers);
  const Fastest fastest = fastestInTurn([&] { expectCompilesToFirstMember(small); },
                                        [&] { expectCompilesToFirstMember(large); });
  EXPECT_LT(fastest.larger, 8 * kGrowth * fastest.smaller)
      << kGrowth << " times the members took " << fastest.larger / fastest.smaller << " times as long";
}

// Members given again and again do not pile up: the gathered text stays
// within about twice its members, however often they repeat.
template <class C>
void expectRepeatedMembersKeptOnce() {
  std::basic_string<C> everyByte;
  for (int code = 0; code < 256; ++code) everyByte += static_cast<C>(code);
  ClassText<C> gathered;
  for (int i = 0; i < 10000; ++i) {
    gathered.add(everyByte);
    gathered.add(C('a'));
  }
  EXPECT_LT(gathered.members().size(), 4096u);
  std::basic_string<C> members = gathered.members();
  std::sort(members.begin(), members.end());
  members.erase(std::unique(members.begin(), members.end()), members.end());
  EXPECT_EQ(members.size(), 256u);
}

TEST(LongPattern, RepeatedClassMembersKeptOnce) { FOR_BOTH_VARIANTS(expectRepeatedMembersKeptOnce); }

TEST(LongPattern, LongSequenceOfAtoms) {
  const std::string subject = repeated("xy", 40000);
  EXPECT_TRUE(Pattern::matches(subject, subject, NO_FLAGS));
  EXPECT_TRUE(Pattern::matches(subject, subject, LITERAL_PATTERN));
}

}  // namespace
