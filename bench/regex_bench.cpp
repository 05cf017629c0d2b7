// The benchmark cases, each run against every engine of engines.h: compile
// of the component's patterns, whole-text matches on the texts the
// component meets, searches over a 1 MB text, ".*X.*" on growing texts, and
// the long inputs whose answers the tests check (a 96 KB class, group and
// alternation loops over megabytes, classes of every 16-bit code in the
// wide engine). Every case first checks that the engines agree on the
// answer.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engines.h"

namespace {

const char* const kAdapterLine =
    "HBA=(.+),.*PCI ID=(\\w{1,4}),.*VID=(\\w{1,4}),.*SSID=(\\w{1,4}),.*SVID=(\\w{1,4}),"
    ".*Firmware=(\\w+),.*Boot Code=(\\w+).*";
const char* const kVersionQuad = ".*(\\d+\\.\\d+\\.\\d+\\.\\d+).*";

struct Case {
  std::string name;
  std::string pattern;
  Options options;
  std::string subject;
  bool matches = true;  // the whole-text answer on the subject
};

const std::vector<Case>& componentPatterns() {
  static const std::vector<Case> cases = {
      {"digits", "\\d+", {}, "20120604"},
      {"version_quad", kVersionQuad, {false, true}, "BIOS 2.1.0.4 build 7"},
      {"adapter_line", kAdapterLine, {false, true},
       "HBA=LPe12002-M8, PCI ID=f100, VID=10df, SSID=f100, SVID=10df, Firmware=US202A3, "
       "Boot Code=UU503A9, Link=Up"},
  };
  return cases;
}

// About 1 MB of lower-case words, with a few digit runs and a few of the
// searched words spread through it.
std::string searchText() {
  static const char* const words[] = {"lorem", "ipsum", "dolor", "sit", "amet", "fibre",
                                      "channel", "adapter", "port", "firmware"};
  std::string text;
  std::uint32_t state = 12345;
  for (int i = 0; text.size() < (1u << 20); ++i) {
    state = state * 1103515245u + 12345u;
    text += words[(state >> 16) % 10];
    text += ' ';
    if (i % 997 == 0) text += "4711 ";
    if (i % 4099 == 0) text += "needle ";
    if (i % 6007 == 0) text += "NeEdLe ";
  }
  return text;
}

const std::vector<Case>& searches() {
  static const std::string text = searchText();
  static const std::vector<Case> cases = {
      {"literal", "needle", {}, text},
      {"class_run", "[0-9]+", {}, text},
      {"alternation", "needle|haystack|4711", {}, text},
      {"ignore_case", "needle", {true, false}, text},
  };
  return cases;
}

// ".*X.*" over n characters with one X in the middle; each engine runs the
// sizes up to its longestSubject.
const std::size_t kGrowingSizes[] = {1 << 10, 4 << 10, 16 << 10, 256 << 10, 4 << 20, 16 << 20};

std::string growingText(std::size_t size) {
  std::string text(size, 'a');
  text[size / 2] = 'X';
  return text;
}

// unit repeated to fill size characters.
std::string repeated(const std::string& unit, std::size_t size) {
  std::string text;
  text.reserve(size);
  while (text.size() + unit.size() <= size) text += unit;
  return text;
}

// A bracket class of 96 KB: 32,000 times a letter and "\\d".
const Case& longClass() {
  static const Case c{"long_class_96k", "[" + repeated("a\\d", 96 << 10) + "]", {}, "0"};
  return c;
}

// Group loops that take an iteration per two characters of a 2 MB text,
// and alternation loops over 1 MB.
const std::vector<Case>& longLoops() {
  static const std::string pairs = repeated("ab", 2 << 20);
  static const std::string triples = repeated("abc", 1 << 20);
  static const std::vector<Case> cases = {
      {"lazy_group_loop_2mb", "(ab)*?", {}, pairs},
      {"possessive_group_loop_2mb", "(ab)*+", {}, pairs},
      {"lazy_group_loop_then_c_2mb", "(?:ab)*?c", {}, pairs + "c"},
      {"possessive_group_loop_keeps_all_2mb", "(ab)*+ab", {}, pairs, false},
      {"alternation_loop_1mb", "(?:a|bc)*", {}, triples},
      {"alternation_loop_then_d_1mb", "(a|b|c)*d", {}, triples, false},
      {"nested_groups_loop_1mb", "((a)(b)c)+", {}, triples},
  };
  return cases;
}

// What the wide engine compiles on its own: the 96 KB class, and classes of
// every 16-bit code but 0 and of their complement.
const std::vector<Case>& wideCompiles() {
  static const std::vector<Case> cases = {
      longClass(),
      {"bmp_range", "[\\x0001-\\xffff]+", {}, "a"},
      {"bmp_range_complement", "[^[\\x0001-\\xffff]]", {}, std::string(1, '\0')},
  };
  return cases;
}

template <class Engine>
void compileCase(benchmark::State& state, const Case& c) {
  Engine checked(c.pattern, c.options);
  if (!checked.valid()) state.SkipWithError("pattern not compiled");
  checked.bind(c.subject);
  if (checked.matchesWhole() != c.matches) state.SkipWithError("disagrees on the whole-text match");
  for (auto _ : state) {
    Engine engine(c.pattern, c.options);
    benchmark::DoNotOptimize(engine.valid());
  }
}

template <class Engine>
void wholeCase(benchmark::State& state, const Case& c) {
  Engine engine(c.pattern, c.options);
  engine.bind(c.subject);
  if (engine.matchesWhole() != c.matches) state.SkipWithError("disagrees on the whole-text match");
  for (auto _ : state) benchmark::DoNotOptimize(engine.matchesWhole());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.subject.size()));
}

