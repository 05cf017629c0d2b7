// Runs one engine case named on the command line and prints its outcome on
// standard output, followed by how many threads the engine started for it.
// It is the child process of the resource-limit tests, which set the limits
// before it starts:
//
//   regex_limits_helper CASE COUNT byte|wide [LIMIT [PLACE]]
//
//   group-loop N      "(ab)*" matched over N pairs through a matcher:
//                     "match", "no match" or "cannot finish"
//   own-matcher N     the same through the pattern's own matcher, whose
//                     exhaustedStack() the pattern answers
//   exhaustion-cleared N  group-loop, then whether setString and reset
//                     clear exhaustedStack()
//   nested-groups N   a pattern of N nested groups compiled: "compiled" or
//                     "not compiled"
//   long-pattern N    a pattern of N plain characters compiled, as above
//   deep-reference N  N nested groups registered as "deep", then "{deep}"
//                     compiled, as above
//   alternatives N    "w0|w1|...|w<N-1>|end" compiled, with the threads its
//                     parse started, and matched
//   class-cascade N   "[a-\d" and N "[" compiled (its reports are the point)
//   restart N         "(x)(?i)", N nested groups around "a", then "(b)":
//                     its groups and what it matches
//   cancelled-caller N  group-loop on a thread that is cancelled while the
//                     match runs on a thread of the engine's
//
// COUNT "NKB" instead of a number, for group-loop and nested-groups: as many
// pairs or groups as take N KB of stack in this build, measured first.
//
// LIMIT: "tight" limits the address space to what is in use plus 1 MB just
// before the case runs, so that no stack beyond a few hundred KB can be had;
// "threadless" to plus 250 KB, less than the smallest thread stack;
// "no-threads" refuses every thread the engine asks for; "lowered:KB" and
// "raised:KB" run a short match, then set RLIMIT_STACK to KB before the
// case; "-" none.
//
// PLACE: where the case runs (helper_places.h); "main" when not given. Or
// "stack-use": the case runs on a thread of its own, and the helper prints
// "N bytes of stack", what it took there, instead of its outcome.

#include <malloc.h>
#include <semaphore.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "helper_places.h"
#include "matcher.h"
#include "pattern.h"
#include "stack_use.h"
#include "thread_starts.h"

