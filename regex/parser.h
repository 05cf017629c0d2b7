#pragma once
// The recursive-descent parser of pattern texts: sequences, groups,
// alternation, quantifiers and "{name}" references. One parse call builds one
// chain of nodes (the whole pattern, a group body or a registered text) with
// its alternatives and returns its head, reporting its tail; every node made
// is registered with the pattern at once, which owns it also when a syntax
// error abandons the graph. Included only where PatternT is instantiated.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "large_stack.h"
#include "node_kinds.h"
#include "pattern.h"

// One chain being built: the whole pattern, a group body or a registered
// text, or a later alternative of one of them.
template <class C>
struct PatternT<C>::ParseCall {
  enum Kind { TopLevel, Capturing, NonCapturing, LookAhead, Atomic, Alternative };

  bool inGroup;
  // Where the chain's tail is reported; none for an alternative, whose tail
  // the alternation joins.
  Node** tailOut;
  Kind kind;
  int groupIndex;
  bool headed;
  bool positive;
  std::uint64_t savedFlags;
  Node* head;
  Node* tail;
  // Groups opened inside a look-ahead or atomic body.
  GroupRange groups;
  // An alternative's: the node that ends the alternatives before it.
  Node* endBefore;
};

namespace parser_limits {
// Groups, references and bracket classes open at most this many levels
// inside one another; one level more is a syntax error. Alternatives side by
// side open none.
constexpr int kMaxNesting = 100000;
// A parse uses at most this much of its caller's stack. One that needs more
// is made again on a stack of its own, which holds kMaxNesting levels with
// room to spare.
constexpr std::size_t kCallerBudget = 1 << 20;
constexpr std::size_t kOwnStackBytes = std::size_t{1} << 30;
// Written instead of a syntax error when no stack could hold the parse.
constexpr const char* kNoStackReport = "Pattern not compiled: no stack large enough for its nesting could be had.\n";
}  // namespace parser_limits

// Counts one parse level as open for as long as the call that opened it runs.
class NestingLevel {
 public:
  explicit NestingLevel(int& nesting) : nesting(++nesting) {}
  ~NestingLevel() { --nesting; }
  NestingLevel(const NestingLevel&) = delete;
  NestingLevel& operator=(const NestingLevel&) = delete;

 private:
  int& nesting;
};

// Whether a pattern compiles, and what its compile reports, depends on its
// text alone: a parse that runs out of its caller's stack is made again from
// the start, deeper on that stack when it allows, else on a stack of its own,
// and the reports are written at the end.
template <class C>
typename PatternT<C>::Node* PatternT<C>::parseTopLevel(Node** tailOut) {
  using namespace parser_limits;
  const std::uint64_t callerFlags = flags;
  parseStackLimit.startHere(kCallerBudget);
  Node* chain = parse(false, tailOut);
  if (stop == ParseStop::OutOfStack && parseStackLimit.moveOn()) {
    restartParse(callerFlags);
    chain = parse(false, tailOut);
  }
  if (stop == ParseStop::OutOfStack) {
    restartParse(callerFlags);
    chain = parseOnOwnStack(tailOut);
  }
  if (stop == ParseStop::OutOfStack) {
    writeReport(kNoStackReport);
    return nullptr;
  }
  writeReports();
  return chain;
}

// Stops with OutOfStack also when no thread could be made.
template <class C>
typename PatternT<C>::Node* PatternT<C>::parseOnOwnStack(Node** tailOut) {
  struct Run {
    PatternT* pattern;
    Node** tailOut;
    Node* head;
  } run{this, tailOut, nullptr};
  auto body = [](void* context) {
    Run& r = *static_cast<Run*>(context);
    r.pattern->parseStackLimit.startHere(SIZE_MAX);
    r.head = r.pattern->parse(false, r.tailOut);
  };
  if (!runOnNewThread(parser_limits::kOwnStackBytes, body, &run)) stop = ParseStop::OutOfStack;
  return run.head;
}

// Forgets a parse that ran out of stack, its reports included. The
// unwinding has put back the pattern text and the nesting count.
template <class C>
void PatternT<C>::restartParse(std::uint64_t callerFlags) {
  for (auto& entry : nodes) delete entry.first;
  nodes.clear();
  reports.clear();
  error = false;
  stop = ParseStop::None;
  parsePos = 0;
  groupCount = 0;
  nonCapturing = 0;
  flags = callerFlags;
}

