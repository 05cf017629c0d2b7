// Long subjects and long patterns: matches whose backtracking nests once per
// character, per iteration or per alternative must finish with the right
// answer, in the sanitizer build too, in seconds.

#include <pthread.h>

#include <algorithm>
#include <chrono>

#include "class_algebra.h"
#include "variants.h"

namespace {

constexpr std::size_t MB = 1 << 20;

std::string repeated(const std::string& unit, std::size_t totalSize) {
  std::string out;
  out.reserve(totalSize);
  while (out.size() + unit.size() <= totalSize) out += unit;
  return out;
}

// Fails the test when the body takes longer than the limit; the limit is
// generous, since a sanitizer build runs several times slower.
class Timed : public testing::Test {
 protected:
  void TearDown() override {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 30.0);
  }
  const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
};

using RepeatedAtom = Timed;

TEST_F(RepeatedAtom, GreedyDotStarOver16MB) {
  std::string subject(16 * MB, 'a');
  subject[subject.size() / 2] = 'x';
  PatternPtr<char> pattern = compile<char>(".*x.*", NO_FLAGS);
  MatcherPtr<char> matcher(pattern->createMatcher(subject));
  EXPECT_TRUE(matcher->matches());
  EXPECT_FALSE(pattern->matches(std::string(16 * MB, 'a')));
}

TEST_F(RepeatedAtom, GreedyDotStarGroupsOver16MB) {
  std::string subject(16 * MB, 'a');
  subject[100] = 'x';
  PatternPtr<char> pattern = compile<char>("(.*)x(.*)", NO_FLAGS);
  MatcherPtr<char> matcher(pattern->createMatcher(subject));
  ASSERT_TRUE(matcher->matches());
  EXPECT_EQ(groupSpan(*matcher, 1), (Span{0, 100}));
  EXPECT_EQ(groupSpan(*matcher, 2), (Span{101, static_cast<int>(subject.size())}));
}

TEST_F(RepeatedAtom, LazyAndPossessiveOver16MB) {
  std::string subject(16 * MB, 'a');
  subject.back() = 'x';
  EXPECT_TRUE(Pattern::matches(".*?x", subject, NO_FLAGS));
  EXPECT_TRUE(Pattern::matches("a*+x", subject, NO_FLAGS));
  EXPECT_FALSE(Pattern::matches(".*+x", subject, NO_FLAGS));
  EXPECT_TRUE(Pattern::matches("[a-z]{1,}?", subject, NO_FLAGS));
}

TEST_F(RepeatedAtom, SearchOverLongText) {
  std::string subject(4 * MB, 'b');
  subject += "aaa";
  EXPECT_EQ(Pattern::findNthMatch("a+", subject, 0, NO_FLAGS),
            (std::pair<std::string, int>{"aaa", static_cast<int>(4 * MB)}));
}

TEST_F(RepeatedAtom, WideDotStarOver4MB) {
  std::wstring subject(4 * MB, L'a');
  subject[subject.size() / 2] = L'x';
  EXPECT_TRUE(UPattern::matches(L".*x.*", subject, NO_FLAGS));
  EXPECT_TRUE(UPattern::matches(L".*?x.*+", subject, NO_FLAGS));
}

using RepeatedGroup = Timed;

TEST_F(RepeatedGroup, GreedyGroupLoopOver2MB) {
  const std::string subject = repeated("ab", 2 * MB);
  PatternPtr<char> pattern = compile<char>("(ab)*", NO_FLAGS);
  MatcherPtr<char> matcher(pattern->createMatcher(subject));
  ASSERT_TRUE(matcher->matches());
  const int size = static_cast<int>(subject.size());
  EXPECT_EQ(groupSpan(*matcher, 1), (Span{size - 2, size}));
  EXPECT_FALSE(pattern->matches(subject + "a"));
}

TEST_F(RepeatedGroup, LazyAndPossessiveGroupLoopsOver2MB) {
  const std::string subject = repeated("ab", 2 * MB);
  EXPECT_TRUE(Pattern::matches("(ab)*?", subject, NO_FLAGS));
  EXPECT_TRUE(Pattern::matches("(ab)*+", subject, NO_FLAGS));
  EXPECT_TRUE(Pattern::matches("(?:ab)*?c", subject + "c", NO_FLAGS));
  EXPECT_FALSE(Pattern::matches("(ab)*+ab", subject, NO_FLAGS));
}

TEST_F(RepeatedGroup, AlternationLoopOver1MB) {
  const std::string subject = repeated("abc", MB);
  EXPECT_TRUE(Pattern::matches("(?:a|bc)*", subject, NO_FLAGS));
  EXPECT_FALSE(Pattern::matches("(a|b|c)*d", subject, NO_FLAGS));
  EXPECT_TRUE(Pattern::matches("((a)(b)c)+", subject, NO_FLAGS));
}

