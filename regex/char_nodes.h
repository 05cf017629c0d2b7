#pragma once
// The nodes that consume subject characters: one given character, one
// character out of a set, a literal text (each also without regard to case)
// and the text a capturing group has matched so far. Each tests the subject
// at its position and hands the position after what it consumed to the next
// node. Case-insensitive nodes compare lowered characters ("A" to "Z" fold).

#include <string>

#include "char_fold.h"
#include "char_set.h"
#include "matcher.h"
#include "nfa_node.h"

// The common step of the one-character nodes: test, then go on after it.
template <class C>
class NFASingleCharNodeT : public NodeOf<C> {
 public:
  int match(const std::basic_string<C>& subject, MatcherT<C>& m, int p) const override {
    if (p >= static_cast<int>(subject.size()) || !this->takes(subject[p])) return -1;
    return matchNode<C>(this->next, subject, m, p + 1);
  }
  bool isSingleChar() const override { return true; }
  bool collectFirst(FirstChars<C>& first, int) const override {
    first.addTaken([this](C c) { return this->takes(c); });
    return true;
  }
};

template <class C>
class NFACharNodeT : public NFASingleCharNodeT<C> {
 public:
  explicit NFACharNodeT(C c) : c(c) {}
  bool takes(C x) const override { return x == c; }

  C c;
};

template <class C>
class NFACICharNodeT : public NFASingleCharNodeT<C> {
 public:
  explicit NFACICharNodeT(C c) : c(lowerChar(c)) {}
  bool takes(C x) const override { return lowerChar(x) == c; }

  C c;
};

template <class C>
class NFAClassNodeT : public NFASingleCharNodeT<C> {
 public:
  NFAClassNodeT(const std::basic_string<C>& text, bool inverted) : inverted(inverted) {
    for (C c : text) members.insert(c);
  }
  bool takes(C x) const override { return members.contains(x) != inverted; }

  bool inverted;
  CharSet<C> members;
};

// Members are kept lowered; the subject character is lowered before the test.
template <class C>
class NFACIClassNodeT : public NFASingleCharNodeT<C> {
 public:
  NFACIClassNodeT(const std::basic_string<C>& text, bool inverted) : inverted(inverted) {
    for (C c : text) members.insert(lowerChar(c));
  }
  bool takes(C x) const override { return members.contains(lowerChar(x)) != inverted; }

  bool inverted;
  CharSet<C> members;
};

template <class C>
class NFAQuoteNodeT : public NodeOf<C> {
 public:
  explicit NFAQuoteNodeT(const std::basic_string<C>& text) : text(text) {}

  int match(const std::basic_string<C>& subject, MatcherT<C>& m, int p) const override {
    const int n = static_cast<int>(text.size());
    if (p > static_cast<int>(subject.size()) - n || subject.compare(p, n, text) != 0) return -1;
    return matchNode<C>(this->next, subject, m, p + n);
  }
  bool collectFirst(FirstChars<C>& first, int) const override {
    if (text.empty()) return false;
    first.addTaken([this](C c) { return c == text[0]; });
    return true;
  }

  std::basic_string<C> text;
};

// Compares exactly as many characters as the text has, code 0 included.
template <class C>
class NFACIQuoteNodeT : public NodeOf<C> {
 public:
  explicit NFACIQuoteNodeT(const std::basic_string<C>& text) : text(text) {}

  int match(const std::basic_string<C>& subject, MatcherT<C>& m, int p) const override {
    const int n = static_cast<int>(text.size());
    if (p > static_cast<int>(subject.size()) - n) return -1;
    for (int i = 0; i < n; ++i)
      if (lowerChar(subject[p + i]) != lowerChar(text[i])) return -1;
    return matchNode<C>(this->next, subject, m, p + n);
  }
  bool collectFirst(FirstChars<C>& first, int) const override {
    if (text.empty()) return false;
    first.addTaken([this](C c) { return lowerChar(c) == lowerChar(text[0]); });
    return true;
  }

  std::basic_string<C> text;
};

// Zero width when the group is unknown, unset, unfinished or empty.
template <class C>
class NFAReferenceNodeT : public NodeOf<C> {
 public:
  explicit NFAReferenceNodeT(int groupIndex) : groupIndex(groupIndex) {}

  int match(const std::basic_string<C>& subject, MatcherT<C>& m, int p) const override {
    if (groupIndex <= 0 || groupIndex >= m.groupTotal()) return matchNode<C>(this->next, subject, m, p);
    const int s = m.groupStart(groupIndex);
    const int e = m.groupEnd(groupIndex);
    if (s < 0 || e <= s) return matchNode<C>(this->next, subject, m, p);
    const int n = e - s;
    if (p > static_cast<int>(subject.size()) - n || subject.compare(p, n, subject, s, n) != 0) return -1;
    return matchNode<C>(this->next, subject, m, p + n);
  }

  int groupIndex;
};

class NFACharNode final : public NFACharNodeT<char> {
 public:
  using NFACharNodeT::NFACharNodeT;
  void dump(int indent) const override;
};
class NFACICharNode final : public NFACICharNodeT<char> {
 public:
  using NFACICharNodeT::NFACICharNodeT;
  void dump(int indent) const override;
};
class NFAClassNode final : public NFAClassNodeT<char> {
 public:
  using NFAClassNodeT::NFAClassNodeT;
  void dump(int indent) const override;
};
class NFACIClassNode final : public NFACIClassNodeT<char> {
 public:
  using NFACIClassNodeT::NFACIClassNodeT;
  void dump(int indent) const override;
};
class NFAQuoteNode final : public NFAQuoteNodeT<char> {
 public:
  using NFAQuoteNodeT::NFAQuoteNodeT;
  void dump(int indent) const override;
};
class NFACIQuoteNode final : public NFACIQuoteNodeT<char> {
 public:
  using NFACIQuoteNodeT::NFACIQuoteNodeT;
  void dump(int indent) const override;
};
class NFAReferenceNode final : public NFAReferenceNodeT<char> {
 public:
  using NFAReferenceNodeT::NFAReferenceNodeT;
  void dump(int indent) const override;
};

using NFACharUNode = NFACharNodeT<wchar_t>;
using NFACICharUNode = NFACICharNodeT<wchar_t>;
using NFAClassUNode = NFAClassNodeT<wchar_t>;
using NFACIClassUNode = NFACIClassNodeT<wchar_t>;
using NFAQuoteUNode = NFAQuoteNodeT<wchar_t>;
using NFACIQuoteUNode = NFACIQuoteNodeT<wchar_t>;
using NFAReferenceUNode = NFAReferenceNodeT<wchar_t>;
