#pragma once
// Runs one table row over both engines: the byte variant (`Pattern`,
// `Matcher`) and the wide one (`UPattern`, `UMatcher`). Rows are written as
// byte strings; the wide run widens each byte to the code point of the same
// value (0 to 255), so a row means the same thing to both engines.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "matcher.h"
#include "pattern.h"

constexpr std::uint64_t NO_FLAGS = 0;
constexpr std::uint64_t IGNORE_CASE = Pattern::IGNORE_CASE;
constexpr std::uint64_t LITERAL_PATTERN = Pattern::LITERAL_PATTERN;
constexpr std::uint64_t DOT_ALL = Pattern::DOT_ALL;
constexpr std::uint64_t MULTI_LINE = Pattern::MULTI_LINE;
constexpr std::uint64_t UNIX_LINES = Pattern::UNIX_LINES;

// Start and end of one group; {-1, -1} when the group is unset.
struct Span {
  int start;
  int end;
  bool operator==(const Span& other) const { return start == other.start && end == other.end; }
};
constexpr Span UNSET{-1, -1};

inline std::ostream& operator<<(std::ostream& out, const Span& span) {
  return out << "[" << span.start << ", " << span.end << ")";
}

template <class C>
std::basic_string<C> text(const std::string& bytes) {
  std::basic_string<C> out;
  for (char b : bytes) out += static_cast<C>(static_cast<unsigned char>(b));
  return out;
}

template <>
inline std::string text<char>(const std::string& bytes) {
  return bytes;
}

template <class C>
std::vector<std::basic_string<C>> texts(const std::vector<std::string>& list) {
  std::vector<std::basic_string<C>> out;
  for (const std::string& item : list) out.push_back(text<C>(item));
  return out;
}

template <class C>
const char* variantName() {
  return sizeof(C) == 1 ? "byte variant" : "wide variant";
}

template <class C>
using PatternPtr = std::unique_ptr<PatternT<C>>;
template <class C>
using MatcherPtr = std::unique_ptr<MatcherT<C>>;

template <class C>
PatternPtr<C> compile(const std::string& pattern, std::uint64_t flags) {
  return PatternPtr<C>(PatternT<C>::compile(text<C>(pattern), flags));
}

template <class C>
Span groupSpan(const MatcherT<C>& matcher, int group) {
  return {matcher.getStart(group), matcher.getEnd(group)};
}

// Calls check<char>() and check<wchar_t>() from a test body, each under a
// trace that names the variant.
#define FOR_BOTH_VARIANTS(check, ...)              \
  do {                                             \
    {                                              \
      SCOPED_TRACE(variantName<char>());           \
      check<char>(__VA_ARGS__);                    \
    }                                              \
    {                                              \
      SCOPED_TRACE(variantName<wchar_t>());        \
      check<wchar_t>(__VA_ARGS__);                 \
    }                                              \
  } while (0)

// Test names for value-parameterized tables whose rows carry a `name`.
struct RowName {
  template <class Row>
  std::string operator()(const testing::TestParamInfo<Row>& info) const {
    return info.param.name;
  }
};
