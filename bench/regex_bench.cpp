// The benchmark cases, each run against every engine of engines.h: compile
// of the component's patterns, whole-text matches on the texts the
// component meets, searches over a 1 MB text, and ".*X.*" on growing texts.
// Every case first checks that the engines agree on the answer.

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

template <class Engine>
void compileCase(benchmark::State& state, const Case& c) {
  for (auto _ : state) {
    Engine engine(c.pattern, c.options);
    benchmark::DoNotOptimize(engine.valid());
  }
}

template <class Engine>
void wholeCase(benchmark::State& state, const Case& c) {
  Engine engine(c.pattern, c.options);
  engine.bind(c.subject);
  if (!engine.matchesWhole()) state.SkipWithError("no whole-text match");
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
void registerLong(const Case& c) {
  if (c.subject.size() > Engine::longestSubject) return;
  benchmark::RegisterBenchmark(nameOf<Engine>("whole", c.name).c_str(), wholeCase<Engine>, c)
      ->Unit(benchmark::kMicrosecond);
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
}

}  // namespace

int main(int argc, char** argv) {
  registerCases<FchbaEngine, StdRegexEngine, Pcre2Engine>();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
