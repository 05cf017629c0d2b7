#pragma once
// The structural nodes that consume nothing: the first and last node of every
// compiled pattern (start, end), the pass-through nodes that open and close
// chains (sub-start, accept), alternation and look-ahead. The start and end
// nodes record group 0 and, in whole-text mode, pin the match to the whole
// subject; an alternation's branches all end in one shared join node, so a
// branch's result is already the end of the whole match.

#include <type_traits>

#include "group_range.h"
#include "matcher.h"
#include "nfa_node.h"

template <class C>
class NFAStartNodeT : public NodeOf<C> {
 public:
  int match(const std::basic_string<C>& subject, MatcherT<C>& m, int p) const override {
    m.groupStart(0) = p;
    if (m.wholeMode) {
      if (p != 0) {
        m.groupStart(0) = -1;
        return -1;
      }
      return matchNode<C>(this->next, subject, m, 0);
    }
    return search(subject, m, p);
  }

  // Learns which characters a match can begin with, once the chain is linked.
  void prepareSearch() { knowsFirst = this->next->collectFirst(first, 0); }

 private:
  // Tries p, then each later position up to the end itself, clearing the
  // groups before each later one; positions whose character no match can
  // begin with are passed over, as their attempt would fail at once.
  int search(const std::basic_string<C>& subject, MatcherT<C>& m, int p) const {
    const int size = static_cast<int>(subject.size());
    int r = -1;
    for (int q = p; q <= size && !m.exhaustedStack(); ++q) {
      if (knowsFirst) {
        while (q < size && !first.admits(subject[q])) ++q;
        if (q == size) {
          if (q != p) m.clearGroups();
          break;
        }
      }
      if (q != p) m.clearGroups();
      m.groupStart(0) = q;
      r = matchNode<C>(this->next, subject, m, q);
      if (r != -1) break;
    }
    if (r < 0) m.groupStart(0) = -1;
    return r;
  }

  FirstChars<C> first;
  bool knowsFirst = false;
};

template <class C>
class NFAEndNodeT : public NodeOf<C> {
 public:
  int match(const std::basic_string<C>& subject, MatcherT<C>& m, int p) const override {
    m.groupEnd(0) = p;
    if (m.wholeMode && p != static_cast<int>(subject.size())) {
      m.groupEnd(0) = -1;
      return -1;
    }
    return p;
  }
};

template <class C>
class NFAAcceptNodeT : public NodeOf<C> {
 public:
  int match(const std::basic_string<C>& subject, MatcherT<C>& m, int p) const override {
    return this->next ? matchNode<C>(this->next, subject, m, p) : p;
  }
  bool collectFirst(FirstChars<C>& first, int depth) const override {
    return this->next && depth < FirstChars<C>::kMaxDepth && this->next->collectFirst(first, depth + 1);
  }
};

template <class C>
class NFASubStartNodeT : public NodeOf<C> {
 public:
  int match(const std::basic_string<C>& subject, MatcherT<C>& m, int p) const override {
    return matchNode<C>(this->next, subject, m, p);
  }
  bool collectFirst(FirstChars<C>& first, int depth) const override {
    return depth < FirstChars<C>::kMaxDepth && this->next->collectFirst(first, depth + 1);
  }
};

template <class C>
class NFAOrNodeT : public NodeOf<C> {
 public:
  NFAOrNodeT(NodeOf<C>* one, NodeOf<C>* two) : one(one), two(two) {}

  int match(const std::basic_string<C>& subject, MatcherT<C>& m, int p) const override {
    const int r = matchNode<C>(one, subject, m, p);
    if (r != -1 || m.exhaustedStack()) return r;
    return matchNode<C>(two, subject, m, p);
  }
  bool collectFirst(FirstChars<C>& first, int depth) const override {
    return depth < FirstChars<C>::kMaxDepth && one->collectFirst(first, depth + 1) &&
           two->collectFirst(first, depth + 1);
  }

  NodeOf<C>* one;
  NodeOf<C>* two;
};

// The body is matched on its own: its first success settles the test. The
// groups it recorded are put back when the rest of the match then fails.
template <class C>
class NFALookAheadNodeT : public NodeOf<C> {
 public:
  NFALookAheadNodeT(NodeOf<C>* inner, bool positive, GroupRange groups)
      : positive(positive), inner(inner), groups(groups) {}

  int match(const std::basic_string<C>& subject, MatcherT<C>& m, int p) const override {
    return SavedGroup<C>(m, groups).guard([&] {
      const int r = matchNode<C>(inner, subject, m, p);
      if ((r == -1) == positive) return -1;
      return matchNode<C>(this->next, subject, m, p);
    });
  }

  bool positive;
  NodeOf<C>* inner;
  GroupRange groups;
};

class NFAStartNode final : public NFAStartNodeT<char> {};
class NFAEndNode final : public NFAEndNodeT<char> {};
class NFAAcceptNode final : public NFAAcceptNodeT<char> {};
class NFASubStartNode final : public NFASubStartNodeT<char> {};
class NFAOrNode final : public NFAOrNodeT<char> {
 public:
  using NFAOrNodeT::NFAOrNodeT;
  void dump(int indent) const override;
};
class NFALookAheadNode final : public NFALookAheadNodeT<char> {
 public:
  using NFALookAheadNodeT::NFALookAheadNodeT;
  void dump(int indent) const override;
};

using NFAStartUNode = NFAStartNodeT<wchar_t>;
using NFAEndUNode = NFAEndNodeT<wchar_t>;
using NFAAcceptUNode = NFAAcceptNodeT<wchar_t>;
using NFASubStartUNode = NFASubStartNodeT<wchar_t>;
using NFAOrUNode = NFAOrNodeT<wchar_t>;
using NFALookAheadUNode = NFALookAheadNodeT<wchar_t>;

template <class C>
using AcceptNodeOf = std::conditional_t<std::is_same<C, char>::value, NFAAcceptNode, NFAAcceptUNode>;
