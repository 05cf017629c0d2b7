#pragma once
// The characters a match can begin with, as far as the pattern's opening
// nodes tell: a search skips every start position whose character is not
// among them, where the attempt would fail at once anyway. Codes 0 to 255
// are listed one by one; wider characters count as possible as a whole.

#include <array>
#include <type_traits>

template <class C>
struct FirstChars {
  // Nesting of opening nodes looked through before the set counts as unknown.
  static constexpr int kMaxDepth = 64;

  // Adds every character that takes accepts; wide characters beyond 255
  // are taken as possible, since they cannot be listed.
  template <class Taking>
  void addTaken(Taking takes) {
    for (unsigned code = 0; code < low.size(); ++code)
      if (takes(static_cast<C>(code))) low[code] = true;
    high = high || sizeof(C) > 1;
  }

  bool admits(C c) const {
    const auto code = static_cast<std::make_unsigned_t<C>>(c);
    return code < low.size() ? low[code] : high;
  }

  std::array<bool, 256> low{};
  bool high = false;
};
