// The engine under a small stack and a limited address space: each case runs
// the helper (limits_helper.cpp) in a child process started under setrlimit,
// so the answers never depend on this machine's own limits. A match or parse
// that outgrows its caller's real stack moves to one of its own, one that
// cannot have the largest such stack takes a smaller one, and where none
// will do it says it cannot finish instead of answering.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "address_sanitizer.h"
#include "captured_output.h"
#include "stack_use.h"
#include "variants.h"

namespace {

constexpr rlim_t KB = 1024;
constexpr rlim_t NONE = RLIM_INFINITY;

struct Limits {
  rlim_t stack;    // NONE: the usual 8 MB
  rlim_t address;  // NONE: the caller's
};

struct Outcome {
  std::string answer;  // the helper's line, without its line feed
  std::string err;
  int status;          // as waitpid gives it
};

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// The stack limit a row without one of its own runs under: Debian's
// default, whatever the caller's, so that the answers do not depend on it.
constexpr rlim_t kUsualStack = 8192 * KB;

// Sets the soft limit only, so that the helper may raise it again up to the
// hard one. A limit the caller's hard one does not allow ends the child
// with its reason as the answer.
void setLimit(int resource, const char* name, rlim_t value) {
  rlimit limit;
  if (getrlimit(resource, &limit) != 0) _exit(126);
  if (value > limit.rlim_max) {
    std::printf("cannot set %s to %llu KB: its hard limit is %llu KB\n", name,
                static_cast<unsigned long long>(value / KB), static_cast<unsigned long long>(limit.rlim_max / KB));
    std::fflush(stdout);
    _exit(126);
  }
  limit.rlim_cur = value;
  if (setrlimit(resource, &limit) != 0) _exit(126);
}

Outcome runHelper(const Limits& limits, const std::vector<std::string>& args) {
  const std::string base = testing::TempDir() + "regex_limits_" + std::to_string(getpid());
  const std::string outPath = base + ".out";
  const std::string errPath = base + ".err";
  const pid_t child = fork();
  if (child == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(126);
    setLimit(RLIMIT_STACK, "RLIMIT_STACK", limits.stack == NONE ? kUsualStack : limits.stack);
    if (limits.address != NONE) setLimit(RLIMIT_AS, "RLIMIT_AS", limits.address);
    std::vector<char*> argv{const_cast<char*>(REGEX_LIMITS_HELPER)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(REGEX_LIMITS_HELPER, argv.data());
    _exit(127);
  }
  Outcome outcome{"", "", -1};
  if (child < 0 || waitpid(child, &outcome.status, 0) != child) return outcome;
  outcome.answer = readAll(outPath);
  if (!outcome.answer.empty() && outcome.answer.back() == '\n') outcome.answer.pop_back();
  outcome.err = readAll(errPath);
  std::remove(outPath.c_str());
  std::remove(errPath.c_str());
  return outcome;
}

struct LimitCase {
  std::string name;
  Limits limits;
  std::vector<std::string> args;  // case and count; the variant, limit and place are added
  std::string helperLimit;         // "-", "tight", "lowered:KB"... (limits_helper.cpp)
  std::string place;               // "main", "thread:KB", "fiber:KB:FROM:SIDE"... (helper_places.h)
  std::string answer;
  int threads;                     // threads the engine started; -1 where the build decides
  std::string err;
};

void PrintTo(const LimitCase& row, std::ostream* out) { *out << row.name; }

// What the helper wrote on standard error, less the sanitizer's warning
// that it does not follow a switch to a makecontext stack.
std::string ownErrors(const std::string& err) {
  std::string own;
  std::istringstream lines(err);
  for (std::string line; std::getline(lines, line);)
    if (line.find("WARNING: ASan doesn't fully support makecontext/swapcontext") == std::string::npos) own += line + "\n";
  return own;
}

// The helper's line is the answer, then ", threads N".
void expectOutcome(const LimitCase& row) {
  for (const char* variant : {"byte", "wide"}) {
    SCOPED_TRACE(variant);
    std::vector<std::string> args = row.args;
    args.insert(args.end(), {variant, row.helperLimit, row.place});
    const Outcome outcome = runHelper(row.limits, args);
    ASSERT_TRUE(WIFEXITED(outcome.status) && WEXITSTATUS(outcome.status) == 0)
        << "helper status " << outcome.status << (WIFSIGNALED(outcome.status) ? " (signal)" : "") << ": "
        << outcome.answer;
    const std::size_t split = outcome.answer.rfind(", threads ");
    ASSERT_NE(split, std::string::npos) << outcome.answer;
    EXPECT_EQ(outcome.answer.substr(0, split), row.answer);
    if (row.threads >= 0) {
      EXPECT_EQ(outcome.answer.substr(split + 10), std::to_string(row.threads));
    }
    const std::string err = ownErrors(outcome.err);
    EXPECT_TRUE(err == row.err) << err.size() << " bytes on standard error: " << err.substr(0, 200);
  }
}

constexpr int ANY = -1;

// The stack of a "thread:KB" place; 0 for any other place.
std::size_t threadStack(const std::string& place) {
  const char kThread[] = "thread:";
  if (place.compare(0, std::strlen(kThread), kThread) != 0) return 0;
  return std::strtoul(place.c_str() + std::strlen(kThread), nullptr, 10) * KB;
}

// The stack the helper takes in this build to compile "(ab)*" and match
// "ab", the larger of both variants; 0 when it could not measure.
std::size_t shortestMatchStack() {
  std::size_t most = 0;
  for (const char* variant : {"byte", "wide"}) {
    const Outcome outcome = runHelper({NONE, NONE}, {"group-loop", "1", variant, "-", "stack-use"});
    most = std::max<std::size_t>(most, std::strtoul(outcome.answer.c_str(), nullptr, 10));
  }
  return most;
}

class Limited : public testing::TestWithParam<LimitCase> {
 protected:
  // Under AddressSanitizer every thread starts with more of its stack taken
  // and every allocation takes a stack trace on it, on top of the build's
  // own frames: a thread too small for even the shortest match of this
  // build is skipped there, with what that match takes.
  void SetUp() override {
    const std::size_t stack = threadStack(GetParam().place);
    if (!kAddressSanitizerBuild || stack == 0) return;
    const std::size_t needed = shortestMatchStack();
    if (needed > stack)
      GTEST_SKIP() << "under AddressSanitizer this build takes " << needed << " bytes of stack to compile (ab)* "
                   << "and match ab, more than a thread of " << stack / KB << " KB holds";
  }
};
TEST_P(Limited, BothVariants) { expectOutcome(GetParam()); }

// A stack of 256 KB: the caller's real bounds count, not an assumed 512 KB.

const LimitCase kSmallStack[] = {
    {"GroupLoopOutgrowingCaller", {256 * KB, NONE}, {"group-loop", "2000"}, "-", "main", "match", 1, ""},
    {"LongGroupLoop", {256 * KB, NONE}, {"group-loop", "200000"}, "-", "main", "match", 1, ""},
    {"DeepReference", {256 * KB, NONE}, {"deep-reference", "5000"}, "-", "main", "compiled", 1, ""},
    {"NestingBound", {256 * KB, NONE}, {"nested-groups", "100000"}, "-", "main", "compiled", 1, ""},
    // Alternatives side by side are no nesting: three times the nesting
    // bound of them compile on the caller's stack. (Matching the last one
    // passes through every earlier one, a frame each unless the compiler
    // makes that call a jump.)
    {"Alternatives", {256 * KB, NONE}, {"alternatives", "300000"}, "-", "main",
     "compiled (parse threads 0), matches", ANY, ""},
    // Made again on a stack of its own, a parse starts from the caller's
    // flags and from the first group again.
    {"ParseMadeAgain", {256 * KB, NONE}, {"restart", "3000"}, "-", "main",
     "compiled (parse threads 1), 3003 groups, xAB with B last, not XAB", ANY, ""},
};
INSTANTIATE_TEST_SUITE_P(SmallStack, Limited, testing::ValuesIn(kSmallStack), RowName());

// Small and unknown stacks: a short match or parse stays on its caller's
// stack, and one that outgrows it still moves. The bounds of the main
// thread's stack follow RLIMIT_STACK as it is when the match starts.
const LimitCase kStackKinds[] = {
    {"ShortMatchOn128KBMainStack", {128 * KB, NONE}, {"group-loop", "10"}, "-", "main", "match", 0, ""},
    {"ShortParseOn128KBMainStack", {128 * KB, NONE}, {"nested-groups", "10"}, "-", "main", "compiled", 0, ""},
    {"ShortMatchOn64KBThread", {NONE, NONE}, {"group-loop", "10"}, "-", "thread:64", "match", 0, ""},
    {"ShortMatchOn128KBThread", {NONE, NONE}, {"group-loop", "10"}, "-", "thread:128", "match", 0, ""},
    {"ShortParseOn64KBThread", {NONE, NONE}, {"nested-groups", "10"}, "-", "thread:64", "compiled", 0, ""},
    {"LongMatchOn64KBThread", {NONE, NONE}, {"group-loop", "2000"}, "-", "thread:64", "match", 1, ""},
    {"ShortMatchWithoutProc", {NONE, NONE}, {"group-loop", "10"}, "-", "no-proc:main", "match", 0, ""},
    {"ShortParseWithoutProc", {NONE, NONE}, {"nested-groups", "10"}, "-", "no-proc:main", "compiled", 0, ""},
    {"LongMatchWithoutProc", {NONE, NONE}, {"group-loop", "100000"}, "-", "no-proc:main", "match", 1, ""},
    {"LongMatchAfterLimitLowered", {NONE, NONE}, {"group-loop", "100000"}, "lowered:128", "main", "match", 1, ""},
    {"ShortMatchAfterLimitLowered", {NONE, NONE}, {"group-loop", "10"}, "lowered:128", "main", "match", 0, ""},
    // Without /proc the main thread's stack is counted down from the top of
    // its mapping as with it, a reserve kept: all of RLIMIT_STACK spent below
    // the caller would run past the end, for the frames above it take some.
    {"GroupLoopWithoutProcOn256KBStack", {256 * KB, NONE}, {"group-loop", "2000"}, "-", "no-proc:main", "match", 1, ""},
    // A fiber's stack lies outside the bounds of its thread's: its size is
    // unknown, so a match spends little of it (16 KB); a short one, 4 KB of
    // this build's stack, stays there.
    {"LongMatchOnFiberAbove", {NONE, NONE}, {"group-loop", "2000"}, "-", "fiber:64:thread:above", "match", 1, ""},
    {"ShortMatchOnFiberAbove", {NONE, NONE}, {"group-loop", "4KB"}, "-", "fiber:64:thread:above", "match", 0, ""},
    {"LongMatchOnFiberBelow", {NONE, NONE}, {"group-loop", "2000"}, "-", "fiber:64:thread:below", "match", 1, ""},
    {"ShortMatchOnFiberBelow", {NONE, NONE}, {"group-loop", "4KB"}, "-", "fiber:64:thread:below", "match", 0, ""},
};
INSTANTIATE_TEST_SUITE_P(StackKinds, Limited, testing::ValuesIn(kStackKinds), RowName());

// Everywhere the engine can run, a short match, a long group loop and a deep
// parse each give the right answer, whatever stack they end on: the main
// thread, small and large threads, fibers entered from the main thread or
// another one and lying above or below its stack, no /proc, RLIMIT_STACK
// lowered or raised since the stack was first read, a large environment.
struct Place {
  const char* name;
  rlim_t stack;       // RLIMIT_STACK the helper starts under
  const char* limit;  // the helper's LIMIT
  std::string place;
};

std::vector<Place> everyPlace() {
  std::vector<Place> places = {
      {"MainThread", NONE, "-", "main"},
      {"MainThreadWithoutProc", NONE, "-", "no-proc:main"},
      {"LimitLoweredTo1MB", NONE, "lowered:1024", "main"},
      {"LimitLoweredTo256KB", NONE, "lowered:256", "main"},
      {"LimitRaisedFrom256KB", 256 * KB, "raised:8192", "main"},
      {"LargeEnvironment", NONE, "-", "large-env:main"},
      {"LargeEnvironmentLimitLoweredTo1MB", NONE, "lowered:1024", "large-env:main"},
      {"LargeEnvironmentLimitLoweredTo256KB", NONE, "lowered:256", "large-env:main"},
      {"LargeEnvironmentWithoutProcLimitLoweredTo256KB", NONE, "lowered:256", "large-env:no-proc:main"},
      // An environment larger than the lowered limit, or most of it: the
      // limit counts from the top of the stack's mapping, above the
      // environment, with or without /proc to show where that top is.
      {"Environment1536KBLimitLoweredTo1MB", NONE, "lowered:1024", "large-env:1536:main"},
      {"Environment1536KBWithoutProcLimitLoweredTo1MB", NONE, "lowered:1024", "large-env:1536:no-proc:main"},
      {"Environment400KBLimitLoweredTo512KB", NONE, "lowered:512", "large-env:400:main"},
      {"Environment400KBWithoutProcLimitLoweredTo512KB", NONE, "lowered:512", "large-env:400:no-proc:main"},
      {"FiberWithoutProcBelowMain", NONE, "-", "no-proc:fiber:64:main:below"},
      {"FiberWithoutProcAboveMain", NONE, "-", "no-proc:fiber:64:main:above"},
  };
  for (int kilobytes : {16, 64, 256, 1024, 8192})
    places.push_back({"", NONE, "-", "thread:" + std::to_string(kilobytes)});
  for (int kilobytes : {32, 64, 256, 1024})
    for (const char* from : {"main", "thread"})
      for (const char* side : {"above", "below"})
        places.push_back({"", NONE, "-", "fiber:" + std::to_string(kilobytes) + ":" + from + ":" + side});
  return places;
}

// "thread:64" gives "Thread64KB", "fiber:64:main:above" "Fiber64KBFromMainAbove".
std::string placeName(const Place& place) {
  if (*place.name) return place.name;
  std::string name;
  bool upper = true;
  int field = 0;
  for (char c : place.place) {
    if (c == ':') {
      if (++field == 2) name += "KBFrom";
      upper = true;
      continue;
    }
    name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
    upper = false;
  }
  return field == 1 ? name + "KB" : name;
}

std::vector<LimitCase> everywhere() {
  struct Work {
    const char* name;
    std::vector<std::string> args;
    const char* answer;
  };
  const Work works[] = {{"ShortMatch", {"group-loop", "10"}, "match"},
                        {"LongGroupLoop", {"group-loop", "200000"}, "match"},
                        {"DeepParse", {"nested-groups", "5000"}, "compiled"}};
  std::vector<LimitCase> rows;
  for (const Place& place : everyPlace())
    for (const Work& work : works)
      rows.push_back({placeName(place) + "_" + work.name, {place.stack, NONE}, work.args, place.limit, place.place,
                      work.answer, ANY, ""});
  return rows;
}
INSTANTIATE_TEST_SUITE_P(Everywhere, Limited, testing::ValuesIn(everywhere()), RowName());

// No thread to be had: a match that outgrows its caller's stack cannot
// finish, says so through its matcher or its pattern, and the next use of
// the matcher starts with a clean slate.
const LimitCase kNoThreads[] = {
    {"MatcherCannotFinish", {256 * KB, NONE}, {"group-loop", "100000"}, "no-threads", "main", "cannot finish", 0, ""},
    {"PatternCannotFinish", {256 * KB, NONE}, {"own-matcher", "100000"}, "no-threads", "main", "cannot finish", 0, ""},
    {"ShortMatchAnswers", {256 * KB, NONE}, {"own-matcher", "10"}, "no-threads", "main", "match", 0, ""},
    {"ExhaustionClearedBySetStringAndReset", {256 * KB, NONE}, {"exhaustion-cleared", "100000"}, "no-threads",
     "main", "cannot finish, cleared by setString, cleared by reset", 0, ""},
};
INSTANTIATE_TEST_SUITE_P(NoThreads, Limited, testing::ValuesIn(kNoThreads), RowName());

// The caller of a match that runs on a thread of the engine's is cancelled
// meanwhile: the match still answers, and the caller is cancellable again.
TEST(CancelledCaller, MatchStillAnswers) {
  expectOutcome({"", {NONE, NONE}, {"cancelled-caller", "100000"}, "-", "main", "match, cancellable again", 1, ""});
}

// "[a-\d" and levels "[": a report for the range, one per "[" and one at the end.
std::string cascade(int levels) { return "[a-\\d" + std::string(levels, '['); }

// The cascade of reports after a syntax error is the same whatever stack
// the compile starts on: on a small one the parse is made again, and the
// reports of the attempt it replaces are dropped. The cascade takes half a
// megabyte of stack in this build: more than a stack of 256 KB holds, and
// half of what a parse may spend of its caller's.
TEST(ReportCascade, SameOnEveryStack) {
  const int levels = unitsTaking(512 * KB, [](int count) {
    stderrOf([count] { std::unique_ptr<Pattern> pattern(Pattern::compile(cascade(count), 0)); });
  });
  const std::vector<std::string> args{"class-cascade", std::to_string(levels), "byte", "-", "main"};
  const Outcome small = runHelper({256 * KB, NONE}, args);
  const Outcome large = runHelper({NONE, NONE}, args);
  EXPECT_EQ(small.answer, "not compiled, threads 1");
  EXPECT_EQ(large.answer, "not compiled, threads 0");
  std::size_t reports = 0;
  for (std::size_t at = large.err.find("Syntax Error"); at != std::string::npos; at = large.err.find("Syntax Error", at + 1))
    ++reports;
  EXPECT_EQ(reports, static_cast<std::size_t>(levels) + 2);
  EXPECT_TRUE(small.err == large.err) << small.err.size() << " bytes against " << large.err.size();
}

// The sanitizer reserves terabytes of address space for itself, so a process
// of the sanitizer build cannot start under an address-space limit at all.
class AddressLimit : public testing::TestWithParam<LimitCase> {
 protected:
  void SetUp() override {
    if (kAddressSanitizerBuild) GTEST_SKIP() << kNoAddressLimitUnderSanitizer;
  }
};
TEST_P(AddressLimit, BothVariants) { expectOutcome(GetParam()); }

const std::string kNoStack = "Pattern not compiled: no stack large enough for its nesting could be had.\n";

const LimitCase kAddressLimit[] = {
    // No 4 GB stack, but a smaller one holds the 19 MB this match needs.
    {"GroupLoopOnSmallerStack", {NONE, 3000000 * KB}, {"group-loop", "100000"}, "-", "main", "match", 1, ""},
    // No 1 GB stack for a parse, but a shallow pattern needs none and a deep
    // one fits a smaller one.
    {"LongShallowPattern", {NONE, 1000000 * KB}, {"long-pattern", "300"}, "-", "main", "compiled", 0, ""},
    {"DeepPatternOnSmallerStack", {NONE, 1000000 * KB}, {"nested-groups", "5000"}, "-", "main", "compiled", ANY, ""},
    // Only a few MB to be had: the fallbacks go down to a stack of a few
    // hundred KB, which holds more than the caller's 256 KB, and where even
    // that will not do the engine says it cannot finish.
    {"GroupLoopOnSmallestStacks", {256 * KB, NONE}, {"group-loop", "280KB"}, "tight", "main", "match", 1, ""},
    {"ParseOnSmallestStacks", {256 * KB, NONE}, {"nested-groups", "280KB"}, "tight", "main", "compiled", 1, ""},
    {"GroupLoopCannotFinish", {256 * KB, NONE}, {"group-loop", "100000"}, "tight", "main", "cannot finish", 1, ""},
    {"ParseCannotFinish", {256 * KB, NONE}, {"nested-groups", "100000"}, "tight", "main", "not compiled", ANY, kNoStack},
    // A text with a syntax error that finds no stack either writes that one
    // line, and none of the reports of the attempts given up.
    {"CascadeCannotFinish", {256 * KB, NONE}, {"class-cascade", "5000"}, "tight", "main", "not compiled", ANY, kNoStack},
    // No thread of its own to be had at all, and a stack that leaves the
    // caller next to nothing above what is kept free: the same answers.
    {"GroupLoopWithoutThread", {160 * KB, NONE}, {"group-loop", "100000"}, "threadless", "main", "cannot finish", 0, ""},
    {"ParseWithoutThread", {160 * KB, NONE}, {"nested-groups", "5000"}, "threadless", "main", "not compiled", 0, kNoStack},
    // The same limits at the usual stack limit: the main thread's stack
    // would outgrow the address space left before it reached its limit.
    {"GroupLoopWithoutThreadAtUsualStackLimit", {NONE, NONE}, {"group-loop", "100000"}, "threadless", "main",
     "cannot finish", 0, ""},
    {"ParseWithoutThreadAtUsualStackLimit", {NONE, NONE}, {"nested-groups", "5000"}, "threadless", "main",
     "not compiled", 0, kNoStack},
    {"ParseCannotFinishAtUsualStackLimit", {NONE, NONE}, {"nested-groups", "5000"}, "tight", "main", "not compiled",
     ANY, kNoStack},
    // The same limits leave a shallow parse and a short match alone.
    {"ShortMatchUnderTightLimit", {256 * KB, NONE}, {"group-loop", "200"}, "tight", "main", "match", 0, ""},
    {"ShallowParseUnderTightLimit", {256 * KB, NONE}, {"long-pattern", "300"}, "tight", "main", "compiled", 0, ""},
    {"ShortMatchWithoutThread", {160 * KB, NONE}, {"group-loop", "10"}, "threadless", "main", "match", 0, ""},
    {"ShallowParseWithoutThread", {160 * KB, NONE}, {"nested-groups", "10"}, "threadless", "main", "compiled", 0, ""},
};
INSTANTIATE_TEST_SUITE_P(Limits, AddressLimit, testing::ValuesIn(kAddressLimit), RowName());

}  // namespace
