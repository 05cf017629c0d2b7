#include "pattern.h"

#include "class_algebra.h"
#include "node_kinds.h"
#include "parser.h"
#include "parser_escapes.h"

template <class C>
std::map<std::pair<typename PatternT<C>::String, std::uint64_t>, std::unique_ptr<PatternT<C>>>
    PatternT<C>::patternCache;
template <class C>
std::map<typename PatternT<C>::String, std::pair<typename PatternT<C>::String, std::uint64_t>>
    PatternT<C>::registeredPatterns;

template <class C>
PatternT<C>::PatternT(const String& text, std::uint64_t flags) : patternText(text), flags(flags) {}

template <class C>
PatternT<C>::~PatternT() {
  delete ownMatcher;
  for (auto& entry : nodes) delete entry.first;
}

// The graph is Start, the parsed chain (or one quote of the whole text under
// LITERAL_PATTERN), End.
template <class C>
PatternT<C>* PatternT<C>::compile(const String& text, std::uint64_t flags) {
  using Kinds = NodeKinds<C>;
  std::unique_ptr<PatternT> p(new PatternT(text, flags));
  Node* chain = nullptr;
  Node* tail = nullptr;
  if (flags & LITERAL_PATTERN) {
    if (flags & IGNORE_CASE)
      chain = p->registerNode(new typename Kinds::CIQuote(text));
    else
      chain = p->registerNode(new typename Kinds::Quote(text));
    tail = chain;
    p->groupCount = 1;
  } else {
    chain = p->parseTopLevel(&tail);
    if (!chain) return nullptr;
  }
  tail->next = p->registerNode(new typename Kinds::End());
  p->head = chain;
  if (!chain->isStartOfInput()) {
    auto* start = p->registerNode(new typename Kinds::Start());
    start->next = chain;
    start->prepareSearch();
    p->head = start;
  }
  p->ownMatcher = new MatcherType(p.get(), String());
  return p.release();
}

template <class C>
bool PatternT<C>::matches(const String& pattern, const String& subject, std::uint64_t flags) {
  std::unique_ptr<PatternT> p(compile(pattern, flags));
  return p && p->matches(subject);
}

template <class C>
std::pair<typename PatternT<C>::String, int> PatternT<C>::findNthMatch(const String& pattern,
                                                                       const String& subject, int n,
                                                                       std::uint64_t flags) {
  std::pair<String, int> result(String(), -1);
  std::unique_ptr<PatternT> p(compile(pattern, flags));
  if (!p) return result;
  MatcherType& m = *p->ownMatcher;
  m.setString(subject);
  int count = -1;
  while (count < n && m.findNext()) ++count;
  if (count == n && m.getStart(0) >= 0) result = std::make_pair(m.getGroup(0), m.getStart(0));
  return result;
}

template <class C>
std::vector<typename PatternT<C>::String> PatternT<C>::findAll(const String& pattern, const String& subject,
                                                               std::uint64_t flags) {
  std::unique_ptr<PatternT> p(compile(pattern, flags));
  return p ? p->findAll(subject) : std::vector<String>();
}

template <class C>
std::vector<typename PatternT<C>::String> PatternT<C>::split(const String& pattern, const String& subject,
                                                             bool keepEmpty, std::uint64_t limit,
                                                             std::uint64_t flags) {
  std::unique_ptr<PatternT> p(compile(pattern, flags));
  return p ? p->split(subject, keepEmpty, limit) : std::vector<String>();
}

template <class C>
typename PatternT<C>::String PatternT<C>::replace(const String& pattern, const String& subject,
                                                  const String& replacement, std::uint64_t flags) {
  std::unique_ptr<PatternT> p(compile(pattern, flags));
  return p ? p->replace(subject, replacement) : String();
}

template <class C>
bool PatternT<C>::registerPattern(const String& name, const String& pattern, std::uint64_t flags) {
  std::unique_ptr<PatternT> test(compile(pattern, flags));
  if (!test) return false;
  registeredPatterns[name] = std::make_pair(pattern, flags);
  return true;
}

template <class C>
void PatternT<C>::unregisterPatterns() {
  registeredPatterns.clear();
}

template <class C>
PatternT<C>* PatternT<C>::compileCached(const String& pattern, std::uint64_t flags) {
  const auto key = std::make_pair(pattern, flags);
  auto found = patternCache.find(key);
  if (found != patternCache.end()) return found->second.get();
  std::unique_ptr<PatternT> compiled(compile(pattern, flags));
  // Held until the cache has grown to keep it, so that a failure there frees it.
  std::unique_ptr<PatternT>& entry = patternCache[key];
  entry = std::move(compiled);
  return entry.get();
}

template <class C>
void PatternT<C>::clearCache() {
  patternCache.clear();
}

template <class C>
typename PatternT<C>::MatcherType* PatternT<C>::createMatcher(const String& subject) {
  return new MatcherType(this, subject);
}

template <class C>
bool PatternT<C>::matches(const String& subject) {
  ownMatcher->setString(subject);
  return ownMatcher->matches();
}

template <class C>
std::vector<typename PatternT<C>::String> PatternT<C>::findAll(const String& subject) {
  ownMatcher->setString(subject);
  return ownMatcher->findAll();
}

template <class C>
std::vector<typename PatternT<C>::String> PatternT<C>::split(const String& subject, bool keepEmpty,
                                                             std::uint64_t limit) {
  if (limit == 0) limit = MAX_REPEAT;
  std::vector<String> segments;
  MatcherType& m = *ownMatcher;
  m.setString(subject);
  int last = 0;
  while (m.findNext() && segments.size() < limit) {
    const int s = m.getStart(0);
    const int e = m.getEnd(0);
    if (s == e && !keepEmpty) continue;
    if (keepEmpty || s > last) segments.push_back(subject.substr(last, s - last));
    last = e;
  }
  if (last < static_cast<int>(subject.size())) segments.push_back(subject.substr(last));
  return segments;
}

template <class C>
typename PatternT<C>::String PatternT<C>::replace(const String& subject, const String& replacement) {
  String result;
  MatcherType& m = *ownMatcher;
  m.setString(subject);
  int last = 0;
  while (m.findNext()) {
    result.append(subject, last, m.getStart(0) - last);
    result += m.replaceWithGroups(replacement);
    last = m.getEnd(0);
  }
  result.append(subject, last, String::npos);
  return result;
}

template class PatternT<char>;
template class PatternT<wchar_t>;
