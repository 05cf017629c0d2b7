#pragma once
// The state of matching one compiled pattern against one subject: a copy of
// the subject, the positions of every group, the bookkeeping of group loops
// and the mode and progress of the current search. Nodes keep no state of
// their own; they read and write a matcher, so one pattern serves several
// matchers in turn. `Matcher` works over byte strings, `UMatcher` over wide
// strings. Positions are character indexes from 0, start included, end
// excluded, -1 for unset. Group indexes run from -nonCapturingCount (the
// non-capturing groups) to groupCount - 1; group 0 is the whole match.
//
// Matching recurses once per node step. A match runs on its caller's stack,
// within the bounds read from that stack as the match starts and at most
// 512 KB of it; one that would outgrow that is run again from the start on a
// thread of its own with a stack of 4 GB, or the largest half of that down
// to 256 KB that the address space allows. The answer does not depend on
// which stack it ran on; an exception on that thread reaches the caller.
//
// Cannot finish: when even that stack runs out, or no such thread can be
// made, the match or search gives up without crashing. It then returns false
// (no list entry, for findAll) and exhaustedStack() is true: that false is no
// answer, neither "no match" nor "match".

#include <cstdint>
#include <string>
#include <vector>

#include "large_stack.h"

template <class C>
class PatternT;

template <class C>
class MatcherT {
 public:
  using String = std::basic_string<C>;

  MatcherT(PatternT<C>* pattern, const String& subject);

  // Whether the whole subject matches.
  bool matches();
  // Searches from position 0.
  bool findFirst();
  // Searches on after the previous match; false for good once exhausted.
  bool findNext();
  std::vector<String> findAll();
  // True when the latest match or search gave up for want of stack (see
  // above); cleared with the groups, as by setString and reset.
  bool exhaustedStack() const { return exhausted; }
  void reset();
  void setString(const String& text);
  String getString() const { return subject; }
  // Empty text for an index out of range or a group that took no part.
  String getGroup(int index) const;
  std::vector<String> getGroups(bool includeGroupZero) const;
  int getStart(int index) const;
  int getEnd(int index) const;
  // Expands \N (decimal group number) and \c (the character c itself).
  String replaceWithGroups(const String& replacement) const;
  void clearGroups();

  // Match state the nodes read and write.
  int& groupStart(int index) { return groupStarts[index + nonCapturingCount]; }
  int& groupEnd(int index) { return groupEnds[index + nonCapturingCount]; }
  int& loopCount(int index) { return loopCounts[index + nonCapturingCount]; }
  int& loopStart(int index) { return loopStarts[index + nonCapturingCount]; }
  int& possessiveLevel(int index) { return possessiveLevels[index + nonCapturingCount]; }
  int groupTotal() const { return groupCount; }
  int previousEnd = 0;
  std::uint64_t wholeMode = 0;

  // True when the current match has run out of stack; every node gives up
  // then, so the match unwinds at once.
  bool outOfStack() {
    if (!exhausted && stackLimit.passedBy(__builtin_frame_address(0))) exhausted = true;
    return exhausted;
  }

 private:
  int run(int position);
  int matchOnOwnStack(int position);
  int groupAt(const std::vector<int>& positions, int index) const;

  PatternT<C>* pattern;
  String subject;
  std::vector<int> groupStarts;
  std::vector<int> groupEnds;
  std::vector<int> loopCounts;
  std::vector<int> loopStarts;
  std::vector<int> possessiveLevels;
  int groupCount;
  int nonCapturingCount;
  int foundOnce = 0;
  bool finished = false;
  bool exhausted = false;
  StackLimit stackLimit;
};

using Matcher = MatcherT<char>;
using UMatcher = MatcherT<wchar_t>;

extern template class MatcherT<char>;
extern template class MatcherT<wchar_t>;