// Whether one more parse level may open here. Past the nesting bound it is
// reported once; with the stack used up the parse stops quietly (error set,
// nothing more reported), to be made again on a larger stack.
template <class C>
bool PatternT<C>::mayNest() {
  if (nesting > parser_limits::kMaxNesting) {
    raiseError();
    stop = ParseStop::Reported;
    return false;
  }
  if (!stackExhausted()) return true;
  stop = ParseStop::OutOfStack;
  error = true;
  return false;
}

// A report that follows from an error within (a group that returned none, a
// ")" or "]" left missing): dropped once the parse has stopped for good.
template <class C>
void PatternT<C>::raiseErrorUnlessStopped() {
  if (stop == ParseStop::None) raiseError();
}

template <class C>
typename PatternT<C>::Node* PatternT<C>::parse(bool inGroup, Node** tailOut) {
  const NestingLevel level(nesting);
  if (!mayNest()) return nullptr;
  ParseCall call{inGroup, tailOut, ParseCall::TopLevel, groupCount++, false, true, flags, nullptr, nullptr, {}, nullptr};
  if (inGroup) {
    if (atEnd() || charAt(parsePos) != C('?')) {
      call.kind = ParseCall::Capturing;
      call.headed = true;
    } else {
      ++parsePos;
      --groupCount;
      Node* whole = nullptr;
      if (!parseGroupType(call, whole)) return whole;
    }
  }
  beginChain(call);
  return parseAlternatives(call);
}

template <class C>
void PatternT<C>::beginChain(ParseCall& call) {
  using Kinds = NodeKinds<C>;
  if (call.headed)
    call.head = registerNode(new typename Kinds::GroupHead(call.groupIndex));
  else
    call.head = registerNode(new typename Kinds::SubStart());
  call.tail = call.head;
  call.groups = GroupRange{nonCapturing, nonCapturing, groupCount, groupCount};
}

// Parses a chain and all its later alternatives in this one frame, so that
// alternatives side by side cost no stack and open no nesting level. Each
// "|" opens an alternative within the one before it, as a call of its own
// would; where an alternative ends, the one before it goes on from there.
template <class C>
typename PatternT<C>::Node* PatternT<C>::parseAlternatives(ParseCall& first) {
  std::vector<ParseCall> later;  // the alternatives open, innermost last
  for (;;) {
    ParseCall& call = later.empty() ? first : later.back();
    Node* result = nullptr;
    if (parseChain(call, result)) {
      later.push_back(beginAlternative(call));
      continue;
    }
    if (later.empty()) return result;
    const ParseCall ended = later.back();
    later.pop_back();
    if (result) joinAlternative(later.empty() ? first : later.back(), ended);
  }
}

// The main loop over one chain. True when it stopped at a "|", where a later
// alternative begins; else false, result being the chain's head or none.
template <class C>
bool PatternT<C>::parseChain(ParseCall& call, Node*& result) {
  while (!atEnd()) {
    const C c = patternText[parsePos++];
    if (error) return false;
    if (c == C('|')) return true;
    if (!parseStep(call, c, result)) return false;
  }
  result = endChain(call);
  return false;
}

// The text is used up.
template <class C>
typename PatternT<C>::Node* PatternT<C>::endChain(ParseCall& call) {
  if (call.inGroup) {
    raiseErrorUnlessStopped();
  } else {
    if (call.kind == ParseCall::Alternative) appendNode(call, registerNode(new typename NodeKinds<C>::Accept()));
    if (call.tailOut) *call.tailOut = call.tail;
  }
  flags = call.savedFlags;
  return error ? nullptr : call.head;
}

// After "|": ends the chain so far as one alternative and opens the next,
// under the flags in force here.
template <class C>
typename PatternT<C>::ParseCall PatternT<C>::beginAlternative(ParseCall& call) {
  Node* endBefore = registerNode(new typename NodeKinds<C>::Accept());
  call.tail->next = endBefore;
  ParseCall alternative{call.inGroup, nullptr, ParseCall::Alternative, call.groupIndex, call.headed, true,
                        flags,        nullptr, nullptr,                {},              endBefore};
  beginChain(alternative);
  return alternative;
}

