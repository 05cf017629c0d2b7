#pragma once
// Repetition and groups. A quantifier after one atom is a quantifier node
// holding the atom as its inner chain (greedy, lazy or possessive; an atomic
// group is a possessive node with one mandatory pass over its body). A group
// records its bounds through its head and tail nodes; a repeated group is a
// prologue that resets its loop state and a loop node that the group's tail
// leads back to after every iteration.
//
// A one-character atom is repeated by counting how far it matches and then
// trying the continuation from the longest count down (greedy), from the
// shortest up (lazy) or once (possessive), so the stack does not grow with
// the subject. Every other body recurses once per iteration.

#include <algorithm>
#include <string>

#include "control_nodes.h"
#include "group_range.h"
#include "matcher.h"
#include "nfa_node.h"

template <class C>
class NFAQuantifierNodeT : public NodeOf<C> {
 public:
  using String = std::basic_string<C>;

  // Closes a freshly made atom with an accept node; a body chain that already
  // ends in one keeps it. groups are those opened inside an atomic body.
  NFAQuantifierNodeT(PatternT<C>* pattern, NodeOf<C>* inner, int min, int max, GroupRange groups = {})
      : min(std::max(min, PatternT<C>::MIN_REPEAT)), max(max), inner(inner), groups(groups) {
    if (!inner->next) inner->next = pattern->registerNode(new AcceptNodeOf<C>());
  }

  bool collectFirst(FirstChars<C>& first, int depth) const override {
    return min >= 1 && depth < FirstChars<C>::kMaxDepth && inner->collectFirst(first, depth + 1);
  }

  int min;
  int max;
  NodeOf<C>* inner;
  GroupRange groups;

 protected:
  // The min mandatory iterations; stops early, counting them done, at one
  // that consumes nothing.
  int matchMandatory(const String& subject, MatcherT<C>& m, int p) const {
    int r = p;
    for (int i = 0; i < min; ++i) {
      const int c = r;
      r = matchNode<C>(inner, subject, m, c);
      if (r == -1 || r <= c) return r;
    }
    return r;
  }
  // How many characters from p the one-character atom takes, at most limit.
  int runLength(const String& subject, int p, int limit) const {
    const int size = static_cast<int>(subject.size());
    int n = 0;
    while (n < limit && p + n < size && inner->takes(subject[p + n])) ++n;
    return n;
  }
  int continueAt(const String& subject, MatcherT<C>& m, int p) const {
    return matchNode<C>(this->next, subject, m, p);
  }
  // The most iterations a counting repetition may take: min above max means
  // exactly min.
  int countLimit() const { return std::max(min, max); }
};

template <class C>
class NFAGreedyQuantifierNodeT : public NFAQuantifierNodeT<C> {
 public:
  using NFAQuantifierNodeT<C>::NFAQuantifierNodeT;
  using String = std::basic_string<C>;

  int match(const String& subject, MatcherT<C>& m, int p) const override {
    if (this->inner->isSingleChar()) return matchCounted(subject, m, p);
    const int c = this->matchMandatory(subject, m, p);
    if (c == -1) return -1;
    return matchMore(subject, m, c, this->min);
  }

  // Takes one more iteration when it progresses, gives it back on failure.
  virtual int matchMore(const String& subject, MatcherT<C>& m, int p, int count) const {
    if (count >= this->max) return this->continueAt(subject, m, p);
    const int e = matchNode<C>(this->inner, subject, m, p);
    if (e > p) {
      const int r = matchMore(subject, m, e, count + 1);
      if (r != -1 || m.exhaustedStack()) return r;
    }
    return this->continueAt(subject, m, p);
  }

 private:
  int matchCounted(const String& subject, MatcherT<C>& m, int p) const {
    const int run = this->runLength(subject, p, this->countLimit());
    if (run < this->min) return -1;
    for (int k = run; k >= this->min; --k) {
      const int r = this->continueAt(subject, m, p + k);
      if (r != -1 || m.exhaustedStack()) return r;
    }
    return -1;
  }
};

template <class C>
class NFALazyQuantifierNodeT : public NFAQuantifierNodeT<C> {
 public:
  using NFAQuantifierNodeT<C>::NFAQuantifierNodeT;
  using String = std::basic_string<C>;

