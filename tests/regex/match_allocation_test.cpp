// Matching allocates nothing: what a node saves while it matches (the group
// positions a look-ahead or atomic body may have to give back) is kept off
// the heap, so a match costs no allocation however long the subject. An
// allocation that fails reaches the caller, whichever thread it failed on,
// and a compile it stops leaves nothing behind. This binary replaces the
// global allocator to count allocations and to fail them, so it stands alone.

#include <pthread.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "small_stack.h"
#include "variants.h"

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
// Blocks allocated and not yet freed.
std::atomic<long> live{0};
// While set, every allocation fails on a thread other than this one.
std::atomic<bool> failingElsewhere{false};
pthread_t onlyThread;
// Allocations left before one fails, on any thread; none fails while negative.
std::atomic<long> untilFailure{-1};

bool failsNow() {
  if (failingElsewhere && !pthread_equal(pthread_self(), onlyThread)) return true;
  return untilFailure >= 0 && untilFailure-- == 0;
}

}  // namespace

// The replacement pair allocates with malloc and frees with free, which the
// compiler cannot see through.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
  if (counting) ++allocations;
  if (failsNow()) throw std::bad_alloc();
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  ++live;
  return p;
}
void operator delete(void* p) noexcept {
  if (p) --live;
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

template <class F>
long allocationsDuring(F&& run) {
  allocations = 0;
  counting = true;
  run();
  counting = false;
  return allocations;
}

// Each body records a group once per iteration of the loop around it, and
// the saved positions of every iteration stay needed until the match ends.
const char* const kBodies[] = {
    "(?:(?>(a)))*",
    "(?:(?=(a))a)*",
    "(?:(?!(b))a)*",
    "(?:(?>(?:(a))+))*",
    "(?:(?=(a)(a)?(a)?(a)?(a)?(a)?(a)?(a)?(a)?(a)?(?:(a))?)a)*",
};

template <class C>
void expectNoAllocationWhileMatching(int length) {
  const std::basic_string<C> subject(static_cast<std::size_t>(length), C('a'));
  for (const char* body : kBodies) {
    SCOPED_TRACE(body);
    PatternPtr<C> pattern = compile<C>(body, NO_FLAGS);
    ASSERT_NE(pattern, nullptr);
    MatcherPtr<C> matcher(pattern->createMatcher(subject));
    bool matched = false;
    EXPECT_EQ(allocationsDuring([&] { matched = matcher->matches(); }), 0) << length;
    EXPECT_TRUE(matched);
    EXPECT_EQ(allocationsDuring([&] { matched = matcher->findFirst(); }), 0) << length;
    EXPECT_TRUE(matched);
    EXPECT_EQ(groupSpan(*matcher, 0), (Span{0, length}));
  }
}

// Short subjects match on the caller's stack, long ones on a stack of their
// own; neither allocates.
TEST(MatchAllocation, NoneForLookAheadOrAtomicBodies) {
  for (int length : {1, 1000, 20000}) FOR_BOTH_VARIANTS(expectNoAllocationWhileMatching, length);
}

// A parse too deep for its caller's stack is made again on a thread of its
// own. An allocation failing there reaches the caller as std::bad_alloc, as
// on the caller's own thread, and the next compile is unharmed.
template <class C>
void expectAllocationFailureReachesCaller() {
  const std::string deep = std::string(20000, '(') + "a" + std::string(20000, ')');
  onlyThread = pthread_self();
  failingElsewhere = true;
  EXPECT_THROW(compile<C>(deep, NO_FLAGS), std::bad_alloc);
  failingElsewhere = false;
  EXPECT_NE(compile<C>(deep, NO_FLAGS), nullptr);
}

TEST(AllocationFailure, OnTheParseThreadReachesTheCaller) {
  FOR_BOTH_VARIANTS(expectAllocationFailureReachesCaller);
}

enum class Compile { Plain, Cached };

// Whether pattern compiles; a cached one is taken out of the cache again.
template <class C>
bool compiles(Compile way, const std::string& pattern) {
  if (way == Compile::Plain) return compile<C>(pattern, NO_FLAGS) != nullptr;
  const bool compiled = PatternT<C>::compileCached(text<C>(pattern), NO_FLAGS) != nullptr;
  PatternT<C>::clearCache();
  return compiled;
}

// Every allocation of a compile fails in turn, the first, then the second
// and so on until the compile needs no more: each failure reaches the
// caller as std::bad_alloc and frees every node made before it. The first
// pattern has a node of each kind; the second is parsed on a thread of the
// engine's, as its caller's stack is small. A cached compile also frees the
// pattern it made when the cache cannot grow to keep it.
template <class C>
void expectFailedCompileLeavesNothing(Compile way, const std::string& pattern) {
  bool compiled = false;
  for (long failing = 0; !compiled; ++failing) {
    SCOPED_TRACE(failing);
    const long before = live;
    untilFailure = failing;
    try {
      compiled = compiles<C>(way, pattern);
    } catch (const std::bad_alloc&) {
    }
    untilFailure = -1;
    ASSERT_EQ(live, before) << "blocks left behind";
  }
}

const char* const kEveryKind = "^(a|bc)*?(?:d)++(?=e)(?!f)(?<=g)(?>h)[x-z&&[^y]]{2,3}\\Q.\\E\\b.\\1$";

TEST(AllocationFailure, LeavesNothingBehindInACompile) {
  FOR_BOTH_VARIANTS(expectFailedCompileLeavesNothing, Compile::Plain, kEveryKind);
  onSmallStack(64 * 1024, [] {
    const std::string deep = std::string(300, '(') + "a" + std::string(300, ')');
    FOR_BOTH_VARIANTS(expectFailedCompileLeavesNothing, Compile::Plain, deep);
  });
}

TEST(AllocationFailure, LeavesNothingBehindInACachedCompile) {
  FOR_BOTH_VARIANTS(expectFailedCompileLeavesNothing, Compile::Cached, kEveryKind);
}

}  // namespace
