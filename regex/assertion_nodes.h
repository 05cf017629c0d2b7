#pragma once
// The nodes that test a condition at a position and consume nothing: start
// and end of a line or of the subject, a word boundary, the end of the
// previous match and a look-behind over a literal text. Line terminators are
// "\n" and "\r" under every flag. The word test knows only the 52 ASCII
// letters.

#include <string>

#include "matcher.h"
#include "nfa_node.h"

template <class C>
bool isLineTerminator(C c) {
  return c == C('\n') || c == C('\r');
}

template <class C>
class NFAStartOfLineNodeT : public NodeOf<C> {
 public:
  int match(const std::basic_string<C>& subject, MatcherT<C>& m, int p) const override {
    if (p != 0 && !isLineTerminator(subject[p - 1])) return -1;
    return matchNode<C>(this->next, subject, m, p);
  }
};

template <class C>
class NFAEndOfLineNodeT : public NodeOf<C> {
 public:
  int match(const std::basic_string<C>& subject, MatcherT<C>& m, int p) const override {
    if (p < static_cast<int>(subject.size()) && !isLineTerminator(subject[p])) return -1;
    return matchNode<C>(this->next, subject, m, p);
  }
};

template <class C>
class NFAStartOfInputNodeT : public NodeOf<C> {
 public:
  int match(const std::basic_string<C>& subject, MatcherT<C>& m, int p) const override {
    if (p != 0) return -1;
    return matchNode<C>(this->next, subject, m, p);
  }
};

// With term, the end may be followed by one final "\n", "\r" or "\r\n".
template <class C>
class NFAEndOfInputNodeT : public NodeOf<C> {
 public:
  explicit NFAEndOfInputNodeT(bool term) : term(term) {}

  int match(const std::basic_string<C>& subject, MatcherT<C>& m, int p) const override {
    if (!holds(subject, p)) return -1;
    return matchNode<C>(this->next, subject, m, p);
  }

  bool term;

 private:
  bool holds(const std::basic_string<C>& subject, int p) const {
    const int size = static_cast<int>(subject.size());
    if (p == size) return true;
    if (!term) return false;
    if (p == size - 1) return isLineTerminator(subject[p]);
    return p == size - 2 && subject[p] == C('\r') && subject[p + 1] == C('\n');
  }
};

template <class C>
class NFAWordBoundaryNodeT : public NodeOf<C> {
 public:
  explicit NFAWordBoundaryNodeT(bool positive) : positive(positive) {}

  // A boundary lies between a word character and a non-word one; outside the
  // subject there is no character, which counts as a non-word one. "\B"
  // holds exactly where "\b" does not.
  int match(const std::basic_string<C>& subject, MatcherT<C>& m, int p) const override {
    const bool before = p > 0 && isWordChar(subject[p - 1]);
    const bool after = p < static_cast<int>(subject.size()) && isWordChar(subject[p]);
    if ((before != after) != positive) return -1;
    return matchNode<C>(this->next, subject, m, p);
  }

  bool positive;

 private:
  static bool isWordChar(C c) { return (c >= C('a') && c <= C('z')) || (c >= C('A') && c <= C('Z')); }
};

template <class C>
class NFAEndOfMatchNodeT : public NodeOf<C> {
 public:
  int match(const std::basic_string<C>& subject, MatcherT<C>& m, int p) const override {
    if (p != m.previousEnd) return -1;
    return matchNode<C>(this->next, subject, m, p);
  }
};

// Also the always-true node of an inline flag group (empty text, positive).
template <class C>
class NFALookBehindNodeT : public NodeOf<C> {
 public:
  NFALookBehindNodeT(const std::basic_string<C>& text, bool positive) : positive(positive), text(text) {}

  int match(const std::basic_string<C>& subject, MatcherT<C>& m, int p) const override {
    const int n = static_cast<int>(text.size());
    const bool found = p >= n && subject.compare(p - n, n, text) == 0;
    if (found != positive) return -1;
    return matchNode<C>(this->next, subject, m, p);
  }

  bool positive;
  std::basic_string<C> text;
};

class NFAStartOfLineNode final : public NFAStartOfLineNodeT<char> {};
class NFAEndOfLineNode final : public NFAEndOfLineNodeT<char> {};
class NFAStartOfInputNode final : public NFAStartOfInputNodeT<char> {
 public:
  bool isStartOfInput() const override { return true; }
};
class NFAEndOfInputNode final : public NFAEndOfInputNodeT<char> {
 public:
  using NFAEndOfInputNodeT::NFAEndOfInputNodeT;
  void dump(int indent) const override;
};
class NFAWordBoundaryNode final : public NFAWordBoundaryNodeT<char> {
 public:
  using NFAWordBoundaryNodeT::NFAWordBoundaryNodeT;
  void dump(int indent) const override;
};
class NFAEndOfMatchNode final : public NFAEndOfMatchNodeT<char> {};
class NFALookBehindNode final : public NFALookBehindNodeT<char> {
 public:
  using NFALookBehindNodeT::NFALookBehindNodeT;
  void dump(int indent) const override;
};

using NFAStartOfLineUNode = NFAStartOfLineNodeT<wchar_t>;
using NFAEndOfLineUNode = NFAEndOfLineNodeT<wchar_t>;
using NFAStartOfInputUNode = NFAStartOfInputNodeT<wchar_t>;
using NFAEndOfInputUNode = NFAEndOfInputNodeT<wchar_t>;
using NFAWordBoundaryUNode = NFAWordBoundaryNodeT<wchar_t>;
using NFAEndOfMatchUNode = NFAEndOfMatchNodeT<wchar_t>;
using NFALookBehindUNode = NFALookBehindNodeT<wchar_t>;
