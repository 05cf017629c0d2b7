#include "matcher.h"

#include <algorithm>
#include <cstdint>

#include "large_stack.h"
#include "pattern.h"

namespace {

// Stack a match may use on its caller's thread before it is moved to a
// stack of its own, and the size wanted for that stack.
constexpr std::size_t kCallerStackBudget = 512 * 1024;
constexpr std::size_t kOwnStackBytes = std::size_t{4} << 30;

}  // namespace

template <class C>
MatcherT<C>::MatcherT(PatternT<C>* pattern, const String& subject)
    : pattern(pattern), subject(subject), groupCount(pattern->groupCount), nonCapturingCount(-pattern->nonCapturing) {
  const std::size_t total = static_cast<std::size_t>(groupCount + nonCapturingCount);
  groupStarts.assign(total, -1);
  groupEnds.assign(total, -1);
  loopCounts.assign(total, -1);
  loopStarts.assign(total, -1);
  possessiveLevels.assign(total, 0);
  for (int i = 0; i < groupCount; ++i) groupStart(i) = groupEnd(i) = 0;
}

template <class C>
int MatcherT<C>::run(int position) {
  // Read before the start node clears it for a retry at a later position.
  const int searchStart = previousEnd;
  exhausted = false;
  stackLimit.startHere(kCallerStackBudget);
  int result = pattern->head->match(subject, *this, position);
  // Every node has put back what it wrote, so the same match can start
  // afresh: deeper on this stack when it allows, else on a stack of its own.
  const auto startAfresh = [&] {
    clearGroups();
    previousEnd = searchStart;
  };
  if (exhausted && stackLimit.moveOn()) {
    startAfresh();
    result = pattern->head->match(subject, *this, position);
  }
  if (!exhausted) return result;
  startAfresh();
  return matchOnOwnStack(position);
}

// Without a thread of its own, or when that stack runs out too, the match
// cannot finish: -1 with exhausted set.
template <class C>
int MatcherT<C>::matchOnOwnStack(int position) {
  struct Run {
    MatcherT* matcher;
    int position;
    int result;
  } run{this, position, -1};
  exhausted = false;
  auto body = [](void* context) {
    Run& r = *static_cast<Run*>(context);
    r.matcher->stackLimit.startHere(SIZE_MAX);
    r.result = r.matcher->pattern->head->match(r.matcher->subject, *r.matcher, r.position);
  };
  if (!runOnNewThread(kOwnStackBytes, body, &run)) exhausted = true;
  return exhausted ? -1 : run.result;
}

template <class C>
bool MatcherT<C>::matches() {
  wholeMode = 1;
  foundOnce = 0;
  finished = false;
  clearGroups();
  previousEnd = 0;
  return run(0) == static_cast<int>(subject.size());
}

template <class C>
bool MatcherT<C>::findFirst() {
  wholeMode = 0;
  finished = false;
  clearGroups();
  previousEnd = 0;
  const int end = run(0);
  groupEnd(0) = end;
  if (end < 0) return false;
  foundOnce = 1;
  return true;
}

template <class C>
bool MatcherT<C>::findNext() {
  if (!foundOnce) return findFirst();
  if (finished) return false;
  int b = groupEnd(0);
  if (groupStart(0) == b) ++b;
  wholeMode = 0;
  clearGroups();
  groupStart(0) = b;
  if (b >= static_cast<int>(subject.size())) {
    finished = true;
    return false;
  }
  previousEnd = b;
  const int end = run(b);
  groupEnd(0) = end;
  finished = end < 0;
  return !finished;
}

template <class C>
std::vector<typename MatcherT<C>::String> MatcherT<C>::findAll() {
  std::vector<String> found;
  reset();
  while (findNext()) found.push_back(getGroup(0));
  return found;
}

template <class C>
void MatcherT<C>::reset() {
  clearGroups();
  foundOnce = 0;
  finished = false;
}

template <class C>
void MatcherT<C>::setString(const String& text) {
  subject = text;
  reset();
}

template <class C>
typename MatcherT<C>::String MatcherT<C>::getGroup(int index) const {
  const int start = getStart(index);
  const int end = getEnd(index);
  if (start < 0 || end < 0 || end < start) return String();
  return subject.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
}

template <class C>
std::vector<typename MatcherT<C>::String> MatcherT<C>::getGroups(bool includeGroupZero) const {
  std::vector<String> groups;
  for (int i = includeGroupZero ? 0 : 1; i < groupCount; ++i) groups.push_back(getGroup(i));
  return groups;
}

template <class C>
int MatcherT<C>::groupAt(const std::vector<int>& positions, int index) const {
  if (index < 0 || index >= groupCount) return -1;
  return positions[static_cast<std::size_t>(index + nonCapturingCount)];
}

template <class C>
int MatcherT<C>::getStart(int index) const {
  return groupAt(groupStarts, index);
}

template <class C>
int MatcherT<C>::getEnd(int index) const {
  return groupAt(groupEnds, index);
}

template <class C>
typename MatcherT<C>::String MatcherT<C>::replaceWithGroups(const String& replacement) const {
  String result;
  const std::size_t size = replacement.size();
  for (std::size_t i = 0; i < size; ++i) {
    const C c = replacement[i];
    if (c != C('\\') || i + 1 == size) {
      result += c;
      continue;
    }
    const C escaped = replacement[++i];
    if (escaped < C('0') || escaped > C('9')) {
      result += escaped;
      continue;
    }
    // A number past every group index stops growing: it names no group.
    long group = 0;
    for (; i < size && replacement[i] >= C('0') && replacement[i] <= C('9'); ++i)
      if (group <= groupCount) group = group * 10 + (replacement[i] - C('0'));
    --i;
    if (group < groupCount) result += getGroup(static_cast<int>(group));
  }
  return result;
}

template <class C>
void MatcherT<C>::clearGroups() {
  previousEnd = 0;
  exhausted = false;
  std::fill(groupStarts.begin(), groupStarts.end(), -1);
  std::fill(groupEnds.begin(), groupEnds.end(), -1);
  std::fill(loopCounts.begin(), loopCounts.end(), -1);
}

template class MatcherT<char>;
template class MatcherT<wchar_t>;
