#pragma once
// The engines the benchmark compares, behind one shape: this component's
// byte engine, the C++ library's std::regex and PCRE2's interpreter (no
// JIT), and this component's wide engine on its own. Each is built from a
// pattern text and two options, may be bound to a subject once, and then
// answers a whole-text match or counts the matches of a search over that
// subject. Binding keeps copies of the subject out of the timed loops. The
// wide engine takes each byte of pattern and subject as the code point of
// the same value (its compile figures include that copy), so that "\xffff"
// in a pattern still names U+FFFF.

#include <cstddef>
#include <limits>
#include <memory>
#include <regex>
#include <string>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "matcher.h"
#include "pattern.h"

struct Options {
  bool ignoreCase = false;
  bool dotAll = false;
};

template <class C>
class FchbaEngineT {
 public:
  static constexpr const char* name = sizeof(C) == 1 ? "fchba" : "fchba_wide";
  static constexpr std::size_t longestSubject = std::numeric_limits<std::size_t>::max();
  FchbaEngineT(const std::string& pattern, Options options);
  bool valid() const { return pattern != nullptr; }
  void bind(const std::string& subject);
  bool matchesWhole();
  long countMatches();

 private:
  std::unique_ptr<PatternT<C>> pattern;
  std::unique_ptr<MatcherT<C>> matcher;
};

using FchbaEngine = FchbaEngineT<char>;
using FchbaWideEngine = FchbaEngineT<wchar_t>;

class StdRegexEngine {
 public:
  static constexpr const char* name = "std_regex";
  // Its matcher recurses once per character and overflows the stack on
  // ".*X.*" beyond a few tens of thousands of characters.
  static constexpr std::size_t longestSubject = 16 << 10;
  StdRegexEngine(const std::string& pattern, Options options);
  bool valid() const { return true; }
  void bind(const std::string& text) { subject = &text; }
  bool matchesWhole();
  long countMatches();

 private:
  std::regex regex;
  const std::string* subject = nullptr;
};

class Pcre2Engine {
 public:
  static constexpr const char* name = "pcre2";
  static constexpr std::size_t longestSubject = std::numeric_limits<std::size_t>::max();
  Pcre2Engine(const std::string& pattern, Options options);
  ~Pcre2Engine();
  Pcre2Engine(const Pcre2Engine&) = delete;
  Pcre2Engine& operator=(const Pcre2Engine&) = delete;
  bool valid() const { return code != nullptr; }
  void bind(const std::string& text) { subject = &text; }
  bool matchesWhole();
  long countMatches();

 private:
  pcre2_code* code = nullptr;
  pcre2_match_data* matchData = nullptr;
  const std::string* subject = nullptr;
};
