#pragma once
// Range, complement, union and intersection over class texts: strings whose
// characters are the members of a class, code 0 included, order and
// repetition meaning nothing. Results grow as needed. A byte range counts in
// an 8-bit character that wraps from 255 to 0; a wide range must run upward
// and span at most kMaxWideRange characters, else it is a syntax error. A
// complement lists the codes 255 down to 0 that are not members (under
// IGNORE_CASE an ASCII letter keeps its partner out too). Included only where
// PatternT is instantiated.

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "pattern.h"

namespace class_algebra {
constexpr long kMaxWideRange = 65536;
}

// The union a bracket class gathers. Members are appended as they are read;
// since repetition means nothing, the text is sorted and rid of repeats only
// once it has doubled since it last was, so gathering takes time near linear
// in what is added and the text stays within about twice its members.
template <class C>
class ClassText {
 public:
  using String = std::basic_string<C>;

  void add(C member) {
    text += member;
    compactWhenDoubled();
  }
  void add(const String& members) {
    text += members;
    compactWhenDoubled();
  }
  // Replaces the members gathered so far, as an intersection does.
  void assign(String members) {
    text = std::move(members);
    compacted = text.size();
  }
  const String& members() const { return text; }

 private:
  static constexpr std::size_t kSlack = 1024;

  void compactWhenDoubled() {
    if (text.size() < 2 * compacted + kSlack) return;
    std::sort(text.begin(), text.end());
    text.erase(std::unique(text.begin(), text.end()), text.end());
    compacted = text.size();
  }

  String text;
  std::size_t compacted = 0;
};

template <class C>
typename PatternT<C>::String PatternT<C>::classRange(C first, C last) {
  String text;
  if (sizeof(C) == 1) {
    C c = first;
    text += c;
    while (c != last) text += ++c;
    return text;
  }
  const long span = static_cast<long>(last) - static_cast<long>(first) + 1;
  if (span < 1 || span > class_algebra::kMaxWideRange) {
    raiseError();
    return text;
  }
  for (long code = first; code <= static_cast<long>(last); ++code) text += static_cast<C>(code);
  return text;
}

template <class C>
typename PatternT<C>::String PatternT<C>::classComplement(const String& text) const {
  std::set<int> members;
  auto code = [](C c) { return static_cast<int>(static_cast<std::make_unsigned_t<C>>(c)); };
  for (C c : text) {
    members.insert(code(c));
    if (!(flags & IGNORE_CASE)) continue;
    if (c >= C('a') && c <= C('z')) members.insert(code(c) - ('a' - 'A'));
    if (c >= C('A') && c <= C('Z')) members.insert(code(c) + ('a' - 'A'));
  }
  String complement;
  for (int c = 255; c >= 0; --c)
    if (!members.count(c)) complement += static_cast<C>(c);
  return complement;
}

template <class C>
typename PatternT<C>::String PatternT<C>::classIntersection(String one, String two) {
  std::sort(one.begin(), one.end());
  std::sort(two.begin(), two.end());
  String result;
  std::set_intersection(one.begin(), one.end(), two.begin(), two.end(), std::back_inserter(result));
  return result;
}
