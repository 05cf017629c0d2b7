// Runs one engine case named on the command line and prints its outcome on
// standard output. It is the child process of the resource-limit tests,
// which set the limits before it starts:
//
//   regex_limits_helper CASE COUNT byte|wide [tight|threadless]
//
//   group-loop N      "(ab)*" matched over N pairs through a matcher:
//                     "match", "no match" or "cannot finish"
//   nested-groups N   a pattern of N nested groups compiled: "compiled" or
//                     "not compiled"
//   long-pattern N    a pattern of N plain characters compiled, as above
//   deep-reference N  N nested groups registered as "deep", then "{deep}"
//                     compiled, as above
//
// With "tight", the address space is limited to what is in use plus 1 MB
// just before the case runs, so that no stack beyond a few hundred KB can be
// had; with "threadless", plus 250 KB, less than the smallest thread stack.

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "matcher.h"
#include "pattern.h"

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

template <class C>
const char* compiled(const std::string& pattern, rlim_t slack) {
  const std::basic_string<C> text = widen<C>(pattern);
  if (slack && !limitAddressSpace(slack)) return "no limit";
  std::unique_ptr<PatternT<C>> compiledPattern(PatternT<C>::compile(text, 0));
  return compiledPattern ? "compiled" : "not compiled";
}

template <class C>
const char* runCase(const std::string& name, int count, rlim_t slack) {
  if (name == "group-loop") {
    std::string subject;
    for (int i = 0; i < count; ++i) subject += "ab";
    std::unique_ptr<PatternT<C>> pattern(PatternT<C>::compile(widen<C>("(ab)*"), 0));
    std::unique_ptr<MatcherT<C>> matcher(pattern->createMatcher(widen<C>(subject)));
    if (slack && !limitAddressSpace(slack)) return "no limit";
    if (matcher->matches()) return "match";
    return matcher->exhaustedStack() ? "cannot finish" : "no match";
  }
  const std::string groups = std::string(count, '(') + "a" + std::string(count, ')');
  if (name == "nested-groups") return compiled<C>(groups, slack);
  if (name == "long-pattern") return compiled<C>(std::string(count, 'a'), slack);
  if (name == "deep-reference") {
    if (!PatternT<C>::registerPattern(widen<C>("deep"), widen<C>(groups), 0)) return "not registered";
    return compiled<C>("{deep}", slack);
  }
  return "unknown case";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s CASE COUNT byte|wide [tight|threadless]\n", argv[0]);
    return 2;
  }
  const std::string name = argv[1];
  const int count = std::atoi(argv[2]);
  const bool wide = std::string(argv[3]) == "wide";
  const std::string limit = argc > 4 ? argv[4] : "";
  const rlim_t slack = limit == "tight" ? 1 << 20 : limit == "threadless" ? 250 << 10 : 0;
  std::printf("%s\n", wide ? runCase<wchar_t>(name, count, slack) : runCase<char>(name, count, slack));
  return 0;
}
