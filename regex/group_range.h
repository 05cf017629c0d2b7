#pragma once
// The groups opened inside one sub-pattern (a look-ahead or atomic body) and
// the giving back of their positions. Such a body is matched once and its
// first success is kept, so the positions it recorded would outlive a later
// failure of the rest of the match; the owning node saves them before the
// body runs and puts them back when the match fails after all.
//
// The saved positions stay needed while the rest of the match runs, which
// may come back to the same node once per iteration of a loop around it.
// They therefore live in the stack frames of the attempt they guard: a match
// allocates nothing for them, and the stack bound that every node step obeys
// bounds them as well.

#include "matcher.h"

// Two half-open runs of group indexes: the non-capturing ones [nonCapturingLow,
// nonCapturingHigh) and the capturing ones [capturingLow, capturingHigh).
struct GroupRange {
  int nonCapturingLow = 0;
  int nonCapturingHigh = 0;
  int capturingLow = 0;
  int capturingHigh = 0;

  int size() const { return nonCapturingHigh - nonCapturingLow + capturingHigh - capturingLow; }
  // The group index at place k of the range, the non-capturing ones first.
  int at(int k) const {
    const int nonCapturingCount = nonCapturingHigh - nonCapturingLow;
    return k < nonCapturingCount ? nonCapturingLow + k : capturingLow + k - nonCapturingCount;
  }
};

template <class C, class Attempt>
int attemptSavingGroupsFrom(MatcherT<C>& m, const GroupRange& range, int place, const Attempt& attempt);

// The positions of the group at one place of a range (none past its end),
// held where this object lives. A node keeps one in its own frame and its
// guard is inlined there, so a body with one group costs the match no more
// stack than the node itself.
template <class C>
class SavedGroup {
 public:
  SavedGroup(MatcherT<C>& m, const GroupRange& range, int place = 0)
      : m(m), range(range), place(place), index(place < range.size() ? range.at(place) : 0) {
    if (place < range.size()) {
      start = m.groupStart(index);
      end = m.groupEnd(index);
    }
  }

  // Returns attempt()'s result with the groups from this place on saved;
  // when it is negative, each of them gets its position back.
  template <class Attempt>
  __attribute__((always_inline)) int guard(const Attempt& attempt) const {
    if (place >= range.size()) return attempt();
    const int next = place + 1;
    const int r = next == range.size() ? attempt() : attemptSavingGroupsFrom(m, range, next, attempt);
    if (r < 0) {
      m.groupStart(index) = start;
      m.groupEnd(index) = end;
    }
    return r;
  }

 private:
  MatcherT<C>& m;
  const GroupRange& range;
  int place;
  int index;
  int start = -1;
  int end = -1;
};

// Saves each further group of a range in a frame of its own; the frames
// count against the stack like every other step.
template <class C, class Attempt>
int attemptSavingGroupsFrom(MatcherT<C>& m, const GroupRange& range, int place, const Attempt& attempt) {
  if (m.outOfStack()) return -1;
  return SavedGroup<C>(m, range, place).guard(attempt);
}
