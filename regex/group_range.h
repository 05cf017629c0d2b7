#pragma once
// The groups opened inside one sub-pattern (a look-ahead or atomic body) and
// a saved copy of their positions. Such a body is matched once and its first
// success is kept, so the positions it recorded would outlive a later failure
// of the rest of the match; the owning node saves them before the body runs
// and puts them back when the match fails after all.

#include <vector>

#include "matcher.h"

// Two half-open runs of group indexes: the non-capturing ones [nonCapturingLow,
// nonCapturingHigh) and the capturing ones [capturingLow, capturingHigh).
struct GroupRange {
  int nonCapturingLow = 0;
  int nonCapturingHigh = 0;
  int capturingLow = 0;
  int capturingHigh = 0;
};

template <class C>
class GroupSnapshot {
 public:
  GroupSnapshot(MatcherT<C>& matcher, const GroupRange& range) : matcher(matcher), range(range) {
    if (range.nonCapturingLow == range.nonCapturingHigh && range.capturingLow == range.capturingHigh)
      return;
    forEach([this](int index) {
      saved.push_back(this->matcher.groupStart(index));
      saved.push_back(this->matcher.groupEnd(index));
    });
  }

  void restore() {
    auto value = saved.begin();
    forEach([this, &value](int index) {
      matcher.groupStart(index) = *value++;
      matcher.groupEnd(index) = *value++;
    });
  }

 private:
  template <class F>
  void forEach(F f) const {
    for (int i = range.nonCapturingLow; i < range.nonCapturingHigh; ++i) f(i);
    for (int i = range.capturingLow; i < range.capturingHigh; ++i) f(i);
  }

  MatcherT<C>& matcher;
  const GroupRange& range;
  std::vector<int> saved;
};
