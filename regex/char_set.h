#pragma once
// The members of a character class. Codes 0 to 255 (every byte, taken
// unsigned) sit in a table for a constant-time test; wider characters of the
// wide engine sit in an ordered set. Members are counted once each.

#include <array>
#include <cstddef>
#include <set>
#include <type_traits>

template <class C>
class CharSet {
 public:
  void insert(C c) {
    const auto code = codeOf(c);
    if (code < low.size()) {
      if (!low[code]) ++count;
      low[code] = true;
    } else if (high.insert(c).second) {
      ++count;
    }
  }
  bool contains(C c) const {
    const auto code = codeOf(c);
    return code < low.size() ? low[code] : high.count(c) != 0;
  }
  std::size_t size() const { return count; }

 private:
  static unsigned long codeOf(C c) {
    return static_cast<unsigned long>(static_cast<std::make_unsigned_t<C>>(c));
  }

  std::array<bool, 256> low{};
  std::set<C> high;
  std::size_t count = 0;
};