TEST_F(RepeatedGroup, WideGroupLoopOver1MB) {
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

TEST_F(RepeatedGroup, EndOfMatchKeptWhenSearchMovesToLargeStack) {
  FOR_BOTH_VARIANTS(expectEndOfMatchKeptOnLargeStack, 1000);
  FOR_BOTH_VARIANTS(expectEndOfMatchKeptOnLargeStack, 4000);
}

// An iteration that consumes nothing ends a repetition at once, whatever
// its kind and bound; taking it again up to the two-billion bound would give
// the same answer only much later.
class ZeroWidthRepetition : public Timed {};

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

TEST_F(ZeroWidthRepetition, EndsAtOnce) { FOR_BOTH_VARIANTS(expectZeroWidthRepetitionsEnd); }

using LongPattern = Timed;

std::string alternatives(int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += (i ? "|w" : "w") + std::to_string(i);
  return out;
}

TEST_F(LongPattern, LongAlternationChain) {
  const int count = 20000;
  PatternPtr<char> pattern = compile<char>(alternatives(count), NO_FLAGS);
  ASSERT_NE(pattern, nullptr);
  EXPECT_TRUE(pattern->matches("w" + std::to_string(count - 1)));
  EXPECT_TRUE(pattern->matches("w0"));
  EXPECT_FALSE(pattern->matches("w" + std::to_string(count)));
  EXPECT_EQ(Pattern::findAll("(?:" + alternatives(count) + ")x", "w19999x w5x", NO_FLAGS),
            (std::vector<std::string>{"w19999x", "w5x"}));
}

TEST_F(LongPattern, DeeplyNestedGroups) {
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
TEST_F(LongPattern, LongChainOfOptionalAtoms) {
  std::string pattern;
  for (int i = 0; i < 50000; ++i) pattern += "x?";
  PatternPtr<char> compiled = compile<char>(pattern + "y", NO_FLAGS);
  ASSERT_NE(compiled, nullptr);
  MatcherPtr<char> matcher(compiled->createMatcher("zzxy"));
  ASSERT_TRUE(matcher->findNext());
  EXPECT_EQ(groupSpan(*matcher, 0), (Span{2, 4}));
}

// Runs check on a thread of its own whose stack has only the given size.
void onSmallStack(std::size_t stackBytes, void (*check)()) {
  pthread_attr_t attributes;
  ASSERT_EQ(pthread_attr_init(&attributes), 0);
  ASSERT_EQ(pthread_attr_setstacksize(&attributes, stackBytes), 0);
  pthread_t thread;
  auto run = [](void* f) -> void* {
    reinterpret_cast<void (*)()>(f)();
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attributes, run, reinterpret_cast<void*>(check)), 0);
  pthread_attr_destroy(&attributes);
  pthread_join(thread, nullptr);
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
TEST_F(LongPattern, ManyGroupsInLookAheadAndAtomicBodies) {
  onSmallStack(MB, [] {
    FOR_BOTH_VARIANTS(expectManyGroupsGivenBack, "(?=");
    FOR_BOTH_VARIANTS(expectManyGroupsGivenBack, "(?>");
  });
}

// Members of a bracket class are gathered in time near linear in the class:
// a 96 KB class of letters and escapes compiles in a blink.
template <class C>
void expectLongClassCompilesFast() {
#ifdef __SANITIZE_ADDRESS__
  const double limit = 1.0;
#else
  const double limit = 0.1;
#endif
  const auto start = std::chrono::steady_clock::now();
  PatternPtr<C> pattern = compile<C>("[" + repeated("a\\d", 3 * 32000) + "]", NO_FLAGS);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ASSERT_NE(pattern, nullptr);
  EXPECT_LT(seconds, limit);
  for (const char* member : {"a", "0", "9"}) EXPECT_TRUE(pattern->matches(text<C>(member))) << member;
  for (const char* other : {"b", "d", "\\", ""}) EXPECT_FALSE(pattern->matches(text<C>(other))) << other;
}

TEST_F(LongPattern, LongClassCompilesFast) { FOR_BOTH_VARIANTS(expectLongClassCompilesFast); }

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

TEST_F(LongPattern, RepeatedClassMembersKeptOnce) { FOR_BOTH_VARIANTS(expectRepeatedMembersKeptOnce); }

TEST_F(LongPattern, LongSequenceOfAtoms) {
  const std::string subject = repeated("xy", 40000);
  EXPECT_TRUE(Pattern::matches(subject, subject, NO_FLAGS));
  EXPECT_TRUE(Pattern::matches(subject, subject, LITERAL_PATTERN));
}

}  // namespace