// Both alternatives lead to one join, which is what follows them.
template <class C>
void PatternT<C>::joinAlternative(ParseCall& call, const ParseCall& alternative) {
  using Kinds = NodeKinds<C>;
  Node* join = registerNode(new typename Kinds::Accept());
  call.head = registerNode(new typename Kinds::Or(call.head, alternative.head));
  alternative.endBefore->next = join;
  alternative.tail->next = join;
  call.tail = join;
}

// After "(?": settles the kind of group. False when the call is complete
// already (a look-behind, an inline flag group, or an error); whole is then
// its result.
template <class C>
bool PatternT<C>::parseGroupType(ParseCall& call, Node*& whole) {
  const C c = atEnd() ? C(0) : charAt(parsePos);
  const C after = charAt(parsePos + 1);
  if (c == C(':')) {
    ++parsePos;
    call.kind = ParseCall::NonCapturing;
    call.groupIndex = --nonCapturing;
    call.headed = true;
  } else if (c == C('=') || c == C('!')) {
    ++parsePos;
    call.kind = ParseCall::LookAhead;
    call.positive = c == C('=');
  } else if (c == C('<') && (after == C('=') || after == C('!'))) {
    parsePos += 2;
    whole = parseLookBehind(after == C('='), call.tailOut);
    return false;
  } else if (c == C('>')) {
    ++parsePos;
    call.kind = ParseCall::Atomic;
  } else {
    return parseInlineFlags(call, whole);
  }
  return true;
}

// Flag letters, "-" to go over to clearing, then ":" (a non-capturing group
// under the changed flags) or ")" (the change holds for the enclosing chain).
template <class C>
bool PatternT<C>::parseInlineFlags(ParseCall& call, Node*& whole) {
  bool clearing = false;
  while (!atEnd()) {
    const C c = charAt(parsePos);
    const std::uint64_t bit = c == C('i')   ? IGNORE_CASE
                              : c == C('m') ? MULTI_LINE
                              : c == C('s') ? DOT_ALL
                              : c == C('d') ? UNIX_LINES
                                            : 0;
    if (bit) {
      ++parsePos;
      flags = clearing ? flags & ~bit : flags | bit;
    } else if (c == C('-') && !clearing) {
      ++parsePos;
      clearing = true;
    } else if (c == C(':')) {
      ++parsePos;
      call.kind = ParseCall::NonCapturing;
      call.groupIndex = --nonCapturing;
      call.headed = true;
      return true;
    } else if (c == C(')')) {
      ++parsePos;
      whole = registerNode(new typename NodeKinds<C>::LookBehind(String(), true));
      *call.tailOut = whole;
      return false;
    } else {
      break;
    }
  }
  raiseError();
  return false;
}

// One character of the main loop. False when the call ends here; closed is
// then its result.
template <class C>
bool PatternT<C>::parseStep(ParseCall& call, C c, Node*& closed) {
  using Kinds = NodeKinds<C>;
  Node* atom = nullptr;
  switch (c) {
    case C('$'):
      atom = flags & MULTI_LINE ? static_cast<Node*>(registerNode(new typename Kinds::EndOfLine()))
                                : registerNode(new typename Kinds::EndOfInput(false));
      break;
    case C('^'):
      atom = flags & MULTI_LINE ? static_cast<Node*>(registerNode(new typename Kinds::StartOfLine()))
                                : registerNode(new typename Kinds::StartOfInput());
      break;
    case C('.'):
      atom = makeDot();
      break;
    case C('['):
      atom = makeClassNode(parseClass(), false);
      break;
    case C('\\'):
      if (atEnd())
        raiseError();
      else
        atom = parseEscapeAtom();
      break;
    case C('('):
      parseGroupStep(call);
      break;
    case C(')'):
      return parseCloseStep(call, closed);
    case C('{'): {
      // A quantifier right after a reference is read where an atom is
      // expected, so it is a syntax error.
      Node* refTail = nullptr;
      Node* ref = parseRegisteredReference(&refTail);
      call.tail->next = ref;
      if (ref) call.tail = refTail;
      break;
    }
    case C('*'):
    case C('+'):
    case C('?'):
    case C(']'):
    case C('}'):
      raiseError();
      break;
    default:
      atom = flags & IGNORE_CASE ? static_cast<Node*>(registerNode(new typename Kinds::CIChar(c)))
                                 : registerNode(new typename Kinds::Char(c));
  }
  if (atom) appendNode(call, parseQuantifier(atom));
  return true;
}

