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

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "variants.h"

namespace {

constexpr rlim_t KB = 1024;
constexpr rlim_t NONE = RLIM_INFINITY;

struct Limits {
  rlim_t stack;
  rlim_t address;
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

void setLimit(int resource, rlim_t value) {
  const rlimit limit{value, value};
  if (value != NONE && setrlimit(resource, &limit) != 0) _exit(126);
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
    setLimit(RLIMIT_STACK, limits.stack);
    setLimit(RLIMIT_AS, limits.address);
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
  const char* name;
  Limits limits;
  std::vector<std::string> args;  // case and count; the variant and the helper's limit are added
  const char* helperLimit;         // "", "tight" or "threadless" (limits_helper.cpp)
  std::string answer;
  std::string err;
};

void PrintTo(const LimitCase& row, std::ostream* out) { *out << row.name; }

void expectOutcome(const LimitCase& row) {
  for (const char* variant : {"byte", "wide"}) {
    SCOPED_TRACE(variant);
    std::vector<std::string> args = row.args;
    args.push_back(variant);
    if (*row.helperLimit) args.push_back(row.helperLimit);
    const Outcome outcome = runHelper(row.limits, args);
    ASSERT_TRUE(WIFEXITED(outcome.status) && WEXITSTATUS(outcome.status) == 0)
        << "helper status " << outcome.status << (WIFSIGNALED(outcome.status) ? " (signal)" : "");
    EXPECT_EQ(outcome.answer, row.answer);
    EXPECT_TRUE(outcome.err == row.err) << outcome.err.size() << " bytes on standard error: "
                                        << outcome.err.substr(0, 200);
  }
}

// A stack of 256 KB: the caller's real bounds count, not an assumed 512 KB.
class SmallStack : public testing::TestWithParam<LimitCase> {};
TEST_P(SmallStack, BothVariants) { expectOutcome(GetParam()); }

const LimitCase kSmallStack[] = {
    {"GroupLoopOutgrowingCaller", {256 * KB, NONE}, {"group-loop", "2000"}, "", "match", ""},
    {"LongGroupLoop", {256 * KB, NONE}, {"group-loop", "200000"}, "", "match", ""},
    {"DeepReference", {256 * KB, NONE}, {"deep-reference", "5000"}, "", "compiled", ""},
    {"NestingBound", {256 * KB, NONE}, {"nested-groups", "100000"}, "", "compiled", ""},
};
INSTANTIATE_TEST_SUITE_P(Limits, SmallStack, testing::ValuesIn(kSmallStack), RowName());

// The sanitizer reserves terabytes of address space for itself, so a process
// of the sanitizer build cannot start under an address-space limit at all.
class AddressLimit : public testing::TestWithParam<LimitCase> {
 protected:
  void SetUp() override {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer reserves terabytes of address space, so the sanitizer "
                    "build cannot run under an address-space limit; the plain build runs this";
#endif
  }
};
TEST_P(AddressLimit, BothVariants) { expectOutcome(GetParam()); }

const std::string kNoStack = "Pattern not compiled: no stack large enough for its nesting could be had.\n";

const LimitCase kAddressLimit[] = {
    // No 4 GB stack, but a smaller one holds the 19 MB this match needs.
    {"GroupLoopOnSmallerStack", {NONE, 3000000 * KB}, {"group-loop", "100000"}, "", "match", ""},
    // No 1 GB stack for a parse, but a shallow pattern needs none and a deep
    // one fits a smaller one.
    {"LongShallowPattern", {NONE, 1000000 * KB}, {"long-pattern", "300"}, "", "compiled", ""},
    {"DeepPatternOnSmallerStack", {NONE, 1000000 * KB}, {"nested-groups", "5000"}, "", "compiled", ""},
    // Only a few MB to be had: the engine says it cannot finish.
    {"GroupLoopCannotFinish", {256 * KB, NONE}, {"group-loop", "100000"}, "tight", "cannot finish", ""},
    {"ParseCannotFinish", {256 * KB, NONE}, {"nested-groups", "100000"}, "tight", "not compiled", kNoStack},
    // No thread of its own to be had at all, and a stack that leaves the
    // caller next to nothing above what is kept free: the same answers.
    {"GroupLoopWithoutThread", {160 * KB, NONE}, {"group-loop", "100000"}, "threadless", "cannot finish", ""},
    {"ParseWithoutThread", {160 * KB, NONE}, {"nested-groups", "5000"}, "threadless", "not compiled", kNoStack},
    // The same limits leave a shallow parse and a short match alone.
    {"ShortMatchUnderTightLimit", {256 * KB, NONE}, {"group-loop", "200"}, "tight", "match", ""},
    {"ShallowParseUnderTightLimit", {256 * KB, NONE}, {"long-pattern", "300"}, "tight", "compiled", ""},
    {"ShortMatchWithoutThread", {160 * KB, NONE}, {"group-loop", "10"}, "threadless", "match", ""},
    {"ShallowParseWithoutThread", {160 * KB, NONE}, {"nested-groups", "10"}, "threadless", "compiled", ""},
};
INSTANTIATE_TEST_SUITE_P(Limits, AddressLimit, testing::ValuesIn(kAddressLimit), RowName());

}  // namespace