template <class Engine>
void searchCase(benchmark::State& state, const Case& c, long expected) {
  Engine engine(c.pattern, c.options);
  engine.bind(c.subject);
  if (engine.countMatches() != expected) state.SkipWithError("disagrees on the match count");
  for (auto _ : state) benchmark::DoNotOptimize(engine.countMatches());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.subject.size()));
  state.counters["matches"] = static_cast<double>(expected);
}

template <class Engine>
std::string nameOf(const std::string& kind, const std::string& caseName) {
  return kind + "/" + caseName + "/" + Engine::name;
}

template <class Engine>
benchmark::internal::Benchmark* registerLong(const Case& c) {
  if (c.subject.size() > Engine::longestSubject) return nullptr;
  return benchmark::RegisterBenchmark(nameOf<Engine>("whole", c.name).c_str(), wholeCase<Engine>, c)
      ->Unit(benchmark::kMicrosecond);
}

// A loop over a long text moves to a thread of its own with a larger stack,
// so its time is the process's and the runs are paced by real time; a run
// takes about a second, so several are asked for.
template <class Engine>
void registerLoop(const Case& c) {
  if (auto* loop = registerLong<Engine>(c))
    loop->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->MinTime(3.0);
}

template <class Engine>
void registerLongCompile(const Case& c) {
  benchmark::RegisterBenchmark(nameOf<Engine>("compile", c.name).c_str(), compileCase<Engine>, c)
      ->Unit(benchmark::kMillisecond);
}


// Registers every case for each engine, the engines of one case side by side.
template <class... Engines>
void registerCases() {
  for (const Case& c : componentPatterns()) {
    (benchmark::RegisterBenchmark(nameOf<Engines>("compile", c.name).c_str(), compileCase<Engines>,
                                  c),
     ...);
    (benchmark::RegisterBenchmark(nameOf<Engines>("whole", c.name).c_str(), wholeCase<Engines>, c),
     ...);
  }
  for (const Case& c : searches()) {
    FchbaEngine reference(c.pattern, c.options);
    reference.bind(c.subject);
    const long expected = reference.countMatches();
    (benchmark::RegisterBenchmark(nameOf<Engines>("search", c.name).c_str(), searchCase<Engines>,
                                  c, expected),
     ...);
  }
  for (std::size_t size : kGrowingSizes) {
    const Case c{"dot_star_x/" + std::to_string(size), ".*X.*", {}, growingText(size)};
    (registerLong<Engines>(c), ...);
  }
  (registerLongCompile<Engines>(longClass()), ...);
  for (const Case& c : longLoops()) (registerLoop<Engines>(c), ...);
}

// The cases only the wide engine takes.
void registerWideCases() {
  for (const Case& c : wideCompiles()) registerLongCompile<FchbaWideEngine>(c);
}

}  // namespace

int main(int argc, char** argv) {
  registerCases<FchbaEngine, StdRegexEngine, Pcre2Engine>();
  registerWideCases();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