template <class C>
typename PatternT<C>::Node* PatternT<C>::makeDot() {
  String excluded;
  if (!(flags & DOT_ALL)) excluded += C('\n');
  if (!(flags & (DOT_ALL | UNIX_LINES))) excluded += C('\r');
  return registerNode(new typename NodeKinds<C>::Class(excluded, true));
}

template <class C>
typename PatternT<C>::Node* PatternT<C>::makeClassNode(const String& text, bool inverted) {
  if (flags & IGNORE_CASE) return registerNode(new typename NodeKinds<C>::CIClass(text, inverted));
  return registerNode(new typename NodeKinds<C>::Class(text, inverted));
}

// With parsePos just after the backslash, at a character.
template <class C>
typename PatternT<C>::Node* PatternT<C>::parseEscapeAtom() {
  using Kinds = NodeKinds<C>;
  const C c = charAt(parsePos);
  if (c >= C('1') && c <= C('9')) return parseBackReference();
  Node* assertion = nullptr;
  switch (c) {
    case C('A'):
      assertion = registerNode(new typename Kinds::StartOfInput());
      break;
    case C('b'):
      assertion = registerNode(new typename Kinds::WordBoundary(true));
      break;
    case C('B'):
      assertion = registerNode(new typename Kinds::WordBoundary(false));
      break;
    case C('G'):
      assertion = registerNode(new typename Kinds::EndOfMatch());
      break;
    case C('Z'):
      assertion = registerNode(new typename Kinds::EndOfInput(true));
      break;
    case C('z'):
      assertion = registerNode(new typename Kinds::EndOfInput(false));
      break;
    default:
      break;
  }
  if (assertion) {
    ++parsePos;
    return assertion;
  }
  bool negated = false;
  bool quote = false;
  const String text = parseEscape(negated, quote);
  if (quote) return parseQuote();
  if (text.size() == 1 && !negated) return registerNode(new typename Kinds::Char(text[0]));
  return makeClassNode(text, negated);
}

template <class C>
void PatternT<C>::parseGroupStep(ParseCall& call) {
  Node* subTail = nullptr;
  Node* sub = parse(true, &subTail);
  if (!sub) {
    raiseErrorUnlessStopped();
    return;
  }
  call.tail->next = sub;
  call.tail = subTail;
}

template <class C>
bool PatternT<C>::parseCloseStep(ParseCall& call, Node*& closed) {
  using Kinds = NodeKinds<C>;
  if (!call.inGroup) {
    raiseError();
    return true;
  }
  call.groups.nonCapturingLow = nonCapturing;
  call.groups.capturingHigh = groupCount;
  switch (call.kind) {
    case ParseCall::Alternative:
      --parsePos;
      appendNode(call, registerNode(new typename Kinds::Accept()));
      closed = call.head;
      break;
    case ParseCall::LookAhead:
      appendNode(call, registerNode(new typename Kinds::Accept()));
      closed = call.tail = registerNode(new typename Kinds::LookAhead(call.head, call.positive, call.groups));
      break;
    case ParseCall::Atomic:
      appendNode(call, registerNode(new typename Kinds::Accept()));
      closed = call.tail = registerNode(
          new typename Kinds::PossessiveQuantifier(this, call.head, 1, 1, call.groups));
      break;
    default: {
      appendNode(call, registerNode(new typename Kinds::GroupTail(call.groupIndex)));
      closed = call.head;
      if (Node* prologue = parseGroupQuantifier(call.head, call.tail, call.groupIndex)) {
        closed = prologue;
        call.tail = prologue->next;
      }
    }
  }
  if (call.tailOut) *call.tailOut = call.tail;
  flags = call.savedFlags;
  return false;
}

template <class C>
void PatternT<C>::appendNode(ParseCall& call, Node* node) {
  call.tail->next = node;
  call.tail = node;
}

template <class C>
typename PatternT<C>::Node* PatternT<C>::parseQuantifier(Node* atom) {
  using Kinds = NodeKinds<C>;
  int min = 0;
  int max = 0;
  int kind = 0;
  if (!parseQuantifierForm(min, max, kind)) return atom;
  if (kind == 1) return registerNode(new typename Kinds::LazyQuantifier(this, atom, min, max));
  if (kind == 2) return registerNode(new typename Kinds::PossessiveQuantifier(this, atom, min, max));
  return registerNode(new typename Kinds::GreedyQuantifier(this, atom, min, max));
}