namespace {

template <class C>
std::basic_string<C> widen(const std::string& bytes) {
  return std::basic_string<C>(bytes.begin(), bytes.end());
}

// One malloc arena for every thread, grown only as far as it must: under the
// limit a thread could not make an arena of its own and would get a
// page-sized mapping per block, and the heap's usual 128 KB steps would not fit.
bool limitAddressSpace(rlim_t slack) {
  mallopt(M_ARENA_MAX, 1);
  mallopt(M_TOP_PAD, 0);
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (!statm) return false;
  unsigned long pages = 0;
  const bool read = std::fscanf(statm, "%lu", &pages) == 1;
  std::fclose(statm);
  const rlim_t limit = pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + slack;
  const rlimit both{limit, limit};
  return read && setrlimit(RLIMIT_AS, &both) == 0;
}

std::string pairs(int count) {
  std::string subject;
  for (int i = 0; i < count; ++i) subject += "ab";
  return subject;
}

// What a case needs to know of the helper's limit.
struct Setting {
  rlim_t slack;       // address space left when limited, 0 for no limit
  rlim_t stackLimit;  // RLIMIT_STACK set after a short match, 0 for none
  bool noThreads;
};

// Applied just before the engine runs, once the case's own allocations are made.
template <class C>
bool applyLimit(const Setting& setting) {
  if (setting.stackLimit) {
    std::unique_ptr<PatternT<C>> shortMatch(PatternT<C>::compile(widen<C>("(ab)*"), 0));
    if (!shortMatch->matches(widen<C>("abab"))) return false;
    rlimit stack;
    if (getrlimit(RLIMIT_STACK, &stack) != 0) return false;
    stack.rlim_cur = setting.stackLimit;
    if (setrlimit(RLIMIT_STACK, &stack) != 0) return false;
  }
  if (setting.noThreads) thread_starts::setMode(thread_starts::Mode::Refuse);
  thread_starts::resetCount();
  return !setting.slack || limitAddressSpace(setting.slack);
}

template <class C>
const char* matchOutcome(MatcherT<C>& matcher) {
  if (matcher.matches()) return "match";
  return matcher.exhaustedStack() ? "cannot finish" : "no match";
}

template <class C>
std::string groupLoop(int count, const Setting& setting) {
  std::unique_ptr<PatternT<C>> pattern(PatternT<C>::compile(widen<C>("(ab)*"), 0));
  std::unique_ptr<MatcherT<C>> matcher(pattern->createMatcher(widen<C>(pairs(count))));
  if (!applyLimit<C>(setting)) return "no limit";
  return matchOutcome(*matcher);
}

template <class C>
std::string ownMatcher(int count, const Setting& setting) {
  std::unique_ptr<PatternT<C>> pattern(PatternT<C>::compile(widen<C>("(ab)*"), 0));
  const std::basic_string<C> subject = widen<C>(pairs(count));
  if (!applyLimit<C>(setting)) return "no limit";
  if (pattern->matches(subject)) return "match";
  return pattern->exhaustedStack() ? "cannot finish" : "no match";
}

template <class C>
std::string exhaustionCleared(int count, const Setting& setting) {
  std::unique_ptr<PatternT<C>> pattern(PatternT<C>::compile(widen<C>("(ab)*"), 0));
  std::unique_ptr<MatcherT<C>> matcher(pattern->createMatcher(widen<C>(pairs(count))));
  if (!applyLimit<C>(setting)) return "no limit";
  std::string outcome = matchOutcome(*matcher);
  matcher->setString(widen<C>("ab"));
  outcome += matcher->exhaustedStack() ? ", kept by setString" : ", cleared by setString";
  matcher->setString(widen<C>(pairs(count)));
  matchOutcome(*matcher);
  matcher->reset();
  outcome += matcher->exhaustedStack() ? ", kept by reset" : ", cleared by reset";
  return outcome;
}

template <class C>
std::string compiled(const std::string& pattern, const Setting& setting) {
  const std::basic_string<C> text = widen<C>(pattern);
  if (!applyLimit<C>(setting)) return "no limit";
  std::unique_ptr<PatternT<C>> compiledPattern(PatternT<C>::compile(text, 0));
  return compiledPattern ? "compiled" : "not compiled";
}

std::string nestedGroups(int count, const std::string& inner) {
  return std::string(count, '(') + inner + std::string(count, ')');
}

template <class C>
std::string deepReference(int count, const Setting& setting) {
  if (!PatternT<C>::registerPattern(widen<C>("deep"), widen<C>(nestedGroups(count, "a")), 0))
    return "not registered";
  return compiled<C>("{deep}", setting);
}

template <class C>
std::string alternatives(int count, const Setting& setting) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "w" + std::to_string(i) + "|";
  const std::basic_string<C> pattern = widen<C>(text + "end");
  if (!applyLimit<C>(setting)) return "no limit";
  std::unique_ptr<PatternT<C>> compiledPattern(PatternT<C>::compile(pattern, 0));
  if (!compiledPattern) return "not compiled";
  const std::string outcome = "compiled (parse threads " + std::to_string(thread_starts::count()) + ")";
  const auto matches = [&](const std::string& subject) { return compiledPattern->matches(widen<C>(subject)); };
  const std::string last = "w" + std::to_string(count - 1);
  const bool right = matches("w0") && matches(last) && matches("end") && !matches("w" + std::to_string(count));
  return outcome + (right ? ", matches" : ", wrong answers");
}

// A parse made again on a larger stack starts from the caller's flags and
// from group 0, not from where the attempt it replaces stopped.
template <class C>
std::string restart(int count, const Setting& setting) {
  const std::string text = "(x)(?i)" + nestedGroups(count, "a") + "(b)";
  const std::basic_string<C> pattern = widen<C>(text);
  if (!applyLimit<C>(setting)) return "no limit";
  std::unique_ptr<PatternT<C>> compiledPattern(PatternT<C>::compile(pattern, 0));
  if (!compiledPattern) return "not compiled";
  std::string outcome = "compiled (parse threads " + std::to_string(thread_starts::count()) + ")";
  std::unique_ptr<MatcherT<C>> matcher(compiledPattern->createMatcher(widen<C>("xAB")));
  outcome += ", " + std::to_string(matcher->getGroups(true).size()) + " groups";
  outcome += matcher->matches() && matcher->getGroup(count + 2) == widen<C>("B") ? ", xAB with B last" : ", not xAB";
  matcher->setString(widen<C>("XAB"));
  outcome += matcher->matches() ? ", XAB" : ", not XAB";
  return outcome;
}

// The caller of a match that has moved to a thread of the engine's is
// cancelled while that thread is held: the match still ends and answers,
// and the caller can be cancelled again afterwards. (It is not then left to
// act on the cancel: the sanitizer misreads a thread unwound by one.)
struct CancelledCaller {
  int count;
  Setting setting;
  sem_t go;
  std::string outcome = "none";
};