  int match(const String& subject, MatcherT<C>& m, int p) const override {
    const bool counted = this->inner->isSingleChar();
    int c;
    if (counted) {
      c = this->runLength(subject, p, this->min) == this->min ? p + this->min : -1;
    } else {
      c = this->matchMandatory(subject, m, p);
    }
    if (c == -1) return -1;
    for (int i = this->min; i < this->max; ++i) {
      const int r = this->continueAt(subject, m, c);
      if (r != -1 || m.exhaustedStack()) return r;
      const int e = counted ? (this->runLength(subject, c, 1) == 1 ? c + 1 : -1)
                            : matchNode<C>(this->inner, subject, m, c);
      if (e == -1 || e <= c) return -1;
      c = e;
    }
    return this->continueAt(subject, m, c);
  }
};

// Never gives an iteration back. As an atomic group it also puts back the
// groups its body recorded when the rest of the match fails.
template <class C>
class NFAPossessiveQuantifierNodeT : public NFAQuantifierNodeT<C> {
 public:
  using NFAQuantifierNodeT<C>::NFAQuantifierNodeT;
  using String = std::basic_string<C>;

  int match(const String& subject, MatcherT<C>& m, int p) const override {
    if (this->inner->isSingleChar()) {
      const int run = this->runLength(subject, p, this->countLimit());
      return run < this->min ? -1 : this->continueAt(subject, m, p + run);
    }
    return SavedGroup<C>(m, this->groups).guard([&] { return matchIterations(subject, m, p); });
  }

 private:
  int matchIterations(const String& subject, MatcherT<C>& m, int p) const {
    int c = this->matchMandatory(subject, m, p);
    if (c == -1) return -1;
    for (int i = this->min; i < this->max; ++i) {
      const int e = matchNode<C>(this->inner, subject, m, c);
      if (e == -1 || e <= c) return this->continueAt(subject, m, c);
      c = e;
    }
    return this->continueAt(subject, m, c);
  }
};

template <class C>
class NFAGroupHeadNodeT : public NodeOf<C> {
 public:
  explicit NFAGroupHeadNodeT(int groupIndex) : groupIndex(groupIndex) {}

  int match(const std::basic_string<C>& subject, MatcherT<C>& m, int p) const override {
    const int saved = m.groupStart(groupIndex);
    m.groupStart(groupIndex) = p;
    const int r = matchNode<C>(this->next, subject, m, p);
    if (r < 0) m.groupStart(groupIndex) = saved;
    return r;
  }
  bool collectFirst(FirstChars<C>& first, int depth) const override {
    return depth < FirstChars<C>::kMaxDepth && this->next->collectFirst(first, depth + 1);
  }

  int groupIndex;
};

template <class C>
class NFAGroupTailNodeT : public NodeOf<C> {
 public:
  explicit NFAGroupTailNodeT(int groupIndex) : groupIndex(groupIndex) {}

  int match(const std::basic_string<C>& subject, MatcherT<C>& m, int p) const override {
    const int saved = m.groupEnd(groupIndex);
    m.groupEnd(groupIndex) = p;
    const int r = matchNode<C>(this->next, subject, m, p);
    if (r < 0) m.groupEnd(groupIndex) = saved;
    return r;
  }

  int groupIndex;
};

template <class C>
class NFAGroupLoopPrologueNodeT : public NodeOf<C> {
 public:
  explicit NFAGroupLoopPrologueNodeT(int groupIndex) : groupIndex(groupIndex) {}

  int match(const std::basic_string<C>& subject, MatcherT<C>& m, int p) const override {
    const int count = m.loopCount(groupIndex);
    const int level = m.possessiveLevel(groupIndex);
    const int start = m.loopStart(groupIndex);
    m.loopCount(groupIndex) = 0;
    m.possessiveLevel(groupIndex) = 0;
    m.loopStart(groupIndex) = -1;
    const int r = matchNode<C>(this->next, subject, m, p);
    if (r < 0) {
      m.loopCount(groupIndex) = count;
      m.possessiveLevel(groupIndex) = level;
      m.loopStart(groupIndex) = start;
    }
    return r;
  }
  bool collectFirst(FirstChars<C>& first, int depth) const override {
    return depth < FirstChars<C>::kMaxDepth && this->next->collectFirst(first, depth + 1);
  }

  int groupIndex;
};

// Reached from the prologue and again from the group's tail after each
// iteration; decides whether to iterate once more or go on.
template <class C>
class NFAGroupLoopNodeT : public NodeOf<C> {
 public:
  using String = std::basic_string<C>;

  NFAGroupLoopNodeT(NodeOf<C>* inner, int min, int max, int groupIndex, int kind)
      : groupIndex(groupIndex), min(min), max(max), kind(kind), inner(inner) {}