template <class C>
typename PatternT<C>::Node* PatternT<C>::parseGroupQuantifier(Node* head, Node* tail, int groupIndex) {
  using Kinds = NodeKinds<C>;
  int min = 0;
  int max = 0;
  int kind = 0;
  if (!parseQuantifierForm(min, max, kind)) return nullptr;
  Node* prologue = registerNode(new typename Kinds::GroupLoopPrologue(groupIndex));
  Node* loop = registerNode(new typename Kinds::GroupLoop(head, min, max, groupIndex, kind));
  prologue->next = loop;
  tail->next = loop;
  return prologue;
}

// Reads "*", "+", "?" or bounds in braces and the suffix: kind 0 greedy,
// 1 lazy ("?"), 2 possessive ("+"). False, consuming nothing, without one.
template <class C>
bool PatternT<C>::parseQuantifierForm(int& min, int& max, int& kind) {
  if (atEnd()) return false;
  const C c = charAt(parsePos);
  if (c == C('*')) {
    min = 0;
    max = MAX_REPEAT;
  } else if (c == C('+')) {
    min = 1;
    max = MAX_REPEAT;
  } else if (c == C('?')) {
    min = 0;
    max = 1;
  } else if (c != C('{') || !parseBounds(min, max)) {
    return false;
  }
  if (c != C('{')) ++parsePos;
  kind = 0;
  if (!atEnd() && charAt(parsePos) == C('?')) {
    kind = 1;
    ++parsePos;
  } else if (!atEnd() && charAt(parsePos) == C('+')) {
    kind = 2;
    ++parsePos;
  }
  return true;
}

template <class C>
bool PatternT<C>::parseBounds(int& min, int& max) {
  const int size = static_cast<int>(patternText.size());
  const int start = parsePos + 1;
  int close = start;
  while (close < size && patternText[close] != C('}')) ++close;
  int comma = start;
  while (comma < close && patternText[comma] != C(',')) ++comma;
  if (close == size) {
    raiseError();
    return false;
  }
  for (int i = start; i < close; ++i) {
    if (i == comma || (patternText[i] >= C('0') && patternText[i] <= C('9'))) continue;
    if (comma != close) raiseError();
    return false;
  }
  min = parseDecimal(start, comma - 1);
  if (comma == close)
    max = min;
  else
    max = comma + 1 == close ? MAX_REPEAT : parseDecimal(comma + 1, close - 1);
  parsePos = close + 1;
  return true;
}

// Counts above MAX_REPEAT are clamped to it.
template <class C>
int PatternT<C>::parseDecimal(int first, int last) {
  long long value = 0;
  for (int i = first; i <= last; ++i) {
    value = value * 10 + (patternText[i] - C('0'));
    if (value > MAX_REPEAT) return MAX_REPEAT;
  }
  return static_cast<int>(value);
}

template <class C>
typename PatternT<C>::Node* PatternT<C>::parseRegisteredReference(Node** tailOut) {
  const int size = static_cast<int>(patternText.size());
  int close = parsePos;
  while (close < size && patternText[close] != C('}')) ++close;
  const String name = patternText.substr(parsePos, close - parsePos);
  const auto found = close < size && isPatternName(name) ? registeredPatterns.find(name) : registeredPatterns.end();
  const bool looping = std::find(expanding.begin(), expanding.end(), name) != expanding.end();
  if (found == registeredPatterns.end() || looping) {
    raiseError();
    return nullptr;
  }
  const String referringText = patternText;
  const std::uint64_t referringFlags = flags;
  patternText = found->second.first;
  ++textVersion;
  flags = found->second.second;
  parsePos = 0;
  --groupCount;
  expanding.push_back(name);
  Node* head = parse(false, tailOut);
  expanding.pop_back();
  patternText = referringText;
  ++textVersion;
  flags = referringFlags;
  parsePos = close + 1;
  if (error) {
    *tailOut = nullptr;
    return nullptr;
  }
  return head;
}

// A letter or "_" first, then letters, digits or "_".
template <class C>
bool PatternT<C>::isPatternName(const String& name) {
  auto letter = [](C c) { return (c >= C('a') && c <= C('z')) || (c >= C('A') && c <= C('Z')) || c == C('_'); };
  if (name.empty() || !letter(name[0])) return false;
  for (C c : name)
    if (!letter(c) && !(c >= C('0') && c <= C('9'))) return false;
  return true;
}