template <class C>
void* runCancelledCaller(void* argument) {
  CancelledCaller& caller = *static_cast<CancelledCaller*>(argument);
  while (sem_wait(&caller.go) != 0) {
  }
  caller.outcome = groupLoop<C>(caller.count, caller.setting);
  int state = PTHREAD_CANCEL_DISABLE;
  pthread_setcancelstate(PTHREAD_CANCEL_DISABLE, &state);
  caller.outcome += state == PTHREAD_CANCEL_ENABLE ? ", cancellable again" : ", no longer cancellable";
  return nullptr;
}

template <class C>
std::string cancelledCaller(int count, const Setting& setting) {
  CancelledCaller caller{count, setting, {}};
  sem_init(&caller.go, 0, 0);
  pthread_t thread;
  if (pthread_create(&thread, nullptr, runCancelledCaller<C>, &caller) != 0) return "no caller thread";
  thread_starts::setMode(thread_starts::Mode::Hold);
  sem_post(&caller.go);
  thread_starts::awaitHeld();
  pthread_cancel(thread);
  thread_starts::releaseHeld();
  pthread_join(thread, nullptr);
  thread_starts::setMode(thread_starts::Mode::Allow);
  return caller.outcome;
}

// The count a case is given: a number, or "NKB" for as many units as take
// N KB of stack here.
template <class C>
int countFor(const std::string& name, const std::string& count) {
  const std::size_t kilobytes = std::strtoul(count.c_str(), nullptr, 10);
  if (count.size() < 3 || count.compare(count.size() - 2, 2, "KB") != 0) return static_cast<int>(kilobytes);
  if (name == "nested-groups")
    return unitsTaking(kilobytes * 1024, [](int levels) {
      std::unique_ptr<PatternT<C>> pattern(PatternT<C>::compile(widen<C>(nestedGroups(levels, "a")), 0));
    });
  std::unique_ptr<PatternT<C>> loop(PatternT<C>::compile(widen<C>("(ab)*"), 0));
  return unitsTaking(kilobytes * 1024, [&](int pairCount) {
    std::unique_ptr<MatcherT<C>> matcher(loop->createMatcher(widen<C>(pairs(pairCount))));
    matcher->matches();
  });
}

template <class C>
std::string runCase(const std::string& name, const std::string& countText, const Setting& setting) {
  const int count = countFor<C>(name, countText);
  if (name == "group-loop") return groupLoop<C>(count, setting);
  if (name == "own-matcher") return ownMatcher<C>(count, setting);
  if (name == "exhaustion-cleared") return exhaustionCleared<C>(count, setting);
  if (name == "nested-groups") return compiled<C>(nestedGroups(count, "a"), setting);
  if (name == "long-pattern") return compiled<C>(std::string(count, 'a'), setting);
  if (name == "deep-reference") return deepReference<C>(count, setting);
  if (name == "alternatives") return alternatives<C>(count, setting);
  if (name == "class-cascade") return compiled<C>("[a-\\d" + std::string(count, '['), setting);
  if (name == "restart") return restart<C>(count, setting);
  if (name == "cancelled-caller") return cancelledCaller<C>(count, setting);
  return "unknown case";
}

struct Run {
  std::string name;
  std::string count;
  bool wide;
  Setting setting;
  std::string outcome;
};

void runHere(void* argument) {
  Run& run = *static_cast<Run*>(argument);
  run.outcome = run.wide ? runCase<wchar_t>(run.name, run.count, run.setting)
                         : runCase<char>(run.name, run.count, run.setting);
}

// "lowered:KB" and "raised:KB": KB in bytes; 0 for any other limit.
rlim_t stackLimitOf(const std::string& limit) {
  const std::size_t colon = limit.find(':');
  if (colon == std::string::npos || (limit.compare(0, colon, "lowered") != 0 && limit.compare(0, colon, "raised") != 0))
    return 0;
  return std::strtoul(limit.c_str() + colon + 1, nullptr, 10) * 1024;
}

}  // namespace

int main(int argc, char** argv) {
  helper_places::noteStart(argv);
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s CASE COUNT byte|wide [LIMIT [PLACE]]\n", argv[0]);
    return 2;
  }
  const std::string limit = argc > 4 ? argv[4] : "-";
  const std::string place = argc > 5 ? argv[5] : "main";
  const rlim_t slack = limit == "tight" ? 1 << 20 : limit == "threadless" ? 250 << 10 : 0;
  Run run{argv[1], argv[2], std::string(argv[3]) == "wide", {slack, stackLimitOf(limit), limit == "no-threads"}, ""};
  if (place == "stack-use") {
    std::printf("%zu bytes of stack\n", stackUse(runHere, &run));
    return 0;
  }
  const std::string failed = helper_places::runAt(place, runHere, &run);
  std::printf("%s, threads %d\n", failed.empty() ? run.outcome.c_str() : failed.c_str(), thread_starts::count());
  return 0;
}
