#include "engines.h"

#include <algorithm>
#include <iterator>

namespace {

template <class C>
std::basic_string<C> widened(const std::string& bytes) {
  std::basic_string<C> out(bytes.size(), C());
  std::transform(bytes.begin(), bytes.end(), out.begin(),
                 [](char b) { return static_cast<C>(static_cast<unsigned char>(b)); });
  return out;
}

template <>
std::string widened<char>(const std::string& bytes) {
  return bytes;
}

}  // namespace

template <class C>
FchbaEngineT<C>::FchbaEngineT(const std::string& text, Options options)
    : pattern(PatternT<C>::compile(widened<C>(text),
                                   (options.ignoreCase ? Pattern::IGNORE_CASE : 0) |
                                       (options.dotAll ? Pattern::DOT_ALL : 0))) {}

template <class C>
void FchbaEngineT<C>::bind(const std::string& subject) {
  matcher.reset(pattern->createMatcher(widened<C>(subject)));
}

template <class C>
bool FchbaEngineT<C>::matchesWhole() {
  return matcher->matches();
}

template <class C>
long FchbaEngineT<C>::countMatches() {
  matcher->reset();
  long count = 0;
  while (matcher->findNext()) ++count;
  return count;
}

template class FchbaEngineT<char>;
template class FchbaEngineT<wchar_t>;

// ECMAScript has no dot-all mode; the benchmark's subjects hold no line ends,
// so the option changes nothing for std::regex.
StdRegexEngine::StdRegexEngine(const std::string& pattern, Options options)
    : regex(pattern, options.ignoreCase ? std::regex::ECMAScript | std::regex::icase
                                        : std::regex::ECMAScript) {}

bool StdRegexEngine::matchesWhole() { return std::regex_match(*subject, regex); }

long StdRegexEngine::countMatches() {
  return std::distance(std::sregex_iterator(subject->begin(), subject->end(), regex),
                       std::sregex_iterator());
}

Pcre2Engine::Pcre2Engine(const std::string& pattern, Options options) {
  int error = 0;
  PCRE2_SIZE errorOffset = 0;
  const uint32_t flags =
      (options.ignoreCase ? PCRE2_CASELESS : 0u) | (options.dotAll ? PCRE2_DOTALL : 0u);
  code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), flags,
                       &error, &errorOffset, nullptr);
  if (code) matchData = pcre2_match_data_create_from_pattern(code, nullptr);
}

Pcre2Engine::~Pcre2Engine() {
  pcre2_match_data_free(matchData);
  pcre2_code_free(code);
}

bool Pcre2Engine::matchesWhole() {
  return pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(subject->data()), subject->size(), 0,
                     PCRE2_ANCHORED | PCRE2_ENDANCHORED, matchData, nullptr) >= 0;
}

// Counts as this component's engine does: after an empty match the next
// search begins one character further on, and none begins at the end.
long Pcre2Engine::countMatches() {
  const auto* text = reinterpret_cast<PCRE2_SPTR>(subject->data());
  long count = 0;
  PCRE2_SIZE start = 0;
  do {
    if (pcre2_match(code, text, subject->size(), start, 0, matchData, nullptr) < 0) break;
    ++count;
    const PCRE2_SIZE* span = pcre2_get_ovector_pointer(matchData);
    start = span[1] > span[0] ? span[1] : span[1] + 1;
  } while (start < subject->size());
  return count;
}