  int match(const String& subject, MatcherT<C>& m, int p) const override {
    const int g = groupIndex;
    const bool progressed = m.loopStart(g) < p;
    if (progressed && m.loopCount(g) < min) return iterate(subject, m, p);
    if (!progressed || m.loopCount(g) >= max) return matchNode<C>(this->next, subject, m, p);
    switch (kind) {
      case 0:
        return matchGreedy(subject, m, p);
      case 1:
        return matchReluctant(subject, m, p);
      case 2:
        return matchPossessive(subject, m, p);
      default:
        return -1;
    }
  }

  bool collectFirst(FirstChars<C>& first, int depth) const override {
    return min >= 1 && depth < FirstChars<C>::kMaxDepth && inner->collectFirst(first, depth + 1);
  }

  int groupIndex;
  int min;
  int max;
  int kind;
  NodeOf<C>* inner;

 private:
  // One more pass over the group's chain, undone when it fails.
  int iterate(const String& subject, MatcherT<C>& m, int p) const {
    const int saved = m.loopStart(groupIndex);
    m.loopStart(groupIndex) = p;
    ++m.loopCount(groupIndex);
    const int r = matchNode<C>(inner, subject, m, p);
    if (r < 0) {
      --m.loopCount(groupIndex);
      m.loopStart(groupIndex) = saved;
    }
    return r;
  }
  int matchGreedy(const String& subject, MatcherT<C>& m, int p) const {
    const int r = iterate(subject, m, p);
    if (r >= 0 || m.exhaustedStack()) return r;
    return matchNode<C>(this->next, subject, m, p);
  }
  int matchReluctant(const String& subject, MatcherT<C>& m, int p) const {
    const int r = matchNode<C>(this->next, subject, m, p);
    if (r >= 0 || m.exhaustedStack()) return r;
    return iterate(subject, m, p);
  }
  // possessiveLevel is left as the deepest possessive step set it, so only
  // that step tries the continuation after a failure.
  int matchPossessive(const String& subject, MatcherT<C>& m, int p) const {
    m.possessiveLevel(groupIndex) = m.loopCount(groupIndex);
    const int r = iterate(subject, m, p);
    if (r < 0 && !m.exhaustedStack() && m.loopCount(groupIndex) == m.possessiveLevel(groupIndex))
      return matchNode<C>(this->next, subject, m, p);
    return r;
  }
};

using NFAQuantifierNode = NFAQuantifierNodeT<char>;
class NFAGreedyQuantifierNode final : public NFAGreedyQuantifierNodeT<char> {
 public:
  using NFAGreedyQuantifierNodeT::NFAGreedyQuantifierNodeT;
  void dump(int indent) const override;
};
class NFALazyQuantifierNode final : public NFALazyQuantifierNodeT<char> {
 public:
  using NFALazyQuantifierNodeT::NFALazyQuantifierNodeT;
  void dump(int indent) const override;
};
class NFAPossessiveQuantifierNode final : public NFAPossessiveQuantifierNodeT<char> {
 public:
  using NFAPossessiveQuantifierNodeT::NFAPossessiveQuantifierNodeT;
  void dump(int indent) const override;
};
class NFAGroupHeadNode final : public NFAGroupHeadNodeT<char> {
 public:
  using NFAGroupHeadNodeT::NFAGroupHeadNodeT;
  bool isGroupHead() const override { return true; }
  void dump(int indent) const override;
};
class NFAGroupTailNode final : public NFAGroupTailNodeT<char> {
 public:
  using NFAGroupTailNodeT::NFAGroupTailNodeT;
  void dump(int indent) const override;
};
class NFAGroupLoopPrologueNode final : public NFAGroupLoopPrologueNodeT<char> {
 public:
  using NFAGroupLoopPrologueNodeT::NFAGroupLoopPrologueNodeT;
  void dump(int indent) const override;
};
class NFAGroupLoopNode final : public NFAGroupLoopNodeT<char> {
 public:
  using NFAGroupLoopNodeT::NFAGroupLoopNodeT;
  void dump(int indent) const override;
};

using NFAQuantifierUNode = NFAQuantifierNodeT<wchar_t>;
using NFAGreedyQuantifierUNode = NFAGreedyQuantifierNodeT<wchar_t>;
using NFALazyQuantifierUNode = NFALazyQuantifierNodeT<wchar_t>;
using NFAPossessiveQuantifierUNode = NFAPossessiveQuantifierNodeT<wchar_t>;
using NFAGroupHeadUNode = NFAGroupHeadNodeT<wchar_t>;
using NFAGroupTailUNode = NFAGroupTailNodeT<wchar_t>;
using NFAGroupLoopPrologueUNode = NFAGroupLoopPrologueNodeT<wchar_t>;
using NFAGroupLoopUNode = NFAGroupLoopNodeT<wchar_t>;
