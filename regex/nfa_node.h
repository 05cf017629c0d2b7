#pragma once
// The base of every pattern node and the match protocol. A node tests its
// condition at a position and, when it holds, calls the node after it; the
// call returns where the whole remaining match ends, or -1. Backtracking is
// the unwinding of these calls. Nodes hold no match state (everything a
// match writes lives in the matcher) and are never changed after compile.
// Every node belongs to its pattern's node table; no node owns another.
//
// `NFANode` is the byte family's base and adds the diagnostic dump;
// `NFAUNode` is the wide family's base. Node logic is written once as
// templates over the character type and derives from `NodeOf<C>`.

#include <string>

#include "first_chars.h"

template <class C>
class PatternT;
template <class C>
class MatcherT;
class NFANode;
class NFAUNode;

template <class C>
struct NodeFamily;
template <>
struct NodeFamily<char> {
  using Base = NFANode;
};
template <>
struct NodeFamily<wchar_t> {
  using Base = NFAUNode;
};
template <class C>
using NodeOf = typename NodeFamily<C>::Base;

template <class C>
class NFANodeT {
 public:
  using String = std::basic_string<C>;

  virtual ~NFANodeT() = default;
  // Where the whole remaining match ends when started at position, or -1.
  virtual int match(const String& subject, MatcherT<C>& matcher, int position) const = 0;
  virtual bool isGroupHead() const { return false; }
  virtual bool isStartOfInput() const { return false; }
  // A node that always consumes exactly one character answers true and tells
  // through takes() which characters; quantifiers repeat such an atom by
  // counting instead of recursing once per character.
  virtual bool isSingleChar() const { return false; }
  virtual bool takes(C) const { return false; }
  // Adds the characters every match from here must begin with; false when
  // that is unknown (a match may begin otherwise, or consume nothing).
  virtual bool collectFirst(FirstChars<C>&, int) const { return false; }

  NodeOf<C>* next = nullptr;
};

// Every call from one node into another goes through here, so a match that
// runs out of stack unwinds with -1 instead of overflowing.
template <class C>
int matchNode(const NodeOf<C>* node, const std::basic_string<C>& subject, MatcherT<C>& matcher,
              int position) {
  if (matcher.outOfStack()) return -1;
  return node->match(subject, matcher, position);
}

class NFANode : public NFANodeT<char> {
 public:
  // Prints this node's line and then its chain, indented by 2 * indent.
  virtual void dump(int indent) const;

 protected:
  // Prints the indentation, the class name, then fields formatted printf-style.
  void dumpLine(int indent, const char* fields, ...) const __attribute__((format(printf, 3, 4)));
  void dumpLine(int indent) const { dumpLine(indent, "%s", ""); }
  void dumpNext(int indent) const;
};

class NFAUNode : public NFANodeT<wchar_t> {};
